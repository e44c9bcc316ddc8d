#include "App.h"

#include "Anchors.h"
#include "Clipboard.h"
#include "Explain.h"
#include "Findings.h"
#include "Fonts.h"
#include "Lookup.h"
#include "Paths.h"
#include "QtColor.h"
#include "QtText.h"
#include "Report.h"
#include "Retime.h"
#include "TextFile.h"
#include "Views.h"

#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QShowEvent>
#include <QStandardItemModel>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <filesystem>
#include <tuple>

namespace {

// The designed client size of a page of the page control.
constexpr QSize kSheetClient(889, 633);
// What a frame takes while the window system has not said: a title bar and
// thin borders, on the generous side.
constexpr QMargins kFrameAllowance(8, 40, 8, 8);

// A choice of a combo box that cannot be taken while it makes no sense.
void SetHeatMapChoiceEnabled(QComboBox* combo, int index, bool enabled) {
    if (auto* model = qobject_cast<QStandardItemModel*>(combo->model())) {
        if (QStandardItem* item = model->item(index)) {
            item->setEnabled(enabled);
        }
    }
}

} // namespace

QRect PlaceWindow(QPoint framePosition, QSize client, QMargins frame, QRect available,
                  QSize minimum) {
    const int frameWidth = frame.left() + frame.right();
    const int frameHeight = frame.top() + frame.bottom();
    const QSize size(
        std::max(minimum.width(), std::min(client.width(), available.width() - frameWidth)),
        std::max(minimum.height(), std::min(client.height(), available.height() - frameHeight)));
    // The right and bottom edges in first; the left and top ones win.
    QPoint at = framePosition;
    at.setX(std::min(at.x(), available.right() + 1 - size.width() - frameWidth));
    at.setY(std::min(at.y(), available.bottom() + 1 - size.height() - frameHeight));
    at.setX(std::max(at.x(), available.left()));
    at.setY(std::max(at.y(), available.top()));
    return {at, size};
}

bool CopyTextToClipboard(QWidget* owner, const std::string& text) {
    (void)owner; // Qt's clipboard is not tied to a window
    return SetClipboardText(text);
}

std::string MissingDemoFile(const std::string& folder) {
    const std::string dir = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    for (const char* file : kDemoFiles) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(dir + file, ec)) {
            return file;
        }
    }
    return {};
}

std::string GetExeDir() {
    return ExeDirectory();
}

