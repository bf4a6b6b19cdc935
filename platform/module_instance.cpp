// Module instance handles: one per resource table, as each module on the real platform has
// its own instance handle through which its resources are found.
#include "platform/resource_data.h"

HINSTANCE moduleInstance(const ResourceTable& table) {
    // The table's address is the module's identity; the layer maps it back when it looks up
    // resources (resources.cpp).
    return reinterpret_cast<HINSTANCE>(const_cast<ResourceTable*>(&table));
}
