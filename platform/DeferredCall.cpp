#include "DeferredCall.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <sys/eventfd.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

struct TPending {
    std::uint64_t Generation = 0;
    std::function<void()> Call;
};

struct TStartRequest {
    QObject* Window;
    std::uintptr_t Id;
    int DelayMs;
    std::uint64_t Generation;
};

class TMainThreadWaker;

// Everything shared, under one mutex. Made on first use and never destroyed,
// so calls from any thread work before main() and while the program exits.
struct TDeferredState {
    std::mutex Mutex;
    // Pending calls by key. A timer that fires runs the call only if its
    // generation is still the key's: re-arming or cancelling changes it.
    std::map<std::pair<QObject*, std::uintptr_t>, TPending> Pending;
    std::uint64_t Generation = 0;
    // Windows prepared on the main thread, and the requests other threads
    // left for them. The main thread is woken through an eventfd; everything
    // the request carries goes through the mutex.
    std::set<QObject*> Prepared;
    std::vector<TStartRequest> Requests;
    TMainThreadWaker* Waker = nullptr;
};

TDeferredState& State();

void Fire(QObject* window, std::uintptr_t id, std::uint64_t generation) {
    std::function<void()> call;
    {
        std::lock_guard lock(State().Mutex);
        const auto it = State().Pending.find({window, id});
        if (it == State().Pending.end() || it->second.Generation != generation) {
            return;
        }
        call = std::move(it->second.Call);
        State().Pending.erase(it);
    }
    call();
}

void StartTimer(QObject* window, std::uintptr_t id, int delayMs, std::uint64_t generation) {
    QTimer::singleShot(delayMs, window, [window, id, generation] { Fire(window, id, generation); });
}

class TMainThreadWaker : public QObject {
public:
    TMainThreadWaker() : QObject(QCoreApplication::instance()) {
        m_fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { Drain(); });
    }
    ~TMainThreadWaker() override {
        delete m_notifier;
        ::close(m_fd);
    }

    void Wake() {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_fd, &one, sizeof one);
    }

private:
    void Drain() {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = ::read(m_fd, &count, sizeof count);
        std::vector<TStartRequest> requests;
        {
            std::lock_guard lock(State().Mutex);
            requests.swap(State().Requests);
        }
        // A key armed again before this drain replaced its earlier call:
        // only the last request of each key needs a timer.
        for (std::size_t i = 0; i < requests.size(); ++i) {
            const TStartRequest& r = requests[i];
            const bool superseded =
                std::any_of(requests.begin() + static_cast<std::ptrdiff_t>(i) + 1, requests.end(),
                            [&](const TStartRequest& later) {
                                return later.Window == r.Window && later.Id == r.Id;
                            });
            if (superseded) {
                continue;
            }
            {
                // A call run just now may have destroyed a window.
                std::lock_guard lock(State().Mutex);
                if (State().Prepared.count(r.Window) == 0) {
                    continue;
                }
            }
            // Already deferred once (to this thread): a call due at once runs
            // now instead of after another pass of the event loop.
            if (r.DelayMs <= 0) {
                Fire(r.Window, r.Id, r.Generation);
            } else {
                StartTimer(r.Window, r.Id, r.DelayMs, r.Generation);
            }
        }
    }

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};

TDeferredState& State() {
    static TDeferredState& state = *new TDeferredState;
    return state;
}

} // namespace

bool ArmDeferredCall(QObject* window, std::uintptr_t id, int delayMs, std::function<void()> call) {
    if (window == nullptr) {
        return false;
    }
    const bool onWindowThread = QThread::currentThread() == window->thread();
    std::uint64_t generation = 0;
    bool queued = false;
    {
        std::lock_guard lock(State().Mutex);
        generation = ++State().Generation;
        TPending& pending = State().Pending[{window, id}];
        pending.Generation = generation;
        pending.Call = std::move(call);
        if (!onWindowThread && State().Waker != nullptr && State().Prepared.count(window) != 0) {
            // One wake-up serves every request queued before the main thread
            // drains them. (Under the lock: the waker goes with the
            // application.)
            if (State().Requests.empty()) {
                State().Waker->Wake();
            }
            State().Requests.push_back({window, id, delayMs, generation});
            queued = true;
        }
    }
    if (onWindowThread) {
        StartTimer(window, id, delayMs, generation);
    } else if (!queued) {
        // Timers belong to the window's thread: start it there. A window
        // destroyed meanwhile drops the queued start.
        QMetaObject::invokeMethod(
            window,
            [window, id, delayMs, generation] { StartTimer(window, id, delayMs, generation); },
            Qt::QueuedConnection);
    }
    return true;
}

void CancelDeferredCall(QObject* window, std::uintptr_t id) {
    std::lock_guard lock(State().Mutex);
    State().Pending.erase({window, id});
}

bool DeferredCallPending(QObject* window, std::uintptr_t id) {
    std::lock_guard lock(State().Mutex);
    return State().Pending.count({window, id}) != 0;
}

void PrepareDeferredCalls(QObject* window) {
    if (window == nullptr || QCoreApplication::instance() == nullptr ||
        window->thread() != QCoreApplication::instance()->thread() ||
        QThread::currentThread() != window->thread()) {
        return;
    }
    std::lock_guard lock(State().Mutex);
    if (State().Waker == nullptr) {
        State().Waker = new TMainThreadWaker;
        QObject::connect(State().Waker, &QObject::destroyed, [] {
            std::lock_guard inner(State().Mutex);
            State().Waker = nullptr;
        });
    }
    if (State().Prepared.insert(window).second) {
        QObject::connect(window, &QObject::destroyed, [window] {
            std::lock_guard inner(State().Mutex);
            State().Prepared.erase(window);
        });
    }
}
