#include "Explain.h"

#include "Lookup.h"
#include "Pipeline.h"
#include "Report.h"
#include "Retime.h"

#include <algorithm>
#include <cmath>

namespace {

TAxisStep ExplainAxis(const double* axis, int count, double t) {
    TAxisStep step;
    step.At = t;
    if (count <= 0) {
        return step;
    }
    const int b = AxisBracket(axis, count, t);
    step.Side = AxisSide(axis, count, t, b);
    if (b >= count) {
        step.Lo = step.Hi = count - 1;
    } else if (b == 0) {
        step.Lo = step.Hi = 0;
    } else {
        step.Lo = b - 1;
        step.Hi = b;
        const double d = axis[b] - axis[b - 1];
        // As Interpolate weighs them: two equal points give the second.
        step.Weight = d == 0 ? 1.0 : (t - axis[b - 1]) / d;
    }
    step.LoValue = axis[step.Lo];
    step.HiValue = axis[step.Hi];
    return step;
}

// The value between the two points of a step, exactly as AxisValue forms it.
double Between(const TAxisStep& step, double lo, double hi) {
    return step.Lo == step.Hi ? lo : Interpolate(step.LoValue, step.HiValue, step.At, lo, hi);
}

// Where a point of the SOI grid lies: the first axis index of that value.
int IndexOf(const double* axis, int count, double v) {
    const double* found = std::find(axis, axis + count, v);
    return found == axis + count ? -1 : static_cast<int>(found - axis);
}

// Text pieces, UTF-8.
constexpr const char* kEnDash = "\xE2\x80\x93";
constexpr const char* kMicro = "\xC2\xB5";
constexpr const char* kDegree = "\xC2\xB0";
constexpr const char* kTimes = "\xC3\x97";

// An axis value as the reports print them, with more decimals only where
// they are needed to read back the same number.
std::string AxisText(double v, int least) {
    return FormatNumber(v, AxisDecimals(&v, 1, least));
}

std::string AxisStepText(const char* name, const TAxisStep& s, int decimals) {
    std::string text = name;
    text += ' ';
    if (s.Side < 0) {
        return text + "below " + AxisText(s.HiValue, decimals) + " (the first value continued)";
    }
    if (s.Side > 0) {
        return text + "above " + AxisText(s.HiValue, decimals) + " (the last value continued)";
    }
    // On an axis point, only that point counts.
    if (s.Lo == s.Hi || s.Weight == 0) {
        return text + AxisText(s.LoValue, decimals);
    }
    if (s.Weight == 1) {
        return text + AxisText(s.HiValue, decimals);
    }
    return text + AxisText(s.LoValue, decimals) + kEnDash + AxisText(s.HiValue, decimals) + " (" +
           FormatNumber(1 - s.Weight, 2) + "/" + FormatNumber(s.Weight, 2) + ")";
}

std::string LookupText(const char* map, const TLookupStep& l, int yDecimals) {
    return std::string(map) + ", " + AxisStepText("X", l.X, 1) + ", " +
           AxisStepText("Y", l.Y, yDecimals);
}

// A line of the explanation: a label, a value, what made it.
std::string Line(const std::string& label, const std::string& value, const std::string& how) {
    // Padded by characters, not bytes: the units hold two-byte characters.
    const auto width = [](const std::string& s) {
        return static_cast<int>(std::count_if(s.begin(), s.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }));
    };
    std::string text =
        label + std::string(static_cast<std::size_t>(std::max(1, 15 - width(label))), ' ');
    text += value;
    if (!how.empty()) {
        text += std::string(static_cast<std::size_t>(std::max(1, 16 - width(value))), ' ') + how;
    }
    return text + "\r\n";
}

void PutNumber(std::string& out, double v) {
    out += std::isfinite(v) ? ShortestNumber(v) : std::string("null");
}

void PutStep(std::string& out, const char* key, const TAxisStep& s) {
    out += '"';
    out += key;
    out += "\": {\"at\": ";
    PutNumber(out, s.At);
    out += ", \"lo\": ";
    PutNumber(out, s.LoValue);
    out += ", \"hi\": ";
    PutNumber(out, s.HiValue);
    out += ", \"weight\": ";
    PutNumber(out, s.Weight);
    out += ", \"side\": " + std::to_string(s.Side) + "}";
}

void PutLookup(std::string& out, const TLookupStep& l) {
    out += ", ";
    PutStep(out, "x", l.X);
    out += ", ";
    PutStep(out, "y", l.Y);
    // Rows by Y, as the reports print them.
    out += ", \"cells\": [[";
    PutNumber(out, l.Cells[0][0]);
    out += ", ";
    PutNumber(out, l.Cells[1][0]);
    out += "], [";
    PutNumber(out, l.Cells[0][1]);
    out += ", ";
    PutNumber(out, l.Cells[1][1]);
    out += "]], \"extrapolated\": [";
    bool first = true;
    for (const auto& [side, name] : {std::pair{l.X.Side, "x"}, std::pair{l.Y.Side, "y"}}) {
        if (side != 0) {
            out += first ? "\"" : ", \"";
            out += name;
            out += side < 0 ? "-below\"" : "-above\"";
            first = false;
        }
    }
    out += "]";
}

} // namespace

