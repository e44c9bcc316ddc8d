#pragma once
// Small routines shared by the VYN components.

#include <cstdarg>
#include <string>

// Formatted texts and sent texts live in buffers of this size: at most 999
// characters and the terminating NUL.
inline constexpr std::size_t kTextBufferSize = 1000;

// printf-style formatting, cut at 999 characters.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string VFormatText(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

// The local time as "hh:mm:ss", or "hh:mm:ss.cc" with hundredths (the
// milliseconds divided by 10).
std::string LocalTimeText(bool hundredths);

// The directory of the running executable with a trailing '/', or "./" when
// it cannot be found.
std::string ExeDirectory();

// Creates a directory and every missing parent (like mkdir -p); false when
// the directory does not exist afterwards.
bool CreateDirectories(const std::string& path);
