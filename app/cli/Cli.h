#pragma once
// The command line of mapwright that needs no display:
//   mapwright convert --rail-pressure FILE --duration FILE --soi FILE
//                     [--thresholds LO HI] [--view VIEW]
//                     [--color auto|always|never|codes] [--utf8]
//                     [--diagnostics] [--format text|json]
//   mapwright retime --rail-pressure FILE --duration FILE --soi FILE TARGET
//                    [--soi-limits MIN MAX] [--resolution STEP] [--color ...]
//                    [--utf8] [--diagnostics] [--format text|json]
//   mapwright explain --rail-pressure FILE --duration FILE --soi FILE --at IQ RPM
//                     [--format text|json] [--utf8]
//   mapwright [convert|retime|explain] --help | --version

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

inline constexpr int kExitOk = 0;
inline constexpr int kExitIncomplete = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitCheckFailed = 3; // --check-eoi found a cell outside

std::string UsageText();

// Runs `mapwright convert` with the arguments after "convert". Writes the
// view's bytes to `out` and diagnostics to `err`; returns the exit code
// (kExitUsage also when diagnostics asked for cannot be written to `err`).
// `outIsTerminal` decides what --color auto does; --version calls
// `printVersion` and returns its exit code.
int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool outIsTerminal, const std::function<int()>& printVersion = {});

// Runs `mapwright retime` with the arguments after "retime", as RunConvert
// runs convert: the new SOI map for a wanted EOI.
int RunRetime(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool outIsTerminal, const std::function<int()>& printVersion = {});

// Runs `mapwright explain`: one operating point through the chain.
int RunExplain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const std::function<int()>& printVersion = {});

// The text with its colour codes turned into ANSI terminal colours.
std::string ColorCodesToAnsi(const std::string& text);

// Writes text to `out` and says so when it did not arrive (a full disk, a
// closed output): one line on `err` and kExitUsage; else kExitOk.
int WriteOutput(const std::string& text, std::ostream& out, std::ostream& err);
