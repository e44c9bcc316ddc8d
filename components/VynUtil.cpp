#include "VynUtil.h"

#include "LocalTime.h"

#include <algorithm>
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
    va_list args;
    va_start(args, format);
    std::string text = VFormatText(format, args);
    va_end(args);
    return text;
}

std::string LocalTimeText(bool hundredths) {
    const TLocalTime t = GetLocalTime();
    if (hundredths) {
        return FormatText("%02u:%02u:%02u.%02u", t.Hour, t.Minute, t.Second, t.Milliseconds / 10);
    }
    return FormatText("%02u:%02u:%02u", t.Hour, t.Minute, t.Second);
}
