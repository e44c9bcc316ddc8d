#include "VynLogFile.h"

#include "support/Files.h"
#include "support/FixedClock.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr TLocalTime kNow{.Year = 2026,
                          .Month = 12,
                          .DayOfWeek = 1,
                          .Day = 7,
                          .Hour = 9,
                          .Minute = 5,
                          .Second = 7,
                          .Milliseconds = 456};

// A log in a fresh data folder, written at a fixed time.
class Log : public testing::Test {
protected:
    Log() : clock(kNow) {
        setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
        folder = log.Init("test.log", "Vyn", "Tests");
        log.SetLogging(3);
    }
    ~Log() override { unsetenv("XDG_DATA_HOME"); }
    std::string Written() const { return Slurp(folder + "test.log"); }

    TempDir dir;
    FixedClock clock;
    TVynLogfile log;
    std::string folder;
};

TEST(LogFile, NotInitialisedOrNotLoggingWritesNothing) {
    TVynLogfile log;
    EXPECT_FALSE(log.WriteLog("x"));
    EXPECT_FALSE(log.DoWriteLine("m", 1, 0, 0, "x"));
    TempDir dir;
    setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
    const std::string folder = log.Init("", "A", "B");
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(folder, dir.Path() + "/A/B/");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(log.WriteLog(4, "error")); // mode 0: nothing, but no failure
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST_F(Log, RecordLayoutForSwitchCombinations) {
    struct Case {
        bool Date, Time, Hund, Level, Linenr;
        std::string Expected;
    };
    const Case cases[] = {
        {false, true, false, false, false, "09:05:07  ERR text\r\n"}, // the defaults
        {false, false, false, false, false, "ERR text\r\n"},
        {true, true, true, true, true,
         "07 Dec 2026  09:05:07.45  [2]  serial         120 ERR text\r\n"},
        {true, false, false, false, false, "07 Dec 2026  ERR text\r\n"},
        {false, false, false, true, false, "[2]  ERR text\r\n"},
        {false, false, true, false, true, "serial         120 ERR text\r\n"},
    };
    log.DebugLevel = 2;
    for (const Case& c : cases) {
        std::filesystem::remove(folder + "test.log");
        log.ShowDate = c.Date;
        log.ShowTime = c.Time;
        log.ShowTimeHund = c.Hund;
        log.ShowLevel = c.Level;
        log.ShowLinenr = c.Linenr;
        EXPECT_TRUE(log.DoWriteLine("serial", 120, 4, 2, "text"));
        EXPECT_EQ(Written(), c.Expected);
    }
}

TEST_F(Log, MarkersLineEndsAndOverloads) {
    log.ShowTime = false;
    log.WriteLog("plain\r\n\r\n"); // no marker, one CR LF
    log.WriteLog(0, "comment");    // four blanks
    log.WriteLog(1, "rx %d", 1);
    log.WriteLog(2, 1, "tx");
    log.WriteLog(3, "inner\nline\n");
    log.WriteLog("m", 9, 7, 0, "unknown type");
    log.WriteLine();
    log.WriteDate();
    EXPECT_EQ(Written(), "plain\r\n"
                         "    comment\r\n"
                         " <- rx 1\r\n"
                         " -> tx\r\n"
                         "wrn inner\nline\r\n"
                         "unknown type\r\n"
                         "    ==================================================\r\n"
                         "    Date: 07 Dec 2026\r\n");
}

TEST_F(Log, ModesAndLevelsFilter) {
    log.ShowTime = false;
    log.SetLogging(1);
    EXPECT_TRUE(log.WriteLog(3, "warning dropped"));
    EXPECT_TRUE(log.WriteLog(4, "error kept"));
    log.SetLogging(2);
    EXPECT_TRUE(log.WriteLog(3, "warning kept"));
    EXPECT_TRUE(log.WriteLog(0, "comment dropped"));
    log.SetLogging(7);
    EXPECT_TRUE(log.WriteLog(0, "comment kept"));
    EXPECT_TRUE(log.WriteLog(0, 2, "level too high"));
    EXPECT_EQ(Written(), "ERR error kept\r\nwrn warning kept\r\n    comment kept\r\n");
}

TEST_F(Log, ExtraLineBeforeANewSecond) {
    log.ShowExtraLine = true;
    log.WriteLog(0, "first");
    log.WriteLog(0, "same second");
    {
        TLocalTime later = kNow;
        later.Second = 8;
        FixedClock next(later);
        log.WriteLog(0, "next second");
    }
    EXPECT_EQ(Written(), "\r\n09:05:07      first\r\n09:05:07      same second\r\n"
                         "\r\n09:05:08      next second\r\n");
}

TEST_F(Log, FileNames) {
    EXPECT_EQ(log.FilePath(), folder + "test.log"); // unchanged, extension included
    log.FilenameWithDate = true;
    EXPECT_EQ(log.FilePath(), folder + "test.log20261207.log");
    log.Init("", "Vyn", "Tests");
    EXPECT_EQ(log.FilePath(), folder + "20261207.log");
    EXPECT_TRUE(log.WriteLog("daily"));
    EXPECT_EQ(Slurp(folder + "20261207.log"), "09:05:07  daily\r\n");
    // One folder text empty: beside the program.
    const std::string exeDir = log.Init("x.log", "", "Tests");
    EXPECT_EQ(exeDir, std::filesystem::path(std::filesystem::read_symlink("/proc/self/exe"))
                              .parent_path()
                              .string() +
                          "/");
}

TEST_F(Log, LongPathsAreTakenWholeAndRefusedOnesFailWithoutHalfNames) {
    const std::string a(200, 'a');
    const std::string b(200, 'b');
    const std::string name(150, 'n');
    const std::string longFolder = log.Init(name.c_str(), a.c_str(), b.c_str());
    EXPECT_EQ(longFolder, dir.Path() + "/" + a + "/" + b + "/");
    EXPECT_TRUE(log.WriteLog("long"));
    EXPECT_EQ(Slurp(longFolder + name), "09:05:07  long\r\n");

    // A folder name the system refuses (over 255 characters): the write
    // fails and no cut-off folder or file appears.
    const std::string tooLong(300, 'c');
    log.Init("x.log", tooLong.c_str(), "d");
    EXPECT_FALSE(log.WriteLog("refused"));
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        EXPECT_TRUE(entry.path().filename() == "Vyn" || entry.path().filename() == a)
            << entry.path();
    }
}

