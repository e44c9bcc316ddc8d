#pragma once
// Playing the user on a modal window in tests: runs `call` (which shows a
// modal window and returns when it ends) while `act` gets the window of
// class Form once it is up and acts on it (clicks, keys). The watch ends
// when `call` returns; a window that has not come up within `deadlineMs`
// is a test failure, and nothing is left behind to act on later tests.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>

template <class Form, class Call>
auto WithModal(const std::function<void(Form*)>& act, Call call, int deadlineMs = 10000) {
    QTimer poll; // lives for this call only
    QElapsedTimer since;
    since.start();
    QObject::connect(&poll, &QTimer::timeout, [&poll, &since, &act, deadlineMs] {
        if (auto* form = qobject_cast<Form*>(QApplication::activeModalWidget())) {
            poll.stop();
            act(form);
        } else if (since.elapsed() > deadlineMs) {
            poll.stop();
            ADD_FAILURE() << "the modal window did not come up within " << deadlineMs << " ms";
        }
    });
    poll.start(5);
    return call();
}
