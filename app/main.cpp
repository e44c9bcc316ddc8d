// mapwright: the entry point. Commands that need no display are handled here;
// the window comes later.

#include "Cli.h"

#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

#ifndef MAPWRIGHT_VERSION
#error "MAPWRIGHT_VERSION must be defined by the build"
#endif

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << UsageText();
        return kExitOk;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "Mapwright " MAPWRIGHT_VERSION "\n";
        return kExitOk;
    }
    if (argc >= 2 && std::strcmp(argv[1], "convert") == 0) {
        const std::vector<std::string> args(argv + 2, argv + argc);
        return RunConvert(args, std::cout, std::cerr, ::isatty(STDOUT_FILENO) == 1);
    }
    if (argc >= 2) {
        std::cerr << "mapwright: unknown command '" << argv[1] << "'\n";
    } else {
        std::cerr << "mapwright: this build has no window yet; use 'mapwright convert'\n";
    }
    std::cerr << UsageText();
    return kExitUsage;
}
