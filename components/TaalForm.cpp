#include "TaalForm.h"

#include "Fonts.h"
#include "QtText.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

namespace {

constexpr const char* kTexts[3][2] = {
    {"Language", "Taal"},
    {"OK", "OK"},
    {"Cancel", "Annuleren"},
};

} // namespace

const char* TaalText(int item, int taal) {
    return kTexts[std::clamp(item, 0, 2)][std::clamp(taal, 0, 1)];
}

TFormTaal::TFormTaal(QWidget* parent) : QDialog(parent) {
    setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(DialogFont());
    setFixedSize(216, 122);
    connect(ButtonOK, &QPushButton::clicked, this, [this] {
        ButtonOKClick();
        done(1);
    });
    connect(ButtonCancel, &QPushButton::clicked, this, [this] { done(2); });
}

void TFormTaal::reject() {
    done(2);
}

void TFormTaal::closeEvent(QCloseEvent* event) {
    // No close box: OK, Cancel or Esc end the window.
    event->ignore();
}

void TFormTaal::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TFormTaal::FormShow() {
    if (Taal == 0) {
        RadioTaal1->setChecked(true);
    } else if (Taal == 1) {
        RadioTaal2->setChecked(true);
    }
    setWindowTitle(ToQString(TaalText(0, Taal)));
    ButtonOK->setText(ToQString(TaalText(1, Taal)));
    ButtonCancel->setText(ToQString(TaalText(2, Taal)));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TFormTaal::ButtonOKClick() {
    if (RadioTaal1->isChecked()) {
        Taal = 0;
    }
    if (RadioTaal2->isChecked()) {
        Taal = 1;
    }
}
