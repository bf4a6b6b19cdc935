// The process entry: installs the backend linked into the program and starts WinMain with the
// program's resources as its module, as the real platform's start-up code does.
#include "platform/backend.h"
#include "platform/layer.h"
#include "platform/resource_data.h"

#include <string>

int main(int argc, char** argv) {
    setBackend(&programBackend());
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    int result =
        WinMain(moduleInstance(programResources), nullptr, commandLine.data(), SW_SHOWDEFAULT);
    // Exit ends the loop with every window still there; take them down as the system would,
    // so each control's state and each native view goes with its window.
    layer::resetLayer();
    return result;
}
