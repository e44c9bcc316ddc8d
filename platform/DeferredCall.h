#pragma once
/// \file DeferredCall.h
/// One-shot deferred calls on a window object's thread, in place of a timer
/// set on a window: a call is keyed by (window, identifier); arming the same
/// key again replaces the pending call; a pending call can be cancelled. Any
/// thread may arm or cancel; the call always runs on the window's thread,
/// from its event loop. Nothing runs for a window that has been destroyed.

#include "VynExport.h"

#include <cstdint>
#include <functional>

class QObject;

/// Prepares a window of the application's main thread for calls armed from
/// other threads: they are then handed over through the library's own locked
/// queue and a wake-up of the main thread's event loop. Call it on the main
/// thread (TVynSerialPort::Init does). Without it, arming from another thread
/// still works, through Qt's queued invocation.
VYN_EXPORT void PrepareDeferredCalls(QObject* window);

/// Runs `call` on the window's thread after at least delayMs milliseconds,
/// unless the key is armed again or cancelled before. Returns false when there
/// is no window.
VYN_EXPORT bool ArmDeferredCall(QObject* window, std::uintptr_t id, int delayMs,
                                std::function<void()> call);

/// Cancels the pending call of the key, if any. After it returns, that call
/// will not start (one already running on the window's thread finishes).
VYN_EXPORT void CancelDeferredCall(QObject* window, std::uintptr_t id);

/// Whether a call is pending for the key.
VYN_EXPORT bool DeferredCallPending(QObject* window, std::uintptr_t id);
