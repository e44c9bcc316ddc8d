#pragma once
// The conversion chain: from the rail pressure, duration and SOI maps, the
// six maps laid on the SOI map's grid, ending in the end of injection.

#include "Map.h"

#include <cstdint>

// Where a derived cell's lookups went beyond the axes of the map looked up
// (there the lookups continue the edge value flat). Bits of a cell's flags.
enum ExtrapolationFlag : std::uint8_t {
    kDurationXBelow = 1, // SOI quantity below the duration map's X axis
    kDurationXAbove = 2, //                above it
    kDurationYBelow = 4, // rail pressure below the duration map's rail pressures
    kDurationYAbove = 8, //               above them
    kRailXBelow = 16,    // SOI quantity below the rail pressure map's X axis
    kRailXAbove = 32,    //                above it
    kRailYBelow = 64,    // SOI engine speed below the rail pressure map's speeds
    kRailYAbove = 128,   //                  above them
};

// A derived map's flags, indexed like its values: Cell[x][y].
struct ExtrapolationMap {
    std::uint8_t Cell[kMaxAxis][kMaxAxis]{};
};

// The six derived maps, in the order the main window holds them, and beside
// them their extrapolation flags.
struct DerivedMaps {
    Map NewDurationMapRP;    // duration (us) over SOI injection quantity x rail pressure
    Map NewDurationMapUs;    // duration (us) over SOI injection quantity x engine speed
    Map NewDurationMapDeg;   // duration (crank degrees) on the SOI grid
    Map NewEOIMap;           // end of injection (crank degrees) on the SOI grid
    Map RailPressureMapSoiX; // rail pressure over SOI injection quantity x its own speeds
    Map NewRailPressureMap;  // rail pressure (bar) on the SOI grid
    struct {
        ExtrapolationMap NewDurationMapRP;
        ExtrapolationMap NewDurationMapUs;
        ExtrapolationMap NewDurationMapDeg;
        ExtrapolationMap NewEOIMap;
        ExtrapolationMap RailPressureMapSoiX;
        ExtrapolationMap NewRailPressureMap;
    } Flags;
};

// How many cells of a map (within its counts) carry each flag, by bit, and
// how many carry any.
struct ExtrapolationCount {
    int Cells = 0;
    int ByFlag[8]{};
};
ExtrapolationCount CountExtrapolated(const Map& map, const ExtrapolationMap& flags);

// A duration of `us` microseconds in crank degrees at `rpm` 1/min (the crank
// turns 6 * rpm degrees a second): the product formed left to right in
// extended precision with the double constant 0.001, rounded to double once.
inline double CrankDegrees(double us, double rpm) {
    const long double milli = 0.001;
    return static_cast<double>(static_cast<long double>(us) * static_cast<long double>(rpm) * 6.0L *
                               milli * milli);
}

// Which input map stops the conversion, if any.
enum class MissingInput { None, RailPressure, Duration, Soi };

// The first input map (rail pressure, duration, SOI) that has no X values or
// no rows. The conversion runs only when this is MissingInput::None.
MissingInput FindIncompleteInput(const Map& railPressure, const Map& duration, const Map& soi);

// Fills the derived maps and their flags from three complete input maps (see
// FindIncompleteInput). Entries past the new counts are left as they were.
void DeriveMaps(const Map& railPressure, const Map& duration, const Map& soi, DerivedMaps& out);