TFormApp::TFormApp(QWidget* parent) : QWidget(parent), DemoDir(ProgramDataDirectory("mapwright")) {
    setupUi(this);
    setWindowTitle(QStringLiteral("Mapwright"));
    QIcon icon;
    for (const int size : {32, 64, 256}) {
        icon.addFile(QStringLiteral(":/icons/mapwright-%1.png").arg(size));
    }
    setWindowIcon(icon);
    setMinimumSize(kFormMinimumSize);
    move(kFormDesignedPosition);
    ApplyFonts();

    for (TVynMemo* pane : {VynMemoRailPressureMap, VynMemoDurationMap, VynMemoSoiMap}) {
        pane->SetColorRO(clBtnFace);
    }
    for (TVynRichEdit* view :
         {VynRichEditNewRailPressureMap, VynRichEditNewDurationMapRP, VynRichEditNewDurationMapUs,
          VynRichEditNewDurationMapDeg, VynRichEditNewEOIMap, VynRichEditNewDurationMapDegData,
          VynRichEditNewEOIMapData}) {
        view->EnableColors = true;
        SetBackgroundColor(view, clBtnFace);
        // Views that are not on screen print when they come into view.
        view->SetDeferWhileHidden(true);
        AlignColumnsRight(view);
    }
    // The page control paints all of its rectangle, so Label6 stays hidden
    // beneath it, beside the tabs too.
    PageControl1->setAutoFillBackground(true);
    VynRichEditNewDurationMapDegData->setVisible(false);
    VynRichEditNewEOIMapData->setVisible(false);
    AddReportLines();
    ApplyAnchors();
    LayOutColumns();

    connect(VynMemoRailPressureMap, &TVynMemo::OnChange, this,
            &TFormApp::VynMemoRailPressureMapChange);
    connect(VynMemoDurationMap, &TVynMemo::OnChange, this, &TFormApp::VynMemoDurationMapChange);
    connect(VynMemoSoiMap, &TVynMemo::OnChange, this, &TFormApp::VynMemoSoiMapChange);
    connect(EditEOIThresLo, &QLineEdit::textChanged, this, &TFormApp::VynMemoSoiMapChange);
    connect(EditEOIThresHi, &QLineEdit::textChanged, this, &TFormApp::VynMemoSoiMapChange);
    connect(ButtonTest, &QPushButton::clicked, this, &TFormApp::ButtonTestClick);
    connect(ButtonClearRP, &QPushButton::clicked, this, &TFormApp::ButtonClearRPClick);
    connect(ButtonClearDuration, &QPushButton::clicked, this, &TFormApp::ButtonClearDurationClick);
    connect(ButtonClearSoi, &QPushButton::clicked, this, &TFormApp::ButtonClearSoiClick);
    connect(ButtonDurationCopyAll, &QPushButton::clicked, this,
            &TFormApp::ButtonDurationCopyAllClick);
    connect(ButtonEOICopyMap, &QPushButton::clicked, this, &TFormApp::ButtonDurationCopyAllClick);
    connect(ButtonDurationCopyData, &QPushButton::clicked, this,
            &TFormApp::ButtonDurationCopyDataClick);
    connect(ButtonEOICopyData, &QPushButton::clicked, this, &TFormApp::ButtonDurationCopyDataClick);
    connect(CheckBoxShowAll, &QCheckBox::toggled, this, &TFormApp::CheckBoxShowAllClick);
    connect(ButtonKeepBaseline, &QPushButton::clicked, this, &TFormApp::ButtonKeepBaselineClick);
    connect(TabSheet7->ButtonClearBaseline, &QPushButton::clicked, this,
            &TFormApp::ButtonClearBaselineClick);
    connect(ComboHeatMapShows, &QComboBox::currentIndexChanged, this, &TFormApp::Calculate);
    connect(TabSheet7->ButtonRetimeCopyMap, &QPushButton::clicked, this,
            [this] { CopyReport(TabSheet7->VynRichEditNewSoiMap, "new SOI map"); });
    connect(TabSheet7->ButtonRetimeCopyData, &QPushButton::clicked, this,
            [this] { CopyReport(TabSheet7->VynRichEditNewSoiMapData, "new SOI data"); });
    // A label has no click event of its own.
    Label10->installEventFilter(this);

    ExplainPanel = new TExplainPanel(this);
    connect(ExplainPanel->ButtonCloseExplain, &QToolButton::clicked, this,
            &TFormApp::CloseExplanation);
    for (QWidget* source : ExplainSources()) {
        source->installEventFilter(this); // the arrow keys
        if (auto* view = qobject_cast<TVynRichEdit*>(source)) {
            view->viewport()->installEventFilter(this); // the clicks
        }
    }
    EOIHeatMap->setFocusPolicy(Qt::ClickFocus);
}

