#include "Cp1252Entry.h"

#include "Cp1252.h"

char32_t FirstWithoutCp1252Byte(const QString& text) {
    for (const char32_t c : text.toUcs4()) {
        if (UnicodeToCp1252(c) < 0) {
            return c;
        }
    }
    return 0;
}

QString Cp1252RefusalText(char32_t character) {
    const QString code =
        QStringLiteral("%1").arg(static_cast<uint>(character), 4, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("Not taken: \"%1\" (U+%2) has no Windows-1252 byte")
        .arg(QString::fromUcs4(&character, 1), code);
}
