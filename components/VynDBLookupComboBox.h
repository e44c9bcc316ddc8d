#pragma once
/// \class TVynDBLookupComboBox VynDBLookupComboBox.h <vyn/VynDBLookupComboBox.h>
/// TVynDBLookupComboBox: a lookup list bound to a database field
/// (TDBLookupComboBox) that shows ColorRO while read-only and ColorRW while
/// not. The colours are plain values: a change shows at the next SetReadOnly,
/// and enabling or disabling does not recolour. GUI thread only.

#include "Color.h"
#include "DBControls.h"
#include "QtColor.h"
#include "VynExport.h"

class VYN_EXPORT TVynDBLookupComboBox : public TDBLookupComboBox {
    Q_OBJECT
    // The published properties, for Qt's property system and Qt Designer.
    // The colours stay plain values, shown at the next ReadOnly change.
    Q_PROPERTY(bool ReadOnly READ GetReadOnly WRITE SetReadOnly)
    Q_PROPERTY(QColor ColorRW READ ColorRWProperty WRITE setColorRW RESET ResetColorRW)
    Q_PROPERTY(QColor ColorRO READ ColorROProperty WRITE setColorRO RESET ResetColorRO)

public:
    /// An unbound, empty, read-write list.
    explicit TVynDBLookupComboBox(QWidget* parent = nullptr);

    TColor ColorRW = clWindow; ///< the background while read-write
    TColor ColorRO = clInfoBk; ///< the background while read-only
    ///@{
    /// The accessors of the ColorRW and ColorRO Qt properties, as QColor;
    /// like the fields, they show at the next SetReadOnly.
    QColor ColorRWProperty() const { return PropertyColor(ColorRW, this); }
    void setColorRW(const QColor& color) { ColorRW = FromQColor(color); }
    void ResetColorRW() { ColorRW = clWindow; }
    QColor ColorROProperty() const { return PropertyColor(ColorRO, this); }
    void setColorRO(const QColor& color) { ColorRO = FromQColor(color); }
    void ResetColorRO() { ColorRO = clInfoBk; }
    ///@}

    /// Whether the list is read-only.
    bool GetReadOnly() const { return IsReadOnly(); }

    /// Applies ColorRO or ColorRW, then the read-only state.
    void SetReadOnly(bool readOnly);
    /// The name uic calls for a form's ReadOnly.
    void setReadOnly(bool readOnly) { SetReadOnly(readOnly); }
    /// The colour shown now.
    TColor ShownColor() const { return m_shown; }

private:
    TColor m_shown = clWindow;
};
