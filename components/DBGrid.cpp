#include "DBGrid.h"

#include "QtText.h"

#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QItemSelectionModel>
#include <QSqlQueryModel>

#include <algorithm>

TField* TColumn::Field() const {
    return m_dataSet != nullptr ? m_dataSet->FieldByName(FieldName) : nullptr;
}

TColumn* TDBGridColumns::Add() {
    m_columns.push_back(std::make_unique<TColumn>());
    return m_columns.back().get();
}

namespace {

// The data set's model as the grid's columns show it: their titles, and
// their alignment in every cell.
class TColumnsView : public QIdentityProxyModel {
public:
    explicit TColumnsView(TDBGrid* grid) : QIdentityProxyModel(grid), m_grid(grid) {}

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
            if (const TColumn* column = m_grid->ColumnOfField(section)) {
                return ToQString(column->DisplayName);
            }
        }
        return QIdentityProxyModel::headerData(section, orientation, role);
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::TextAlignmentRole) {
            if (const TColumn* column = m_grid->ColumnOfField(index.column())) {
                const Qt::Alignment across = column->Alignment == taRightJustify ? Qt::AlignRight
                                             : column->Alignment == taCenter     ? Qt::AlignHCenter
                                                                                 : Qt::AlignLeft;
                return QVariant::fromValue(across | Qt::AlignVCenter);
            }
        }
        return QIdentityProxyModel::data(index, role);
    }

private:
    TDBGrid* m_grid;
};

TDataSet* DataSetOfSource(const TDataSource* source) {
    return source != nullptr ? source->DataSet.data() : nullptr;
}

} // namespace

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent), m_view(new TColumnsView(this)) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setModel(m_view);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                TDataSet* const set = DataSetOfSource(m_source.data());
                if (set != nullptr && set->Model() != nullptr && current.isValid() &&
                    set->RecNo() != current.row() + 1) {
                    set->SetRecNo(current.row() + 1);
                }
            });
}

TColumn* TDBGrid::AddColumn(const std::string& fieldName) {
    TColumn* column = Columns.Add();
    column->FieldName = fieldName;
    column->DisplayName = fieldName;
    column->m_dataSet = DataSetOfSource(m_source.data());
    RefreshColumns();
    return column;
}

const TColumn* TDBGrid::ColumnOfField(int fieldIndex) const {
    TDataSet* const dataSet = DataSetOfSource(m_source.data());
    if (dataSet == nullptr || fieldIndex < 0 || fieldIndex >= dataSet->FieldCount()) {
        return nullptr;
    }
    const TField* field = dataSet->Fields(fieldIndex);
    for (const auto& column : Columns.m_columns) {
        if (column->Field() == field) {
            return column.get();
        }
    }
    return nullptr;
}

void TDBGrid::RefreshColumns() {
    TDataSet* const dataSet = DataSetOfSource(m_source.data());
    if (dataSet == nullptr || dataSet->Model() == nullptr) {
        return;
    }
    QHeaderView* header = horizontalHeader();
    for (int i = 0; i < dataSet->FieldCount(); ++i) {
        header->setSectionHidden(i, ColumnOfField(i) == nullptr);
    }
    // The columns' order, left to right.
    int place = 0;
    for (const auto& column : Columns.m_columns) {
        for (int i = 0; i < dataSet->FieldCount(); ++i) {
            if (dataSet->Fields(i) == column->Field()) {
                header->moveSection(header->visualIndex(i), place++);
                break;
            }
        }
    }
    header->headerDataChanged(Qt::Horizontal, 0, dataSet->FieldCount() - 1);
    viewport()->update();
}

void TDBGrid::SetDataSource(TDataSource* source) {
    // One binding at a time: the data set bound before no longer moves this
    // grid, nor this grid it.
    for (const QMetaObject::Connection& binding : m_bindings) {
        disconnect(binding);
    }
    m_bindings.clear();
    m_source = source;
    Columns.Clear();
    Rebind();
    if (TDataSet* const dataSet = DataSetOfSource(source)) {
        m_bindings.push_back(connect(dataSet, &TDataSet::Opened, this, [this] { Rebind(); }));
        m_bindings.push_back(connect(dataSet, &TDataSet::CurrentChanged, this, [this] {
            const TDataSet* const bound = DataSetOfSource(m_source.data());
            if (bound != nullptr && bound->Model() != nullptr && bound->RecNo() > 0 &&
                currentIndex().row() != bound->RecNo() - 1) {
                selectRow(bound->RecNo() - 1);
            }
        }));
    }
}

void TDBGrid::Rebind() {
    TDataSet* const dataSet = DataSetOfSource(m_source.data());
    m_view->setSourceModel(dataSet != nullptr ? dataSet->Model() : nullptr);
    if (dataSet == nullptr || dataSet->Model() == nullptr) {
        return; // closed: the columns wait for the next open
    }
    // The columns whose fields are still there stay, as the caller set
    // them; with none left, one per field.
    for (const auto& column : Columns.m_columns) {
        column->m_dataSet = dataSet;
    }
    std::erase_if(Columns.m_columns, [](const auto& column) { return column->Field() == nullptr; });
    if (Columns.Count() == 0) {
        for (int i = 0; i < dataSet->FieldCount(); ++i) {
            TColumn* column = Columns.Add();
            column->FieldName = dataSet->Fields(i)->FieldName;
            column->DisplayName = dataSet->Fields(i)->DisplayName;
            column->Alignment = dataSet->Fields(i)->Alignment;
            column->m_dataSet = dataSet;
        }
    }
    RefreshColumns();
}
