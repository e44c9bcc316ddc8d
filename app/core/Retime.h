#pragma once
// Retiming: the start of injection that ends each injection where wanted.
//
// On the SOI map's grid, for every cell: the wanted EOI (the target), plus
// the duration in crank degrees the chain computes there, is the new SOI;
// it is kept within optional limits and rounded to the ECU's resolution.
// Pasted back as the SOI map, the new SOI gives an EOI within half a step of
// the target in every cell the limits left alone. Pure functions, no toolkit.

#include "Map.h"
#include "Pipeline.h"

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

// Where a lookup of one map on another map's grid went beyond the looked-up
// map's axes (and continued its edge value). Bits of a cell's flags.
enum GridLookupFlag : std::uint8_t {
    kGridXBelow = 1,
    kGridXAbove = 2,
    kGridYBelow = 4,
    kGridYAbove = 8,
};

// The map `source` at every point of `grid`'s axes, looked up as the chain
// looks up the rail pressure map on the SOI grid: along X in each of the
// source's rows, then along Y; flat beyond the ends. `out` gets grid's axes
// and counts; where the grids agree the values are the source's exactly.
void LookUpOnGrid(const Map& source, const Map& grid, Map& out, ExtrapolationMap& flags);

// What the EOI should be.
enum class TargetKind : std::uint8_t {
    Constant,  // Value degrees in every cell (positive before TDC)
    BeforeTdc, // Value percent of the injection before TDC
    Map,       // the map EoiMap, with axes of its own, looked up on the grid
};

struct TRetimeTarget {
    TargetKind Kind = TargetKind::Constant;
    double Value = 0;
    const Map* EoiMap = nullptr; // for TargetKind::Map; must be complete
};

// The new SOI's bounds (infinite for none; Min <= Max) and its resolution
// (a step > 0).
struct TRetimeLimits {
    double Min = -std::numeric_limits<double>::infinity();
    double Max = std::numeric_limits<double>::infinity();
    double Step = 0.1;
};

// Every map here lies on the SOI map's grid (its axes and counts).
struct TRetimeResult {
    Map NewSoi;      // clamped, then rounded to a multiple of the step
    Map TargetEoi;   // the target in each cell
    Map DurationDeg; // the chain's duration in crank degrees, unrounded
    Map ResidualEoi; // the EOI NewSoi gives, minus the target
    // -1 where the limits raised the SOI to Min, +1 where they lowered it to
    // Max, 0 elsewhere: Clamped[x][y].
    std::int8_t Clamped[kMaxAxis][kMaxAxis]{};
    ExtrapolationMap TargetFlags; // a target map's lookups beyond its axes
    TRetimeLimits Limits;
};

// The EOI map of three maps: the chain's EOI view. False (and `eoi` left
// alone) when one of them is incomplete (see FindIncompleteInput).
bool ComputeEoi(const Map& railPressure, const Map& duration, const Map& soi, Map& eoi);

// The retimed SOI map for the chain's derived maps `derived` of a complete
// SOI map.
void Retime(const DerivedMaps& derived, const TRetimeTarget& target, const TRetimeLimits& limits,
            TRetimeResult& out);

// v rounded to the nearest multiple of step (> 0), halves away from zero.
// A step of 1/n for a whole n is rounded in n-ths, so that 0.1 steps give the
// doubles that "x.y" reads as.
double RoundToStep(double v, double step);

// The fewest decimals (0 to 9) that print every multiple of step exactly, 9
// when none does.
int StepDecimals(double step);

// The fewest decimals, at least `least`, that print every value of an axis
// so that it reads back as the same number (at most 17).
int AxisDecimals(const double* axis, int count, int least);

// The new SOI map in the map text layout, its axes as the SOI map's read
// back. With `codes`, cells whose SOI moves earlier (more before TDC) carry
// "[B]", later ones "[R]", cells a limit held are purple and bold, and
// cells beyond a target map's axes in italics; the codes out, the text is
// what goes back into the map editor.
std::string NewSoiText(const TRetimeResult& result, const Map& soi, bool codes);

// One line on how the retiming went, in UTF-8, e.g. "EOI within 0.05° of the
// target in 188 of 192 cells; 4 clamped at 25.0°: row 4500, X 55, 60",
// with the number of cells that lie beyond a target map's axes.
std::string SummariseRetime(const TRetimeResult& result);

// The shortest fixed-point text that reads back as v ("12.25", "4500").
std::string ShortestNumber(double v);

// ΔEOI: the EOI map minus a baseline EOI map looked up on its grid, with
// that lookup's flags.
void EoiDelta(const Map& eoi, const Map& baselineEoi, Map& delta, ExtrapolationMap& flags);

// The ΔEOI report, in the layout of the other reports (one decimal, no
// colours).
std::string EoiDeltaText(const Map& delta);
