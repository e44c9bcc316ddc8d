#pragma once
// The texts Mapwright prints for its derived maps: coloured reports in the map
// text format, bare value rows ("data texts"), and the EOI colour thresholds.
// All texts are Windows-1252 with CR LF line ends. Reports carry the colour
// codes "[G]" (axis values), "[R]" / "[B]" (at or below the low threshold / at
// or above the high one) and "[/]" after every number.

#include "Map.h"
#include "Pipeline.h"

#include <string>
#include <string_view>

// v in fixed-point notation with n decimals, as printf's "%.nf" writes it
// (so -0.04 with one decimal is "-0.0"), always with a point as decimal mark.
// Long numbers are written whole.
std::string FormatNumber(double v, int n);

// The colour code of a map value: "[R]" when v <= lo, else "[B]" when v >= hi,
// else "" (black).
std::string_view ColorCode(double v, double lo, double hi);

// The coloured report of a map. With `italic`, cells whose flags are set
// also carry "[=I]" (italics, gone with the codes in the plain text); with
// `bold`, "[=B]" likewise.
std::string MapToText(const Map& map, std::string_view title, std::string_view description,
                      std::string_view xUnit, std::string_view yUnit, int xDecimals, int yDecimals,
                      int valueDecimals, double lo, double hi,
                      const ExtrapolationMap* italic = nullptr,
                      const ExtrapolationMap* bold = nullptr);

// One line of values per row, TAB between values, no header and no codes.
std::string MapDataToText(const Map& map, int decimals);

// A threshold at or beyond ±9999 colours nothing: it is off. Each side is
// on or off by itself.
inline constexpr double kThresholdOff = 9999;

struct Thresholds {
    double Lo = 0;
    double Hi = 0;
    bool LoOn() const { return Lo > -kThresholdOff; }
    bool HiOn() const { return Hi < kThresholdOff; }
};

// The EOI thresholds from the texts of the two threshold edits. If either text
// is empty both are off (-9999 and 9999); a text that is no number reads as 0.
Thresholds ReadEoiThresholds(std::string_view loText, std::string_view hiText);

// The seven output views, in the order they are printed.
enum class OutputView {
    RailPressure,
    DurationRP,
    DurationUs,
    DurationDeg,
    DurationDegData,
    EOI,
    EOIData,
};
inline constexpr int kOutputViewCount = 7;

// What a view shows: its map and flags, the report's header texts and the
// decimals of the axes and values; Data for the bare value rows.
struct TViewLayout {
    const Map& Values;
    const ExtrapolationMap& Flags;
    std::string_view Title;
    std::string_view Description;
    std::string_view XUnit;
    std::string_view YUnit;
    int XDecimals;
    int YDecimals;
    int ValueDecimals;
    bool Data;
};
TViewLayout ViewLayout(OutputView view, const DerivedMaps& maps);

// The text printed into a view. `eoi` colours the EOI report only.
// `markExtrapolated` sets the Duration and EOI reports' extrapolated cells in
// italics (the window's views); without it the text is the copied one.
// `changed` sets in bold the cells of those two reports whose flags are set
// (the window's cells that differ from a kept baseline).
std::string BuildViewText(OutputView view, const DerivedMaps& maps, Thresholds eoi,
                          bool markExtrapolated = false, const ExtrapolationMap* changed = nullptr);
