#include "LocalTime.h"

#include <ctime>
#include <memory>
#include <mutex>
#include <sys/time.h>

namespace {

// The replaceable source, made on first use and never destroyed.
struct TSource {
    std::mutex Mutex;
    std::shared_ptr<const std::function<TLocalTime()>> Source;
};

TSource& Replaced() {
    static TSource& source = *new TSource;
    return source;
}

TLocalTime SystemLocalTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm parts{};
    localtime_r(&now.tv_sec, &parts);
    TLocalTime t;
    t.Year = static_cast<unsigned>(parts.tm_year + 1900);
    t.Month = static_cast<unsigned>(parts.tm_mon + 1);
    t.DayOfWeek = static_cast<unsigned>(parts.tm_wday);
    t.Day = static_cast<unsigned>(parts.tm_mday);
    t.Hour = static_cast<unsigned>(parts.tm_hour);
    t.Minute = static_cast<unsigned>(parts.tm_min);
    t.Second = static_cast<unsigned>(parts.tm_sec);
    t.Milliseconds = static_cast<unsigned>(now.tv_nsec / 1000000);
    return t;
}

} // namespace

TLocalTime GetLocalTime() {
    std::shared_ptr<const std::function<TLocalTime()>> source;
    {
        std::lock_guard lock(Replaced().Mutex);
        source = Replaced().Source;
    }
    return source ? (*source)() : SystemLocalTime();
}

void SetLocalTimeSource(std::function<TLocalTime()> source) {
    auto replacement =
        source ? std::make_shared<const std::function<TLocalTime()>>(std::move(source)) : nullptr;
    std::lock_guard lock(Replaced().Mutex);
    Replaced().Source = std::move(replacement);
}
