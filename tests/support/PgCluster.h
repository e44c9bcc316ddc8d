#pragma once
// A private PostgreSQL cluster for data-set tests: initdb into a temporary
// folder (as the user "postgres" when the tests run as root, since the
// server refuses to run as root), listening only on a Unix socket in that
// folder, stopped and removed with the object. Skipped() says why there is
// none (no server programs, no Qt driver).

#include "support/Process.h"

#include <QSqlDatabase>
#include <QString>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <string>
#include <unistd.h>
#include <vector>

class PgCluster {
public:
    PgCluster() {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
            m_skipped = "the Qt PostgreSQL driver (libqt6sql6-psql) is not installed";
            return;
        }
        std::vector<std::string> bins;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator("/usr/lib/postgresql", ec)) {
            if (std::filesystem::exists(e.path() / "bin/initdb")) {
                bins.push_back((e.path() / "bin/").string());
            }
        }
        if (bins.empty()) {
            m_skipped = "the PostgreSQL server programs (postgresql) are not installed";
            return;
        }
        std::sort(bins.begin(), bins.end());
        m_bin = bins.back();
        char folder[] = "/tmp/mapwright-pg-XXXXXX";
        if (::mkdtemp(folder) == nullptr) {
            m_skipped = "no temporary folder";
            return;
        }
        m_dir = folder;
        if (::geteuid() == 0) {
            const passwd* user = ::getpwnam("postgres");
            if (user == nullptr) {
                m_skipped = "running as root without a user postgres";
                return;
            }
            static_cast<void>(::chown(folder, user->pw_uid, user->pw_gid));
            m_as = {"/usr/bin/setpriv", "--reuid=" + std::to_string(user->pw_uid),
                    "--regid=" + std::to_string(user->pw_gid), "--clear-groups"};
        }
        const ProcessResult init = Run({m_bin + "initdb", "-D", m_dir + "/data", "-A", "trust",
                                        "-U", "postgres", "-E", "UTF8", "--no-sync"});
        if (init.ExitCode != 0) {
            m_skipped = "initdb failed: " + init.Err;
            return;
        }
        if (!Start()) {
            m_skipped = "the server did not start: " + m_startError;
        }
    }
    ~PgCluster() {
        Thaw();
        if (!m_dir.empty()) {
            Run({m_bin + "pg_ctl", "-D", m_dir + "/data", "-m", "immediate", "-w", "stop"});
            std::error_code ec;
            std::filesystem::remove_all(m_dir, ec);
        }
    }
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    const std::string& Skipped() const { return m_skipped; }

    // A new connection (not yet open) to the cluster's database "postgres".
    QSqlDatabase Connection(const QString& name) const {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(QString::fromStdString(m_dir));
        db.setUserName(QStringLiteral("postgres"));
        db.setDatabaseName(QStringLiteral("postgres"));
        return db;
    }

    bool Start() {
        const ProcessResult r =
            Run({m_bin + "pg_ctl", "-D", m_dir + "/data", "-l", m_dir + "/log", "-w", "-t", "30",
                 "-o", "-k " + m_dir + " -c listen_addresses= -F", "start"});
        m_startError = r.Out + r.Err;
        return r.ExitCode == 0;
    }
    void Stop() { Run({m_bin + "pg_ctl", "-D", m_dir + "/data", "-m", "fast", "-w", "stop"}); }
    // The server stops answering (as a hung machine would) until Thaw.
    void Freeze() {
        m_frozen = Postmaster();
        if (m_frozen > 0) {
            ::kill(m_frozen, SIGSTOP);
        }
    }
    void Thaw() {
        if (m_frozen > 0) {
            ::kill(m_frozen, SIGCONT);
            m_frozen = 0;
        }
    }

private:
    ProcessResult Run(std::vector<std::string> argv) const {
        argv.insert(argv.begin(), m_as.begin(), m_as.end());
        return RunProcess(argv);
    }
    pid_t Postmaster() const {
        std::ifstream file(m_dir + "/data/postmaster.pid");
        pid_t pid = 0;
        file >> pid;
        return pid;
    }

    std::string m_skipped;
    std::string m_bin;
    std::string m_dir;
    std::string m_startError;
    std::vector<std::string> m_as;
    pid_t m_frozen = 0;
};
