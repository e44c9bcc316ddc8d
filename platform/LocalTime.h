#pragma once
// The local wall-clock time, from a source that tests can replace so that
// time stamps come out the same on every run.

#include "VynExport.h"

#include <functional>

struct VYN_EXPORT TLocalTime {
    unsigned Year = 0;
    unsigned Month = 0;     // 1..12
    unsigned DayOfWeek = 0; // 0 = Sunday
    unsigned Day = 0;       // 1..31
    unsigned Hour = 0;
    unsigned Minute = 0;
    unsigned Second = 0;
    unsigned Milliseconds = 0;
};

// The current local time from the current source. Any thread may call it.
VYN_EXPORT TLocalTime GetLocalTime();

// Replaces the source; an empty function restores the system clock. Any
// thread may call it; it affects every later GetLocalTime.
VYN_EXPORT void SetLocalTimeSource(std::function<TLocalTime()> source);
