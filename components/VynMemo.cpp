#include "VynMemo.h"

#include "Palette.h"
#include "QtText.h"
#include "VynExport.h"
#include "WidgetClasses.h"

namespace Vynmemo {
VYN_EXPORT void Register() {
    RegisterComponents("VYN", {"TVynMemo"});
    RegisterWidgetClass<TVynMemo>("TVynMemo", "VynMemo.h",
                                  "Windows-1252 memo with read-only colouring", QSize(185, 89));
}
} // namespace Vynmemo

TVynMemo::TVynMemo(QWidget* parent) : TReadOnlyColouring(parent, clBtnFace) {
    // Edits by the user arrive here; changes made by SetText and Clear are
    // announced (or not) by those functions themselves.
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_silent) {
            emit OnChange();
        }
    });
    SetEnabled(true);
    SetReadOnly(false);
}

void TVynMemo::Add(std::string_view line) {
    appendPlainText(ToQString(line));
}

std::string TVynMemo::Text() const {
    std::string text = FromQString(toPlainText());
    // The memo's text has CR LF line ends, as the program reads it.
    std::string out;
    out.reserve(text.size() + static_cast<std::size_t>(blockCount()));
    for (char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

void TVynMemo::SetText(std::string_view text) {
    QString wanted = ToQString(text);
    // The memo keeps line breaks as its own: CR LF, a lone CR and a lone LF
    // are each one.
    wanted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    wanted.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (wanted == toPlainText()) {
        return;
    }
    m_silent = true;
    setPlainText(wanted);
    m_silent = false;
    emit OnChange();
}

void TVynMemo::Clear() {
    m_silent = true;
    clear();
    m_silent = false;
}
