#include "TextForm.h"

#include "Fonts.h"
#include "QtText.h"
#include "StatusLed.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QStyle>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr const char* kCaptions[8][2] = {
    {"", ""},
    {"OK", "OK"},
    {"Cancel", "Annuleren"},
    {"&Abort", "&Afbreken"},
    {"&Retry", "&Opnieuw"},
    {"&Ignore", "&Negeren"},
    {"&Yes", "&Ja"},
    {"&No", "&Nee"},
};

// A button set: its buttons left to right (by result), the one Esc presses,
// and whether the window keeps its close command.
struct TButtonSet {
    std::vector<int> Buttons;
    int Cancel;
    bool Closable;
};

TButtonSet SetOf(int type) {
    switch (type & 0x0F) {
    case 0: return {{idOk}, idOk, true};
    case 1: return {{idOk, idCancel}, idCancel, true};
    case 2: return {{idAbort, idRetry, idIgnore}, 0, false};
    case 3: return {{idYes, idNo, idCancel}, idCancel, true};
    case 4: return {{idYes, idNo}, 0, false};
    case 5: return {{idRetry, idCancel}, idCancel, true};
    case 8: return {{idYes, idRetry, idNo}, 0, true};
    case 15: return {{}, 0, true};
    default: return {{idOk}, idOk, true};
    }
}

QImage LoadIcon(const char* name) {
    return QImage(QStringLiteral(":/bitmaps/") + QLatin1String(name));
}

// The text with a place to break (a zero-width space) in every run of more
// than 32 characters without a blank, so that word wrapping can break a
// line of one endless word too.
QString Breakable(const QString& text) {
    constexpr int kRun = 32;
    QString out;
    out.reserve(text.size() + text.size() / kRun);
    int run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kRun) {
            out += QChar(0x200B);
            run = 1;
        }
        out += c;
    }
    return out;
}

// The screen area a box may take: the available area of the primary screen.
QRect AvailableArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1 << 20, 1 << 20);
}

} // namespace

const char* TextDlgButtonCaption(int result, int taal) {
    return result >= 1 && result <= 7 ? kCaptions[result][std::clamp(taal, 0, 1)] : "";
}

TFormText::TFormText(QWidget* parent)
    : QDialog(parent), IconError(LoadIcon("MTERROR")), IconWarning(LoadIcon("MTWARNING")),
      IconInformation(LoadIcon("MTINFORMATION")), IconConfirmation(LoadIcon("MTCONFIRMATION")) {
    setupUi(this);
    setFont(DialogFont());
    // A box does not keep the application running.
    setAttribute(Qt::WA_QuitOnClose, false);
    // The message is text, never markup: a line that looks like HTML (from
    // a device or a user) shows as it is.
    for (QLabel* label : {Label1, Label2, Label3, Label4}) {
        label->setTextFormat(Qt::PlainText);
    }
    FormCreate();
    const std::pair<QPushButton*, int> results[] = {
        {ButtonYes, idYes},       {ButtonNo, idNo},       {ButtonRetry, idRetry},
        {ButtonCancel, idCancel}, {ButtonAbort, idAbort}, {ButtonIgnore, idIgnore}};
    for (const auto& [button, result] : results) {
        connect(button, &QPushButton::clicked, this, [this, r = result] { ButtonClick(r); });
    }
    connect(ButtonOK, &QPushButton::clicked, this, [this] {
        ButtonOKClick();
        ButtonClick(idOk);
    });
}

TFormText::~TFormText() = default;

void TFormText::FormCreate() {
    setVisible(false);
}

void TFormText::ButtonClick(int result) {
    // Modal, every button ends the box with its result; non-modal, only OK
    // does anything (ButtonOKClick).
    if (Modal != 0) {
        done(result);
    }
}

void TFormText::ButtonOKClick() {
    if (Modal == 0) {
        m_closingByOk = true;
        close();
        m_closingByOk = false;
    }
}

void TFormText::FormClose() {
    setAttribute(Qt::WA_DeleteOnClose, true);
}

bool TFormText::CanClose() const {
    return SetOf(DlgType).Closable;
}

void TFormText::reject() {
    // Esc presses the set's Cancel button; a set without one ignores it.
    if (m_cancel != nullptr) {
        m_cancel->click();
    }
}

