#pragma once
// TVynDBLookupComboBox: a lookup list bound to a database field
// (TDBLookupComboBox) that shows ColorRO while read-only and ColorRW while
// not. The colours are plain values: a change shows at the next SetReadOnly,
// and enabling or disabling does not recolour. GUI thread only.

#include "Color.h"
#include "DBControls.h"

class TVynDBLookupComboBox : public TDBLookupComboBox {
    Q_OBJECT

public:
    explicit TVynDBLookupComboBox(QWidget* parent = nullptr);

    TColor ColorRW = clWindow;
    TColor ColorRO = clInfoBk;

    bool GetReadOnly() const { return IsReadOnly(); }
    // Applies ColorRO or ColorRW, then the read-only state.
    void SetReadOnly(bool readOnly);
    // The colour shown now.
    TColor ShownColor() const { return m_shown; }

private:
    TColor m_shown = clWindow;
};
