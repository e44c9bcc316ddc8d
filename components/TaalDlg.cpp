#include "TaalDlg.h"

#include "Palette.h"
#include "TaalForm.h"
#include "VynExport.h"

#include <algorithm>
#include <memory>

namespace Taaldlg {
VYN_EXPORT void Register() {
    RegisterComponents("VYN", {"TTaalDlg"});
}
} // namespace Taaldlg

TTaalDlg::TTaalDlg(QObject* owner) : QObject(owner) {}

bool TTaalDlg::Execute() {
    // The form lives only for this call; nothing refers to it afterwards.
    // Nothing is thrown inside its event loop, so nothing is caught there.
    const auto form = std::make_unique<TFormTaal>();
    Taal = std::clamp(Taal, 0, 1);
    form->Taal = Taal;
    const bool ok = form->exec() == 1;
    Taal = form->Taal;
    return ok;
}
