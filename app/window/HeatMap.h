#pragma once
// TEoiHeatMap: the EOI map (or its change against a baseline, or the share
// of the injection before TDC) as a grid of coloured cells. Values after top dead
// centre (negative) are red, before it (positive) blue, fading to white at 0,
// on a scale symmetric about 0; extrapolated cells are hatched; the legend
// marks the two colour thresholds. Hovering a cell shows its value. Nothing is
// computed until the widget paints, so a hidden heat map costs nothing.

#include "Pipeline.h"

#include <QWidget>

#include <optional>

class TEoiHeatMap : public QWidget {
    Q_OBJECT

public:
    explicit TEoiHeatMap(QWidget* parent = nullptr);

    // What to draw: the map and its flags are read when painting, so they must
    // outlive the widget or be replaced first. Null draws "no map". Thresholds
    // at -9999 / 9999 are off (not marked).
    void SetSource(const Map* map, const ExtrapolationMap* flags);
    void SetThresholds(double lo, double hi);
    // Says that the source changed: repaints when shown.
    void SourceChanged();
    // What the source holds, and so how it is drawn: the EOI on a scale of
    // its own largest value with the thresholds marked; ΔEOI, the EOI minus a
    // baseline's, on the fixed scale ±kDeltaScaleEnd (so that two states
    // look alike); or the share of the injection before TDC, 0 to 100 %.
    enum class TShows { Eoi, EoiDelta, BeforeTdc };
    void SetShows(TShows shows);
    TShows Shows() const { return m_shows; }
    static constexpr double kDeltaScaleEnd = 5.0;
    // The cell outlined as the one explained, if any.
    void SetSelectedCell(std::optional<std::pair<int, int>> cell);

    // The cell (x, y) under a point of the widget, if any.
    std::optional<std::pair<int, int>> CellAt(QPoint point) const;
    // The text shown when hovering over a point, empty off the grid.
    QString HoverText(QPoint point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    struct TLayout {
        QRect Grid;   // the cells
        QRect Legend; // the colour bar
        double CellW = 0;
        double CellH = 0;
    };
    TLayout Layout() const;
    // The largest |value| of the map: the ends of the scale (0 for a flat
    // map at 0, which draws every cell white).
    double ScaleEnd() const;

    const Map* m_map = nullptr;
    const ExtrapolationMap* m_flags = nullptr;
    double m_lo = -9999;
    double m_hi = 9999;
    TShows m_shows = TShows::Eoi;
    std::optional<std::pair<int, int>> m_selected;
};

// The colour of a value on a scale from -end to +end (white at 0).
QColor HeatColor(double value, double end);
