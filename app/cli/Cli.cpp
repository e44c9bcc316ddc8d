#include "Cli.h"

#include "ColorCodeParser.h"
#include "Cp1252.h"
#include "Findings.h"
#include "Map.h"
#include "Pipeline.h"
#include "Report.h"
#include "TextFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
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

// In the order --color names them.
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
    bool Diagnostics = false;
    bool Json = false;
    bool Help = false;
    bool Version = false;
};

// Parses the arguments; on failure returns the message to show above the
// usage text. Every option may be given once; a value never starts with "--"
// (a file of such a name is given as ./--name), so a forgotten value is
// reported instead of taking the next option.
std::optional<std::string> ParseArguments(const std::vector<std::string>& args,
                                          ConvertOptions& options) {
    std::vector<std::string_view> seen;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0) {
                return std::nullopt;
            }
            return args[++i];
        };
        // One of a fixed set of words, or nullopt.
        auto choice = [&](std::initializer_list<std::string_view> words) -> std::optional<int> {
            const auto word = value();
            int index = 0;
            for (const std::string_view w : words) {
                if (word && *word == w) {
                    return index;
                }
                ++index;
            }
            return std::nullopt;
        };
        const std::string_view name = arg == "-h" ? std::string_view("--help") : arg;
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
            return arg + " given twice";
        }
        seen.push_back(name);

        if (name == "--help") {
            options.Help = true;
        } else if (name == "--version") {
            options.Version = true;
        } else if (name == "--rail-pressure" || name == "--duration" || name == "--soi") {
            std::optional<std::string>& slot = name == "--soi"        ? options.SoiFile
                                               : name == "--duration" ? options.DurationFile
                                                                      : options.RailPressureFile;
            slot = value();
            if (!slot) {
                return arg + " needs a FILE";
            }
        } else if (name == "--thresholds") {
            const auto lo = value();
            const auto hi = lo ? value() : std::nullopt;
            if (!hi) {
                return std::string("--thresholds needs LO and HI");
            }
            options.ThresholdLo = *lo;
            options.ThresholdHi = *hi;
        } else if (name == "--view") {
            const auto view = value();
            if (!view) {
                return std::string("--view needs a VIEW");
            }
            const auto* found = std::find_if(kViews.begin(), kViews.end(),
                                             [&](const ViewName& v) { return v.Name == *view; });
            if (found == kViews.end()) {
                return "unknown view '" + *view + "'";
            }
            options.View = found->View;
        } else if (name == "--color") {
            const auto mode = choice({"auto", "always", "never", "codes"});
            if (!mode) {
                return std::string("--color needs auto, always, never or codes");
            }
            options.Color = static_cast<ColorMode>(*mode);
        } else if (name == "--utf8") {
            options.Utf8 = true;
        } else if (name == "--diagnostics") {
            options.Diagnostics = true;
        } else if (name == "--format") {
            const auto format = choice({"text", "json"});
            if (!format) {
                return std::string("--format needs text or json");
            }
            options.Json = *format == 1;
        } else {
            return "unknown argument '" + arg + "'";
        }
    }
    if (options.Help || options.Version) {
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

std::string_view NameOfView(OutputView view) {
    for (const ViewName& v : kViews) {
        if (v.View == view) {
            return v.Name;
        }
    }
    return {};
}

struct TJsonFinding {
    std::string_view Map;
    TDiagnostic Diagnostic;
};

// A JSON string: the text (Windows-1252, as the map files hold it) in UTF-8,
// quotes, backslashes and control characters escaped.
void PutJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : Cp1252ToUtf8(text)) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            out += escape;
        } else {
            out += c;
        }
    }
    out += '"';
}

// A number as the view prints it, or null for one that JSON cannot hold.
void PutJsonNumber(std::string& out, double v, int decimals) {
    out += std::isfinite(v) ? FormatNumber(v, decimals) : std::string("null");
}

