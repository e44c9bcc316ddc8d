#pragma once
/// \class TVynDBMemo VynDBMemo.h <vyn/VynDBMemo.h>
/// TVynDBMemo: a multi-line edit bound to a database field (TDBMemo) with the
/// library's read-only colouring; ColorRO starts as clInfoBk. GUI thread
/// only.

#include "DBControls.h"
#include "ReadOnlyColouring.h"
#include "VynExport.h"

class VYN_EXPORT TVynDBMemo : public TReadOnlyColouring<TDBMemo> {
    Q_OBJECT
    // The published properties, for Qt's property system and Qt Designer:
    // each goes through the accessor of its name, so setting one recolours.
    Q_PROPERTY(bool Enabled READ GetEnabled WRITE SetEnabled)
    Q_PROPERTY(bool ReadOnly READ GetReadOnly WRITE SetReadOnly)
    Q_PROPERTY(QColor Color READ ColorProperty WRITE setColor RESET ResetColor)
    Q_PROPERTY(QColor ColorRO READ ColorROProperty WRITE setColorRO RESET ResetColorRO)

public:
    /// An unbound, read-write memo.
    explicit TVynDBMemo(QWidget* parent = nullptr);
};
