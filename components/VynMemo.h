#pragma once
// TVynMemo: a multi-line plain-text edit that shows by its background whether
// the user may type into it: the read-write colour while editable, ColorRO
// while read-only, clBtnFace while disabled.
//
// Its change event OnChange follows fixed rules that owners rely on: every
// edit by the user raises it; SetText raises it synchronously when, and only
// when, the new text differs from the current one; Clear raises nothing.
// Text is Windows-1252 at this interface. GUI thread only.

#include "Color.h"

#include <QPlainTextEdit>

#include <string>
#include <string_view>

class TVynMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TVynMemo(QWidget* parent = nullptr);

    bool GetEnabled() const { return isEnabled(); }
    void SetEnabled(bool enabled);
    bool GetReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool readOnly);

    // The read-write colour (the Color property): reading it gives the stored
    // colour, not the one shown at the moment.
    TColor GetColor() const { return m_colorRW; }
    void SetColorRW(TColor color);
    TColor GetColorRO() const { return m_colorRO; }
    void SetColorRO(TColor color);

    // Shows clBtnFace when disabled, else ColorRO when read-only, else the
    // read-write colour.
    void UpdateColor();

    // Appends a line (as a new last line).
    void Add(std::string_view line);

    std::string Text() const;
    void SetText(std::string_view text);
    void Clear();

signals:
    void OnChange();

protected:
    void changeEvent(QEvent* event) override;

private:
    TColor m_colorRW = clWindow;
    TColor m_colorRO = clBtnFace;
    bool m_silent = false;
};
