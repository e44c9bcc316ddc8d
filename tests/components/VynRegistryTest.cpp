#include "VynRegistry.h"

#include "support/Process.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// Every test gets fresh store folders.
class Registry : public testing::Test {
protected:
    Registry() {
        CloseSettingsStores();
        setenv("MAPWRIGHT_USER_SETTINGS", (dir.Path() + "/user").c_str(), 1);
        setenv("MAPWRIGHT_MACHINE_SETTINGS", (dir.Path() + "/machine").c_str(), 1);
        reg.Init(HKEY_CURRENT_USER, "Software", "MapwrightTests", "");
    }
    ~Registry() override {
        CloseSettingsStores();
        unsetenv("MAPWRIGHT_USER_SETTINGS");
        unsetenv("MAPWRIGHT_MACHINE_SETTINGS");
    }

    TempDir dir;
    TVynRegistry reg;
};

// Starts the writer program with arguments; its stdout comes through the
// returned pipe.
pid_t StartWriterWith(const std::vector<std::string>& args, int& readEnd) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> argv = {const_cast<char*>(REGISTRY_WRITER)};
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, REGISTRY_WRITER, &actions, nullptr, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    readEnd = fds[0];
    return pid;
}

pid_t StartWriter(int count, const std::string& prefix, int& readEnd) {
    return StartWriterWith({std::to_string(count), prefix}, readEnd);
}

TEST(RegistryInit, BasePathComposition) {
    TVynRegistry reg;
    reg.Init(HKEY_LOCAL_MACHINE, "Software", "Maker", "Tool");
    EXPECT_STREQ(reg.BasePath, "Software\\Maker\\Tool");
    EXPECT_EQ(reg.RootKey, HKEY_LOCAL_MACHINE);
    reg.Init(HKEY_CURRENT_USER, "Software", "", "");
    EXPECT_STREQ(reg.BasePath, "Software");
    const std::string long250(250, 'p');
    reg.Init(HKEY_CURRENT_USER, long250.c_str(), "more", "");
    EXPECT_EQ(std::string(reg.BasePath), std::string(199, 'p'));
}

TEST_F(Registry, ReadsGiveDefaultsAndCreateNothing) {
    EXPECT_STREQ(reg.ReadString("Nowhere", "Name", "dflt"), "dflt");
    EXPECT_EQ(reg.ReadInt("Nowhere", "Count", 42), 42);
    unsigned char buffer[4] = {9, 9, 9, 9};
    EXPECT_EQ(reg.ReadBinary("Nowhere", "Blob", buffer, 4), 0);
    EXPECT_EQ(buffer[0], 9);
    EXPECT_FALSE(OpenSettingsKey(HKEY_CURRENT_USER, "Software\\MapwrightTests\\Nowhere", false));
    TVynRegistry uninitialised;
    EXPECT_EQ(uninitialised.ReadInt("x", "y", 5), 5);
    uninitialised.WriteInt("x", "y", 1); // no root: nothing written, nothing reported
}

TEST_F(Registry, WritesCreateTheWholePathAndReadBack) {
    reg.WriteInt("Deep\\Er\\Key", "Count", -7);
    EXPECT_EQ(reg.ReadInt("Deep\\Er\\Key", "Count", 0), -7);
    EXPECT_EQ(reg.ReadInt("DEEP\\er\\KEY", "count", 0), -7); // any case of letters
    reg.WriteString("Deep", "Name", "Mapwright \xB5s");
    EXPECT_STREQ(reg.ReadString("Deep", "Name", "d"), "Mapwright \xB5s");
    const unsigned char blob[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    reg.WriteBinary("Deep", "Blob", blob, 8);
    unsigned char small[4] = {0, 0, 0, 0};
    EXPECT_EQ(reg.ReadBinary("Deep", "Blob", small, 4), 0);
    EXPECT_EQ(small[0], 0);
    unsigned char big[8] = {};
    EXPECT_EQ(reg.ReadBinary("Deep", "Blob", big, 8), 8);
    EXPECT_EQ(std::memcmp(big, blob, 8), 0);

    // The machine-wide root is a store of its own.
    TVynRegistry machine;
    machine.Init(HKEY_LOCAL_MACHINE, "Software", "MapwrightTests", "");
    EXPECT_EQ(machine.ReadInt("Deep\\Er\\Key", "Count", 99), 99);
}

TEST_F(Registry, TypesAreRefusedAndReplaced) {
    reg.WriteString("Types", "Empty", "");
    EXPECT_STREQ(reg.ReadString("Types", "Empty", "dflt"), "dflt");
    reg.WriteInt("Types", "Number", 12);
    EXPECT_STREQ(reg.ReadString("Types", "Number", "dflt"), "dflt");
    unsigned char buffer[8] = {};
    EXPECT_EQ(reg.ReadBinary("Types", "Number", buffer, 8), 0);
    reg.WriteString("Types", "Text", "12");
    EXPECT_EQ(reg.ReadInt("Types", "Text", 3), 3);
    EXPECT_EQ(reg.ReadBinary("Types", "Text", buffer, 8), 0);
    // Written again with another type: the new type replaces the old.
    reg.WriteInt("Types", "Text", 5);
    EXPECT_EQ(reg.ReadInt("Types", "Text", 3), 5);
    EXPECT_STREQ(reg.ReadString("Types", "Text", "dflt"), "dflt");

    // One shared string result.
    reg.WriteString("Types", "A", "first");
    reg.WriteString("Types", "B", "second");
    const char* a = reg.ReadString("Types", "A", "");
    reg.ReadString("Types", "B", "");
    EXPECT_STREQ(a, "second");
}

TEST_F(Registry, DamagedStoreIsKeptAsideAndWritesFail) {
    const std::string file = SettingsStoreFile(HKEY_CURRENT_USER);
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    {
        FILE* f = std::fopen(file.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("this is not a database, it is damaged beyond repair ", f);
        for (int i = 0; i < 200; ++i) {
            std::fputs("garbage garbage garbage ", f);
        }
        std::fclose(f);
    }
    EXPECT_EQ(reg.ReadInt("K", "V", 17), 17);
    EXPECT_THROW(reg.WriteInt("K", "V", 1), ERegistryException);
    try {
        reg.WriteString("K", "Name", "x");
        ADD_FAILURE() << "a write to a damaged store returned normally";
    } catch (const ERegistryException& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'Name'");
    }
    bool keptAside = false;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(file).parent_path())) {
        keptAside = keptAside || entry.path().filename().string().rfind(
                                     "HKEY_CURRENT_USER.sqlite.damaged-", 0) == 0;
    }
    EXPECT_TRUE(keptAside);
}

