#pragma once
// TFormApp: Mapwright's one window. Three input panes (rail pressure,
// duration, SOI map) on the left, the derived maps on a page control on the
// right. Every change of a pane or a threshold edit parses that pane and
// recomputes and reprints everything (Calculate); "Demo" loads three example
// maps from files beside the program; the copy buttons put a view's text on
// the clipboard. GUI thread only.

#include "ElidedLabel.h"
#include "ExplainPanel.h"
#include "HeatMap.h"
#include "Map.h"
#include "Pipeline.h"
#include "Report.h"
#include "RetimePage.h"
#include "ui_FormApp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMargins>
#include <QPointer>
#include <QPushButton>
#include <QRect>
#include <QTime>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The directory of the running executable with a trailing '/', or "./" when
// it cannot be found.
std::string GetExeDir();

// The three demo maps, read from DemoDir by the Demo button.
inline constexpr const char* kDemoFiles[] = {"DemoRailPressure.txt", "DemoDuration.txt",
                                             "DemoSOI.txt"};
// The first of the demo files that the folder lacks, or "" when all are there.
std::string MissingDemoFile(const std::string& folder);

// Puts an 8-bit text on the system clipboard for the owner window; false
// (and nothing done) when there is no clipboard.
bool CopyTextToClipboard(QWidget* owner, const std::string& text);

// The window's client area as designed, and the smallest at which every
// control is still on the window and can be used (the panes then show about
// five lines, the pages their buttons and threshold edits).
inline constexpr QSize kFormDesignedSize{1345, 687};
inline constexpr QSize kFormMinimumSize{920, 520};
inline constexpr QPoint kFormDesignedPosition{293, 158};

// Where a window goes on a screen: the position of its frame's top left
// corner and its client size. As designed when that fits the available area
// together with the frame; otherwise moved into the area, and shrunk where it
// must be, never below minimum. Where even the minimum does not fit, the
// frame's top left corner stays inside, so the title bar can be reached.
QRect PlaceWindow(QPoint framePosition, QSize client, QMargins frame, QRect available,
                  QSize minimum);

class TFormApp : public QWidget, public Ui::FormApp {
    Q_OBJECT

public:
    explicit TFormApp(QWidget* parent = nullptr);

    // The three input maps, as parsed from the panes, and what parsing found.
    Map RailPressureMap;
    Map DurationMap;
    Map SoiMap;
    ParseReport RailPressureReport;
    ParseReport DurationReport;
    ParseReport SoiReport;

    // Beside the designed controls: a line under each input pane saying what
    // its text gave, a line under the Duration and EOI reports saying how
    // many cells are extrapolated, and a sixth page with the EOI heat map.
    TElidedLabel* LabelRailPressureReport = nullptr;
    TElidedLabel* LabelDurationReport = nullptr;
    TElidedLabel* LabelSoiReport = nullptr;
    TElidedLabel* LabelDurationExtrapolation = nullptr;
    TElidedLabel* LabelEOIExtrapolation = nullptr;
    QWidget* TabSheet6 = nullptr;
    TEoiHeatMap* EOIHeatMap = nullptr;
    // Under the heat map: what it draws, in the order of TEoiHeatMap::TShows
    // (EOI, ΔEOI against the kept baseline, share before TDC).
    QComboBox* ComboHeatMapShows = nullptr;
    // The seventh page: the SOI map for a wanted EOI.
    TRetimePage* TabSheet7 = nullptr;
    // Beside "Demo": keeps the three maps as they are now as the baseline.
    QPushButton* ButtonKeepBaseline = nullptr;

    // The explanation of a cell clicked in a report on the SOI grid or on
    // the heat map, under it; the arrow keys move the cell.
    TExplainPanel* ExplainPanel = nullptr;
    struct TExplained {
        QWidget* Source;
        int X;
        int Y;
    };
    std::optional<TExplained> Explained;
    // The reports on the SOI grid and the heat map: the widgets whose cells
    // can be explained.
    std::vector<QWidget*> ExplainSources() const;
    // Explains cell (x, y) of the SOI grid as `source` shows it, and marks
    // the cell there; false (and nothing shown) when there is no such cell.
    bool ExplainCell(QWidget* source, int x, int y);
    void CloseExplanation();

