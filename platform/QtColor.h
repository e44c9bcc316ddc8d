#pragma once
// TColor values as Qt colours. System colours are looked up in a palette, so
// they follow the desktop's theme.

#include "Color.h"

#include <QColor>
#include <QPalette>

class QWidget;

QColor ToQColor(TColor color, const QPalette& palette);

// Sets the background a text or edit widget paints behind its text (the
// control's Color).
void SetBackgroundColor(QWidget* widget, TColor color);
