#include "VynDBMemo.h"

#include "Palette.h"
#include "VynExport.h"
#include "WidgetClasses.h"

namespace Vyndbmemo {
VYN_EXPORT void Register() {
    RegisterComponents("VYN", {"TVynDBMemo"});
    RegisterWidgetClass<TVynDBMemo>("TVynDBMemo", "VynDBMemo.h",
                                    "Data-aware memo with read-only colouring", QSize(185, 89));
}
} // namespace Vyndbmemo

TVynDBMemo::TVynDBMemo(QWidget* parent) : TReadOnlyColouring(parent, clInfoBk) {
    SetReadOnly(false);
}
