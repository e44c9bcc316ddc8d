#include "App.h"

#include "Clipboard.h"
#include "ColorCodeParser.h"
#include "Explain.h"
#include "HeatMap.h"
#include "Report.h"
#include "Retime.h"
#include "TextFile.h"
#include "support/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

// The colours (0xRRGGBB) a view's document uses.
std::set<unsigned> Colors(TVynRichEdit* view) {
    view->Text(); // puts off nothing
    std::set<unsigned> colors;
    for (QTextBlock b = view->document()->firstBlock(); b.isValid(); b = b.next()) {
        for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
            colors.insert(it.fragment().charFormat().foreground().color().rgb() & 0xFFFFFF);
        }
    }
    return colors;
}

constexpr unsigned kRed = 0xFF0000;
constexpr unsigned kBlue = 0x0000FF;

class Window : public testing::Test {
protected:
    Window() : form(std::make_unique<TFormApp>()) {
        form->show();
        QApplication::processEvents();
    }

    TVynRichEdit* const* Views() const {
        for (int i = 0; i < kOutputViewCount; ++i) {
            views[i] = form->OutputViews()[i].View;
        }
        return views;
    }
    bool AllViewsEmpty() const {
        for (int i = 0; i < 7; ++i) {
            if (!Views()[i]->Text().empty()) {
                ADD_FAILURE() << "view " << i << " holds " << Views()[i]->Text().substr(0, 40);
                return false;
            }
        }
        return true;
    }
    bool AllViewsFilled() const {
        for (int i = 0; i < 7; ++i) {
            if (Views()[i]->Text().empty()) {
                return false;
            }
        }
        return true;
    }
    // A demo folder with the three files, or some of them.
    void DemoFiles(bool rail, bool duration, bool soi) {
        const std::string from = GetExeDir();
        auto copy = [&](bool want, const char* name) {
            std::filesystem::remove(dir.Path() + "/" + name);
            if (want) {
                dir.Write(name, Slurp(from + name));
            }
        };
        copy(rail, "DemoRailPressure.txt");
        copy(duration, "DemoDuration.txt");
        copy(soi, "DemoSOI.txt");
        form->DemoDir = dir.Path() + "/";
    }

    TempDir dir;
    std::unique_ptr<TFormApp> form;
    mutable TVynRichEdit* views[kOutputViewCount] = {};
};

TEST_F(Window, StartsWithDurationAndEoiTabsOnlyAndEmptyViews) {
    EXPECT_EQ(form->windowTitle(), "Mapwright");
    QTabWidget* pages = form->PageControl1;
    EXPECT_FALSE(pages->isTabVisible(0) || pages->isTabVisible(1) || pages->isTabVisible(2));
    EXPECT_TRUE(pages->isTabVisible(3) && pages->isTabVisible(4));
    EXPECT_EQ(pages->currentIndex(), 3);
    EXPECT_EQ(pages->tabText(2), QString::fromUtf8("Duration (\xC2\xB5s)"));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Views()[i]->Text(), "") << i;
        EXPECT_TRUE(Views()[i]->isReadOnly());
    }
    EXPECT_FALSE(form->VynRichEditNewDurationMapDegData->isVisibleTo(form.get()));
    EXPECT_EQ(form->VynRichEditNewDurationMapDegData->Text(), "VynRichEditNewDurationMapDegData");
    EXPECT_EQ(form->VynRichEditNewEOIMapData->Text(), "VynRichEditNewDurationMapDegDa\r\nta");
    // The window carries the program's own icon, uninstalled too.
    const QList<QSize> sizes = form->windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(64, 64)) && sizes.contains(QSize(256, 256)));
    EXPECT_FALSE(form->windowIcon().pixmap(64).toImage().allGray());
    EXPECT_EQ(form->EditEOIThresLo->text(), "-8");
    EXPECT_EQ(form->EditEOIThresHi->text(), "0");

    // Before any map, a copy button copies nothing (the design-time texts
    // included): the user's clipboard stays, and the window says why.
    ASSERT_TRUE(SetClipboardText("the user's own"));
    form->ButtonDurationCopyData->click();
    EXPECT_EQ(GetClipboardText(), "the user's own");
    EXPECT_EQ(form->LastCopyMessage.toStdString(),
              "nothing to copy: the rail pressure map is empty");
    pages->setCurrentIndex(4);
    form->ButtonEOICopyMap->click();
    EXPECT_EQ(GetClipboardText(), "the user's own");
}

TEST_F(Window, ShowInbetweenStepsShowsAndHidesThreeTabs) {
    QTabWidget* pages = form->PageControl1;
    form->CheckBoxShowAll->click();
    EXPECT_TRUE(pages->isTabVisible(0) && pages->isTabVisible(1) && pages->isTabVisible(2));
    pages->setCurrentIndex(1);
    form->CheckBoxShowAll->click();
    EXPECT_FALSE(pages->isTabVisible(0) || pages->isTabVisible(1) || pages->isTabVisible(2));
    EXPECT_EQ(pages->currentIndex(), 3);
}

TEST_F(Window, DemoFillsPanesAndViews) {
    form->ButtonTest->click();
    EXPECT_EQ(form->VynMemoSoiMap->Text(), Slurp(GetExeDir() + "DemoSOI.txt"));
    EXPECT_EQ(form->SoiMap.XCount, 16);
    ASSERT_TRUE(AllViewsFilled());
    EXPECT_EQ(form->VynRichEditNewEOIMap->Text().rfind("EOI (16, 12)\r\n", 0), 0u);
    EXPECT_EQ(form->VynRichEditNewDurationMapDeg->Text().rfind("New Duration Map (16, 12)\r\n", 0),
              0u);
    // The default thresholds colour the demo's EOI red, black and blue.
    const std::set<unsigned> colors = Colors(form->VynRichEditNewEOIMap);
    EXPECT_TRUE(colors.count(kRed) == 1 && colors.count(kBlue) == 1 && colors.count(0) == 1);
}

TEST_F(Window, DemoWithoutSoiFileEmptiesThePaneAndTheViews) {
    DemoFiles(true, true, false);
    form->VynMemoSoiMap->SetText("something");
    form->ButtonTest->click();
    EXPECT_EQ(form->VynMemoSoiMap->Text(), "");
    EXPECT_TRUE(AllViewsEmpty());
    // The pane's line says which file was not found, and where.
    EXPECT_EQ(form->LabelSoiReport->FullText().toStdString().rfind(
                  "DemoSOI.txt not found in " + dir.Path() + "/ (No such file", 0),
              0u)
        << form->LabelSoiReport->FullText().toStdString();
    EXPECT_EQ(form->LabelDurationReport->FullText().indexOf(QStringLiteral("not found")), -1);
}

