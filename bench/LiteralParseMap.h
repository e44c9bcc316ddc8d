#pragma once
// ParseMap written the straightforward way: ask GetLine for line 0, 1, 2, ...
// and GetField for field 0, 1, 2, ... of each, both scanning from the start
// every time. Quadratic in the text length; kept as the reference that the
// single-pass ParseMap is measured and checked against.

#include "Map.h"

#include <algorithm>
#include <string>

inline void ParseMapLiteral(std::string_view text, Map& map) {
    map.XCount = 0;
    map.YCount = 0;
    for (int i = 0;; ++i) {
        const TextPiece line = GetLine(i, text);
        for (int p = 0;; ++p) {
            const TextPiece field = GetField(p, line.Text, '\t');
            map_detail::StoreField(map, i, p, field.Text);
            if (field.Last) {
                break;
            }
        }
        if (line.Last) {
            break;
        }
    }
}

// The report of ParseMap, gathered the same straightforward way: every field
// of every line through GetLine and GetField, the checks made in text order
// against the map as it stands at that moment.
inline void ParseMapLiteral(std::string_view text, Map& map, ParseReport& report) {
    report = ParseReport{};
    map.XCount = 0;
    map.YCount = 0;
    int fieldsOnRow[kMaxAxis] = {};
    auto add = [&](FindingKind kind, int line, int field, std::string_view fieldText,
                   double value) {
        report.Findings.push_back({kind, line, field, std::string(fieldText), value, 0});
    };
    for (int i = 0;; ++i) {
        const TextPiece line = GetLine(i, text);
        int fields = 0;
        for (int p = 0;; ++p) {
            const TextPiece field = GetField(p, line.Text, '\t');
            ++fields;
            if (map_detail::StoresField(i, p)) {
                NumberStatus status{};
                const double value = TextToNumber(field.Text, status);
                if (status == NumberStatus::NotANumber) {
                    add(FindingKind::NotANumber, i, p, field.Text, 0);
                } else if (status == NumberStatus::OutOfRange) {
                    add(FindingKind::OutOfRange, i, p, field.Text, 0);
                } else if (i == 5 && p >= 3 && !(value > map.XAxis[p - 3])) {
                    add(FindingKind::XNotIncreasing, i, p, field.Text, value);
                } else if (i >= 7 && p == 1 && !(value > map.YAxis[i - 7])) {
                    add(FindingKind::YNotIncreasing, i, p, field.Text, value);
                }
                map_detail::StoreValue(map, i, p, value);
            } else if (i == 5 && p >= 2 && !map_detail::TrimRight(field.Text).empty()) {
                ++report.IgnoredX;
            }
            if (field.Last) {
                break;
            }
        }
        if (i >= 6 && i - 6 < kMaxAxis) {
            fieldsOnRow[i - 6] = fields;
        } else if (i >= 6 && fields >= 2) {
            const std::string_view line1 = line.Text.substr(line.Text.find('\t'));
            report.IgnoredRows += map_detail::TrimRight(line1).empty() ? 0 : 1;
        }
        if (line.Last) {
            break;
        }
    }
    report.XCount = map.XCount;
    report.YCount = map.YCount;
    for (int y = 0; y < map.YCount; ++y) {
        const int values = std::min(std::max(fieldsOnRow[y] - 2, 0), kMaxAxis);
        if (values < map.XCount) {
            report.Findings.push_back(
                {FindingKind::ShortRow, 6 + y, fieldsOnRow[y], "", map.YAxis[y], values});
        }
    }
    std::stable_sort(report.Findings.begin(), report.Findings.end(),
                     [](const ParseFinding& a, const ParseFinding& b) {
                         return a.Line != b.Line ? a.Line < b.Line : a.Field < b.Field;
                     });
}
