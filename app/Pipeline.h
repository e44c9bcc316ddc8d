#pragma once
// The conversion chain: from the rail pressure, duration and SOI maps, the
// six maps laid on the SOI map's grid, ending in the end of injection.

#include "Map.h"

// The six derived maps, in the order the main window holds them.
struct DerivedMaps {
    Map NewDurationMapRP;    // duration (us) over SOI injection quantity x rail pressure
    Map NewDurationMapUs;    // duration (us) over SOI injection quantity x engine speed
    Map NewDurationMapDeg;   // duration (crank degrees) on the SOI grid
    Map NewEOIMap;           // end of injection (crank degrees) on the SOI grid
    Map RailPressureMapSoiX; // rail pressure over SOI injection quantity x its own speeds
    Map NewRailPressureMap;  // rail pressure (bar) on the SOI grid
};

// Which input map stops the conversion, if any.
enum class MissingInput { None, RailPressure, Duration, Soi };

// The first input map (rail pressure, duration, SOI) that has no X values or
// no rows. The conversion runs only when this is MissingInput::None.
MissingInput FindIncompleteInput(const Map& railPressure, const Map& duration, const Map& soi);

// Fills the derived maps from three complete input maps (see
// FindIncompleteInput). Entries past the new counts are left as they were.
void DeriveMaps(const Map& railPressure, const Map& duration, const Map& soi, DerivedMaps& out);
