#pragma once
/// \class TVynSerialPort VynSerialPort.h <vyn/VynSerialPort.h>
/// TVynSerialPort: one serial device with a receive thread and a transmit
/// thread. Received bytes and diagnostic lines reach the owner through two
/// events that always run on the owner's GUI thread (through deferred calls on
/// the window given to Init). Sending only copies into a ring; the transmit
/// thread writes. Diagnostics: module "Serial", a fixed line number per
/// message, type 0 comment / 3 warning / 4 error, level 0 or 1.
///
/// Owner's calling order: construct, set properties, Init(window), Open(),
/// TxData/TxText while events arrive, Close(), destroy. All public operations
/// run on the owner's thread. Destroying an open port closes it first;
/// nothing is delivered after destruction.
///
/// Nothing received or accepted for sending is dropped quietly. The transmit
/// queue grows as needed up to kSerialTxQueueLimit bytes; TxData refuses (false,
/// nothing of that call queued, one diagnostic line) what would pass it. The
/// receive queue grows up to kSerialRxQueueLimit; past it the receive thread
/// stops reading until the owner has taken some, so the device driver and the
/// flow control hold the rest. Each OnRxData hands at most kSerialBufferSize
/// bytes; deliveries repeat until the queue is empty. Bytes that arrive while
/// no delivery is waiting reach the owner as soon as its thread is free;
/// bytes that arrive while one waits join it, so a burst collapses into as
/// few deliveries as the owner's thread allows. Bytes the device reports
/// lost (an overrun) and bytes a vanished line could not take are counted in a
/// diagnostic line. A line that has gone is reported once; TxData then returns
/// false until the port is closed and opened again.

#include "Event.h"
#include "SerialDevice.h"
#include "VynExport.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

/// The parity of a line (Parity).
enum TParityStyle : std::uint8_t {
    parNone = 0,
    parOdd = 1,
    parEven = 2,
    parMark = 3,
    parSpace = 4
};
/// The stop bits of a line (Stopbits): one, one and a half, two.
enum TStopbitStyle : std::uint8_t { stopbitOne = 0, stopbitOne5 = 1, stopbitTwo = 2 };
/// The flow control of a line (FlowCtrl): none, XON/XOFF, RTS/CTS.
enum TFlowStyle : std::uint8_t { flowNone = 0, flowSoftware = 1, flowHardware = 2 };

/// (Sender, Data, len): received bytes, valid during the call only.
using TRxDataEvent = std::function<void(QObject* Sender, unsigned char* Data, int len)>;
/// (Sender, Module, Line, Type, Level, Text): one diagnostic line; after the
/// sender, the parameters of TVynRichEdit::DoPrintDebug and
/// TVynLogfile::DoWriteLine.
using TTextEvent = std::function<void(QObject* Sender, const char* Module, int Line, int Type,
                                      int Level, const char* Text)>;

/// The most bytes one OnRxData delivery hands over and one write takes.
inline constexpr int kSerialBufferSize = 8192;
/// The most bytes waiting to be sent (TxData refuses beyond) and waiting to be
/// delivered (the receive thread pauses beyond).
///@{
inline constexpr int kSerialTxQueueLimit = 16 << 20;
inline constexpr int kSerialRxQueueLimit = 1 << 20;
///@}
/// The most worker diagnostics waiting for the owner; beyond it they are
/// counted and the count is delivered instead (kLineTextsLost).
inline constexpr int kSerialTextQueueLimit = 256;

