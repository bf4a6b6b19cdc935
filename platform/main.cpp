// The process entry: installs the backend linked into the program and starts WinMain with the
// program's resources as its module, as the real platform's start-up code does.
#include "platform/backend.h"
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
    return WinMain(moduleInstance(programResources), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
