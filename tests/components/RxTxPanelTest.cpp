#include "RxTxPanel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

namespace {

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kGreen = 0x00FF00;

class Panel : public testing::Test {
protected:
    Panel() {
        parent.resize(40, 40);
        panel = new TRxTxPanel(&parent);
        parent.show();
        QApplication::processEvents();
    }
    QImage Face() const { return panel->grab().toImage(); }
    // The centre pixel of lamp 0 (upper) or 1 (lower).
    QRgb Lamp(int lamp) const { return Face().pixel(12, lamp == 0 ? 6 : 16) & 0xFFFFFF; }
    QRgb Corner(int lamp) const { return Face().pixel(8, lamp == 0 ? 2 : 12) & 0xFFFFFF; }
    // How many pixels of the label column differ from the panel's face.
    int LabelInk() const {
        const QImage face = Face();
        const QRgb background = face.pixel(0, 20);
        int ink = 0;
        for (int y = 1; y < 21; ++y) {
            for (int x = 1; x < 8; ++x) {
                ink += face.pixel(x, y) != background;
            }
        }
        return ink;
    }

    QWidget parent;
    TRxTxPanel* panel = nullptr;
};

TEST_F(Panel, LampsFollowSetLedAndSurviveARepaint) {
    EXPECT_EQ(panel->size(), QSize(18, 21));
    panel->SetLed(1, 1); // before Init: a lamp, but no labels yet
    EXPECT_EQ(Lamp(1), kGreen);
    EXPECT_EQ(LabelInk(), 0);

    panel->Init();
    EXPECT_GT(LabelInk(), 4);
    EXPECT_EQ(Lamp(0), kWhite);
    EXPECT_EQ(Lamp(1), kWhite);
    EXPECT_NE(Corner(0), 0xC0C0C0u); // the lamp's background is left out

    const struct {
        int Lamp, State;
        QRgb Upper, Lower;
    } steps[] = {
        {0, 1, kGreen, kWhite}, // only the upper lamp
        {5, 7, kGreen, kGreen}, // any lamp but 0 is the lower, any state but 0 green
        {1, 0, kGreen, kWhite},
        {0, 0, kWhite, kWhite},
    };
    for (const auto& step : steps) {
        panel->SetLed(step.Lamp, step.State);
        EXPECT_EQ(Lamp(0), step.Upper) << step.Lamp << "," << step.State;
        EXPECT_EQ(Lamp(1), step.Lower) << step.Lamp << "," << step.State;
    }

    panel->SetLed(0, 1);
    panel->hide(); // covered and shown again: the face is kept
    panel->show();
    panel->resize(18, 21);
    QApplication::processEvents();
    EXPECT_EQ(Lamp(0), kGreen);
    EXPECT_GT(LabelInk(), 4);

    panel->Init(); // a second Init: both white again
    EXPECT_EQ(Lamp(0), kWhite);
    EXPECT_EQ(Lamp(1), kWhite);
}

} // namespace
