#include "VynSerialPort.h"

#include "DeferredCall.h"

#include "support/EventLoop.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>

#include <chrono>
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

std::string ReadAll(int fd, std::size_t want, int ms = 2000) {
    std::string got;
    QElapsedTimer timer;
    timer.start();
    char buffer[4096];
    while (got.size() < want && timer.elapsed() < ms) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            got.append(buffer, static_cast<std::size_t>(n));
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
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

TEST_F(Serial, SendingKeepsTheRingsRules) {
    ASSERT_TRUE(port.Open());
    std::string big(10000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>('a' + i % 26);
    }
    EXPECT_TRUE(port.TxData(reinterpret_cast<const unsigned char*>(big.data()), 10000));
    EXPECT_EQ(ReadAll(pty.Master(), 1808), big.substr(8192)); // the last 1808
    const std::string long1200(1200, 'q');
    EXPECT_TRUE(port.TxText("%s", long1200.c_str()));
    EXPECT_EQ(ReadAll(pty.Master(), 999, 1000), std::string(999, 'q'));
    EXPECT_TRUE(port.TxText("%s", ""));
}

// The ring against a byte-at-a-time model of its rules: a put always stores
// every byte, so beyond 8191 unread bytes the reader sees only what is left
// after the write index came round.
TEST(SerialRing, MatchesTheByteAtATimeRules) {
    struct Model {
        std::vector<unsigned char> Buffer = std::vector<unsigned char>(kSerialBufferSize);
        int Write = 0;
        int Read = 0;
        void Put(const std::string& data) {
            for (char c : data) {
                Buffer[static_cast<std::size_t>(Write)] = static_cast<unsigned char>(c);
                Write = (Write + 1) % kSerialBufferSize;
            }
        }
        std::string Get(int maximum) {
            std::string out;
            while (Read != Write && static_cast<int>(out.size()) < maximum) {
                out += static_cast<char>(Buffer[static_cast<std::size_t>(Read)]);
                Read = (Read + 1) % kSerialBufferSize;
            }
            return out;
        }
    };
    TSerialThread ring("ring");
    Model model;
    unsigned seed = 12345;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245U + 12345U;
        return (seed >> 8) % range;
    };
    const unsigned sizes[] = {1, 100, 4095, 8191, 8192, 8193, 20000};
    for (int step = 0; step < 400; ++step) {
        std::string data(sizes[next(7)] - next(2), '\0');
        for (char& c : data) {
            c = static_cast<char>(next(256));
        }
        ring.PutData(data.data(), static_cast<int>(data.size()));
        model.Put(data);
        const int maximum = static_cast<int>(sizes[next(7)]);
        std::string got(static_cast<std::size_t>(maximum), '\0');
        got.resize(static_cast<std::size_t>(ring.GetData(got.data(), maximum)));
        ASSERT_EQ(got, model.Get(maximum)) << "step " << step;
        ASSERT_EQ(ring.WriteIndex, model.Write);
    }
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