void TFormApp::AddReportLines() {
    const auto line = [this](QWidget* parent, const char* name, QRect geometry) {
        auto* label = new TElidedLabel(parent);
        label->setObjectName(QString::fromLatin1(name));
        label->setGeometry(geometry);
        label->setFont(font());
        return label;
    };
    // Beside each pane's Clear button.
    LabelRailPressureReport = line(this, "LabelRailPressureReport", QRect(90, 184, 327, 21));
    LabelDurationReport = line(this, "LabelDurationReport", QRect(90, 392, 327, 21));
    LabelSoiReport = line(this, "LabelSoiReport", QRect(90, 600, 327, 21));
    // Beside the copy buttons (and on the EOI page the thresholds).
    LabelDurationExtrapolation =
        line(TabSheet4, "LabelDurationExtrapolation", QRect(216, 600, 665, 25));
    LabelEOIExtrapolation = line(TabSheet5, "LabelEOIExtrapolation", QRect(456, 600, 425, 25));

    TabSheet6 = new QWidget;
    TabSheet6->setObjectName(QStringLiteral("TabSheet6"));
    PageControl1->insertTab(PageControl1->indexOf(TabSheet5) + 1, TabSheet6,
                            QStringLiteral("EOI heat map"));
    EOIHeatMap = new TEoiHeatMap(TabSheet6);
    EOIHeatMap->setObjectName(QStringLiteral("EOIHeatMap"));
    EOIHeatMap->setGeometry(8, 8, 873, 585);
    ComboHeatMapShows = new QComboBox(TabSheet6);
    ComboHeatMapShows->setObjectName(QStringLiteral("ComboHeatMapShows"));
    ComboHeatMapShows->addItems({QStringLiteral("EOI"),
                                 QString::fromUtf8("\xCE\x94"
                                                   "EOI against the kept baseline"),
                                 QStringLiteral("Share of the injection before TDC")});
    ComboHeatMapShows->setGeometry(8, 600, 260, 22);
    ComboHeatMapShows->setToolTip(QStringLiteral("What the heat map draws"));
    SetHeatMapChoiceEnabled(ComboHeatMapShows, 1, false);

    TabSheet7 = new TRetimePage;
    TabSheet7->setObjectName(QStringLiteral("TabSheet7"));
    PageControl1->insertTab(PageControl1->indexOf(TabSheet6) + 1, TabSheet7,
                            QStringLiteral("Retime"));
    ButtonKeepBaseline = new QPushButton(QStringLiteral("Keep as baseline"), this);
    ButtonKeepBaseline->setObjectName(QStringLiteral("ButtonKeepBaseline"));
    ButtonKeepBaseline->setGeometry(312, 648, 105, 25);
    ButtonKeepBaseline->setEnabled(false);
    ButtonKeepBaseline->setToolTip(QStringLiteral(
        "Keeps the three maps as they are now: the Retime page can keep their EOI, the heat "
        "map can show the change against them, and the reports show changed cells in bold"));
    for (TElidedLabel* label : {LabelRailPressureReport, LabelDurationReport, LabelSoiReport}) {
        label->SetFullText(QStringLiteral("empty"));
    }
}

void TFormApp::ApplyFonts() {
    // The designed fonts are not on a Linux desktop: the nearest sans-serif
    // UI font at the designed pixel height, and a fixed-pitch font for the
    // panes, so that every text fits its box.
    QFont ui = DialogFont();
    setFont(ui);
    QFont bold = ui;
    bold.setPixelSize(12);
    bold.setBold(true);
    for (QLabel* label : {Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9}) {
        label->setFont(bold);
    }
    FitLabelsToText(this);
    for (TVynMemo* pane : {VynMemoRailPressureMap, VynMemoDurationMap, VynMemoSoiMap}) {
        pane->setFont(FixedPaneFont());
    }
}

void TFormApp::ApplyAnchors() {
    for (TVynRichEdit* view :
         {VynRichEditNewRailPressureMap, VynRichEditNewDurationMapRP, VynRichEditNewDurationMapUs,
          VynRichEditNewDurationMapDeg, VynRichEditNewEOIMap}) {
        SetAnchors(view, akLeft | akTop | akRight | akBottom, kSheetClient);
    }
    for (QWidget* control : std::initializer_list<QWidget*>{
             ButtonDurationCopyAll, ButtonDurationCopyData, ButtonEOICopyMap, ButtonEOICopyData,
             Label10, EditEOIThresLo, EditEOIThresHi}) {
        SetAnchors(control, akLeft | akBottom, kSheetClient);
    }
    for (QWidget* line : {LabelDurationExtrapolation, LabelEOIExtrapolation}) {
        SetAnchors(line, akLeft | akRight | akBottom, kSheetClient);
    }
    SetAnchors(EOIHeatMap, akLeft | akTop | akRight | akBottom, kSheetClient);
    SetAnchors(ComboHeatMapShows, akLeft | akBottom, kSheetClient);
}

