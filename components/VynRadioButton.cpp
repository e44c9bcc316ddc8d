#include "VynRadioButton.h"

#include "Palette.h"
#include "QtColor.h"
#include "VynExport.h"
#include "WidgetClasses.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace Vynradiobutton {
VYN_EXPORT void Register() {
    RegisterComponents("VYN", {"TVynRadioButton"});
    RegisterWidgetClass<TVynRadioButton>("TVynRadioButton", "VynRadioButton.h",
                                         "Radio button whose circle shows read-only colouring",
                                         QSize(113, 17));
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
    (void)event;
    // The style fills the circle's inside with the palette's base colour
    // (its button colour when pressed or disabled, for some styles), up to
    // its own ring, antialiased at any device pixel ratio: given the fill
    // colour as those, it paints exactly the inside, ring and check mark as
    // it would, in the colour of the state.
    QStyleOptionButton option;
    initStyleOption(&option);
    const QColor fill = ToQColor(CircleColor(), QApplication::palette(this));
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        option.palette.setColor(group, QPalette::Base, fill);
        option.palette.setColor(group, QPalette::Button, fill);
    }
    QPainter painter(this);
    style()->drawControl(QStyle::CE_RadioButton, &option, &painter, this);
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
