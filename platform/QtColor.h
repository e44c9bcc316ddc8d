#pragma once
// TColor values as Qt colours. System colours are looked up in a palette, so
// they follow the desktop's theme.

#include "Color.h"

#include <QColor>
#include <QPalette>

class QWidget;

QColor ToQColor(TColor color, const QPalette& palette);

// Sets the background a text or edit widget paints behind its text (the
// control's Color). System colours are those of the widget's class, so the
// result does not depend on what the widget showed before.
void SetBackgroundColor(QWidget* widget, TColor color);