void TFormApp::LayOutColumns() {
    const QSize designed = kFormDesignedSize;
    const int wider = width() - designed.width();
    const int taller = height() - designed.height();
    const int left = std::max(0, wider) / 4; // the panes' share of more width
    const int paneWidth = 409 + left;
    // Each pane's block: heading, pane, then its Clear button and report
    // line; the designed blocks are 208 px apart with panes of 145 px.
    const std::tuple<QLabel*, TVynMemo*, QPushButton*, TElidedLabel*> blocks[] = {
        {Label1, VynMemoRailPressureMap, ButtonClearRP, LabelRailPressureReport},
        {Label2, VynMemoDurationMap, ButtonClearDuration, LabelDurationReport},
        {Label4, VynMemoSoiMap, ButtonClearSoi, LabelSoiReport}};
    int top = 12;
    int shared = 0;
    for (int i = 0; i < 3; ++i) {
        const auto& [heading, pane, clear, line] = blocks[i];
        // The last pane takes what the division leaves.
        const int share = i < 2 ? taller / 3 : taller - shared;
        shared += share;
        const int paneHeight = 145 + share;
        heading->move(8, top);
        pane->setGeometry(8, top + 24, paneWidth, paneHeight);
        const int below = top + 24 + paneHeight + 3;
        clear->move(8, below);
        line->setGeometry(90, below, paneWidth - 82, line->height());
        top += 208 + share;
    }
    ButtonTest->move(8, height() - 39);
    ButtonKeepBaseline->move(312, height() - 39);
    CheckBoxShowAll->move(120, height() - 35);
    const int pagesLeft = 432 + left;
    PageControl1->setGeometry(pagesLeft, 12, width() - pagesLeft - 16, height() - 26);
    // Label6 lies under the page control, which must cover it at any width:
    // sticking out beside the tab bar's scroll arrows it showed as fragments.
    Label6->setGeometry(pagesLeft + 8, 12, std::max(0, std::min(463, PageControl1->width() - 16)),
                        Label6->height());
}

void TFormApp::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOutColumns();
}

void TFormApp::FitIntoScreen() {
    QScreen* screen = isVisible() ? this->screen() : QGuiApplication::screenAt(pos());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    QMargins frame = kFrameAllowance;
    if (isVisible()) {
        const QRect outer = frameGeometry();
        const QRect inner = geometry();
        if (outer != inner) {
            frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom());
        }
    }
    const QRect placed =
        PlaceWindow(pos(), size(), frame, screen->availableGeometry(), minimumSize());
    if (placed.size() != size()) {
        resize(placed.size());
    }
    if (placed.topLeft() != pos()) {
        move(placed.topLeft());
    }
}

void TFormApp::ShowOnScreen() {
    FitIntoScreen();
    show();
    // The window system frames the window a moment after it is shown; its
    // real frame may be larger than the allowance.
    QTimer::singleShot(300, this, &TFormApp::FitIntoScreen);
}

void TFormApp::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

std::vector<QWidget*> TFormApp::ExplainSources() const {
    return {VynRichEditNewRailPressureMap,
            VynRichEditNewDurationMapUs,
            VynRichEditNewDurationMapDeg,
            VynRichEditNewEOIMap,
            EOIHeatMap,
            TabSheet7->VynRichEditNewSoiMap};
}