    // A kept baseline: the three panes' texts as they were, when, and what
    // they made. Nothing of it is saved.
    struct TBaseline {
        std::string Texts[3];
        QTime Kept;
        Map RailPressure;
        Map Duration;
        Map Soi;
        DerivedMaps Derived;
    };
    std::unique_ptr<TBaseline> Baseline;
    // While a baseline is kept, Calculate fills: its duration (degrees) and
    // EOI looked up on the current SOI grid, ΔEOI (current minus baseline),
    // and the cells of the Duration and EOI reports whose printed value
    // differs from the baseline's.
    Map BaselineDegOnGrid;
    Map BaselineEoiOnGrid;
    Map DeltaEoi;
    // The share of each injection before TDC, while the heat map shows it.
    Map ShareBeforeTdc;
    ExtrapolationMap ChangedDeg;
    ExtrapolationMap ChangedEoi;
    // Keeps the baseline (false, and nothing kept, while a map is missing);
    // clears it.
    bool ButtonKeepBaselineClick();
    void ButtonClearBaselineClick();
    // The six derived maps, written only by Calculate.
    DerivedMaps Derived;
    Map& NewDurationMapRP = Derived.NewDurationMapRP;
    Map& NewDurationMapUs = Derived.NewDurationMapUs;
    Map& NewDurationMapDeg = Derived.NewDurationMapDeg;
    Map& NewEOIMap = Derived.NewEOIMap;
    Map& RailPressureMapSoiX = Derived.RailPressureMapSoiX;
    Map& NewRailPressureMap = Derived.NewRailPressureMap;

    // Where "Demo" looks for its three files (with a trailing '/'): the
    // program's own directory, or share/mapwright/ beside an installed
    // program's bin/, unless changed.
    std::string DemoDir;

    void FormShow();
    void CheckBoxShowAllClick();
    void VynMemoRailPressureMapChange();
    void VynMemoDurationMapChange();
    void VynMemoSoiMapChange();
    void ButtonClearRPClick();
    void ButtonClearDurationClick();
    void ButtonClearSoiClick();
    void ButtonTestClick();
    void ButtonDurationCopyAllClick();
    void ButtonDurationCopyDataClick();
    // What the last copy button did, as the window said it: "EOI map 16 × 12
    // copied", or "nothing to copy: the SOI map is empty" (the clipboard then
    // keeps what it held).
    QString LastCopyMessage;

    // The seven output views and what each shows: the five reports in tab
    // order, then the two data views.
    void CopyReport(TVynRichEdit* view, const char* what);

    struct TOutputViewBinding {
        TVynRichEdit* View;
        OutputView Kind;
    };
    std::array<TOutputViewBinding, kOutputViewCount> OutputViews() const;

    // Clears the seven views and, when all three input maps are complete,
    // derives the maps and prints them.
    void Calculate();

    // Puts the window inside the available area of its screen (see
    // PlaceWindow), with the frame the window system reports, or an
    // allowance for one while it has not reported it.
    void FitIntoScreen();
    // Shows the window as the program opens it: fitted into the screen
    // before it is shown, and again once the window system has framed it.
    void ShowOnScreen();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyFonts();
    void ApplyAnchors();
    // Places the left column and the page control for the client size: at
    // the designed size exactly as designed; taller, the three panes share
    // the height; wider, a quarter of the width goes to the panes and the
    // rest to the pages; narrower, the pages give up width.
    void LayOutColumns();
    // Where the left button went down last, for telling clicks from drags.
    QPointer<QObject> m_pressedOn;
    QPoint m_pressedAt;
    void AddReportLines();
};
