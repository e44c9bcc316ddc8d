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

void TFieldLink::Bind(QObject* control, TDataSource* source, const std::string& field,
                      const std::function<void()>& load) {
    m_source = source;
    m_field = field;
    if (source != nullptr && source->DataSet != nullptr) {
        QObject::connect(source->DataSet, &TDataSet::CurrentChanged, control, load);
    }
    load();
}

TField* TFieldLink::Field() const {
    return BoundField(m_source, m_field);
}

std::string TFieldLink::Text() const {
    const TField* field = Field();
    return field != nullptr && m_source->DataSet->RecordCount() > 0 ? field->AsString()
                                                                    : std::string();
}

void TFieldLink::Write(const std::string& text) {
    if (TField* field = Field()) {
        field->SetAsString(text);
        m_source->DataSet->Post();
    }
}

// ---------------------------------------------------------------------------

TDBEdit::TDBEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::editingFinished, this, [this] { Store(); });
}

void TDBEdit::Bind(TDataSource* source, const std::string& field) {
    m_link.Bind(this, source, field, [this] { Load(); });
}

void TDBEdit::Load() {
    m_loading = true;
    setText(ToQString(m_link.Text()));
    setModified(false);
    m_loading = false;
}

void TDBEdit::Store() {
    if (m_loading || !isModified() || isReadOnly()) {
        return;
    }
    setModified(false);
    m_link.Write(FromQString(text()));
}

// ---------------------------------------------------------------------------

TDBMemo::TDBMemo(QWidget* parent) : QPlainTextEdit(parent) {}

void TDBMemo::Bind(TDataSource* source, const std::string& field) {
    m_link.Bind(this, source, field, [this] { Load(); });
}

void TDBMemo::Load() {
    setPlainText(ToQString(m_link.Text()));
    document()->setModified(false);
}

void TDBMemo::Store() {
    if (!document()->isModified() || isReadOnly()) {
        return;
    }
    document()->setModified(false);
    m_link.Write(FromQString(toPlainText()));
}

void TDBMemo::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    Store();
}

// ---------------------------------------------------------------------------

TDBLookupComboBox::TDBLookupComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!m_loading && !m_readOnly && index >= 0) {
            m_link.Write(FromQString(itemData(index).toString()));
        }
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
    if (listSource != nullptr && listSource->DataSet != nullptr) {
        connect(listSource->DataSet, &TDataSet::Opened, this, [this] { LoadList(); });
    }
    LoadList();
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
    const QString key = ToQString(m_link.Text());
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
