#include "SettingsStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QThread>
#include <QUrl>
#include <QVariant>

#include <cstdlib>
#include <map>
#include <memory>

namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0' ? std::string(value) : fallback;
}

std::string Lower(const std::string& s) {
    std::string out = s;
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

QString Q(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

class TStore {
public:
    explicit TStore(const std::string& file) {
        m_connection = QStringLiteral("mapwright-settings-") + QString::fromStdString(file);
        const QString path = QString::fromStdString(file);
        QDir().mkpath(QFileInfo(path).absolutePath());
        TOpen opened = Open(path, TMode::ReadWrite);
        if (opened == TOpen::ReadOnly || (opened == TOpen::Failed && QFile::exists(path))) {
            // Not writable here: read what it holds; writes will fail.
            m_writable = false;
            Close();
            opened = Open(path, TMode::ReadOnly);
            const QFileInfo wal(path + QStringLiteral("-wal"));
            if (opened != TOpen::Ok && (!wal.exists() || wal.size() == 0)) {
                // A WAL store in a folder this process cannot write (or on a
                // full disk) has no shared-memory file to read through.
                // Without a -wal file, or with an empty one (left by the
                // failed open on a full disk), the store file holds every
                // committed write, so it is read as an unchanging file (a
                // snapshot of this moment).
                Close();
                opened = Open(path, TMode::Snapshot);
            }
        }
        m_usable = opened == TOpen::Ok;
        if (opened == TOpen::Damaged && m_writable) {
            Close();
            // Keep the damaged file for inspection instead of overwriting it.
            const QString aside =
                path + QStringLiteral(".damaged-") +
                QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss"));
            QFile::rename(path, aside);
            QFile::remove(path + QStringLiteral("-wal"));
            QFile::remove(path + QStringLiteral("-shm"));
        }
    }
    ~TStore() { Close(); }

    bool Usable() const { return m_usable; }

    std::optional<std::int64_t> Key(const std::string& path, bool create) {
        if (!m_usable || (create && !m_writable)) {
            if (m_usable && create) {
                return Key(path, false); // an existing key can still be read
            }
            return std::nullopt;
        }
        std::int64_t id = 0; // the root
        std::size_t start = 0;
        while (start <= path.size()) {
            std::size_t end = path.find('\\', start);
            if (end == std::string::npos) {
                end = path.size();
            }
            const std::string part = path.substr(start, end - start);
            start = end + 1;
            if (part.empty()) {
                continue;
            }
            QSqlQuery find(Db());
            find.prepare(QStringLiteral("SELECT id FROM keys WHERE parent = ? AND lname = ?"));
            find.addBindValue(QVariant::fromValue<qlonglong>(id));
            find.addBindValue(Q(Lower(part)));
            QSqlError error;
            if (Exec(find, QString(), error) && find.next()) {
                id = find.value(0).toLongLong();
                find.finish();
                continue;
            }
            find.finish();
            if (!create) {
                return std::nullopt;
            }
            QSqlQuery insert(Db());
            insert.prepare(
                QStringLiteral("INSERT OR IGNORE INTO keys(parent, name, lname) VALUES(?, ?, ?)"));
            insert.addBindValue(QVariant::fromValue<qlonglong>(id));
            insert.addBindValue(Q(part));
            insert.addBindValue(Q(Lower(part)));
            if (!Exec(insert, QString(), error)) {
                return std::nullopt;
            }
            // Another process may have made it first: look it up again.
            if (!Exec(find, QString(), error) || !find.next()) {
                return std::nullopt;
            }
            id = find.value(0).toLongLong();
            find.finish();
        }
        return id;
    }

    std::optional<TStoredValue> Read(std::int64_t key, const std::string& name) {
        if (!m_usable) {
            return std::nullopt;
        }
        QSqlQuery q(Db());
        q.prepare(QStringLiteral("SELECT type, data FROM vals WHERE key = ? AND lname = ?"));
        q.addBindValue(QVariant::fromValue<qlonglong>(key));
        q.addBindValue(Q(Lower(name)));
        QSqlError error;
        if (!Exec(q, QString(), error) || !q.next()) {
            return std::nullopt;
        }
        const QByteArray data = q.value(1).toByteArray();
        TStoredValue value{q.value(0).toInt(),
                           std::string(data.constData(), static_cast<std::size_t>(data.size()))};
        q.finish();
        return value;
    }

    // The value is written and read back in one transaction, so what is
    // checked is this write, not one another process made after it; true
    // only once that transaction has committed.
    bool Write(std::int64_t key, const std::string& name, const TStoredValue& value) {
        if (!m_usable || !m_writable) {
            return false;
        }
        QSqlQuery control(Db());
        QSqlError error;
        if (!Exec(control, QStringLiteral("BEGIN IMMEDIATE"), error)) {
            return false;
        }
        const QByteArray data(value.Data.data(), static_cast<qsizetype>(value.Data.size()));
        const bool written = [&] {
            QSqlQuery q(Db());
            q.prepare(QStringLiteral(
                "INSERT OR REPLACE INTO vals(key, name, lname, type, data) VALUES(?, ?, ?, ?, ?)"));
            q.addBindValue(QVariant::fromValue<qlonglong>(key));
            q.addBindValue(Q(name));
            q.addBindValue(Q(Lower(name)));
            q.addBindValue(value.Type);
            q.addBindValue(data);
            if (!Exec(q, QString(), error) || q.numRowsAffected() != 1) {
                return false;
            }
            QSqlQuery check(Db());
            check.prepare(
                QStringLiteral("SELECT type, data FROM vals WHERE key = ? AND lname = ?"));
            check.addBindValue(QVariant::fromValue<qlonglong>(key));
            check.addBindValue(Q(Lower(name)));
            const bool same = Exec(check, QString(), error) && check.next() &&
                              check.value(0).toInt() == value.Type &&
                              check.value(1).toByteArray() == data;
            check.finish();
            return same;
        }();
        if (written && Exec(control, QStringLiteral("COMMIT"), error)) {
            return true;
        }
        static_cast<void>(control.exec(QStringLiteral("ROLLBACK"))); // nothing of it stays
        return false;
    }

private:
    QSqlDatabase Db() const { return QSqlDatabase::database(m_connection, false); }

    enum class TOpen { Ok, Damaged, ReadOnly, Failed };

    // Runs a statement, waiting out other processes' locks for the busy time
    // at most in all (SQLite waits within one attempt too); false on any
    // other failure or when the time is up, with the error in `error`.
    static bool Exec(QSqlQuery& q, const QString& statement, QSqlError& error) {
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            if (statement.isEmpty() ? q.exec() : q.exec(statement)) {
                return true;
            }
            error = q.lastError();
            if (!IsBusy(error) || waited.elapsed() >= BusyMs()) {
                return false;
            }
            QThread::msleep(50);
        }
    }

    static bool IsBusy(const QSqlError& error) {
        const QString code = error.nativeErrorCode();
        return code == QStringLiteral("5") || code == QStringLiteral("6"); // BUSY, LOCKED
    }

    static bool IsDamage(const QSqlError& error) {
        const QString code = error.nativeErrorCode();
        return code == QStringLiteral("26") || code == QStringLiteral("11"); // NOTADB, CORRUPT
    }

    enum class TMode { ReadWrite, ReadOnly, Snapshot };

    TOpen Open(const QString& path, TMode mode) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyMs());
        if (mode == TMode::Snapshot) {
            db.setDatabaseName(QUrl::fromLocalFile(path).toString() +
                               QStringLiteral("?immutable=1"));
            options += QStringLiteral(";QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI");
        } else {
            db.setDatabaseName(path);
            if (mode == TMode::ReadOnly) {
                options += QStringLiteral(";QSQLITE_OPEN_READONLY");
            }
        }
        db.setConnectOptions(options);
        const bool readOnly = mode != TMode::ReadWrite;
        if (!db.open()) {
            return IsDamage(db.lastError()) ? TOpen::Damaged : TOpen::Failed;
        }
        QSqlQuery q(db);
        QSqlError error;
        if (readOnly) {
            // A store this process cannot write is read as it is: no journal
            // set-up and no tables made. A WAL store can be read so as long
            // as SQLite may use its -shm file or keep it in memory.
            return Check(q);
        }
        const char* setup[] = {
            "PRAGMA journal_mode=WAL",
            "PRAGMA synchronous=FULL",
            "CREATE TABLE IF NOT EXISTS keys(id INTEGER PRIMARY KEY, parent INTEGER NOT NULL, "
            "name TEXT NOT NULL, lname TEXT NOT NULL, UNIQUE(parent, lname))",
            "CREATE TABLE IF NOT EXISTS vals(key INTEGER NOT NULL, name TEXT NOT NULL, "
            "lname TEXT NOT NULL, type INTEGER NOT NULL, data BLOB, PRIMARY KEY(key, lname))",
        };
        for (const char* statement : setup) {
            if (!Exec(q, QString::fromLatin1(statement), error)) {
                return IsDamage(error)     ? TOpen::Damaged
                       : IsReadOnly(error) ? TOpen::ReadOnly
                                           : TOpen::Failed;
            }
            q.finish();
        }
        return Check(q);
    }

    static TOpen Check(QSqlQuery& q) {
        QSqlError error;
        if (!Exec(q, QStringLiteral("PRAGMA quick_check"), error)) {
            return IsDamage(error) ? TOpen::Damaged : TOpen::Failed;
        }
        const bool ok = q.next() && q.value(0).toString() == QStringLiteral("ok");
        q.finish();
        return ok ? TOpen::Ok : TOpen::Damaged;
    }

    // READONLY, CANTOPEN, FULL, PERM, and an I/O error (a read-only file
    // system): the store may still be readable.
    static bool IsReadOnly(const QSqlError& error) {
        const int code = error.nativeErrorCode().toInt() & 0xFF;
        return code == 8 || code == 14 || code == 13 || code == 3 || code == 10;
    }

    static int BusyMs() {
        const int ms = std::atoi(EnvOr("MAPWRIGHT_SETTINGS_BUSY_MS", "10000").c_str());
        return ms > 0 ? ms : 10000;
    }

    void Close() {
        if (QSqlDatabase::contains(m_connection)) {
            {
                QSqlDatabase db = QSqlDatabase::database(m_connection, false);
                db.close();
            }
            QSqlDatabase::removeDatabase(m_connection);
        }
    }

    QString m_connection;
    bool m_usable = false;
    bool m_writable = true;
};

