#pragma once
/// \file VynUtil.h
/// Small routines shared by the VYN components: bounded printf-style text and
/// the local time as text.

#include "VynExport.h"

#include <cstdarg>
#include <string>

struct TLocalTime;

/// Message types of debug lines, shared by the output view (its colour), the
/// log file (its marker) and the serial port's diagnostics.
///@{
inline constexpr int kMsgComment = 0;
inline constexpr int kMsgRxData = 1;
inline constexpr int kMsgTxData = 2;
inline constexpr int kMsgWarning = 3;
inline constexpr int kMsgError = 4;
inline constexpr int kMsgTimestamp = 5; ///< output view only
///@}

/// Formatted texts and sent texts live in buffers of this size: at most 999
/// characters and the terminating NUL.
inline constexpr std::size_t kTextBufferSize = 1000;

/// printf-style formatting, cut at 999 characters.
VYN_EXPORT std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
/// FormatText with a va_list.
VYN_EXPORT std::string VFormatText(const char* format, va_list args)
    __attribute__((format(printf, 1, 0)));

/// Inside a printf-style function whose last named parameter is `format`:
/// declares the std::string `text` holding the formatted arguments (cut at
/// 999 characters).

#define VYN_FORMAT_TEXT(text, format)                                                              \
    std::string text;                                                                              \
    do {                                                                                           \
        va_list vynArgs_;                                                                          \
        va_start(vynArgs_, format);                                                                \
        (text) = VFormatText(format, vynArgs_);                                                    \
        va_end(vynArgs_);                                                                          \
    } while (false)

/// A time as "hh:mm:ss", or "hh:mm:ss.cc" with hundredths (the milliseconds
/// divided by 10).
VYN_EXPORT std::string TimeText(const TLocalTime& time, bool hundredths);

/// The local time now, as TimeText gives it.
VYN_EXPORT std::string LocalTimeText(bool hundredths);

/// The platform family of the running system, in the numbering callers
/// compare with: 1 for the family whose port probing opens every candidate
/// device, 2 for the one with a device list (this platform), -1 when unknown.
VYN_EXPORT int GetPlatformId();

/// Tests only: makes GetPlatformId return `id` (0 restores the real value),
/// so the other family's branches can run here.
VYN_EXPORT void SetPlatformIdForTesting(int id);
