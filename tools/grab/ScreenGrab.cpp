// mapwright-grab PNG [DELAY_MS]: saves a picture of the whole X screen after
// DELAY_MS milliseconds (default 3000), for pictures of other programs (Qt
// Designer with the VYN widgets) under Xvfb. Exit 1 when there is no screen
// or the picture cannot be written.

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: mapwright-grab PNG [DELAY_MS]\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const int delay = argc == 3 ? std::atoi(argv[2]) : 3000;
    const QString file = QString::fromLocal8Bit(argv[1]);
    QTimer::singleShot(delay, [&file] {
        QScreen* screen = QGuiApplication::primaryScreen();
        const bool saved = screen != nullptr && screen->grabWindow(0).save(file, "PNG");
        if (!saved) {
            std::fprintf(stderr, "mapwright-grab: cannot grab the screen into %s\n",
                         file.toLocal8Bit().constData());
        }
        QCoreApplication::exit(saved ? 0 : 1);
    });
    return QGuiApplication::exec();
}
