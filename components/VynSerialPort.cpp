#include "VynSerialPort.h"

#include "DeferredCall.h"
#include "LineEnd.h"
#include "Palette.h"
#include "VynUtil.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstring>

namespace Vynserialport {
void Register() {
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

TSerialThread::TSerialThread(std::string name) : Name(std::move(name)) {}

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

void TSerialThread::PutData(const char* data, int count) {
    if (count <= 0) {
        return;
    }
    Lock();
    // Byte by byte, a position written twice keeps the later byte: only the
    // last ring's worth of data can be left, and the write index moves on by
    // the whole count.
    const int skip = count > kSerialBufferSize ? count - kSerialBufferSize : 0;
    int at = static_cast<int>((static_cast<long long>(WriteIndex) + skip) % kSerialBufferSize);
    const int kept = count - skip;
    const int first = std::min(kept, kSerialBufferSize - at);
    std::memcpy(Buffer + at, data + skip, static_cast<std::size_t>(first));
    std::memcpy(Buffer, data + skip + first, static_cast<std::size_t>(kept - first));
    at += kept;
    WriteIndex = at >= kSerialBufferSize ? at - kSerialBufferSize : at;
    Unlock();
}

int TSerialThread::GetData(char* destination, int maximum) {
    Lock();
    const int unread = (WriteIndex - ReadIndex + kSerialBufferSize) % kSerialBufferSize;
    const int copied = std::max(0, std::min(unread, maximum));
    const int first = std::min(copied, kSerialBufferSize - ReadIndex);
    std::memcpy(destination, Buffer + ReadIndex, static_cast<std::size_t>(first));
    std::memcpy(destination + first, Buffer, static_cast<std::size_t>(copied - first));
    ReadIndex += copied;
    if (ReadIndex >= kSerialBufferSize) {
        ReadIndex -= kSerialBufferSize;
    }
    Unlock();
    return copied;
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
    for (TEvent* event : {&TxStopEvent, &TxEvent}) {
        if (!event->Create()) {
            PrintError(true, kLineTxThreadNotCreated, kMsgError, 0, event->Error(),
                       "(Open) CreateThread TX failed!");
            return false;
        }
    }
    if (!OpenPort()) {
        return false;
    }
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
    if (!PortHandle.Purge()) {
        PrintError(true, kLinePurgeFailed, kMsgError, 0, PortHandle.LastError(),
                   "(Close) PurgeComm failed!");
        return false;
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
        const std::size_t n = std::min(text.size(), sizeof TextBuffer - 1);
        std::memcpy(TextBuffer, text.data(), n);
        TextBuffer[n] = '\0';
        TextLine = line;
        TextType = type;
        TextLevel = level;
    }
    ArmDeferredCall(TimerWnd, TextKey(), 0, [this] { TextEventHandler(); });
}

void TVynSerialPort::TextEventHandler() {
    CancelDeferredCall(TimerWnd, TextKey());
    char text[sizeof TextBuffer];
    int line = 0;
    int type = 0;
    int level = 0;
    {
        std::lock_guard lock(TextMutex);
        std::memcpy(text, TextBuffer, sizeof text);
        line = TextLine;
        type = TextType;
        level = TextLevel;
    }
    if (OnText) {
        OnText(this, kModule, line, type, level, text);
    }
}

// ---------------------------------------------------------------------------
// Sending

bool TVynSerialPort::TxData(const unsigned char* data, int len) {
    if (!Initialised || !SerialState) {
        return false;
    }
    TxThread.PutData(reinterpret_cast<const char*>(data), len);
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
            const int n = TxThread.GetData(reinterpret_cast<char*>(TxBuffer), kSerialBufferSize);
            if (n > 0) {
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
        if (n < 0) {
            PrintError(false, kLineWriteFailed, kMsgError, 0, error,
                       "(TX thread) Error %d in WriteFile", error);
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

void TVynSerialPort::ReceiveFunc() {
    if (!PortHandle.IsOpen()) {
        PrintDebug(false, kLineRxInvalidHandle, kMsgError, 0, "(RX thread) Invalid port handle");
        return;
    }
    // A read is "pending" while nothing has arrived: the thread then waits
    // for the device to become readable (or to report an error or a hang-up)
    // or for the stop event, instead of reading again at once.
    bool readPending = false;
    bool hungUp = false;   // the device reported a hang-up: what is left is read
    bool lineGone = false; // nothing more can come: stop watching the device
    for (;;) {
        if (!readPending) {
            int error = 0;
            const long n = PortHandle.Read(RxBuffer, sizeof RxBuffer, error);
            if (n > 0) {
                OvRead(RxBuffer, static_cast<int>(n));
            } else if (n == 0) {
                readPending = true;
                if (hungUp) {
                    // The other end has gone: say so once, then wait only for
                    // the stop event instead of spinning on the hang-up.
                    PrintError(false, kLineReadFailed, kMsgError, 0, kErrorLineGone,
                               "(RX thread) Error %d in ReadFile", kErrorLineGone);
                    lineGone = true;
                }
            } else {
                PrintError(false, kLineReadFailed, kMsgError, 0, error,
                           "(RX thread) Error %d in ReadFile", error);
                readPending = true;
                lineGone = TSerialDevice::IsLineGone(error);
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
    RxThread.PutData(reinterpret_cast<const char*>(data), len);
    // Every arrival re-arms the same delivery: a burst arrives in one call.
    // Once the ring is half full the owner is asked at once instead of a
    // millisecond later, before more arrivals could overwrite unread bytes.
    const int unread = RxUnread();
    const int delayMs = unread >= kSerialBufferSize / 2 ? 0 : 1;
    ArmDeferredCall(TimerWnd, DataKey(), delayMs, [this] { DataEventHandler(); });
}

int TVynSerialPort::RxUnread() {
    RxThread.Lock();
    const int unread =
        (RxThread.WriteIndex - RxThread.ReadIndex + kSerialBufferSize) % kSerialBufferSize;
    RxThread.Unlock();
    return unread;
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
    if (OnRxData) {
        OnRxData(this, RxDataBuffer, n);
    }
}
