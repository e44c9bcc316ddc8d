#include "QtColor.h"

#include <QApplication>
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

TColor FromQColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return TColor{static_cast<std::uint32_t>(rgb.red()) |
                  static_cast<std::uint32_t>(rgb.green()) << 8 |
                  static_cast<std::uint32_t>(rgb.blue()) << 16};
}

QColor PropertyColor(TColor color, const QWidget* widget) {
    return ToQColor(color,
                    widget != nullptr ? QApplication::palette(widget) : QApplication::palette());
}

void SetBackgroundColor(QWidget* widget, TColor color) {
    // System colours come from the untouched palette of the widget's class:
    // the widget's own palette holds what an earlier call set.
    const QColor qcolor = ToQColor(color, QApplication::palette(widget));
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, qcolor);
    palette.setColor(QPalette::Window, qcolor);
    widget->setPalette(palette);
}
