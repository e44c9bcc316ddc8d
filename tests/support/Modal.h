#pragma once
// Playing the user on a modal window in tests: runs `call` (which shows a
// modal window and returns when it ends) while `act` gets the window of
// class Form once it is up and acts on it (clicks, keys).

#include <QApplication>
#include <QTimer>

#include <functional>

template <class Form, class Call> auto WithModal(const std::function<void(Form*)>& act, Call call) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto* form = qobject_cast<Form*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(form);
        }
    });
    poll->start(5);
    return call();
}
