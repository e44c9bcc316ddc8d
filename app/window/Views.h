#pragma once
// What the window's pages share: how a map pane says what its text gave, and
// how a report lays out its columns.

#include "ElidedLabel.h"
#include "Map.h"
#include "VynMemo.h"
#include "VynRichEdit.h"

#include <QString>
#include <QWidget>

// Parses a map pane into its map and report and says so on its line (red
// when something was read as 0, left out or ignored). Every call starts from
// an empty map: a short row's missing values are 0, as the command line
// reads them, never what the pane held before.
void ParseMapPane(TVynMemo* pane, Map& map, ParseReport& report, TElidedLabel* line);

// Numbers in a report sit right-aligned in their columns, so that minus
// signs and wider numbers do not make ragged columns: the text after the
// k-th TAB of a line ends at k half-inch stops plus 40 px. Only the look
// changes; the text, and so what is copied, stays as printed.
void AlignColumnsRight(TVynRichEdit* view);

// Sets a style sheet only when it differs: most keystrokes leave it alone.
void SetStyleSheetIfChanged(QWidget* widget, const QString& sheet);

// The style of a line that says something went wrong.
inline const char* const kProblemStyle = "color: #c00000;";
