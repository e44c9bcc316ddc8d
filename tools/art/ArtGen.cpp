// Draws the project's images from rules, so none is drawn by hand or copied:
//
//     mapwright-art icon SIZE OUT.png    the program's icon
//
// Runs at build time without a display (QImage and QPainter on the raster
// engine, no text).

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A calibration map seen from above: a 5 x 5 grid of cells shaded from blue
// (early end of injection) to red (late), with the curve of a rising rail
// pressure drawn across it.
QImage DrawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 64.0;

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x26, 0x32, 0x38));
    p.drawRoundedRect(QRectF(2 * s, 2 * s, 60 * s, 60 * s), 9 * s, 9 * s);

    constexpr int kCells = 5;
    const double cell = 10 * s;
    const double origin = 7 * s;
    for (int x = 0; x < kCells; ++x) {
        for (int y = 0; y < kCells; ++y) {
            // Later injection towards high quantity (x) and high speed (top).
            const double t = (x + (kCells - 1 - y)) / (2.0 * (kCells - 1));
            const QColor c = QColor::fromHsvF(0.62 * (1.0 - t), 0.75, 0.95);
            p.setBrush(c);
            p.drawRect(QRectF(origin + x * cell + 0.5 * s, origin + y * cell + 0.5 * s,
                              cell - 1.0 * s, cell - 1.0 * s));
        }
    }

    QPainterPath curve;
    curve.moveTo(origin, origin + kCells * cell - 2 * s);
    curve.cubicTo(origin + 20 * s, origin + 44 * s, origin + 30 * s, origin + 6 * s,
                  origin + kCells * cell, origin + 4 * s);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x26, 0x32, 0x38), 5.0 * s, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);
    p.setPen(QPen(Qt::white, 2.5 * s, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(curve);
    return image;
}

int Usage() {
    std::fputs("usage: mapwright-art icon SIZE OUT.png\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4 || std::strcmp(argv[1], "icon") != 0) {
        return Usage();
    }
    const int size = std::atoi(argv[2]);
    if (size < 16 || size > 1024) {
        return Usage();
    }
    if (!DrawIcon(size).save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "mapwright-art: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