/// The line numbers of the port's diagnostic lines (OnText's Line). Owners
/// filter and route diagnostics by them, so they are part of the component's
/// contract and never change.
enum TSerialDiagLine : int {
    kLineRxThreadNotCreated = 290,   ///< "(Open) CreateThread RX failed!"
    kLineTxThreadNotCreated = 296,   ///< "(Open) CreateThread TX failed!"
    kLineStarted = 302,              ///< "SerialPort started (%s %u)"
    kLineStopped = 328,              ///< "SerialPort stopped"
    kLineGetTimeoutsFailed = 348,    ///< "(GetTimeouts) GetCommTimeouts failed!"
    kLineSetTimeoutsGetFailed = 377, ///< "(SetTimeouts) GetCommTimeouts failed!"
    kLineSetTimeoutsSetFailed = 390, ///< "(SetTimeouts) SetCommTimeouts failed!"
    kLineOpenFailed = 535,           ///< "(Open) Unable to open ..."
    kLineGetStateFailed = 560,       ///< "(Open) GetCommState failed!"
    kLineSetStateFailed = 611,       ///< "(Open) SetCommState failed!"
    kLineOpenTimeoutsFailed = 631,   ///< "(Open) SetCommTimeouts failed!"
    kLinePurgeFailed = 657,          ///< "(Close) PurgeComm failed!"
    kLineTxThreadExitError = 686,    ///< "(TX thread) TSerialThread exit error"
    kLineRxThreadExitError = 691,    ///< "(RX thread) TSerialThread exit error"
    kLineRxInvalidHandle = 748,      ///< "(RX thread) Invalid port handle"
    kLineReadFailed = 788,           ///< "(RX thread) Error %d in ReadFile"
    kLineRxOverrun = 795,            ///< "(RX thread) %llu bytes lost by the device (overrun)"
    kLineTxInvalidHandle = 1005,     ///< "(TX thread) Invalid port handle"
    kLineTxWaitFailed = 1060,        ///< "(TX thread) WAIT_FAILED"
    kLineWriteFailed = 1074,         ///< "(TX thread) Error %d in WriteFile"
    kLineTxDropped = 1080,           ///< "(TX thread) %d bytes not sent: the line is gone"
    kLineTxQueueFull = 1090,         ///< "(TxData) %d bytes refused: %d waiting, at most %d"
    kLineTextsLost = 1095,           ///< "(Serial) %d diagnostic lines lost"
};

class TVynSerialPort;

/// Tests only: the pause after configuring the device in Open (50 ms, for
/// devices whose lines must settle); a negative value restores it.
VYN_EXPORT void SetSerialSettleTimeForTesting(int milliseconds);

/// A worker thread of TVynSerialPort and its byte queue. All queues of all
/// ports share one lock, held for the length of one queue operation.
class VYN_EXPORT TSerialThread {
public:
    /// A stopped thread called `name` ("RX", "TX") with an empty queue of at
    /// most `limit` bytes.
    explicit TSerialThread(std::string name, int limit = kSerialTxQueueLimit);
    /// Stops the thread (Stop) if it runs.
    ~TSerialThread();
    TSerialThread(const TSerialThread&) = delete;
    TSerialThread& operator=(const TSerialThread&) = delete;

    /// Starts the thread on entry(parameter) unless one runs (then true).
    bool Start(const std::string& portName, void (*entry)(TVynSerialPort*),
               TVynSerialPort* parameter);
    /// Waits up to 500 ms for the thread to end by itself; false when it did
    /// not (it is then waited for until it does: every wait of the workers
    /// ends on the stop events, so it cannot hang).
    bool Stop();
    /// Whether a thread was started and not yet stopped.
    bool Running() const { return m_thread.joinable(); }

    /// The writer and reader sides of the queue (any thread). PutData stores
    /// all count bytes, or none and false when they would take the unread
    /// bytes past Limit(). GetData takes the oldest, at most maximum.
    bool PutData(const char* data, int count);
    /// Takes the oldest unread bytes, at most `maximum`; returns how many.
    int GetData(char* destination, int maximum);
    /// The unread bytes.
    int Unread();
    /// How many more bytes PutData takes.
    int Room();
    /// Discards every unread byte and says how many there were.
    int Discard();
    /// The most unread bytes the queue holds.
    int Limit() const { return m_limit; }
    ///@{
    /// Takes and gives back the queues' shared lock (not recursive).
    void Lock();
    void Unlock();
    ///@}

    std::string Name;           ///< "RX" or "TX", for diagnostics
    std::string PortName;       ///< the device the thread serves, set by Start
    std::uint32_t ThreadId = 0; ///< a number for the running thread, for diagnostics
    /// The system's error code when the last Start could not start a thread.
    int StartError = 0;
    /// Whether Lock was ever called (Unlock before that does nothing).
    std::atomic<bool> SemaphoreCreated{false};

private:
    void Grow(std::size_t needed);

