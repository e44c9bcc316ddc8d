#include "DeferredCall.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <map>
#include <mutex>
#include <utility>

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
    } else {
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
