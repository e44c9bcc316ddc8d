#pragma once
// What the window and the command line say about the maps beyond their
// values: what a pane's text held that could not be read as the map editor
// meant it, and which derived cells lie beyond the axes of the maps looked up.
// The window's texts are UTF-8 (the map's Windows-1252 converted); the
// command line's diagnostics keep the fields' bytes as the map text has them.

#include "Map.h"
#include "Pipeline.h"

#include <string>
#include <string_view>
#include <vector>

// The line under an input pane, e.g. "16 × 12 · all numbers read" or
// "16 × 12 · 2 cells read as 0: row 1250, column 4 'l,25'; …". Bad when
// something was read as 0, left out or ignored.
struct TPaneSummary {
    std::string Text;
    bool Bad = false;
};
TPaneSummary SummarisePane(const ParseReport& report, const Map& map, bool textEmpty);

// Every finding of a report, one a line, for a tooltip.
std::string ListFindings(const ParseReport& report);

// The line under a derived report: how many of its cells are extrapolated,
// and beyond which axis, e.g. "12 of 192 cells extrapolated: 8 above the
// duration map's rail pressures, 4 below the rail pressure map's speeds".
std::string SummariseExtrapolation(const Map& map, const ExtrapolationMap& flags);

// The name of a flag bit (0..7), e.g. "duration-y-above", and its words,
// e.g. "above the duration map's rail pressures".
std::string_view ExtrapolationName(int bit);
std::string_view ExtrapolationWords(int bit);

// One finding of a map's report in the command line's form: what it is, the
// field as written (or what was counted) and what was done.
struct TDiagnostic {
    int Line = 0;  // from 1; 0 for the whole map
    int Field = 0; // from 1; 0 for the whole line or map
    std::string_view Kind;
    std::string Text;
    std::string Action;
};
std::vector<TDiagnostic> Diagnose(const ParseReport& report);
