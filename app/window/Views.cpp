#include "Views.h"

#include "Findings.h"

#include <QTextDocument>
#include <QTextOption>

void ParseMapPane(TVynMemo* pane, Map& map, ParseReport& report, TElidedLabel* line) {
    const std::string text = pane->Text();
    map = Map{};
    ParseMap(text, map, report);
    const TPaneSummary summary = SummarisePane(report, map, map_detail::TrimRight(text).empty());
    // Most keystrokes leave the line as it was: the label changes only when
    // its text does.
    line->SetFullText(QString::fromStdString(summary.Text),
                      QString::fromStdString(ListFindings(report)));
    SetStyleSheetIfChanged(line, summary.Bad ? QString::fromLatin1(kProblemStyle) : QString());
}

// Beyond the last stop TABs go on to the next half inch, left-aligned.
void AlignColumnsRight(TVynRichEdit* view) {
    constexpr int kStops = 128;
    const qreal stop = view->tabStopDistance();
    QList<QTextOption::Tab> tabs;
    tabs.reserve(kStops);
    for (int k = 1; k <= kStops; ++k) {
        tabs.append(QTextOption::Tab(k * stop + 40, QTextOption::RightTab));
    }
    QTextOption option = view->document()->defaultTextOption();
    option.setTabs(tabs);
    // Reports are left to right; told so, the layout does not scan the
    // whole line for its direction at every TAB.
    option.setTextDirection(Qt::LeftToRight);
    view->document()->setDefaultTextOption(option);
}

void SetStyleSheetIfChanged(QWidget* widget, const QString& sheet) {
    if (widget->styleSheet() != sheet) {
        widget->setStyleSheet(sheet);
    }
}
