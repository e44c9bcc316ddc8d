#pragma once
/// \class TFormTaal TaalForm.h <vyn/TaalForm.h>
/// TFormTaal: the language choice window of TTaalDlg: "English" and
/// "Nederlands", OK and Cancel (Esc), no close box. Taal is the language
/// shown and, after OK, the one chosen. Leaving it: OK gives 1, Cancel or
/// Esc 2. GUI thread only.

#include "VynExport.h"
#include "ui_FormTaal.h"

#include <QDialog>

class VYN_EXPORT TFormTaal : public QDialog, public Ui::FormTaal {
    Q_OBJECT

public:
    /// A hidden window of fixed size, without a close box.
    explicit TFormTaal(QWidget* parent = nullptr);

    int Taal = 0; ///< the language shown, and after OK the one chosen

    /// Checks Taal's button and titles the window in that language.
    void FormShow();
    /// Reads the checked button into Taal (the OK button then ends the window with 1).

    void ButtonOKClick();

    /// Cancel or Esc: ends the window with 2.
    void reject() override;

protected:
    /// Fills the window (FormShow) when it is shown.
    void showEvent(QShowEvent* event) override;
    /// Refused: only OK, Cancel or Esc end the window.
    void closeEvent(QCloseEvent* event) override;
};

/// The form's captions: item 0 the window, 1 OK, 2 Cancel; taal 0 English,
/// 1 Dutch.
VYN_EXPORT const char* TaalText(int item, int taal);