std::string ViewToJson(std::string_view name, const TViewLayout& l, bool coloured,
                       Thresholds thresholds, const std::vector<TJsonFinding>& findings) {
    const Map& m = l.Values;
    std::string out = "{\n  \"view\": ";
    PutJsonString(out, name);
    out += ",\n  \"title\": ";
    PutJsonString(out, l.Title);
    out += ",\n  \"description\": ";
    PutJsonString(out, l.Description);
    const auto axis = [&out](const char* key, std::string_view unit, const double* values,
                             int count, int decimals) {
        out += ",\n  \"";
        out += key;
        out += "\": {\"unit\": ";
        PutJsonString(out, unit);
        out += ", \"values\": [";
        for (int i = 0; i < count; ++i) {
            out += i > 0 ? ", " : "";
            PutJsonNumber(out, values[i], decimals);
        }
        out += "]}";
    };
    axis("x", l.XUnit, m.XAxis, m.XCount, l.XDecimals);
    axis("y", l.YUnit, m.YAxis, m.YCount, l.YDecimals);
    // Rows by Y, as the report prints them.
    const auto grid = [&out, &m](const char* key, auto cell) {
        out += ",\n  \"";
        out += key;
        out += "\": [";
        for (int y = 0; y < m.YCount; ++y) {
            out += y > 0 ? ",\n    [" : "\n    [";
            for (int x = 0; x < m.XCount; ++x) {
                out += x > 0 ? ", " : "";
                cell(x, y);
            }
            out += ']';
        }
        out += m.YCount > 0 ? "\n  ]" : "]";
    };
    grid("values", [&](int x, int y) { PutJsonNumber(out, m.Value[x][y], l.ValueDecimals); });
    out += ",\n  \"thresholds\": ";
    // What colours the view: each threshold that is on, a side that is off
    // null, and null for a view that is not coloured or has both off.
    if (coloured && (thresholds.LoOn() || thresholds.HiOn())) {
        const auto side = [&out](bool on, double value) {
            if (on) {
                PutJsonNumber(out, value, 6);
            } else {
                out += "null";
            }
        };
        out += "{\"lo\": ";
        side(thresholds.LoOn(), thresholds.Lo);
        out += ", \"hi\": ";
        side(thresholds.HiOn(), thresholds.Hi);
        out += '}';
    } else {
        out += "null";
    }
    grid("extrapolated", [&](int x, int y) { out += std::to_string(l.Flags.Cell[x][y]); });
    out += ",\n  \"extrapolation_bits\": {";
    for (int bit = 0; bit < 8; ++bit) {
        out += bit > 0 ? ", \"" : "\"";
        out += std::to_string(1 << bit) + "\": ";
        PutJsonString(out, ExtrapolationName(bit));
    }
    out += "},\n  \"findings\": [";
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const TDiagnostic& d = findings[i].Diagnostic;
        out += i > 0 ? ",\n    {\"map\": " : "\n    {\"map\": ";
        PutJsonString(out, findings[i].Map);
        out += ", \"line\": " + std::to_string(d.Line) + ", \"field\": " + std::to_string(d.Field) +
               ", \"kind\": ";
        PutJsonString(out, d.Kind);
        out += ", \"text\": ";
        PutJsonString(out, d.Text);
        out += ", \"action\": ";
        PutJsonString(out, d.Action);
        out += '}';
    }
    out += findings.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

} // namespace

