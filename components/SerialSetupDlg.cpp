#include "SerialSetupDlg.h"

#include "Palette.h"
#include "SerialSetupForm.h"
#include "VynExport.h"

#include <algorithm>
#include <exception>
#include <memory>

namespace Serialsetupdlg {
VYN_EXPORT void Register() {
    RegisterComponents("VYN", {"TSerialSetupDlg"});
}
} // namespace Serialsetupdlg

TSerialSetupDlg::TSerialSetupDlg(QObject* owner) : QObject(owner) {}

bool TSerialSetupDlg::Execute() {
    std::unique_ptr<TFormSerialSetup> form;
    try {
        form = std::make_unique<TFormSerialSetup>();
        Taal = std::clamp(Taal, 0, 1);
        form->Taal = Taal;
        form->Port = Port;
        form->Baudrate = Baudrate;
        form->Databits = Databits;
        form->Parity = Parity;
        form->Stopbits = Stopbits;
        form->FlowCtrl = FlowCtrl;
        form->ShowBaudrate = ShowBaudrate;
        form->ShowSettings = ShowSettings;
        form->AutoBaudrate = AutoBaudrate;
        form->Caption = Caption;
        // Filled before the window's event loop runs: an exception while
        // filling it (port discovery) never crosses Qt's code, and a form
        // that cannot be filled is not shown.
        form->FormShow();
    } catch (const std::exception&) {
        return false;
    }
    const bool ok = form->exec() == 1;
    // Only OK changes the form's values, so after Cancel these are the
    // component's own.
    Port = form->Port;
    Baudrate = form->Baudrate;
    Databits = form->Databits;
    Parity = form->Parity;
    Stopbits = form->Stopbits;
    FlowCtrl = form->FlowCtrl;
    return ok;
}
