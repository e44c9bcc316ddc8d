#include "TextDlg.h"

#include "QtText.h"
#include "TaalDlg.h"
#include "TaalForm.h"
#include "TextForm.h"
#include "support/Modal.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

void Key(QWidget* w, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

std::vector<std::string> VisibleButtons(TFormText* f) {
    std::vector<std::pair<int, std::string>> shown;
    for (QPushButton* b : f->findChildren<QPushButton*>()) {
        if (b->isVisible()) {
            shown.emplace_back(b->x(), FromQString(b->text()));
        }
    }
    std::sort(shown.begin(), shown.end());
    std::vector<std::string> texts;
    for (const auto& s : shown) {
        texts.push_back(s.second);
    }
    return texts;
}

struct TBox {
    int Width, Height, LabelLeft, Label1Top, ButtonsLeft, ButtonsTop, ImageTop;
};

// The box's geometry after the layout (offscreen: no frame).
TBox Measure(TFormText* f) {
    return {f->width(),     f->height(),   f->Label1->x(), f->Label1->y(),
            f->ButtonsLeft, f->ButtonsTop, f->Image->y()};
}

class MessageBox : public testing::Test {
protected:
    TTextDlg dlg;
};

TEST_F(MessageBox, LayoutArithmetic) {
    // lineH = 8 pt + 16 = 24; a line's block is lines * 24 + 17 high.
    TBox box{};
    auto measure = [&](TFormText* f) {
        box = Measure(f);
        Key(f, Qt::Key_Return);
    };
    // An icon and one OK button: the button row decides the width (75 + 20),
    // the icon the height (54 + 36).
    WithModal<TFormText>(measure, [&] { return dlg.MessageBoxA("Hi", "Info", 0x40); });
    EXPECT_EQ(box.Width, 95);
    EXPECT_EQ(box.Height, 90);
    EXPECT_EQ(box.LabelLeft, 61);
    EXPECT_EQ(box.Label1Top, 17); // the text block centred beside the icon
    EXPECT_EQ(box.ButtonsLeft, 10);
    EXPECT_EQ(box.ButtonsTop, 54);
    EXPECT_EQ(box.ImageTop, 8);

    // Three buttons (237 pixels) and a short line, no icon.
    WithModal<TFormText>(measure, [&] { return dlg.ShowModal(2, "c", "x", "", "", ""); });
    EXPECT_EQ(box.Width, 261);
    EXPECT_EQ(box.Height, 77);
    EXPECT_EQ(box.LabelLeft, 12);
    EXPECT_EQ(box.Label1Top, 11);
    EXPECT_EQ(box.ButtonsLeft, 12);
    EXPECT_EQ(box.ButtonsTop, 41);

    // Lines 1 and 4 with 2 and 3 empty: four lines high.
    std::vector<int> tops;
    WithModal<TFormText>(
        [&](TFormText* f) {
            box = Measure(f);
            tops = {f->Label1->y(), f->Label2->y(), f->Label3->y(), f->Label4->y()};
            Key(f, Qt::Key_Return);
        },
        [&] { return dlg.ShowModal(0, "c", "first", "", "", "fourth"); });
    EXPECT_EQ(box.Height, 149);
    EXPECT_EQ(tops, (std::vector<int>{11, 35, 59, 83}));

    // A long first line decides the width.
    int labelWidth = 0;
    WithModal<TFormText>(
        [&](TFormText* f) {
            box = Measure(f);
            labelWidth = f->Label1->width();
            Key(f, Qt::Key_Return);
        },
        [&] {
            return dlg.ShowModal(0, "c", "A first line much longer than any button row", "", "",
                                 "");
        });
    EXPECT_GT(labelWidth, 75);
    EXPECT_EQ(box.Width, labelWidth + 24);

    // MinWidth and MinHeight are outer sizes: the window's frame (4 pixels
    // each way on the offscreen platform, 0 under a bare X server) counts.
    // The lines are centred over the wider label.
    dlg.MinWidth = 300;
    dlg.MinHeight = 200;
    dlg.Center = true;
    int centredWidth = 0;
    int frameW = 0;
    int frameH = 0;
    Qt::Alignment alignment;
    WithModal<TFormText>(
        [&](TFormText* f) {
            box = Measure(f);
            frameW = f->frameGeometry().width() - f->width();
            frameH = f->frameGeometry().height() - f->height();
            centredWidth = f->Label1->width();
            alignment = f->Label1->alignment();
            Key(f, Qt::Key_Return);
        },
        [&] { return dlg.MessageBoxA("Hi", "c", 0); });
    EXPECT_EQ(box.Width + frameW, 300);
    EXPECT_EQ(box.Height + frameH, 200);
    EXPECT_EQ(box.ButtonsLeft, (300 - 75 - frameW) / 2);
    const int areaH = 200 - (frameH + 36);
    EXPECT_EQ(box.ButtonsTop, areaH);
    EXPECT_EQ(box.Label1Top, (areaH - 41) / 2 + 11);
    EXPECT_EQ(box.LabelLeft, 12);
    EXPECT_EQ(centredWidth, 300 - 24 - frameW);
    EXPECT_TRUE(alignment & Qt::AlignHCenter);
}

TEST_F(MessageBox, ButtonSetsCaptionsAndResults) {
    const struct {
        int Type;
        std::vector<std::string> English, Dutch;
        int Enter, Esc; // Esc 0: the box stays
    } sets[] = {
        {0, {"OK"}, {"OK"}, 1, 1},
        {1, {"OK", "Cancel"}, {"OK", "Annuleren"}, 1, 2},
        {2, {"&Abort", "&Retry", "&Ignore"}, {"&Afbreken", "&Opnieuw", "&Negeren"}, 3, 0},
        {3, {"&Yes", "&No", "Cancel"}, {"&Ja", "&Nee", "Annuleren"}, 6, 2},
        {4, {"&Yes", "&No"}, {"&Ja", "&Nee"}, 6, 0},
        {5, {"&Retry", "Cancel"}, {"&Opnieuw", "Annuleren"}, 4, 2},
        {8, {"&Yes", "&Retry", "&No"}, {"&Ja", "&Opnieuw", "&Nee"}, 6, 0},
        {9, {"OK"}, {"OK"}, 1, 1},
    };
    for (const auto& set : sets) {
        for (int taal = 0; taal <= 1; ++taal) {
            dlg.Taal = taal;
            std::vector<std::string> shown;
            const int enter = WithModal<TFormText>(
                [&](TFormText* f) {
                    shown = VisibleButtons(f);
                    Key(f, Qt::Key_Return);
                },
                [&] { return dlg.MessageBoxA("text", "c", set.Type); });
            EXPECT_EQ(shown, taal == 0 ? set.English : set.Dutch) << set.Type;
            EXPECT_EQ(enter, set.Enter) << set.Type;
        }
        bool stayed = false;
        const int esc = WithModal<TFormText>(
            [&](TFormText* f) {
                Key(f, Qt::Key_Escape);
                stayed = f->isVisible();
                if (stayed) {
                    f->ButtonYes->isVisible() ? f->ButtonYes->click() : f->ButtonAbort->click();
                }
            },
            [&] { return dlg.MessageBoxA("text", "c", set.Type); });
        if (set.Esc == 0) {
            EXPECT_TRUE(stayed) << set.Type;
        } else {
            EXPECT_EQ(esc, set.Esc) << set.Type;
        }
    }
    // Yes keeps its result under another caption; an empty NoString keeps "&No".
    dlg.Taal = 0;
    dlg.YesString = "Save";
    std::vector<std::string> shown;
    const int yes = WithModal<TFormText>(
        [&](TFormText* f) {
            shown = VisibleButtons(f);
            f->ButtonYes->click();
        },
        [&] { return dlg.MessageBoxA("text", "c", 4); });
    EXPECT_EQ(shown, (std::vector<std::string>{"Save", "&No"}));
    EXPECT_EQ(yes, 6);
}

TEST_F(MessageBox, DutchConfirmationWithoutCloseCommand) {
    dlg.Taal = 7;
    bool closable = true;
    bool stillUp = false;
    QRgb middle = 0;
    QRgb corner = 1;
    const int result = WithModal<TFormText>(
        [&](TFormText* f) {
            closable = f->windowFlags().testFlag(Qt::WindowCloseButtonHint);
            const QImage icon = f->Image->pixmap().toImage();
            middle = icon.pixel(8, 19) & 0xFFFFFF;
            corner = qAlpha(icon.pixel(0, 0));
            f->close(); // the window manager's close: refused
            stillUp = f->isVisible();
            f->ButtonNo->click();
        },
        [&] { return dlg.MessageBoxA("Opslaan?", "Vraag", 0x24); });
    EXPECT_EQ(dlg.Taal, 1);
    EXPECT_FALSE(closable);
    EXPECT_TRUE(stillUp);
    EXPECT_EQ(result, 7);
    EXPECT_EQ(qBlue(middle) > 150 && qRed(middle) < 100, true); // the blue disc
    EXPECT_EQ(corner, 0);                                       // the background is left out
}

TEST_F(MessageBox, NoButtonsOnlyClosingEndsItAndTheFormGoesOnce) {
    int deleted = 0;
    TBox box{};
    const int result = WithModal<TFormText>(
        [&](TFormText* f) {
            QObject::connect(f, &QObject::destroyed, [&] { ++deleted; });
            box = Measure(f);
            Key(f, Qt::Key_Return);
            Key(f, Qt::Key_Escape);
            EXPECT_TRUE(f->isVisible());
            f->close();
        },
        [&] { return dlg.ShowModal(15, "Busy", "", "", "", ""); });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(box.Width, 24); // the client area: outer minus the frame
    EXPECT_EQ(box.Height, 17);
    EXPECT_EQ(deleted, 1);
    EXPECT_TRUE(dlg.Form.isNull());
    dlg.Hide(); // nothing to hide after a modal call

    dlg.Color = TColor{0};
    WithModal<TFormText>([](TFormText* f) { f->ButtonOK->click(); },
                         [&] { return dlg.MessageBoxA("x", "y", 0); });
    EXPECT_EQ(dlg.Color, clBtnFace);
}

TEST_F(MessageBox, NonModalBoxesStayUntilOk) {
    dlg.Hide(); // before any Show: nothing
    EXPECT_EQ(dlg.Show("first", "One", 3), 1);
    QPointer<TFormText> first = dlg.Form;
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    first->ButtonYes->click();
    first->ButtonCancel->click();
    first->close();
    QApplication::processEvents();
    EXPECT_TRUE(first && first->isVisible()); // only OK closes it

    EXPECT_EQ(dlg.Show(0, "Two", "second", "", "", ""), 1);
    QPointer<TFormText> second = dlg.Form;
    EXPECT_NE(first, second);
    dlg.Hide();
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(second->isVisible());

    second->show();
    second->ButtonOK->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull()); // closed and freed
    EXPECT_TRUE(dlg.Form.isNull());
    dlg.Hide(); // after its box was closed by OK: nothing
    EXPECT_TRUE(first->isVisible());
    first->ButtonOK->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
}

