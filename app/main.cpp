// mapwright: without arguments it opens the window; "--demo" opens it with the
// demo maps loaded. "convert", "retime", "explain", "--help" and
// "--version" need no display.

#include "Cli.h"
#include "Console.h"
#include "Module.h"
#include "Paths.h"
#include "VynFileversionInfo.h"
#include "WindowMain.h"

#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

namespace {

// "Mapwright 0.1.0", read back from the executable file's own version block.
int PrintVersion() {
    TVynFileversionInfo info;
    if (!info.GetInfo()) {
        std::cerr << "mapwright: this executable carries no version block\n";
        return 1;
    }
    return WriteOutput(info.ProductName + " " + info.ProductVersion + "\n", std::cout, std::cerr);
}

// The window part is a module of its own, beside the program in the build
// tree and in the library folder when installed, so that the commands start
// without loading the toolkit.
int RunWindowModule(int argc, char** argv) {
    const std::string exeDir = ExeDirectory();
    std::string error;
    for (const std::string& path :
         {exeDir + kWindowModuleName, exeDir + MAPWRIGHT_WINDOW_MODULE_FROM_BIN}) {
        std::string why;
        if (void* function = LoadModuleFunction(path, kWindowMainFunction, why)) {
            return reinterpret_cast<TWindowMain>(function)(argc, argv);
        }
        // The first module that is there but does not load says why.
        if (std::error_code missing; error.empty() && std::filesystem::exists(path, missing)) {
            error = why;
        }
    }
    std::cerr << "mapwright: the window cannot be opened: "
              << (error.empty() ? std::string(kWindowModuleName) + " is not installed" : error)
              << "\n";
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        return WriteOutput(UsageText(), std::cout, std::cerr);
    }
    if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
        return PrintVersion();
    }
    if (argc >= 2 && std::strcmp(argv[1], "convert") == 0) {
        const std::vector<std::string> args(argv + 2, argv + argc);
        return RunConvert(args, std::cout, std::cerr, StandardOutputIsTerminal(), PrintVersion);
    }
    if (argc >= 2 && std::strcmp(argv[1], "explain") == 0) {
        const std::vector<std::string> args(argv + 2, argv + argc);
        return RunExplain(args, std::cout, std::cerr, PrintVersion);
    }
    if (argc >= 2 && std::strcmp(argv[1], "retime") == 0) {
        const std::vector<std::string> args(argv + 2, argv + argc);
        return RunRetime(args, std::cout, std::cerr, StandardOutputIsTerminal(), PrintVersion);
    }

    return RunWindowModule(argc, argv);
}
