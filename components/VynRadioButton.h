#pragma once
/// \class TVynRadioButton VynRadioButton.h <vyn/VynRadioButton.h>
/// TVynRadioButton: a radio button whose check circle is filled with BgColor
/// while it can be changed, BgColorRO while read-only and clBtnFace while
/// disabled: the whole inside, up to the style's ring, in every style and at
/// any device pixel ratio, on every paint, check change, mouse move and press.
/// A read-only button cannot be checked, neither through SetChecked nor by
/// the user's click or keyboard, only by ForceChecked; it can be unchecked.
/// SetChecked(false) unchecks even the checked button of an exclusive group.
/// GUI thread only.

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
    ///@{
    /// An unchecked, read-write button, with or without its text.
    explicit TVynRadioButton(QWidget* parent = nullptr);
    explicit TVynRadioButton(const QString& text, QWidget* parent = nullptr);
    ///@}

    // Published properties; write them through their setters, which recolour.
    bool ReadOnly = false;        ///< the button cannot be checked (SetReadOnly)
    TColor BgColor = clWindow;    ///< the inside while it can be changed (SetColorRW)
    TColor BgColorRO = clBtnFace; ///< the inside while read-only (SetColorRO)
    /// Whether the button is read-only.
    bool GetReadOnly() const { return ReadOnly; }
    ///@{
    /// The accessors of the BgColor and BgColorRO Qt properties, as QColor;
    /// writing and resetting (to clWindow, clBtnFace) go through the setters.
    QColor BgColorProperty() const { return PropertyColor(BgColor, this); }
    void setBgColor(const QColor& color) { SetColorRW(FromQColor(color)); }
    void ResetBgColor() { SetColorRW(clWindow); }
    QColor BgColorROProperty() const { return PropertyColor(BgColorRO, this); }
    void setBgColorRO(const QColor& color) { SetColorRO(FromQColor(color)); }
    void ResetBgColorRO() { SetColorRO(clBtnFace); }
    ///@}

    /// Whether the button is checked.
    bool GetChecked() const { return isChecked(); }
    /// Checks (not while read-only: nothing happens) or unchecks the button.
    void SetChecked(bool checked);
    /// Checks the button, also while read-only.
    void ForceChecked();
    /// Whether the button is enabled.
    bool GetEnabled() const { return isEnabled(); }
    /// Enables or disables the button, and recolours.
    void SetEnabled(bool enabled);
    /// Makes the button read-only or not, and recolours.
    void SetReadOnly(bool readOnly);
    /// The name uic calls for a form's ReadOnly.
    void setReadOnly(bool readOnly) { SetReadOnly(readOnly); }
    /// Sets BgColor, and recolours.
    void SetColorRW(TColor color);
    /// Sets BgColorRO, and recolours.
    void SetColorRO(TColor color);
    /// Repaints the circle's inside in the colour of the current state.
    void UpdateColor();
    /// The colour the circle's inside has now.
    TColor CircleColor() const;
    /// The circle's inside, in the button's coordinates.
    QRect CircleInside() const;

protected:
    /// Paints the button as the style does, then the circle's inside.
    void paintEvent(QPaintEvent* event) override;
    ///@{
    /// As the base class's, followed by the inside's colour; a read-only
    /// button is not checked by the mouse or the keyboard.
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void checkStateSet() override;
    void nextCheckState() override;
    ///@}

private:
    void SetBaseChecked(bool checked);
};