TEST_F(Window, MissingRailPressureFileKeepsTheEarlierMapInUse) {
    DemoFiles(true, true, true);
    form->ButtonTest->click();
    const std::string eoi = form->VynRichEditNewEOIMap->Text();
    ASSERT_FALSE(eoi.empty());
    DemoFiles(false, true, true);
    form->VynMemoSoiMap->SetText(""); // so that loading SOI runs the pipeline
    form->ButtonTest->click();
    EXPECT_EQ(form->VynMemoRailPressureMap->Text(), "");
    EXPECT_EQ(form->VynRichEditNewEOIMap->Text(), eoi);
}

TEST_F(Window, DemoFileWithoutFinalLineBreakGivesTheSamePane) {
    DemoFiles(true, true, true);
    std::string soi = Slurp(dir.Path() + "/DemoSOI.txt");
    const std::string withBreak = soi;
    soi.resize(soi.size() - 2);
    dir.Write("DemoSOI.txt", soi);
    form->ButtonTest->click();
    EXPECT_EQ(form->VynMemoSoiMap->Text(), withBreak);
}

TEST_F(Window, ClearButtonsAndTheThresholdLabel) {
    QPushButton* clears[] = {form->ButtonClearRP, form->ButtonClearDuration, form->ButtonClearSoi};
    TVynMemo* panes[] = {form->VynMemoRailPressureMap, form->VynMemoDurationMap,
                         form->VynMemoSoiMap};
    for (int i = 0; i < 3; ++i) {
        form->ButtonTest->click();
        ASSERT_TRUE(AllViewsFilled());
        clears[i]->click();
        EXPECT_EQ(panes[i]->Text(), "");
        EXPECT_TRUE(AllViewsEmpty()) << i;
    }
    // Clear on an empty pane still runs the pipeline once.
    form->ButtonTest->click();
    form->VynMemoRailPressureMap->Clear();
    ASSERT_TRUE(AllViewsFilled());
    form->ButtonClearRP->click();
    EXPECT_TRUE(AllViewsEmpty());

    // A click on "Color Thresholds" empties the duration pane.
    form->ButtonTest->click();
    form->PageControl1->setCurrentIndex(4);
    QLabel* label = form->Label10;
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, label->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, label->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(label, &press);
    QApplication::sendEvent(label, &release);
    EXPECT_EQ(form->VynMemoDurationMap->Text(), "");
    EXPECT_TRUE(AllViewsEmpty());
}

TEST_F(Window, ThresholdEditsRecolourTheEoiReport) {
    form->ButtonTest->click();
    const std::string others = form->VynRichEditNewDurationMapDeg->Text();
    form->EditEOIThresLo->setText("");
    std::set<unsigned> colors = Colors(form->VynRichEditNewEOIMap);
    EXPECT_EQ(colors.count(kRed) + colors.count(kBlue), 0u);
    EXPECT_EQ(form->VynRichEditNewDurationMapDeg->Text(), others);

    form->EditEOIThresLo->setText("5,5");
    form->EditEOIThresHi->setText("6");
    colors = Colors(form->VynRichEditNewEOIMap);
    EXPECT_EQ(colors.count(kRed), 1u);
    // Every value of the demo at or below 5.5 is red: the first row's 1.5 is.
    const QTextBlock row = form->VynRichEditNewEOIMap->document()->findBlockByNumber(6);
    bool sawRed15 = false;
    for (QTextBlock::iterator it = row.begin(); !it.atEnd(); ++it) {
        sawRed15 = sawRed15 ||
                   (it.fragment().text() == "1.5" &&
                    (it.fragment().charFormat().foreground().color().rgb() & 0xFFFFFF) == kRed);
    }
    EXPECT_TRUE(sawRed15);
}

TEST_F(Window, CopyButtonsOnBothTabs) {
    form->ButtonTest->click();
    QTabWidget* pages = form->PageControl1;
    pages->setCurrentIndex(3);
    form->ButtonDurationCopyAll->click();
    const std::string map = form->VynRichEditNewDurationMapDeg->Text();
    EXPECT_EQ(GetClipboardText(), map);
    EXPECT_EQ(map.rfind("New Duration Map (16, 12)\r\n\r\nDuration(", 0), 0u);
    form->ButtonEOICopyMap->click(); // one handler serves both tabs
    EXPECT_EQ(GetClipboardText(), map);
    form->ButtonDurationCopyData->click();
    EXPECT_EQ(GetClipboardText(), form->VynRichEditNewDurationMapDegData->Text());

    pages->setCurrentIndex(4);
    form->ButtonEOICopyMap->click();
    const std::string eoi = form->VynRichEditNewEOIMap->Text();
    EXPECT_EQ(GetClipboardText(), eoi);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    EXPECT_EQ(data->data(kCp1252MimeType).toStdString(), eoi);
    EXPECT_EQ(data->text().toStdString(), eoi); // plain ASCII here
    EXPECT_EQ(form->LastCopyMessage, QString::fromUtf8("EOI map 16 \xC3\x97 12 copied"));
    form->ButtonEOICopyData->click();
    EXPECT_EQ(form->LastCopyMessage, QString::fromUtf8("EOI data 16 \xC3\x97 12 copied"));
    const std::string rows = *GetClipboardText();
    EXPECT_EQ(rows, form->VynRichEditNewEOIMapData->Text());
    EXPECT_EQ(rows.find('['), std::string::npos);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 12);

    // The µ of the duration report survives both formats.
    pages->setCurrentIndex(2);
    CopyTextToClipboard(form.get(), form->VynRichEditNewDurationMapUs->Text());
    EXPECT_NE(GetClipboardText()->find("/\xB5s\r\n"), std::string::npos);
    EXPECT_NE(QGuiApplication::clipboard()->text().toStdString().find("/\xC2\xB5s\r\n"),
              std::string::npos);
    // A pane cleared: nothing is copied any more, and the window says which.
    form->ButtonClearSoi->click();
    pages->setCurrentIndex(4);
    ASSERT_TRUE(SetClipboardText("kept"));
    form->ButtonEOICopyMap->click();
    EXPECT_EQ(GetClipboardText(), "kept");
    EXPECT_EQ(form->LastCopyMessage.toStdString(), "nothing to copy: the SOI map is empty");
}

