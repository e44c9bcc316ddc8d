#include "QtColor.h"

#include <QWidget>

QColor ToQColor(TColor color, const QPalette& palette) {
    if (IsSystemColor(color)) {
        switch (ColorValue(color) & 0xFF) {
        case 5: return palette.color(QPalette::Base);         // clWindow
        case 8: return palette.color(QPalette::Text);         // clWindowText
        case 15: return palette.color(QPalette::Button);      // clBtnFace
        case 24: return palette.color(QPalette::ToolTipBase); // clInfoBk
        case 23: return palette.color(QPalette::ToolTipText); // clInfoText
        case 13: return palette.color(QPalette::Highlight);   // clHighlight
        case 14: return palette.color(QPalette::HighlightedText);
        case 16: return palette.color(QPalette::Dark);            // clBtnShadow
        case 17: return palette.color(QPalette::PlaceholderText); // clGrayText
        case 18: return palette.color(QPalette::ButtonText);      // clBtnText
        case 20: return palette.color(QPalette::Light);           // clBtnHighlight
        default: return palette.color(QPalette::Window);
        }
    }
    return QColor(ColorRed(color), ColorGreen(color), ColorBlue(color));
}

void SetBackgroundColor(QWidget* widget, TColor color) {
    QPalette palette = widget->palette();
    const QColor qcolor = ToQColor(color, palette);
    palette.setColor(QPalette::Base, qcolor);
    palette.setColor(QPalette::Window, qcolor);
    widget->setPalette(palette);
}
