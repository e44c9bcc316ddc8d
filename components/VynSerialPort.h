#pragma once
// TVynSerialPort: one serial device with a receive thread and a transmit
// thread. Received bytes and diagnostic lines reach the owner through two
// events that always run on the owner's GUI thread (through deferred calls on
// the window given to Init). Sending only copies into a ring; the transmit
// thread writes. Diagnostics: module "Serial", a fixed line number per
// message, type 0 comment / 3 warning / 4 error, level 0 or 1.
//
// Owner's calling order: construct, set properties, Init(window), Open(),
// TxData/TxText while events arrive, Close(), destroy. All public operations
// run on the owner's thread. Destroying an open port closes it first;
// nothing is delivered after destruction.
//
// TSerialThread: a worker thread and its 8192-byte ring. All rings of all
// ports share one lock, held for the length of one ring operation.

#include "Event.h"
#include "SerialDevice.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

enum TParityStyle : std::uint8_t {
    parNone = 0,
    parOdd = 1,
    parEven = 2,
    parMark = 3,
    parSpace = 4
};
enum TStopbitStyle : std::uint8_t { stopbitOne = 0, stopbitOne5 = 1, stopbitTwo = 2 };
enum TFlowStyle : std::uint8_t { flowNone = 0, flowSoftware = 1, flowHardware = 2 };

// (Sender, Data, len): received bytes, valid during the call only.
using TRxDataEvent = std::function<void(QObject* Sender, unsigned char* Data, int len)>;
// (Sender, Module, Line, Type, Level, Text): one diagnostic line; after the
// sender, the parameters of TVynRichEdit::DoPrintDebug and
// TVynLogfile::DoWriteLine.
using TTextEvent = std::function<void(QObject* Sender, const char* Module, int Line, int Type,
                                      int Level, const char* Text)>;

inline constexpr int kSerialBufferSize = 8192;

// The line numbers of the port's diagnostic lines (OnText's Line). Owners
// filter and route diagnostics by them, so they are part of the component's
// contract and never change.
enum TSerialDiagLine : int {
    kLineRxThreadNotCreated = 290,   // "(Open) CreateThread RX failed!"
    kLineTxThreadNotCreated = 296,   // "(Open) CreateThread TX failed!"
    kLineStarted = 302,              // "SerialPort started (%s %u)"
    kLineStopped = 328,              // "SerialPort stopped"
    kLineGetTimeoutsFailed = 348,    // "(GetTimeouts) GetCommTimeouts failed!"
    kLineSetTimeoutsGetFailed = 377, // "(SetTimeouts) GetCommTimeouts failed!"
    kLineSetTimeoutsSetFailed = 390, // "(SetTimeouts) SetCommTimeouts failed!"
    kLineOpenFailed = 535,           // "(Open) Unable to open ..."
    kLineGetStateFailed = 560,       // "(Open) GetCommState failed!"
    kLineSetStateFailed = 611,       // "(Open) SetCommState failed!"
    kLineOpenTimeoutsFailed = 631,   // "(Open) SetCommTimeouts failed!"
    kLinePurgeFailed = 657,          // "(Close) PurgeComm failed!"
    kLineTxThreadExitError = 686,    // "(TX thread) TSerialThread exit error"
    kLineRxThreadExitError = 691,    // "(RX thread) TSerialThread exit error"
    kLineRxInvalidHandle = 748,      // "(RX thread) Invalid port handle"
    kLineReadFailed = 788,           // "(RX thread) Error %d in ReadFile"
    kLineTxInvalidHandle = 1005,     // "(TX thread) Invalid port handle"
    kLineTxWaitFailed = 1060,        // "(TX thread) WAIT_FAILED"
    kLineWriteFailed = 1074,         // "(TX thread) Error %d in WriteFile"
};

class TVynSerialPort;

// Tests only: the pause after configuring the device in Open (50 ms, for
// devices whose lines must settle); a negative value restores it.
void SetSerialSettleTimeForTesting(int milliseconds);

class TSerialThread {
public:
    explicit TSerialThread(std::string name);
    ~TSerialThread();
    TSerialThread(const TSerialThread&) = delete;
    TSerialThread& operator=(const TSerialThread&) = delete;

