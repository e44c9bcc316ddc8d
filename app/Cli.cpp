#include "Cli.h"

#include "ColorCodeParser.h"
#include "Cp1252.h"
#include "Map.h"
#include "Pipeline.h"
#include "Report.h"
#include "TextFile.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <ostream>
#include <string_view>
#include <utility>

namespace {

struct ViewName {
    std::string_view Name;
    OutputView View;
};

constexpr std::array<ViewName, kOutputViewCount> kViews = {{
    {"rail-pressure", OutputView::RailPressure},
    {"duration-rp", OutputView::DurationRP},
    {"duration-us", OutputView::DurationUs},
    {"duration-deg", OutputView::DurationDeg},
    {"duration-deg-data", OutputView::DurationDegData},
    {"eoi", OutputView::EOI},
    {"eoi-data", OutputView::EOIData},
}};

enum class ColorMode { Auto, Always, Never, Codes };

struct ConvertOptions {
    std::optional<std::string> RailPressureFile;
    std::optional<std::string> DurationFile;
    std::optional<std::string> SoiFile;
    std::string ThresholdLo = "-8";
    std::string ThresholdHi = "0";
    OutputView View = OutputView::EOI;
    ColorMode Color = ColorMode::Auto;
    bool Utf8 = false;
    bool Help = false;
};

// Parses the arguments; on failure returns the message to show above the
// usage text.
std::optional<std::string> ParseArguments(const std::vector<std::string>& args,
                                          ConvertOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) {
                return std::nullopt;
            }
            return args[++i];
        };
        auto file = [&](std::optional<std::string>& slot) -> std::optional<std::string> {
            if (slot) {
                return arg + " given twice";
            }
            slot = value();
            if (!slot) {
                return arg + " needs a FILE";
            }
            return std::nullopt;
        };

        std::optional<std::string> problem;
        if (arg == "--help" || arg == "-h") {
            options.Help = true;
        } else if (arg == "--rail-pressure") {
            problem = file(options.RailPressureFile);
        } else if (arg == "--duration") {
            problem = file(options.DurationFile);
        } else if (arg == "--soi") {
            problem = file(options.SoiFile);
        } else if (arg == "--thresholds") {
            if (i + 2 >= args.size()) {
                return std::string("--thresholds needs LO and HI");
            }
            options.ThresholdLo = args[++i];
            options.ThresholdHi = args[++i];
        } else if (arg == "--view") {
            const auto name = value();
            if (!name) {
                return std::string("--view needs a VIEW");
            }
            bool found = false;
            for (const ViewName& v : kViews) {
                if (v.Name == *name) {
                    options.View = v.View;
                    found = true;
                }
            }
            if (!found) {
                return "unknown view '" + *name + "'";
            }
        } else if (arg == "--color") {
            const auto mode = value();
            if (!mode) {
                return std::string("--color needs auto, always, never or codes");
            }
            if (*mode == "auto") {
                options.Color = ColorMode::Auto;
            } else if (*mode == "always") {
                options.Color = ColorMode::Always;
            } else if (*mode == "never") {
                options.Color = ColorMode::Never;
            } else if (*mode == "codes") {
                options.Color = ColorMode::Codes;
            } else {
                return "unknown --color mode '" + *mode + "'";
            }
        } else if (arg == "--utf8") {
            options.Utf8 = true;
        } else {
            return "unknown argument '" + arg + "'";
        }
        if (problem) {
            return problem;
        }
    }
    if (options.Help) {
        return std::nullopt;
    }
    if (!options.RailPressureFile || !options.DurationFile || !options.SoiFile) {
        return std::string("--rail-pressure, --duration and --soi are all required");
    }
    return std::nullopt;
}

const char* SgrForColor(TColor color) {
    switch (ColorValue(color)) {
    case ColorValue(clBlack): return "39";
    case ColorValue(clMaroon): return "31";
    case ColorValue(clGreen): return "32";
    case ColorValue(clOlive): return "33";
    case ColorValue(clNavy): return "34";
    case ColorValue(clPurple): return "35";
    case ColorValue(clTeal): return "36";
    case ColorValue(clSilver): return "37";
    case ColorValue(clGray): return "90";
    case ColorValue(clRed): return "91";
    case ColorValue(clLime): return "92";
    case ColorValue(clYellow): return "93";
    case ColorValue(clBlue): return "94";
    case ColorValue(clFuchsia): return "95";
    case ColorValue(clAqua): return "96";
    case ColorValue(clWhite): return "97";
    default: return nullptr;
    }
}

} // namespace