void TFormText::closeEvent(QCloseEvent* event) {
    if (Modal != 0) {
        // The window's close command: 2, unless the set has none.
        event->ignore();
        if (CanClose()) {
            done(idCancel);
        }
        return;
    }
    // A non-modal box has no close command: only its OK button closes it.
    if (!m_closingByOk) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TFormText::ApplyBorderIcons() {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (Modal != 0 && CanClose()) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    setWindowFlags(flags);
}

void TFormText::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TFormText::FormShow() {
    QPushButton* const byResult[8] = {nullptr,     ButtonOK,     ButtonCancel, ButtonAbort,
                                      ButtonRetry, ButtonIgnore, ButtonYes,    ButtonNo};
    // 1. and 2.
    for (int r = 1; r <= 7; ++r) {
        byResult[r]->hide();
        byResult[r]->setDefault(false);
        byResult[r]->setText(ToQString(TextDlgButtonCaption(r, Taal)));
    }
    m_cancel = nullptr;
    if (!YesString.empty()) {
        ButtonYes->setText(ToQString(YesString));
    }
    if (!NoString.empty()) {
        ButtonNo->setText(ToQString(NoString));
    }
    // 3. to 5.
    const TButtonSet set = SetOf(DlgType);
    const int count = static_cast<int>(set.Buttons.size());
    setWindowTitle(ToQString(TextCaption));
    QLabel* const labels[4] = {Label1, Label2, Label3, Label4};
    const std::string* const texts[4] = {&TextLine1, &TextLine2, &TextLine3, &TextLine4};
    // The labels sit in the box itself unless an earlier show put them in
    // the scrolling area.
    for (QLabel* label : labels) {
        if (label->parentWidget() != this) {
            label->setParent(this);
            label->show();
        }
        label->setWordWrap(false);
        label->setMinimumSize(0, 0);
        label->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    if (m_scroll != nullptr) {
        m_scroll->hide();
    }
    int maxW = 0;
    int lines = 0;
    for (int i = 0; i < 4; ++i) {
        labels[i]->setText(ToQString(*texts[i]));
        labels[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        labels[i]->adjustSize();
        maxW = std::max(maxW, labels[i]->width());
        if (!texts[i]->empty()) {
            lines = i + 1;
        }
    }
    // 6. to 12. Outer sizes, with the frame as the window system gives it
    // (0 where there is none, as offscreen).
    const int frameW = frameGeometry().width() - width();
    const int frameH = frameGeometry().height() - height();
    const int buttonsW = count * 75 + std::max(count - 1, 0) * 6;
    const bool icon = (DlgType & 0xF0) != 0;
    const int labelLeft = icon ? 61 : 12;
    const int iconW = icon ? 53 : 0;
    const int margin = icon ? 20 : 24;
    // A box never grows beyond the screen: lines too long for it wrap.
    const QRect area = AvailableArea();
    const int widestLabel = std::max(area.width() - margin - frameW - iconW, 75);
    if (maxW > widestLabel) {
        // Room kept for a scroll bar, should the wrapped text need one.
        const int wrapW = widestLabel - style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        for (int i = 0; i < 4; ++i) {
            labels[i]->setText(Breakable(ToQString(*texts[i])));
            labels[i]->setWordWrap(true);
            labels[i]->resize(wrapW, labels[i]->heightForWidth(wrapW));
        }
        maxW = widestLabel;
    }
    const int contentW = std::max(iconW + maxW, buttonsW);
    const int outerW =
        std::min(std::max(contentW + margin + frameW, MinWidth), std::max(area.width(), 1));
    const int labelW = outerW - margin - frameW;
    ButtonsLeft = (outerW - buttonsW - frameW) / 2;
    // 13. to 22. A line's step; a label of several lines (or wrapped)
    // takes the height they need beyond the first.
    const int lineH = std::abs(Label1->font().pointSize()) + 16;
    const int oneLine = Label1->fontMetrics().height();
    int steps[4] = {};
    int textH = 17;
    for (int i = 0; i < 4; ++i) {
        const bool tall = labels[i]->wordWrap() || labels[i]->text().contains(QLatin1Char('\n'));
        steps[i] = tall ? lineH + std::max(0, labels[i]->height() - oneLine) : lineH;
        textH += i < lines ? steps[i] : 0;
    }
    const int iconH = icon ? 54 : 0;
    const int bottom = count > 0 ? frameH + 36 : frameH;
    const int naturalH = std::max(std::max(iconH, textH) + bottom, MinHeight);
    // Text that still does not fit the screen scrolls above the buttons,
    // which stay in view.
    const int outerH = std::min(naturalH, std::max(area.height(), bottom + lineH));
    const int areaH = outerH - bottom;
    const bool scrolls = naturalH > outerH;
    const int top0 = scrolls ? 0 : (areaH - textH) / 2;
    if (scrolls) {
        if (m_scroll == nullptr) {
            m_scroll = new QScrollArea(this);
            m_scroll->setObjectName(QStringLiteral("TextScroll"));
            m_scroll->setFrameShape(QFrame::NoFrame);
            m_scroll->setWidget(new QWidget);
            m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        }
        m_scroll->setGeometry(labelLeft, 0, outerW - frameW - labelLeft, areaH);
        QWidget* content = m_scroll->widget();
        content->resize(m_scroll->width(), textH);
        for (QLabel* label : labels) {
            label->setParent(content);
            label->show();
        }
        m_scroll->show();
    }
    for (int i = 0, y = top0 + 11; i < 4; y += steps[i], ++i) {
        labels[i]->move(scrolls ? 0 : labelLeft, y);
    }
    ButtonsTop = areaH;
    Image->setGeometry(8, (areaH - 38) / 2, 38, 38);
    // 23. The icon without its background.
    Image->setVisible(icon);
    const QImage* picture = nullptr;
    switch (DlgType & 0xF0) {
    case 0x10: picture = &IconError; break;
    case 0x20: picture = &IconConfirmation; break;
    case 0x30: picture = &IconWarning; break;
    case 0x40: picture = &IconInformation; break;
    default: break;
    }
    Image->setPixmap(picture != nullptr ? QPixmap::fromImage(WithoutBackground(*picture))
                                        : QPixmap());
    // 24. and 25.
    setFocus();
    for (int i = 0; i < count; ++i) {
        QPushButton* button = byResult[set.Buttons[static_cast<std::size_t>(i)]];
        button->show();
        button->setDefault(false);
        if (i == 0 && UseDefault) {
            button->setFocus();
            button->setDefault(true);
        }
        button->move(ButtonsLeft + 81 * i, ButtonsTop);
    }
    m_cancel = set.Cancel != 0 ? byResult[set.Cancel] : nullptr;
    // 26.
    if (Center) {
        for (QLabel* label : labels) {
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            label->resize(labelW, label->height());
        }
    }
    // 27. Qt sizes the client area: the outer size less the frame. The box
    // stands in the middle of the desktop.
    setFixedSize(outerW - frameW, outerH - frameH);
    // (QRect::center rounds down, which put a box as large as the area one
    // pixel off it.)
    move(area.left() + std::max(0, (area.width() - outerW) / 2),
         area.top() + std::max(0, (area.height() - outerH) / 2));
}