TEST_F(Window, TypingIntoAPaneRecomputes) {
    form->ButtonTest->click();
    form->PageControl1->setCurrentIndex(4);
    TVynMemo* soi = form->VynMemoSoiMap;
    const std::string last = FormatNumber(form->SoiMap.Value[15][11], 1);
    const double soiBefore = form->SoiMap.Value[15][11];
    const double eoiBefore = form->NewEOIMap.Value[15][11];
    soi->setFocus();
    soi->moveCursor(QTextCursor::End);
    soi->moveCursor(QTextCursor::PreviousCharacter); // before the final line break
    QKeyEvent key(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"));
    QApplication::sendEvent(soi, &key);
    // A 5 was added to the last value of the last row, and parsed.
    EXPECT_DOUBLE_EQ(form->SoiMap.Value[15][11], TextToNumber(last + "5"));
    // Recomputed: the duration is as it was, so the cell's EOI moved with
    // its SOI, and the report prints the new value.
    const double moved = form->SoiMap.Value[15][11] - soiBefore;
    EXPECT_NE(moved, 0.0);
    EXPECT_NEAR(form->NewEOIMap.Value[15][11] - eoiBefore, moved, 1e-9);
    const std::string report = form->VynRichEditNewEOIMap->Text();
    EXPECT_NE(report.find(FormatNumber(form->NewEOIMap.Value[15][11], 1) + "\r\n"),
              std::string::npos);
}

TEST_F(Window, EveryLabelHoldsItsText) {
    for (QLabel* label : form->findChildren<QLabel*>()) {
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
            << label->objectName().toStdString();
    }
}

// The controls a user must reach on the window and on each page.
std::vector<QWidget*> Reachable(TFormApp* form) {
    return {form->VynMemoRailPressureMap,
            form->VynMemoDurationMap,
            form->VynMemoSoiMap,
            form->ButtonClearRP,
            form->ButtonClearDuration,
            form->ButtonClearSoi,
            form->ButtonTest,
            form->CheckBoxShowAll,
            form->LabelSoiReport,
            form->VynRichEditNewDurationMapDeg,
            form->ButtonDurationCopyAll,
            form->ButtonDurationCopyData,
            form->VynRichEditNewEOIMap,
            form->ButtonEOICopyMap,
            form->ButtonEOICopyData,
            form->Label10,
            form->EditEOIThresLo,
            form->EditEOIThresHi,
            form->EOIHeatMap,
            form->ComboHeatMapShows,
            form->ButtonKeepBaseline,
            form->TabSheet7->ComboRetimeTarget,
            form->TabSheet7->EditRetimeTarget,
            form->TabSheet7->EditRetimeMin,
            form->TabSheet7->EditRetimeMax,
            form->TabSheet7->EditRetimeStep,
            form->TabSheet7->LabelBaseline,
            form->TabSheet7->ButtonClearBaseline,
            form->TabSheet7->VynMemoTargetEoiMap,
            form->TabSheet7->LabelTargetEoiReport,
            form->TabSheet7->VynRichEditNewSoiMap,
            form->TabSheet7->ButtonRetimeCopyMap,
            form->TabSheet7->ButtonRetimeCopyData,
            form->TabSheet7->LabelRetimeSummary,
            form->ExplainPanel->TextExplain,
            form->ExplainPanel->ButtonCloseExplain};
}

TEST_F(Window, EveryControlStaysOnTheWindowFromTheMinimumSizeUp) {
    form->ButtonTest->click(); // maps, so that a cell can be explained
    EXPECT_EQ(form->size(), kFormDesignedSize);
    EXPECT_EQ(form->minimumSize(), kFormMinimumSize);
    // At the designed size, the designed geometry.
    EXPECT_EQ(form->VynMemoSoiMap->geometry(), QRect(8, 452, 409, 145));
    EXPECT_EQ(form->ButtonClearSoi->geometry(), QRect(8, 600, 75, 21));
    EXPECT_EQ(form->ButtonTest->geometry(), QRect(8, 648, 75, 25));
    EXPECT_EQ(form->PageControl1->geometry(), QRect(432, 12, 897, 661));
    const QSize sizes[] = {kFormMinimumSize, QSize(1262, 651), QSize(1345, 687), QSize(1900, 1040)};
    int lastPaneHeight = 0;
    int lastPaneWidth = 0;
    int lastViewWidth = 0;
    for (const QSize size : sizes) {
        form->resize(size);
        QApplication::processEvents();
        // The Retime page with and without the target map's pane; the EOI
        // page with a cell explained under the report.
        for (const int page : {3, 4, 5, 6, 7, 8}) {
            form->PageControl1->setCurrentIndex(page == 8 ? 4 : std::min(page, 6));
            form->TabSheet7->ComboRetimeTarget->setCurrentIndex(
                page == 7 ? TRetimePage::TargetEoiMap : TRetimePage::ConstantEoi);
            if (page == 8) {
                ASSERT_TRUE(form->ExplainCell(form->VynRichEditNewEOIMap, 0, 0));
            } else {
                form->CloseExplanation();
            }
            QApplication::processEvents();
            std::vector<QRect> placed;
            for (QWidget* control : Reachable(form.get())) {
                if (!control->isVisibleTo(form.get())) {
                    continue;
                }
                const QRect on(control->mapTo(form.get(), QPoint(0, 0)), control->size());
                EXPECT_TRUE(form->rect().contains(on))
                    << control->objectName().toStdString() << " at " << size.width() << "x"
                    << size.height();
                // No control lies on another.
                for (const QRect& other : placed) {
                    EXPECT_FALSE(on.intersects(other))
                        << control->objectName().toStdString() << " at " << size.width();
                }
                placed.push_back(on);
            }
        }
        // The panes do not run into the Clear buttons below them, nor the
        // last into Demo.
        EXPECT_LT(form->VynMemoRailPressureMap->geometry().bottom(),
                  form->ButtonClearRP->geometry().top());
        EXPECT_LT(form->ButtonClearRP->geometry().bottom(), form->Label2->geometry().top());
        EXPECT_LT(form->ButtonClearSoi->geometry().bottom(), form->ButtonTest->geometry().top());
        EXPECT_LT(form->VynMemoSoiMap->geometry().right(), form->PageControl1->geometry().left());
        // Larger windows give the panes and the reports more room.
        const int paneHeight = form->VynMemoDurationMap->height();
        EXPECT_GT(paneHeight, lastPaneHeight);
        EXPECT_GE(form->VynMemoDurationMap->width(), lastPaneWidth);
        EXPECT_GT(form->VynRichEditNewEOIMap->width(), lastViewWidth);
        lastPaneHeight = paneHeight;
        lastPaneWidth = form->VynMemoDurationMap->width();
        lastViewWidth = form->VynRichEditNewEOIMap->width();
    }
    // Below the minimum (a window manager may not keep to it) the page
    // control still covers the heading beneath it.
    form->setMinimumSize(0, 0);
    for (const int width : {460, 600, 800, 920, 1345}) {
        form->resize(width, 600);
        QApplication::processEvents();
        EXPECT_TRUE(form->PageControl1->geometry().contains(form->Label6->geometry()) ||
                    form->Label6->width() == 0)
            << width;
    }
    EXPECT_EQ(lastPaneWidth, 409 + (1900 - 1345) / 4);
    EXPECT_EQ(lastPaneHeight, 145 + (1040 - 687) / 3);
    EXPECT_EQ(form->Label1->geometry(), QRect(8, 12, 386, 16));
}

// The bold cells of a view's document, as (line, text) pairs.
std::vector<std::pair<int, std::string>> BoldCells(TVynRichEdit* view) {
    view->Text(); // puts off nothing
    std::vector<std::pair<int, std::string>> bold;
    int line = 0;
    for (QTextBlock b = view->document()->firstBlock(); b.isValid(); b = b.next(), ++line) {
        for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().fontWeight() >= QFont::Bold) {
                bold.emplace_back(line, it.fragment().text().toStdString());
            }
        }
    }
    return bold;
}

