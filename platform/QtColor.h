#pragma once
/// \file QtColor.h
/// TColor values as Qt colours. System colours are looked up in a palette, so
/// they follow the desktop's theme.

#include "Color.h"
#include "VynExport.h"

#include <QColor>
#include <QPalette>

class QWidget;

/// The Qt colour of `color`: a plain colour as it is, a system colour as
/// `palette` has it (an unknown one as the palette's Window colour).
VYN_EXPORT QColor ToQColor(TColor color, const QPalette& palette);

/// A Qt colour as a TColor: its red, green and blue; alpha is dropped.
VYN_EXPORT TColor FromQColor(const QColor& color);

/// A colour property as Qt's property system (and so Qt Designer) shows it:
/// a system colour as the palette of the widget's class paints it (the
/// application's palette without a widget).
VYN_EXPORT QColor PropertyColor(TColor color, const QWidget* widget = nullptr);

/// Sets the background a text or edit widget paints behind its text (the
/// control's Color). System colours are those of the widget's class, so the
/// result does not depend on what the widget showed before.
VYN_EXPORT void SetBackgroundColor(QWidget* widget, TColor color);
