#pragma once
// Fixes the local time for the lifetime of the object.

#include "LocalTime.h"

class FixedClock {
public:
    explicit FixedClock(TLocalTime time) {
        SetLocalTimeSource([time] { return time; });
    }
    ~FixedClock() { SetLocalTimeSource(nullptr); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};
