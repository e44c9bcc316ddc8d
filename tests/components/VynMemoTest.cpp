#include "VynMemo.h"

#include "QtColor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include <functional>

namespace {

QColor Shown(const TVynMemo& memo) {
    return memo.palette().color(QPalette::Base);
}

TEST(VynMemo, BackgroundFollowsEnabledAndReadOnly) {
    TVynMemo memo;
    const QPalette palette = memo.palette();
    EXPECT_EQ(Shown(memo), ToQColor(clWindow, palette));
    memo.SetReadOnly(true);
    EXPECT_EQ(Shown(memo), ToQColor(clBtnFace, palette));
    memo.SetColorRO(clInfoBk);
    EXPECT_EQ(Shown(memo), ToQColor(clInfoBk, palette));
    memo.SetColorRW(clYellow); // read-only: nothing changes on screen
    EXPECT_EQ(Shown(memo), ToQColor(clInfoBk, palette));
    EXPECT_EQ(ColorValue(memo.GetColor()), ColorValue(clYellow));
    memo.SetEnabled(false);
    EXPECT_EQ(Shown(memo), ToQColor(clBtnFace, palette));
    memo.SetReadOnly(false);
    EXPECT_EQ(Shown(memo), ToQColor(clBtnFace, palette)); // still disabled
    memo.SetEnabled(true);
    EXPECT_EQ(Shown(memo), QColor(255, 255, 0));
    memo.setEnabled(false); // through Qt as well
    EXPECT_EQ(Shown(memo), ToQColor(clBtnFace, palette));
}

// The colour in the middle of the memo as painted.
QRgb Painted(TVynMemo& memo) {
    const QImage image = memo.viewport()->grab().toImage();
    return image.pixel(image.width() / 2, image.height() / 2) & 0xFFFFFF;
}

TEST(VynMemo, SystemColoursComeBackAfterAnySequence) {
    TVynMemo memo;
    memo.resize(120, 60);
    memo.show();
    const QPalette system = QApplication::palette(&memo);
    const QRgb window = system.color(QPalette::Base).rgb() & 0xFFFFFF;
    const QRgb face = system.color(QPalette::Button).rgb() & 0xFFFFFF;
    ASSERT_NE(window, face);
    const struct {
        std::function<void()> Step;
        QRgb Expected;
    } steps[] = {
        {[&] { memo.SetReadOnly(true); }, face},      {[&] { memo.SetReadOnly(false); }, window},
        {[&] { memo.SetEnabled(false); }, face},      {[&] { memo.SetEnabled(true); }, window},
        {[&] { memo.SetColorRW(clRed); }, 0xFF0000},  {[&] { memo.SetColorRW(clWindow); }, window},
        {[&] { memo.SetColorRO(clWindow); }, window}, {[&] { memo.SetReadOnly(true); }, window},
        {[&] { memo.SetColorRO(clBtnFace); }, face},
    };
    int i = 0;
    for (const auto& step : steps) {
        step.Step();
        EXPECT_EQ(Painted(memo), step.Expected) << "step " << i++;
    }
}

TEST(VynMemo, ChangeEventRules) {
    TVynMemo memo;
    int changes = 0;
    QObject::connect(&memo, &TVynMemo::OnChange, [&] { ++changes; });
    memo.SetText("a\r\nb");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(memo.Text(), "a\r\nb");
    memo.SetText("a\r\nb"); // the same text: nothing
    EXPECT_EQ(changes, 1);
    memo.SetText("a\rb"); // a lone CR is the same line break
    EXPECT_EQ(changes, 1);
    memo.Clear();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(memo.Text(), "");
    memo.SetText(""); // already empty
    EXPECT_EQ(changes, 1);

    memo.show();
    memo.setFocus();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(&memo, &key);
    EXPECT_EQ(changes, 2); // every user edit
    EXPECT_EQ(memo.Text(), "x");
    memo.Add("line \xB5");
    EXPECT_EQ(memo.Text(), "x\r\nline \xB5");
}

// The memo's text is Windows-1252: text without a byte there is not taken,
// however it comes, and the memo says why; text with bytes is taken.
TEST(VynMemo, RefusesWhatHasNoWindows1252Byte) {
    TVynMemo memo;
    const auto type = [&](const QString& text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(&memo, &press);
    };
    const auto paste = [&](const QString& text) {
        QApplication::clipboard()->setText(text);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
        QApplication::sendEvent(&memo, &press);
    };
    const auto compose = [&](const QString& text) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(&memo, &event);
    };
    memo.show();
    memo.setFocus();
    type(QStringLiteral("\u00e9")); // é: a byte of its own
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("\u00e9"));
    EXPECT_TRUE(memo.LastRefusal().isEmpty());
    type(QStringLiteral("\u03a9"));
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("\u00e9"));
    EXPECT_EQ(memo.LastRefusal(),
              QStringLiteral("Not taken: \"\u03a9\" (U+03A9) has no Windows-1252 byte"));
    // A paste with one such character is refused whole: "-5" does not
    // become "5".
    paste(QStringLiteral("x \u22125"));
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("\u00e9"));
    EXPECT_TRUE(memo.LastRefusal().contains(QStringLiteral("U+2212")));
    compose(QStringLiteral("\U0001F600"));
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("\u00e9"));
    EXPECT_TRUE(memo.LastRefusal().contains(QStringLiteral("U+1F600")));
    paste(QStringLiteral(" -5 \u20ac")); // the euro sign has a byte
    compose(QStringLiteral("\u00fc"));
    EXPECT_EQ(memo.Text(), "\xE9 -5 \x80\xFC");
    EXPECT_TRUE(memo.LastRefusal().isEmpty());
}

} // namespace