namespace {

// The cell of a report under a point of its viewport: line 6 holds the first
// row, field 2 of a line the first value.
std::pair<int, int> ReportCellAt(TVynRichEdit* view, QPoint point) {
    const QTextCursor at = view->cursorForPosition(point);
    const QString line = at.block().text();
    const int field =
        static_cast<int>(QStringView(line).left(at.positionInBlock()).count(QLatin1Char('\t')));
    return std::make_pair(field - 2, at.blockNumber() - 6);
}

// Selects cell (x, y) of a report, so that it shows which one is explained.
void SelectReportCell(TVynRichEdit* view, int x, int y) {
    view->Text(); // prints what was put off
    const QTextBlock block = view->document()->findBlockByNumber(6 + y);
    if (!block.isValid()) {
        return;
    }
    const QString line = block.text();
    int start = 0;
    for (int tabs = 0; tabs < x + 2 && start >= 0; ++tabs) {
        start = static_cast<int>(line.indexOf(QLatin1Char('\t'), start));
        start = start < 0 ? -1 : start + 1;
    }
    if (start < 0) {
        return;
    }
    qsizetype end = line.indexOf(QLatin1Char('\t'), start);
    end = end < 0 ? line.size() : end;
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + start);
    cursor.setPosition(block.position() + static_cast<int>(end), QTextCursor::KeepAnchor);
    view->setTextCursor(cursor);
}

} // namespace

bool TFormApp::ExplainCell(QWidget* source, int x, int y) {
    if (FindIncompleteInput(RailPressureMap, DurationMap, SoiMap) != MissingInput::None || x < 0 ||
        y < 0 || x >= SoiMap.XCount || y >= SoiMap.YCount) {
        return false;
    }
    TExplanation e;
    ExplainPoint(RailPressureMap, DurationMap, SoiMap, SoiMap.XAxis[x], SoiMap.YAxis[y], e);
    Explained = TExplained{source, x, y};
    QString text = QString::fromStdString(ExplanationText(e));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(QLatin1Char('\n'))) {
        text.chop(1);
    }
    ExplainPanel->SetExplanation(
        QStringLiteral("How the cell at %1 mm3, %2 1/min came about (the arrow keys move it)")
            .arg(QString::number(e.Iq, 'f', 1), QString::number(e.Rpm, 'f', 0)),
        text);
    ExplainPanel->ShowUnder(source->parentWidget(), source);
    if (auto* view = qobject_cast<TVynRichEdit*>(source)) {
        SelectReportCell(view, x, y);
    }
    EOIHeatMap->SetSelectedCell(source == EOIHeatMap ? std::optional(std::pair(x, y))
                                                     : std::nullopt);
    return true;
}

void TFormApp::CloseExplanation() {
    Explained.reset();
    ExplainPanel->HideAway();
    EOIHeatMap->SetSelectedCell(std::nullopt);
}

