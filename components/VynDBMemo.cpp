#include "VynDBMemo.h"

#include "Palette.h"

namespace Vyndbmemo {
void Register() {
    RegisterComponents("VYN", {"TVynDBMemo"});
}
} // namespace Vyndbmemo

TVynDBMemo::TVynDBMemo(QWidget* parent) : TReadOnlyColouring(parent, clInfoBk) {
    SetReadOnly(false);
}
