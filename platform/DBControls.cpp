#include "DBControls.h"

#include "QtText.h"

#include <QKeyEvent>

namespace {

TField* BoundField(TDataSource* source, const std::string& name) {
    if (source == nullptr || source->DataSet == nullptr || !source->DataSet->Active()) {
        return nullptr;
    }
    return source->DataSet->FieldByName(name);
}

} // namespace

// ---------------------------------------------------------------------------

TDBEdit::TDBEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::editingFinished, this, [this] { Store(); });
}

void TDBEdit::Bind(TDataSource* source, const std::string& field) {
    m_source = source;
    m_field = field;
    if (source != nullptr && source->DataSet != nullptr) {
        connect(source->DataSet, &TDataSet::CurrentChanged, this, [this] { Load(); });
    }
    Load();
}

TField* TDBEdit::Field() const {
    return BoundField(m_source, m_field);
}

void TDBEdit::Load() {
    m_loading = true;
    const TField* field = Field();
    setText(field != nullptr && m_source->DataSet->RecordCount() > 0 ? ToQString(field->AsString())
                                                                     : QString());
    setModified(false);
    m_loading = false;
}

void TDBEdit::Store() {
    TField* field = Field();
    if (m_loading || field == nullptr || !isModified() || isReadOnly()) {
        return;
    }
    setModified(false);
    field->SetAsString(FromQString(text()));
    m_source->DataSet->Post();
}

// ---------------------------------------------------------------------------

TDBMemo::TDBMemo(QWidget* parent) : QPlainTextEdit(parent) {}

void TDBMemo::Bind(TDataSource* source, const std::string& field) {
    m_source = source;
    m_field = field;
    if (source != nullptr && source->DataSet != nullptr) {
        connect(source->DataSet, &TDataSet::CurrentChanged, this, [this] { Load(); });
    }
    Load();
}

TField* TDBMemo::Field() const {
    return BoundField(m_source, m_field);
}

void TDBMemo::Load() {
    const TField* field = Field();
    setPlainText(field != nullptr && m_source->DataSet->RecordCount() > 0
                     ? ToQString(field->AsString())
                     : QString());
    document()->setModified(false);
}

void TDBMemo::Store() {
    TField* field = Field();
    if (field == nullptr || !document()->isModified() || isReadOnly()) {
        return;
    }
    document()->setModified(false);
    field->SetAsString(FromQString(toPlainText()));
    m_source->DataSet->Post();
}

void TDBMemo::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    Store();
}

// ---------------------------------------------------------------------------

TDBLookupComboBox::TDBLookupComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this](int index) {
        TField* field = Field();
        if (m_loading || m_readOnly || field == nullptr || index < 0) {
            return;
        }
        field->SetAsString(FromQString(itemData(index).toString()));
        m_source->DataSet->Post();
    });
}

void TDBLookupComboBox::Bind(TDataSource* source, const std::string& field) {
    m_source = source;
    m_field = field;
    if (source != nullptr && source->DataSet != nullptr) {
        connect(source->DataSet, &TDataSet::CurrentChanged, this, [this] { Load(); });
    }
    Load();
}

void TDBLookupComboBox::SetList(TDataSource* listSource, const std::string& keyField,
                                const std::string& listField) {
    m_listSource = listSource;
    m_keyField = keyField;
    m_listField = listField;
    if (listSource != nullptr && listSource->DataSet != nullptr) {
        connect(listSource->DataSet, &TDataSet::Opened, this, [this] { LoadList(); });
    }
    LoadList();
}

TField* TDBLookupComboBox::Field() const {
    return BoundField(m_source, m_field);
}

std::string TDBLookupComboBox::KeyValue() const {
    return currentIndex() >= 0 ? FromQString(currentData().toString()) : std::string();
}

void TDBLookupComboBox::LoadList() {
    m_loading = true;
    clear();
    TDataSet* list = m_listSource != nullptr ? m_listSource->DataSet : nullptr;
    TField* key = BoundField(m_listSource, m_keyField);
    TField* shown = BoundField(m_listSource, m_listField);
    if (list != nullptr && key != nullptr && shown != nullptr) {
        // The list's own cursor is put back afterwards.
        const int recNo = list->RecNo();
        for (list->First(); !list->Eof(); list->Next()) {
            addItem(ToQString(shown->AsString()), ToQString(key->AsString()));
        }
        list->SetRecNo(recNo);
    }
    m_loading = false;
    Load();
}

void TDBLookupComboBox::Load() {
    m_loading = true;
    const TField* field = Field();
    const QString key = field != nullptr && m_source->DataSet->RecordCount() > 0
                            ? ToQString(field->AsString())
                            : QString();
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
