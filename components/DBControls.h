#pragma once
/// \file DBControls.h
/// Edits bound to a field of a data source (DataSet.h): they show the field
/// of the data set's current record (its Unicode text, as stored), follow its
/// cursor, and write an edited value back (and post it) when editing ends.
///
/// Nothing is thrown out of an edit's event handlers. A write that fails (the
/// driver refused the post, the data set is read-only, the text is no value
/// of the field's type) leaves the user's text in the edit, still marked as
/// modified and so not stored, shows it in red with the reason as the
/// tooltip ("Not stored: ..."), and emits StoreFailed with the reason. The
/// next write that succeeds, or a load of another record, ends that state.
/// GUI thread only.

#include "DataSet.h"
#include "VynExport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>

#include <functional>
#include <string>
#include <vector>

/// What a bound control refers to: a field of its data source's data set.
class VYN_EXPORT TFieldLink {
public:
    /// Refers to the field and calls `load` (on `control`'s thread) whenever
    /// the data set's current record changes, and once now. Binding again
    /// drops the earlier binding. A source or data set destroyed first
    /// leaves the control showing nothing and writing nothing.
    void Bind(QObject* control, TDataSource* source, const std::string& field,
              const std::function<void()>& load);
    /// The data source bound; nullptr when unbound or destroyed.
    TDataSource* Source() const { return m_source; }
    /// The name of the field bound.
    const std::string& FieldName() const { return m_field; }
    /// nullptr when unbound, closed, or the data set has no such field.
    TField* Field() const;
    /// The field's text on the current record; empty without one.
    QString Text() const;
    /// Writes the text into the current record and posts it; false with the
    /// reason when that failed (the record is then as it was). Throws
    /// nothing.
    bool Write(const QString& text, QString& error);

private:
    QPointer<TDataSource> m_source;
    std::string m_field;
    std::vector<QMetaObject::Connection> m_bindings; ///< dropped when bound anew
};

/// A single-line edit bound to DataSource/DataField.
class VYN_EXPORT TDBEdit : public QLineEdit {
    Q_OBJECT

public:
    /// An unbound edit: it shows nothing and writes nothing.
    explicit TDBEdit(QWidget* parent = nullptr);

    /// The data source bound; nullptr when unbound.
    TDataSource* DataSource() const { return m_link.Source(); }
    /// The name of the field bound.
    const std::string& DataField() const { return m_link.FieldName(); }
    /// Binds the edit to `field` of `source`'s data set (TFieldLink::Bind);
    /// the edit writes back when editing ends (Return or focus leaving).
    void Bind(TDataSource* source, const std::string& field);
    /// The field bound; nullptr when unbound, closed or missing.
    TField* Field() const { return m_link.Field(); }
    /// Why the text shown is not stored; empty when it is.
    const QString& StoreError() const { return m_storeError; }

signals:
    /// A write failed; `error` is the reason, as StoreError then says.
    void StoreFailed(const QString& error);

private:
    void Load();
    void Store();

    TFieldLink m_link;
    bool m_loading = false;
    bool m_storing = false;
    QString m_storeError;
};

/// A multi-line edit bound to DataSource/DataField; writes back when it
/// loses the focus.
class VYN_EXPORT TDBMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    /// An unbound memo: it shows nothing and writes nothing.
    explicit TDBMemo(QWidget* parent = nullptr);

    /// The data source bound; nullptr when unbound.
    TDataSource* DataSource() const { return m_link.Source(); }
    /// The name of the field bound.
    const std::string& DataField() const { return m_link.FieldName(); }
    /// Binds the memo to `field` of `source`'s data set (TFieldLink::Bind).
    void Bind(TDataSource* source, const std::string& field);
    /// The field bound; nullptr when unbound, closed or missing.
    TField* Field() const { return m_link.Field(); }

    /// Why the text shown is not stored; empty when it is.
    const QString& StoreError() const { return m_storeError; }

signals:
    /// A write failed; `error` is the reason, as StoreError then says.
    void StoreFailed(const QString& error);

protected:
    /// Writes an edited text back.
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Load();
    void Store();

    TFieldLink m_link;
    QString m_storeError;
    bool m_storing = false;
};

/// A drop-down list bound to DataSource/DataField whose entries come from a
/// second data set: ListField is shown, KeyField is what the bound field
/// holds. Choosing an entry writes its key.
class VYN_EXPORT TDBLookupComboBox : public QComboBox {
    Q_OBJECT

public:
    /// An unbound, empty list.
    explicit TDBLookupComboBox(QWidget* parent = nullptr);

    /// Binds the list to `field` of `source`'s data set (TFieldLink::Bind).
    void Bind(TDataSource* source, const std::string& field);
    /// The entries: `listField` of every record of `listSource`'s data set,
    /// each standing for its `keyField`; refilled when that data set changes.
    void SetList(TDataSource* listSource, const std::string& keyField,
                 const std::string& listField);
    /// The field bound; nullptr when unbound, closed or missing.
    TField* Field() const { return m_link.Field(); }
    /// The key of the entry shown (Windows-1252); empty when none is.
    std::string KeyValue() const;

    /// The read-only state: the list cannot be changed by the user.
    bool IsReadOnly() const { return m_readOnly; }
    /// Sets the read-only state only (TVynDBLookupComboBox also recolours).
    void SetBaseReadOnly(bool readOnly) { m_readOnly = readOnly; }
    /// Why the last choice was not stored (the list then shows the stored
    /// value again); empty when it was.
    const QString& StoreError() const { return m_storeError; }

signals:
    /// A choice was not stored; `error` is the reason, as StoreError then says.
    void StoreFailed(const QString& error);

protected:
    ///@{
    /// Refused while read-only: the user cannot change the choice.
    void showPopup() override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    ///@}

private:
    void LoadList();
    void Load();

    TFieldLink m_link;
    QPointer<TDataSource> m_listSource;
    QMetaObject::Connection m_listBinding;
    std::string m_keyField;
    std::string m_listField;
    bool m_loading = false;
    bool m_readOnly = false;
    QString m_storeError;
};
