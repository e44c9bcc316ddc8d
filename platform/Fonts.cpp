#include "Fonts.h"

#include <QFontDatabase>
#include <QLabel>
#include <QWidget>

#include <initializer_list>

namespace {

// The first of the families that is installed, else the default of the kind.
QFont PickFont(std::initializer_list<const char*> families, QFontDatabase::SystemFont fallback) {
    const QStringList installed = QFontDatabase::families();
    for (const char* family : families) {
        if (installed.contains(QString::fromLatin1(family))) {
            return QFont(QString::fromLatin1(family));
        }
    }
    return QFontDatabase::systemFont(fallback);
}

} // namespace

QFont DialogFont() {
    QFont font = PickFont({"Liberation Sans", "Arimo", "DejaVu Sans"}, QFontDatabase::GeneralFont);
    font.setPixelSize(11);
    return font;
}

QFont FixedPaneFont() {
    QFont font = PickFont({"Liberation Mono", "DejaVu Sans Mono"}, QFontDatabase::FixedFont);
    font.setPixelSize(11);
    return font;
}

QFont SmallLabelFont() {
    QFont font = QFontDatabase::families().contains(QStringLiteral("DejaVu Sans"))
                     ? QFont(QStringLiteral("DejaVu Sans"))
                     : DialogFont();
    font.setPixelSize(8);
    return font;
}

void FitLabelsToText(QWidget* form) {
    for (QLabel* label : form->findChildren<QLabel*>()) {
        const int needed = label->fontMetrics().horizontalAdvance(label->text()) + 1;
        if (needed <= label->width()) {
            continue;
        }
        const QRect grown(label->pos(), QSize(needed, label->height()));
        bool free = true;
        for (QObject* child : label->parentWidget()->children()) {
            auto* sibling = qobject_cast<QWidget*>(child);
            free = free && (sibling == nullptr || sibling == label ||
                            !sibling->geometry().intersects(grown));
        }
        if (free) {
            label->resize(grown.size());
        }
    }
}