std::string UsageText() {
    return "usage: mapwright [--demo] [--screenshot PNG]\n"
           "       mapwright convert --rail-pressure FILE --duration FILE --soi FILE\n"
           "                         [--thresholds LO HI] [--view VIEW]\n"
           "                         [--color auto|always|never|codes] [--utf8]\n"
           "       mapwright --help | --version\n"
           "\n"
           "Without a command, opens the window; --demo loads the demo maps into it;\n"
           "--screenshot saves the window as PNG after half a second and exits.\n"
           "\n"
           "convert prints one output view of the three maps as plain text with CR LF line ends.\n"
           "VIEW: rail-pressure, duration-rp, duration-us, duration-deg,\n"
           "      duration-deg-data, eoi (default), eoi-data\n"
           "LO HI: the EOI colour thresholds as typed into their edits (default -8 0;\n"
           "       an empty argument switches colouring off)\n"
           "--color: ANSI colours on a terminal (auto), always, never, or the raw\n"
           "         colour codes ([G] [R] [B] [/]) as the window receives them\n"
           "--utf8: write UTF-8 instead of Windows-1252\n"
           "Exit status: 0 view printed, 1 a map is incomplete, 2 bad arguments or\n"
           "unreadable file.\n";
}

std::string ColorCodesToAnsi(const std::string& text) {
    std::string out;
    out.reserve(text.size() * 2);
    std::string current;
    ParseColorCodes(text, {.EnableColors = true, .SuppressAnsi = false}, [&](const TColorRun& run) {
        std::string sgr = "\x1b[0";
        if (const char* named = SgrForColor(run.Color)) {
            sgr += ';';
            sgr += named;
        } else {
            sgr += ";38;2;" + std::to_string(ColorRed(run.Color)) + ';' +
                   std::to_string(ColorGreen(run.Color)) + ';' +
                   std::to_string(ColorBlue(run.Color));
        }
        constexpr std::pair<TFontStyle, const char*> kStyles[] = {
            {TFontStyle::fsBold, ";1"},
            {TFontStyle::fsItalic, ";3"},
            {TFontStyle::fsUnderline, ";4"},
            {TFontStyle::fsStrikeOut, ";9"},
        };
        for (const auto& [style, code] : kStyles) {
            if (run.Style.Contains(style)) {
                sgr += code;
            }
        }
        sgr += 'm';
        // Only say what changed: most runs of a report are
        // black numbers between black separators.
        if (sgr != current) {
            out += sgr;
            current = sgr;
        }
        out += run.Text;
    });
    if (!current.empty()) {
        out += "\x1b[0m";
    }
    return out;
}

int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool outIsTerminal) {
    ConvertOptions options;
    if (const auto problem = ParseArguments(args, options)) {
        err << "mapwright convert: " << *problem << "\n" << UsageText();
        return kExitUsage;
    }
    if (options.Help) {
        return WriteOutput(UsageText(), out, err);
    }

    struct Input {
        const std::string& File;
        const char* Name;
        std::unique_ptr<Map> Parsed = std::make_unique<Map>();
    };
    Input inputs[] = {{*options.RailPressureFile, "rail pressure"},
                      {*options.DurationFile, "duration"},
                      {*options.SoiFile, "SOI"}};
    // A map is read from its first 56 lines (header, X axis, 50 rows); one
    // more tells whether the 56th is the text's last. Nothing further can
    // change the result, so no more is read, however large the file.
    constexpr std::size_t kLinesThatCount = 6 + kMaxAxis + 1;
    for (Input& input : inputs) {
        std::string text;
        std::string error;
        if (!ReadTextFile(input.File, text, error, kLinesThatCount)) {
            err << "mapwright: cannot read " << input.File << ": " << error << "\n";
            return kExitUsage;
        }
        ParseMap(text, *input.Parsed);
    }

    const MissingInput missing =
        FindIncompleteInput(*inputs[0].Parsed, *inputs[1].Parsed, *inputs[2].Parsed);
    if (missing != MissingInput::None) {
        const Input& input = inputs[static_cast<int>(missing) - 1];
        err << "mapwright: the " << input.Name << " map in " << input.File
            << " is incomplete (it needs X axis values on line 6 and at least one row)\n";
        return kExitIncomplete;
    }

    auto derived = std::make_unique<DerivedMaps>();
    DeriveMaps(*inputs[0].Parsed, *inputs[1].Parsed, *inputs[2].Parsed, *derived);
    const Thresholds thresholds = ReadEoiThresholds(options.ThresholdLo, options.ThresholdHi);
    const std::string coded = BuildViewText(options.View, *derived, thresholds);

    const bool ansi =
        options.Color == ColorMode::Always || (options.Color == ColorMode::Auto && outIsTerminal);
    std::string text;
    if (options.Color == ColorMode::Codes) {
        text = coded;
    } else if (ansi) {
        text = ColorCodesToAnsi(coded);
    } else {
        text = StripColorCodes(coded, {.EnableColors = true, .SuppressAnsi = false});
    }
    if (options.Utf8) {
        text = Cp1252ToUtf8(text);
    }
    return WriteOutput(text, out, err);
}

int WriteOutput(const std::string& text, std::ostream& out, std::ostream& err) {
    errno = 0;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
        // A full disk or a closed output: the text did not arrive. (A reader
        // that closed a pipe ends the program by SIGPIPE before this.)
        const int code = errno != 0 ? errno : EIO;
        err << "mapwright: cannot write the output: " << std::strerror(code) << "\n";
        return kExitUsage;
    }
    return kExitOk;
}
