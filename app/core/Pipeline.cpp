#include "Pipeline.h"

#include "Lookup.h"

MissingInput FindIncompleteInput(const Map& railPressure, const Map& duration, const Map& soi) {
    if (railPressure.XCount == 0 || railPressure.YCount == 0) {
        return MissingInput::RailPressure;
    }
    if (duration.XCount == 0 || duration.YCount == 0) {
        return MissingInput::Duration;
    }
    if (soi.XCount == 0 || soi.YCount == 0) {
        return MissingInput::Soi;
    }
    return MissingInput::None;
}

namespace {

// The flag for a position t that AxisBracket placed at `bracket` on an axis:
// before the first point, past the last, or neither.
std::uint8_t Outside(const double* axis, int count, double t, int bracket, std::uint8_t below,
                     std::uint8_t above) {
    const int side = AxisSide(axis, count, t, bracket);
    return side < 0 ? below : side > 0 ? above : 0;
}

void CopyAxis(double* to, const double* from, int count) {
    for (int i = 0; i < count; ++i) {
        to[i] = from[i];
    }
}

} // namespace

void DeriveMaps(const Map& railPressure, const Map& duration, const Map& soi, DerivedMaps& out) {
    Map* const all[] = {&out.NewDurationMapRP, &out.NewDurationMapUs,    &out.NewDurationMapDeg,
                        &out.NewEOIMap,        &out.RailPressureMapSoiX, &out.NewRailPressureMap};

    // Every derived map lies on the SOI injection-quantity axis.
    for (Map* m : all) {
        m->XCount = soi.XCount;
        CopyAxis(m->XAxis, soi.XAxis, soi.XCount);
    }
    out.NewDurationMapRP.YCount = duration.YCount;
    out.NewDurationMapUs.YCount = soi.YCount;
    out.NewDurationMapDeg.YCount = soi.YCount;
    out.NewEOIMap.YCount = soi.YCount;
    out.NewRailPressureMap.YCount = soi.YCount;
    out.RailPressureMapSoiX.YCount = railPressure.YCount;
    CopyAxis(out.NewDurationMapRP.YAxis, duration.YAxis, duration.YCount);
    CopyAxis(out.RailPressureMapSoiX.YAxis, railPressure.YAxis, railPressure.YCount);
    for (Map* m :
         {&out.NewDurationMapUs, &out.NewDurationMapDeg, &out.NewEOIMap, &out.NewRailPressureMap}) {
        CopyAxis(m->YAxis, soi.YAxis, soi.YCount);
    }

    // Duration, then rail pressure, resampled onto the SOI injection
    // quantities, then rail pressure onto the SOI engine speeds. Each row (or
    // column) is looked up at the same positions on the same axis, so where
    // each position falls on the axis is found once.
    // Each lookup's flags go with the value to every map derived from it.
    int bracket[kMaxAxis];
    std::uint8_t durationX[kMaxAxis];
    std::uint8_t railX[kMaxAxis];
    for (int x = 0; x < soi.XCount; ++x) {
        bracket[x] = AxisBracket(duration.XAxis, duration.XCount, soi.XAxis[x]);
        durationX[x] = Outside(duration.XAxis, duration.XCount, soi.XAxis[x], bracket[x],
                               kDurationXBelow, kDurationXAbove);
    }
    for (int y = 0; y < duration.YCount; ++y) {
        for (int x = 0; x < soi.XCount; ++x) {
            out.NewDurationMapRP.Value[x][y] =
                AxisValue(duration.XAxis, duration.XCount, &duration.Value[0][y], kMaxAxis,
                          soi.XAxis[x], bracket[x]);
            out.Flags.NewDurationMapRP.Cell[x][y] = durationX[x];
        }
    }
    for (int x = 0; x < soi.XCount; ++x) {
        bracket[x] = AxisBracket(railPressure.XAxis, railPressure.XCount, soi.XAxis[x]);
        railX[x] = Outside(railPressure.XAxis, railPressure.XCount, soi.XAxis[x], bracket[x],
                           kRailXBelow, kRailXAbove);
    }
    for (int y = 0; y < railPressure.YCount; ++y) {
        for (int x = 0; x < soi.XCount; ++x) {
            out.RailPressureMapSoiX.Value[x][y] =
                AxisValue(railPressure.XAxis, railPressure.XCount, &railPressure.Value[0][y],
                          kMaxAxis, soi.XAxis[x], bracket[x]);
            out.Flags.RailPressureMapSoiX.Cell[x][y] = railX[x];
        }
    }

    Map& rp = out.NewRailPressureMap;
    const Map& rpSoiX = out.RailPressureMapSoiX;
    std::uint8_t railY[kMaxAxis];
    for (int y = 0; y < soi.YCount; ++y) {
        bracket[y] = AxisBracket(rpSoiX.YAxis, rpSoiX.YCount, soi.YAxis[y]);
        railY[y] = Outside(rpSoiX.YAxis, rpSoiX.YCount, soi.YAxis[y], bracket[y], kRailYBelow,
                           kRailYAbove);
    }
    for (int x = 0; x < rpSoiX.XCount; ++x) {
        for (int y = 0; y < soi.YCount; ++y) {
            rp.Value[x][y] = AxisValue(rpSoiX.YAxis, rpSoiX.YCount, &rpSoiX.Value[x][0], 1,
                                       soi.YAxis[y], bracket[y]);
            out.Flags.NewRailPressureMap.Cell[x][y] = railX[x] | railY[y];
        }
    }

    // Duration at each point's rail pressure, to 0.1 us.
    Map& us = out.NewDurationMapUs;
    const Map& durRP = out.NewDurationMapRP;
    for (int x = 0; x < rp.XCount; ++x) {
        for (int y = 0; y < rp.YCount; ++y) {
            const double pressure = rp.Value[x][y];
            const int b = AxisBracket(durRP.YAxis, durRP.YCount, pressure);
            us.Value[x][y] = RoundTo(
                AxisValue(durRP.YAxis, durRP.YCount, &durRP.Value[x][0], 1, pressure, b), 1);
            const std::uint8_t flags =
                out.Flags.NewRailPressureMap.Cell[x][y] | durationX[x] |
                Outside(durRP.YAxis, durRP.YCount, pressure, b, kDurationYBelow, kDurationYAbove);
            out.Flags.NewDurationMapUs.Cell[x][y] = flags;
            out.Flags.NewDurationMapDeg.Cell[x][y] = flags;
            out.Flags.NewEOIMap.Cell[x][y] = flags;
        }
    }

    // Crank degrees (see CrankDegrees).
    Map& deg = out.NewDurationMapDeg;
    for (int x = 0; x < us.XCount; ++x) {
        for (int y = 0; y < us.YCount; ++y) {
            deg.Value[x][y] = CrankDegrees(us.Value[x][y], us.YAxis[y]);
        }
    }

    Map& eoi = out.NewEOIMap;
    for (int x = 0; x < deg.XCount; ++x) {
        for (int y = 0; y < deg.YCount; ++y) {
            eoi.Value[x][y] = soi.Value[x][y] - deg.Value[x][y];
        }
    }
}

ExtrapolationCount CountExtrapolated(const Map& map, const ExtrapolationMap& flags) {
    ExtrapolationCount count;
    for (int x = 0; x < map.XCount; ++x) {
        for (int y = 0; y < map.YCount; ++y) {
            const std::uint8_t f = flags.Cell[x][y];
            count.Cells += f != 0 ? 1 : 0;
            for (int bit = 0; bit < 8; ++bit) {
                count.ByFlag[bit] += (f >> bit) & 1;
            }
        }
    }
    return count;
}
