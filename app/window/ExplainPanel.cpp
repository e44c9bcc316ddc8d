#include "ExplainPanel.h"

#include "Fonts.h"

#include <QApplication>
#include <QResizeEvent>

#include <algorithm>

namespace {

constexpr int kGap = 6;         // between the widget and the panel
constexpr int kHeading = 22;    // the heading line with the close button
constexpr int kTextLines = 7;   // the explanation's lines, and one to spare
constexpr int kLeastAbove = 60; // what the widget keeps at the least

} // namespace

TExplainPanel::TExplainPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ExplainPanel"));
    LabelExplainHeading = new QLabel(this);
    LabelExplainHeading->setObjectName(QStringLiteral("LabelExplainHeading"));
    LabelExplainHeading->setTextFormat(Qt::PlainText);
    QFont bold = LabelExplainHeading->font();
    bold.setBold(true);
    LabelExplainHeading->setFont(bold);
    ButtonCloseExplain = new QToolButton(this);
    ButtonCloseExplain->setObjectName(QStringLiteral("ButtonCloseExplain"));
    ButtonCloseExplain->setText(QString::fromUtf8("\xC3\x97"));
    ButtonCloseExplain->setToolTip(QStringLiteral("Close the explanation"));
    connect(ButtonCloseExplain, &QToolButton::clicked, this, &TExplainPanel::HideAway);
    TextExplain = new QPlainTextEdit(this);
    TextExplain->setObjectName(QStringLiteral("TextExplain"));
    TextExplain->setReadOnly(true);
    TextExplain->setLineWrapMode(QPlainTextEdit::NoWrap);
    TextExplain->setFont(FixedPaneFont());
    TextExplain->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    hide();
}

int TExplainPanel::PanelHeight() const {
    const QFontMetrics fm(TextExplain->font());
    return kHeading + fm.lineSpacing() * kTextLines + 2 * TextExplain->frameWidth() + 8;
}

void TExplainPanel::SetExplanation(const QString& heading, const QString& text) {
    LabelExplainHeading->setText(heading);
    if (TextExplain->toPlainText() != text) {
        TextExplain->setPlainText(text);
    }
}

void TExplainPanel::ShowUnder(QWidget* page, QWidget* beside) {
    if (beside != m_beside) {
        Release();
        setParent(page);
        m_page = page;
        m_beside = beside;
        const QRect r = beside->geometry();
        m_bottomGap = page->height() - (r.bottom() + 1);
        m_rightGap = page->width() - (r.right() + 1);
        // Ours run first (the latest filter does), so the widget's height is
        // bounded before the page places it.
        page->installEventFilter(this);
        // A page that lays itself out may move the widget after that.
        beside->installEventFilter(this);
    }
    show();
    raise();
    ResendResize(page);
    Place();
}

void TExplainPanel::HideAway() {
    Release();
    hide();
}

void TExplainPanel::Release() {
    if (m_page != nullptr) {
        m_page->removeEventFilter(this);
    }
    if (m_beside != nullptr) {
        m_beside->removeEventFilter(this);
        m_beside->setMaximumHeight(QWIDGETSIZE_MAX);
        if (m_page != nullptr) {
            ResendResize(m_page);
        }
    }
    m_page = nullptr;
    m_beside = nullptr;
}

void TExplainPanel::ResendResize(QWidget* page) {
    QResizeEvent resize(page->size(), page->size());
    QApplication::sendEvent(page, &resize);
}

bool TExplainPanel::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_page && event->type() == QEvent::Resize) ||
        (watched == m_beside && event->type() == QEvent::Move)) {
        Place();
    }
    return false;
}

void TExplainPanel::Place() {
    QWidget* const page = m_page.data();
    QWidget* const beside = m_beside.data();
    if (page == nullptr || beside == nullptr) {
        return;
    }
    const QRect r = beside->geometry();
    const QSize pageSize = page->size();
    const int full = pageSize.height() - m_bottomGap - r.top();
    const int above = std::max(kLeastAbove, full - PanelHeight() - kGap);
    beside->setMaximumHeight(above);
    const int width = std::max(0, pageSize.width() - m_rightGap - r.left());
    const int height = std::max(kHeading + 20, full - above - kGap);
    setGeometry(r.left(), r.top() + above + kGap, width, height);
    LabelExplainHeading->setGeometry(0, 0, std::max(0, width - 28), kHeading - 2);
    ButtonCloseExplain->setGeometry(std::max(0, width - 24), 0, 22, kHeading - 2);
    TextExplain->setGeometry(0, kHeading, width, std::max(0, height - kHeading));
}
