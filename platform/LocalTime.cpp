#include "LocalTime.h"

#include <ctime>
#include <memory>
#include <mutex>
#include <sys/time.h>

namespace {

std::mutex g_sourceMutex;
std::shared_ptr<const std::function<TLocalTime()>> g_source;

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
        std::lock_guard lock(g_sourceMutex);
        source = g_source;
    }
    return source ? (*source)() : SystemLocalTime();
}

void SetLocalTimeSource(std::function<TLocalTime()> source) {
    auto replacement =
        source ? std::make_shared<const std::function<TLocalTime()>>(std::move(source)) : nullptr;
    std::lock_guard lock(g_sourceMutex);
    g_source = std::move(replacement);
}