std::string UsageText() {
    return "usage: mapwright [--demo] [--demo-dir DIR] [--page TITLE] [--screenshot PNG]\n"
           "       mapwright convert --rail-pressure FILE --duration FILE --soi FILE\n"
           "                         [--thresholds LO HI] [--view VIEW]\n"
           "                         [--color auto|always|never|codes] [--utf8]\n"
           "                         [--diagnostics] [--format text|json]\n"
           "       mapwright --help | --version\n"
           "\n"
           "Without a command, opens the window; --demo loads the demo maps into it\n"
           "(from DIR with --demo-dir: DemoRailPressure.txt, DemoDuration.txt, DemoSOI.txt);\n"
           "--page shows the page with that title; --screenshot saves the window as PNG\n"
           "after half a second and exits.\n"
           "\n"
           "convert prints one output view of the three maps as plain text with CR LF line ends.\n"
           "VIEW: rail-pressure, duration-rp, duration-us, duration-deg,\n"
           "      duration-deg-data, eoi (default), eoi-data\n"
           "LO HI: the EOI colour thresholds as typed into their edits (default -8 0;\n"
           "       an empty argument switches colouring off)\n"
           "--color: ANSI colours on a terminal (auto), always, never, or the raw\n"
           "         colour codes ([G] [R] [B] [/]) as the window receives them\n"
           "--utf8: write UTF-8 instead of Windows-1252\n"
           "--diagnostics: also write to standard error, one a line, what the maps held\n"
           "         that was not read as written and which cells of the view are\n"
           "         extrapolated: MAP LINE FIELD KIND TEXT ACTION, separated by TABs\n"
           "--format json: the view as JSON (axes, values, extrapolation flags and\n"
           "         findings) instead of its text\n"
           "Each option at most once; a value never starts with --.\n"
           "Exit status: 0 view printed, 1 a map is incomplete, 2 bad arguments, an\n"
           "unreadable file, or output (or asked-for diagnostics) that cannot be written.\n";
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
               bool outIsTerminal, const std::function<int()>& printVersion) {
    ConvertOptions options;
    if (const auto problem = ParseArguments(args, options)) {
        err << "mapwright convert: " << *problem << "\n" << UsageText();
        return kExitUsage;
    }
    if (options.Help) {
        return WriteOutput(UsageText(), out, err);
    }
    if (options.Version) {
        if (!printVersion) {
            err << "mapwright convert: no version to print\n";
            return kExitUsage;
        }
        return printVersion();
    }

    struct Input {
        const std::string& File;
        const char* Name;
        const char* Key; // the map's name in diagnostics, as its option has it
        std::unique_ptr<Map> Parsed = std::make_unique<Map>();
        ParseReport Report{};
        TTextFileLimits Limits{}; // long lines; whether the counting stopped early
    };
    Input inputs[] = {{*options.RailPressureFile, "rail pressure", "rail-pressure"},
                      {*options.DurationFile, "duration", "duration"},
                      {*options.SoiFile, "SOI", "soi"}};
    // A map is read from its first 56 lines (header, X axis, 50 rows); one
    // more tells whether the 56th is the text's last. Nothing further can
    // change the result, so no more is read, however large the file, unless
    // the rows beyond are to be counted.
    // Counting them stops at kCountedLines, so an endless input still ends.
    const bool findings = options.Diagnostics || options.Json;
    constexpr std::size_t kCountedLines = 100000;
    const std::size_t linesThatCount =
        findings ? kCountedLines : static_cast<std::size_t>(6 + kMaxAxis + 1);
    for (Input& input : inputs) {
        std::string text;
        std::string error;
        if (!ReadTextFile(input.File, text, error, linesThatCount, &input.Limits)) {
            err << "mapwright: cannot read " << input.File << ": " << error << "\n";
            return kExitUsage;
        }
        if (findings) {
            ParseMap(text, *input.Parsed, input.Report);
        } else {
            ParseMap(text, *input.Parsed);
        }
    }
    const auto encode = [&options](const std::string& text) {
        return options.Utf8 ? Cp1252ToUtf8(text) : text;
    };
    // What the file itself held beyond what is read: lines cut at their
    // bound, and a file that was counted only so far. Then the map's own.
    const auto diagnose = [](const Input& input) {
        std::vector<TDiagnostic> all;
        for (const TTextFileLimits::TLongLine& l : input.Limits.LongLines) {
            all.push_back({static_cast<int>(l.Line), 0, "long-line",
                           std::to_string(l.Length) + " characters",
                           "the first " + std::to_string(kMaxLineLength) + " read"});
        }
        if (input.Limits.Cut) {
            const std::size_t n = input.Limits.Lines;
            all.push_back({static_cast<int>(n), 0, "read-limit",
                           std::to_string(n) + (n == 1 ? " line" : " lines"), "the rest not read"});
        }
        for (TDiagnostic& d : Diagnose(input.Report)) {
            all.push_back(std::move(d));
        }
        return all;
    };
    if (options.Diagnostics) {
        for (const Input& input : inputs) {
            for (const TDiagnostic& d : diagnose(input)) {
                err << input.Key << '\t' << d.Line << '\t' << d.Field << '\t' << d.Kind << '\t'
                    << encode(d.Text) << '\t' << d.Action << '\n';
            }
        }
    }
    // Findings that were asked for and could not be written are as lost as
    // an unwritten view: nothing else is printed, and the status says so.
    const auto diagnosticsLost = [&]() { return options.Diagnostics && !err.flush(); };
    if (diagnosticsLost()) {
        return kExitUsage;
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
    const std::string_view viewName = NameOfView(options.View);
    const TViewLayout layout = ViewLayout(options.View, *derived);
    if (options.Diagnostics) {
        const ExtrapolationCount count = CountExtrapolated(layout.Values, layout.Flags);
        for (int bit = 0; bit < 8; ++bit) {
            if (count.ByFlag[bit] > 0) {
                err << viewName << "\t0\t0\textrapolated\t" << count.ByFlag[bit] << " of "
                    << layout.Values.XCount * layout.Values.YCount << " cells\t"
                    << ExtrapolationWords(bit) << ": the edge value continued\n";
            }
        }
        if (diagnosticsLost()) {
            return kExitUsage;
        }
    }
    if (options.Json) {
        std::vector<TJsonFinding> all;
        for (const Input& input : inputs) {
            for (TDiagnostic& d : diagnose(input)) {
                all.push_back({input.Key, std::move(d)});
            }
        }
        // Only the EOI report is coloured (its data view never is).
        const bool coloured = options.View == OutputView::EOI;
        return WriteOutput(ViewToJson(viewName, layout, coloured, thresholds, all), out, err);
    }
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
    return WriteOutput(encode(text), out, err);
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
