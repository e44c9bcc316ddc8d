#pragma once
// A serial device as the serial port component uses it: opened by name for
// exclusive use, configured from a device-control record (the fields the
// component sets, in the platform's own terms), with non-blocking reads and
// writes whose readiness a caller waits for with WaitForAny (Event.h).
//
// One owner thread opens, configures and closes; worker threads may read,
// write, purge and clear errors while it is open. The owner's operations
// return false on failure and leave the error code in LastError(); reads and
// writes hand their error code back to the calling thread with the result.

#include "VynExport.h"

#include <cstdint>
#include <string>

// The device-control record: line speed and character format, flow control
// and the software flow-control limits, with the values of the original
// platform's record.
struct VYN_EXPORT TDeviceControl {
    std::uint32_t BaudRate = 9600;
    std::uint8_t ByteSize = 8;
    std::uint8_t Parity = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t StopBits = 0; // 0 one, 1 one and a half, 2 two
    bool fBinary = true;
    bool fParity = false;
    bool fOutxCtsFlow = false;
    bool fOutxDsrFlow = false;
    std::uint8_t fDtrControl = 1; // 0 disable, 1 enable, 2 handshake
    std::uint8_t fRtsControl = 1; // 0 disable, 1 enable, 2 handshake, 3 toggle
    bool fDsrSensitivity = false;
    bool fTXContinueOnXoff = false;
    bool fOutX = false;
    bool fInX = false;
    bool fErrorChar = false;
    bool fNull = false;
    bool fAbortOnError = false;
    std::uint16_t XonLim = 2048;
    std::uint16_t XoffLim = 512;
    char XonChar = 0x11;
    char XoffChar = 0x13;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
};

inline constexpr std::uint8_t kDtrControlDisable = 0;
inline constexpr std::uint8_t kDtrControlHandshake = 2;
inline constexpr std::uint8_t kRtsControlDisable = 0;
inline constexpr std::uint8_t kRtsControlHandshake = 2;

// The read and write time-outs, in the order the library's serial settings
// have always stored them.
struct VYN_EXPORT TDeviceTimeouts {
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;
};

enum class TOpenResult { Ok, NoSuchDevice, InUse, Failed };

// The errno-style codes of the two open failures the component names.
inline constexpr int kErrorNoSuchDevice = 2; // ENOENT
inline constexpr int kErrorInUse = 16;       // EBUSY
// The code a read reports when the other end has gone (EIO).
inline constexpr int kErrorLineGone = 5;

// What the device reported besides data when it woke a waiter.
struct VYN_EXPORT TLineCondition {
    bool Error = false;  // a line error or a break
    bool HangUp = false; // the other end has gone; what is left can be read
};

// The system's text for an error code.
VYN_EXPORT std::string SystemErrorText(int code);

class VYN_EXPORT TSerialDevice {
public:
    TSerialDevice() = default;
    ~TSerialDevice();
    TSerialDevice(const TSerialDevice&) = delete;
    TSerialDevice& operator=(const TSerialDevice&) = delete;

    // A name without '/' is a device under /dev/ (ttyUSB0); one with '/' is
    // a path (/dev/pts/3). Exclusive: a second open, by anyone, including
    // root, gets InUse.
    [[nodiscard]] TOpenResult Open(const std::string& name);
    bool IsOpen() const { return m_fd >= 0; }
    void Close();

    [[nodiscard]] bool GetState(TDeviceControl& control);
    [[nodiscard]] bool SetState(const TDeviceControl& control);
    [[nodiscard]] bool GetTimeouts(TDeviceTimeouts& timeouts);
    [[nodiscard]] bool SetTimeouts(const TDeviceTimeouts& timeouts);
    // Queue sizes are the driver's own here; accepted and ignored.
    bool SetQueueSizes(int input, int output);
    // Discards both directions' queued bytes.
    [[nodiscard]] bool Purge();
    // Reads what has arrived, writes what the driver takes. 0 when nothing
    // can move now (wait for readiness and try again); -1 on failure with the
    // system's code in `error`. Each thread gets its own error back.
    [[nodiscard]] long Read(void* data, std::size_t size, int& error);
    [[nodiscard]] long Write(const void* data, std::size_t size, int& error);
    // True for a read or write error after which nothing more can come (the
    // device has gone or was closed).
    static bool IsLineGone(int error);
    // What the line reports now, without waiting.
    TLineCondition Condition() const;
    // The device's count of received bytes it could not keep (hardware and
    // driver overruns) since it was opened by anyone; false when the device
    // keeps no such count (a pseudo-terminal).
    [[nodiscard]] bool OverrunCount(std::uint64_t& count) const;
    bool ClearError();
    bool ClearBreak();

    // The handle to wait on for readiness (TFdWait, Event.h).
    int Fd() const { return m_fd; }
    int LastError() const { return m_lastError; }

private:
    bool Fail(int code);

    int m_fd = -1;
    int m_lastError = 0;
    TDeviceControl m_control;
    TDeviceTimeouts m_timeouts;
};