TEST_F(Registry, KilledWriterLosesNothingThatWasWritten) {
    int out = -1;
    const pid_t writer = StartWriter(100000, "k", out);
    ASSERT_GT(writer, 0);
    FILE* progress = ::fdopen(out, "r");
    int last = -1;
    int index = 0;
    while (last < 300 && std::fscanf(progress, "%d", &index) == 1) {
        last = index;
    }
    ::kill(writer, SIGKILL);
    int status = 0;
    ::waitpid(writer, &status, 0);
    // Whatever is still in the pipe was written too.
    while (std::fscanf(progress, "%d", &index) == 1) {
        last = index;
    }
    std::fclose(progress);
    ASSERT_GE(last, 300);
    CloseSettingsStores();
    for (int i = 0; i <= last; ++i) {
        ASSERT_EQ(reg.ReadInt("Stress", ("k" + std::to_string(i)).c_str(), -1), i) << i;
    }
}

TEST_F(Registry, TwoWritersAtOnceLoseNothing) {
    int outA = -1;
    int outB = -1;
    const pid_t a = StartWriter(300, "a", outA);
    const pid_t b = StartWriter(300, "b", outB);
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    for (pid_t pid : {a, b}) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    ::close(outA);
    ::close(outB);
    CloseSettingsStores();
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(reg.ReadInt("Stress", ("a" + std::to_string(i)).c_str(), -1), i);
        ASSERT_EQ(reg.ReadInt("Stress", ("b" + std::to_string(i)).c_str(), -1), i);
    }
}

// Writers of the same name: each write that committed returns, although
// another process's newer value may be what the store holds a moment later.
TEST_F(Registry, WritersOfTheSameNameRaiseOnlyWhatDidNotCommit) {
    reg.WriteInt("Values", "Shared", 0);
    CloseSettingsStores();
    std::vector<std::pair<pid_t, int>> writers;
    for (int w = 0; w < 4; ++w) {
        int out = -1;
        const pid_t pid = StartWriterWith({"race", "400", "Shared"}, out);
        ASSERT_GT(pid, 0);
        writers.emplace_back(pid, out);
    }
    for (const auto& [pid, out] : writers) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        char failed[32] = {};
        static_cast<void>(::read(out, failed, sizeof failed - 1));
        ::close(out);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writes raised: " << failed;
    }
    // The last value is one of the last writes.
    EXPECT_EQ(reg.ReadInt("Values", "Shared", -1) % 10000, 399);
}

} // namespace

