#include "VynSerialPort.h"

#include "DeferredCall.h"

#include "support/EventLoop.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>

#include <algorithm>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <vector>

namespace {

struct TextLine {
    int Line;
    int Type;
    int Level;
    std::string Text;
};

int CountEntries(const char* dir) {
    int n = 0;
    if (DIR* d = ::opendir(dir)) {
        while (::readdir(d) != nullptr) {
            ++n;
        }
        ::closedir(d);
    }
    return n;
}

// Reads until `want` bytes came, `ms` passed, or nothing came for half a
// second.
std::string ReadAll(int fd, std::size_t want, int ms = 2000) {
    std::string got;
    QElapsedTimer timer;
    timer.start();
    QElapsedTimer quiet;
    quiet.start();
    char buffer[65536];
    while (got.size() < want && timer.elapsed() < ms && quiet.elapsed() < 500) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            got.append(buffer, static_cast<std::size_t>(n));
            quiet.restart();
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return got;
}

class Serial : public testing::Test {
protected:
    Serial() {
        SetSerialSettleTimeForTesting(1); // the 50 ms pause is not what these test
        ::fcntl(pty.Master(), F_SETFL, ::fcntl(pty.Master(), F_GETFL) | O_NONBLOCK);
        port.Port = pty.SlavePath();
        port.OnText = [this](QObject*, const char* module, int line, int type, int level,
                             const char* text) {
            EXPECT_STREQ(module, "Serial");
            lines.push_back({line, type, level, text});
        };
        port.OnRxData = [this](QObject*, unsigned char* data, int len) {
            received.append(reinterpret_cast<char*>(data), static_cast<std::size_t>(len));
            ++deliveries;
        };
        port.Init(&window);
    }

    QObject window;
    PtyPair pty;
    TVynSerialPort port;
    std::vector<TextLine> lines;
    std::string received;
    int deliveries = 0;
};

TEST(SerialPort, NothingBeforeInit) {
    TVynSerialPort port;
    int texts = 0;
    port.OnText = [&](QObject*, const char*, int, int, int, const char*) { ++texts; };
    EXPECT_FALSE(port.Open());
    EXPECT_FALSE(port.Close());
    EXPECT_FALSE(port.Update());
    EXPECT_FALSE(port.SetBaudrate(19200));
    EXPECT_EQ(port.GetBaudrate(), 19200);
    const unsigned char byte = 1;
    EXPECT_FALSE(port.TxData(&byte, 1));
    EXPECT_EQ(texts, 0);
    EXPECT_EQ(port.Port, "COM1");
    EXPECT_EQ(port.BufferSize, 8192);
}

TEST_F(Serial, MissingDeviceIsOneWarning) {
    port.Port = "/dev/no-such-serial-port";
    EXPECT_FALSE(port.Open());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Line, 535);
    EXPECT_EQ(lines[0].Type, 3);
    EXPECT_EQ(lines[0].Level, 0);
    EXPECT_EQ(lines[0].Text, "(Open) Unable to open /dev/no-such-serial-port\n(Unknown port): "
                             "No such file or directory");
    EXPECT_FALSE(port.GetSerialState());
}

TEST_F(Serial, OpenCloseOpenAndASecondComponent) {
    ASSERT_TRUE(port.Open());
    EXPECT_TRUE(port.GetSerialState());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Line, 302);
    EXPECT_EQ(lines[0].Level, 1);
    EXPECT_EQ(lines[0].Text, "SerialPort started (" + pty.SlavePath() + " 9600)");
    EXPECT_TRUE(port.Open()); // already open: nothing
    EXPECT_EQ(lines.size(), 1u);

    TVynSerialPort other;
    std::vector<TextLine> otherLines;
    other.OnText = [&](QObject*, const char*, int line, int type, int level, const char* text) {
        otherLines.push_back({line, type, level, text});
    };
    other.Port = pty.SlavePath();
    other.Init(&window);
    EXPECT_FALSE(other.Open());
    ASSERT_EQ(otherLines.size(), 1u);
    EXPECT_EQ(otherLines[0].Line, 535);
    EXPECT_NE(otherLines[0].Text.find("\n(Port already open): "), std::string::npos);

    EXPECT_TRUE(port.Close());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].Line, 328);
    EXPECT_EQ(lines[1].Text, "SerialPort stopped");
    EXPECT_TRUE(port.Close()); // closed: nothing printed
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_TRUE(other.Open()); // free again
    EXPECT_TRUE(other.Close());
    EXPECT_TRUE(port.Open());
}

