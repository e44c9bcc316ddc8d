#pragma once
/// \file DataSet.h
/// Data sets, fields and data sources for the library's data-aware
/// components, on Qt Sql, without widgets (the grid is DBGrid.h, the bound
/// edits DBControls.h). Any Qt Sql driver works; the tests use QSQLITE.
///
/// A TDataSet reads a table (editable) or a query (read-only) from a
/// QSqlDatabase when opened, with every record fetched, so RecordCount is
/// exact for every driver. It has a current record (RecNo, 1-based) that
/// First, Next and SetRecNo move; CurrentChanged tells the controls bound to
/// it. Fields give the current record's values.
///
/// Errors of the database (opening, posting) are thrown as EDatabaseError
/// with the driver's text; nothing fails silently. GUI thread only.
///
/// AsString, by field type: integers in plain decimal; floats and currencies
/// in the shortest form that reads back to the same double ("2.5", "0.1");
/// booleans "True"/"False"; dates "YYYY-MM-DD", times "hh:mm:ss", date-times
/// "YYYY-MM-DD hh:mm:ss"; text as stored; NULL as "". AsText gives it in
/// Unicode (what the bound controls show), AsString in Windows-1252.
///
/// Exact decimals (an SQL NUMERIC or DECIMAL column: ftFMTBcd, also ftBCD)
/// are read as their digits, never through a double: AsString gives them
/// exactly as the server has them, AsCurrency is taken from those digits.
/// PostgreSQL's NUMERIC columns are found by themselves; for other drivers
/// SetFieldType states them.
///
/// Connecting to a server is bounded: a PostgreSQL connection attempt gives
/// up after ConnectTimeoutSeconds (connect_timeout, unless the database's
/// connect options name one) and Open raises EDatabaseError.

#include "VynExport.h"

#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class QSqlQueryModel;

/// Field types; the numbering is fixed, callers store and compare it.
enum TFieldType : int {
    ftUnknown = 0,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftParadoxOle,
    ftDBaseOle,
    ftTypedBinary,
    ftCursor,
    ftFixedChar,
    ftWideString,
    ftLargeint,
    ftADT,
    ftArray,
    ftReference,
    ftDataSet,
    ftOraBlob,
    ftOraClob,
    ftVariant,
    ftInterface,
    ftIDispatch,
    ftGuid,
    ftTimeStamp,
    ftFMTBcd
};

/// How a field's values are aligned in a grid.
enum TAlignment : int { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

/// A database error: the driver's text, or what the data set refused.
class VYN_EXPORT EDatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TDataSet;

/// One column of an open data set; made by TDataSet::Open, valid until the
/// data set closes.
class VYN_EXPORT TField {
public:
    /// Column `index` of `dataSet`, called `name`, of type `type`.
    TField(TDataSet* dataSet, int index, std::string name, TFieldType type);

    std::string FieldName;   ///< the column's name (Windows-1252)
    std::string DisplayName; ///< the field's name unless changed
    TFieldType DataType;     ///< the column's type
    TAlignment Alignment;    ///< numbers right-justified, everything else left

    /// Each reader gives the current record's value, or with `row` (from 0)
    /// that record's, without moving the cursor.
    bool IsNull(int row = -1) const;
    /// The value as the driver gives it.
    QVariant Value(int row = -1) const;
    /// The value as text (Unicode, exactly as stored for text fields).
    QString AsText(int row = -1) const;
    /// The same in Windows-1252, for the library's own interface: a
    /// character without a byte there reads as "?"; AsStringExact says so
    /// (false) where AsString cannot.
    std::string AsString(int row = -1) const;
    /// AsString into `text`; false when a character had no byte.
    bool AsStringExact(std::string& text, int row = -1) const;
    /// The value as a currency: rounded to four decimals (for an exact
    /// decimal, from its digits).
    double AsCurrency() const;
    /// The same in ten-thousandths, exactly; beyond what 64 bits hold
    /// (about ±9.2e14) the nearest end of the range.
    std::int64_t AsCurrencyUnits(int row = -1) const;
    /// Changes the current record's value (an editable data set; Post
    /// writes it). Throws EDatabaseError on a read-only data set, and for
    /// text that is no value of the field's type ("12a" for an integer, "yes"
    /// for a boolean): nothing is changed then. Empty text is NULL for every
    /// type but text.
    void SetAsText(const QString& text);
    /// The same from Windows-1252 text.
    void SetAsString(const std::string& text);

private:
    TDataSet* m_dataSet;
    int m_index;
};

/// A table or query read whole, with a current record; see the file's description.
class VYN_EXPORT TDataSet : public QObject {
    Q_OBJECT

public:
    /// A closed data set.
    explicit TDataSet(QObject* parent = nullptr);
    /// Closes the data set; what is bound to it then shows nothing.
    ~TDataSet() override;

