#pragma once
// TVynDBMemo: a multi-line edit bound to a database field (TDBMemo) with the
// library's read-only colouring; ColorRO starts as clInfoBk. GUI thread
// only.

#include "DBControls.h"
#include "ReadOnlyColouring.h"

class TVynDBMemo : public TReadOnlyColouring<TDBMemo> {
    Q_OBJECT

public:
    explicit TVynDBMemo(QWidget* parent = nullptr);
};
