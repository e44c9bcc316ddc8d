#pragma once
// The window part's entry point. The program opens the module
// kWindowModuleName and calls its function kWindowMainFunction, declared
// here, with its own arguments; what it returns is the program's exit
// status.

inline constexpr const char* kWindowModuleName = "mapwright-window.so";
inline constexpr const char* kWindowMainFunction = "MapwrightWindowMain";
using TWindowMain = int (*)(int argc, char** argv);

// The window options (--demo, --page, ...), then the window until it is
// closed. Unknown arguments: the usage on standard error and kExitUsage.
extern "C" int MapwrightWindowMain(int argc, char** argv);
