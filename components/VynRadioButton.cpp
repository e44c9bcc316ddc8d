#include "VynRadioButton.h"

#include "Palette.h"
#include "QtColor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace Vynradiobutton {
void Register() {
    RegisterComponents("VYN", {"TVynRadioButton"});
}
} // namespace Vynradiobutton

TVynRadioButton::TVynRadioButton(QWidget* parent) : QRadioButton(parent) {}

TVynRadioButton::TVynRadioButton(const QString& text, QWidget* parent)
    : QRadioButton(text, parent) {}

void TVynRadioButton::SetBaseChecked(bool checked) {
    if (!checked && isChecked() && autoExclusive()) {
        // An exclusive group keeps one button checked; this one is
        // unchecked all the same.
        setAutoExclusive(false);
        setChecked(false);
        setAutoExclusive(true);
        return;
    }
    setChecked(checked);
}

void TVynRadioButton::SetChecked(bool checked) {
    if (!(ReadOnly && checked)) {
        SetBaseChecked(checked);
    }
    UpdateColor();
}

void TVynRadioButton::ForceChecked() {
    SetBaseChecked(true);
    UpdateColor();
}

void TVynRadioButton::SetEnabled(bool enabled) {
    setEnabled(enabled);
    UpdateColor();
}

void TVynRadioButton::SetReadOnly(bool readOnly) {
    ReadOnly = readOnly;
    UpdateColor();
}

void TVynRadioButton::SetColorRW(TColor color) {
    BgColor = color;
    UpdateColor();
}

void TVynRadioButton::SetColorRO(TColor color) {
    BgColorRO = color;
    UpdateColor();
}

TColor TVynRadioButton::CircleColor() const {
    return !isEnabled() ? clBtnFace : ReadOnly ? BgColorRO : BgColor;
}

void TVynRadioButton::UpdateColor() {
    // Painting happens in paintEvent, after the style drew the button.
    update();
}

QRect TVynRadioButton::CircleInside() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect indicator = style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, this);
    // Inside the style's ring, which is a pixel or two wide.
    const int inset = std::max(2, indicator.width() / 6);
    return indicator.adjusted(inset, inset, -inset, -inset);
}

void TVynRadioButton::paintEvent(QPaintEvent* event) {
    QRadioButton::paintEvent(event);
    // Qt styles do not flood-fill a native button: the circle's inside is
    // painted here, then the check mark on top.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QRect inside = CircleInside();
    painter.setBrush(ToQColor(CircleColor(), QApplication::palette(this)));
    painter.drawEllipse(inside);
    if (isChecked()) {
        const QPalette& p = palette();
        painter.setBrush(
            p.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        const int dot = std::max(2, inside.width() / 2);
        painter.drawEllipse(
            QRect(inside.center().x() - dot / 2 + 1, inside.center().y() - dot / 2 + 1, dot, dot));
    }
}

void TVynRadioButton::mouseMoveEvent(QMouseEvent* event) {
    QRadioButton::mouseMoveEvent(event);
    UpdateColor();
}

void TVynRadioButton::mousePressEvent(QMouseEvent* event) {
    QRadioButton::mousePressEvent(event);
    UpdateColor();
}

void TVynRadioButton::mouseReleaseEvent(QMouseEvent* event) {
    QRadioButton::mouseReleaseEvent(event);
    UpdateColor();
}

void TVynRadioButton::keyPressEvent(QKeyEvent* event) {
    // Arrow keys move the check within a group: not onto a read-only button
    // from here, and the group's other read-only buttons refuse it in
    // nextCheckState.
    QRadioButton::keyPressEvent(event);
    UpdateColor();
}

void TVynRadioButton::nextCheckState() {
    // The user's click or Space: a read-only button is not checked by it.
    if (ReadOnly && !isChecked()) {
        return;
    }
    QRadioButton::nextCheckState();
}

void TVynRadioButton::checkStateSet() {
    QRadioButton::checkStateSet();
    UpdateColor();
}
