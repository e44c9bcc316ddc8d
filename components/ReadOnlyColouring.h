#pragma once
/// \class TReadOnlyColouring ReadOnlyColouring.h <vyn/ReadOnlyColouring.h>
/// The read-only colouring the library's edit controls share: the background
/// shows clBtnFace while the control is disabled, else ColorRO while it is
/// read-only, else the read-write colour (the Color property). Every change of
/// the enabled state (also through Qt or a parent), the read-only state or a
/// colour recolours. Reading the colour gives the stored read-write colour,
/// not the one shown. `Base` is a Qt edit widget with isReadOnly/setReadOnly.
/// GUI thread only.

#include "Color.h"
#include "QtColor.h"

#include <QEvent>

template <class Base> class TReadOnlyColouring : public Base {
public:
    /// A read-write control on `parent` in clWindow, read-only in `colorRO`
    /// (also what ResetColorRO returns to).
    explicit TReadOnlyColouring(QWidget* parent, TColor colorRO)
        : Base(parent), m_colorRO(colorRO), m_defaultColorRO(colorRO) {}

    /// Whether the control is enabled.
    bool GetEnabled() const { return this->isEnabled(); }
    /// Enables or disables the control, and recolours.
    void SetEnabled(bool enabled) {
        this->setEnabled(enabled);
        UpdateColor();
    }
    /// Whether the control is read-only.
    bool GetReadOnly() const { return this->isReadOnly(); }
    /// Makes the control read-only or read-write, and recolours.
    void SetReadOnly(bool readOnly) {
        this->setReadOnly(readOnly);
        UpdateColor();
    }
    /// The read-write colour (the Color property), whatever is shown.
    TColor GetColor() const { return m_colorRW; }
    /// Sets the read-write colour, and recolours.
    void SetColorRW(TColor color) {
        m_colorRW = color;
        UpdateColor();
    }
    /// The read-only colour.
    TColor GetColorRO() const { return m_colorRO; }
    /// Sets the read-only colour, and recolours.
    void SetColorRO(TColor color) {
        m_colorRO = color;
        UpdateColor();
    }

    // The accessors of the Color and ColorRO Qt properties that each
    // control declares (moc reads no templates).
    /// The Color property: the read-write colour as a QColor.
    QColor ColorProperty() const { return PropertyColor(m_colorRW, this); }
    /// Writes the Color property, as SetColorRW.
    void setColor(const QColor& color) { SetColorRW(FromQColor(color)); }
    /// Resets the Color property to clWindow.
    void ResetColor() { SetColorRW(clWindow); }
    /// The ColorRO property: the read-only colour as a QColor.
    QColor ColorROProperty() const { return PropertyColor(m_colorRO, this); }
    /// Writes the ColorRO property, as SetColorRO.
    void setColorRO(const QColor& color) { SetColorRO(FromQColor(color)); }
    /// Resets the ColorRO property to the read-only colour the control started with.
    void ResetColorRO() { SetColorRO(m_defaultColorRO); }

    /// Paints the background the states ask for: clBtnFace, ColorRO or Color.
    void UpdateColor() {
        SetBackgroundColor(this, !this->isEnabled()   ? clBtnFace
                                 : this->isReadOnly() ? m_colorRO
                                                      : m_colorRW);
    }

protected:
    /// Recolours on every change of the enabled or read-only state.
    void changeEvent(QEvent* event) override {
        Base::changeEvent(event);
        // Qt's own setEnabled and setReadOnly (which a form's code calls)
        // recolour as well.
        if (event->type() == QEvent::EnabledChange || event->type() == QEvent::ReadOnlyChange) {
            UpdateColor();
        }
    }

private:
    TColor m_colorRW = clWindow;
    TColor m_colorRO;
    TColor m_defaultColorRO;
};
