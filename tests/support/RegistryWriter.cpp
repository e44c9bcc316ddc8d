// A second process for the settings-store tests, under
// HKEY_CURRENT_USER\Software\MapwrightTests:
//   registry_writer COUNT PREFIX   writes COUNT integers PREFIX0, PREFIX1, ...
//                                  under Stress, printing each index once its
//                                  write has returned
//   registry_writer read NAME      prints the integer NAME under Values (-1
//                                  when missing)
//   registry_writer write NAME N   writes N as NAME under Values; exit 3 with
//                                  the error text when the store refuses it
//   registry_writer hold MS        holds the store locked for MS ms, printing
//                                  "held" once it has the lock
//   registry_writer race N NAME    writes N values of its own as NAME under
//                                  Values, as other writers write the same
//                                  name; prints how many writes raised (exit
//                                  3 when any did)

#include "VynRegistry.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TVynRegistry registry;
    registry.Init(HKEY_CURRENT_USER, "Software", "MapwrightTests", "");
    if (argc == 3 && std::strcmp(argv[1], "read") == 0) {
        std::printf("%d\n", registry.ReadInt("Values", argv[2], -1));
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "write") == 0) {
        try {
            registry.WriteInt("Values", argv[2], std::atoi(argv[3]));
        } catch (const ERegistryException& e) {
            std::printf("%s\n", e.what());
            return 3;
        }
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "hold") == 0) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(QString::fromStdString(SettingsStoreFile(HKEY_CURRENT_USER)));
        if (!db.open() || !QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE"))) {
            return 4;
        }
        std::printf("held\n");
        std::fflush(stdout);
        QThread::msleep(static_cast<unsigned long>(std::atol(argv[2])));
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "race") == 0) {
        int failed = 0;
        const int count = std::atoi(argv[2]);
        for (int i = 0; i < count; ++i) {
            try {
                registry.WriteInt("Values", argv[3],
                                  static_cast<int>(QCoreApplication::applicationPid()) * 10000 + i);
            } catch (const ERegistryException&) {
                ++failed;
            }
        }
        std::printf("%d\n", failed);
        return failed > 0 ? 3 : 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: registry_writer COUNT PREFIX | read NAME | write NAME N | "
                             "hold MS | race N NAME\n");
        return 2;
    }
    const int count = std::atoi(argv[1]);
    const std::string prefix = argv[2];
    for (int i = 0; i < count; ++i) {
        registry.WriteInt("Stress", (prefix + std::to_string(i)).c_str(), i);
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
    return 0;
}