std::map<std::string, std::unique_ptr<TStore>>& Stores() {
    static std::map<std::string, std::unique_ptr<TStore>> stores;
    return stores;
}

TStore* StoreFor(HKEY root) {
    const std::string file = SettingsStoreFile(root);
    if (file.empty()) {
        return nullptr;
    }
    auto& stores = Stores();
    auto it = stores.find(file);
    if (it == stores.end()) {
        // Database connections must go before the application object does.
        static const bool cleanupRegistered = [] {
            qAddPostRoutine(CloseSettingsStores);
            return true;
        }();
        (void)cleanupRegistered;
        it = stores.emplace(file, std::make_unique<TStore>(file)).first;
    }
    return it->second.get();
}

} // namespace

std::string SettingsStoreFile(HKEY root) {
    if (root == HKEY_CURRENT_USER) {
        const std::string home = EnvOr("HOME", ".");
        const std::string config = EnvOr("XDG_CONFIG_HOME", home + "/.config");
        return EnvOr("MAPWRIGHT_USER_SETTINGS", config + "/mapwright-settings") +
               "/HKEY_CURRENT_USER.sqlite";
    }
    if (root == HKEY_LOCAL_MACHINE) {
        return EnvOr("MAPWRIGHT_MACHINE_SETTINGS", "/var/lib/mapwright-settings") +
               "/HKEY_LOCAL_MACHINE.sqlite";
    }
    return {};
}

std::optional<std::int64_t> OpenSettingsKey(HKEY root, const std::string& path, bool create) {
    TStore* store = StoreFor(root);
    return store != nullptr ? store->Key(path, create) : std::nullopt;
}

std::optional<TStoredValue> ReadSettingsValue(HKEY root, std::int64_t key,
                                              const std::string& name) {
    TStore* store = StoreFor(root);
    return store != nullptr ? store->Read(key, name) : std::nullopt;
}

bool WriteSettingsValue(HKEY root, std::int64_t key, const std::string& name,
                        const TStoredValue& value) {
    TStore* store = StoreFor(root);
    return store != nullptr && store->Write(key, name, value);
}

void CloseSettingsStores() {
    Stores().clear();
}

bool SettingsStoreUsable(HKEY root) {
    TStore* store = StoreFor(root);
    return store != nullptr && store->Usable();
}
