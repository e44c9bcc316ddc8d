// Draws the project's images from rules, so none is drawn by hand or copied:
//
//     mapwright-art icon SIZE OUT.png    the program's icon
//     mapwright-art lamps DIR            the 32 lamp images, DIR/LED_RED.png ...
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

// The lamps: 16 colours, each as a large and a small disc on a 9 x 9 square.
struct TLamp {
    const char* Name;
    QRgb Color;
};
constexpr TLamp kLamps[16] = {
    {"BLACK", 0x000000},  {"WHITE", 0xFFFFFF}, {"DGREY", 0x808080},  {"GREY", 0xC0C0C0},
    {"DRED", 0x800000},   {"RED", 0xFF0000},   {"BROWN", 0x808000},  {"YELLOW", 0xFFFF00},
    {"DGREEN", 0x008000}, {"GREEN", 0x00FF00}, {"DCYAN", 0x008080},  {"CYAN", 0x00FFFF},
    {"DBLUE", 0x000080},  {"BLUE", 0x0000FF},  {"DPURPLE", 0x800080}, {"PURPLE", 0xFF00FF},
};
// The disc's width in each row, top to bottom, centred in the row.
constexpr int kLargeRows[9] = {0, 3, 5, 7, 7, 7, 5, 3, 0};
constexpr int kSmallRows[9] = {0, 0, 3, 5, 5, 5, 3, 0, 0};

QImage DrawLamp(const int (&rows)[9], QRgb disc) {
    // The background is light grey; a light grey disc stands on white.
    const QRgb background = disc == 0xC0C0C0 ? 0xFFFFFF : 0xC0C0C0;
    QImage image(9, 9, QImage::Format_RGB32);
    for (int y = 0; y < 9; ++y) {
        const int first = (9 - rows[y]) / 2;
        for (int x = 0; x < 9; ++x) {
            const bool inDisc = x >= first && x < first + rows[y];
            image.setPixel(x, y, 0xFF000000 | (inDisc ? disc : background));
        }
    }
    return image;
}

bool DrawLamps(const QString& dir) {
    for (const TLamp& lamp : kLamps) {
        const QString name = QString::fromLatin1(lamp.Name);
        if (!DrawLamp(kLargeRows, lamp.Color).save(dir + "/LED_" + name + ".png", "PNG") ||
            !DrawLamp(kSmallRows, lamp.Color).save(dir + "/LEDSMALL_" + name + ".png", "PNG")) {
            return false;
        }
    }
    return true;
}

int Usage() {
    std::fputs("usage: mapwright-art icon SIZE OUT.png\n"
               "       mapwright-art lamps DIR\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "lamps") == 0) {
        if (!DrawLamps(QString::fromLocal8Bit(argv[2]))) {
            std::fprintf(stderr, "mapwright-art: cannot write the lamps into %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
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
