#pragma once
/// \file Event.h
/// Events for worker threads: a manual-reset event stays signalled until it is
/// reset; an auto-reset event lets one waiter through and resets itself. A
/// wait for any of several events and, optionally, a file descriptor becoming
/// readable or writable, with a time-out. Any thread may signal, reset or wait.

#include "VynExport.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>

/// An event (see the file's description); a wait reports it through its
/// descriptor.
class VYN_EXPORT TEvent {
public:
    /// Manual reset: signalled until ResetEvent. Auto reset: a wait that
    /// reports it resets it.
    enum class Reset { Manual, Auto };

    /// Makes the event; Valid() says whether the system gave one.
    explicit TEvent(Reset reset, bool signalled = false);
    ~TEvent();
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;

    /// False only when the system refused the event (no descriptors left).
    bool Valid() const { return m_fd >= 0; }
    /// Makes the event if the system refused it before; false, with the
    /// system's code in Error(), when it still refuses. Not while waited on.
    bool Create();
    /// The system's code when the event could not be made; 0 otherwise.
    int Error() const { return m_error; }
    /// Signals the event (nothing on an invalid one).
    void Set();
    /// Ends the signal (nothing on an invalid one).
    void ResetEvent();
    /// Whether the event is signalled, without consuming the signal.
    bool IsSet() const;

    /// The descriptor that becomes readable while the event is signalled; -1
    /// when invalid.
    int Fd() const { return m_fd; }
    /// For an auto-reset event, after a wait reported it: consume the signal.
    /// Returns whether it was still signalled.
    bool Consume();
    /// Manual or auto reset.
    Reset Kind() const { return m_reset; }

private:
    int m_fd = -1;
    int m_error = 0;
    Reset m_reset;
};

/// What to wait on besides events: a file descriptor's readiness.
struct VYN_EXPORT TFdWait {
    int Fd = -1;           ///< the descriptor; -1 for none
    bool Readable = false; ///< wait for it to become readable
    bool Writable = false; ///< wait for it to become writable
};

/// What the descriptor reported when a wait ended on it.
struct VYN_EXPORT TFdEvents {
    bool Readable = false; ///< it is readable
    bool Writable = false; ///< it is writable
    bool Other = false;    ///< an error, a hang-up or anything else besides
};

/// The most events a wait takes besides the descriptor.
inline constexpr std::size_t kMaxWaitEvents = 7;

inline constexpr int kWaitTimeout = 258; ///< WaitForAny: the time ran out
inline constexpr int kWaitFailed = -1;   ///< WaitForAny: the wait failed
inline constexpr int kWaitInfinite = -1; ///< WaitForAny's time-out: none

/// Waits until one of the events is signalled or the descriptor is ready.
/// Returns the index of the first signalled event (an auto-reset event is
/// reset by being reported), events.size() when only the descriptor is ready
/// (also when it reports an error or hang-up), kWaitTimeout, or kWaitFailed
/// (also, with EINVAL, for more than kMaxWaitEvents events).
VYN_EXPORT int WaitForAny(std::initializer_list<TEvent*> events, TFdWait fd, int timeoutMs);
/// Waits for one of the events only.
inline int WaitForAny(std::initializer_list<TEvent*> events, int timeoutMs) {

    return WaitForAny(events, TFdWait{}, timeoutMs);
}

/// The system's error code of this thread's last wait that gave kWaitFailed.
VYN_EXPORT int LastWaitError();
/// What the descriptor reported in this thread's last wait that ended on it
/// (all false after any other outcome).
VYN_EXPORT TFdEvents LastWaitFdEvents();
