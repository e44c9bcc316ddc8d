#include "Event.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <array>

TEvent::TEvent(Reset reset, bool signalled) : m_reset(reset) {
    if (Create() && signalled) {
        Set();
    }
}

bool TEvent::Create() {
    if (m_fd >= 0) {
        return true;
    }
    m_fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_error = m_fd < 0 ? errno : 0;
    return m_fd >= 0;
}

TEvent::~TEvent() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

void TEvent::Set() {
    // The counter only says "signalled": one read takes the whole count, so
    // signalling twice is still one signal and needs no drain first.
    const std::uint64_t value = 1;
    while (::write(m_fd, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

void TEvent::ResetEvent() {
    std::uint64_t value = 0;
    while (::read(m_fd, &value, sizeof value) == sizeof value) {
    }
}

bool TEvent::IsSet() const {
    pollfd p{m_fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0;
}

bool TEvent::Consume() {
    std::uint64_t value = 0;
    return ::read(m_fd, &value, sizeof value) == sizeof value;
}

namespace {
thread_local int t_lastWaitError = 0;
thread_local short t_lastFdEvents = 0;
} // namespace

TFdEvents LastWaitFdEvents() {
    const short r = t_lastFdEvents;
    return {(r & POLLIN) != 0, (r & POLLOUT) != 0, (r & ~(POLLIN | POLLOUT)) != 0};
}

int LastWaitError() {
    return t_lastWaitError;
}

int WaitForAny(std::initializer_list<TEvent*> events, TFdWait fd, int timeoutMs) {
    // The workers wait here for every chunk: no allocation on the way.
    std::array<pollfd, kMaxWaitEvents + 1> fds{};
    if (events.size() > kMaxWaitEvents) {
        t_lastWaitError = EINVAL;
        return kWaitFailed;
    }
    std::size_t count = 0;
    for (TEvent* e : events) {
        fds[count++] = {e->Fd(), POLLIN, 0};
    }
    const bool withFd = fd.Fd >= 0 && (fd.Readable || fd.Writable);
    if (withFd) {
        fds[count++] = {
            fd.Fd, static_cast<short>((fd.Readable ? POLLIN : 0) | (fd.Writable ? POLLOUT : 0)), 0};
    }
    t_lastFdEvents = 0;
    for (;;) {
        const int n = ::poll(fds.data(), count, timeoutMs);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            t_lastWaitError = errno;
            return kWaitFailed;
        }
        if (n == 0) {
            return kWaitTimeout;
        }
        int index = 0;
        for (TEvent* e : events) {
            if ((fds[static_cast<std::size_t>(index)].revents & POLLIN) != 0) {
                // An auto-reset event lets one waiter through: another thread
                // may have taken the signal meanwhile; then wait on.
                if (e->Kind() == TEvent::Reset::Manual || e->Consume()) {
                    return index;
                }
            }
            ++index;
        }
        if (withFd && fds[count - 1].revents != 0) {
            t_lastFdEvents = fds[count - 1].revents;
            return static_cast<int>(events.size());
        }
        for (pollfd& p : fds) {
            p.revents = 0;
        }
    }
}
