#include "Clipboard.h"

#include "Cp1252.h"
#include "QtText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

bool SetClipboardText(std::string_view cp1252) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) {
        return false;
    }
    auto* data = new QMimeData;
    data->setText(ToQString(cp1252));
    data->setData(kCp1252MimeType,
                  QByteArray(cp1252.data(), static_cast<qsizetype>(cp1252.size())));
    clipboard->setMimeData(data); // the clipboard owns it from here
    return true;
}

std::optional<std::string> GetClipboardText() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard != nullptr ? clipboard->mimeData() : nullptr;
    if (data == nullptr) {
        return std::nullopt;
    }
    if (data->hasFormat(kCp1252MimeType)) {
        const QByteArray bytes = data->data(kCp1252MimeType);
        return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    if (data->hasText()) {
        return FromQString(data->text());
    }
    return std::nullopt;
}