namespace {

// Runs the writer program, as the user "nobody" when the tests run as root
// (root may write anything), so a store it cannot write is one.
ProcessResult RunWriterAsOtherUser(const std::vector<std::string>& args) {
    std::vector<std::string> argv;
    if (::geteuid() == 0) {
        argv = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    argv.push_back(REGISTRY_WRITER);
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProcess(argv);
}

TEST_F(Registry, AStoreThatCannotBeWrittenIsReadAndRefusesWrites) {
    reg.WriteInt("Values", "Stored", 42);
    CloseSettingsStores();
    // Readable by everyone, writable by nobody but its owner.
    const std::string folder = dir.Path() + "/user";
    for (const std::string& path : {dir.Path(), folder}) {
        ::chmod(path.c_str(), ::geteuid() == 0 ? 0755 : 0555);
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        ::chmod(entry.path().c_str(), 0444);
    }
    const ProcessResult read = RunWriterAsOtherUser({"read", "Stored"});
    EXPECT_EQ(read.Out, "42\n") << read.Err;
    // Neither an existing value nor a new key may be lost without a word.
    for (const char* name : {"Stored", "New"}) {
        const ProcessResult write = RunWriterAsOtherUser({"write", name, "7"});
        EXPECT_EQ(write.ExitCode, 3) << name << ": " << write.Out << write.Err;
        EXPECT_EQ(write.Out, std::string("Failed to set data for '") + name + "'\n");
    }
    EXPECT_EQ(RunWriterAsOtherUser({"read", "Stored"}).Out, "42\n");
    ::chmod(folder.c_str(), 0755);
}

TEST_F(Registry, AKeyTheStoreRefusesIsAnError) {
    reg.WriteInt("Values", "Stored", 42);
    CloseSettingsStores();
    {
        // The store accepts values under existing keys but refuses new keys,
        // as a full disk or a quota would.
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "refuse");
        db.setDatabaseName(QString::fromStdString(SettingsStoreFile(HKEY_CURRENT_USER)));
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(QStringLiteral(
            "CREATE TRIGGER refuse BEFORE INSERT ON keys BEGIN SELECT RAISE(ABORT, 'full'); END")));
        db.close();
    }
    QSqlDatabase::removeDatabase("refuse");
    reg.WriteInt("Values", "Stored", 43); // an existing key: fine
    EXPECT_EQ(reg.ReadInt("Values", "Stored", 0), 43);
    EXPECT_THROW(reg.WriteInt("Elsewhere", "New", 7), ERegistryException);
    EXPECT_EQ(reg.ReadInt("Elsewhere", "New", -1), -1);
}

TEST_F(Registry, AWriteBlockedByAnotherProcessWaitsBoundedThenFails) {
    reg.WriteInt("Values", "First", 1);
    CloseSettingsStores();
    setenv("MAPWRIGHT_SETTINGS_BUSY_MS", "300", 1);
    int out = -1;
    const pid_t holder = StartWriterWith({"hold", "8000"}, out);
    ASSERT_GT(holder, 0);
    char held[8] = {};
    ASSERT_GT(::read(out, held, sizeof held), 0); // "held": the store is locked now
    QElapsedTimer clock;
    clock.start();
    EXPECT_THROW(reg.WriteInt("Values", "Second", 2), ERegistryException);
    // 300 ms of busy time, once, not 200 times over.
    EXPECT_LT(clock.elapsed(), 5000);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(out);
    unsetenv("MAPWRIGHT_SETTINGS_BUSY_MS");
    CloseSettingsStores();
    reg.WriteInt("Values", "Second", 2); // free again
    EXPECT_EQ(reg.ReadInt("Values", "Second", 0), 2);
}

} // namespace

namespace {

// A small file system of its own (tmpfs; needs the right to mount, as root
// has), filled up: the store that is on it must still be read.
class FullDisk : public testing::Test {
protected:
    FullDisk() : m_mount(dir.Path() + "/full") {
        std::filesystem::create_directory(m_mount);
        m_mounted =
            RunProcess({"/bin/mount", "-t", "tmpfs", "-o", "size=1m", "tmpfs", m_mount}).ExitCode ==
            0;
        CloseSettingsStores();
        setenv("MAPWRIGHT_USER_SETTINGS", (m_mount + "/user").c_str(), 1);
    }
    ~FullDisk() override {
        CloseSettingsStores();
        unsetenv("MAPWRIGHT_USER_SETTINGS");
        if (m_mounted) {
            RunProcess({"/bin/umount", m_mount});
        }
    }
    void Fill() const {
        std::FILE* filler = std::fopen((m_mount + "/filler").c_str(), "wb");
        const std::string block(4096, 'f');
        while (filler != nullptr &&
               std::fwrite(block.data(), 1, block.size(), filler) == block.size() &&
               std::fflush(filler) == 0) {
        }
        if (filler != nullptr) {
            std::fclose(filler);
        }
    }

    TempDir dir;
    std::string m_mount;
    bool m_mounted = false;
};

TEST_F(FullDisk, AStoreOnAFullDiskIsReadAndRefusesWrites) {
    if (!m_mounted) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
    }
    TVynRegistry reg;
    reg.Init(HKEY_CURRENT_USER, "Software", "MapwrightTests", "");
    reg.WriteInt("Values", "Stored", 42);
    CloseSettingsStores(); // the store file alone now: no -wal, no -shm
    Fill();
    EXPECT_EQ(RunProcess({REGISTRY_WRITER, "read", "Stored"}).Out, "42\n");
    const ProcessResult write = RunProcess({REGISTRY_WRITER, "write", "Stored", "7"});
    EXPECT_EQ(write.ExitCode, 3) << write.Out << write.Err;
    // Again, with what the failed opens left behind, and in this process.
    EXPECT_EQ(RunProcess({REGISTRY_WRITER, "read", "Stored"}).Out, "42\n");
    EXPECT_EQ(reg.ReadInt("Values", "Stored", -1), 42);
    EXPECT_THROW(reg.WriteInt("Values", "Stored", 8), ERegistryException);
}

} // namespace
