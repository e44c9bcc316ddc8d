#include "DeferredCall.h"
#include "support/EventLoop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QThread>

#include <atomic>
#include <memory>
#include <thread>

namespace {

TEST(DeferredCall, RunsOnceOnTheWindowThreadAndReArmingReplaces) {
    QObject window;
    int first = 0;
    int second = 0;
    ASSERT_TRUE(ArmDeferredCall(&window, 7, 5, [&] { ++first; }));
    ASSERT_TRUE(ArmDeferredCall(&window, 7, 5, [&] { ++second; }));
    EXPECT_TRUE(DeferredCallPending(&window, 7));
    EXPECT_TRUE(ProcessUntil([&] { return second == 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(first, 0);
    EXPECT_FALSE(DeferredCallPending(&window, 7));

    // Different identifiers do not replace each other.
    int a = 0;
    int b = 0;
    ArmDeferredCall(&window, 1, 0, [&] { ++a; });
    ArmDeferredCall(&window, 2, 0, [&] { ++b; });
    EXPECT_TRUE(ProcessUntil([&] { return a == 1 && b == 1; }));

    int cancelled = 0;
    ArmDeferredCall(&window, 3, 0, [&] { ++cancelled; });
    EXPECT_TRUE(DeferredCallPending(&window, 3));
    CancelDeferredCall(&window, 3);
    // A call armed later has run: the cancelled one would have run before.
    bool later = false;
    ArmDeferredCall(&window, 33, 5, [&] { later = true; });
    EXPECT_TRUE(ProcessUntil([&] { return later; }));
    EXPECT_EQ(cancelled, 0);
    EXPECT_FALSE(ArmDeferredCall(nullptr, 1, 0, [] {}));
}

TEST(DeferredCall, ArmedFromAWorkerRunsOnTheWindowThread) {
    QObject window;
    std::atomic<int> calls{0};
    Qt::HANDLE ranOn = nullptr;
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i) {
            ArmDeferredCall(&window, 9, 1, [&] {
                ranOn = QThread::currentThreadId();
                ++calls;
            });
        }
    });
    worker.join();
    EXPECT_TRUE(ProcessUntil([&] { return calls.load() >= 1; }));
    bool later = false;
    ArmDeferredCall(&window, 99, 5, [&] { later = true; });
    EXPECT_TRUE(ProcessUntil([&] { return later; }));
    EXPECT_EQ(calls.load(), 1); // a burst collapses into one call
    EXPECT_EQ(ranOn, QThread::currentThreadId());
}

TEST(DeferredCall, NothingRunsForADestroyedWindow) {
    int calls = 0;
    {
        auto window = std::make_unique<QObject>();
        ArmDeferredCall(window.get(), 4, 0, [&] { ++calls; });
        ASSERT_TRUE(DeferredCallPending(window.get(), 4));
    }
    QObject other;
    bool later = false;
    ArmDeferredCall(&other, 4, 5, [&] { later = true; });
    EXPECT_TRUE(ProcessUntil([&] { return later; }));
    EXPECT_EQ(calls, 0);
}

} // namespace