    QSqlDatabase Database;          ///< the connection Open reads from
    int ConnectTimeoutSeconds = 10; ///< how long Open waits for a server
    std::string TableName;          ///< an editable table, or
    std::string SQL;                ///< a read-only query

    /// States a field's type where the SQL declaration does not (SQLite
    /// declares "REAL" for floats and currencies alike). Before Open.
    void SetFieldType(const std::string& fieldName, TFieldType type);

    void Open(); ///< throws EDatabaseError
    /// Drops the records and fields (TField pointers become invalid); emits
    /// Opened and CurrentChanged. Nothing when closed.
    void Close();
    /// Whether the data set is open.
    bool Active() const { return m_model != nullptr; }

    /// The records read; 0 when closed.
    int RecordCount() const;
    int RecNo() const; ///< 1-based; 0 when there are no records
    /// Makes record `recNo` (1-based, clamped to the records) current.
    void SetRecNo(int recNo);
    /// Makes the first record current.
    void First();
    /// Makes the next record current; on the last one sets Eof instead.
    void Next();
    /// True with no records, or after Next on the last one.
    bool Eof() const { return m_eof; }
    /// While disabled (the calls nest), moving through the records tells the
    /// bound controls nothing; the last EnableControls tells them once where
    /// the data set stands. For walks over every record.
    void DisableControls();
    /// Ends one DisableControls.
    void EnableControls();

    /// The number of fields; 0 when closed.
    int FieldCount() const { return static_cast<int>(m_fields.size()); }
    /// Field `i` (from 0); nullptr outside.
    TField* Fields(int i);
    TField* FieldByName(const std::string& name); ///< nullptr when there is none

    /// Whether the data set is an open table (a query is read-only).
    bool CanModify() const;
    /// Writes the edited values of the current record; throws EDatabaseError.
    void Post();

    /// The records as a Qt model (for the grid); nullptr when closed.
    QSqlQueryModel* Model() const { return m_model.get(); }
    /// A field's value on the current record, or on record `row` (from 0).
    QVariant ValueAt(int field, int row = -1) const;
    /// Changes a field of the current record (Post writes it); throws
    /// EDatabaseError on a read-only data set, without records, or when the
    /// driver refuses.
    void SetValueAt(int field, const QVariant& value);

signals:
    /// The current record changed (moved, or its data).
    void CurrentChanged();
    /// The data set was opened or closed: its fields and records are new.
    void Opened();

private:
    void FetchAll();
    void MoveTo(int row);

    std::unique_ptr<QSqlQueryModel> m_model;
    std::vector<std::unique_ptr<TField>> m_fields;
    std::map<std::string, TFieldType> m_types;
    int m_row = 0;
    bool m_eof = true;
    int m_controlsDisabled = 0;
};

/// What bound controls are bound to: a data set, through one more step so
/// that the data set can be destroyed under them.

class VYN_EXPORT TDataSource : public QObject {
    Q_OBJECT

public:
    /// A source without a data set.
    explicit TDataSource(QObject* parent = nullptr) : QObject(parent) {}

    /// Null once the data set is destroyed: what is bound to the source then
    /// shows nothing and does nothing.
    QPointer<TDataSet> DataSet;
};
