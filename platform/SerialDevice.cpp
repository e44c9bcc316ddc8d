#include "SerialDevice.h"

#include "internal/SerialTermios.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

bool SpeedFor(std::uint32_t baud, speed_t& speed) {
    struct Entry {
        std::uint32_t Baud;
        speed_t Speed;
    };
    static constexpr Entry kSpeeds[] = {
        {50, B50},           {75, B75},           {110, B110},         {134, B134},
        {150, B150},         {200, B200},         {300, B300},         {600, B600},
        {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
        {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
        {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
        {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
        {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
        {3500000, B3500000}, {4000000, B4000000},
    };
    for (const Entry& e : kSpeeds) {
        if (e.Baud == baud) {
            speed = e.Speed;
            return true;
        }
    }
    return false;
}

} // namespace

bool MapDeviceControl(const TDeviceControl& control, termios& tio) {
    speed_t speed = B9600;
    if (!SpeedFor(control.BaudRate, speed)) {
        return false;
    }
    // Raw bytes: no echo, no line editing, no translation, no signals.
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);

    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE);
    switch (control.ByteSize) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    case 8: tio.c_cflag |= CS8; break;
    default: return false;
    }

    tio.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD | CMSPAR);
    tio.c_iflag &= ~static_cast<tcflag_t>(INPCK);
    switch (control.Parity) {
    case 0: break;
    case 1: tio.c_cflag |= PARENB | PARODD; break;
    case 2: tio.c_cflag |= PARENB; break;
    case 3: tio.c_cflag |= PARENB | CMSPAR | PARODD; break; // mark: the bit is always 1
    case 4: tio.c_cflag |= PARENB | CMSPAR; break;          // space: always 0
    default: return false;
    }
    if (control.Parity != 0 && control.fParity) {
        tio.c_iflag |= INPCK;
    }

    // One and a half stop bits exist only with 5-bit characters, where the
    // line's "two" setting means one and a half.
    switch (control.StopBits) {
    case 0: tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB); break;
    case 1:
    case 2: tio.c_cflag |= CSTOPB; break;
    default: return false;
    }

    const bool rtsCts = control.fOutxCtsFlow || control.fRtsControl == kRtsControlHandshake;
    if (rtsCts) {
        tio.c_cflag |= CRTSCTS;
    } else {
        tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    }
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    if (control.fOutX) {
        tio.c_iflag |= IXON;
    }
    if (control.fInX) {
        tio.c_iflag |= IXOFF;
    }
    tio.c_cc[VSTART] = static_cast<cc_t>(control.XonChar);
    tio.c_cc[VSTOP] = static_cast<cc_t>(control.XoffChar);
    // Reads never wait in the driver: readiness is waited for with poll.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    return true;
}

std::string SystemErrorText(int code) {
    char buffer[256];
    // The GNU strerror_r returns the text, which may not be in buffer.
    return std::string(strerror_r(code, buffer, sizeof buffer));
}

TSerialDevice::~TSerialDevice() {
    Close();
}

bool TSerialDevice::Fail(int code) {
    m_lastError = code;
    return false;
}

TOpenResult TSerialDevice::Open(const std::string& name) {
    Close();
    const std::string path = name.find('/') == std::string::npos ? "/dev/" + name : name;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        m_lastError = errno;
        if (errno == ENOENT || errno == ENODEV || errno == ENXIO) {
            m_lastError = kErrorNoSuchDevice;
            return TOpenResult::NoSuchDevice;
        }
        if (errno == EBUSY) {
            m_lastError = kErrorInUse;
            return TOpenResult::InUse;
        }
        return TOpenResult::Failed;
    }
    // TIOCEXCL keeps out other users but not root; an advisory lock that
    // every opener takes keeps out everyone who opens through here.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        m_lastError = error == EWOULDBLOCK ? kErrorInUse : error;
        return error == EWOULDBLOCK ? TOpenResult::InUse : TOpenResult::Failed;
    }
    if (::ioctl(fd, TIOCEXCL) != 0) {
        m_lastError = errno;
        ::close(fd);
        return TOpenResult::Failed;
    }
    m_fd = fd;
    m_lastError = 0;
    m_control = TDeviceControl{};
    m_timeouts = TDeviceTimeouts{};
    termios tio{};
    if (::tcgetattr(m_fd, &tio) == 0) {
        const speed_t speed = cfgetospeed(&tio);
        for (std::uint32_t baud : {9600u, 19200u, 38400u, 57600u, 115200u, 4800u, 2400u, 1200u}) {
            speed_t s = 0;
            if (SpeedFor(baud, s) && s == speed) {
                m_control.BaudRate = baud;
            }
        }
    }
    return TOpenResult::Ok;
}

