// bench_view: printing a coloured report into the output view.
//   BM_PrintNaive/50   the per-run algorithm ported literally onto the
//                      toolkit's rich-text edit (QTextEdit): caret moved and
//                      scrolled, format set and text inserted for every run,
//                      undo on
//   BM_PrintReport/N   Clear + PrintText of a 16 x 12 or 50 x 50 report into a
//                      TVynRichEdit as the window's views are set up
//   BM_PlainText/50    setPlainText of the same text without codes into a
//                      plain QTextEdit of the same size
//   BM_AppendAtLineLimit/N  one debug line into a view that holds its limit
//                      of N lines (trim + append)
// Each is timed until the event loop has laid out and painted what the view
// shows, once.

#include "BenchRatios.h"
#include "ColorCodeParser.h"
#include "QtColor.h"
#include "QtText.h"
#include "Report.h"
#include "ViewBenchSupport.h"
#include "VynRichEdit.h"

#include <QApplication>
#include <QTextEdit>

namespace {

void BM_PrintReport(benchmark::State& state) {
    const std::string report = MakeReport(static_cast<int>(state.range(0)));
    TVynRichEdit view;
    SetUpLikeTheWindow(view);
    for (auto _ : state) {
        view.Clear();
        view.PrintText(report);
        if (!PaintVisiblePart(view)) {
            state.SkipWithError("the view did not paint");
            break;
        }
    }
}

void BM_PrintNaive(benchmark::State& state) {
    const std::string report = MakeReport(static_cast<int>(state.range(0)));
    QTextEdit view;
    view.resize(kViewWidth, kViewHeight);
    view.setReadOnly(true);
    view.setLineWrapMode(QTextEdit::NoWrap);
    view.show();
    for (auto _ : state) {
        view.clear();
        ParseColorCodes(report, {.EnableColors = true}, [&](const TColorRun& run) {
            QTextCursor caret = view.textCursor();
            caret.movePosition(QTextCursor::End);
            view.setTextCursor(caret);
            view.ensureCursorVisible();
            QTextCharFormat format;
            format.setForeground(ToQColor(run.Color, view.palette()));
            format.setFontWeight(run.Style.Contains(TFontStyle::fsBold) ? QFont::Bold
                                                                        : QFont::Normal);
            view.setCurrentCharFormat(format);
            view.insertPlainText(ToQString(run.Text));
        });
        if (!PaintVisiblePart(view)) {
            state.SkipWithError("the view did not paint");
            break;
        }
    }
}

// One debug line into a view already holding MaxLines lines: the oldest line
// goes before every append, so this is the steady state of a busy log view.
void BM_AppendAtLineLimit(benchmark::State& state) {
    TVynRichEdit view;
    SetUpLikeTheWindow(view);
    view.MaxLines = static_cast<int>(state.range(0));
    view.ShowTime = false;
    for (int i = 0; i < view.MaxLines; ++i) {
        view.PrintDebug(0, "warm-up line %d with some text in it", i);
    }
    int n = 0;
    for (auto _ : state) {
        view.PrintDebug(1, "received line %d with some text in it", ++n);
    }
    if (view.blockCount() > view.MaxLines + 1) {
        state.SkipWithError("the view was not trimmed");
    }
}

BENCHMARK(BM_AppendAtLineLimit)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PrintNaive)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintReport)->Arg(16)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainText)->Arg(50)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    RatioReporter reporter;
    return RunWithRatios(argc, argv,
                         {{"BM_PrintReport/50", "BM_PlainText/50"},
                          {"BM_PrintReport/50", "BM_PrintNaive/50"},
                          {"BM_PrintReport/16", "BM_PlainText/50"},
                          {"BM_AppendAtLineLimit/10000", "BM_AppendAtLineLimit/1000"}},
                         reporter);
}