// The README's worked example in the window: the demo maps kept, the
// duration map 10 % longer, the new SOI map as the command line prints it;
// pasted back as the SOI map it gives the baseline's EOI again.
TEST_F(Window, RetimePageKeepsTheBaselineEoi) {
    TRetimePage* page = form->TabSheet7;
    EXPECT_FALSE(form->ButtonKeepBaseline->isEnabled()); // no maps yet
    EXPECT_FALSE(form->ButtonKeepBaselineClick());
    form->ButtonTest->click();
    ASSERT_TRUE(form->ButtonKeepBaseline->isEnabled());
    EXPECT_FALSE(page->ButtonClearBaseline->isEnabled());
    form->ButtonKeepBaseline->click();
    EXPECT_TRUE(page->ButtonClearBaseline->isEnabled());
    EXPECT_EQ(page->ComboRetimeTarget->currentIndex(), TRetimePage::BaselineEoi);
    const QString line = page->LabelBaseline->FullText();
    EXPECT_TRUE(line.startsWith(QStringLiteral("Baseline: kept ")) &&
                line.endsWith(QString::fromUtf8(", 16 \xC3\x97 12")))
        << line.toStdString();
    // Nothing changed yet: no cell is bold, the SOI stays.
    form->PageControl1->setCurrentIndex(4);
    EXPECT_TRUE(BoldCells(form->VynRichEditNewEOIMap).empty());
    EXPECT_EQ(page->Result->NewSoi.Value[3][4], RoundToStep(form->SoiMap.Value[3][4], 0.1));

    const std::string golden = std::string(MAPWRIGHT_GOLDEN_DIR) + "/retime/";
    form->VynMemoDurationMap->SetText(Slurp(golden + "duration+10.txt"));
    // Longer injections end later: the EOI report marks every changed cell,
    // the copied text carries no mark.
    const auto bold = BoldCells(form->VynRichEditNewEOIMap);
    EXPECT_GT(bold.size(), 150u);
    EXPECT_EQ(form->VynRichEditNewEOIMap->Text().find('['), std::string::npos);
    EXPECT_FALSE(BoldCells(form->VynRichEditNewDurationMapDeg).empty());

    form->PageControl1->setCurrentWidget(page);
    EXPECT_EQ(page->Problem(), "");
    EXPECT_EQ(page->VynRichEditNewSoiMap->Text(), Slurp(golden + "new-soi.txt"));
    EXPECT_EQ(page->LabelRetimeSummary->FullText(),
              QString::fromUtf8("EOI within 0.05\xC2\xB0 of the target in 192 of 192 cells"));
    // Every SOI moves earlier: blue, and none held.
    EXPECT_EQ(Colors(page->VynRichEditNewSoiMap).count(kBlue), 1u);
    page->ButtonRetimeCopyMap->click();
    EXPECT_EQ(GetClipboardText(), Slurp(golden + "new-soi.txt"));
    EXPECT_EQ(form->LastCopyMessage, QString::fromUtf8("New SOI map 16 \xC3\x97 12 copied"));
    page->ButtonRetimeCopyData->click();
    const std::string rows = *GetClipboardText();
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 12);
    EXPECT_EQ(rows.substr(0, 8), "1.5\t1.8\t");

    // Pasted back: ΔEOI within half a step everywhere, on the heat map too.
    form->VynMemoSoiMap->SetText(Slurp(golden + "new-soi.txt"));
    form->ComboHeatMapShows->setCurrentIndex(1);
    EXPECT_EQ(form->EOIHeatMap->Shows(), TEoiHeatMap::TShows::EoiDelta);
    for (int x = 0; x < 16; ++x) {
        for (int y = 0; y < 12; ++y) {
            ASSERT_LE(std::abs(form->DeltaEoi.Value[x][y]), 0.05 + 1e-9) << x << " " << y;
        }
    }
    EXPECT_NE(form->EOIHeatMap->HoverText(form->EOIHeatMap->rect().center())
                  .indexOf(QString::fromUtf8("\xCE\x94"
                                             "EOI")),
              -1);

    form->ButtonClearBaselineClick();
    EXPECT_FALSE(form->Baseline);
    EXPECT_EQ(page->ComboRetimeTarget->currentIndex(), TRetimePage::ConstantEoi);
    EXPECT_EQ(form->ComboHeatMapShows->currentIndex(), 0);
    EXPECT_EQ(form->EOIHeatMap->Shows(), TEoiHeatMap::TShows::Eoi);
    // The share before TDC needs no baseline.
    form->ComboHeatMapShows->setCurrentIndex(2);
    EXPECT_EQ(form->EOIHeatMap->Shows(), TEoiHeatMap::TShows::BeforeTdc);
    EXPECT_DOUBLE_EQ(form->ShareBeforeTdc.Value[3][4],
                     BeforeTdcShare(form->SoiMap.Value[3][4], form->NewDurationMapDeg.Value[3][4]));
    EXPECT_NE(form->EOIHeatMap->HoverText(form->EOIHeatMap->rect().center())
                  .indexOf(QStringLiteral("% of the injection before TDC")),
              -1);
    form->PageControl1->setCurrentIndex(4);
    EXPECT_TRUE(BoldCells(form->VynRichEditNewEOIMap).empty());
}

