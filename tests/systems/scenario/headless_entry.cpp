// The scenario run's process entry on our layer: the headless backend with the layer's own
// message boxes and file-open dialog, and the program's resources as the module, as the
// layer's `main` starts the program.
#include "platform/headless/egl_surface.h"
#include "platform/headless/headless.h"
#include "platform/layer.h"
#include "platform/resource_data.h"
#include "tests/systems/scenario/scenario_driver.h"

int main(int argc, char** argv) {
    unsigned seed = 0;
    long steps = 0;
    if (!readScenarioArguments(argc, argv, &seed, &steps))
        return 2;
    setBackend(&headless::withDialogWindows());
    int result = runScenario(moduleInstance(programResources), argv[1], seed, steps);
    layer::resetLayer();
    headless::releaseAllSurfaces();
    setBackend(nullptr);
    return result;
}
