#include "HeatMap.h"

#include "Report.h"

#include "Findings.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kLeft = 64;   // Y axis labels
constexpr int kBottom = 48; // X axis labels and unit
constexpr int kTop = 28;    // title
constexpr int kRight = 110; // legend
QString Number(double v, int decimals) {
    return QString::number(v, 'f', decimals);
}

} // namespace

QColor HeatColor(double value, double end) {
    if (!std::isfinite(value)) {
        return QColor(160, 160, 160);
    }
    const double t = end > 0 ? std::clamp(value / end, -1.0, 1.0) : 0.0;
    // Before TDC (positive) towards blue, after it towards red.
    const QColor far = t >= 0 ? QColor(33, 102, 172) : QColor(178, 24, 43);
    const double a = std::abs(t);
    auto mix = [a](int from, int to) {
        return static_cast<int>(std::lround(from + (to - from) * a));
    };
    return QColor(mix(255, far.red()), mix(255, far.green()), mix(255, far.blue()));
}

TEoiHeatMap::TEoiHeatMap(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void TEoiHeatMap::SetSource(const Map* map, const ExtrapolationMap* flags) {
    m_map = map;
    m_flags = flags;
    update();
}

void TEoiHeatMap::SetThresholds(double lo, double hi) {
    m_lo = lo;
    m_hi = hi;
    update();
}

void TEoiHeatMap::SourceChanged() {
    update(); // nothing happens while the page is hidden
}

void TEoiHeatMap::SetShows(TShows shows) {
    if (shows != m_shows) {
        m_shows = shows;
        update();
    }
}

void TEoiHeatMap::SetSelectedCell(std::optional<std::pair<int, int>> cell) {
    if (cell != m_selected) {
        m_selected = cell;
        update();
    }
}

double TEoiHeatMap::ScaleEnd() const {
    if (m_shows == TShows::EoiDelta) {
        return kDeltaScaleEnd;
    }
    if (m_shows == TShows::BeforeTdc) {
        return 50; // the colours run from 0 % to 100 %, white at half
    }
    double end = 0;
    for (int x = 0; x < m_map->XCount; ++x) {
        for (int y = 0; y < m_map->YCount; ++y) {
            const double v = m_map->Value[x][y];
            if (std::isfinite(v)) {
                end = std::max(end, std::abs(v));
            }
        }
    }
    return end;
}

TEoiHeatMap::TLayout TEoiHeatMap::Layout() const {
    TLayout l;
    l.Grid = QRect(kLeft, kTop, std::max(1, width() - kLeft - kRight),
                   std::max(1, height() - kTop - kBottom));
    l.Legend = QRect(l.Grid.right() + 24, kTop, 16, l.Grid.height());
    if (m_map != nullptr && m_map->XCount > 0 && m_map->YCount > 0) {
        l.CellW = static_cast<double>(l.Grid.width()) / m_map->XCount;
        l.CellH = static_cast<double>(l.Grid.height()) / m_map->YCount;
    }
    return l;
}

std::optional<std::pair<int, int>> TEoiHeatMap::CellAt(QPoint point) const {
    const TLayout l = Layout();
    if (l.CellW <= 0 || !l.Grid.contains(point)) {
        return std::nullopt;
    }
    const int x =
        std::min(static_cast<int>((point.x() - l.Grid.left()) / l.CellW), m_map->XCount - 1);
    const int y =
        std::min(static_cast<int>((point.y() - l.Grid.top()) / l.CellH), m_map->YCount - 1);
    return std::make_pair(x, y);
}

QString TEoiHeatMap::HoverText(QPoint point) const {
    const auto cell = CellAt(point);
    if (!cell) {
        return {};
    }
    const auto [x, y] = *cell;
    const double v = m_map->Value[x][y];
    const QString at = QStringLiteral("%1 mm3, %2 1/min: ")
                           .arg(Number(m_map->XAxis[x], 1), Number(m_map->YAxis[y], 0));
    QString text;
    switch (m_shows) {
    case TShows::EoiDelta:
        text = at + QStringLiteral("\u0394EOI %1 degCA (%2)")
                        .arg(Number(v, 1), v >= 0 ? QStringLiteral("earlier than the baseline")
                                                  : QStringLiteral("later than the baseline"));
        break;
    case TShows::BeforeTdc:
        text = at + QStringLiteral("%1 % of the injection before TDC").arg(Number(v, 1));
        break;
    case TShows::Eoi:
        text =
            at + QStringLiteral("EOI %1 degCA %2")
                     .arg(Number(v, 1), v >= 0 ? QStringLiteral("BTDC") : QStringLiteral("ATDC"));
        break;
    }
    const std::uint8_t flags = m_flags != nullptr ? m_flags->Cell[x][y] : 0;
    for (int bit = 0; bit < 8; ++bit) {
        if ((flags >> bit & 1) != 0) {
            text += QStringLiteral("\nextrapolated: ") +
                    QString::fromUtf8(ExtrapolationWords(bit).data(),
                                      static_cast<qsizetype>(ExtrapolationWords(bit).size()));
        }
    }
    return text;
}

void TEoiHeatMap::mouseMoveEvent(QMouseEvent* event) {
    const QString text = HoverText(event->position().toPoint());
    if (text.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(event->globalPosition().toPoint(), text, this);
    }
    QWidget::mouseMoveEvent(event);
}

void TEoiHeatMap::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    const TLayout l = Layout();
    const QFontMetrics fm(font());
    p.setPen(palette().color(QPalette::Text));
    if (m_map == nullptr || l.CellW <= 0) {
        p.drawText(rect(), Qt::AlignCenter,
                   QStringLiteral("No EOI map: all three maps are needed"));
        return;
    }
    p.drawText(QRect(kLeft, 4, l.Grid.width(), kTop - 8), Qt::AlignLeft | Qt::AlignVCenter,
               m_shows == TShows::EoiDelta
                   ? QStringLiteral("\u0394EOI (degCA) against the baseline, over injection "
                                    "quantity and engine speed")
               : m_shows == TShows::BeforeTdc
                   ? QStringLiteral("Share of the injection before TDC (%) over injection "
                                    "quantity and engine speed")
                   : QStringLiteral("EOI (degCA) over injection quantity and engine speed"));

    const double end = ScaleEnd();
    // Shares are coloured about their middle, 50 %.
    const double shift = m_shows == TShows::BeforeTdc ? 50 : 0;
    const Map& m = *m_map;
    for (int x = 0; x < m.XCount; ++x) {
        for (int y = 0; y < m.YCount; ++y) {
            const QRectF cell(l.Grid.left() + x * l.CellW, l.Grid.top() + y * l.CellH, l.CellW,
                              l.CellH);
            p.fillRect(cell, HeatColor(m.Value[x][y] - shift, end));
            if (m_flags != nullptr && m_flags->Cell[x][y] != 0) {
                p.fillRect(cell, QBrush(QColor(60, 60, 60), Qt::BDiagPattern));
            }
        }
    }
    p.setPen(QColor(128, 128, 128));
    p.drawRect(l.Grid.adjusted(0, 0, -1, -1));
    if (m_selected && m_selected->first < m.XCount && m_selected->second < m.YCount) {
        const QRectF cell(l.Grid.left() + m_selected->first * l.CellW,
                          l.Grid.top() + m_selected->second * l.CellH, l.CellW, l.CellH);
        p.setPen(QPen(palette().color(QPalette::Text), 2));
        p.drawRect(cell.adjusted(1, 1, -1, -1));
    }

    // Axis labels, as many as fit without overlapping.
    p.setPen(palette().color(QPalette::Text));
    const int xStep = std::max(1, static_cast<int>(std::ceil((fm.horizontalAdvance("0000.0") + 6) /
                                                             std::max(l.CellW, 1.0))));
    for (int x = 0; x < m.XCount; x += xStep) {
        // Centred under its cell.
        const double middle = l.Grid.left() + (x + 0.5) * l.CellW;
        const double w = l.CellW * xStep;
        p.drawText(QRectF(middle - w / 2, l.Grid.bottom() + 4, w, fm.height()),
                   Qt::AlignHCenter | Qt::AlignTop, Number(m.XAxis[x], 1));
    }
    p.drawText(QRect(l.Grid.left(), l.Grid.bottom() + 6 + fm.height(), l.Grid.width(), fm.height()),
               Qt::AlignHCenter, QStringLiteral("injection quantity (mm3)"));
    const int yStep =
        std::max(1, static_cast<int>(std::ceil((fm.height() + 2) / std::max(l.CellH, 1.0))));
    for (int y = 0; y < m.YCount; y += yStep) {
        // Beside the middle of its row.
        const double middle = l.Grid.top() + (y + 0.5) * l.CellH;
        p.drawText(QRectF(0, middle - fm.height() / 2.0, kLeft - 6, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, Number(m.YAxis[y], 0));
    }
    p.drawText(QRect(0, 4, kLeft - 6, kTop - 8), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("1/min"));

    // The legend: +end at the top, -end at the bottom.
    const QRect& bar = l.Legend;
    for (int row = 0; row < bar.height(); ++row) {
        const double v = end - 2 * end * row / std::max(1, bar.height() - 1);
        p.fillRect(QRect(bar.left(), bar.top() + row, bar.width(), 1), HeatColor(v, end));
    }
    p.setPen(QColor(128, 128, 128));
    p.drawRect(bar.adjusted(0, 0, -1, -1));
    p.setPen(palette().color(QPalette::Text));
    const auto yOf = [&](double v) {
        return end > 0 ? bar.top() + (end - v) / (2 * end) * (bar.height() - 1) : bar.center().y();
    };
    const auto mark = [&](double v, const QString& text, bool line) {
        const int y = static_cast<int>(std::lround(yOf(v)));
        if (line) {
            p.drawLine(bar.left() - 4, y, bar.right() + 4, y);
        }
        p.drawText(QRect(bar.right() + 6, y - fm.height() / 2, kRight - 40, fm.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, text);
    };
    switch (m_shows) {
    case TShows::EoiDelta:
        mark(end, Number(end, 1) + QStringLiteral(" earlier"), false);
        mark(-end, Number(-end, 1) + QStringLiteral(" later"), false);
        break;
    case TShows::BeforeTdc:
        mark(end, QStringLiteral("100 % before TDC"), false);
        mark(-end, QStringLiteral("0 %"), false);
        break;
    case TShows::Eoi:
        mark(end, Number(end, 1) + QStringLiteral(" BTDC"), false);
        mark(-end, Number(-end, 1) + QStringLiteral(" ATDC"), false);
        break;
    }
    // The thresholds are EOIs, not changes or shares of one.
    const bool eoi = m_shows == TShows::Eoi;
    const Thresholds thresholds =
        eoi ? Thresholds{m_lo, m_hi} : Thresholds{-kThresholdOff, kThresholdOff};
    for (const auto& [on, t] :
         {std::pair{thresholds.LoOn(), m_lo}, std::pair{thresholds.HiOn(), m_hi}}) {
        if (on) {
            // One beyond the scale is marked at its end.
            mark(std::clamp(t, -end, end), QStringLiteral("\u25B8 ") + Number(t, 1), true);
        }
    }
    // What the hatching means, below the bar.
    const QRect swatch(bar.left(), bar.bottom() + 8 + fm.height(), bar.width(), fm.height());
    p.fillRect(swatch, QBrush(QColor(60, 60, 60), Qt::BDiagPattern));
    p.drawRect(swatch.adjusted(0, 0, -1, -1));
    p.drawText(QRect(swatch.right() + 6, swatch.top(), kRight - 40, fm.height()),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("extrapolated"));
    if (eoi && !thresholds.LoOn() && !thresholds.HiOn()) {
        p.drawText(QRect(bar.left() - 20, bar.bottom() + 6, kRight, fm.height()), Qt::AlignLeft,
                   QStringLiteral("thresholds off"));
    }
}