void TSerialDevice::Close() {
    if (m_fd >= 0) {
        ::ioctl(m_fd, TIOCNXCL);
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
        m_fd = -1;
    }
}

bool TSerialDevice::GetState(TDeviceControl& control) {
    if (m_fd < 0) {
        return Fail(EBADF);
    }
    // The line keeps no XON/XOFF limits or DTR/RTS modes of its own: the
    // record last set is the device's state.
    control = m_control;
    return true;
}

bool TSerialDevice::SetState(const TDeviceControl& control) {
    if (m_fd < 0) {
        return Fail(EBADF);
    }
    termios tio{};
    if (::tcgetattr(m_fd, &tio) != 0) {
        return Fail(errno);
    }
    if (!MapDeviceControl(control, tio)) {
        return Fail(EINVAL);
    }
    if (::tcsetattr(m_fd, TCSANOW, &tio) != 0) {
        return Fail(errno);
    }
    // tcsetattr succeeds when any part was applied: check that it all was.
    termios applied{};
    if (::tcgetattr(m_fd, &applied) != 0) {
        return Fail(errno);
    }
    const tcflag_t checked = CSIZE | PARENB | PARODD | CSTOPB;
    if ((applied.c_cflag & checked) != (tio.c_cflag & checked) ||
        cfgetospeed(&applied) != cfgetospeed(&tio)) {
        return Fail(EINVAL);
    }
    // Without hardware handshake the DTR and RTS lines follow their modes.
    int lines = 0;
    if (control.fDtrControl == kDtrControlDisable) {
        lines |= TIOCM_DTR;
    }
    if (control.fRtsControl == kRtsControlDisable) {
        lines |= TIOCM_RTS;
    }
    if (lines != 0) {
        ::ioctl(m_fd, TIOCMBIC, &lines); // pseudo-terminals have no lines: ignored
    }
    m_control = control;
    return true;
}

bool TSerialDevice::GetTimeouts(TDeviceTimeouts& timeouts) {
    if (m_fd < 0) {
        return Fail(EBADF);
    }
    timeouts = m_timeouts;
    return true;
}

bool TSerialDevice::SetTimeouts(const TDeviceTimeouts& timeouts) {
    if (m_fd < 0) {
        return Fail(EBADF);
    }
    m_timeouts = timeouts;
    return true;
}

bool TSerialDevice::SetQueueSizes(int, int) {
    return m_fd >= 0 ? true : Fail(EBADF);
}

bool TSerialDevice::Purge() {
    if (m_fd < 0) {
        return Fail(EBADF);
    }
    if (::tcflush(m_fd, TCIOFLUSH) != 0) {
        return Fail(errno);
    }
    return true;
}

namespace {

// Maps a read's or write's outcome: "nothing now" (would block, interrupted)
// is 0, not an error.
long IoResult(ssize_t n, int& error) {
    if (n >= 0) {
        error = 0;
        return static_cast<long>(n);
    }
    error = errno;
    if (error == EAGAIN || error == EINTR) { // EWOULDBLOCK is EAGAIN here
        error = 0;
        return 0;
    }
    return -1;
}

} // namespace

long TSerialDevice::Read(void* data, std::size_t size, int& error) {
    if (m_fd < 0) {
        error = EBADF;
        return -1;
    }
    return IoResult(::read(m_fd, data, size), error);
}

long TSerialDevice::Write(const void* data, std::size_t size, int& error) {
    if (m_fd < 0) {
        error = EBADF;
        return -1;
    }
    return IoResult(::write(m_fd, data, size), error);
}

bool TSerialDevice::IsLineGone(int error) {
    return error == EIO || error == EBADF;
}

TLineCondition TSerialDevice::Condition() const {
    pollfd p{m_fd, POLLIN | POLLPRI, 0};
    if (m_fd < 0 || ::poll(&p, 1, 0) < 0) {
        return {};
    }
    return {(p.revents & (POLLERR | POLLPRI)) != 0, (p.revents & POLLHUP) != 0};
}

bool TSerialDevice::OverrunCount(std::uint64_t& count) const {
    serial_icounter_struct counts{};
    if (m_fd < 0 || ::ioctl(m_fd, TIOCGICOUNT, &counts) != 0) {
        return false;
    }
    count = static_cast<std::uint64_t>(static_cast<unsigned>(counts.overrun)) +
            static_cast<unsigned>(counts.buf_overrun);
    return true;
}

bool TSerialDevice::ClearError() {
    return m_fd >= 0 ? true : Fail(EBADF);
}

bool TSerialDevice::ClearBreak() {
    if (m_fd < 0) {
        return Fail(EBADF);
    }
    ::ioctl(m_fd, TIOCCBRK); // ends a break we send; one received needs nothing
    return true;
}