// Each target kind from its edits, limits held cells, and what cannot be
// computed is said and copies nothing.
TEST_F(Window, RetimePageTargetsLimitsAndProblems) {
    TRetimePage* page = form->TabSheet7;
    form->PageControl1->setCurrentWidget(page);
    EXPECT_EQ(page->Problem(), "No new SOI map: all three maps are needed");
    form->ButtonTest->click();
    const int x = 5; // 10 mm3
    const int y = 4; // 1750 1/min
    const double d = form->NewDurationMapDeg.Value[x][y];

    page->EditRetimeTarget->setText(QStringLiteral("-2,5"));
    EXPECT_EQ(page->Problem(), "");
    EXPECT_DOUBLE_EQ(page->Result->NewSoi.Value[x][y], RoundToStep(-2.5 + d, 0.1));
    page->ComboRetimeTarget->setCurrentIndex(TRetimePage::BeforeTdc);
    page->EditRetimeTarget->setText(QStringLiteral("40"));
    EXPECT_EQ(page->LabelRetimeTargetUnit->text(), "%");
    EXPECT_DOUBLE_EQ(page->Result->NewSoi.Value[x][y], RoundToStep(d * 0.4, 0.1));

    // A target map of its own in the pane: 2 degrees everywhere.
    page->ComboRetimeTarget->setCurrentIndex(TRetimePage::TargetEoiMap);
    EXPECT_TRUE(page->VynMemoTargetEoiMap->isVisibleTo(page));
    EXPECT_EQ(page->Problem(), "No new SOI map: the target EOI map is empty");
    page->VynMemoTargetEoiMap->SetText("h\r\n\r\nh\r\n\r\n\t\tmm3\r\n\t\t0\t60\r\n"
                                       "1/min\t500\t2\t2\r\n\t5000\t2\t2\r\n");
    EXPECT_EQ(page->LabelTargetEoiReport->FullText().toStdString(),
              "2 \xC3\x97 2 \xC2\xB7 all numbers read");
    EXPECT_DOUBLE_EQ(page->Result->NewSoi.Value[x][y], RoundToStep(2 + d, 0.1));

    // Limits and a step of the ECU's.
    page->EditRetimeMax->setText(QStringLiteral("6"));
    page->EditRetimeStep->setText(QStringLiteral("0.0234375"));
    int held = 0;
    for (int i = 0; i < 16; ++i) {
        for (int j = 0; j < 12; ++j) {
            const double v = page->Result->NewSoi.Value[i][j];
            ASSERT_LE(v, 6.0);
            ASSERT_EQ(v, std::round(v / 0.0234375) * 0.0234375);
            held += page->Result->Clamped[i][j] == 1 ? 1 : 0;
        }
    }
    EXPECT_GT(held, 0);
    EXPECT_NE(page->LabelRetimeSummary->FullText().indexOf(
                  QStringLiteral("%1 clamped at 6.0000000").arg(held)),
              -1)
        << page->LabelRetimeSummary->FullText().toStdString();
    EXPECT_EQ(Colors(page->VynRichEditNewSoiMap).count(0x800080), 1u); // purple

    const struct {
        int Target;
        const char* Value;
        const char* Min;
        const char* Step;
        const char* Problem;
    } bad[] = {
        {TRetimePage::ConstantEoi, "x", "", "0.1", "the target is no number"},
        {TRetimePage::BeforeTdc, "120", "", "0.1", "the share before TDC must lie between"},
        {TRetimePage::ConstantEoi, "1", "7", "0.1", "the lower SOI limit lies above the upper"},
        {TRetimePage::ConstantEoi, "1", "a", "0.1", "a SOI limit is no number"},
        {TRetimePage::ConstantEoi, "1", "", "0", "the step must be a number of at least"},
        {TRetimePage::BaselineEoi, "1", "", "0.1", "no baseline is kept"},
    };
    for (const auto& c : bad) {
        page->ComboRetimeTarget->setCurrentIndex(c.Target);
        page->EditRetimeTarget->setText(QString::fromLatin1(c.Value));
        page->EditRetimeMin->setText(QString::fromLatin1(c.Min));
        page->EditRetimeStep->setText(QString::fromLatin1(c.Step));
        const std::string problem = "No new SOI map: " + std::string(c.Problem);
        EXPECT_EQ(page->Problem().toStdString().substr(0, problem.size()), problem);
        EXPECT_EQ(page->LabelRetimeSummary->FullText(), page->Problem());
        EXPECT_EQ(page->VynRichEditNewSoiMap->Text(), "");
        ASSERT_TRUE(SetClipboardText("the user's own"));
        page->ButtonRetimeCopyMap->click();
        EXPECT_EQ(GetClipboardText(), "the user's own");
        EXPECT_EQ(form->LastCopyMessage.toStdString(),
                  "nothing to copy: n" + problem.substr(1) +
                      page->Problem().toStdString().substr(problem.size()));
    }
}

