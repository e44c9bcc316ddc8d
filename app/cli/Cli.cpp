#include "Cli.h"

#include "ColorCodeParser.h"
#include "Cp1252.h"
#include "Explain.h"
#include "Findings.h"
#include "Map.h"
#include "Pipeline.h"
#include "Report.h"
#include "Retime.h"
#include "TextFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <limits>
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

enum class Command { Convert, Retime, Explain };

struct ConvertOptions {
    Command Is = Command::Convert;
    std::optional<std::string> RailPressureFile;
    std::optional<std::string> DurationFile;
    std::optional<std::string> SoiFile;
    std::string ThresholdLo = "-8";
    std::string ThresholdHi = "0";
    OutputView View = OutputView::EOI;
    bool EoiDelta = false;  // --view eoi-delta
    bool BeforeTdc = false; // --view before-tdc
    // --check-eoi MIN MAX: the bounds every EOI cell must keep.
    bool CheckEoi = false;
    double CheckMin = -std::numeric_limits<double>::infinity();
    double CheckMax = std::numeric_limits<double>::infinity();
    // explain's operating point.
    std::optional<double> AtIq;
    std::optional<double> AtRpm;
    // The baseline, for retime and for convert's eoi-delta.
    std::optional<std::string> BaselineRailPressureFile;
    std::optional<std::string> BaselineDurationFile;
    std::optional<std::string> BaselineSoiFile;
    // retime's target (one kind) and limits.
    std::optional<std::string> TargetEoiFile;
    std::optional<double> TargetEoiValue;
    std::optional<double> TargetBeforeTdc;
    TRetimeLimits Limits;
    ColorMode Color = ColorMode::Auto;
    bool Utf8 = false;
    bool Diagnostics = false;
    bool Json = false;
    bool Help = false;
    bool Version = false;
};

constexpr double kNoLimit = std::numeric_limits<double>::infinity();
constexpr double kSmallestStep = 1e-6;

// A number as the threshold edits read it (a comma works); "" is none when
// `emptyIsNone`, else no number.
std::optional<double> ReadNumber(const std::string& text, bool emptyIsNone) {
    NumberStatus status = NumberStatus::Number;
    const double v = TextToNumber(text, status);
    if (status == NumberStatus::Number || (emptyIsNone && text.empty())) {
        return v;
    }
    return std::nullopt;
}

