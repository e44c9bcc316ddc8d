#include "Findings.h"

#include "Cp1252.h"

#include <charconv>
#include <utility>

namespace {

constexpr std::string_view kTimes = " \xC3\x97 ";    // " × "
constexpr std::string_view kDot = " \xC2\xB7 ";      // " · "
constexpr std::string_view kMore = "; \xE2\x80\xA6"; // "; …"
// How many findings of a kind the pane's line names before "…".
constexpr int kNamed = 2;

// A number as the map has it: the shortest text that reads back to it, with
// a point whatever the process locale ("12.5", "1234567", never
// "1.23457e+06").
std::string Number(double v) {
    char buffer[400];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed);
    return written.ec == std::errc() ? std::string(buffer, written.ptr) : std::string("?");
}

std::string Plural(int n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

// Where a field lies, in the map's words.
std::string Where(const ParseFinding& f, const Map& map) {
    if (f.Line == 5) {
        return "X value " + std::to_string(f.Field - 1);
    }
    if (f.Field == 1) {
        return "the Y value of row " + std::to_string(f.Line - 5);
    }
    const int row = f.Line - 6;
    const std::string y =
        row >= 0 && row < map.YCount ? Number(map.YAxis[row]) : std::to_string(f.Line - 5);
    return "row " + y + ", column " + std::to_string(f.Field - 1);
}

struct TGroup {
    int Count = 0;
    std::string Named;
};

void AddNamed(TGroup& group, const std::string& what) {
    if (group.Count < kNamed) {
        group.Named += group.Count == 0 ? "" : "; ";
        group.Named += what;
    } else if (group.Count == kNamed) {
        group.Named += kMore;
    }
    ++group.Count;
}

} // namespace

TPaneSummary SummarisePane(const ParseReport& report, const Map& map, bool textEmpty) {
    if (textEmpty) {
        return {"empty", false};
    }
    TPaneSummary out;
    out.Text = std::to_string(report.XCount) + std::string(kTimes) + std::to_string(report.YCount);
    if (report.XCount == 0) {
        out.Text += std::string(kDot) + "no X values on line 6";
    } else if (report.YCount == 0) {
        out.Text += std::string(kDot) + "no rows";
    }
    TGroup zero;
    TGroup shortRows;
    TGroup axis;
    for (const ParseFinding& f : report.Findings) {
        switch (f.Kind) {
        case FindingKind::NotANumber:
        case FindingKind::OutOfRange:
            AddNamed(zero, Where(f, map) + " '" + Cp1252ToUtf8(f.Text) + "'");
            break;
        case FindingKind::ShortRow:
            // A line without a Y value has no row value to name it by.
            AddNamed(shortRows, f.Field < 2
                                    ? "line " + std::to_string(f.Line + 1) + " (empty)"
                                    : "row " + Number(f.Value) + " (" + std::to_string(f.Values) +
                                          " of " + std::to_string(report.XCount) + " values)");
            break;
        case FindingKind::XNotIncreasing:
        case FindingKind::YNotIncreasing:
            AddNamed(axis, Where(f, map) + " (" + Number(f.Value) + ")");
            break;
        }
    }
    const auto part = [&out](const std::string& text) { out.Text += std::string(kDot) + text; };
    if (zero.Count > 0) {
        part(Plural(zero.Count, "cell", "cells") + " read as 0: " + zero.Named);
    }
    if (shortRows.Count > 0) {
        part(Plural(shortRows.Count, "short row", "short rows") + ": " + shortRows.Named);
    }
    if (axis.Count > 0) {
        part("axis not rising at " + axis.Named);
    }
    if (report.IgnoredX > 0) {
        part(Plural(report.IgnoredX, "X value", "X values") + " beyond 50 ignored");
    }
    if (report.IgnoredRows > 0) {
        part(Plural(report.IgnoredRows, "row", "rows") + " beyond 50 ignored");
    }
    out.Bad = !report.AllRead();
    if (!out.Bad && report.XCount > 0 && report.YCount > 0) {
        part("all numbers read");
    }
    return out;
}

