#pragma once
/// \file DBGrid.h
/// The data-aware grid: TDBGrid shows a data set (DataSet.h) through its
/// columns. GUI thread only.

#include "DataSet.h"
#include "VynExport.h"

#include <QPointer>
#include <QTableView>

#include <memory>
#include <string>
#include <vector>

class QAbstractProxyModel;

/// A grid column: the field it shows, its title and alignment.
class VYN_EXPORT TColumn {
public:
    std::string FieldName;                ///< the field shown
    std::string DisplayName;              ///< the title
    TAlignment Alignment = taLeftJustify; ///< how the values are aligned
    TField* Field() const;                ///< nullptr when the data set has no such field

private:
    friend class TDBGrid;
    QPointer<TDataSet> m_dataSet;
};

/// A grid's columns. A column stays where it is while the grid has it: Add
/// leaves the others' pointers valid.
class VYN_EXPORT TDBGridColumns {
public:
    /// The number of columns.
    int Count() const { return static_cast<int>(m_columns.size()); }
    /// Column `i`, from 0 to Count() - 1 (no check).
    TColumn* Items(int i) { return m_columns[static_cast<std::size_t>(i)].get(); }
    /// Appends an empty column and returns it (TDBGrid::AddColumn fills one).
    TColumn* Add();
    /// Removes every column; their pointers become invalid.
    void Clear() { m_columns.clear(); }

private:
    friend class TDBGrid;
    std::vector<std::unique_ptr<TColumn>> m_columns;
};

/// A grid showing a data set through its columns (one per field unless
/// changed); its current row follows the data set's record and the other way
/// round. The columns are what it shows: their fields in their order, with
/// their titles and alignment (titles and alignment as they are at each
/// paint; a column added with AddColumn, or a change of order, shows at once,
/// others at RefreshColumns). Reopening the data set keeps the columns whose
/// fields are still there; binding another source starts again from one
/// column per field.
class VYN_EXPORT TDBGrid : public QTableView {
    Q_OBJECT

public:
    /// An unbound, empty grid.
    explicit TDBGrid(QWidget* parent = nullptr);

    /// The data source bound; nullptr when unbound or destroyed.
    TDataSource* DataSource() const { return m_source; }
    /// Binds the grid; the columns become one per field of an open data set.
    void SetDataSource(TDataSource* source);
    TDBGridColumns Columns; ///< what the grid shows, in order
    /// Columns added later refer to the bound data set.
    TColumn* AddColumn(const std::string& fieldName);
    /// Shows the fields of the columns, in their order, after Columns was
    /// changed directly.
    void RefreshColumns();
    /// The column showing field `fieldIndex` of the data set, or nullptr.
    const TColumn* ColumnOfField(int fieldIndex) const;

    /// Visible: not hidden on purpose.
    bool Visible() const { return !isHidden(); }
    /// Shows or hides the grid.
    void SetVisible(bool visible) { setVisible(visible); }

private:
    void Rebind();

    QPointer<TDataSource> m_source;
    QAbstractProxyModel* m_view = nullptr; ///< the columns' titles and alignment
    /// What binds the grid to its data set; dropped when it is bound anew.
    std::vector<QMetaObject::Connection> m_bindings;
};
