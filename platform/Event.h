#pragma once
// Events for worker threads: a manual-reset event stays signalled until it is
// reset; an auto-reset event lets one waiter through and resets itself. A
// wait for any of several events and, optionally, a file descriptor becoming
// readable or writable, with a time-out. Any thread may signal, reset or wait.

#include "VynExport.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>

class VYN_EXPORT TEvent {
public:
    enum class Reset { Manual, Auto };

    explicit TEvent(Reset reset, bool signalled = false);
    ~TEvent();
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;

    // False only when the system refused the event (no descriptors left).
    bool Valid() const { return m_fd >= 0; }
    // Makes the event if the system refused it before; false, with the
    // system's code in Error(), when it still refuses. Not while waited on.
    bool Create();
    int Error() const { return m_error; }
    void Set();
    void ResetEvent();
    bool IsSet() const;

    int Fd() const { return m_fd; }
    // For an auto-reset event, after a wait reported it: consume the signal.
    // Returns whether it was still signalled.
    bool Consume();
    Reset Kind() const { return m_reset; }

private:
    int m_fd = -1;
    int m_error = 0;
    Reset m_reset;
};

// What to wait on besides events: a file descriptor's readiness.
struct VYN_EXPORT TFdWait {
    int Fd = -1;
    bool Readable = false;
    bool Writable = false;
};

// What the descriptor reported when a wait ended on it.
struct VYN_EXPORT TFdEvents {
    bool Readable = false;
    bool Writable = false;
    bool Other = false; // an error, a hang-up or anything else besides
};

// The most events a wait takes besides the descriptor.
inline constexpr std::size_t kMaxWaitEvents = 7;

inline constexpr int kWaitTimeout = 258;
inline constexpr int kWaitFailed = -1;
inline constexpr int kWaitInfinite = -1;

// Waits until one of the events is signalled or the descriptor is ready.
// Returns the index of the first signalled event (an auto-reset event is
// reset by being reported), events.size() when only the descriptor is ready
// (also when it reports an error or hang-up), kWaitTimeout, or kWaitFailed
// (also, with EINVAL, for more than kMaxWaitEvents events).
VYN_EXPORT int WaitForAny(std::initializer_list<TEvent*> events, TFdWait fd, int timeoutMs);
inline int WaitForAny(std::initializer_list<TEvent*> events, int timeoutMs) {
    return WaitForAny(events, TFdWait{}, timeoutMs);
}

// The system's error code of this thread's last wait that gave kWaitFailed.
VYN_EXPORT int LastWaitError();
// What the descriptor reported in this thread's last wait that ended on it
// (all false after any other outcome).
VYN_EXPORT TFdEvents LastWaitFdEvents();
