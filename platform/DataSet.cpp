#include "DataSet.h"

#include "Cp1252.h"

#include "QtText.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QTime>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// PostgreSQL's type numbers of NUMERIC and smallint, which the driver
// hands out as a double and an int.
constexpr int kPsqlNumeric = 1700;
constexpr int kPsqlSmallint = 21;

TFieldType TypeOf(const QSqlField& field, bool psql) {
    if (psql && field.typeID() == kPsqlNumeric) {
        return ftFMTBcd;
    }
    if (psql && field.typeID() == kPsqlSmallint) {
        return ftSmallint;
    }
    switch (field.metaType().id()) {
    case QMetaType::Bool: return ftBoolean;
    case QMetaType::Short:
    case QMetaType::UShort: return ftSmallint;
    case QMetaType::Int:
    case QMetaType::UInt: return ftInteger;
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return ftLargeint;
    case QMetaType::Double:
    case QMetaType::Float: return ftFloat;
    case QMetaType::QString: return ftString;
    case QMetaType::QByteArray: return ftBlob;
    case QMetaType::QDate: return ftDate;
    case QMetaType::QTime: return ftTime;
    case QMetaType::QDateTime: return ftDateTime;
    default: return ftUnknown;
    }
}

bool IsNumeric(TFieldType type) {
    switch (type) {
    case ftFMTBcd:
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftAutoInc:
    case ftLargeint: return true;
    default: return false;
    }
}

bool IsDecimal(TFieldType type) {
    return type == ftBCD || type == ftFMTBcd;
}

// Decimal digits ("-123.4567", "1e3" not) in ten-thousandths, rounded half
// away from zero; false when the text is no plain decimal or does not fit.
bool DecimalUnits(const QString& text, std::int64_t& units) {
    const QString t = text.trimmed();
    int i = 0;
    const bool negative = i < t.size() && t[i] == QLatin1Char('-');
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        ++i;
    }
    std::uint64_t value = 0;
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max() / 10 - 1;
    int decimals = -1; // digits after the point so far; -1 before it
    bool digits = false;
    bool roundUp = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == QLatin1Char('.') && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (!c.isDigit()) {
            return false;
        }
        digits = true;
        if (decimals >= 4) {
            roundUp = roundUp || (decimals == 4 && c.digitValue() >= 5);
            ++decimals;
            continue;
        }
        if (value > kMax) {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(c.digitValue());
        if (decimals >= 0) {
            ++decimals;
        }
    }
    for (int d = std::max(decimals, 0); d < 4; ++d) {
        if (value > kMax) {
            return false;
        }
        value *= 10;
    }
    value += roundUp ? 1 : 0;
    const auto limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (!digits || value > limit + (negative ? 1 : 0)) {
        return false;
    }
    units = negative ? static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(value))
                     : static_cast<std::int64_t>(value);
    return true;
}

// The shortest text that reads back to the same double.
std::string Shortest(double v) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, r.ptr);
}

void Fail(const QSqlError& error, const char* what) {
    throw EDatabaseError(std::string(what) + ": " + FromQString(error.text()));
}

} // namespace

// ---------------------------------------------------------------------------
// Fields

TField::TField(TDataSet* dataSet, int index, std::string name, TFieldType type)
    : FieldName(name), DisplayName(std::move(name)), DataType(type),
      Alignment(IsNumeric(type) ? taRightJustify : taLeftJustify), m_dataSet(dataSet),
      m_index(index) {}

QVariant TField::Value(int row) const {
    return m_dataSet->ValueAt(m_index, row);
}

bool TField::IsNull(int row) const {
    return Value(row).isNull();
}

QString TField::AsText(int row) const {
    const QVariant v = Value(row);
    if (v.isNull()) {
        return {};
    }
    switch (DataType) {
    case ftBoolean: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint: return QString::number(v.toLongLong());
    case ftFloat:
    case ftCurrency: return QString::fromStdString(Shortest(v.toDouble()));
    case ftBCD:
    case ftFMTBcd:
        // The digits as the database holds them; a driver that gave a
        // double (SQLite's REAL) gives its shortest form.
        return v.metaType().id() == QMetaType::QString
                   ? v.toString().trimmed()
                   : QString::fromStdString(Shortest(v.toDouble()));
    case ftDate: return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case ftTime: return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case ftDateTime: return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case ftBlob:
    case ftBytes:
    case ftVarBytes:
    case ftGraphic: return QString::fromLatin1(v.toByteArray());
    default: return v.toString();
    }
}

std::string TField::AsString(int row) const {
    switch (DataType) {
    case ftBlob:
    case ftBytes:
    case ftVarBytes:
    case ftGraphic: return Value(row).toByteArray().toStdString();
    default: return FromQString(AsText(row));
    }
}