// Whatever the text, the box stays on the screen with its buttons in view:
// a 100,000-character line wraps, 2,000 lines scroll above the buttons.
TEST_F(MessageBox, NeverLargerThanTheScreen) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    std::string many;
    for (int i = 0; i < 2000; ++i) {
        many += "line " + std::to_string(i) + "\n";
    }
    const struct {
        std::string Line1;
        bool Scrolls;
    } cases[] = {
        {std::string(100000, 'x'), true},
        {std::string(1000, 'y') + " " + std::string(700, 'z'), false},
        {many, true},
    };
    for (const auto& c : cases) {
        QRect box, buttons, text, label;
        int scrollRange = 0;
        const int result = WithModal<TFormText>(
            [&](TFormText* f) {
                box = f->frameGeometry();
                buttons = f->ButtonOK->geometry();
                label = f->Label1->geometry();
                const auto* scroll = f->findChild<QScrollArea*>("TextScroll");
                if (scroll != nullptr && scroll->isVisible()) {
                    text = scroll->geometry();
                    scrollRange = scroll->verticalScrollBar()->maximum();
                } else {
                    text = label;
                }
                f->ButtonOK->click();
            },
            [&] { return dlg.ShowModal(0x40, "Long", c.Line1, "", "", ""); });
        EXPECT_EQ(result, 1);
        EXPECT_LE(box.width(), area.width()) << c.Line1.size();
        EXPECT_LE(box.height(), area.height()) << c.Line1.size();
        EXPECT_TRUE(area.contains(box))
            << c.Line1.size() << " " << box.x() << "," << box.y() << " " << box.width() << "x"
            << box.height() << " in " << area.width() << "x" << area.height();
        EXPECT_GE(buttons.top(), text.bottom()) << "the text runs under the buttons";
        EXPECT_LE(buttons.bottom(), box.height());
        EXPECT_LE(label.width(), area.width());
        EXPECT_EQ(scrollRange > 0, c.Scrolls) << c.Line1.size();
    }
    // A short text again: the labels back in the box, no scrolling.
    QWidget* parent = nullptr;
    WithModal<TFormText>(
        [&](TFormText* f) {
            parent = f->Label1->parentWidget() == f ? f : nullptr;
            f->ButtonOK->click();
        },
        [&] { return dlg.ShowModal(0, "c", "short", "", "", ""); });
    EXPECT_NE(parent, nullptr);
}

