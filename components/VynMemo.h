#pragma once
/// \class TVynMemo VynMemo.h <vyn/VynMemo.h>
/// TVynMemo: a multi-line plain-text edit that shows by its background whether
/// the user may type into it: the read-write colour while editable, ColorRO
/// while read-only, clBtnFace while disabled.
///
/// Its change event OnChange follows fixed rules that owners rely on: every
/// edit by the user raises it; SetText raises it synchronously when, and only
/// when, the new text differs from the current one; Clear raises nothing.
/// Text is Windows-1252 at this interface. GUI thread only.

#include "Color.h"
#include "Cp1252Entry.h"
#include "ReadOnlyColouring.h"
#include "VynExport.h"

#include <QPlainTextEdit>

#include <string>
#include <string_view>

class VYN_EXPORT TVynMemo : public TReadOnlyColouring<TCp1252PlainEntry<QPlainTextEdit>> {
    Q_OBJECT
    // The published properties, for Qt's property system and Qt Designer:
    // each goes through the accessor of its name, so setting one recolours.
    Q_PROPERTY(bool ReadOnly READ GetReadOnly WRITE SetReadOnly)
    Q_PROPERTY(QColor Color READ ColorProperty WRITE setColor RESET ResetColor)
    Q_PROPERTY(QColor ColorRO READ ColorROProperty WRITE setColorRO RESET ResetColorRO)

public:
    /// Starts editable in clWindow; ColorRO starts as clBtnFace. GetEnabled,
    /// SetEnabled, GetReadOnly, SetReadOnly, GetColor, SetColorRW,
    /// GetColorRO, SetColorRO and UpdateColor are TReadOnlyColouring's.
    explicit TVynMemo(QWidget* parent = nullptr);

    /// Appends a line (as a new last line).
    void Add(std::string_view line);

    /// The text as Windows-1252 with CR LF line ends.
    std::string Text() const;
    /// Replaces the text (CR LF, CR and LF each end a line); one OnChange
    /// when it differs, none when it is the same.
    void SetText(std::string_view text);
    /// Empties the memo, without OnChange.
    void Clear();

signals:
    /// The text changed: by the user, Add or SetText.
    void OnChange();

private:
    bool m_silent = false;
};
