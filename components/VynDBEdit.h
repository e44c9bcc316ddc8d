#pragma once
/// \class TVynDBEdit VynDBEdit.h <vyn/VynDBEdit.h>
/// TVynDBEdit: a single-line edit bound to a database field (TDBEdit) with
/// the library's read-only colouring (ColorRO starts as clInfoBk) and a
/// hyperlink look: when an OnClick or OnDblClick handler is assigned, the
/// text is blue and underlined while read-only (black and plain while
/// editable), and over a non-empty read-only edit the mouse shows a hand.
/// Mouse moves select text as in any edit; only the hyperlink look (read-only
/// with a click handler) takes them for the hand cursor. GUI thread only.

#include "DBControls.h"
#include "ReadOnlyColouring.h"
#include "VynExport.h"

#include <functional>

class VYN_EXPORT TVynDBEdit : public TReadOnlyColouring<TDBEdit> {
    Q_OBJECT
    // The published properties, for Qt's property system and Qt Designer:
    // each goes through the accessor of its name, so setting one recolours.
    Q_PROPERTY(bool Enabled READ GetEnabled WRITE SetEnabled)
    Q_PROPERTY(bool ReadOnly READ GetReadOnly WRITE SetReadOnly)
    Q_PROPERTY(QColor Color READ ColorProperty WRITE setColor RESET ResetColor)
    Q_PROPERTY(QColor ColorRO READ ColorROProperty WRITE setColorRO RESET ResetColorRO)

public:
    /// An unbound, read-write edit.
    explicit TVynDBEdit(QWidget* parent = nullptr);

    ///@{
    /// Click events; "assigned" means non-empty. Assign them
    /// before setting ReadOnly: the font follows at the next SetReadOnly.
    std::function<void(QObject* Sender)> OnClick;
    std::function<void(QObject* Sender)> OnDblClick;
    ///@}

    /// Makes the edit read-only or not, recolours, and gives the text the
    /// hyperlink look or takes it away.
    void SetReadOnly(bool readOnly);
    /// Whether the mouse is over the edit with the hand cursor.
    bool Hovering() const { return m_hover; }

protected:
    /// The hyperlink look's hand cursor over a read-only edit.
    void mouseMoveEvent(QMouseEvent* event) override;
    /// Calls OnClick after a left click inside the edit.
    void mouseReleaseEvent(QMouseEvent* event) override;
    /// Calls OnDblClick.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void RestoreCursor();
    bool HandlersAssigned() const { return OnClick != nullptr || OnDblClick != nullptr; }

    bool m_hover = false;
};
