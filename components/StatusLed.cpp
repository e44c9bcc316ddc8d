#include "StatusLed.h"

#include "DeferredCall.h"
#include "Palette.h"
#include "VynExport.h"
#include "VynUtil.h"
#include "WidgetClasses.h"

#include <QFile>
#include <QPainter>

namespace Statusled {
VYN_EXPORT void Register() {
    RegisterComponents("VYN", {"TStatusLed"});
    RegisterWidgetClass<TStatusLed>(
        "TStatusLed", "StatusLed.h",
        "Status lamp: one of 32 lamps, preset off/false/true lamps, flashing", QSize(16, 16));
}
} // namespace Statusled

namespace {

constexpr const char* kLampNames[32] = {
    "LED_BLACK",        "LED_WHITE",      "LED_DGREY",      "LED_GREY",        "LED_DRED",
    "LED_RED",          "LED_BROWN",      "LED_YELLOW",     "LED_DGREEN",      "LED_GREEN",
    "LED_DCYAN",        "LED_CYAN",       "LED_DBLUE",      "LED_BLUE",        "LED_DPURPLE",
    "LED_PURPLE",       "LEDSMALL_BLACK", "LEDSMALL_WHITE", "LEDSMALL_DGREY",  "LEDSMALL_GREY",
    "LEDSMALL_DRED",    "LEDSMALL_RED",   "LEDSMALL_BROWN", "LEDSMALL_YELLOW", "LEDSMALL_DGREEN",
    "LEDSMALL_GREEN",   "LEDSMALL_DCYAN", "LEDSMALL_CYAN",  "LEDSMALL_DBLUE",  "LEDSMALL_BLUE",
    "LEDSMALL_DPURPLE", "LEDSMALL_PURPLE"};

constexpr int kFlashMs = 100;
// The flash timer's identifier is the LED's address plus this.
constexpr std::uintptr_t kTimerOffset = 600;

bool NtFamily() {
    return GetPlatformId() == 2;
}

} // namespace

const char* LampName(int index) {
    return index >= 0 && index < 32 ? kLampNames[index] : "";
}

QImage LoadLampImage(int index) {
    if (index < 0 || index >= 32) {
        return {};
    }
    return QImage(QStringLiteral(":/bitmaps/") + QLatin1String(kLampNames[index]));
}

QImage WithoutBackground(const QImage& image) {
    if (image.isNull()) {
        return image;
    }
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb background = result.pixel(0, result.height() - 1);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if (line[x] == background) {
                line[x] = 0;
            }
        }
    }
    return result;
}

TStatusLed::TStatusLed(QWidget* owner) : QWidget(owner) {
    resize(9, 9);
    if (NtFamily()) {
        SetLed(FalseColor);
    }
    m_transparent = false;
}

TStatusLed::~TStatusLed() {
    // A pending flash must not reach this LED once it is gone.
    StopTimer();
}

void TStatusLed::Init(QObject* window) {
    TimerWnd = window;
    m_transparent = NtFamily();
    update();
}

void TStatusLed::SetLedColors(int offColor, int falseColor, int trueColor) {
    OffColor = offColor;
    FalseColor = falseColor;
    TrueColor = trueColor;
}

void TStatusLed::SetLed(int index) {
    // Only an LED hidden on purpose ignores lamps; one whose window is not
    // shown yet draws them.
    if (testAttribute(Qt::WA_WState_ExplicitShowHide) && testAttribute(Qt::WA_WState_Hidden)) {
        return;
    }
    InitBitmaps();
    m_transparent = false;
    if (index >= 0 && index < 32 && !m_bitmaps[static_cast<std::size_t>(index)].isNull()) {
        if (m_picture.isNull()) {
            m_picture = QImage(width(), height(), QImage::Format_RGB32);
            m_picture.fill(Qt::white);
        }
        QPainter painter(&m_picture);
        painter.drawImage(0, 0, m_bitmaps[static_cast<std::size_t>(index)]);
    }
    if (NtFamily()) {
        m_transparent = true;
    }
    repaint();
}

void TStatusLed::SetLedBool(bool state) {
    SetLed(state ? TrueColor : FalseColor);
}

void TStatusLed::SetLedOff() {
    SetLed(OffColor);
}

void TStatusLed::FlashLed(int index) {
    SetLed(index);
    StartTimer(kFlashMs);
}

void TStatusLed::InitBitmaps() {
    if (BitmapsLoaded) {
        return;
    }
    // Without the library's bitmaps (they are compiled in) nothing is
    // loaded, and the next call tries again.
    if (!QFile::exists(QStringLiteral(":/bitmaps/LED_BLACK"))) {
        return;
    }
    for (int i = 0; i < 32; ++i) {
        m_bitmaps[static_cast<std::size_t>(i)] = LoadLampImage(i);
    }
    BitmapsLoaded = true;
}

QObject* TStatusLed::TimerWindow() {
    // Without a window from Init the LED is its own: a flash still ends
    // after 100 ms, on the LED's thread.
    return TimerWnd != nullptr ? TimerWnd : this;
}

std::uintptr_t TStatusLed::TimerKey() const {
    return reinterpret_cast<std::uintptr_t>(this) + kTimerOffset;
}

void TStatusLed::StartTimer(int milliseconds) {
    // Arming the same key again replaces the pending call: the period starts
    // again.
    QObject* const window = TimerWindow();
    if (TimerId != 0 && window != m_armedOn) {
        CancelDeferredCall(m_armedOn, TimerId); // Init changed the window meanwhile
    }
    if (ArmDeferredCall(window, TimerKey(), milliseconds, [this] { TimeoutHandler(); })) {
        TimerId = TimerKey();
        m_armedOn = window;
    }
}

void TStatusLed::StopTimer() {
    if (TimerId != 0) {
        CancelDeferredCall(m_armedOn, TimerId);
        TimerId = 0;
    }
}

void TStatusLed::TimeoutHandler() {
    StopTimer();
    SetLed(FalseColor);
}

void TStatusLed::paintEvent(QPaintEvent* /*event*/) {
    if (m_picture.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_transparent ? WithoutBackground(m_picture) : m_picture);
}