bool TField::AsStringExact(std::string& text, int row) const {
    text = AsString(row);
    switch (DataType) {
    case ftBlob:
    case ftBytes:
    case ftVarBytes:
    case ftGraphic: return true; // the bytes themselves
    default: break;
    }
    for (const char32_t c : AsText(row).toUcs4()) {
        if (UnicodeToCp1252(c) < 0) {
            return false;
        }
    }
    return true;
}

std::int64_t TField::AsCurrencyUnits(int row) const {
    const QVariant value = Value(row);
    std::int64_t exact = 0;
    if (IsDecimal(DataType) && value.metaType().id() == QMetaType::QString &&
        DecimalUnits(value.toString(), exact)) {
        return exact;
    }
    const double v = value.toDouble() * 10000.0;
    if (!std::isfinite(v)) {
        return 0;
    }
    // Beyond 64 bits: the nearest end instead of an overflow.
    constexpr double kLimit = 9223372036854775807.0; // rounds to 2^63
    if (v >= kLimit) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (v <= -kLimit) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return std::llround(v);
}

double TField::AsCurrency() const {
    return static_cast<double>(AsCurrencyUnits()) / 10000.0;
}

void TField::SetAsString(const std::string& text) {
    SetAsText(ToQString(text));
}

void TField::SetAsText(const QString& text) {
    const QString trimmed = text.trimmed();
    const auto refuse = [&](const char* what) {
        throw EDatabaseError("\"" + FromQString(text) + "\" is not " + what + " (field " +
                             FieldName + ")");
    };
    QVariant value;
    bool ok = true;
    switch (DataType) {
    case ftBoolean: {
        const QString word = trimmed.toLower();
        ok = word == QStringLiteral("true") || word == QStringLiteral("false") ||
             word == QStringLiteral("1") || word == QStringLiteral("0");
        if (!ok && !trimmed.isEmpty()) {
            refuse("True or False");
        }
        value = trimmed.isEmpty()
                    ? QVariant()
                    : QVariant(word == QStringLiteral("true") || word == QStringLiteral("1"));
        break;
    }
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint: {
        const qlonglong n = trimmed.toLongLong(&ok);
        if (!ok && !trimmed.isEmpty()) {
            refuse("a whole number");
        }
        value = trimmed.isEmpty() ? QVariant() : QVariant(n);
        break;
    }
    case ftFloat:
    case ftCurrency: {
        const double d = QString(trimmed).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if ((!ok || !std::isfinite(d)) && !trimmed.isEmpty()) {
            refuse("a number");
        }
        value = trimmed.isEmpty() ? QVariant() : QVariant(d);
        break;
    }
    case ftBCD:
    case ftFMTBcd: {
        // Digits stay digits: the database converts them exactly.
        const QString digits = QString(trimmed).replace(QLatin1Char(','), QLatin1Char('.'));
        static const QRegularExpression decimal(QStringLiteral("^[+-]?[0-9]+(\\.[0-9]+)?$"));
        if (!digits.isEmpty() && !decimal.match(digits).hasMatch()) {
            refuse("a decimal number");
        }
        value = digits.isEmpty() ? QVariant() : QVariant(digits);
        break;
    }
    default: value = text; break;
    }
    m_dataSet->SetValueAt(m_index, value);
}

// ---------------------------------------------------------------------------
// Data sets

TDataSet::TDataSet(QObject* parent) : QObject(parent) {}

TDataSet::~TDataSet() = default;

void TDataSet::SetFieldType(const std::string& fieldName, TFieldType type) {
    m_types[Lower(fieldName)] = type;
}