TEST_F(Log, AWriteCutShortIsTakenBack) {
    ASSERT_TRUE(log.WriteLog("whole record"));
    const std::string before = Written();
    // A child process may grow the file by 10 bytes only: its record is cut
    // short, and it must take the piece back.
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{before.size() + 10, before.size() + 10};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(log.WriteLog("a record much longer than ten bytes") ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1)
        << "the short write was not reported";
    EXPECT_EQ(Written(), before);
    EXPECT_TRUE(log.WriteLog("next"));
    EXPECT_EQ(Written(), before + "09:05:07  next\r\n");
}

TEST_F(Log, FullDiskFailsCleanly) {
    std::filesystem::create_symlink("/dev/full", folder + "full.log");
    log.Init("full.log", "Vyn", "Tests");
    EXPECT_FALSE(log.WriteLog("nowhere to go"));
    log.Init("test.log", "Vyn", "Tests");
    EXPECT_TRUE(log.WriteLog("fine"));
    std::filesystem::remove(folder + "test.log");
    std::filesystem::create_directory(folder + "test.log"); // cannot be opened as a file
    EXPECT_FALSE(log.WriteLog("no file"));
}

TEST_F(Log, FourProcessesAppendWholeRecords) {
    constexpr int kProcesses = 4;
    constexpr int kRecords = 10000;
    pid_t children[kProcesses];
    for (int p = 0; p < kProcesses; ++p) {
        children[p] = ::fork();
        ASSERT_GE(children[p], 0);
        if (children[p] == 0) {
            TVynLogfile child;
            child.Init("test.log", "Vyn", "Tests");
            child.SetLogging(3);
            bool ok = true;
            for (int n = 0; n < kRecords; ++n) {
                ok = child.WriteLog(1, "process %d record %d", p, n) && ok;
            }
            ::_exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::istringstream lines(Written());
    std::string line;
    std::set<std::pair<int, int>> seen;
    int count = 0;
    while (std::getline(lines, line)) {
        ++count;
        int p = -1;
        int n = -1;
        char time[16] = {};
        ASSERT_EQ(std::sscanf(line.c_str(), "%8s   <- process %d record %d\r", time, &p, &n), 3)
            << line;
        ASSERT_EQ(line.back(), '\r');
        seen.insert({p, n});
    }
    EXPECT_EQ(count, kProcesses * kRecords);
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kProcesses * kRecords));
}

} // namespace
