#include "VynSerialPort.h"

#include "QtText.h"
#include "VynExport.h"

#include "DeferredCall.h"
#include "LineEnd.h"
#include "Palette.h"
#include "VynUtil.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstring>

namespace Vynserialport {
VYN_EXPORT void Register() {
    RegisterComponents("VYN", {"TVynSerialPort"});
}
} // namespace Vynserialport

namespace {

constexpr const char* kModule = "Serial";

// The one ring lock of the process ("ComSemaphore detect"): every ring
// operation of every port holds it for its whole length.
std::mutex g_ringLock;

// Line events as the original's event mask has them.
constexpr unsigned long kEventBreak = 0x40;
constexpr unsigned long kEventError = 0x80;

} // namespace

// ---------------------------------------------------------------------------
// TSerialThread

TSerialThread::TSerialThread(std::string name, int limit)
    : Name(std::move(name)), m_ring(kSerialBufferSize), m_limit(limit) {}

TSerialThread::~TSerialThread() {
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

bool TSerialThread::Start(const std::string& portName, void (*entry)(TVynSerialPort*),
                          TVynSerialPort* parameter) {
    if (m_thread.joinable()) {
        return true;
    }
    PortName = portName;
    {
        std::lock_guard lock(m_doneMutex);
        m_done = false;
    }
    try {
        m_thread = std::thread([this, entry, parameter] {
            entry(parameter);
            std::lock_guard lock(m_doneMutex);
            m_done = true;
            m_doneSignal.notify_all();
        });
    } catch (const std::system_error& e) {
        StartError = e.code().value();
        return false;
    }
    ThreadId = static_cast<std::uint32_t>(std::hash<std::thread::id>{}(m_thread.get_id()));
    return true;
}

bool TSerialThread::Stop() {
    if (!m_thread.joinable()) {
        return true;
    }
    bool ended = false;
    {
        std::unique_lock lock(m_doneMutex);
        ended =
            m_doneSignal.wait_for(lock, std::chrono::milliseconds(500), [this] { return m_done; });
    }
    // A thread cannot be killed safely. Every wait of the workers ends on the
    // stop events, so one that is late still ends: wait for it, so that it can
    // never reach a closed device or a destroyed port.
    m_thread.join();
    return ended;
}

void TSerialThread::Lock() {
    SemaphoreCreated = true;
    g_ringLock.lock();
}

void TSerialThread::Unlock() {
    if (SemaphoreCreated) {
        g_ringLock.unlock();
    }
}

// The queue's storage: a ring whose size is a power of two, so the common
// case (less than 8 KiB on its way) never allocates.
void TSerialThread::Grow(std::size_t needed) {
    std::size_t size = m_ring.size();
    while (size < needed) {
        size *= 2;
    }
    std::vector<unsigned char> grown(size);
    const std::size_t first = std::min(m_unread, m_ring.size() - m_read);
    std::memcpy(grown.data(), m_ring.data() + m_read, first);
    std::memcpy(grown.data() + first, m_ring.data(), m_unread - first);
    m_ring.swap(grown);
    m_read = 0;
}

bool TSerialThread::PutData(const char* data, int count) {
    if (count <= 0) {
        return true;
    }
    Lock();
    const auto n = static_cast<std::size_t>(count);
    if (n >
        static_cast<std::size_t>(m_limit) - std::min(m_unread, static_cast<std::size_t>(m_limit))) {
        Unlock();
        return false;
    }
    if (m_unread + n > m_ring.size()) {
        Grow(m_unread + n);
    }
    const std::size_t mask = m_ring.size() - 1;
    const std::size_t at = (m_read + m_unread) & mask;
    const std::size_t first = std::min(n, m_ring.size() - at);
    std::memcpy(m_ring.data() + at, data, first);
    std::memcpy(m_ring.data(), data + first, n - first);
    m_unread += n;
    Unlock();
    return true;
}

int TSerialThread::GetData(char* destination, int maximum) {
    Lock();
    const std::size_t copied = std::min(m_unread, static_cast<std::size_t>(std::max(0, maximum)));
    const std::size_t first = std::min(copied, m_ring.size() - m_read);
    std::memcpy(destination, m_ring.data() + m_read, first);
    std::memcpy(destination + first, m_ring.data(), copied - first);
    m_read = (m_read + copied) & (m_ring.size() - 1);
    m_unread -= copied;
    // A queue that grew for a long stall gives its memory back once emptied.
    if (m_unread == 0 && m_ring.size() > 8 * static_cast<std::size_t>(kSerialBufferSize)) {
        std::vector<unsigned char>(kSerialBufferSize).swap(m_ring);
        m_read = 0;
    }
    Unlock();
    return static_cast<int>(copied);
}

int TSerialThread::Unread() {
    Lock();
    const auto unread = static_cast<int>(m_unread);
    Unlock();
    return unread;
}

int TSerialThread::Room() {
    Lock();
    const int room =
        m_limit - static_cast<int>(std::min(m_unread, static_cast<std::size_t>(m_limit)));
    Unlock();
    return room;
}

int TSerialThread::Discard() {
    Lock();
    const auto unread = static_cast<int>(m_unread);
    m_read = 0;
    m_unread = 0;
    Unlock();
    return unread;
}

// ---------------------------------------------------------------------------
// TVynSerialPort: set-up and tear-down

TVynSerialPort::TVynSerialPort(QObject* owner) : QObject(owner) {}

TVynSerialPort::~TVynSerialPort() {
    // Nobody may hear from a port that is going: no events, no deliveries.
    OnRxData = nullptr;
    OnText = nullptr;
    if (Initialised && SerialState) {
        Close();
    }
    CloseThreads();
    CancelDeferredCall(TimerWnd, DataKey());
    CancelDeferredCall(TimerWnd, TextKey());
}

void TVynSerialPort::Init(QObject* window) {
    TimerWnd = window;
    PrepareDeferredCalls(window);
    Initialised = true;
}

namespace {
std::atomic<int> g_settleMs{50};
} // namespace

void SetSerialSettleTimeForTesting(int milliseconds) {
    g_settleMs.store(milliseconds >= 0 ? milliseconds : 50);
}

bool TVynSerialPort::Open() {
    if (!Initialised) {
        return false;
    }
    if (SerialState) {
        return true;
    }
    // Without its events a thread could never be told to stop, and Close
    // would wait for it for ever: no threads then.
    if (!RxStopEvent.Create()) {
        PrintError(true, kLineRxThreadNotCreated, kMsgError, 0, RxStopEvent.Error(),
                   "(Open) CreateThread RX failed!");
        return false;
    }
    for (TEvent* event : {&TxStopEvent, &TxEvent, &RxRoomEvent}) {
        if (!event->Create()) {
            PrintError(true, kLineTxThreadNotCreated, kMsgError, 0, event->Error(),
                       "(Open) CreateThread TX failed!");
            return false;
        }
    }
    if (!OpenPort()) {
        return false;
    }
    LineLost = false;
    RxWaitingForRoom = false;
    RxRoomEvent.ResetEvent();
    // Some devices need their lines to settle after being configured before
    // the first read or write.
    std::this_thread::sleep_for(std::chrono::milliseconds(g_settleMs.load()));
    if (!RxThread.Start(Port, &TVynSerialPort::ReceiveThread, this)) {
        PrintError(true, kLineRxThreadNotCreated, kMsgError, 0, RxThread.StartError,
                   "(Open) CreateThread RX failed!");
        ClosePort();
        return false;
    }
    if (!TxThread.Start(Port, &TVynSerialPort::SendThread, this)) {
        PrintError(true, kLineTxThreadNotCreated, kMsgError, 0, TxThread.StartError,
                   "(Open) CreateThread TX failed!");
        CloseThreads();
        ClosePort();
        return false;
    }
    PrintDebug(true, kLineStarted, kMsgComment, 1, "SerialPort started (%s %u)", Port.c_str(),
               static_cast<unsigned>(Baudrate));
    return true;
}

TDeviceControl TVynSerialPort::BuildDeviceControl(TDeviceControl dcb) const {
    dcb.BaudRate = static_cast<std::uint32_t>(Baudrate);
    dcb.ByteSize = static_cast<std::uint8_t>(Databits & 0xFF);
    dcb.Parity = static_cast<std::uint8_t>(Parity);
    dcb.StopBits = static_cast<std::uint8_t>(Stopbits);
    // Only hardware flow control uses the handshake lines; only software
    // flow control uses XON/XOFF and its limits.
    const bool hardware = FlowCtrl == flowHardware;
    const bool software = FlowCtrl == flowSoftware;
    dcb.fOutxCtsFlow = hardware;
    dcb.fOutxDsrFlow = hardware;
    dcb.fDtrControl = hardware ? kDtrControlHandshake : kDtrControlDisable;
    dcb.fRtsControl = hardware ? kRtsControlHandshake : kRtsControlDisable;
    dcb.fDsrSensitivity = false;
    dcb.fOutX = software;
    dcb.fInX = software;
    if (software) {
        dcb.fTXContinueOnXoff = true;
        // Signed 32-bit arithmetic, truncating, into the 16-bit fields.
        dcb.XonLim = static_cast<std::uint16_t>(static_cast<std::int32_t>(BufferSize) * 80 / 100);
        dcb.XoffLim = static_cast<std::uint16_t>(static_cast<std::int32_t>(BufferSize) * 90 / 100);
    }
    dcb.fBinary = true;
    dcb.fParity = true;
    dcb.fAbortOnError = false;
    dcb.fNull = false;
    return dcb;
}

bool TVynSerialPort::OpenPort() {
    const TOpenResult opened = PortHandle.Open(Port);
    if (opened != TOpenResult::Ok) {
        const char* reason = opened == TOpenResult::NoSuchDevice ? "(Unknown port)"
                             : opened == TOpenResult::InUse      ? "(Port already open)"
                                                                 : "";
        const std::string text = FormatText("Unable to open %s\n%s", Port.c_str(), reason);
        PrintError(true, kLineOpenFailed, kMsgWarning, 0, PortHandle.LastError(), "(Open) %s",
                   text.c_str());
        return false;
    }
    auto fail = [&](TSerialDiagLine line, const char* message) {
        PrintError(true, line, kMsgError, 0, PortHandle.LastError(), "%s", message);
        PortHandle.Close();
        return false;
    };
    // The line events the receive thread waits for are the device's
    // readiness and error states; there is no mask to set (step 4).
    TDeviceControl dcb;
    if (!PortHandle.GetState(dcb)) {
        return fail(kLineGetStateFailed, "(Open) GetCommState failed!");
    }
    if (!PortHandle.SetState(BuildDeviceControl(dcb))) {
        return fail(kLineSetStateFailed, "(Open) SetCommState failed!");
    }
    PortHandle.SetQueueSizes(BufferSize, BufferSize);
    // Stale bytes from before the open; a purge that fails leaves them, and
    // the port works all the same.
    static_cast<void>(PortHandle.Purge());
    Timeouts = TDeviceTimeouts{0xFFFFFFFF, 0, 0, 0, 0};
    if (!PortHandle.SetTimeouts(Timeouts)) {
        return fail(kLineOpenTimeoutsFailed, "(Open) SetCommTimeouts failed!");
    }
    SerialState = true;
    return true;
}

bool TVynSerialPort::Close() {
    if (!Initialised) {
        return false;
    }
    if (!SerialState) {
        return true;
    }
    CloseThreads();
    ClosePort();
    PrintDebug(true, kLineStopped, kMsgComment, 1, "SerialPort stopped");
    return true;
}

bool TVynSerialPort::CloseThreads() {
    RxStopEvent.Set();
    TxStopEvent.Set();
    bool result = true;
    if (!TxThread.Stop()) {
        PrintDebug(true, kLineTxThreadExitError, kMsgError, 0,
                   "(TX thread) TSerialThread exit error");
        result = false;
    }
    if (!RxThread.Stop()) {
        PrintDebug(true, kLineRxThreadExitError, kMsgError, 0,
                   "(RX thread) TSerialThread exit error");
        result = false;
    }
    RxStopEvent.ResetEvent();
    TxStopEvent.ResetEvent();
    return result;
}

bool TVynSerialPort::ClosePort() {
    if (!PortHandle.IsOpen()) {
        // The device went (a failed Update of old); the port is closed.
        SerialState = false;
        return true;
    }
    // A purge that fails still closes: the device must be freed so that the
    // next Open opens. On a line that has gone (unplugged) the failure is
    // expected and its loss was reported already.
    if (!PortHandle.Purge() && !TSerialDevice::IsLineGone(PortHandle.LastError())) {
        PrintError(true, kLinePurgeFailed, kMsgError, 0, PortHandle.LastError(),
                   "(Close) PurgeComm failed!");
    }
    PortHandle.Close();
    SerialState = false;
    return true;
}

bool TVynSerialPort::Update() {
    if (!Initialised) {
        return false;
    }
    TDeviceControl dcb;
    if (!PortHandle.GetState(dcb)) {
        return false;
    }
    dcb.BaudRate = static_cast<std::uint32_t>(Baudrate);
    dcb.ByteSize = static_cast<std::uint8_t>(Databits & 0xFF);
    dcb.Parity = static_cast<std::uint8_t>(Parity);
    dcb.StopBits = static_cast<std::uint8_t>(Stopbits);
    // A setting the device refuses leaves the port open as it was, with its
    // threads running; the caller learns of it from the result.
    return PortHandle.SetState(dcb);
}

bool TVynSerialPort::SetBaudrate(int value) {
    Baudrate = value;
    return Update();
}

bool TVynSerialPort::SetDatabits(int value) {
    Databits = value;
    return Update();
}

bool TVynSerialPort::SetParity(TParityStyle value) {
    Parity = value;
    return Update();
}

bool TVynSerialPort::SetStopbits(TStopbitStyle value) {
    Stopbits = value;
    return Update();
}

bool TVynSerialPort::GetTimeouts(unsigned long& readInterval, unsigned long& readMultiplier,
                                 unsigned long& readConstant, unsigned long& writeMultiplier,
                                 unsigned long& writeConstant) {
    if (!PortHandle.GetTimeouts(Timeouts)) {
        PrintError(true, kLineGetTimeoutsFailed, kMsgError, 0, PortHandle.LastError(),
                   "(GetTimeouts) GetCommTimeouts failed!");
        return false;
    }
    readInterval = Timeouts.ReadIntervalTimeout;
    readMultiplier = Timeouts.ReadTotalTimeoutMultiplier;
    readConstant = Timeouts.ReadTotalTimeoutConstant;
    writeMultiplier = Timeouts.WriteTotalTimeoutMultiplier;
    writeConstant = Timeouts.WriteTotalTimeoutConstant;
    return true;
}

bool TVynSerialPort::SetTimeouts(unsigned long readInterval, unsigned long readMultiplier,
                                 unsigned long readConstant, unsigned long writeMultiplier,
                                 unsigned long writeConstant) {
    if (!PortHandle.GetTimeouts(Timeouts)) {
        PrintError(true, kLineSetTimeoutsGetFailed, kMsgError, 0, PortHandle.LastError(),
                   "(SetTimeouts) GetCommTimeouts failed!");
        return false;
    }
    Timeouts = {
        static_cast<std::uint32_t>(readInterval), static_cast<std::uint32_t>(readMultiplier),
        static_cast<std::uint32_t>(readConstant), static_cast<std::uint32_t>(writeMultiplier),
        static_cast<std::uint32_t>(writeConstant)};
    if (!PortHandle.SetTimeouts(Timeouts)) {
        PrintError(true, kLineSetTimeoutsSetFailed, kMsgError, 0, PortHandle.LastError(),
                   "(SetTimeouts) SetCommTimeouts failed!");
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Diagnostics

void TVynSerialPort::PrintDebug(bool direct, int line, int type, int level, const char* format,
                                ...) {
    VYN_FORMAT_TEXT(text, format);
    Print(direct, line, type, level, text);
}

void TVynSerialPort::PrintError(bool direct, int line, int type, int level, int errorCode,
                                const char* format, ...) {
    VYN_FORMAT_TEXT(message, format);
    std::string joined = FormatText("%s: %s", message.c_str(), SystemErrorText(errorCode).c_str());
    StripLineEnd(joined);
    Print(direct, line, type, level, joined);
}

void TVynSerialPort::Print(bool direct, int line, int type, int level, const std::string& text) {
    if (direct) {
        if (OnText) {
            OnText(this, kModule, line, type, level, text.c_str());
        }
        return;
    }
    {
        std::lock_guard lock(TextMutex);
        if (TextQueue.size() < static_cast<std::size_t>(kSerialTextQueueLimit)) {
            TextQueue.push_back({line, type, level, text.substr(0, kTextBufferSize - 1)});
        } else {
            ++TextsLost;
        }
    }
    ArmDeferredCall(TimerWnd, TextKey(), 0, [this] { TextEventHandler(); });
}

void TVynSerialPort::TextEventHandler() {
    CancelDeferredCall(TimerWnd, TextKey());
    std::deque<TQueuedText> texts;
    int lost = 0;
    {
        std::lock_guard lock(TextMutex);
        texts.swap(TextQueue);
        std::swap(lost, TextsLost);
    }
    // OnText may close or reopen the port; what it prints then comes after
    // these lines, which were printed before.
    for (const TQueuedText& t : texts) {
        if (OnText) {
            OnText(this, kModule, t.Line, t.Type, t.Level, t.Text.c_str());
        }
    }
    if (lost > 0 && OnText) {
        const std::string text = FormatText("(Serial) %d diagnostic lines lost", lost);
        OnText(this, kModule, kLineTextsLost, kMsgWarning, 0, text.c_str());
    }
}

// ---------------------------------------------------------------------------
// Sending

bool TVynSerialPort::TxData(const unsigned char* data, int len) {
    if (!Initialised || !SerialState || LineLost) {
        return false;
    }
    if (!TxThread.PutData(reinterpret_cast<const char*>(data), len)) {
        PrintDebug(true, kLineTxQueueFull, kMsgError, 0,
                   "(TxData) %d bytes refused: %d waiting, at most %d", len, TxThread.Unread(),
                   TxThread.Limit());
        return false;
    }
    if (TxEventReady) {
        TxEvent.Set();
    }
    return true;
}

bool TVynSerialPort::TxText(const char* format, ...) {
    VYN_FORMAT_TEXT(text, format);
    return TxData(reinterpret_cast<const unsigned char*>(text.data()),
                  static_cast<int>(text.size()));
}

void TVynSerialPort::SendThread(TVynSerialPort* port) {
    port->SendFunc();
}

void TVynSerialPort::SendFunc() {
    TxEvent.ResetEvent();
    TxEventReady = true;
    // Bytes queued between Open and this moment were accepted (TxData said
    // so): send them now rather than with some later TxData that may never
    // come.
    TxEvent.Set();
    for (;;) {
        const int woke = WaitForAny({&TxEvent, &TxStopEvent}, 500);
        if (woke == 0) {
            // One wake-up sends everything queued, a buffer at a time, unless
            // a stop comes in between.
            for (bool first = true;; first = false) {
                if (!first && TxStopEvent.IsSet()) {
                    break;
                }
                const int n =
                    TxThread.GetData(reinterpret_cast<char*>(TxBuffer), kSerialBufferSize);
                if (n <= 0) {
                    break;
                }
                SendRoutine(TxBuffer, n);
            }
        } else if (woke == 1) {
            break;
        }
    }
    TxEventReady = false;
}

bool TVynSerialPort::SendRoutine(unsigned char* data, int len) {
    if (!PortHandle.IsOpen()) {
        PrintDebug(false, kLineTxInvalidHandle, kMsgError, 0, "(TX thread) Invalid port handle");
        return false;
    }
    // Write what the driver takes; wait for room for the rest, or for the
    // stop event, which ends the write at once (the purge at close drops what
    // was not sent). No operation outlives this call.
    int written = 0;
    while (written < len) {
        int error = 0;
        const long n =
            PortHandle.Write(data + written, static_cast<std::size_t>(len - written), error);
        if (n > 0) {
            written += static_cast<int>(n);
            continue;
        }
        if (n < 0 && TSerialDevice::IsLineGone(error)) {
            // Nothing more can go out: say so once, and count what is lost.
            ReportLineGone(kLineWriteFailed, "TX", error);
            const int dropped = len - written + TxThread.Discard();
            PrintDebug(false, kLineTxDropped, kMsgError, 0, "(TX thread) %d bytes not sent%s",
                       dropped, ": the line is gone");
            return true;
        }
        if (n < 0) {
            PrintError(false, kLineWriteFailed, kMsgError, 0, error,
                       "(TX thread) Error %d in WriteFile", error);
            PrintDebug(false, kLineTxDropped, kMsgError, 0, "(TX thread) %d bytes not sent%s",
                       len - written, "");
            PortHandle.ClearError();
            return true;
        }
        const int woke = WaitForAny({&TxStopEvent}, {PortHandle.Fd(), false, true}, kWaitInfinite);
        if (woke == 0) {
            return true;
        }
        if (woke == kWaitFailed) {
            PrintError(false, kLineTxWaitFailed, kMsgError, 0, LastWaitError(),
                       "(TX thread) WAIT_FAILED");
            PortHandle.ClearError();
            return true;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Receiving

void TVynSerialPort::ReceiveThread(TVynSerialPort* port) {
    port->ReceiveFunc();
}

void TVynSerialPort::ReportLineGone(int line, const char* thread, int error) {
    if (!LineLost.exchange(true)) {
        PrintError(false, line, kMsgError, 0, error, "(%s thread) Error %d in %sFile", thread,
                   error, line == kLineReadFailed ? "Read" : "Write");
    }
}

// The device's own count of bytes it could not keep (a real UART's overruns;
// a pseudo-terminal has none): a growth is reported with its size.
void TVynSerialPort::CheckOverruns(bool& counted, std::uint64_t& known) {
    std::uint64_t now = 0;
    if (!counted || !PortHandle.OverrunCount(now)) {
        return;
    }
    if (now > known) {
        PrintDebug(false, kLineRxOverrun, kMsgError, 0,
                   "(RX thread) %llu bytes lost by the device (overrun)",
                   static_cast<unsigned long long>(now - known));
    }
    known = now;
}

// Called with the receive queue full: waits until the owner has taken some
// (true) or the port is stopping (false). Meanwhile the driver keeps what
// arrives and, with flow control, holds the sender back.
bool TVynSerialPort::WaitForRxRoom() {
    // The flag is raised before each look at the queue, so a delivery that
    // empties it after the look always sets the event.
    for (;;) {
        RxWaitingForRoom = true;
        if (RxThread.Room() > 0) {
            break;
        }
        if (WaitForAny({&RxStopEvent, &RxRoomEvent}, kWaitInfinite) == 0) {
            RxWaitingForRoom = false;
            return false;
        }
    }
    RxWaitingForRoom = false;
    return true;
}

void TVynSerialPort::ReceiveFunc() {
    if (!PortHandle.IsOpen()) {
        PrintDebug(false, kLineRxInvalidHandle, kMsgError, 0, "(RX thread) Invalid port handle");
        return;
    }
    std::uint64_t overruns = 0;
    bool overrunsCounted = PortHandle.OverrunCount(overruns);
    // A read is "pending" while nothing has arrived: the thread then waits
    // for the device to become readable (or to report an error or a hang-up)
    // or for the stop event, instead of reading again at once.
    bool readPending = false;
    bool hungUp = false;   // the device reported a hang-up: what is left is read
    bool lineGone = false; // nothing more can come: stop watching the device
    for (;;) {
        if (!readPending) {
            // Never read more than the queue takes: what stays in the driver
            // is held there, not lost.
            const int room = RxThread.Room();
            if (room == 0) {
                if (!WaitForRxRoom()) {
                    break;
                }
                continue;
            }
            int error = 0;
            const long n = PortHandle.Read(
                RxBuffer, static_cast<std::size_t>(std::min<int>(room, sizeof RxBuffer)), error);
            if (n > 0) {
                OvRead(RxBuffer, static_cast<int>(n));
                CheckOverruns(overrunsCounted, overruns);
            } else if (n == 0) {
                readPending = true;
                if (hungUp) {
                    // The other end has gone: say so once, then wait only for
                    // the stop event instead of spinning on the hang-up.
                    ReportLineGone(kLineReadFailed, "RX", kErrorLineGone);
                    lineGone = true;
                }
            } else if (TSerialDevice::IsLineGone(error)) {
                ReportLineGone(kLineReadFailed, "RX", error);
                readPending = true;
                lineGone = true;
            } else {
                PrintError(false, kLineReadFailed, kMsgError, 0, error,
                           "(RX thread) Error %d in ReadFile", error);
                readPending = true;
            }
            continue;
        }
        const int woke = WaitForAny({&RxStopEvent}, {lineGone ? -1 : PortHandle.Fd(), true, false},
                                    kWaitInfinite);
        if (woke == 0) {
            break;
        }
        if (woke == 1) {
            // Plain readiness needs no second look at the device.
            const TLineCondition condition =
                LastWaitFdEvents().Other ? PortHandle.Condition() : TLineCondition{};
            if (condition.Error) {
                OvStatus(kEventError);
                CheckOverruns(overrunsCounted, overruns);
            }
            hungUp = condition.HangUp;
            readPending = false;
        } else if (woke == kWaitTimeout) {
            PortHandle.ClearError();
        }
    }
}

void TVynSerialPort::OvRead(unsigned char* data, int len) {
    if (len == 0) {
        return;
    }
    // The receive thread reads only what the queue has room for.
    static_cast<void>(RxThread.PutData(reinterpret_cast<const char*>(data), len));
    // An arrival that finds no delivery waiting is handed to the owner as
    // soon as its thread is free: a reply to a request never waits for more
    // bytes that may not come. Arrivals that find one waiting (the owner is
    // busy, or a burst outruns its thread) join it, so a burst still reaches
    // the owner in as few calls as its thread allows. The delivery clears
    // its pending mark before it takes the bytes, so none is left behind.
    if (!DeferredCallPending(TimerWnd, DataKey())) {
        ArmDeferredCall(TimerWnd, DataKey(), 0, [this] { DataEventHandler(); });
    }
}

int TVynSerialPort::RxUnread() {
    return RxThread.Unread();
}

int TVynSerialPort::TxUnsent() {
    return TxThread.Unread();
}

bool TVynSerialPort::RxDeliveryPending() const {
    return TimerWnd != nullptr && DeferredCallPending(TimerWnd, DataKey());
}

void TVynSerialPort::OvStatus(unsigned long mask) {
    if ((mask & kEventError) != 0) {
        PortHandle.ClearError();
    }
    if ((mask & kEventBreak) != 0) {
        PortHandle.ClearBreak();
    }
}

void TVynSerialPort::DataEventHandler() {
    CancelDeferredCall(TimerWnd, DataKey());
    const int n = RxThread.GetData(reinterpret_cast<char*>(RxDataBuffer), kSerialBufferSize);
    if (n > 0 && RxWaitingForRoom.exchange(false)) {
        RxRoomEvent.Set();
    }
    // More than one delivery's worth: the next follows as soon as the owner's
    // thread is free again.
    if (RxThread.Unread() > 0) {
        ArmDeferredCall(TimerWnd, DataKey(), 0, [this] { DataEventHandler(); });
    }
    if (OnRxData) {
        OnRxData(this, RxDataBuffer, n);
    }
}

QString TVynSerialPort::PortProperty() const {
    return ToQString(Port);
}

void TVynSerialPort::SetPortProperty(const QString& port) {
    Port = FromQString(port);
}
