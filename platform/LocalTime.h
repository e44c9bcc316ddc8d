#pragma once
/// \file LocalTime.h
/// The local wall-clock time, from a source that tests can replace so that
/// time stamps come out the same on every run.

#include "VynExport.h"

#include <functional>

/// A local date and time, as the system clock or a test's source gives it.
struct VYN_EXPORT TLocalTime {
    unsigned Year = 0;         ///< four digits
    unsigned Month = 0;        ///< 1..12
    unsigned DayOfWeek = 0;    ///< 0 = Sunday
    unsigned Day = 0;          ///< 1..31
    unsigned Hour = 0;         ///< 0..23
    unsigned Minute = 0;       ///< 0..59
    unsigned Second = 0;       ///< 0..59
    unsigned Milliseconds = 0; ///< 0..999
};

/// The current local time from the current source. Any thread may call it.
VYN_EXPORT TLocalTime GetLocalTime();

/// Replaces the source; an empty function restores the system clock. Any
/// thread may call it; it affects every later GetLocalTime.
VYN_EXPORT void SetLocalTimeSource(std::function<TLocalTime()> source);
