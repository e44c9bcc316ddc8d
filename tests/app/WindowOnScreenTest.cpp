// The window as the program opens it, in a real X server with a window
// manager, on a screen of the size the runner chose (see
// window-on-laptop-screens.sh): all of it on the screen, every control where
// a click reaches it.

#include "App.h"
#include "support/EventLoop.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTabBar>

#include <cstdlib>
#include <vector>

namespace {

// Whether a click at the middle of the control lands on it (or on a part of
// it, such as a text view's viewport), on the screen.
::testing::AssertionResult Clickable(QWidget* control, const QRect& screen) {
    const QRect global(control->mapToGlobal(QPoint(0, 0)), control->size());
    if (!screen.contains(global)) {
        return ::testing::AssertionFailure()
               << control->objectName().toStdString() << " reaches past the screen";
    }
    QWidget* hit = QApplication::widgetAt(global.center());
    if (hit != control && !control->isAncestorOf(hit)) {
        return ::testing::AssertionFailure()
               << control->objectName().toStdString() << " is covered by "
               << (hit != nullptr ? hit->objectName().toStdString() : "nothing of the window");
    }
    return ::testing::AssertionSuccess();
}

TEST(WindowOnScreen, AllOfItOnTheScreenAndEveryControlClickable) {
    TFormApp form;
    form.DemoDir = MAPWRIGHT_DEMO_DIR "/";
    form.ShowOnScreen();
    ASSERT_TRUE(ProcessUntil([&] { return form.frameGeometry() != form.geometry(); }, 5000))
        << "the window manager never framed the window";
    // The second fit, once the frame is known.
    Settle(800);
    form.ButtonTest->click();
    form.CheckBoxShowAll->setChecked(true);
    QApplication::processEvents();

    const QRect available = form.screen()->availableGeometry();
    EXPECT_TRUE(available.contains(form.frameGeometry()))
        << "frame " << form.frameGeometry().x() << "," << form.frameGeometry().y() << " "
        << form.frameGeometry().width() << "x" << form.frameGeometry().height();
    const QRect screen = form.screen()->geometry();
    for (QWidget* control : std::vector<QWidget*>{
             form.VynMemoRailPressureMap, form.VynMemoDurationMap, form.VynMemoSoiMap,
             form.ButtonClearRP, form.ButtonClearDuration, form.ButtonClearSoi, form.ButtonTest,
             form.CheckBoxShowAll, form.PageControl1->tabBar()}) {
        EXPECT_TRUE(Clickable(control, screen));
    }
    const struct {
        QWidget* Page;
        std::vector<QWidget*> Controls;
    } pages[] = {
        {form.TabSheet1, {form.VynRichEditNewRailPressureMap}},
        {form.TabSheet4,
         {form.VynRichEditNewDurationMapDeg, form.ButtonDurationCopyAll,
          form.ButtonDurationCopyData}},
        {form.TabSheet5,
         {form.VynRichEditNewEOIMap, form.ButtonEOICopyMap, form.ButtonEOICopyData, form.Label10,
          form.EditEOIThresLo, form.EditEOIThresHi}},
        {form.TabSheet6, {form.EOIHeatMap}},
    };
    for (const auto& page : pages) {
        form.PageControl1->setCurrentWidget(page.Page);
        QApplication::processEvents();
        for (QWidget* control : page.Controls) {
            EXPECT_TRUE(Clickable(control, screen));
        }
    }
    // What the screen shows, for a look.
    form.PageControl1->setCurrentWidget(form.TabSheet5);
    Settle(200);
    if (const char* shot = std::getenv("MAPWRIGHT_SCREEN_SHOT"); shot != nullptr) {
        EXPECT_TRUE(form.screen()->grabWindow(0).save(QString::fromLocal8Bit(shot)));
    }
}

} // namespace
