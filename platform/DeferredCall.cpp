#include "DeferredCall.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

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

// Pending calls by key. A timer that fires runs the call only if its
// generation is still the key's: re-arming or cancelling changes it.
std::mutex g_mutex;
std::map<std::pair<QObject*, std::uintptr_t>, TPending> g_pending;
std::uint64_t g_generation = 0;

void Fire(QObject* window, std::uintptr_t id, std::uint64_t generation) {
    std::function<void()> call;
    {
        std::lock_guard lock(g_mutex);
        const auto it = g_pending.find({window, id});
        if (it == g_pending.end() || it->second.Generation != generation) {
            return;
        }
        call = std::move(it->second.Call);
        g_pending.erase(it);
    }
    call();
}

void StartTimer(QObject* window, std::uintptr_t id, int delayMs, std::uint64_t generation) {
    QTimer::singleShot(delayMs, window, [window, id, generation] { Fire(window, id, generation); });
}

struct TStartRequest {
    QObject* Window;
    std::uintptr_t Id;
    int DelayMs;
    std::uint64_t Generation;
};

// Windows prepared on the main thread, and the requests other threads left
// for them (both under g_mutex). The main thread is woken through an eventfd;
// everything the request carries goes through the mutex.
std::set<QObject*> g_prepared;
std::vector<TStartRequest> g_requests;

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
            std::lock_guard lock(g_mutex);
            requests.swap(g_requests);
            // A window destroyed since its request is no longer prepared.
            std::erase_if(requests,
                          [](const TStartRequest& r) { return g_prepared.count(r.Window) == 0; });
        }
        for (const TStartRequest& r : requests) {
            StartTimer(r.Window, r.Id, r.DelayMs, r.Generation);
        }
    }

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};

TMainThreadWaker* g_waker = nullptr; // created and used under g_mutex

} // namespace

bool ArmDeferredCall(QObject* window, std::uintptr_t id, int delayMs, std::function<void()> call) {
    if (window == nullptr) {
        return false;
    }
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(g_mutex);
        generation = ++g_generation;
        TPending& pending = g_pending[{window, id}];
        pending.Generation = generation;
        pending.Call = std::move(call);
    }
    if (QThread::currentThread() == window->thread()) {
        StartTimer(window, id, delayMs, generation);
        return true;
    }
    {
        std::lock_guard lock(g_mutex);
        if (g_waker != nullptr && g_prepared.count(window) != 0) {
            g_requests.push_back({window, id, delayMs, generation});
            g_waker->Wake();
            return true;
        }
    }
    {
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
    std::lock_guard lock(g_mutex);
    g_pending.erase({window, id});
}

bool DeferredCallPending(QObject* window, std::uintptr_t id) {
    std::lock_guard lock(g_mutex);
    return g_pending.count({window, id}) != 0;
}

void PrepareDeferredCalls(QObject* window) {
    if (window == nullptr || QCoreApplication::instance() == nullptr ||
        window->thread() != QCoreApplication::instance()->thread() ||
        QThread::currentThread() != window->thread()) {
        return;
    }
    std::lock_guard lock(g_mutex);
    if (g_waker == nullptr) {
        g_waker = new TMainThreadWaker;
        QObject::connect(g_waker, &QObject::destroyed, [] {
            std::lock_guard inner(g_mutex);
            g_waker = nullptr;
        });
    }
    if (g_prepared.insert(window).second) {
        QObject::connect(window, &QObject::destroyed, [window] {
            std::lock_guard inner(g_mutex);
            g_prepared.erase(window);
        });
    }
}
