#pragma once
// Explaining an operating point through the chain: for an injection quantity
// and an engine speed, every lookup that made its EOI, with the axis points,
// weights and map cells it used, computed exactly as the chain computes them.
// At a point of the SOI grid every value equals the chain's. Pure functions,
// no toolkit.

#include "Map.h"
#include "Pipeline.h"

#include <string>

// Where a lookup position t fell on one axis. Lo and Hi are the axis indices
// whose values were used; the value is Lo's times (1 - Weight) plus Hi's
// times Weight. Beyond an end (Side -1 before the first point, +1 past the
// last) or on a one-point axis, Lo == Hi and Weight is 0: the edge value
// continued.
struct TAxisStep {
    double At = 0;
    int Lo = 0;
    int Hi = 0;
    double LoValue = 0; // the axis values at Lo and Hi
    double HiValue = 0;
    double Weight = 0;
    int Side = 0;
};

// One lookup of a map at (x, y): along X in the two rows around y, then
// along Y between them, as the chain looks maps up.
struct TLookupStep {
    TAxisStep X;
    TAxisStep Y;
    double Cells[2][2]{}; // the map's values used: Cells[x lo/hi][y lo/hi]
    double Value = 0;
};

// The lookup of `map` (at least one X value and one row) at (x, y).
TLookupStep ExplainLookup(const Map& map, double x, double y);

// The whole chain at one operating point.
struct TExplanation {
    double Iq = 0;            // mm3
    double Rpm = 0;           // 1/min
    TLookupStep RailPressure; // bar, the rail pressure map at (Iq, Rpm)
    TLookupStep Duration;     // us, the duration map at (Iq, rail pressure)
    double DurationUs = 0;    // Duration.Value rounded to 0.1 us, as the chain does
    double DurationDeg = 0;   // crank degrees
    // The SOI: the SOI map's cell where (Iq, Rpm) is a point of its grid,
    // else looked up like the others.
    bool OnSoiGrid = false;
    TLookupStep Soi;
    double Eoi = 0;       // SOI - duration in degrees
    double BeforeTdc = 0; // percent of the injection before TDC
};

// False (and `out` left alone) when a map is incomplete.
bool ExplainPoint(const Map& railPressure, const Map& duration, const Map& soi, double iq,
                  double rpm, TExplanation& out);

// The percentage of an injection of D crank degrees starting at SOI that
// lies before TDC: 100 * clamp(SOI, 0, D) / D; for D <= 0, 100 when the SOI
// lies before TDC, else 0.
double BeforeTdcShare(double soi, double durationDeg);

// The share before TDC of every cell of the SOI grid, from the chain's
// derived maps of `soi`.
void BeforeTdcMap(const DerivedMaps& derived, const Map& soi, Map& out);

// Its report, in the layout of the other reports (one decimal, no colours).
std::string BeforeTdcText(const Map& share);

// The explanation as lines of text in UTF-8, e.g.
//   30.0 mm3 at 2000 1/min
//   rail pressure  812.4 bar    rail pressure map, X 25.0–35.0 (0.50/0.50), ...
std::string ExplanationText(const TExplanation& e);

// The explanation as one JSON object (UTF-8, LF line ends).
std::string ExplanationJson(const TExplanation& e);
