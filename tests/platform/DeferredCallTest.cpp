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
    CancelDeferredCall(&window, 3);
    QCoreApplication::processEvents();
    QThread::msleep(5);
    QCoreApplication::processEvents();
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
    QThread::msleep(10);
    QCoreApplication::processEvents();
    EXPECT_EQ(calls.load(), 1); // a burst collapses into one call
    EXPECT_EQ(ranOn, QThread::currentThreadId());
}

TEST(DeferredCall, NothingRunsForADestroyedWindow) {
    int calls = 0;
    {
        auto window = std::make_unique<QObject>();
        ArmDeferredCall(window.get(), 4, 0, [&] { ++calls; });
    }
    QCoreApplication::processEvents();
    QThread::msleep(5);
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 0);
}

} // namespace