TEST_F(Serial, SettersAndTimeouts) {
    EXPECT_FALSE(port.SetBaudrate(19200)); // closed: stored only
    EXPECT_EQ(port.Baudrate, 19200);
    unsigned long a, b, c, d, e;
    EXPECT_FALSE(port.SetTimeouts(1, 2, 3, 4, 5));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Line, 377);
    EXPECT_EQ(lines[0].Text.rfind("(SetTimeouts) GetCommTimeouts failed!: ", 0), 0u);

    ASSERT_TRUE(port.Open());
    EXPECT_TRUE(port.SetBaudrate(38400));
    termios tio{};
    ASSERT_EQ(::tcgetattr(pty.Master(), &tio), 0);
    EXPECT_TRUE(port.GetTimeouts(a, b, c, d, e));
    EXPECT_EQ(a, 0xFFFFFFFFul);
    EXPECT_EQ(b + c + d + e, 0ul);
    EXPECT_TRUE(port.SetTimeouts(1, 2, 3, 4, 5));
    EXPECT_TRUE(port.GetTimeouts(a, b, c, d, e));
    EXPECT_EQ(e, 5ul);
    // A setting the device refuses leaves the port open and working.
    port.Baudrate = 12345;
    EXPECT_FALSE(port.Update());
    EXPECT_TRUE(port.GetSerialState());
    EXPECT_TRUE(port.TxText("still %s", "here"));
    EXPECT_EQ(ReadAll(pty.Master(), 10), "still here");
}

TEST(SerialPortControl, FlowControlRows) {
    TVynSerialPort port;
    TDeviceControl base;
    base.XonLim = 111;
    base.XoffLim = 222;
    port.FlowCtrl = flowSoftware;
    TDeviceControl dcb = port.BuildDeviceControl(base);
    EXPECT_EQ(dcb.XonLim, 6553);
    EXPECT_EQ(dcb.XoffLim, 7372);
    EXPECT_TRUE(dcb.fOutX && dcb.fInX && dcb.fTXContinueOnXoff);
    EXPECT_EQ(dcb.fDtrControl, kDtrControlDisable);
    port.FlowCtrl = flowNone;
    dcb = port.BuildDeviceControl(base);
    EXPECT_EQ(dcb.XonLim, 111);
    EXPECT_EQ(dcb.XoffLim, 222);
    EXPECT_FALSE(dcb.fOutX || dcb.fInX || dcb.fOutxCtsFlow);
    EXPECT_EQ(dcb.fRtsControl, kRtsControlDisable);
    port.FlowCtrl = flowHardware;
    dcb = port.BuildDeviceControl(base);
    EXPECT_TRUE(dcb.fOutxCtsFlow && dcb.fOutxDsrFlow);
    EXPECT_EQ(dcb.fDtrControl, kDtrControlHandshake);
    EXPECT_EQ(dcb.fRtsControl, kRtsControlHandshake);
    EXPECT_EQ(dcb.XonLim, 111);
    EXPECT_TRUE(dcb.fBinary && dcb.fParity && !dcb.fAbortOnError && !dcb.fNull);

    port.Parity = parMark;
    port.Stopbits = stopbitOne5;
    port.Databits = 0x107; // only the low byte reaches the device
    dcb = port.BuildDeviceControl(base);
    EXPECT_EQ(dcb.Parity, 3);
    EXPECT_EQ(dcb.StopBits, 1);
    EXPECT_EQ(dcb.ByteSize, 7);
}

