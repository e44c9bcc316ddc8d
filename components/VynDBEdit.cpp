#include "VynDBEdit.h"

#include "Palette.h"
#include "VynExport.h"
#include "WidgetClasses.h"

#include <QMouseEvent>

namespace Vyndbedit {
VYN_EXPORT void Register() {
    RegisterComponents("VYN", {"TVynDBEdit"});
    RegisterWidgetClass<TVynDBEdit>("TVynDBEdit", "VynDBEdit.h",
                                    "Data-aware edit with read-only colouring and a hyperlink look",
                                    QSize(121, 21));
}
} // namespace Vyndbedit

TVynDBEdit::TVynDBEdit(QWidget* parent) : TReadOnlyColouring(parent, clInfoBk) {
    SetReadOnly(false);
}

void TVynDBEdit::SetReadOnly(bool readOnly) {
    TReadOnlyColouring::SetReadOnly(readOnly);
    if (!HandlersAssigned()) {
        return;
    }
    QPalette p = palette();
    p.setColor(QPalette::Text, readOnly ? QColor(0, 0, 255) : QColor(0, 0, 0));
    setPalette(p);
    QFont f = font();
    f.setUnderline(readOnly);
    f.setBold(false);
    f.setItalic(false);
    f.setStrikeOut(false);
    setFont(f);
}

void TVynDBEdit::RestoreCursor() {
    // The edit's own cursor: a text cursor while editable, an arrow while
    // read-only, as the line edit sets them.
    setCursor(isReadOnly() ? Qt::ArrowCursor : Qt::IBeamCursor);
}

void TVynDBEdit::mouseMoveEvent(QMouseEvent* event) {
    // The line edit selects text by dragging; only the hyperlink look (a
    // read-only edit with a click handler) keeps the moves to itself.
    if (!(isReadOnly() && HandlersAssigned())) {
        TReadOnlyColouring::mouseMoveEvent(event);
    }
    if (!HandlersAssigned()) {
        return;
    }
    if (!m_hover) {
        if (!text().isEmpty()) {
            if (isReadOnly()) {
                setCursor(Qt::PointingHandCursor);
            } else {
                RestoreCursor();
            }
            m_hover = true;
            update();
            if (isVisible()) {
                grabMouse(); // so a move outside still arrives here
            }
        }
        return;
    }
    if (rect().contains(event->position().toPoint())) {
        return;
    }
    RestoreCursor();
    m_hover = false;
    if (QWidget::mouseGrabber() == this) {
        releaseMouse();
    }
    update();
}

void TVynDBEdit::mouseReleaseEvent(QMouseEvent* event) {
    TReadOnlyColouring::mouseReleaseEvent(event);
    if (OnClick && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint())) {
        OnClick(this);
    }
}

void TVynDBEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    TReadOnlyColouring::mouseDoubleClickEvent(event);
    if (OnDblClick) {
        OnDblClick(this);
    }
}
