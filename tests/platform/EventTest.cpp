#include "Event.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <unistd.h>

namespace {

TEST(Event, ManualStaysSetAutoLetsOneThrough) {
    TEvent manual(TEvent::Reset::Manual);
    TEvent automatic(TEvent::Reset::Auto);
    ASSERT_TRUE(manual.Valid() && automatic.Valid());
    EXPECT_EQ(WaitForAny({&manual, &automatic}, 10), kWaitTimeout);

    manual.Set();
    manual.Set(); // still one signal
    EXPECT_EQ(WaitForAny({&manual}, 0), 0);
    EXPECT_EQ(WaitForAny({&manual}, 0), 0);
    manual.ResetEvent();
    EXPECT_FALSE(manual.IsSet());

    automatic.Set();
    automatic.Set(); // one signal lets one wait through
    EXPECT_EQ(WaitForAny({&manual, &automatic}, 0), 1);
    EXPECT_EQ(WaitForAny({&manual, &automatic}, 10), kWaitTimeout);

    // Several signalled: the first in the list wins.
    manual.Set();
    automatic.Set();
    EXPECT_EQ(WaitForAny({&automatic, &manual}, 0), 0);
    EXPECT_EQ(WaitForAny({&automatic, &manual}, 0), 1);

    TEvent initially(TEvent::Reset::Manual, true);
    EXPECT_TRUE(initially.IsSet());
}

TEST(Event, WakesAWaiterOnAnotherThreadAndWatchesADescriptor) {
    TEvent stop(TEvent::Reset::Manual);
    const auto start = std::chrono::steady_clock::now();
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        stop.Set();
    });
    EXPECT_EQ(WaitForAny({&stop}, kWaitInfinite), 0);
    setter.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    TEvent idle(TEvent::Reset::Auto);
    EXPECT_EQ(WaitForAny({&idle}, {fds[0], true, false}, 10), kWaitTimeout);
    ASSERT_EQ(::write(fds[1], "x", 1), 1);
    EXPECT_EQ(WaitForAny({&idle}, {fds[0], true, false}, 1000), 1);
    EXPECT_TRUE(LastWaitFdEvents().Readable);
    EXPECT_FALSE(LastWaitFdEvents().Other);
    // A hang-up is reported as readiness too, and said to be something else.
    ::close(fds[1]);
    char c = 0;
    ASSERT_EQ(::read(fds[0], &c, 1), 1);
    EXPECT_EQ(WaitForAny({&idle}, {fds[0], true, false}, 1000), 1);
    EXPECT_TRUE(LastWaitFdEvents().Other);
    idle.Set();
    EXPECT_EQ(WaitForAny({&idle}, {fds[0], true, false}, 0), 0);
    EXPECT_FALSE(LastWaitFdEvents().Other);
    ::close(fds[0]);
}

} // namespace