    /// A ring whose size is a power of two; it grows (never beyond what the
    /// limit needs) when a put does not fit, and shrinks back once empty.
    std::vector<unsigned char> m_ring;
    std::size_t m_read = 0;
    std::size_t m_unread = 0;
    int m_limit;
    std::thread m_thread;
    std::mutex m_doneMutex;
    std::condition_variable m_doneSignal;
    bool m_done = false;
};

class VYN_EXPORT TVynSerialPort : public QObject {
    Q_OBJECT

public:
    // The published properties, for Qt's property system: each reads and
    // writes its field only, as the fields do (Port as Windows-1252 text;
    // Parity, Stopbits and FlowCtrl as the numbers of their styles).
    Q_PROPERTY(QString Port READ PortProperty WRITE SetPortProperty)
    Q_PROPERTY(int Baudrate MEMBER Baudrate)
    Q_PROPERTY(int Databits MEMBER Databits)
    Q_PROPERTY(int Parity READ ParityProperty WRITE SetParityProperty)
    Q_PROPERTY(int Stopbits READ StopbitsProperty WRITE SetStopbitsProperty)
    Q_PROPERTY(int BufferSize MEMBER BufferSize)
    Q_PROPERTY(int FlowCtrl READ FlowCtrlProperty WRITE SetFlowCtrlProperty)

    /// A closed port with the default properties; call Init before Open.
    explicit TVynSerialPort(QObject* owner = nullptr);
    /// Closes the port if open; nothing is delivered afterwards.
    ~TVynSerialPort() override;

    // Published properties. Writing one touches only the field; the setters
    // below also write it to an open device.
    TRxDataEvent OnRxData;               ///< received bytes, on the owner's thread
    TTextEvent OnText;                   ///< diagnostic lines, on the owner's thread
    std::string Port = "COM1";           ///< the device name (Windows-1252): "/dev/ttyUSB0", "COM1"
    int Baudrate = 9600;                 ///< bits per second
    int Databits = 8;                    ///< 5 to 8
    TParityStyle Parity = parNone;       ///< the line's parity
    TStopbitStyle Stopbits = stopbitOne; ///< the line's stop bits
    int BufferSize = 8192;               ///< the device's queue sizes asked for at Open
    TFlowStyle FlowCtrl = flowNone;      ///< the line's flow control
    ///@{
    /// The accessors of the Qt properties Port (as QString), Parity, Stopbits
    /// and FlowCtrl (as numbers); they touch only the fields.
    QString PortProperty() const;
    void SetPortProperty(const QString& port);
    int ParityProperty() const { return static_cast<int>(Parity); }
    void SetParityProperty(int value) { Parity = static_cast<TParityStyle>(value); }
    int StopbitsProperty() const { return static_cast<int>(Stopbits); }
    void SetStopbitsProperty(int value) { Stopbits = static_cast<TStopbitStyle>(value); }
    int FlowCtrlProperty() const { return static_cast<int>(FlowCtrl); }
    void SetFlowCtrlProperty(int value) { FlowCtrl = static_cast<TFlowStyle>(value); }
    ///@}

    /// The window (any QObject of the owner's thread) that deliveries run on.
    void Init(QObject* window);
    /// Opens Port with the properties and starts both threads; true when the
    /// port is open (also when it was). False before Init, or with one
    /// diagnostic line saying why (no such device, in use, refused settings).
    bool Open();
    /// Stops both threads, discards what was not sent and closes the device;
    /// true when closed (also when it was). False only before Init.
    bool Close();
    /// Whether the port is open.
    bool GetSerialState() const { return SerialState; }
    /// Writes Baudrate, Databits, Parity and Stopbits to the open device.
    bool Update();

    ///@{
    /// A line setting; the setters store the field and Update an open
    /// device (false when it is closed or refuses, the field still set).
    int GetBaudrate() const { return Baudrate; }
    bool SetBaudrate(int value);
    int GetDatabits() const { return Databits; }
    bool SetDatabits(int value);
    TParityStyle GetParity() const { return Parity; }
    bool SetParity(TParityStyle value);
    TStopbitStyle GetStopbits() const { return Stopbits; }
    bool SetStopbits(TStopbitStyle value);
    ///@}

