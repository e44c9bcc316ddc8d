#include "StatusLed.h"

#include "DeferredCall.h"
#include "VynUtil.h"
#include "support/EventLoop.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <memory>

namespace {

// The lamps as the rules give them, independently of the generator.
constexpr QRgb kColours[16] = {0x000000, 0xFFFFFF, 0x808080, 0xC0C0C0, 0x800000, 0xFF0000,
                               0x808000, 0xFFFF00, 0x008000, 0x00FF00, 0x008080, 0x00FFFF,
                               0x000080, 0x0000FF, 0x800080, 0xFF00FF};
constexpr int kLarge[9] = {0, 3, 5, 7, 7, 7, 5, 3, 0};
constexpr int kSmall[9] = {0, 0, 3, 5, 5, 5, 3, 0, 0};

QRgb Expected(int index, int x, int y) {
    const int colour = index % 16;
    const int width = (index < 16 ? kLarge : kSmall)[y];
    const bool disc = x >= (9 - width) / 2 && x < (9 - width) / 2 + width;
    const QRgb background = colour == 3 ? 0xFFFFFF : 0xC0C0C0;
    return disc ? kColours[colour] : background;
}

QRgb Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

TEST(StatusLed, EveryLampFollowsItsPixelRules) {
    for (int index = 0; index < 32; ++index) {
        const QImage lamp = LoadLampImage(index);
        ASSERT_EQ(lamp.size(), QSize(9, 9)) << LampName(index);
        for (int y = 0; y < 9; ++y) {
            for (int x = 0; x < 9; ++x) {
                ASSERT_EQ(Rgb(lamp, x, y), Expected(index, x, y))
                    << LampName(index) << " at " << x << "," << y;
            }
        }
    }
    EXPECT_STREQ(LampName(5), "LED_RED");
    EXPECT_STREQ(LampName(19), "LEDSMALL_GREY");
    EXPECT_TRUE(LoadLampImage(32).isNull());
}

// An LED on a shown, magenta parent, so a left-out background shows.
class Led : public testing::Test {
protected:
    Led() {
        parent.setAutoFillBackground(true);
        QPalette p = parent.palette();
        p.setColor(QPalette::Window, QColor(0xFF00FF));
        parent.setPalette(p);
        parent.resize(30, 30);
        led = new TStatusLed(&parent);
        parent.show();
        QApplication::processEvents();
    }
    ~Led() override { SetPlatformIdForTesting(0); }

    bool Shows(int index) const {
        return led->Picture() == LoadLampImage(index).convertToFormat(QImage::Format_RGB32);
    }

    QWidget parent;
    TStatusLed* led = nullptr;
};

TEST_F(Led, StartsWhiteAndShowsLampsByIndex) {
    EXPECT_EQ(led->size(), QSize(9, 9));
    EXPECT_TRUE(led->BitmapsLoaded);
    EXPECT_TRUE(Shows(1)); // the false-state lamp, drawn by the constructor
    EXPECT_FALSE(led->Transparent());
    led->SetLed(21);
    EXPECT_TRUE(Shows(21));
    led->SetLed(32);
    led->SetLed(-1);
    EXPECT_TRUE(Shows(21));

    led->SetLedColors(0, 9, 5);
    EXPECT_TRUE(Shows(21));
    led->SetLedBool(false);
    EXPECT_TRUE(Shows(9));
    led->SetLedBool(true);
    EXPECT_TRUE(Shows(5));
    led->SetLedOff();
    EXPECT_TRUE(Shows(0));

    led->hide();
    led->SetLed(13);
    led->show();
    EXPECT_TRUE(Shows(0));
}

TEST_F(Led, BackgroundIsLeftOutOnlyOnThisPlatformFamily) {
    led->Init(&parent);
    led->SetLed(3); // grey on white: the white is left out
    QImage shot = parent.grab(led->geometry()).toImage();
    EXPECT_EQ(Rgb(shot, 0, 0), 0xFF00FFu);
    EXPECT_EQ(Rgb(shot, 4, 4), 0xC0C0C0u);

    SetPlatformIdForTesting(1);
    led->Init(&parent);
    led->SetLed(5);
    EXPECT_FALSE(led->Transparent());
    shot = parent.grab(led->geometry()).toImage();
    EXPECT_EQ(Rgb(shot, 0, 0), 0xC0C0C0u);
    EXPECT_EQ(Rgb(shot, 4, 4), 0xFF0000u);
}

TEST_F(Led, FlashEndsOnce100MsAfterTheLastFlash) {
    led->Init(&parent);
    QElapsedTimer clock;
    led->FlashLed(9);
    Settle(50);
    led->FlashLed(9);
    clock.start();
    led->SetLedBool(true); // shows at once; the flash still ends it
    EXPECT_TRUE(Shows(5));
    ASSERT_TRUE(ProcessUntil([&] { return Shows(1); }, 1000));
    EXPECT_GE(clock.elapsed(), 95);
    EXPECT_EQ(led->TimerId, 0u);
    led->SetLed(7);
    Settle(150);
    EXPECT_TRUE(Shows(7)); // nothing else came
}

TEST_F(Led, FlashWithoutAWindowEndsAndADestroyedLedGetsNothing) {
    led->FlashLed(13); // no Init: the LED times itself
    EXPECT_TRUE(ProcessUntil([&] { return Shows(1); }, 1000));

    led->Init(&parent);
    led->FlashLed(13);
    const std::uintptr_t key = led->TimerId;
    delete led;
    led = nullptr;
    EXPECT_FALSE(DeferredCallPending(&parent, key));
    Settle(150); // under the sanitizers a call into the dead LED would show here
}

} // namespace
