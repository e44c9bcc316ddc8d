#pragma once
// What the view benchmarks share: a report like the window's EOI report, a
// view set up like the window's, and waiting until a view has painted.

#include "ColorCodeParser.h"
#include "Map.h"
#include "QtText.h"
#include "Report.h"
#include "VynRichEdit.h"

#include <benchmark/benchmark.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTextEdit>

#include <cmath>
#include <memory>
#include <string>

inline constexpr int kViewWidth = 873;
inline constexpr int kViewHeight = 589;

// The EOI report of an n x n map (16 x 12 for n = 16) with values spread
// over red, black and blue.
inline std::string MakeReport(int n) {
    auto map = std::make_unique<Map>();
    map->XCount = n;
    map->YCount = n == 16 ? 12 : n;
    for (int x = 0; x < map->XCount; ++x) {
        map->XAxis[x] = 1.2 * x;
        for (int y = 0; y < map->YCount; ++y) {
            map->YAxis[y] = 750 + 75 * y;
            map->Value[x][y] = 18 * std::sin(0.37 * x + 0.11 * y) - 4;
        }
    }
    return MapToText(*map, "EOI", "Duration(Injection Quantity, Engine Speed)/degCA", "mm3",
                     "1/min", 1, 0, 1, -8, 0);
}

inline void SetUpLikeTheWindow(TVynRichEdit& view) {
    view.resize(kViewWidth, kViewHeight);
    view.EnableColors = true;
    view.setReadOnly(true);
    view.setLineWrapMode(QPlainTextEdit::NoWrap);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn); // "both scroll bars"
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view.show();
}

// Counts the paint events a widget receives.
class TPaintCounter : public QObject {
public:
    int Paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++Paints;
        }
        return false;
    }
};

// Lets the event loop lay out and paint what the view shows, once, as a
// screen update would; paints it directly if the loop did not. False when
// the view would not paint at all.
[[nodiscard]] inline bool PaintVisiblePart(QAbstractScrollArea& view) {
    TPaintCounter counter;
    view.viewport()->installEventFilter(&counter);
    QApplication::processEvents();
    if (counter.Paints == 0) {
        view.viewport()->repaint();
    }
    view.viewport()->removeEventFilter(&counter);
    return counter.Paints > 0;
}

// setPlainText of one plain report (the text without its codes) into a plain
// QTextEdit of the view's size, until painted: the floor the views are
// measured against.
inline void BM_PlainText(benchmark::State& state) {
    const std::string plain = StripColorCodes(MakeReport(static_cast<int>(state.range(0))),
                                              {.EnableColors = true, .SuppressAnsi = false});
    const QString text = ToQString(plain);
    QTextEdit view;
    view.resize(kViewWidth, kViewHeight);
    view.show();
    for (auto _ : state) {
        view.setPlainText(text);
        if (!PaintVisiblePart(view)) {
            state.SkipWithError("the view did not paint");
            break;
        }
    }
}