TEST(LanguageDialog, OpensInItsLanguageAndKeepsTheChoiceOnlyOnOk) {
    TTaalDlg dlg;
    dlg.Taal = 1;
    std::string caption, ok, cancel;
    bool dutch = false;
    EXPECT_FALSE(WithModal<TFormTaal>(
        [&](TFormTaal* f) {
            caption = FromQString(f->windowTitle());
            ok = FromQString(f->ButtonOK->text());
            cancel = FromQString(f->ButtonCancel->text());
            dutch = f->RadioTaal2->isChecked();
            f->RadioTaal1->setChecked(true);
            Key(f, Qt::Key_Escape);
        },
        [&] { return dlg.Execute(); }));
    EXPECT_EQ(caption, "Taal");
    EXPECT_EQ(ok, "OK");
    EXPECT_EQ(cancel, "Annuleren");
    EXPECT_TRUE(dutch);
    EXPECT_EQ(dlg.Taal, 1);

    dlg.Taal = 7; // clamped, and kept after Cancel
    EXPECT_FALSE(WithModal<TFormTaal>([](TFormTaal* f) { f->ButtonCancel->click(); },
                                      [&] { return dlg.Execute(); }));
    EXPECT_EQ(dlg.Taal, 1);

    EXPECT_TRUE(WithModal<TFormTaal>(
        [](TFormTaal* f) {
            EXPECT_EQ(FromQString(f->windowTitle()), "Taal");
            f->RadioTaal1->setChecked(true);
            f->ButtonOK->click();
        },
        [&] { return dlg.Execute(); }));
    EXPECT_EQ(dlg.Taal, 0);
    WithModal<TFormTaal>(
        [&](TFormTaal* f) {
            caption = FromQString(f->windowTitle());
            f->close(); // no close box: refused
            EXPECT_TRUE(f->isVisible());
            f->ButtonCancel->click();
        },
        [&] { return dlg.Execute(); });
    EXPECT_EQ(caption, "Language");
}

