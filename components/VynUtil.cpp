#include "VynUtil.h"

#include "LocalTime.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

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

std::string ExeDirectory() {
    std::string path(4096, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0) {
            return "./";
        }
        if (static_cast<std::size_t>(n) < path.size()) {
            path.resize(static_cast<std::size_t>(n));
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

bool CreateDirectories(const std::string& path) {
    // Every prefix that ends before a separator (not the leading one), then
    // the whole path; errors such as "exists already" are no concern here.
    for (std::size_t i = 1; i < path.size(); ++i) {
        if (path[i] == '/') {
            ::mkdir(path.substr(0, i).c_str(), 0777);
        }
    }
    ::mkdir(path.c_str(), 0777);
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
