#include "LoopbackLine.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

TLoopbackLine::TLoopbackLine(QObject* parent) : QObject(parent) {
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    m_path = name;
    termios tio{};
    ::tcgetattr(m_master, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_master, TCSANOW, &tio);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { Echo(); });
}

TLoopbackLine::~TLoopbackLine() {
    delete m_notifier;
    if (m_slave >= 0) {
        ::close(m_slave);
    }
    if (m_master >= 0) {
        ::close(m_master);
    }
}

void TLoopbackLine::Echo() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0) {
            return;
        }
        // A pseudo-terminal takes what it is given at this rate; a short
        // write only happens when nobody reads the near end.
        ssize_t done = 0;
        while (done < n) {
            const ssize_t w = ::write(m_master, buffer + done, static_cast<std::size_t>(n - done));
            if (w <= 0) {
                break;
            }
            done += w;
        }
        m_echoed += done;
    }
}