// Clicking a cell of a report or of the heat map explains it under the
// report, as `mapwright explain` does; the arrow keys move the cell; the
// panel gives the report its height back when closed.
TEST_F(Window, ClickedCellsAreExplainedAndTheArrowKeysMoveThem) {
    form->ButtonTest->click();
    form->PageControl1->setCurrentIndex(4);
    TVynRichEdit* eoi = form->VynRichEditNewEOIMap;
    QApplication::processEvents();
    const int reportHeight = eoi->height();
    // The middle of the value at X index x, row y.
    const auto cellPoint = [](TVynRichEdit* view, int x, int y) {
        view->Text();
        const QTextBlock block = view->document()->findBlockByNumber(6 + y);
        int at = 0;
        for (int tabs = 0; tabs < x + 2; ++tabs) {
            at = static_cast<int>(block.text().indexOf(QLatin1Char('\t'), at)) + 1;
        }
        QTextCursor cursor(block);
        cursor.setPosition(block.position() + at + 1);
        return view->cursorRect(cursor).center();
    };
    const auto click = [](QWidget* widget, QPoint point) {
        QMouseEvent press(QEvent::MouseButtonPress, point, widget->mapToGlobal(point),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, point, widget->mapToGlobal(point),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    };
    const auto expected = [&](int x, int y) {
        TExplanation e;
        EXPECT_TRUE(ExplainPoint(form->RailPressureMap, form->DurationMap, form->SoiMap,
                                 form->SoiMap.XAxis[x], form->SoiMap.YAxis[y], e));
        QString text = QString::fromStdString(ExplanationText(e));
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.chop(1);
        return text;
    };

    // 30 mm3 (X index 9) at 2000 1/min (row 5).
    click(eoi->viewport(), cellPoint(eoi, 9, 5));
    TExplainPanel* panel = form->ExplainPanel;
    ASSERT_TRUE(panel->isVisibleTo(form.get()));
    EXPECT_EQ(panel->parentWidget(), form->TabSheet5);
    EXPECT_EQ(panel->TextExplain->toPlainText(), expected(9, 5));
    EXPECT_TRUE(panel->TextExplain->toPlainText().startsWith(QStringLiteral("30.0 mm3 at 2000")));
    EXPECT_EQ(eoi->textCursor().selectedText(), QStringLiteral("-1.2"));
    // Under the report, which gave up the height, inside the page.
    EXPECT_LT(eoi->geometry().bottom(), panel->geometry().top());
    EXPECT_LT(eoi->height(), reportHeight);
    EXPECT_TRUE(form->TabSheet5->rect().contains(panel->geometry()));
    EXPECT_LT(panel->geometry().bottom(), form->ButtonEOICopyMap->geometry().top());

    const struct {
        Qt::Key Key;
        int X, Y;
    } moves[] = {{Qt::Key_Right, 10, 5},
                 {Qt::Key_Down, 10, 6},
                 {Qt::Key_Left, 9, 6},
                 {Qt::Key_Up, 9, 5},
                 {Qt::Key_Up, 9, 4}};
    for (const auto& m : moves) {
        QKeyEvent key(QEvent::KeyPress, m.Key, Qt::NoModifier);
        QApplication::sendEvent(eoi, &key);
        ASSERT_TRUE(form->Explained);
        EXPECT_EQ(form->Explained->X, m.X);
        EXPECT_EQ(form->Explained->Y, m.Y);
        EXPECT_EQ(panel->TextExplain->toPlainText(), expected(m.X, m.Y));
    }
    // At the edge of the map the cell stays.
    form->ExplainCell(eoi, 0, 0);
    QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
    QApplication::sendEvent(eoi, &left);
    EXPECT_EQ(form->Explained->X, 0);
    // A keystroke in a pane explains the cell of the new maps.
    form->VynMemoSoiMap->SetText(Slurp(GetExeDir() + "DemoSOI.txt") + "");
    EXPECT_EQ(panel->TextExplain->toPlainText(), expected(0, 0));

    // The heat map: the cell under the pointer, outlined.
    form->PageControl1->setCurrentIndex(5);
    QApplication::processEvents();
    TEoiHeatMap* heat = form->EOIHeatMap;
    const QPoint middle = heat->rect().center();
    const auto cell = heat->CellAt(middle);
    ASSERT_TRUE(cell);
    click(heat, middle);
    EXPECT_EQ(panel->parentWidget(), form->TabSheet6);
    EXPECT_EQ(panel->TextExplain->toPlainText(), expected(cell->first, cell->second));
    EXPECT_LT(heat->geometry().bottom(), panel->geometry().top());
    // The EOI report has its height back.
    EXPECT_EQ(eoi->height(), reportHeight);

    panel->ButtonCloseExplain->click();
    EXPECT_FALSE(panel->isVisibleTo(form.get()));
    EXPECT_FALSE(form->Explained);
    // An incomplete map closes it too.
    form->ExplainCell(heat, 1, 1);
    form->ButtonClearDuration->click();
    EXPECT_FALSE(panel->isVisibleTo(form.get()));
    EXPECT_FALSE(form->ExplainCell(heat, 1, 1));
}

TEST(PlaceWindow, KeepsTheDesignWhereItFitsElseMovesAndShrinksIntoTheScreen) {
    const QPoint at = kFormDesignedPosition;
    const QSize designed = kFormDesignedSize;
    const QSize minimum = kFormMinimumSize;
    const QMargins frame(1, 24, 1, 1);
    const struct {
        QRect Available;
        QRect Expected; // frame position, client size
    } cases[] = {
        {{0, 0, 1920, 1080}, {at, designed}},
        {{0, 0, 1366, 768}, {QPoint(19, 56), designed}},
        {{0, 0, 1366, 728}, {QPoint(19, 16), designed}},
        {{0, 0, 1280, 720}, {QPoint(0, 8), QSize(1278, 687)}},
        {{0, 27, 1280, 693}, {QPoint(0, 27), QSize(1278, 668)}},
        // A second screen to the right, and one too small even for the minimum.
        {{1920, 0, 1366, 768}, {QPoint(1920, 56), designed}},
        {{0, 0, 800, 480}, {QPoint(0, 0), minimum}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlaceWindow(at, designed, frame, c.Available, minimum), c.Expected)
            << c.Available.width() << "x" << c.Available.height();
    }
}

// The line under each pane follows every change of its text.
TEST_F(Window, PaneLinesSayWhatWasRead) {
    form->ButtonTest->click();
    TElidedLabel* line = form->LabelDurationReport;
    EXPECT_EQ(line->text(), QString::fromUtf8("14 \xC3\x97 9 \xC2\xB7 all numbers read"));
    EXPECT_EQ(line->styleSheet(), "");

    const std::string demo = form->VynMemoDurationMap->Text();
    struct Case {
        std::string text;
        const char* says;
    };
    std::string typo = demo;
    typo.replace(typo.find("\t240\t"), 4, "\tl,25");
    std::string shortRow = demo; // the last value of row 250 taken away
    const std::size_t rowEnd = shortRow.find("\r\n", shortRow.find("Bar\t250"));
    const std::size_t lastTab = shortRow.rfind('\t', rowEnd);
    shortRow.erase(lastTab, rowEnd - lastTab);
    const Case cases[] = {
        {typo, "14 \xC3\x97 9 \xC2\xB7 1 cell read as 0: row 250, column 2 'l,25'"},
        {shortRow, "14 \xC3\x97 9 \xC2\xB7 1 short row: row 250 (13 of 14 values)"},
        // Axis values as the map has them, never in exponent form.
        {"h\r\n\r\nh\r\n\r\n\t\tmm3\r\n\t\t1\t2\r\nBar\t1234567.5\t1\tl,25\r\n",
         "2 \xC3\x97 1 \xC2\xB7 1 cell read as 0: row 1234567.5, column 2 'l,25'"},
        {"", "empty"},
    };
    for (const Case& c : cases) {
        form->VynMemoDurationMap->SetText(c.text);
        EXPECT_EQ(line->FullText().toStdString(), c.says);
        EXPECT_EQ(line->styleSheet().contains("#c00000"), !c.text.empty());
    }
    // What does not fit ends in "…"; the tooltip has all of it and every
    // finding with its line and field.
    form->VynMemoDurationMap->SetText(typo + "\r\n\tx\ty");
    EXPECT_TRUE(line->text().endsWith(QChar(0x2026))) << line->text().toStdString();
    EXPECT_NE(line->FullText().indexOf("2 short rows: line 16 (empty); row 0 (1 of 14 values)"), -1)
        << line->FullText().toStdString();
    EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->width());
    EXPECT_TRUE(line->toolTip().startsWith(line->FullText()));
    EXPECT_NE(line->toolTip().indexOf("Line 7, field 4: not-a-number 'l,25', read as 0"), -1)
        << line->toolTip().toStdString();
    // The other panes' lines stay as they were.
    EXPECT_EQ(form->LabelSoiReport->text(),
              QString::fromUtf8("16 \xC3\x97 12 \xC2\xB7 all numbers read"));
}

