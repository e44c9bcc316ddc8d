#include "Retime.h"

#include "Lookup.h"
#include "Report.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <vector>

namespace {

std::uint8_t SideFlag(int side, std::uint8_t below, std::uint8_t above) {
    return side < 0 ? below : side > 0 ? above : 0;
}

void CopyGrid(const Map& grid, Map& out) {
    out.XCount = grid.XCount;
    out.YCount = grid.YCount;
    std::copy_n(grid.XAxis, grid.XCount, out.XAxis);
    std::copy_n(grid.YAxis, grid.YCount, out.YAxis);
}

} // namespace

void LookUpOnGrid(const Map& source, const Map& grid, Map& out, ExtrapolationMap& flags) {
    CopyGrid(grid, out);
    // Along X in every row of the source, at the grid's X values...
    int bracket[kMaxAxis];
    std::uint8_t xFlag[kMaxAxis];
    for (int x = 0; x < grid.XCount; ++x) {
        bracket[x] = AxisBracket(source.XAxis, source.XCount, grid.XAxis[x]);
        xFlag[x] = SideFlag(AxisSide(source.XAxis, source.XCount, grid.XAxis[x], bracket[x]),
                            kGridXBelow, kGridXAbove);
    }
    auto alongX = std::make_unique<double[]>(static_cast<std::size_t>(kMaxAxis) * kMaxAxis);
    for (int y = 0; y < source.YCount; ++y) {
        for (int x = 0; x < grid.XCount; ++x) {
            alongX[static_cast<std::size_t>(x) * kMaxAxis + static_cast<std::size_t>(y)] =
                AxisValue(source.XAxis, source.XCount, &source.Value[0][y], kMaxAxis, grid.XAxis[x],
                          bracket[x]);
        }
    }
    // ...then along Y at the grid's Y values.
    for (int y = 0; y < grid.YCount; ++y) {
        const int b = AxisBracket(source.YAxis, source.YCount, grid.YAxis[y]);
        const std::uint8_t yFlag = SideFlag(AxisSide(source.YAxis, source.YCount, grid.YAxis[y], b),
                                            kGridYBelow, kGridYAbove);
        for (int x = 0; x < grid.XCount; ++x) {
            out.Value[x][y] =
                AxisValue(source.YAxis, source.YCount,
                          &alongX[static_cast<std::size_t>(x) * kMaxAxis], 1, grid.YAxis[y], b);
            flags.Cell[x][y] = xFlag[x] | yFlag;
        }
    }
}

bool ComputeEoi(const Map& railPressure, const Map& duration, const Map& soi, Map& eoi) {
    if (FindIncompleteInput(railPressure, duration, soi) != MissingInput::None) {
        return false;
    }
    auto derived = std::make_unique<DerivedMaps>();
    DeriveMaps(railPressure, duration, soi, *derived);
    eoi = derived->NewEOIMap;
    return true;
}

double RoundToStep(double v, double step) {
    const double inverse = 1.0 / step;
    const double whole = std::round(inverse);
    if (whole >= 1 && whole <= 1e9 && std::fabs(inverse - whole) <= 1e-9 * whole) {
        // + 0.0 turns -0 into 0, which prints without a sign.
        return std::round(v * whole) / whole + 0.0;
    }
    return std::round(v / step) * step + 0.0;
}

int StepDecimals(double step) {
    for (int n = 0; n <= 9; ++n) {
        const double scaled = step * std::pow(10.0, n);
        if (std::fabs(scaled - std::round(scaled)) <= 1e-9 * std::max(1.0, scaled)) {
            return n;
        }
    }
    return 9;
}

int AxisDecimals(const double* axis, int count, int least) {
    int n = std::max(least, 0);
    for (; n < 17; ++n) {
        const bool exact = std::all_of(axis, axis + count, [n](double v) {
            return !std::isfinite(v) || TextToNumber(FormatNumber(v, n)) == v;
        });
        if (exact) {
            break;
        }
    }
    return n;
}

void Retime(const DerivedMaps& derived, const TRetimeTarget& target, const TRetimeLimits& limits,
            TRetimeResult& out) {
    const Map& deg = derived.NewDurationMapDeg;
    for (Map* m : {&out.NewSoi, &out.TargetEoi, &out.DurationDeg, &out.ResidualEoi}) {
        CopyGrid(deg, *m);
    }
    out.Limits = limits;
    out.TargetFlags = {};
    if (target.Kind == TargetKind::Map && target.EoiMap != nullptr) {
        LookUpOnGrid(*target.EoiMap, deg, out.TargetEoi, out.TargetFlags);
    }
    for (int x = 0; x < deg.XCount; ++x) {
        for (int y = 0; y < deg.YCount; ++y) {
            const double d = deg.Value[x][y];
            double& wanted = out.TargetEoi.Value[x][y];
            if (target.Kind == TargetKind::Constant) {
                wanted = target.Value;
            } else if (target.Kind == TargetKind::BeforeTdc) {
                // SOI = D * P / 100 puts P % of the injection before TDC.
                wanted = d * target.Value / 100 - d;
            } else if (target.EoiMap == nullptr) {
                wanted = 0;
            }
            const double soi = wanted + d;
            std::int8_t clamped = soi < limits.Min ? -1 : soi > limits.Max ? 1 : 0;
            double rounded = RoundToStep(std::clamp(soi, limits.Min, limits.Max), limits.Step);
            // A bound that is no multiple of the step: rounding may carry the
            // SOI past it, and then the multiple inside is taken. The limit
            // held that cell too.
            if (rounded > limits.Max) {
                clamped = 1;
                rounded = RoundToStep(rounded - limits.Step, limits.Step);
            } else if (rounded < limits.Min) {
                clamped = -1;
                rounded = RoundToStep(rounded + limits.Step, limits.Step);
            }
            out.NewSoi.Value[x][y] = rounded;
            out.Clamped[x][y] = clamped;
            out.DurationDeg.Value[x][y] = d;
            // As the chain computes the EOI of the new SOI map.
            out.ResidualEoi.Value[x][y] = (rounded - d) - wanted;
        }
    }
}

