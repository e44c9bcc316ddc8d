// bench_serial: the serial port through pseudo-terminals.
//   BM_Loopback    1 MiB queued with TxData in 4 KiB pieces on one port goes
//                  through a pseudo-terminal pair, a relay and a second pair
//                  to the OnRxData of another port; both ports on this (GUI)
//                  thread with its event loop. At most one piece is on its
//                  way at a time; lost counts what a full ring dropped.
//   BM_LoopbackQt  the same traffic between two QSerialPort objects.
// Counters: lost (bytes that did not arrive), wall_MB_per_s (by the wall
// clock; bytes_per_second is by this thread's CPU time), latency_median_ms and
// latency_p99_ms (one byte written by the peer until the receiving port hands
// it to its owner), throughput through SetBytesProcessed. After the ratios:
// the CPU time an open port without traffic costs in 2 s.

#include "BenchRatios.h"
#include "VynSerialPort.h"
#include "support/PtyPair.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kTotal = 1 << 20;
constexpr int kPiece = 4096;
constexpr int kLatencySamples = 200;
// Bytes allowed on their way (sent, not yet received) before the next piece.
constexpr std::size_t kWindow = kPiece;

// Copies everything from one master to the other until stopped: the wire
// between the two ports.
class Relay {
public:
    Relay(int from, int to) : m_thread([this, from, to] { Run(from, to); }) {}
    ~Relay() {
        m_stop = true;
        m_thread.join();
    }

private:
    void Run(int from, int to) {
        char buffer[16384];
        while (!m_stop) {
            pollfd p{from, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) {
                continue;
            }
            const ssize_t n = ::read(from, buffer, sizeof buffer);
            for (ssize_t done = 0; n > 0 && done < n;) {
                const ssize_t w = ::write(to, buffer + done, static_cast<std::size_t>(n - done));
                if (w > 0) {
                    done += w;
                }
            }
        }
    }
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

std::string Payload() {
    std::string data(kTotal, '\0');
    for (int i = 0; i < kTotal; ++i) {
        data[static_cast<std::size_t>(i)] = static_cast<char>(i * 31 + (i >> 8));
    }
    return data;
}

// Time from a byte written on the peer's side until `received` grows.
template <class Received> std::vector<double> Latencies(int peerMaster, Received received) {
    std::vector<double> ms;
    for (int i = 0; i < kLatencySamples; ++i) {
        const std::size_t before = received();
        QElapsedTimer timer;
        timer.start();
        const char byte = 'L';
        if (::write(peerMaster, &byte, 1) != 1) {
            break;
        }
        while (received() == before && timer.elapsed() < 1000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return ms;
}

// Sends the payload in pieces with send(data, size), keeping at most kWindow
// bytes on their way, until everything has arrived in `got` or nothing has
// moved for two seconds. Returns the bytes that did not arrive.
template <class Send>
std::int64_t Transfer(const std::string& payload, std::string& got, Send send) {
    got.clear();
    std::size_t sent = 0;
    QElapsedTimer idle;
    idle.start();
    while (got.size() < payload.size() && idle.elapsed() < 2000) {
        if (sent < payload.size() && sent - got.size() + kPiece <= kWindow) {
            send(payload.data() + sent, kPiece);
            sent += kPiece;
            idle.restart();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return static_cast<std::int64_t>(payload.size()) - static_cast<std::int64_t>(got.size());
}

// The counters both cases report; then the latency, measured on the quiet
// line: one byte written by the receiving side's peer until it arrives.
void ReportCounters(benchmark::State& state, std::int64_t lost,
                    std::chrono::steady_clock::time_point wallStart, int peer,
                    const std::string& got) {
    // The work is shared with other threads (the ports' workers, the relay),
    // so the wall clock says more than this thread's CPU time.
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    state.SetBytesProcessed(state.iterations() * kTotal);
    state.counters["wall_MB_per_s"] = static_cast<double>(state.iterations()) * kTotal / wall / 1e6;
    state.counters["lost"] = static_cast<double>(lost);
    const std::vector<double> ms = Latencies(peer, [&] { return got.size(); });
    state.counters["latency_median_ms"] = Percentile(ms, 0.5);
    state.counters["latency_p99_ms"] = Percentile(ms, 0.99);
}

void BM_Loopback(benchmark::State& state) {
    const std::string payload = Payload();
    PtyPair a;
    PtyPair b;
    Relay wire(a.Master(), b.Master());
    QObject window;
    TVynSerialPort sender;
    TVynSerialPort receiver;
    std::string got;
    receiver.OnRxData = [&](QObject*, unsigned char* data, int len) {
        got.append(reinterpret_cast<char*>(data), static_cast<std::size_t>(len));
    };
    for (TVynSerialPort* p : {&sender, &receiver}) {
        p->Baudrate = 115200;
        p->Init(&window);
    }
    sender.Port = a.SlavePath();
    receiver.Port = b.SlavePath();
    if (!sender.Open() || !receiver.Open()) {
        state.SkipWithError("cannot open the pseudo-terminals");
        return;
    }
    std::int64_t lost = 0;
    const auto wallStart = std::chrono::steady_clock::now();
    for (auto _ : state) {
        lost += Transfer(payload, got, [&](const char* data, int size) {
            sender.TxData(reinterpret_cast<const unsigned char*>(data), size);
        });
        if (got != payload.substr(0, got.size())) {
            state.SkipWithError("the bytes arrived changed");
            break;
        }
    }
    ReportCounters(state, lost, wallStart, b.Master(), got);
    sender.Close();
    receiver.Close();
}

void BM_LoopbackQt(benchmark::State& state) {
    const std::string payload = Payload();
    PtyPair a;
    PtyPair b;
    Relay wire(a.Master(), b.Master());
    QSerialPort sender;
    QSerialPort receiver;
    sender.setPortName(QString::fromStdString(a.SlavePath()));
    receiver.setPortName(QString::fromStdString(b.SlavePath()));
    std::string got;
    QObject::connect(&receiver, &QSerialPort::readyRead, [&] {
        const QByteArray data = receiver.readAll();
        got.append(data.constData(), static_cast<std::size_t>(data.size()));
    });
    if (!sender.open(QIODevice::ReadWrite) || !receiver.open(QIODevice::ReadWrite)) {
        state.SkipWithError("cannot open the pseudo-terminals");
        return;
    }
    sender.setBaudRate(115200);
    receiver.setBaudRate(115200);
    std::int64_t lost = 0;
    const auto wallStart = std::chrono::steady_clock::now();
    for (auto _ : state) {
        lost +=
            Transfer(payload, got, [&](const char* data, int size) { sender.write(data, size); });
    }
    ReportCounters(state, lost, wallStart, b.Master(), got);
}

// The CPU time (all threads) an open port without traffic costs in two
// seconds of its owner's event loop: the workers must wait, not poll.
double IdleCpuSeconds() {
    PtyPair line;
    QObject window;
    TVynSerialPort port;
    port.Port = line.SlavePath();
    port.Init(&window);
    if (!port.Open()) {
        return -1;
    }
    const auto cpu = [] {
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    const double before = cpu();
    QEventLoop loop;
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    loop.exec();
    const double used = cpu() - before;

    port.Close();
    return used;
}

BENCHMARK(BM_Loopback)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoopbackQt)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    RatioReporter reporter;
    const int rc = RunWithRatios(argc, argv, {{"BM_Loopback", "BM_LoopbackQt"}}, reporter);
    // The same comparison by the bytes each moved per second of wall-clock
    // time (not this thread's CPU time, which leaves out the workers).
    const double ours = reporter.Counter("BM_Loopback", "wall_MB_per_s");
    const double qt = reporter.Counter("BM_LoopbackQt", "wall_MB_per_s");
    if (ours > 0 && qt > 0) {
        reporter.Note("  wall-clock throughput: BM_Loopback %.1f MB/s, BM_LoopbackQt %.1f MB/s: "
                      "%.2fx Qt's\n",
                      ours, qt, ours / qt);
    }
    reporter.Note("  idle: an open port without traffic used %.3f s of CPU in 2 s\n",
                  IdleCpuSeconds());
    return rc;
}