std::string Pattern(std::size_t n, unsigned seed) {
    std::string data(n, '\0');
    for (char& c : data) {
        seed = seed * 1103515245U + 12345U;
        c = static_cast<char>(seed >> 16);
    }
    return data;
}

// Reads the master side on a thread of its own until `want` bytes came or
// nothing came for a second.
class Reader {
public:
    Reader(int fd, std::size_t want)
        : m_thread([this, fd, want] { m_got = ReadAll(fd, want, 20000); }) {}
    std::string Take() {
        m_thread.join();
        return m_got;
    }

private:
    std::string m_got;
    std::thread m_thread;
};

TEST_F(Serial, EverythingAcceptedIsSentInOrder) {
    ASSERT_TRUE(port.Open());
    const std::string big = Pattern(10000, 1);
    EXPECT_TRUE(port.TxData(reinterpret_cast<const unsigned char*>(big.data()), 10000));
    EXPECT_EQ(ReadAll(pty.Master(), 10000), big);

    // 1 MiB in 4 KiB calls, faster than the line takes it.
    const std::string mega = Pattern(1 << 20, 2);
    Reader reader(pty.Master(), mega.size());
    for (std::size_t at = 0; at < mega.size(); at += 4096) {
        ASSERT_TRUE(port.TxData(reinterpret_cast<const unsigned char*>(mega.data() + at), 4096));
    }
    EXPECT_TRUE(reader.Take() == mega);

    const std::string long1200(1200, 'q');
    EXPECT_TRUE(port.TxText("%s", long1200.c_str()));
    EXPECT_EQ(ReadAll(pty.Master(), 999, 1000), std::string(999, 'q'));
    EXPECT_TRUE(port.TxText("%s", ""));
    EXPECT_TRUE(lines.size() == 1u); // "started" only
}

TEST_F(Serial, TxDataRefusesWhatWouldPassTheQueuesBound) {
    ASSERT_TRUE(port.Open());
    const std::string full = Pattern(kSerialTxQueueLimit, 3);
    const auto* bytes = reinterpret_cast<const unsigned char*>(full.data());
    ASSERT_TRUE(port.TxData(bytes, kSerialTxQueueLimit));
    // Nobody reads yet: the line holds a few KiB, the queue the rest.
    EXPECT_FALSE(port.TxData(bytes, 100000));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].Line, kLineTxQueueFull);
    EXPECT_EQ(lines[1].Type, 4);
    EXPECT_EQ(lines[1].Text.rfind("(TxData) 100000 bytes refused: ", 0), 0u) << lines[1].Text;
    EXPECT_NE(lines[1].Text.find(", at most 16777216"), std::string::npos);
    // What was accepted goes out whole; nothing of the refused call follows.
    Reader reader(pty.Master(), full.size() + 1);
    EXPECT_TRUE(reader.Take() == full);
}

// The queue against a plain FIFO: every put is stored whole or refused whole,
// exactly when it would take the unread bytes past the limit.
TEST(SerialQueue, KeepsEveryByteUpToItsLimit) {
    constexpr int kLimit = 30000;
    TSerialThread queue("queue", kLimit);
    std::string model;
    unsigned seed = 12345;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245U + 12345U;
        return (seed >> 8) % range;
    };
    const unsigned sizes[] = {1, 100, 4095, 8191, 8192, 8193, 20000};
    int refused = 0;
    for (int step = 0; step < 600; ++step) {
        const std::string data = Pattern(sizes[next(7)] - next(2), seed);
        const bool fits = model.size() + data.size() <= static_cast<std::size_t>(kLimit);
        ASSERT_EQ(queue.PutData(data.data(), static_cast<int>(data.size())), fits)
            << "step " << step;
        if (fits) {
            model += data;
        }
        refused += fits ? 0 : 1;
        const int maximum = static_cast<int>(sizes[next(7)]);
        std::string got(static_cast<std::size_t>(maximum), '\0');
        got.resize(static_cast<std::size_t>(queue.GetData(got.data(), maximum)));
        ASSERT_EQ(got, model.substr(0, got.size())) << "step " << step;
        ASSERT_EQ(got.size(), std::min(model.size(), static_cast<std::size_t>(maximum)));
        model.erase(0, got.size());
        ASSERT_EQ(queue.Unread(), static_cast<int>(model.size()));
        ASSERT_EQ(queue.Room(), kLimit - static_cast<int>(model.size()));
    }
    EXPECT_GT(refused, 10); // the limit was reached often
    EXPECT_EQ(queue.Discard(), static_cast<int>(model.size()));
    EXPECT_EQ(queue.Unread(), 0);
}

