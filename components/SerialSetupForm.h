#pragma once
/// \class TFormSerialSetup SerialSetupForm.h <vyn/SerialSetupForm.h>
/// TFormSerialSetup: the window of TSerialSetupDlg. FormShow fills and lays it
/// out from the fields (English or Dutch by Taal; the baud-rate row and the
/// four line-setting rows can be hidden); ButtonOkClick reads the controls
/// back into the fields. Leaving it: OK gives 1, Cancel, Esc or closing 2.
/// GUI thread only.

#include "SerialPorts.h"
#include "VynExport.h"
#include "ui_FormSerialSetup.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class VYN_EXPORT TFormSerialSetup : public QDialog, public Ui::FormSerialSetup {
    Q_OBJECT

public:
    /// A hidden window; set the fields, then show it.
    explicit TFormSerialSetup(QWidget* parent = nullptr);

    ///@{
    /// As TSerialSetupDlg's property of the same name.
    int Taal = 0;
    std::string Port;
    long Baudrate = 0;
    unsigned char Databits = 0;
    unsigned char Parity = 0;
    unsigned char Stopbits = 0;
    unsigned char FlowCtrl = 0;
    bool ShowBaudrate = false;
    bool ShowSettings = false;
    bool AutoBaudrate = false;
    std::string Caption;
    ///@}

    /// Runs when the form is shown, unless it ran just before (as Execute
    /// does, so that an exception in it never crosses the event loop).
    void FormShow();
    /// Reads the controls back into the fields (a typed parity, stop-bit or
    /// flow-control text that is no item reads as the first item).
    void ButtonOkClick();

    /// Esc or closing: ends the window with 2.
    void reject() override;

protected:
    /// Lays the window out (FormShow) unless that ran just before.
    void showEvent(QShowEvent* event) override;

private:
    bool m_laidOut = false;
};

/// The language table: ten items in English and Dutch, item 2 * n + taal
/// (Windows-1252: the Dutch caption's ë is the byte 0xEB).
VYN_EXPORT const char* SerialSetupText(int item, int taal);

/// The present serial ports (ttyS0, ttyUSB0, ...) with what the system knows
/// of each. False when they cannot be listed.
VYN_EXPORT bool EnumeratePorts(std::vector<TPortEntry>& ports);

/// True for a non-empty text of decimal digits only.
VYN_EXPORT bool IsNumber(const std::string& text);

/// A text read as a decimal number the way atol reads it (leading blanks, a
/// sign, the leading digits; 0 when it does not start with a number), except
/// that a number beyond the range of a long gives 0 instead of undefined
/// behaviour.
VYN_EXPORT long ReadLong(const std::string& text);

/// Tests only: where the ports come from. The lister replaces EnumeratePorts
/// (nullptr restores it); the probe folder is where the other platform
/// family's probing looks for ttyS0 to ttyS255 (empty restores "/dev/").
VYN_EXPORT void SetPortListerForTesting(std::function<bool(std::vector<TPortEntry>&)> lister);
VYN_EXPORT void SetProbeFolderForTesting(const std::string& folder);