std::string ShortestNumber(double v) {
    char buffer[400];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, v + 0.0, std::chars_format::fixed);
    if (ec != std::errc()) {
        return FormatNumber(v, 6);
    }
    return std::string(buffer, end);
}

std::string NewSoiText(const TRetimeResult& result, const Map& soi, bool codes) {
    const Map& m = result.NewSoi;
    const int xDecimals = AxisDecimals(m.XAxis, m.XCount, 1);
    const int yDecimals = AxisDecimals(m.YAxis, m.YCount, 0);
    const int decimals = StepDecimals(result.Limits.Step);
    std::string text = "New SOI Map (" + std::to_string(m.XCount) + ", " +
                       std::to_string(m.YCount) +
                       ")\r\n\r\nSOI(Injection Quantity, Engine Speed)/degCA\r\n\r\n\t\tmm3\r\n\t";
    text.reserve(text.size() + static_cast<std::size_t>(m.XCount + 2) *
                                   static_cast<std::size_t>(m.YCount + 2) * 20);
    const std::string_view axisOpen = codes ? "[G]" : "";
    const std::string_view close = codes ? "[/]" : "";
    for (int x = 0; x < m.XCount; ++x) {
        text += '\t';
        text += axisOpen;
        text += FormatNumber(m.XAxis[x], xDecimals);
        text += close;
    }
    text += "\r\n";
    for (int y = 0; y < m.YCount; ++y) {
        text += y == 0 ? "1/min\t" : "\t";
        text += axisOpen;
        text += FormatNumber(m.YAxis[y], yDecimals);
        text += close;
        for (int x = 0; x < m.XCount; ++x) {
            const double v = m.Value[x][y];
            text += '\t';
            if (codes) {
                const double was = soi.Value[x][y];
                text += result.Clamped[x][y] != 0 ? "[P][=B]"
                        : v > was                 ? "[B]"
                        : v < was                 ? "[R]"
                                                  : "";
                text += result.TargetFlags.Cell[x][y] != 0 ? "[=I]" : "";
            }
            text += FormatNumber(v, decimals);
            text += close;
        }
        text += "\r\n";
    }
    return text;
}

std::string SummariseRetime(const TRetimeResult& result) {
    const Map& m = result.NewSoi;
    const double half = result.Limits.Step / 2;
    int within = 0;
    for (int x = 0; x < m.XCount; ++x) {
        for (int y = 0; y < m.YCount; ++y) {
            // A hair of rounding error on top of the half step.
            if (result.Clamped[x][y] == 0 &&
                std::fabs(result.ResidualEoi.Value[x][y]) <= half * (1 + 1e-9)) {
                ++within;
            }
        }
    }
    std::string text = "EOI within " + ShortestNumber(half) + "\xC2\xB0 of the target in " +
                       std::to_string(within) + " of " + std::to_string(m.XCount * m.YCount) +
                       " cells";
    int beyond = 0;
    for (int x = 0; x < m.XCount; ++x) {
        for (int y = 0; y < m.YCount; ++y) {
            beyond += result.TargetFlags.Cell[x][y] != 0 ? 1 : 0;
        }
    }
    if (beyond > 0) {
        text += "; " + std::to_string(beyond) + (beyond == 1 ? " cell lies" : " cells lie") +
                " beyond the target's axes (its edge values continued)";
    }
    const int decimals = StepDecimals(result.Limits.Step);
    // The clamped cells at each bound, a few rows of them by name.
    for (const std::int8_t side : {std::int8_t{1}, std::int8_t{-1}}) {
        int count = 0;
        std::string rows;
        int rowsNamed = 0;
        for (int y = 0; y < m.YCount; ++y) {
            std::string xs;
            for (int x = 0; x < m.XCount; ++x) {
                if (result.Clamped[x][y] == side) {
                    ++count;
                    xs += xs.empty() ? "" : ", ";
                    xs += ShortestNumber(m.XAxis[x]);
                }
            }
            if (xs.empty()) {
                continue;
            }
            if (rowsNamed < 3) {
                rows += rowsNamed > 0 ? "; row " : "row ";
                rows += ShortestNumber(m.YAxis[y]) + ", X " + xs;
            } else if (rowsNamed == 3) {
                rows += "; \xE2\x80\xA6";
            }
            ++rowsNamed;
        }
        if (count > 0) {
            const double bound = side > 0 ? result.Limits.Max : result.Limits.Min;
            text += "; " + std::to_string(count) + " clamped at " +
                    FormatNumber(bound, AxisDecimals(&bound, 1, decimals)) + "\xC2\xB0: " + rows;
        }
    }
    return text;
}

void EoiDelta(const Map& eoi, const Map& baselineEoi, Map& delta, ExtrapolationMap& flags) {
    LookUpOnGrid(baselineEoi, eoi, delta, flags);
    for (int x = 0; x < eoi.XCount; ++x) {
        for (int y = 0; y < eoi.YCount; ++y) {
            delta.Value[x][y] = eoi.Value[x][y] - delta.Value[x][y];
        }
    }
}

std::string EoiDeltaText(const Map& delta) {
    // Out of reach of any value: no colours.
    constexpr double kOff = 1e300;
    return MapToText(delta, "EOI Delta",
                     "EOI - baseline EOI(Injection Quantity, Engine Speed)/degCA", "mm3", "1/min",
                     1, 0, 1, -kOff, kOff);
}