// Waits, without running the event loop (so nothing is delivered), until
// the condition holds or five seconds have passed.
template <class F> bool WaitWithoutDelivering(F condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
}

TEST_F(Serial, BurstsArriveInOneCallAndBytesSurviveAClose) {
    ASSERT_TRUE(port.Open());
    ASSERT_EQ(::write(pty.Master(), "abc", 3), 3);
    ASSERT_TRUE(WaitWithoutDelivering([&] { return port.RxUnread() == 3; }));
    ASSERT_EQ(::write(pty.Master(), "def", 3), 3);
    ASSERT_TRUE(WaitWithoutDelivering([&] { return port.RxUnread() == 6; }));
    ASSERT_TRUE(port.RxDeliveryPending()); // both reads armed one delivery
    EXPECT_TRUE(ProcessUntil([&] { return received.size() >= 6; }));
    EXPECT_FALSE(port.RxDeliveryPending());
    QCoreApplication::processEvents();
    EXPECT_EQ(received, "abcdef");
    EXPECT_EQ(deliveries, 1);

    received.clear();
    ASSERT_EQ(::write(pty.Master(), "xyz", 3), 3);
    // In the ring, not delivered: a close must not lose it.
    ASSERT_TRUE(WaitWithoutDelivering([&] { return port.RxUnread() == 3; }));
    ASSERT_TRUE(port.Close());
    ASSERT_TRUE(port.Open());
    ASSERT_EQ(::write(pty.Master(), "123", 3), 3);
    EXPECT_TRUE(ProcessUntil([&] { return received.size() >= 6; }));
    EXPECT_EQ(received, "xyz123");
}

// A reply to a request must not wait for bytes that may not come: an arrival
// that finds no delivery waiting is handed over in the owner's next pass of
// its event loop, with no timer to run out first; each of a request's
// replies, one after the other.
TEST_F(Serial, AnArrivalFindingNothingWaitingIsDeliveredInTheNextPass) {
    ASSERT_TRUE(port.Open());
    for (const char* reply : {"ok", "7", "done"}) {
        received.clear();
        ASSERT_EQ(::write(pty.Master(), reply, std::strlen(reply)),
                  static_cast<ssize_t>(std::strlen(reply)));
        ASSERT_TRUE(WaitWithoutDelivering(
            [&] { return port.RxUnread() == static_cast<int>(std::strlen(reply)); }));
        ASSERT_TRUE(WaitWithoutDelivering([&] { return port.RxDeliveryPending(); }));
        QCoreApplication::processEvents();
        EXPECT_EQ(received, reply);
    }
}

TEST_F(Serial, PeerHangingUpNeitherCrashesNorSpins) {

    ASSERT_TRUE(port.Open());
    pty.CloseSlave();
    pty.CloseMaster();
    Settle(50);
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    const long usedUs = (after.ru_utime.tv_sec - before.ru_utime.tv_sec) * 1000000L +
                        (after.ru_utime.tv_usec - before.ru_utime.tv_usec) +
                        (after.ru_stime.tv_sec - before.ru_stime.tv_sec) * 1000000L +
                        (after.ru_stime.tv_usec - before.ru_stime.tv_usec);
    EXPECT_LT(usedUs, 100000); // idle threads, not a spinning one
    Settle(20);
    bool reported = false;
    for (const TextLine& l : lines) {
        reported = reported || l.Line == 788;
    }
    EXPECT_TRUE(reported);
    EXPECT_TRUE(port.Close());
}