// A line that looks like markup shows as it stands: its tags are text.
TEST_F(MessageBox, LinesArePlainTextNeverMarkup) {
    const std::string line = "<b>Port</b> <a href=\"x\">COM3</a> <img src=\"y\">";
    dlg.Show(0, "Device", line, "", "", "");
    ASSERT_TRUE(dlg.Form != nullptr);
    QLabel* label = dlg.Form->Label1;
    EXPECT_EQ(label->text(), ToQString(line));
    // As markup the label would be narrower: the tags would not show.
    EXPECT_GE(label->sizeHint().width(), label->fontMetrics().horizontalAdvance(ToQString(line)));
    delete dlg.Form.data();
}

// When the application ends, the boxes a TTextDlg left up go; a form its
// owner holds is the owner's to delete (once).
TEST_F(MessageBox, OnlyTheBoxesLeftUpGoWhenTheApplicationEnds) {
    auto owned = std::make_unique<TFormText>();
    dlg.Show(0, "Left up", "x", "", "", "");
    QPointer<TFormText> leftUp = dlg.Form;
    ASSERT_TRUE(leftUp != nullptr);
    ASSERT_TRUE(QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit",
                                          Qt::DirectConnection));
    EXPECT_TRUE(leftUp == nullptr);
    EXPECT_NE(owned->Label1, nullptr); // still there, deleted once below
}

} // namespace
