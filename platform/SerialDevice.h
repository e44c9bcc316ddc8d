#pragma once
/// \file SerialDevice.h
/// A serial device as the serial port component uses it: opened by name for
/// exclusive use, configured from a device-control record (the fields the
/// component sets, in the platform's own terms), with non-blocking reads and
/// writes whose readiness a caller waits for with WaitForAny (Event.h).
///
/// One owner thread opens, configures and closes; worker threads may read,
/// write, purge and clear errors while it is open. The owner's operations
/// return false on failure and leave the error code in LastError(); reads and
/// writes hand their error code back to the calling thread with the result.

#include "VynExport.h"

#include <cstdint>
#include <string>

/// The device-control record: line speed and character format, flow control
/// and the software flow-control limits, with the values of the original
/// platform's record.
struct VYN_EXPORT TDeviceControl {
    std::uint32_t BaudRate = 9600; ///< bits per second
    std::uint8_t ByteSize = 8;     ///< data bits, 5 to 8
    std::uint8_t Parity = 0;       ///< 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t StopBits = 0;     ///< 0 one, 1 one and a half, 2 two
    bool fBinary = true;           ///< kept as given: reads are always binary here
    bool fParity = false;          ///< parity is checked on receive
    bool fOutxCtsFlow = false;     ///< sending waits for CTS (RTS/CTS flow control)
    bool fOutxDsrFlow = false;     ///< kept as given: no DSR flow control on this platform
    std::uint8_t fDtrControl = 1;  ///< 0 disable, 1 enable, 2 handshake
    std::uint8_t fRtsControl = 1;  ///< 0 disable, 1 enable, 2 handshake, 3 toggle
    ///@{
    /// Kept as given and read back; this platform's driver has no such setting.
    bool fDsrSensitivity = false;
    bool fTXContinueOnXoff = false;
    ///@}
    bool fOutX = false; ///< XON/XOFF flow control of what is sent
    bool fInX = false;  ///< XON/XOFF flow control of what is received
    ///@{
    /// Kept as given and read back; this platform's driver has no such setting.
    bool fErrorChar = false;
    bool fNull = false;
    bool fAbortOnError = false;
    std::uint16_t XonLim = 2048;
    std::uint16_t XoffLim = 512;
    ///@}
    char XonChar = 0x11;  ///< the XON character (DC1)
    char XoffChar = 0x13; ///< the XOFF character (DC3)
    ///@{
    /// Kept as given and read back; this platform's driver has no such setting.
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    ///@}
};

///@{
/// The fDtrControl and fRtsControl values the serial port component sets.
inline constexpr std::uint8_t kDtrControlDisable = 0;
inline constexpr std::uint8_t kDtrControlHandshake = 2;
inline constexpr std::uint8_t kRtsControlDisable = 0;
inline constexpr std::uint8_t kRtsControlHandshake = 2;
///@}

/// The read and write time-outs, in the order the library's serial settings
/// have always stored them.
/// Reads and writes here never block (TSerialDevice), so the values are
/// kept as given and read back.
struct VYN_EXPORT TDeviceTimeouts {
    std::uint32_t ReadIntervalTimeout = 0;         ///< ms between two bytes
    std::uint32_t ReadTotalTimeoutMultiplier = 0;  ///< ms per byte read
    std::uint32_t ReadTotalTimeoutConstant = 0;    ///< ms per read
    std::uint32_t WriteTotalTimeoutMultiplier = 0; ///< ms per byte written
    std::uint32_t WriteTotalTimeoutConstant = 0;   ///< ms per write
};

/// How TSerialDevice::Open ended: open, no such device, in use by anyone,
/// another failure (the code in LastError()).
enum class TOpenResult { Ok, NoSuchDevice, InUse, Failed };

/// The errno-style codes of the two open failures the component names.
inline constexpr int kErrorNoSuchDevice = 2; ///< ENOENT
inline constexpr int kErrorInUse = 16;       ///< EBUSY
/// The code a read reports when the other end has gone (EIO).
inline constexpr int kErrorLineGone = 5;

/// What the device reported besides data when it woke a waiter.
struct VYN_EXPORT TLineCondition {
    bool Error = false;  ///< a line error or a break
    bool HangUp = false; ///< the other end has gone; what is left can be read
};

/// The system's text for an error code.
VYN_EXPORT std::string SystemErrorText(int code);

/// One serial device, see the file's description for which thread may call what.
class VYN_EXPORT TSerialDevice {
public:
    /// A closed device.
    TSerialDevice() = default;
    /// Closes the device if open.
    ~TSerialDevice();
    TSerialDevice(const TSerialDevice&) = delete;
    TSerialDevice& operator=(const TSerialDevice&) = delete;

    /// A name without '/' is a device under /dev/ (ttyUSB0); one with '/' is
    /// a path (/dev/pts/3). Exclusive: a second open, by anyone, including
    /// root, gets InUse.
    [[nodiscard]] TOpenResult Open(const std::string& name);
    /// Whether the device is open.
    bool IsOpen() const { return m_fd >= 0; }
    /// Gives up exclusive use and closes the device; nothing when closed.
    void Close();

    /// Reads the line settings into `control`; false when closed or refused.
    [[nodiscard]] bool GetState(TDeviceControl& control);
    /// Applies the line settings; false (LastError() EINVAL) for a value out
    /// of range or one the driver did not apply, such as a speed it lacks.

    [[nodiscard]] bool SetState(const TDeviceControl& control);
    ///@{
    /// Reads or stores the time-outs (TDeviceTimeouts); false when closed.
    [[nodiscard]] bool GetTimeouts(TDeviceTimeouts& timeouts);
    [[nodiscard]] bool SetTimeouts(const TDeviceTimeouts& timeouts);
    ///@}
    /// Queue sizes are the driver's own here; accepted and ignored.
    bool SetQueueSizes(int input, int output);
    /// Discards both directions' queued bytes.
    [[nodiscard]] bool Purge();
    /// Reads what has arrived, writes what the driver takes. 0 when nothing
    /// can move now (wait for readiness and try again); -1 on failure with the
    /// system's code in `error`. Each thread gets its own error back.
    ///@{
    [[nodiscard]] long Read(void* data, std::size_t size, int& error);
    [[nodiscard]] long Write(const void* data, std::size_t size, int& error);
    ///@}
    /// True for a read or write error after which nothing more can come (the
    /// device has gone or was closed).
    static bool IsLineGone(int error);
    /// What the line reports now, without waiting.
    TLineCondition Condition() const;
    /// The device's count of received bytes it could not keep (hardware and
    /// driver overruns) since it was opened by anyone; false when the device
    /// keeps no such count (a pseudo-terminal).
    [[nodiscard]] bool OverrunCount(std::uint64_t& count) const;
    /// Clears the line's error state (the driver keeps none here); false when closed.
    bool ClearError();
    /// Ends a break this side sends; false when closed.
    bool ClearBreak();

    /// The handle to wait on for readiness (TFdWait, Event.h).
    int Fd() const { return m_fd; }
    /// The system's code of the owner's last failed operation.
    int LastError() const { return m_lastError; }

private:
    bool Fail(int code);

    int m_fd = -1;
    int m_lastError = 0;
    TDeviceControl m_control;
    TDeviceTimeouts m_timeouts;
};
