#pragma once
// TVynRadioButton: a radio button whose check circle is filled with BgColor
// while it can be changed, BgColorRO while read-only and clBtnFace while
// disabled: the whole inside, up to the style's ring, in every style and at
// any device pixel ratio, on every paint, check change, mouse move and press.
// A read-only button cannot be checked, neither through SetChecked nor by
// the user's click or keyboard, only by ForceChecked; it can be unchecked.
// SetChecked(false) unchecks even the checked button of an exclusive group.
// GUI thread only.

#include "Color.h"
#include "QtColor.h"
#include "VynExport.h"

#include <QRadioButton>

class VYN_EXPORT TVynRadioButton : public QRadioButton {
    Q_OBJECT
    // The published properties, for Qt's property system and Qt Designer:
    // each goes through its setter, so setting one recolours.
    Q_PROPERTY(bool ReadOnly READ GetReadOnly WRITE SetReadOnly)
    Q_PROPERTY(QColor BgColor READ BgColorProperty WRITE setBgColor RESET ResetBgColor)
    Q_PROPERTY(QColor BgColorRO READ BgColorROProperty WRITE setBgColorRO RESET ResetBgColorRO)

public:
    explicit TVynRadioButton(QWidget* parent = nullptr);
    explicit TVynRadioButton(const QString& text, QWidget* parent = nullptr);

    bool ReadOnly = false;
    TColor BgColor = clWindow;
    TColor BgColorRO = clBtnFace;
    bool GetReadOnly() const { return ReadOnly; }
    QColor BgColorProperty() const { return PropertyColor(BgColor, this); }
    void setBgColor(const QColor& color) { SetColorRW(FromQColor(color)); }
    void ResetBgColor() { SetColorRW(clWindow); }
    QColor BgColorROProperty() const { return PropertyColor(BgColorRO, this); }
    void setBgColorRO(const QColor& color) { SetColorRO(FromQColor(color)); }
    void ResetBgColorRO() { SetColorRO(clBtnFace); }

    bool GetChecked() const { return isChecked(); }
    void SetChecked(bool checked);
    void ForceChecked();
    bool GetEnabled() const { return isEnabled(); }
    void SetEnabled(bool enabled);
    void SetReadOnly(bool readOnly);
    // The name uic calls for a form's ReadOnly.
    void setReadOnly(bool readOnly) { SetReadOnly(readOnly); }
    void SetColorRW(TColor color);
    void SetColorRO(TColor color);
    // Repaints the circle's inside in the colour of the current state.
    void UpdateColor();
    // The colour the circle's inside has now.
    TColor CircleColor() const;
    // The circle's inside, in the button's coordinates.
    QRect CircleInside() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void checkStateSet() override;
    void nextCheckState() override;

private:
    void SetBaseChecked(bool checked);
};
