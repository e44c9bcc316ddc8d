#include "Report.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr std::string_view kCrLf = "\r\n";

// The slow, general way: printf itself.
std::string FormatWithPrintf(double v, int n) {
    char small[64];
    const int length = std::snprintf(small, sizeof small, "%.*f", n, v);
    std::string text;
    if (length < 0) {
        return text;
    }
    if (static_cast<std::size_t>(length) < sizeof small) {
        text.assign(small, static_cast<std::size_t>(length));
    } else {
        std::vector<char> big(static_cast<std::size_t>(length) + 1);
        std::snprintf(big.data(), big.size(), "%.*f", n, v);
        text.assign(big.data(), static_cast<std::size_t>(length));
    }
    std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

} // namespace

std::string FormatNumber(double v, int n) {
    n = std::max(n, 0);
    // Fast exact path for up to 4 decimals: v * 10^n is exact in extended
    // precision (a 53-bit significand times at most 11 bits), so rounding it
    // to an integer, ties to even, gives the digits printf prints.
    constexpr long double kScale[] = {1.0L, 10.0L, 100.0L, 1000.0L, 10000.0L};
    if (n <= 4 && std::isfinite(v)) {
        const long double scaled = std::rint(static_cast<long double>(v) * kScale[n]);
        const long double magnitude = std::fabs(scaled);
        if (magnitude < 1e18L) {
            auto u = static_cast<std::uint64_t>(magnitude);
            char digits[24];
            int count = 0;
            do {
                digits[count++] = static_cast<char>('0' + u % 10);
                u /= 10;
            } while (u != 0);
            while (count < n + 1) {
                digits[count++] = '0';
            }
            char out[32];
            int length = 0;
            if (std::signbit(v)) {
                out[length++] = '-';
            }
            for (int k = count - 1; k >= 0; --k) {
                out[length++] = digits[k];
                if (k == n && n > 0) {
                    out[length++] = '.';
                }
            }
            return std::string(out, static_cast<std::size_t>(length));
        }
    }
    return FormatWithPrintf(v, n);
}

std::string_view ColorCode(double v, double lo, double hi) {
    if (v <= lo) {
        return "[R]";
    }
    if (v >= hi) {
        return "[B]";
    }
    return {};
}

std::string MapToText(const Map& map, std::string_view title, std::string_view description,
                      std::string_view xUnit, std::string_view yUnit, int xDecimals,
                      int yDecimals, int valueDecimals, double lo, double hi) {
    std::string text;
    text.reserve(256 + static_cast<std::size_t>(map.XCount + 1) *
                           static_cast<std::size_t>(map.YCount + 1) * 16);
    text += title;
    text += " (";
    text += std::to_string(map.XCount);
    text += ", ";
    text += std::to_string(map.YCount);
    text += ")";
    text += kCrLf;
    text += kCrLf;
    text += description;
    text += kCrLf;
    text += kCrLf;
    text += "\t\t";
    text += xUnit;
    text += kCrLf;

    text += '\t';
    for (int x = 0; x < map.XCount; ++x) {
        text += "\t[G]";
        text += FormatNumber(map.XAxis[x], xDecimals);
        text += "[/]";
    }
    text += kCrLf;

    for (int y = 0; y < map.YCount; ++y) {
        if (y == 0) {
            text += yUnit;
        }
        text += "\t[G]";
        text += FormatNumber(map.YAxis[y], yDecimals);
        text += "[/]";
        for (int x = 0; x < map.XCount; ++x) {
            const double v = map.Value[x][y];
            text += '\t';
            text += ColorCode(v, lo, hi);
            text += FormatNumber(v, valueDecimals);
            text += "[/]";
        }
        text += kCrLf;
    }
    return text;
}

std::string MapDataToText(const Map& map, int decimals) {
    std::string text;
    text.reserve(static_cast<std::size_t>(map.XCount) * static_cast<std::size_t>(map.YCount) * 8);
    for (int y = 0; y < map.YCount; ++y) {
        for (int x = 0; x < map.XCount; ++x) {
            if (x > 0) {
                text += '\t';
            }
            text += FormatNumber(map.Value[x][y], decimals);
        }
        text += kCrLf;
    }
    return text;
}

Thresholds ReadEoiThresholds(std::string_view loText, std::string_view hiText) {
    if (loText.empty() || hiText.empty()) {
        return {-9999, 9999};
    }
    return {TextToNumber(loText), TextToNumber(hiText)};
}

std::string BuildViewText(OutputView view, const DerivedMaps& maps, Thresholds eoi) {
    // "\xB5" is the micro sign in Windows-1252.
    constexpr double kOff = 99999;
    switch (view) {
    case OutputView::RailPressure:
        return MapToText(maps.NewRailPressureMap, "Rail pressure Map",
                         "Rail pressure(Injection Quantity,Engine Speed)/Bar", "mm3", "1/min", 1,
                         0, 0, -kOff, kOff);
    case OutputView::DurationRP:
        return MapToText(maps.NewDurationMapRP, "New Duration Map",
                         "Duration(Injection Quantity, Rail Pressure)/\xB5s", "mm3", "Bar", 1, 0,
                         0, -kOff, kOff);
    case OutputView::DurationUs:
        return MapToText(maps.NewDurationMapUs, "New Duration Map",
                         "Duration(Injection Quantity, Engine Speed)/\xB5s", "mm3", "1/min", 1, 0,
                         0, -kOff, kOff);
    case OutputView::DurationDeg:
        return MapToText(maps.NewDurationMapDeg, "New Duration Map",
                         "Duration(Injection Quantity, Engine Speed)/degCA", "mm3", "1/min", 1, 0,
                         1, -kOff, kOff);
    case OutputView::DurationDegData:
        return MapDataToText(maps.NewDurationMapDeg, 1);
    case OutputView::EOI:
        return MapToText(maps.NewEOIMap, "EOI", "Duration(Injection Quantity, Engine Speed)/degCA",
                         "mm3", "1/min", 1, 0, 1, eoi.Lo, eoi.Hi);
    case OutputView::EOIData:
        return MapDataToText(maps.NewEOIMap, 1);
    }
    return {};
}
