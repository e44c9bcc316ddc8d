#pragma once
// TFormTaal: the language choice window of TTaalDlg: "English" and
// "Nederlands", OK and Cancel (Esc), no close box. Taal is the language
// shown and, after OK, the one chosen. Leaving it: OK gives 1, Cancel or
// Esc 2. GUI thread only.

#include "VynExport.h"
#include "ui_FormTaal.h"

#include <QDialog>

class VYN_EXPORT TFormTaal : public QDialog, public Ui::FormTaal {
    Q_OBJECT

public:
    explicit TFormTaal(QWidget* parent = nullptr);

    int Taal = 0;

    void FormShow();
    void ButtonOKClick();

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

// The form's captions: item 0 the window, 1 OK, 2 Cancel; taal 0 English,
// 1 Dutch.
VYN_EXPORT const char* TaalText(int item, int taal);
