#include "DBControls.h"

#include "QtText.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

TDataSet* BoundDataSet(const TDataSource* source) {
    return source != nullptr ? source->DataSet.data() : nullptr;
}

TField* BoundField(const TDataSource* source, const std::string& name) {
    TDataSet* const dataSet = BoundDataSet(source);
    return dataSet != nullptr && dataSet->Active() ? dataSet->FieldByName(name) : nullptr;
}

} // namespace

void TFieldLink::Bind(QObject* control, TDataSource* source, const std::string& field,
                      const std::function<void()>& load) {
    for (const QMetaObject::Connection& binding : m_bindings) {
        QObject::disconnect(binding);
    }
    m_bindings.clear();
    m_source = source;
    m_field = field;
    if (source != nullptr) {
        // Gone, they leave the control empty.
        m_bindings.push_back(QObject::connect(source, &QObject::destroyed, control, load));
        if (TDataSet* const dataSet = source->DataSet.data()) {
            m_bindings.push_back(
                QObject::connect(dataSet, &TDataSet::CurrentChanged, control, load));
            m_bindings.push_back(QObject::connect(dataSet, &QObject::destroyed, control, load));
        }
    }
    load();
}

TField* TFieldLink::Field() const {
    return BoundField(m_source, m_field);
}

QString TFieldLink::Text() const {
    const TField* field = Field();
    const TDataSet* dataSet = BoundDataSet(m_source);
    return field != nullptr && dataSet != nullptr && dataSet->RecordCount() > 0 ? field->AsText()
                                                                                : QString();
}

bool TFieldLink::Write(const QString& text, QString& error) {
    TField* field = Field();
    TDataSet* const dataSet = BoundDataSet(m_source);
    if (field == nullptr || dataSet == nullptr) {
        error = QStringLiteral("the field %1 is not open").arg(ToQString(m_field));
        return false;
    }
    try {
        field->SetAsText(text);
        dataSet->Post();
        return true;
    } catch (const EDatabaseError& e) {
        error = ToQString(e.what());
        return false;
    }
}

namespace {

// Shows an edit's text as stored, or as not stored and why.
void ShowStored(QWidget* edit, QString& storeError, const QString& error) {
    if (storeError == error) {
        return;
    }
    storeError = error;
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, error.isEmpty()
                                         ? QApplication::palette(edit).color(QPalette::Text)
                                         : QColor(0xC0, 0, 0));
    edit->setPalette(palette);
    edit->setToolTip(error.isEmpty() ? QString() : QStringLiteral("Not stored: ") + error);
}

} // namespace

// ---------------------------------------------------------------------------

TDBEdit::TDBEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::editingFinished, this, [this] { Store(); });
}

void TDBEdit::Bind(TDataSource* source, const std::string& field) {
    m_link.Bind(this, source, field, [this] { Load(); });
}

void TDBEdit::Load() {
    if (m_storing) {
        return;
    }
    m_loading = true;
    setText(m_link.Text());
    setModified(false);
    ShowStored(this, m_storeError, {});
    m_loading = false;
}

void TDBEdit::Store() {
    if (m_loading || !isModified() || isReadOnly()) {
        return;
    }
    // Posting reloads the record: the typed text is what is written.
    const QString typed = text();
    QString error;
    m_storing = true;
    const bool stored = m_link.Write(typed, error);
    m_storing = false;
    if (stored) {
        Load(); // the stored value, as the database has it now
        return;
    }
    // The user's text stays, not stored.
    if (text() != typed) {
        setText(typed);
    }
    setModified(true);
    ShowStored(this, m_storeError, error);
    emit StoreFailed(error);
}

// ---------------------------------------------------------------------------

TDBMemo::TDBMemo(QWidget* parent) : QPlainTextEdit(parent) {}

void TDBMemo::Bind(TDataSource* source, const std::string& field) {
    m_link.Bind(this, source, field, [this] { Load(); });
}

void TDBMemo::Load() {
    if (m_storing) {
        return;
    }
    setPlainText(m_link.Text());
    document()->setModified(false);
    ShowStored(this, m_storeError, {});
}

void TDBMemo::Store() {
    if (!document()->isModified() || isReadOnly()) {
        return;
    }
    QString error;
    m_storing = true;
    const bool stored = m_link.Write(toPlainText(), error);
    m_storing = false;
    if (stored) {
        Load();
        return;
    }
    ShowStored(this, m_storeError, error);
    emit StoreFailed(error);
}

void TDBMemo::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    Store();
}

// ---------------------------------------------------------------------------

TDBLookupComboBox::TDBLookupComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (m_loading || m_readOnly || index < 0) {
            return;
        }
        QString error;
        if (m_link.Write(itemData(index).toString(), error)) {
            m_storeError.clear();
            return;
        }
        // The list shows what is stored, and says why the choice is not.
        Load();
        m_storeError = error;
        setToolTip(QStringLiteral("Not stored: ") + error);
        emit StoreFailed(error);
    });
}

void TDBLookupComboBox::Bind(TDataSource* source, const std::string& field) {
    m_link.Bind(this, source, field, [this] { Load(); });
}

void TDBLookupComboBox::SetList(TDataSource* listSource, const std::string& keyField,
                                const std::string& listField) {
    m_listSource = listSource;
    m_keyField = keyField;
    m_listField = listField;
    disconnect(m_listBinding);
    m_listBinding = {};
    if (TDataSet* const list = BoundDataSet(listSource)) {
        m_listBinding = connect(list, &TDataSet::Opened, this, [this] { LoadList(); });
    }
    LoadList();
}

std::string TDBLookupComboBox::KeyValue() const {
    return currentIndex() >= 0 ? FromQString(currentData().toString()) : std::string();
}

void TDBLookupComboBox::LoadList() {
    m_loading = true;
    clear();
    TDataSet* list = BoundDataSet(m_listSource);
    TField* key = BoundField(m_listSource, m_keyField);
    TField* shown = BoundField(m_listSource, m_listField);
    if (list != nullptr && key != nullptr && shown != nullptr) {
        // Read by row: the list's cursor does not move, so what is bound to
        // it hears nothing.
        for (int row = 0; row < list->RecordCount(); ++row) {
            addItem(shown->AsText(row), key->AsText(row));
        }
    }
    m_loading = false;
    Load();
}

void TDBLookupComboBox::Load() {
    m_loading = true;
    setToolTip({});
    const QString key = m_link.Text();
    setCurrentIndex(key.isEmpty() ? -1 : findData(key));
    m_loading = false;
}

void TDBLookupComboBox::showPopup() {
    if (!m_readOnly) {
        QComboBox::showPopup();
    }
}

void TDBLookupComboBox::keyPressEvent(QKeyEvent* event) {
    if (m_readOnly) {
        event->ignore();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void TDBLookupComboBox::wheelEvent(QWheelEvent* event) {
    if (!m_readOnly) {
        QComboBox::wheelEvent(event);
    }
}