bool TFormApp::eventFilter(QObject* watched, QEvent* event) {
    // A click is a press and a release at the same place of one widget: a
    // release alone, or after dragging a selection, explains nothing.
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    const auto* pointer = press || release ? static_cast<QMouseEvent*>(event) : nullptr;
    if (press && pointer->button() == Qt::LeftButton) {
        m_pressedOn = watched;
        m_pressedAt = pointer->position().toPoint();
    }
    if (release && pointer->button() == Qt::LeftButton && m_pressedOn == watched) {
        m_pressedOn = nullptr;
        const QPoint at = pointer->position().toPoint();
        const bool still = (at - m_pressedAt).manhattanLength() <= 3;
        if (still && watched == EOIHeatMap) {
            if (const auto cell = EOIHeatMap->CellAt(at)) {
                ExplainCell(EOIHeatMap, cell->first, cell->second);
            }
        }
        for (QWidget* source : ExplainSources()) {
            auto* view = qobject_cast<TVynRichEdit*>(source);
            if (still && view != nullptr && watched == view->viewport()) {
                const auto [x, y] = ReportCellAt(view, at);
                ExplainCell(view, x, y);
            }
        }
    }
    if (event->type() == QEvent::KeyPress && Explained && watched == Explained->Source) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int dx = key == Qt::Key_Left ? -1 : key == Qt::Key_Right ? 1 : 0;
        const int dy = key == Qt::Key_Up ? -1 : key == Qt::Key_Down ? 1 : 0;
        if (dx != 0 || dy != 0) {
            ExplainCell(Explained->Source, Explained->X + dx, Explained->Y + dy);
            return true; // at the edge of the map the cell stays
        }
    }
    if (watched == Label10 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            Label10->rect().contains(mouse->position().toPoint())) {
            ButtonClearDurationClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFormApp::FormShow() {
    for (int page = 0; page < 3; ++page) {
        PageControl1->setTabVisible(page, false);
    }
}

void TFormApp::CheckBoxShowAllClick() {
    const bool show = CheckBoxShowAll->isChecked();
    for (int page = 0; page < 3; ++page) {
        PageControl1->setTabVisible(page, show);
    }
}

void TFormApp::VynMemoRailPressureMapChange() {
    ParseMapPane(VynMemoRailPressureMap, RailPressureMap, RailPressureReport,
                 LabelRailPressureReport);
    Calculate();
}

void TFormApp::VynMemoDurationMapChange() {
    ParseMapPane(VynMemoDurationMap, DurationMap, DurationReport, LabelDurationReport);
    Calculate();
}

void TFormApp::VynMemoSoiMapChange() {
    ParseMapPane(VynMemoSoiMap, SoiMap, SoiReport, LabelSoiReport);
    Calculate();
}

void TFormApp::ButtonClearRPClick() {
    VynMemoRailPressureMap->Clear();
    VynMemoRailPressureMapChange();
}

void TFormApp::ButtonClearDurationClick() {
    VynMemoDurationMap->Clear();
    VynMemoDurationMapChange();
}

void TFormApp::ButtonClearSoiClick() {
    VynMemoSoiMap->Clear();
    VynMemoSoiMapChange();
}

void TFormApp::ButtonTestClick() {
    VynMemoRailPressureMap->Clear();
    VynMemoDurationMap->Clear();
    // Setting a pane's text runs its change handler when the text differs.
    const std::tuple<TVynMemo*, const char*, TElidedLabel*> panes[] = {
        {VynMemoRailPressureMap, kDemoFiles[0], LabelRailPressureReport},
        {VynMemoDurationMap, kDemoFiles[1], LabelDurationReport},
        {VynMemoSoiMap, kDemoFiles[2], LabelSoiReport}};
    for (const auto& [pane, file, line] : panes) {
        std::string text;
        std::string error;
        const bool read = ReadTextFile(DemoDir + file, text, error);
        pane->SetText(text);
        if (!read) {
            // An empty pane, and its line says why.
            const QString why = QStringLiteral("%1 not found in %2 (%3)")
                                    .arg(QLatin1String(file), QString::fromStdString(DemoDir),
                                         QString::fromStdString(error));
            line->SetFullText(why, why);
            line->setStyleSheet(QStringLiteral("color: #c00000;"));
        }
    }
}

void TFormApp::ButtonDurationCopyAllClick() {
    if (PageControl1->currentWidget() == TabSheet4) {
        CopyReport(VynRichEditNewDurationMapDeg, "duration map (degrees)");
    }
    if (PageControl1->currentWidget() == TabSheet5) {
        CopyReport(VynRichEditNewEOIMap, "EOI map");
    }
}

void TFormApp::ButtonDurationCopyDataClick() {
    if (PageControl1->currentWidget() == TabSheet4) {
        CopyReport(VynRichEditNewDurationMapDegData, "duration data (degrees)");
    }
    if (PageControl1->currentWidget() == TabSheet5) {
        CopyReport(VynRichEditNewEOIMapData, "EOI data");
    }
}

void TFormApp::CopyReport(TVynRichEdit* view, const char* what) {
    // A report of maps that are not all there is no report: the clipboard
    // keeps what the user had on it.
    const MissingInput missing = FindIncompleteInput(RailPressureMap, DurationMap, SoiMap);
    QString message;
    if (missing != MissingInput::None) {
        const char* names[] = {"", "rail pressure", "duration", "SOI"};
        message = QStringLiteral("nothing to copy: the %1 map is empty")
                      .arg(QLatin1String(names[static_cast<int>(missing)]));
    } else if ((view == TabSheet7->VynRichEditNewSoiMap ||
                view == TabSheet7->VynRichEditNewSoiMapData) &&
               !TabSheet7->Problem().isEmpty()) {
        QString why = TabSheet7->Problem();
        why[0] = why[0].toLower();
        message = QStringLiteral("nothing to copy: ") + why;
    } else if (!CopyTextToClipboard(this, view->Text())) {
        message = QStringLiteral("the clipboard refused the %1").arg(QLatin1String(what));
    } else {
        message = QString::fromUtf8("%1 %2 \xC3\x97 %3 copied")
                      .arg(QLatin1String(what))
                      .arg(SoiMap.XCount)
                      .arg(SoiMap.YCount);
        message[0] = message[0].toUpper();
    }
    LastCopyMessage = message;
    // Said briefly beside the button pressed, without a dialog.
    auto* button = qobject_cast<QWidget*>(sender());
    QWidget* at = button != nullptr ? button : view;
    QToolTip::showText(at->mapToGlobal(QPoint(0, at->height())), message, at);
}

std::array<TFormApp::TOutputViewBinding, kOutputViewCount> TFormApp::OutputViews() const {
    return {{{VynRichEditNewRailPressureMap, OutputView::RailPressure},
             {VynRichEditNewDurationMapRP, OutputView::DurationRP},
             {VynRichEditNewDurationMapUs, OutputView::DurationUs},
             {VynRichEditNewDurationMapDeg, OutputView::DurationDeg},
             {VynRichEditNewEOIMap, OutputView::EOI},
             {VynRichEditNewDurationMapDegData, OutputView::DurationDegData},
             {VynRichEditNewEOIMapData, OutputView::EOIData}}};
}

void TFormApp::Calculate() {
    const auto views = OutputViews();
    for (const TOutputViewBinding& binding : views) {
        binding.View->Clear();
    }
    const bool complete =
        FindIncompleteInput(RailPressureMap, DurationMap, SoiMap) == MissingInput::None;
    ButtonKeepBaseline->setEnabled(complete);
    if (!complete) {
        LabelDurationExtrapolation->SetFullText({});
        LabelEOIExtrapolation->SetFullText({});
        EOIHeatMap->SetSource(nullptr, nullptr);
        TabSheet7->SetChain(nullptr, nullptr);
        TabSheet7->Recalculate();
        CloseExplanation();
        return;
    }
    DeriveMaps(RailPressureMap, DurationMap, SoiMap, Derived);

    // Against a baseline: the cells whose printed value changed, and ΔEOI.
    const ExtrapolationMap* changedDeg = nullptr;
    const ExtrapolationMap* changedEoi = nullptr;
    if (Baseline) {
        ExtrapolationMap lookup;
        LookUpOnGrid(Baseline->Derived.NewDurationMapDeg, NewDurationMapDeg, BaselineDegOnGrid,
                     lookup);
        LookUpOnGrid(Baseline->Derived.NewEOIMap, NewEOIMap, BaselineEoiOnGrid, lookup);
        DeltaEoi = BaselineEoiOnGrid;
        for (int x = 0; x < SoiMap.XCount; ++x) {
            for (int y = 0; y < SoiMap.YCount; ++y) {
                const double eoiNow = NewEOIMap.Value[x][y];
                const double eoiThen = BaselineEoiOnGrid.Value[x][y];
                DeltaEoi.Value[x][y] = eoiNow - eoiThen;
                ChangedEoi.Cell[x][y] = RoundTo(eoiNow, 1) != RoundTo(eoiThen, 1);
                ChangedDeg.Cell[x][y] = RoundTo(NewDurationMapDeg.Value[x][y], 1) !=
                                        RoundTo(BaselineDegOnGrid.Value[x][y], 1);
            }
        }
        changedDeg = &ChangedDeg;
        changedEoi = &ChangedEoi;
    }

    // Only the two EOI views are coloured against the thresholds. The
    // Duration and EOI reports show extrapolated cells in italics and, with a
    // baseline, changed cells in bold; their plain text (what is copied)
    // carries neither.
    const Thresholds off{};
    const Thresholds eoi =
        ReadEoiThresholds(FromQString(EditEOIThresLo->text()), FromQString(EditEOIThresHi->text()));
    for (const TOutputViewBinding& binding : views) {
        const bool isEoi = binding.Kind == OutputView::EOI || binding.Kind == OutputView::EOIData;
        const ExtrapolationMap* changed = binding.Kind == OutputView::EOI           ? changedEoi
                                          : binding.Kind == OutputView::DurationDeg ? changedDeg
                                                                                    : nullptr;
        binding.View->PrintText(
            BuildViewText(binding.Kind, Derived, isEoi ? eoi : off, true, changed));
    }
    LabelDurationExtrapolation->SetFullText(QString::fromStdString(
        SummariseExtrapolation(NewDurationMapDeg, Derived.Flags.NewDurationMapDeg)));
    LabelEOIExtrapolation->SetFullText(
        QString::fromStdString(SummariseExtrapolation(NewEOIMap, Derived.Flags.NewEOIMap)));
    EOIHeatMap->SetThresholds(eoi.Lo, eoi.Hi);
    using TShows = TEoiHeatMap::TShows;
    auto shows = static_cast<TShows>(ComboHeatMapShows->currentIndex());
    if (shows == TShows::EoiDelta && !Baseline) {
        shows = TShows::Eoi;
    }
    const Map* drawn = &NewEOIMap;
    if (shows == TShows::EoiDelta) {
        drawn = &DeltaEoi;
    } else if (shows == TShows::BeforeTdc) {
        BeforeTdcMap(Derived, SoiMap, ShareBeforeTdc);
        drawn = &ShareBeforeTdc;
    }
    EOIHeatMap->SetShows(shows);
    EOIHeatMap->SetSource(drawn, &Derived.Flags.NewEOIMap);
    TabSheet7->SetChain(&Derived, &SoiMap);
    TabSheet7->Recalculate();
    // The explained cell follows the maps, while the grid still has it.
    if (Explained && !ExplainCell(Explained->Source, Explained->X, Explained->Y)) {
        CloseExplanation();
    }
}

bool TFormApp::ButtonKeepBaselineClick() {
    if (FindIncompleteInput(RailPressureMap, DurationMap, SoiMap) != MissingInput::None) {
        return false;
    }
    auto kept = std::make_unique<TBaseline>();
    kept->Texts[0] = VynMemoRailPressureMap->Text();
    kept->Texts[1] = VynMemoDurationMap->Text();
    kept->Texts[2] = VynMemoSoiMap->Text();
    kept->Kept = QTime::currentTime();
    kept->RailPressure = RailPressureMap;
    kept->Duration = DurationMap;
    kept->Soi = SoiMap;
    kept->Derived = Derived;
    Baseline = std::move(kept);
    TabSheet7->SetBaselineEoi(&Baseline->Derived.NewEOIMap);
    TabSheet7->LabelBaseline->SetFullText(QString::fromUtf8("Baseline: kept %1, %2 \xC3\x97 %3")
                                              .arg(Baseline->Kept.toString(QStringLiteral("HH:mm")))
                                              .arg(SoiMap.XCount)
                                              .arg(SoiMap.YCount));
    // Keeping a baseline is done to hold its EOI.
    TabSheet7->ComboRetimeTarget->setCurrentIndex(TRetimePage::BaselineEoi);
    SetHeatMapChoiceEnabled(ComboHeatMapShows, 1, true);
    Calculate();
    return true;
}

void TFormApp::ButtonClearBaselineClick() {
    Baseline.reset();
    TabSheet7->SetBaselineEoi(nullptr);
    if (TabSheet7->ComboRetimeTarget->currentIndex() == TRetimePage::BaselineEoi) {
        TabSheet7->ComboRetimeTarget->setCurrentIndex(TRetimePage::ConstantEoi);
    }
    if (ComboHeatMapShows->currentIndex() == 1) {
        ComboHeatMapShows->setCurrentIndex(0);
    }
    SetHeatMapChoiceEnabled(ComboHeatMapShows, 1, false);
    Calculate();
}
