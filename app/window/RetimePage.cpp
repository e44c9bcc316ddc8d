#include "RetimePage.h"

#include "Fonts.h"
#include "QtColor.h"
#include "QtText.h"
#include "Report.h"
#include "Views.h"

#include <QResizeEvent>

#include <cmath>
#include <limits>

namespace {

constexpr double kSmallestStep = 1e-6;

// A number as the threshold edits read it (a comma works): false for a text
// that is none, and for an empty one unless `emptyIsNone`.
bool ReadEdit(const QLineEdit* edit, bool emptyIsNone, double& value) {
    const std::string text = FromQString(edit->text().trimmed());
    NumberStatus status = NumberStatus::Number;
    value = TextToNumber(text, status);
    return status == NumberStatus::Number || (emptyIsNone && text.empty());
}

} // namespace

TRetimePage::TRetimePage(QWidget* parent) : QWidget(parent) {
    const auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    const auto edit = [this](const char* name, const QString& text, const QString& tip) {
        auto* e = new QLineEdit(text, this);
        e->setObjectName(QString::fromLatin1(name));
        e->setToolTip(tip);
        connect(e, &QLineEdit::textChanged, this, &TRetimePage::Recalculate);
        return e;
    };
    const auto line = [this](const char* name) {
        auto* l = new TElidedLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    const auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    LabelRetimeHeading =
        label("LabelRetimeHeading", QStringLiteral("New SOI map for the target EOI. X=I.Q.  Y=RPM  "
                                                   "Value=SOI (angle degrees, positive=BTDC)"));
    QFont bold = font();
    bold.setPixelSize(12);
    bold.setBold(true);
    LabelRetimeHeading->setFont(bold);

    label("LabelRetimeTarget", QStringLiteral("Target"));
    ComboRetimeTarget = new QComboBox(this);
    ComboRetimeTarget->setObjectName(QStringLiteral("ComboRetimeTarget"));
    ComboRetimeTarget->addItems({QStringLiteral("Baseline EOI"), QStringLiteral("EOI"),
                                 QStringLiteral("% before TDC"), QStringLiteral("Target EOI map")});
    ComboRetimeTarget->setCurrentIndex(ConstantEoi);
    ComboRetimeTarget->setToolTip(QStringLiteral(
        "What the EOI should be: the kept baseline's, one EOI in every cell, the share of the "
        "injection before TDC, or a target EOI map pasted into the pane"));
    EditRetimeTarget = edit("EditRetimeTarget", QStringLiteral("0"),
                            QStringLiteral("The target: EOI in degrees (positive=BTDC), or the "
                                           "percentage of the injection before TDC"));
    LabelRetimeTargetUnit = label("LabelRetimeTargetUnit", QStringLiteral("\u00B0"));
    label("LabelRetimeLimits", QStringLiteral("SOI limits"));
    EditRetimeMin =
        edit("EditRetimeMin", {},
             QStringLiteral("The lowest SOI allowed, in degrees (positive=BTDC); empty: no limit"));
    EditRetimeMax = edit(
        "EditRetimeMax", {},
        QStringLiteral("The highest SOI allowed, in degrees (positive=BTDC); empty: no limit"));
    label("LabelRetimeStep", QStringLiteral("Step"));
    EditRetimeStep = edit("EditRetimeStep", QStringLiteral("0.1"),
                          QStringLiteral("The ECU's resolution: the new SOIs are multiples of it"));
    LabelBaseline = line("LabelBaseline");
    ButtonClearBaseline = button("ButtonClearBaseline", QStringLiteral("Clear baseline"));

    VynMemoTargetEoiMap = new TVynMemo(this);
    VynMemoTargetEoiMap->setObjectName(QStringLiteral("VynMemoTargetEoiMap"));
    VynMemoTargetEoiMap->setFont(FixedPaneFont());
    VynMemoTargetEoiMap->setLineWrapMode(QPlainTextEdit::NoWrap);
    VynMemoTargetEoiMap->SetColorRO(clBtnFace);
    LabelTargetEoiReport = line("LabelTargetEoiReport");
    LabelTargetEoiReport->SetFullText(QStringLiteral("empty"));
    connect(VynMemoTargetEoiMap, &TVynMemo::OnChange, this, [this] {
        ParseMapPane(VynMemoTargetEoiMap, TargetMap, TargetReport, LabelTargetEoiReport);
        Recalculate();
    });

    for (TVynRichEdit** view : {&VynRichEditNewSoiMap, &VynRichEditNewSoiMapData}) {
        *view = new TVynRichEdit(this);
        (*view)->EnableColors = true;
        (*view)->setReadOnly(true);
        (*view)->setLineWrapMode(QPlainTextEdit::NoWrap);
        SetBackgroundColor(*view, clBtnFace);
        (*view)->SetDeferWhileHidden(true);
        AlignColumnsRight(*view);
    }
    VynRichEditNewSoiMap->setObjectName(QStringLiteral("VynRichEditNewSoiMap"));
    VynRichEditNewSoiMapData->setObjectName(QStringLiteral("VynRichEditNewSoiMapData"));
    VynRichEditNewSoiMapData->setVisible(false);
    ButtonRetimeCopyMap = button("ButtonRetimeCopyMap", QStringLiteral("Map to Clipboard"));
    ButtonRetimeCopyData = button("ButtonRetimeCopyData", QStringLiteral("Data to Clipboard"));
    LabelRetimeSummary = line("LabelRetimeSummary");

    connect(ComboRetimeTarget, &QComboBox::currentIndexChanged, this, &TRetimePage::TargetChosen);
    SetBaselineEoi(nullptr);
    TargetChosen();
}

void TRetimePage::SetChain(const DerivedMaps* derived, const Map* soi) {
    m_derived = derived;
    m_soi = soi;
}

void TRetimePage::SetBaselineEoi(const Map* eoi) {
    m_baselineEoi = eoi;
    ButtonClearBaseline->setEnabled(eoi != nullptr);
    if (eoi == nullptr) {
        LabelBaseline->SetFullText(
            QStringLiteral("No baseline: \u201CKeep as baseline\u201D keeps the maps as they are"));
    }
}

void TRetimePage::TargetChosen() {
    const int choice = ComboRetimeTarget->currentIndex();
    EditRetimeTarget->setEnabled(choice == ConstantEoi || choice == BeforeTdc);
    LabelRetimeTargetUnit->setText(choice == BeforeTdc ? QStringLiteral("%")
                                                       : QStringLiteral("\u00B0"));
    LayOut();
    Recalculate();
}

QString TRetimePage::ReadLimits(TRetimeLimits& limits) const {
    double step = 0;
    if (!ReadEdit(EditRetimeStep, false, step) || !(step >= kSmallestStep)) {
        return QStringLiteral("No new SOI map: the step must be a number of at least 0.000001");
    }
    double min = 0;
    double max = 0;
    if (!ReadEdit(EditRetimeMin, true, min) || !ReadEdit(EditRetimeMax, true, max)) {
        return QStringLiteral("No new SOI map: a SOI limit is no number (empty for none)");
    }
    constexpr double kNone = std::numeric_limits<double>::infinity();
    limits.Step = step;
    limits.Min = EditRetimeMin->text().trimmed().isEmpty() ? -kNone : min;
    limits.Max = EditRetimeMax->text().trimmed().isEmpty() ? kNone : max;
    if (limits.Min > limits.Max) {
        return QStringLiteral("No new SOI map: the lower SOI limit lies above the upper one");
    }
    return {};
}

void TRetimePage::Recalculate() {
    TRetimeLimits limits;
    TRetimeTarget target;
    QString problem;
    const int choice = ComboRetimeTarget->currentIndex();
    if (m_derived == nullptr || m_soi == nullptr) {
        problem = QStringLiteral("No new SOI map: all three maps are needed");
    } else {
        problem = ReadLimits(limits);
    }
    if (problem.isEmpty()) {
        double value = 0;
        switch (choice) {
        case BaselineEoi:
            if (m_baselineEoi == nullptr) {
                problem = QStringLiteral("No new SOI map: no baseline is kept (\u201CKeep as "
                                         "baseline\u201D keeps the maps as they are)");
            }
            target = {TargetKind::Map, 0, m_baselineEoi};
            break;
        case TargetEoiMap:
            if (TargetMap.XCount == 0 || TargetMap.YCount == 0) {
                problem = QStringLiteral("No new SOI map: the target EOI map is empty");
            }
            target = {TargetKind::Map, 0, &TargetMap};
            break;
        default:
            if (!ReadEdit(EditRetimeTarget, false, value)) {
                problem = QStringLiteral("No new SOI map: the target is no number");
            } else if (choice == BeforeTdc && (value < 0 || value > 100)) {
                problem = QStringLiteral("No new SOI map: the share before TDC must lie "
                                         "between 0 and 100 %");
            }
            target = {choice == BeforeTdc ? TargetKind::BeforeTdc : TargetKind::Constant, value,
                      nullptr};
            break;
        }
    }
    m_problem = problem;
    VynRichEditNewSoiMap->Clear();
    VynRichEditNewSoiMapData->Clear();
    if (!problem.isEmpty()) {
        LabelRetimeSummary->SetFullText(problem);
        SetStyleSheetIfChanged(LabelRetimeSummary, QString::fromLatin1(kProblemStyle));
        return;
    }
    Retime(*m_derived, target, limits, *Result);
    VynRichEditNewSoiMap->PrintText(NewSoiText(*Result, *m_soi, true));
    VynRichEditNewSoiMapData->PrintText(MapDataToText(Result->NewSoi, StepDecimals(limits.Step)));
    LabelRetimeSummary->SetFullText(QString::fromStdString(SummariseRetime(*Result)));
    SetStyleSheetIfChanged(LabelRetimeSummary, QString());
}

void TRetimePage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void TRetimePage::LayOut() {
    const int w = width();
    const int h = height();
    LabelRetimeHeading->setGeometry(8, 12, std::max(0, w - 16), 16);
    // One row of target, limits and step; the baseline's line and button
    // beside it where the page is wide enough, else in a row of their own.
    constexpr int kRow = 34;
    const auto at = [this](const char* name, int x, int y, int width) {
        if (auto* widget = findChild<QWidget*>(QString::fromLatin1(name))) {
            widget->setGeometry(x, y, width, 21);
        }
    };
    at("LabelRetimeTarget", 8, kRow, 36);
    at("ComboRetimeTarget", 46, kRow, 110);
    at("EditRetimeTarget", 160, kRow, 45);
    at("LabelRetimeTargetUnit", 207, kRow, 14);
    at("LabelRetimeLimits", 224, kRow, 52);
    at("EditRetimeMin", 278, kRow, 38);
    at("EditRetimeMax", 320, kRow, 38);
    at("LabelRetimeStep", 364, kRow, 26);
    at("EditRetimeStep", 392, kRow, 54);
    const bool oneRow = w >= 770;
    const int baselineRow = oneRow ? kRow : kRow + 26;
    const int baselineLeft = oneRow ? 456 : 8;
    const int clearLeft = std::max(baselineLeft + 8, w - 108);
    at("ButtonClearBaseline", clearLeft, baselineRow, 100);
    at("LabelBaseline", baselineLeft, baselineRow, std::max(0, clearLeft - baselineLeft - 6));

    // The target map's pane on the left while it is the target; the report
    // beside it, or across the page.
    const bool pane = ComboRetimeTarget->currentIndex() == TargetEoiMap;
    const int top = baselineRow + 28;
    const int bottom = h - 40; // above the copy buttons
    const int paneWidth = pane ? std::min(300, w / 3) : 0;
    VynMemoTargetEoiMap->setVisible(pane);
    LabelTargetEoiReport->setVisible(pane);
    if (pane) {
        VynMemoTargetEoiMap->setGeometry(8, top, paneWidth, std::max(0, bottom - top - 26));
        LabelTargetEoiReport->setGeometry(8, bottom - 21, paneWidth, 21);
    }
    const int reportLeft = pane ? paneWidth + 16 : 8;
    VynRichEditNewSoiMap->setGeometry(reportLeft, top, std::max(0, w - reportLeft - 8),
                                      std::max(0, bottom - top));
    ButtonRetimeCopyMap->setGeometry(8, h - 33, 97, 25);
    ButtonRetimeCopyData->setGeometry(112, h - 33, 97, 25);
    LabelRetimeSummary->setGeometry(216, h - 33, std::max(0, w - 224), 25);
}