    // Starts the thread on entry(parameter) unless one runs (then true).
    bool Start(const std::string& portName, void (*entry)(TVynSerialPort*),
               TVynSerialPort* parameter);
    // Waits up to 500 ms for the thread to end by itself; false when it did
    // not (it is then waited for until it does: every wait of the workers
    // ends on the stop events, so it cannot hang).
    bool Stop();
    bool Running() const { return m_thread.joinable(); }

    // The writer and reader sides of the ring (any thread). PutData always
    // stores every byte: beyond 8191 unread bytes the oldest are lost.
    void PutData(const char* data, int count);
    int GetData(char* destination, int maximum);
    void Lock();
    void Unlock();

    std::string Name;
    std::string PortName;
    std::uint32_t ThreadId = 0;
    // The system's error code when the last Start could not start a thread.
    int StartError = 0;
    unsigned char Buffer[kSerialBufferSize] = {};
    int WriteIndex = 0;
    int ReadIndex = 0;
    std::atomic<bool> SemaphoreCreated{false};

private:
    std::thread m_thread;
    std::mutex m_doneMutex;
    std::condition_variable m_doneSignal;
    bool m_done = false;
};

class TVynSerialPort : public QObject {
    Q_OBJECT

public:
    explicit TVynSerialPort(QObject* owner = nullptr);
    ~TVynSerialPort() override;

    // Published properties. Writing one touches only the field; the setters
    // below also write it to an open device.
    TRxDataEvent OnRxData;
    TTextEvent OnText;
    std::string Port = "COM1";
    int Baudrate = 9600;
    int Databits = 8;
    TParityStyle Parity = parNone;
    TStopbitStyle Stopbits = stopbitOne;
    int BufferSize = 8192;
    TFlowStyle FlowCtrl = flowNone;

    // The window (any QObject of the owner's thread) that deliveries run on.
    void Init(QObject* window);
    bool Open();
    bool Close();
    bool GetSerialState() const { return SerialState; }
    // Writes Baudrate, Databits, Parity and Stopbits to the open device.
    bool Update();

    int GetBaudrate() const { return Baudrate; }
    bool SetBaudrate(int value);
    int GetDatabits() const { return Databits; }
    bool SetDatabits(int value);
    TParityStyle GetParity() const { return Parity; }
    bool SetParity(TParityStyle value);
    TStopbitStyle GetStopbits() const { return Stopbits; }
    bool SetStopbits(TStopbitStyle value);

    bool GetTimeouts(unsigned long& readInterval, unsigned long& readMultiplier,
                     unsigned long& readConstant, unsigned long& writeMultiplier,
                     unsigned long& writeConstant);
    bool SetTimeouts(unsigned long readInterval, unsigned long readMultiplier,
                     unsigned long readConstant, unsigned long writeMultiplier,
                     unsigned long writeConstant);

    // Queue bytes for sending; false when the port is not open. Never blocks.
    bool TxData(const unsigned char* data, int len);
    bool TxText(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // The device-control record OpenPort writes for the current properties
    // into a record read from the device.
    TDeviceControl BuildDeviceControl(TDeviceControl dcb) const;

    // For diagnostics (and tests): bytes received and not yet handed to
    // OnRxData, and whether their delivery is on its way. Any thread.
    int RxUnread();
    bool RxDeliveryPending() const;

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
    TSerialThread TxThread{"TX"};
    TSerialThread RxThread{"RX"};
    TEvent RxStopEvent{TEvent::Reset::Manual};
    TEvent TxStopEvent{TEvent::Reset::Manual};
    // Wakes the transmit thread; "exists" (may be signalled) only while that
    // thread runs.
    TEvent TxEvent{TEvent::Reset::Auto};
    std::atomic<bool> TxEventReady{false};
    // The last diagnostic of a worker thread, delivered whole on the owner's
    // thread.
    std::mutex TextMutex;
    char TextBuffer[1000] = {};
    int TextLine = 0;
    int TextType = 0;
    int TextLevel = 0;
    TDeviceTimeouts Timeouts;
    TSerialDevice PortHandle;
};
