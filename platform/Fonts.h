#pragma once
/// \file Fonts.h
/// The fonts the designed forms ask for do not exist on a Linux desktop; these
/// are their nearest replacements, at the designed pixel sizes (96 dpi).

#include "VynExport.h"

#include <QFont>

class QWidget;

/// The dialog font ("MS Sans Serif" 8 pt): Liberation Sans, else Arimo, else
/// DejaVu Sans, else the system's general font; 11 px.
VYN_EXPORT QFont DialogFont();

/// A fixed-pitch font for text panes: Liberation Mono, else DejaVu Sans Mono,
/// else the system's fixed font; 11 px.
VYN_EXPORT QFont FixedPaneFont();

/// The tiny label font ("Small Fonts" 6 pt): DejaVu Sans, else the dialog
/// font's family; 8 px (6 pt at 96 dpi).
VYN_EXPORT QFont SmallLabelFont();

/// A replacement font can be a little wider than the designed one: every
/// label under `form` that no longer holds its text grows to hold it, unless
/// it would run into a neighbour.
VYN_EXPORT void FitLabelsToText(QWidget* form);