TLookupStep ExplainLookup(const Map& map, double x, double y) {
    TLookupStep l;
    l.X = ExplainAxis(map.XAxis, map.XCount, x);
    l.Y = ExplainAxis(map.YAxis, map.YCount, y);
    double rows[2];
    for (int j = 0; j < 2; ++j) {
        const int row = j == 0 ? l.Y.Lo : l.Y.Hi;
        l.Cells[0][j] = map.Value[l.X.Lo][row];
        l.Cells[1][j] = map.Value[l.X.Hi][row];
        rows[j] = Between(l.X, l.Cells[0][j], l.Cells[1][j]);
    }
    l.Value = Between(l.Y, rows[0], rows[1]);
    return l;
}

double BeforeTdcShare(double soi, double durationDeg) {
    if (!(durationDeg > 0)) {
        return soi > 0 ? 100.0 : 0.0;
    }
    return 100 * std::clamp(soi, 0.0, durationDeg) / durationDeg;
}

void BeforeTdcMap(const DerivedMaps& derived, const Map& soi, Map& out) {
    const Map& deg = derived.NewDurationMapDeg;
    out = deg;
    for (int x = 0; x < deg.XCount; ++x) {
        for (int y = 0; y < deg.YCount; ++y) {
            out.Value[x][y] = BeforeTdcShare(soi.Value[x][y], deg.Value[x][y]);
        }
    }
}

std::string BeforeTdcText(const Map& share) {
    constexpr double kOff = 1e300; // no colours
    return MapToText(share, "Before TDC",
                     "Injection before TDC(Injection Quantity, Engine Speed)/%", "mm3", "1/min", 1,
                     0, 1, -kOff, kOff);
}

bool ExplainPoint(const Map& railPressure, const Map& duration, const Map& soi, double iq,
                  double rpm, TExplanation& out) {
    if (FindIncompleteInput(railPressure, duration, soi) != MissingInput::None) {
        return false;
    }
    TExplanation e;
    e.Iq = iq;
    e.Rpm = rpm;
    e.RailPressure = ExplainLookup(railPressure, iq, rpm);
    e.Duration = ExplainLookup(duration, iq, e.RailPressure.Value);
    e.DurationUs = RoundTo(e.Duration.Value, 1);
    e.DurationDeg = CrankDegrees(e.DurationUs, rpm);
    e.Soi = ExplainLookup(soi, iq, rpm);
    const int x = IndexOf(soi.XAxis, soi.XCount, iq);
    const int y = IndexOf(soi.YAxis, soi.YCount, rpm);
    if (x >= 0 && y >= 0) {
        e.OnSoiGrid = true;
        e.Soi.Value = soi.Value[x][y];
    }
    e.Eoi = e.Soi.Value - e.DurationDeg;
    e.BeforeTdc = BeforeTdcShare(e.Soi.Value, e.DurationDeg);
    out = e;
    return true;
}

std::string ExplanationText(const TExplanation& e) {
    std::string text = AxisText(e.Iq, 1) + " mm3 at " + AxisText(e.Rpm, 0) + " 1/min\r\n";
    text += Line("rail pressure", FormatNumber(e.RailPressure.Value, 1) + " bar",
                 LookupText("rail pressure map", e.RailPressure, 0));
    text += Line("duration", FormatNumber(e.DurationUs, 1) + " " + kMicro + "s",
                 LookupText("duration map", e.Duration, 0) + "; " +
                     FormatNumber(e.Duration.Value, 2) + " rounded");
    text += Line("", FormatNumber(e.DurationDeg, 2) + " " + kDegree + "CA",
                 FormatNumber(e.DurationUs, 1) + " " + kMicro + "s " + kTimes + " " +
                     AxisText(e.Rpm, 0) + " 1/min " + kTimes + " 6e-6");
    const double soi = e.Soi.Value;
    text +=
        Line("SOI",
             FormatNumber(std::fabs(soi), 2) + " " + kDegree + "CA " + (soi >= 0 ? "BTDC" : "ATDC"),
             e.OnSoiGrid ? std::string("SOI map cell") : LookupText("SOI map", e.Soi, 0));
    text += Line("EOI", FormatNumber(e.Eoi, 2) + " " + kDegree + "CA",
                 FormatNumber(std::fabs(e.Eoi), 2) + kDegree +
                     (e.Eoi >= 0 ? " before TDC; " : " after TDC; ") +
                     FormatNumber(e.BeforeTdc, 1) + " % of the injection before TDC");
    return text;
}

std::string ExplanationJson(const TExplanation& e) {
    std::string out = "{\n  \"iq\": ";
    PutNumber(out, e.Iq);
    out += ",\n  \"rpm\": ";
    PutNumber(out, e.Rpm);
    out += ",\n  \"rail_pressure\": {\"value\": ";
    PutNumber(out, e.RailPressure.Value);
    PutLookup(out, e.RailPressure);
    out += "},\n  \"duration_us\": {\"value\": ";
    PutNumber(out, e.DurationUs);
    out += ", \"unrounded\": ";
    PutNumber(out, e.Duration.Value);
    PutLookup(out, e.Duration);
    out += "},\n  \"duration_deg\": {\"value\": ";
    PutNumber(out, e.DurationDeg);
    out += "},\n  \"soi\": {\"value\": ";
    PutNumber(out, e.Soi.Value);
    out += e.OnSoiGrid ? ", \"on_grid\": true" : ", \"on_grid\": false";
    PutLookup(out, e.Soi);
    out += "},\n  \"eoi\": {\"value\": ";
    PutNumber(out, e.Eoi);
    out += "},\n  \"before_tdc\": {\"value\": ";
    PutNumber(out, e.BeforeTdc);
    out += "}\n}\n";
    return out;
}
