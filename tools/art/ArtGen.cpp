// Draws the project's images from rules, so none is drawn by hand or copied:
//
//     mapwright-art icon SIZE OUT.png    the program's icon
//     mapwright-art lamps DIR            the 32 lamp images, DIR/LED_RED.png ...
//     mapwright-art icons DIR            the four message icons, DIR/MTERROR.png ...
//
// Runs at build time without a display (QImage and QPainter on the raster
// engine, no text).

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

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

// The message icons: 38 x 38 on the dialog grey #D4D0C8. The outline is
// drawn without smoothing, so that leaving out the background colour leaves
// no grey fringe; the white marks inside are smooth.
constexpr QRgb kIconBackground = 0xFFD4D0C8;

QImage IconCanvas() {
    QImage image(38, 38, QImage::Format_RGB32);
    image.fill(kIconBackground);
    return image;
}

void Disc(QPainter& p, QColor colour) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(colour.darker(140));
    p.drawEllipse(QRect(2, 2, 34, 34));
    p.setBrush(colour);
    p.drawEllipse(QRect(4, 4, 30, 30));
    p.setRenderHint(QPainter::Antialiasing, true);
}

QImage DrawError() {
    QImage image = IconCanvas();
    QPainter p(&image);
    Disc(p, QColor(0xD8, 0x1E, 0x1E));
    p.setPen(QPen(Qt::white, 4.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(13, 13), QPointF(25, 25));
    p.drawLine(QPointF(25, 13), QPointF(13, 25));
    return image;
}

QImage DrawWarning() {
    QImage image = IconCanvas();
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    const QPolygon outer({QPoint(19, 2), QPoint(36, 34), QPoint(2, 34)});
    const QPolygon inner({QPoint(19, 6), QPoint(33, 32), QPoint(5, 32)});
    p.setBrush(QColor(0x8A, 0x6D, 0x00));
    p.drawPolygon(outer);
    p.setBrush(QColor(0xFF, 0xD2, 0x1F));
    p.drawPolygon(inner);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRectF(17.5, 12, 3, 12), 1.5, 1.5);
    p.drawEllipse(QRectF(17.25, 26, 3.5, 3.5));
    return image;
}

QImage DrawInformation() {
    QImage image = IconCanvas();
    QPainter p(&image);
    Disc(p, QColor(0x1F, 0x5F, 0xC8));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(16.75, 9, 4.5, 4.5));
    p.drawRoundedRect(QRectF(17, 16, 4, 13), 1.5, 1.5);
    return image;
}

QImage DrawConfirmation() {
    QImage image = IconCanvas();
    QPainter p(&image);
    Disc(p, QColor(0x1F, 0x5F, 0xC8));
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath hook;
    hook.moveTo(14, 15);
    hook.cubicTo(14, 8, 25, 8, 25, 14.5);
    hook.cubicTo(25, 19, 19, 19, 19, 23);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(17, 26, 4, 4));
    return image;
}

bool DrawIcons(const QString& dir) {
    return DrawError().save(dir + "/MTERROR.png", "PNG") &&
           DrawWarning().save(dir + "/MTWARNING.png", "PNG") &&
           DrawInformation().save(dir + "/MTINFORMATION.png", "PNG") &&
           DrawConfirmation().save(dir + "/MTCONFIRMATION.png", "PNG");
}

int Usage() {
    std::fputs("usage: mapwright-art icon SIZE OUT.png\n"
               "       mapwright-art lamps DIR\n"
               "       mapwright-art icons DIR\n",
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
    if (argc == 3 && std::strcmp(argv[1], "icons") == 0) {
        if (!DrawIcons(QString::fromLocal8Bit(argv[2]))) {
            std::fprintf(stderr, "mapwright-art: cannot write the icons into %s\n", argv[2]);
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