// Parses the arguments; on failure returns the message to show above the
// usage text. Every option may be given once; a value never starts with "--"
// (a file of such a name is given as ./--name), so a forgotten value is
// reported instead of taking the next option.
std::optional<std::string> ParseArguments(const std::vector<std::string>& args,
                                          ConvertOptions& options) {
    const bool retime = options.Is == Command::Retime;
    const bool explain = options.Is == Command::Explain;
    // What explain takes; every other command takes more.
    constexpr std::string_view kExplainOptions[] = {"--help",     "--version", "--rail-pressure",
                                                    "--duration", "--soi",     "--at",
                                                    "--format",   "--utf8"};
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
        if (explain && std::find(std::begin(kExplainOptions), std::end(kExplainOptions), name) ==
                           std::end(kExplainOptions)) {
            return "unknown argument '" + arg + "'";
        }

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
        } else if (name == "--baseline-rail-pressure" || name == "--baseline-duration" ||
                   name == "--baseline-soi" || (retime && name == "--target-eoi")) {
            std::optional<std::string>& slot =
                name == "--baseline-soi"        ? options.BaselineSoiFile
                : name == "--baseline-duration" ? options.BaselineDurationFile
                : name == "--target-eoi"        ? options.TargetEoiFile
                                                : options.BaselineRailPressureFile;
            slot = value();
            if (!slot) {
                return arg + " needs a FILE";
            }
        } else if (retime && (name == "--target-eoi-value" || name == "--target-before-tdc" ||
                              name == "--resolution")) {
            const char* what = name == "--target-eoi-value"    ? "DEG"
                               : name == "--target-before-tdc" ? "PERCENT"
                                                               : "STEP";
            const auto text = value();
            const auto number = text ? ReadNumber(*text, false) : std::nullopt;
            if (!number) {
                return arg + " needs a number " + what +
                       (text ? ", not '" + *text + "'" : std::string());
            }
            if (name == "--target-eoi-value") {
                options.TargetEoiValue = *number;
            } else if (name == "--target-before-tdc") {
                if (*number < 0 || *number > 100) {
                    return arg + " needs a PERCENT from 0 to 100, not '" + *text + "'";
                }
                options.TargetBeforeTdc = *number;
            } else {
                if (!(*number >= kSmallestStep)) {
                    return arg + " needs a STEP of at least 0.000001, not '" + *text + "'";
                }
                options.Limits.Step = *number;
            }
        } else if (retime && name == "--soi-limits") {
            const auto lo = value();
            const auto hi = lo ? value() : std::nullopt;
            if (!hi) {
                return std::string("--soi-limits needs MIN and MAX (\"\" for none)");
            }
            const auto min = ReadNumber(*lo, true);
            const auto max = ReadNumber(*hi, true);
            if (!min || !max) {
                return "--soi-limits needs numbers MIN and MAX, not '" + (min ? *hi : *lo) + "'";
            }
            options.Limits.Min = lo->empty() ? -kNoLimit : *min;
            options.Limits.Max = hi->empty() ? kNoLimit : *max;
            if (options.Limits.Min > options.Limits.Max) {
                return "--soi-limits: MIN " + *lo + " lies above MAX " + *hi;
            }
        } else if (explain && name == "--at") {
            const auto iq = value();
            const auto rpm = iq ? value() : std::nullopt;
            if (!rpm) {
                return std::string("--at needs IQ and RPM");
            }
            options.AtIq = ReadNumber(*iq, false);
            options.AtRpm = ReadNumber(*rpm, false);
            if (!options.AtIq || !options.AtRpm) {
                return "--at needs numbers IQ and RPM, not '" + (options.AtIq ? *rpm : *iq) + "'";
            }
        } else if (name == "--check-eoi") {
            const auto lo = value();
            const auto hi = lo ? value() : std::nullopt;
            if (!hi) {
                return std::string("--check-eoi needs MIN and MAX (\"\" for none)");
            }
            const auto min = ReadNumber(*lo, true);
            const auto max = ReadNumber(*hi, true);
            if (!min || !max) {
                return "--check-eoi needs numbers MIN and MAX, not '" + (min ? *hi : *lo) + "'";
            }
            options.CheckEoi = true;
            options.CheckMin = lo->empty() ? -kNoLimit : *min;
            options.CheckMax = hi->empty() ? kNoLimit : *max;
            if (options.CheckMin > options.CheckMax) {
                return "--check-eoi: MIN " + *lo + " lies above MAX " + *hi;
            }
        } else if (!retime && name == "--thresholds") {
            const auto lo = value();
            const auto hi = lo ? value() : std::nullopt;
            if (!hi) {
                return std::string("--thresholds needs LO and HI");
            }
            options.ThresholdLo = *lo;
            options.ThresholdHi = *hi;
        } else if (!retime && name == "--view") {
            const auto view = value();
            if (!view) {
                return std::string("--view needs a VIEW");
            }
            if (*view == "eoi-delta" || *view == "before-tdc") {
                (*view == "eoi-delta" ? options.EoiDelta : options.BeforeTdc) = true;
                continue;
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
    if (explain) {
        return options.AtIq ? std::nullopt : std::optional<std::string>("--at IQ RPM is required");
    }
    const bool baseline =
        options.BaselineRailPressureFile || options.BaselineDurationFile || options.BaselineSoiFile;
    if (baseline && (!options.BaselineRailPressureFile || !options.BaselineDurationFile)) {
        return std::string("a baseline needs --baseline-rail-pressure and --baseline-duration");
    }
    if (retime) {
        const int targets = (options.TargetEoiFile ? 1 : 0) + (options.TargetEoiValue ? 1 : 0) +
                            (options.TargetBeforeTdc ? 1 : 0) + (baseline ? 1 : 0);
        if (targets != 1) {
            return std::string(targets == 0 ? "a target is required" : "give one target") +
                   ": --target-eoi, --target-eoi-value, --target-before-tdc or a baseline";
        }
    } else if (options.EoiDelta != baseline) {
        return std::string(options.EoiDelta ? "--view eoi-delta needs a baseline"
                                            : "a baseline is only for --view eoi-delta");
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

// A grid of a map's cells, rows by Y, as the report prints them.
template <class Cell> void PutJsonGrid(std::string& out, const char* key, const Map& m, Cell cell) {
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
}

// `more` appends keys of the command's own after the findings.
std::string ViewToJson(std::string_view name, const TViewLayout& l, bool coloured,
                       Thresholds thresholds, const std::vector<TJsonFinding>& findings,
                       const std::function<void(std::string&)>& more = {}) {
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
    const auto grid = [&out, &m](const char* key, auto cell) { PutJsonGrid(out, key, m, cell); };
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
    out += findings.empty() ? "]" : "\n  ]";
    if (more) {
        more(out);
    }
    out += "\n}\n";
    return out;
}

} // namespace

std::string UsageText() {
    return "usage: mapwright [--demo] [--demo-dir DIR] [--baseline-dir DIR] [--page TITLE]\n"
           "                 [--explain IQ RPM] [--screenshot PNG]\n"
           "       mapwright convert --rail-pressure FILE --duration FILE --soi FILE\n"
           "                         [--thresholds LO HI] [--view VIEW]\n"
           "                         [--color auto|always|never|codes] [--utf8]\n"
           "                         [--diagnostics] [--format text|json]\n"
           "                         [BASELINE (with --view eoi-delta)] [--check-eoi MIN MAX]\n"
           "       mapwright retime --rail-pressure FILE --duration FILE --soi FILE TARGET\n"
           "                        [--soi-limits MIN MAX] [--resolution STEP]\n"
           "                        [--color auto|always|never|codes] [--utf8]\n"
           "                        [--diagnostics] [--format text|json] [--check-eoi MIN MAX]\n"
           "       mapwright explain --rail-pressure FILE --duration FILE --soi FILE --at IQ RPM\n"
           "                         [--format text|json] [--utf8]\n"
           "       mapwright --help | --version\n"
           "\n"
           "Without a command, opens the window; --demo loads the demo maps into it\n"
           "(from DIR with --demo-dir: DemoRailPressure.txt, DemoDuration.txt, DemoSOI.txt);\n"
           "--baseline-dir keeps the three maps of that name in DIR as the baseline first;\n"
           "--page shows the page with that title; --explain explains the cell nearest to\n"
           "IQ RPM on that page (click a cell for it); --screenshot saves the window as PNG\n"
           "after half a second and exits.\n"
           "\n"
           "convert prints one output view of the three maps as plain text with CR LF line ends.\n"
           "VIEW: rail-pressure, duration-rp, duration-us, duration-deg,\n"
           "      duration-deg-data, eoi (default), eoi-data, before-tdc (the percentage\n"
           "      of each injection before TDC), eoi-delta (the EOI minus the baseline's\n"
           "      EOI, looked up on the SOI grid)\n"
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
           "\n"
           "retime prints the SOI map that ends the injection at the target EOI (degrees,\n"
           "positive before TDC) in every cell of the SOI grid, in the map text layout\n"
           "with the SOI map's axes: SOI = target + duration in degrees, held within\n"
           "MIN MAX (\"\" for no limit), rounded to a multiple of STEP (default 0.1).\n"
           "TARGET: --target-eoi FILE       a target EOI map, looked up on the SOI grid\n"
           "      | --target-eoi-value DEG  the same EOI everywhere\n"
           "      | --target-before-tdc PERCENT  that share of the injection before TDC\n"
           "      | BASELINE                the baseline's EOI\n"
           "BASELINE: --baseline-rail-pressure FILE --baseline-duration FILE\n"
           "          [--baseline-soi FILE (default: the --soi map)]\n"
           "In colour, SOIs moved earlier are blue, later red, held by a limit purple\n"
           "and bold. --format json adds target_eoi, duration_deg, clamped (-1\n"
           "held at MIN, 1 at MAX), residual_eoi (the EOI the new SOI gives minus the\n"
           "target) and target_extrapolated (1/2 below/above the target's X axis, 4/8\n"
           "its Y axis), all rows by Y.\n"
           "\n"
           "--check-eoi MIN MAX (convert, retime; \"\" for no bound): after the output,\n"
           "         every EOI cell (for retime: the EOI of the new SOI map) below MIN or\n"
           "         above MAX is one line on standard error, KIND check-eoi, and the\n"
           "         exit status is 3\n"
           "\n"
           "explain prints every step that made the EOI at one operating point: the\n"
           "rail pressure and duration lookups with their axis points, weights and\n"
           "cells, the duration in degrees, the SOI, the EOI and the share before TDC;\n"
           "--format json gives rail_pressure, duration_us, duration_deg, soi, eoi and\n"
           "before_tdc, each with its value.\n"
           "\n"
           "Numbers read as in the window's edits (a comma works).\n"
           "Each option at most once; a value never starts with --.\n"
           "Exit status: 0 view printed, 1 a map is incomplete, 2 bad arguments, an\n"
           "unreadable file, or output (or asked-for diagnostics) that cannot be written,\n"
           "3 an EOI outside the bounds of --check-eoi.\n";
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

namespace {

// One map file of a command: where it is, what it is called in messages and
// diagnostics, and what reading it gave.
struct Input {
    std::string File;
    const char* Name;
    const char* Key; // the map's name in diagnostics, as its option has it
    std::unique_ptr<Map> Parsed = std::make_unique<Map>();
    ParseReport Report{};
    TTextFileLimits Limits{}; // long lines; whether the counting stopped early
};

// What the file itself held beyond what is read: lines cut at their bound,
// and a file that was counted only so far. Then the map's own.
std::vector<TDiagnostic> DiagnoseInput(const Input& input) {
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
}

int IncompleteMap(const Input& input, std::ostream& err) {
    err << "mapwright: the " << input.Name << " map in " << input.File
        << " is incomplete (it needs X axis values on line 6 and at least one row)\n";
    return kExitIncomplete;
}

bool Incomplete(const Map& m) {
    return m.XCount == 0 || m.YCount == 0;
}

// --check-eoi: every EOI cell (of the chain, or the one a new SOI map gives)
// within the bounds, else one diagnostics line per cell and kExitCheckFailed.
int CheckEoi(const Map* eoi, const TRetimeResult* retimed, const ConvertOptions& options,
             std::ostream& err) {
    const Map& grid = retimed != nullptr ? retimed->NewSoi : *eoi;
    int outside = 0;
    for (int y = 0; y < grid.YCount; ++y) {
        for (int x = 0; x < grid.XCount; ++x) {
            const double v = retimed != nullptr
                                 ? retimed->NewSoi.Value[x][y] - retimed->DurationDeg.Value[x][y]
                                 : eoi->Value[x][y];
            const bool below = v < options.CheckMin;
            // A NaN lies within no bounds.
            if (!below && !(v > options.CheckMax) && !std::isnan(v)) {
                continue;
            }
            ++outside;
            // The cell's line and field in the map text, from 1.
            err << "eoi\t" << 7 + y << '\t' << 3 + x << "\tcheck-eoi\t" << FormatNumber(v, 1)
                << '\t'
                << (below ? "below the minimum " + ShortestNumber(options.CheckMin)
                          : "above the maximum " + ShortestNumber(options.CheckMax))
                << " at " << ShortestNumber(grid.XAxis[x]) << " mm3, "
                << ShortestNumber(grid.YAxis[y]) << " 1/min\n";
        }
    }
    if (!err.flush()) {
        return kExitUsage;
    }
    return outside > 0 ? kExitCheckFailed : kExitOk;
}

int RunCommand(Command command, const std::vector<std::string>& args, std::ostream& out,
               std::ostream& err, bool outIsTerminal, const std::function<int()>& printVersion) {
    const bool retime = command == Command::Retime;
    const char* const prefix = retime                        ? "mapwright retime: "
                               : command == Command::Explain ? "mapwright explain: "
                                                             : "mapwright convert: ";
    ConvertOptions options;
    options.Is = command;
    if (const auto problem = ParseArguments(args, options)) {
        err << prefix << *problem << "\n" << UsageText();
        return kExitUsage;
    }
    if (options.Help) {
        return WriteOutput(UsageText(), out, err);
    }
    if (options.Version) {
        if (!printVersion) {
            err << prefix << "no version to print\n";
            return kExitUsage;
        }
        return printVersion();
    }

    // The three maps, then the target map or the baseline's maps, as given.
    std::vector<Input> inputs;
    inputs.reserve(7);
    inputs.push_back({*options.RailPressureFile, "rail pressure", "rail-pressure"});
    inputs.push_back({*options.DurationFile, "duration", "duration"});
    inputs.push_back({*options.SoiFile, "SOI", "soi"});
    Input* targetInput = nullptr;
    Input* baselineInputs[3] = {};
    if (options.TargetEoiFile) {
        targetInput =
            &inputs.emplace_back(Input{*options.TargetEoiFile, "target EOI", "target-eoi"});
    }
    if (options.BaselineRailPressureFile) {
        baselineInputs[0] = &inputs.emplace_back(Input{
            *options.BaselineRailPressureFile, "baseline rail pressure", "baseline-rail-pressure"});
        baselineInputs[1] = &inputs.emplace_back(
            Input{*options.BaselineDurationFile, "baseline duration", "baseline-duration"});
        if (options.BaselineSoiFile) {
            baselineInputs[2] = &inputs.emplace_back(
                Input{*options.BaselineSoiFile, "baseline SOI", "baseline-soi"});
        }
    }
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
    if (options.Diagnostics) {
        for (const Input& input : inputs) {
            for (const TDiagnostic& d : DiagnoseInput(input)) {
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

    const Map& soi = *inputs[2].Parsed;
    const MissingInput missing = FindIncompleteInput(*inputs[0].Parsed, *inputs[1].Parsed, soi);
    if (missing != MissingInput::None) {
        return IncompleteMap(inputs[static_cast<int>(missing) - 1], err);
    }
    if (targetInput != nullptr && Incomplete(*targetInput->Parsed)) {
        return IncompleteMap(*targetInput, err);
    }
    // The baseline's EOI, by default from the current SOI map.
    auto baselineEoi = std::make_unique<Map>();
    if (baselineInputs[0] != nullptr) {
        const Map& baselineSoi = baselineInputs[2] != nullptr ? *baselineInputs[2]->Parsed : soi;
        const MissingInput gap = FindIncompleteInput(*baselineInputs[0]->Parsed,
                                                     *baselineInputs[1]->Parsed, baselineSoi);
        if (gap != MissingInput::None) {
            return IncompleteMap(*baselineInputs[static_cast<int>(gap) - 1], err);
        }
        ComputeEoi(*baselineInputs[0]->Parsed, *baselineInputs[1]->Parsed, baselineSoi,
                   *baselineEoi);
    }

    if (command == Command::Explain) {
        TExplanation e;
        ExplainPoint(*inputs[0].Parsed, *inputs[1].Parsed, soi, *options.AtIq, *options.AtRpm, e);
        if (options.Json) {
            return WriteOutput(ExplanationJson(e), out, err);
        }
        const std::string text = ExplanationText(e);
        return WriteOutput(options.Utf8 ? text : Utf8ToCp1252(text), out, err);
    }

    auto derived = std::make_unique<DerivedMaps>();
    DeriveMaps(*inputs[0].Parsed, *inputs[1].Parsed, soi, *derived);
    const Thresholds thresholds = ReadEoiThresholds(options.ThresholdLo, options.ThresholdHi);

    // What is printed: a view of the chain, the EOI delta or the new SOI map.
    auto delta = std::make_unique<Map>();
    auto deltaFlags = std::make_unique<ExtrapolationMap>();
    auto retimed = std::make_unique<TRetimeResult>();
    std::string_view viewName = NameOfView(options.View);
    std::optional<TViewLayout> layout;
    std::string coded;
    if (retime) {
        TRetimeTarget target;
        if (options.TargetEoiValue) {
            target = {TargetKind::Constant, *options.TargetEoiValue, nullptr};
        } else if (options.TargetBeforeTdc) {
            target = {TargetKind::BeforeTdc, *options.TargetBeforeTdc, nullptr};
        } else {
            target = {TargetKind::Map, 0,
                      targetInput != nullptr ? targetInput->Parsed.get() : baselineEoi.get()};
        }
        Retime(*derived, target, options.Limits, *retimed);
        viewName = "new-soi";
        const Map& m = retimed->NewSoi;
        layout.emplace(TViewLayout{m, derived->Flags.NewDurationMapDeg, "New SOI Map",
                                   "SOI(Injection Quantity, Engine Speed)/degCA", "mm3", "1/min",
                                   AxisDecimals(m.XAxis, m.XCount, 1),
                                   AxisDecimals(m.YAxis, m.YCount, 0),
                                   StepDecimals(options.Limits.Step), false});
        coded = NewSoiText(*retimed, soi, true);
    } else if (options.BeforeTdc) {
        BeforeTdcMap(*derived, soi, *delta);
        viewName = "before-tdc";
        layout.emplace(TViewLayout{*delta, derived->Flags.NewEOIMap, "Before TDC",
                                   "Injection before TDC(Injection Quantity, Engine Speed)/%",
                                   "mm3", "1/min", 1, 0, 1, false});
        coded = BeforeTdcText(*delta);
    } else if (options.EoiDelta) {
        EoiDelta(derived->NewEOIMap, *baselineEoi, *delta, *deltaFlags);
        viewName = "eoi-delta";
        layout.emplace(TViewLayout{*delta, derived->Flags.NewEOIMap, "EOI Delta",
                                   "EOI - baseline EOI(Injection Quantity, Engine Speed)/degCA",
                                   "mm3", "1/min", 1, 0, 1, false});
        coded = EoiDeltaText(*delta);
    } else {
        layout.emplace(ViewLayout(options.View, *derived));
    }
    const auto cells = layout->Values.XCount * layout->Values.YCount;
    if (options.Diagnostics) {
        const ExtrapolationCount count = CountExtrapolated(layout->Values, layout->Flags);
        for (int bit = 0; bit < 8; ++bit) {
            if (count.ByFlag[bit] > 0) {
                err << viewName << "\t0\t0\textrapolated\t" << count.ByFlag[bit] << " of " << cells
                    << " cells\t" << ExtrapolationWords(bit) << ": the edge value continued\n";
            }
        }
        if (retime) {
            for (const int side : {-1, 1}) {
                int held = 0;
                for (int x = 0; x < layout->Values.XCount; ++x) {
                    for (int y = 0; y < layout->Values.YCount; ++y) {
                        held += retimed->Clamped[x][y] == side ? 1 : 0;
                    }
                }
                if (held > 0) {
                    err << viewName << "\t0\t0\tclamped\t" << held << " of " << cells
                        << " cells\theld at the " << (side < 0 ? "minimum " : "maximum ")
                        << ShortestNumber(side < 0 ? options.Limits.Min : options.Limits.Max)
                        << "\n";
                }
            }
        }
        if (diagnosticsLost()) {
            return kExitUsage;
        }
    }
    if (options.Json) {
        std::vector<TJsonFinding> all;
        for (const Input& input : inputs) {
            for (TDiagnostic& d : DiagnoseInput(input)) {
                all.push_back({input.Key, std::move(d)});
            }
        }
        // Only the EOI report is coloured (its data view never is).
        const bool coloured = !retime && !options.EoiDelta && options.View == OutputView::EOI;
        std::function<void(std::string&)> more;
        if (retime) {
            more = [&](std::string& json) {
                const TRetimeResult& r = *retimed;
                // Unrounded values as exactly as a double prints.
                const auto exact = [&json](double v) {
                    json += std::isfinite(v) ? ShortestNumber(v) : std::string("null");
                };
                PutJsonGrid(json, "target_eoi", r.NewSoi,
                            [&](int x, int y) { exact(r.TargetEoi.Value[x][y]); });
                PutJsonGrid(json, "duration_deg", r.NewSoi,
                            [&](int x, int y) { exact(r.DurationDeg.Value[x][y]); });
                PutJsonGrid(json, "clamped", r.NewSoi,
                            [&](int x, int y) { json += std::to_string(r.Clamped[x][y]); });
                PutJsonGrid(json, "residual_eoi", r.NewSoi,
                            [&](int x, int y) { exact(r.ResidualEoi.Value[x][y]); });
                PutJsonGrid(json, "target_extrapolated", r.NewSoi, [&](int x, int y) {
                    json += std::to_string(r.TargetFlags.Cell[x][y]);
                });
            };
        }
        const int written =
            WriteOutput(ViewToJson(viewName, *layout, coloured, thresholds, all, more), out, err);
        if (written != kExitOk || !options.CheckEoi) {
            return written;
        }
        return CheckEoi(retime ? nullptr : &derived->NewEOIMap, retime ? retimed.get() : nullptr,
                        options, err);
    }
    if (coded.empty()) {
        coded = BuildViewText(options.View, *derived, thresholds);
    }

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
    const int written = WriteOutput(encode(text), out, err);
    if (written != kExitOk || !options.CheckEoi) {
        return written;
    }
    return CheckEoi(retime ? nullptr : &derived->NewEOIMap, retime ? retimed.get() : nullptr,
                    options, err);
}

} // namespace

int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool outIsTerminal, const std::function<int()>& printVersion) {
    return RunCommand(Command::Convert, args, out, err, outIsTerminal, printVersion);
}

int RunRetime(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
              bool outIsTerminal, const std::function<int()>& printVersion) {
    return RunCommand(Command::Retime, args, out, err, outIsTerminal, printVersion);
}

int RunExplain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const std::function<int()>& printVersion) {
    return RunCommand(Command::Explain, args, out, err, false, printVersion);
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
