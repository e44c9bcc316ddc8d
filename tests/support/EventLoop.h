#pragma once
// Running the Qt event loop in tests until something has happened.

#include <QCoreApplication>
#include <QElapsedTimer>

// Runs the event loop until the condition holds or `ms` have passed; returns
// the condition.
template <class F> bool ProcessUntil(F condition, int ms = 2000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return condition();
}

// Runs the event loop for `ms` milliseconds.
inline void Settle(int ms) {
    ProcessUntil([] { return false; }, ms);
}