// One grid point whose SOI quantity lies beyond the duration map's: the
// Duration and EOI reports show it in italics and say so, while their text,
// and so what the copy buttons copy, is the text without any marking.
// The same three texts give the same views whatever the panes held before:
// a short row's missing values are 0, as on the command line.
TEST_F(Window, ResultsDoNotDependOnWhatThePanesHeldBefore) {
    const std::string head = "h\r\n\r\nh\r\n\r\n\t\tmm3\r\n";
    form->VynMemoRailPressureMap->SetText(head + "\t\t10\t20\r\n1/min\t2000\t800\t800\r\n");
    form->VynMemoSoiMap->SetText(head + "\t\t10\t20\r\n1/min\t2000\t10\t10\r\n");
    form->VynMemoDurationMap->SetText(head + "\t\t10\t20\r\nBar\t400\t300\t300\r\n"
                                             "\t1200\t700\t900\r\n");
    // The row at 1200 bar loses its value at 20 mm3.
    form->VynMemoDurationMap->SetText(head + "\t\t10\t20\r\nBar\t400\t300\t300\r\n"
                                             "\t1200\t700\r\n");
    ASSERT_NE(form->LabelDurationReport->FullText().indexOf(QStringLiteral("short row")), -1);
    auto fresh = [&] {
        auto maps = std::make_unique<std::array<Map, 3>>();
        ParseMap(form->VynMemoRailPressureMap->Text(), (*maps)[0]);
        ParseMap(form->VynMemoDurationMap->Text(), (*maps)[1]);
        ParseMap(form->VynMemoSoiMap->Text(), (*maps)[2]);
        auto derived = std::make_unique<DerivedMaps>();
        DeriveMaps((*maps)[0], (*maps)[1], (*maps)[2], *derived);
        return StripColorCodes(BuildViewText(OutputView::EOI, *derived, Thresholds{-8, 0}),
                               {.EnableColors = true, .SuppressAnsi = false});
    };
    EXPECT_EQ(form->VynRichEditNewEOIMap->Text(), fresh());
}

TEST_F(Window, ExtrapolatedCellsAreItalicButCopiedUnchanged) {
    const std::string head = "h\r\n\r\nh\r\n\r\n\t\tmm3\r\n";
    form->VynMemoRailPressureMap->SetText(head + "\t\t2\t10\r\n1/min\t2000\t800\t800\r\n");
    form->VynMemoDurationMap->SetText(head +
                                      "\t\t2\t6\r\nBar\t400\t300\t300\r\n\t1200\t700\t700\r\n");
    form->VynMemoSoiMap->SetText(head + "\t\t2\t10\r\n1/min\t2000\t10\t10\r\n");
    for (const auto& [view, kind, page, line] :
         {std::tuple{form->VynRichEditNewDurationMapDeg, OutputView::DurationDeg, 3,
                     form->LabelDurationExtrapolation},
          std::tuple{form->VynRichEditNewEOIMap, OutputView::EOI, 4,
                     form->LabelEOIExtrapolation}}) {
        form->PageControl1->setCurrentIndex(page);
        const Thresholds eoi = kind == OutputView::EOI ? Thresholds{-8, 0} : Thresholds{};
        const std::string plain = StripColorCodes(BuildViewText(kind, form->Derived, eoi),
                                                  {.EnableColors = true, .SuppressAnsi = false});
        EXPECT_EQ(view->Text(), plain);
        form->ButtonDurationCopyAll->click();
        EXPECT_EQ(GetClipboardText(), plain);
        // Row 2000: the Y value, then the cell at 2 (inside), then 10 (beyond).
        const QTextBlock row = view->document()->findBlockByNumber(6);
        std::vector<std::pair<std::string, bool>> runs;
        for (QTextBlock::iterator it = row.begin(); !it.atEnd(); ++it) {
            const QString text = it.fragment().text().trimmed();
            if (!text.isEmpty()) {
                runs.emplace_back(text.toStdString(), it.fragment().charFormat().fontItalic());
            }
        }
        ASSERT_EQ(runs.size(), 4u) << view->Text();
        EXPECT_FALSE(runs[2].second);
        EXPECT_TRUE(runs[3].second);
        EXPECT_EQ(line->FullText().toStdString(),
                  "1 of 2 cells extrapolated (in italics, the edge value continued): 1 above the "
                  "duration map's quantities");
    }
}

// Numbers stand right-aligned in their columns, whatever their sign and
// width: in every row of the table the k-th cell ends where the axis above
// it ends. The text stays as printed.
TEST_F(Window, ReportColumnsEndOnOneLine) {
    form->ButtonTest->click();
    for (const auto& [view, page] : {std::pair{form->VynRichEditNewEOIMap, 4},
                                     std::pair{form->VynRichEditNewDurationMapDeg, 3}}) {
        form->PageControl1->setCurrentIndex(page);
        QApplication::processEvents();
        std::vector<std::vector<qreal>> rows; // the x at which each cell ends
        for (QTextBlock b = view->document()->firstBlock(); b.isValid(); b = b.next()) {
            const QString text = b.text();
            if (text.count(u'\t') < 4) {
                continue;
            }
            std::vector<qreal> ends;
            const QTextLine line = b.layout()->lineAt(0);
            for (qsizetype k = text.indexOf(u'\t', 0); k >= 0; k = text.indexOf(u'\t', k + 1)) {
                const qsizetype end = text.indexOf(u'\t', k + 1);
                ends.push_back(line.cursorToX(static_cast<int>(end < 0 ? text.size() : end)));
            }
            rows.push_back(ends);
        }
        ASSERT_EQ(rows.size(), 13u); // the X axis and twelve rows
        // The X axis has no Y value: its k-th cell is the rows' (k+1)-th.
        const std::vector<qreal>& axis = rows.front();
        for (size_t r = 1; r < rows.size(); ++r) {
            ASSERT_EQ(rows[r].size(), axis.size());
            for (size_t k = 2; k < axis.size(); ++k) {
                EXPECT_EQ(rows[r][k], axis[k]) << "row " << r << ", cell " << k;
            }
        }
        // Right edges half an inch apart, wider and narrower numbers alike.
        EXPECT_EQ(axis[3] - axis[2], view->tabStopDistance());
        EXPECT_EQ(axis[4] - axis[3], view->tabStopDistance());
    }
}

