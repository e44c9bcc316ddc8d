#include "RxTxPanel.h"

#include "Fonts.h"
#include "Palette.h"
#include "StatusLed.h"
#include "VynExport.h"
#include "WidgetClasses.h"

#include <QPainter>

namespace Rxtxpanel {
VYN_EXPORT void Register() {
    RegisterComponents("VYN", {"TRxTxPanel"});
    RegisterWidgetClass<TRxTxPanel>("TRxTxPanel", "RxTxPanel.h",
                                    "Transmit and receive lamps of a serial line", QSize(18, 21));
}
} // namespace Rxtxpanel

namespace {

constexpr int kWhite = 1; // lamp indexes of LED_WHITE and LED_GREEN
constexpr int kGreen = 9;
constexpr int kLampX = 8;
constexpr int kLampY[2] = {2, 12};

} // namespace

TRxTxPanel::TRxTxPanel(QWidget* owner)
    : QWidget(owner), m_whiteLamp(WithoutBackground(LoadLampImage(kWhite))),
      m_greenLamp(WithoutBackground(LoadLampImage(kGreen))) {
    resize(18, 21);
    // The nearest small font to the designed "Small Fonts" at 6 points.
    setFont(SmallLabelFont());
}

void TRxTxPanel::Init() {
    resize(18, 21);
    m_labels = true;
    m_lamps[0] = 0;
    m_lamps[1] = 0;
    update();
}

void TRxTxPanel::SetLed(int lamp, int state) {
    m_lamps[lamp == 0 ? 0 : 1] = state != 0 ? 1 : 0;
    update();
}

void TRxTxPanel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (m_labels) {
        painter.setPen(palette().color(QPalette::WindowText));
        const int lineHeight = fontMetrics().height();
        painter.drawText(QRect(1, 1, 7, lineHeight), Qt::AlignLeft | Qt::AlignTop,
                         QStringLiteral("T"));
        painter.drawText(QRect(1, 11, 7, lineHeight), Qt::AlignLeft | Qt::AlignTop,
                         QStringLiteral("R"));
    }
    for (int i = 0; i < 2; ++i) {
        if (m_lamps[i] >= 0) {
            painter.drawImage(kLampX, kLampY[i], m_lamps[i] != 0 ? m_greenLamp : m_whiteLamp);
        }
    }
}
