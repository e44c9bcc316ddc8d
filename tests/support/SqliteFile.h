#pragma once
// A fresh SQLite database file in a temporary folder for data-set tests,
// with its own Qt Sql connection.

#include "support/TempDir.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <stdexcept>
#include <string>

class SqliteFile {
public:
    SqliteFile() {
        static int count = 0;
        m_name = QStringLiteral("test-%1").arg(++count);
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.setDatabaseName(QString::fromStdString(m_dir.Path() + "/test.sqlite"));
        m_db.open();
    }
    ~SqliteFile() {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    QSqlDatabase Database() const { return m_db; }
    const std::string& Folder() const { return m_dir.Path(); }

    // Runs statements; throws with the driver's text when one fails.
    void Exec(const std::string& sql) {
        QSqlQuery query(m_db);
        if (!query.exec(QString::fromStdString(sql))) {
            throw std::runtime_error(query.lastError().text().toStdString() + " in " + sql);
        }
    }

private:
    TempDir m_dir;
    QString m_name;
    QSqlDatabase m_db;
};