TEST_F(Window, HeatMapDrawsAnyMapAndNamesTheCellUnderThePointer) {
    TEoiHeatMap* heat = form->EOIHeatMap;
    EXPECT_EQ(form->PageControl1->tabText(5), "EOI heat map");
    form->PageControl1->setCurrentIndex(5);
    EXPECT_FALSE(heat->grab().isNull()); // no map yet

    const std::string head = "h\r\n\r\nh\r\n\r\n\t\tmm3\r\n";
    form->VynMemoRailPressureMap->SetText(head + "\t\t10\r\n1/min\t2000\t800\r\n");
    form->VynMemoDurationMap->SetText(head + "\t\t10\r\nBar\t400\t0\r\n\t1200\t0\r\n");
    // 1 x 1 and flat at 0: no scale at all, every cell white.
    form->VynMemoSoiMap->SetText(head + "\t\t10\r\n1/min\t2000\t0\r\n");
    QImage image = heat->grab().toImage();
    const QPoint middle = heat->rect().center();
    EXPECT_EQ(image.pixelColor(middle), QColor(Qt::white));
    EXPECT_EQ(heat->HoverText(middle).toStdString(), "10.0 mm3, 2000 1/min: EOI 0.0 degCA BTDC");
    EXPECT_TRUE(heat->HoverText(QPoint(1, 1)).isEmpty()); // off the grid

    // 2 x 2, flat at 5 before TDC: every cell the far end of the blue side.
    form->VynMemoSoiMap->SetText(head + "\t\t10\t20\r\n1/min\t2000\t5\t5\r\n\t3000\t5\t5\r\n");
    image = heat->grab().toImage();
    EXPECT_EQ(image.pixelColor(middle + QPoint(5, 5)), HeatColor(5, 5));
    EXPECT_EQ(HeatColor(5, 5), QColor(33, 102, 172));
    EXPECT_EQ(HeatColor(-2.5, 5), QColor(217, 140, 149)); // halfway to red
    // The SOI quantity 20 lies above the maps' 10: hatched, and said so.
    const auto cell = heat->CellAt(middle + QPoint(5, 5));
    ASSERT_TRUE(cell.has_value());
    EXPECT_EQ(*cell, std::make_pair(1, 1));
    EXPECT_NE(heat->HoverText(middle + QPoint(5, 5)).indexOf("extrapolated: above the duration"),
              -1);
    // The hatching is on the extrapolated cells and only there: quantity 20
    // lies above the maps' 10, speed 3000 above the rail map's 2000.
    int hatched[2][2] = {};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const auto at = heat->CellAt(QPoint(x, y));
            if (at && image.pixelColor(x, y) == QColor(60, 60, 60)) {
                ++hatched[at->first][at->second];
            }
        }
    }
    EXPECT_EQ(hatched[0][0], 0);
    EXPECT_GT(hatched[0][1], 20);
    EXPECT_GT(hatched[1][0], 20);
    EXPECT_GT(hatched[1][1], 20);
}

// The legend marks each threshold that is on where the scale has its value:
// on a scale from -5 to 5, -2.5 at three quarters of the bar's height and
// 2.5 at one quarter; with one side off, only the other is marked.
TEST(HeatMap, ThresholdMarksSitWhereTheScaleHasTheirValues) {
    Map map;
    map.XCount = map.YCount = 2;
    map.XAxis[1] = map.YAxis[1] = 1;
    map.Value[0][0] = 5;
    map.Value[1][1] = -5;
    const ExtrapolationMap flags{};
    TEoiHeatMap heat;
    heat.resize(600, 400);
    heat.SetSource(&map, &flags);
    const auto draw = [&](double lo, double hi) {
        heat.SetThresholds(lo, hi);
        return heat.grab().toImage();
    };
    const QImage off = draw(-9999, 9999);
    // The bar: the legend's rows nearest the scale's end colours (its
    // outline covers the very ends).
    const int legend = heat.width() - 110;
    const auto close = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                   std::abs(a.blue() - b.blue()) <=
               6;
    };
    int top = off.height();
    int bottom = -1;
    for (int y = 0; y < off.height(); ++y) {
        for (int x = legend; x < off.width(); ++x) {
            if (close(off.pixelColor(x, y), HeatColor(5, 5))) {
                top = std::min(top, y);
            }
            if (close(off.pixelColor(x, y), HeatColor(-5, 5))) {
                bottom = std::max(bottom, y);
            }
        }
    }
    ASSERT_LT(top, bottom);
    // The rows of the legend that a mark changed.
    const auto marked = [&](const QImage& on) {
        std::set<int> rows;
        for (int y = top; y <= bottom; ++y) {
            for (int x = legend; x < on.width(); ++x) {
                if (on.pixel(x, y) != off.pixel(x, y)) {
                    rows.insert(y);
                    break;
                }
            }
        }
        return rows;
    };
    const auto near = [](const std::set<int>& rows, double y) {
        return std::any_of(rows.begin(), rows.end(),
                           [y](int row) { return std::abs(row - y) <= 3; });
    };
    const double quarter = top + (bottom - top) * 0.25;
    const double threeQuarters = top + (bottom - top) * 0.75;
    const std::set<int> both = marked(draw(-2.5, 2.5));
    EXPECT_TRUE(near(both, quarter));
    EXPECT_TRUE(near(both, threeQuarters));
    const std::set<int> loOnly = marked(draw(-2.5, 9999));
    EXPECT_TRUE(near(loOnly, threeQuarters));
    EXPECT_FALSE(near(loOnly, quarter));
}

} // namespace