void TDataSet::Open() {
    Close();
    if (!Database.isOpen()) {
        // A server that does not answer must not hold the program for ever.
        const bool psql = Database.driverName() == QStringLiteral("QPSQL");
        const QString options = Database.connectOptions();
        if (psql && ConnectTimeoutSeconds > 0 &&
            !options.contains(QStringLiteral("connect_timeout"))) {
            Database.setConnectOptions(
                (options.isEmpty() ? QString() : options + QLatin1Char(';')) +
                QStringLiteral("connect_timeout=%1").arg(ConnectTimeoutSeconds));
        }
        if (!Database.open()) {
            Fail(Database.lastError(), "Cannot open the database");
        }
    }
    // Numbers with all their digits: NUMERIC columns come as their text
    // (the queries made below take the connection's policy; it is put back).
    const QSql::NumericalPrecisionPolicy policy = Database.numericalPrecisionPolicy();
    Database.setNumericalPrecisionPolicy(QSql::HighPrecision);
    struct TRestore {
        QSqlDatabase& Db;
        QSql::NumericalPrecisionPolicy Policy;
        ~TRestore() { Db.setNumericalPrecisionPolicy(Policy); }
    } restore{Database, policy};
    if (!TableName.empty()) {
        auto table = std::make_unique<QSqlTableModel>(nullptr, Database);
        table->setEditStrategy(QSqlTableModel::OnManualSubmit);
        table->setTable(ToQString(TableName));
        if (!table->select()) {
            Fail(table->lastError(), "Cannot open the table");
        }
        m_model = std::move(table);
    } else {
        auto query = std::make_unique<QSqlQueryModel>();
        QSqlQuery q(Database);
        q.setNumericalPrecisionPolicy(QSql::HighPrecision);
        if (!q.exec(ToQString(SQL))) {
            Fail(q.lastError(), "Cannot run the query");
        }
        query->setQuery(std::move(q));
        if (query->lastError().isValid()) {
            Fail(query->lastError(), "Cannot run the query");
        }
        m_model = std::move(query);
    }
    FetchAll();
    const QSqlRecord record = m_model->record();
    const bool psql = Database.driverName() == QStringLiteral("QPSQL");
    for (int i = 0; i < record.count(); ++i) {
        const std::string name = FromQString(record.fieldName(i));
        const auto stated = m_types.find(Lower(name));
        const TFieldType type =
            stated != m_types.end() ? stated->second : TypeOf(record.field(i), psql);
        m_fields.push_back(std::make_unique<TField>(this, i, name, type));
    }
    m_row = 0;
    m_eof = RecordCount() == 0;
    emit Opened();
    emit CurrentChanged();
}

void TDataSet::FetchAll() {
    // Drivers that cannot tell a query's size (SQLite) hand out records in
    // batches: count them all.
    while (m_model->canFetchMore()) {
        m_model->fetchMore();
    }
}

void TDataSet::Close() {
    if (m_model == nullptr) {
        return;
    }
    m_fields.clear();
    m_model.reset();
    m_row = 0;
    m_eof = true;
    emit Opened();
    emit CurrentChanged();
}

int TDataSet::RecordCount() const {
    return m_model != nullptr ? m_model->rowCount() : 0;
}

int TDataSet::RecNo() const {
    return RecordCount() > 0 ? m_row + 1 : 0;
}

void TDataSet::MoveTo(int row) {
    const int count = RecordCount();
    m_row = count > 0 ? std::clamp(row, 0, count - 1) : 0;
    m_eof = count == 0;
    if (m_controlsDisabled == 0) {
        emit CurrentChanged();
    }
}

void TDataSet::DisableControls() {
    ++m_controlsDisabled;
}

void TDataSet::EnableControls() {
    if (m_controlsDisabled > 0 && --m_controlsDisabled == 0) {
        emit CurrentChanged();
    }
}

void TDataSet::SetRecNo(int recNo) {
    MoveTo(recNo - 1);
}

void TDataSet::First() {
    MoveTo(0);
}

void TDataSet::Next() {
    if (m_row + 1 < RecordCount()) {
        MoveTo(m_row + 1);
    } else {
        m_eof = true;
    }
}

TField* TDataSet::Fields(int i) {
    return i >= 0 && i < FieldCount() ? m_fields[static_cast<std::size_t>(i)].get() : nullptr;
}

TField* TDataSet::FieldByName(const std::string& name) {
    const std::string wanted = Lower(name);
    for (const auto& field : m_fields) {
        if (Lower(field->FieldName) == wanted) {
            return field.get();
        }
    }
    return nullptr;
}

QVariant TDataSet::ValueAt(int field, int row) const {
    if (m_model == nullptr || RecordCount() == 0 || row >= RecordCount()) {
        return {};
    }
    return m_model->data(m_model->index(row < 0 ? m_row : row, field), Qt::EditRole);
}

bool TDataSet::CanModify() const {
    return dynamic_cast<QSqlTableModel*>(m_model.get()) != nullptr;
}

void TDataSet::SetValueAt(int field, const QVariant& value) {
    auto* table = dynamic_cast<QSqlTableModel*>(m_model.get());
    if (table == nullptr) {
        throw EDatabaseError("Cannot modify a read-only data set");
    }
    if (RecordCount() == 0) {
        throw EDatabaseError("No record to edit");
    }
    if (!table->setData(table->index(m_row, field), value, Qt::EditRole)) {
        Fail(table->lastError(), "Cannot change the field");
    }
}

void TDataSet::Post() {
    auto* table = dynamic_cast<QSqlTableModel*>(m_model.get());
    if (table == nullptr || !table->isDirty()) {
        return;
    }
    const int row = m_row;
    if (!table->submitAll()) {
        const QSqlError error = table->lastError();
        table->revertAll();
        Fail(error, "Cannot post the record");
    }
    FetchAll(); // submitting selects again
    MoveTo(row);
}
