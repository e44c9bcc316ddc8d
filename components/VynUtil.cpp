#include "VynUtil.h"

#include "LocalTime.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

std::string VFormatText(const char* format, va_list args) {
    char buffer[kTextBufferSize];
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (length < 0) {
        return {};
    }
    return std::string(buffer, std::min(static_cast<std::size_t>(length), kTextBufferSize - 1));
}

std::string FormatText(const char* format, ...) {
    VYN_FORMAT_TEXT(text, format);
    return text;
}

std::string TimeText(const TLocalTime& t, bool hundredths) {
    if (hundredths) {
        return FormatText("%02u:%02u:%02u.%02u", t.Hour, t.Minute, t.Second, t.Milliseconds / 10);
    }
    return FormatText("%02u:%02u:%02u", t.Hour, t.Minute, t.Second);
}

std::string LocalTimeText(bool hundredths) {
    return TimeText(GetLocalTime(), hundredths);
}

namespace {
std::atomic<int> g_platformIdOverride{0};
} // namespace

int GetPlatformId() {
    const int forced = g_platformIdOverride.load();
    return forced != 0 ? forced : 2;
}

void SetPlatformIdForTesting(int id) {
    g_platformIdOverride.store(id);
}