// A busy owner loses nothing: the queue holds a megabyte, beyond it the
// receive thread leaves the rest to the terminal, whose writer then waits.
TEST_F(Serial, ABusyOwnerLosesNothingReceived) {
    ASSERT_TRUE(port.Open());
    const std::string data = Pattern(3 << 20, 4);
    std::atomic<std::size_t> written{0};
    std::thread peer([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (written < data.size() && std::chrono::steady_clock::now() < deadline) {
            const ssize_t n = ::write(pty.Master(), data.data() + written,
                                      std::min<std::size_t>(65536, data.size() - written));
            if (n > 0) {
                written += static_cast<std::size_t>(n);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
    });
    // The owner's thread is busy for a while: the queue fills to its bound
    // and stays there.
    ASSERT_TRUE(WaitWithoutDelivering([&] { return port.RxUnread() == kSerialRxQueueLimit; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(port.RxUnread(), kSerialRxQueueLimit);
    EXPECT_LT(written.load(), data.size());
    int largest = 0;
    port.OnRxData = [&](QObject*, unsigned char* bytes, int len) {
        received.append(reinterpret_cast<char*>(bytes), static_cast<std::size_t>(len));
        largest = std::max(largest, len);
    };
    EXPECT_TRUE(ProcessUntil([&] { return received.size() >= data.size(); }, 20000));
    peer.join();
    EXPECT_TRUE(received == data) << received.size() << " of " << data.size();
    EXPECT_EQ(largest, kSerialBufferSize);
    EXPECT_EQ(lines.size(), 1u);
}

// A line that goes away (a USB adapter pulled out) is reported once; what
// could not be sent is counted; Close frees everything and the next Open,
// on another line, opens.
TEST_F(Serial, ALineThatGoesIsReportedOnceAndClosesCleanly) {
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(port.Close());
    const int fds = CountEntries("/proc/self/fd");
    const int threads = CountEntries("/proc/self/task");
    ASSERT_TRUE(port.Open());
    // Nobody reads: the transmit thread waits with bytes queued.
    const std::string chunk(4000, 'w');
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(port.TxData(reinterpret_cast<const unsigned char*>(chunk.data()), 4000));
    }
    ASSERT_TRUE(WaitWithoutDelivering([&] { return port.TxUnsent() < 80000; }));
    pty.CloseSlave();
    pty.CloseMaster();
    // Both workers find the line gone before the owner delivers anything:
    // every line they printed must still arrive.
    ASSERT_TRUE(WaitWithoutDelivering([&] { return port.TxUnsent() == 0; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Settle(50);
    for (int i = 0; i < 50; ++i) {
        EXPECT_FALSE(port.TxData(reinterpret_cast<const unsigned char*>(chunk.data()), 10));
    }
    Settle(50);
    int lossLines = 0;
    int droppedLines = 0;
    for (const TextLine& l : lines) {
        lossLines += l.Line == kLineReadFailed || l.Line == kLineWriteFailed ? 1 : 0;
        if (l.Line == kLineTxDropped) {
            ++droppedLines;
            EXPECT_NE(l.Text.find(" bytes not sent: the line is gone"), std::string::npos);
            EXPECT_GT(std::atoi(l.Text.c_str() + std::strlen("(TX thread) ")), 0);
        }
    }
    EXPECT_EQ(lossLines, 1);
    EXPECT_EQ(droppedLines, 1);
    lines.clear();
    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.GetSerialState());
    ASSERT_EQ(lines.size(), 1u); // no purge failure: the line was known gone
    EXPECT_EQ(lines[0].Line, kLineStopped);
    EXPECT_EQ(CountEntries("/proc/self/fd"), fds - 2); // less the pair's own two
    EXPECT_EQ(CountEntries("/proc/self/task"), threads);

    PtyPair other;
    ::fcntl(other.Master(), F_SETFL, ::fcntl(other.Master(), F_GETFL) | O_NONBLOCK);
    port.Port = other.SlavePath();
    ASSERT_TRUE(port.Open());
    EXPECT_TRUE(port.TxText("again"));
    EXPECT_EQ(ReadAll(other.Master(), 5), "again");
    ASSERT_EQ(::write(other.Master(), "back", 4), 4);
    received.clear();
    EXPECT_TRUE(ProcessUntil([&] { return received == "back"; }));
}

TEST_F(Serial, CloseEndsABlockedWriteAtOnce) {
    ASSERT_TRUE(port.Open());
    // Nobody reads the other end: the terminal's buffer fills and the write waits.
    std::string chunk(4000, 'w');
    for (int i = 0; i < 40; ++i) {
        port.TxData(reinterpret_cast<const unsigned char*>(chunk.data()), 4000);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(port.Close());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(400));
    for (const TextLine& l : lines) {
        EXPECT_NE(l.Line, 686); // the transmit thread ended by itself
    }
}

TEST_F(Serial, ManyOpenCloseCyclesLeakNothing) {
    ASSERT_TRUE(port.Open());
    ASSERT_TRUE(port.Close());
    const int fds = CountEntries("/proc/self/fd");
    const int threads = CountEntries("/proc/self/task");
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(port.Open());
        ASSERT_TRUE(port.Close());
    }
    EXPECT_EQ(CountEntries("/proc/self/fd"), fds);
    EXPECT_EQ(CountEntries("/proc/self/task"), threads);
}

TEST(SerialPortFault, OpenWithoutEventsFailsInsteadOfHangingAtClose) {
#if defined(__SANITIZE_ADDRESS__)
    // The address sanitizer's checks open descriptors of their own (a pipe to
    // probe memory), which the child below has none of: they fail there and
    // report objects as broken.
    GTEST_SKIP() << "needs descriptors the address sanitizer would take";
#endif
    PtyPair pty;
    const pid_t child = fork();
    if (child == 0) {
        ::alarm(10); // a hang ends the child by SIGALRM
        // Every descriptor below the limit in use: the port's events cannot
        // be made.
        const rlimit limit{256, 256};
        ::setrlimit(RLIMIT_NOFILE, &limit);
        std::vector<int> held;
        for (int fd; (fd = ::dup(0)) >= 0;) {
            held.push_back(fd);
        }
        QObject window;
        std::vector<int> lines;
        {
            TVynSerialPort port;
            port.Port = pty.SlavePath();
            port.OnText = [&](QObject*, const char*, int line, int, int, const char*) {
                lines.push_back(line);
            };
            port.Init(&window);
            ::close(held.back()); // room for one: the device, or one event
            const bool opened = port.Open();
            const bool closed = port.Close();
            if (opened || !closed || lines.empty() ||
                (lines[0] != kLineRxThreadNotCreated && lines[0] != kLineTxThreadNotCreated)) {
                ::_exit(1);
            }
        }
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << "the child hung and was stopped";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(Serial, DestroyingAnOpenPortWithADeliveryPending) {
    auto doomed = std::make_unique<TVynSerialPort>();
    int calls = 0;
    doomed->OnRxData = [&](QObject*, unsigned char*, int) { ++calls; };
    doomed->Port = pty.SlavePath();
    doomed->Init(&window);
    ASSERT_TRUE(doomed->Open());
    ASSERT_EQ(::write(pty.Master(), "late", 4), 4);
    ASSERT_TRUE(WaitWithoutDelivering([&] { return doomed->RxDeliveryPending(); }));
    doomed.reset();
    // A delivery armed after this one has run, so the doomed one would have.
    bool later = false;
    ArmDeferredCall(&window, 12345, 5, [&] { later = true; });
    EXPECT_TRUE(ProcessUntil([&] { return later; }));
    EXPECT_EQ(calls, 0);
}

} // namespace