    ///@{
    /// The open device's read and write timeouts, in milliseconds (interval
    /// between bytes, per byte, constant); false, with one diagnostic line,
    /// when the device refuses.
    bool GetTimeouts(unsigned long& readInterval, unsigned long& readMultiplier,
                     unsigned long& readConstant, unsigned long& writeMultiplier,
                     unsigned long& writeConstant);
    bool SetTimeouts(unsigned long readInterval, unsigned long readMultiplier,
                     unsigned long readConstant, unsigned long writeMultiplier,
                     unsigned long writeConstant);
    ///@}

    /// Queue bytes for sending; false when the port is not open, its line has
    /// gone, or the queue cannot take them all (then nothing is queued). Never
    /// blocks.
    bool TxData(const unsigned char* data, int len);
    /// Formats (printf, at most 999 characters) and queues the text as TxData.
    bool TxText(const char* format, ...) __attribute__((format(printf, 2, 3)));

    /// The device-control record OpenPort writes for the current properties
    /// into a record read from the device.
    TDeviceControl BuildDeviceControl(TDeviceControl dcb) const;

    /// For diagnostics (and tests): bytes received and not yet handed to
    /// OnRxData, and whether their delivery is on its way; bytes accepted by
    /// TxData and not yet handed to the device. Any thread.
    ///@{
    int RxUnread();
    int TxUnsent();
    bool RxDeliveryPending() const;
    ///@}

private:
    bool OpenPort();
    bool ClosePort();
    bool CloseThreads();
    void PrintDebug(bool direct, int line, int type, int level, const char* format, ...)
        __attribute__((format(printf, 6, 7)));
    void PrintError(bool direct, int line, int type, int level, int errorCode, const char* format,
                    ...) __attribute__((format(printf, 7, 8)));
    void Print(bool direct, int line, int type, int level, const std::string& text);
    void TextEventHandler();
    void DataEventHandler();

    static void ReceiveThread(TVynSerialPort* port);
    static void SendThread(TVynSerialPort* port);
    void ReceiveFunc();
    void SendFunc();
    void OvRead(unsigned char* data, int len);
    bool WaitForRxRoom();
    /// "(RX thread) Error %d in ReadFile" or the TX one, once per open line.
    void ReportLineGone(int line, const char* thread, int error);
    void CheckOverruns(bool& counted, std::uint64_t& known);
    void OvStatus(unsigned long mask);
    bool SendRoutine(unsigned char* data, int len);

    std::uintptr_t DataKey() const { return reinterpret_cast<std::uintptr_t>(this); }
    std::uintptr_t TextKey() const { return reinterpret_cast<std::uintptr_t>(this) + 1; }

    bool Initialised = false;
    std::atomic<bool> SerialState{false};
    unsigned char RxBuffer[kSerialBufferSize] = {};
    unsigned char TxBuffer[kSerialBufferSize] = {};
    unsigned char RxDataBuffer[kSerialBufferSize] = {};
    QObject* TimerWnd = nullptr;
    TSerialThread TxThread{"TX", kSerialTxQueueLimit};
    TSerialThread RxThread{"RX", kSerialRxQueueLimit};
    TEvent RxStopEvent{TEvent::Reset::Manual};
    TEvent TxStopEvent{TEvent::Reset::Manual};
    /// Wakes the transmit thread; "exists" (may be signalled) only while that
    /// thread runs.
    TEvent TxEvent{TEvent::Reset::Auto};
    std::atomic<bool> TxEventReady{false};
    /// Wakes the receive thread when it waits for room in a full queue.
    TEvent RxRoomEvent{TEvent::Reset::Auto};
    std::atomic<bool> RxWaitingForRoom{false};
    /// Set by the first worker that finds the line gone (and reports it).
    std::atomic<bool> LineLost{false};
    /// Diagnostics of the worker threads, delivered in order on the owner's
    /// thread.
    struct TQueuedText {
        int Line;
        int Type;
        int Level;
        std::string Text;
    };
    std::mutex TextMutex;
    std::deque<TQueuedText> TextQueue;
    int TextsLost = 0;
    TDeviceTimeouts Timeouts;
    TSerialDevice PortHandle;
};
