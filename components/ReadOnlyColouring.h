#pragma once
// The read-only colouring the library's edit controls share: the background
// shows clBtnFace while the control is disabled, else ColorRO while it is
// read-only, else the read-write colour (the Color property). Every change of
// the enabled state (also through Qt or a parent), the read-only state or a
// colour recolours. Reading the colour gives the stored read-write colour,
// not the one shown. `Base` is a Qt edit widget with isReadOnly/setReadOnly.
// GUI thread only.

#include "Color.h"
#include "QtColor.h"

#include <QEvent>

template <class Base> class TReadOnlyColouring : public Base {
public:
    explicit TReadOnlyColouring(QWidget* parent, TColor colorRO)
        : Base(parent), m_colorRO(colorRO), m_defaultColorRO(colorRO) {}

    bool GetEnabled() const { return this->isEnabled(); }
    void SetEnabled(bool enabled) {
        this->setEnabled(enabled);
        UpdateColor();
    }
    bool GetReadOnly() const { return this->isReadOnly(); }
    void SetReadOnly(bool readOnly) {
        this->setReadOnly(readOnly);
        UpdateColor();
    }
    TColor GetColor() const { return m_colorRW; }
    void SetColorRW(TColor color) {
        m_colorRW = color;
        UpdateColor();
    }
    TColor GetColorRO() const { return m_colorRO; }
    void SetColorRO(TColor color) {
        m_colorRO = color;
        UpdateColor();
    }

    // The accessors of the Color and ColorRO Qt properties that each
    // control declares (moc reads no templates): colours as QColor, reset to
    // clWindow and to the read-only colour the control starts with.
    QColor ColorProperty() const { return PropertyColor(m_colorRW, this); }
    void setColor(const QColor& color) { SetColorRW(FromQColor(color)); }
    void ResetColor() { SetColorRW(clWindow); }
    QColor ColorROProperty() const { return PropertyColor(m_colorRO, this); }
    void setColorRO(const QColor& color) { SetColorRO(FromQColor(color)); }
    void ResetColorRO() { SetColorRO(m_defaultColorRO); }

    void UpdateColor() {
        SetBackgroundColor(this, !this->isEnabled()   ? clBtnFace
                                 : this->isReadOnly() ? m_colorRO
                                                      : m_colorRW);
    }

protected:
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