std::string ListFindings(const ParseReport& report) {
    std::string out;
    for (const TDiagnostic& d : Diagnose(report)) {
        if (!out.empty()) {
            out += '\n';
        }
        out += "Line " + std::to_string(d.Line);
        if (d.Field > 0) {
            out += ", field " + std::to_string(d.Field);
        }
        out += ": " + std::string(d.Kind) + " '" + Cp1252ToUtf8(d.Text) + "', " + d.Action;
    }
    return out;
}

std::string_view ExtrapolationName(int bit) {
    constexpr std::string_view kNames[] = {
        "duration-x-below", "duration-x-above", "duration-y-below", "duration-y-above",
        "rail-x-below",     "rail-x-above",     "rail-y-below",     "rail-y-above"};
    return bit >= 0 && bit < 8 ? kNames[bit] : std::string_view{};
}

std::string_view ExtrapolationWords(int bit) {
    constexpr std::string_view kWords[] = {
        "below the duration map's quantities",      "above the duration map's quantities",
        "below the duration map's rail pressures",  "above the duration map's rail pressures",
        "below the rail pressure map's quantities", "above the rail pressure map's quantities",
        "below the rail pressure map's speeds",     "above the rail pressure map's speeds"};
    return bit >= 0 && bit < 8 ? kWords[bit] : std::string_view{};
}

std::string SummariseExtrapolation(const Map& map, const ExtrapolationMap& flags) {
    const ExtrapolationCount count = CountExtrapolated(map, flags);
    const int cells = map.XCount * map.YCount;
    if (count.Cells == 0) {
        return "no cell extrapolated: every lookup within the axes of its map";
    }
    std::string out = std::to_string(count.Cells) + " of " + Plural(cells, "cell", "cells") +
                      " extrapolated (in italics, the edge value continued):";
    const char* separator = " ";
    for (int bit = 0; bit < 8; ++bit) {
        if (count.ByFlag[bit] > 0) {
            out += separator + std::to_string(count.ByFlag[bit]) + " " +
                   std::string(ExtrapolationWords(bit));
            separator = ", ";
        }
    }
    return out;
}

std::vector<TDiagnostic> Diagnose(const ParseReport& report) {
    std::vector<TDiagnostic> out;
    out.reserve(report.Findings.size() + 2);
    // By FindingKind: what it is called and what was done.
    constexpr std::pair<std::string_view, std::string_view> kWords[] = {
        {"not-a-number", "read as 0"},
        {"out-of-range", "read as 0"},
        {"short-row", "the missing values read as 0"},
        {"x-not-increasing", "not above the X value before it; used as it is"},
        {"y-not-increasing", "not above the Y value of the row before; used as it is"},
    };
    for (const ParseFinding& f : report.Findings) {
        const auto& [kind, action] = kWords[static_cast<int>(f.Kind)];
        TDiagnostic d{f.Line + 1, f.Field + 1, kind, f.Text, std::string(action)};
        if (f.Kind == FindingKind::ShortRow) {
            d.Text = std::to_string(f.Values) + " of " + std::to_string(report.XCount) + " values";
            if (f.Field < 2) {
                d.Action = "no Y value: the row left as it was (0 in a new map)";
            }
        }
        out.push_back(std::move(d));
    }
    if (report.IgnoredX > 0) {
        out.push_back({6, 2 + kMaxAxis + 1, "ignored-x",
                       Plural(report.IgnoredX, "X value", "X values"), "beyond 50: ignored"});
    }
    if (report.IgnoredRows > 0) {
        out.push_back({6 + kMaxAxis + 1, 0, "ignored-rows",
                       Plural(report.IgnoredRows, "row", "rows"), "beyond 50: ignored"});
    }
    return out;
}
