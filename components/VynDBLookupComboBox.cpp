#include "VynDBLookupComboBox.h"

#include "Palette.h"
#include "QtColor.h"
#include "VynExport.h"
#include "WidgetClasses.h"

#include <QApplication>

namespace Vyndblookupcombobox {
VYN_EXPORT void Register() {
    RegisterComponents("VYN", {"TVynDBLookupComboBox"});
    RegisterWidgetClass<TVynDBLookupComboBox>("TVynDBLookupComboBox", "VynDBLookupComboBox.h",
                                              "Data-aware lookup list with read-only colouring",
                                              QSize(145, 21));
}
} // namespace Vyndblookupcombobox

TVynDBLookupComboBox::TVynDBLookupComboBox(QWidget* parent) : TDBLookupComboBox(parent) {
    SetReadOnly(false);
}

void TVynDBLookupComboBox::SetReadOnly(bool readOnly) {
    m_shown = readOnly ? ColorRO : ColorRW;
    // A closed list paints its face in the button colour, the open list and
    // an editable box in the base colour.
    const QColor colour = ToQColor(m_shown, QApplication::palette(this));
    QPalette p = palette();
    p.setColor(QPalette::Button, colour);
    p.setColor(QPalette::Base, colour);
    setPalette(p);
    SetBaseReadOnly(readOnly);
}
