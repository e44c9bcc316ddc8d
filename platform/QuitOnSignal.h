#pragma once
/// \file QuitOnSignal.h
/// Ending a Qt program cleanly when it is asked to stop (SIGTERM, SIGINT,
/// SIGHUP): the signal only wakes the event loop, which then quits, so the
/// program's objects are destroyed as at a normal end (temporary folders
/// removed, files closed).

#include "VynExport.h"

/// Makes the termination signals quit the application's event loop. Call
/// once, after the application object exists, on its thread. False (nothing
/// changed) when the wake-up channel cannot be made.
[[nodiscard]] VYN_EXPORT bool QuitOnTerminationSignals();
