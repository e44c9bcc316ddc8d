// vyn-gallery: one window showing the VYN library's components at work.
//
//     vyn-gallery [--screenshot PNG]
//
// --screenshot saves a picture of the window shortly after it opened and
// exits.

#include "Gallery.h"
#include "QuitOnSignal.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char** argv) {
    const char* screenshot = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
            screenshot = argv[++i];
        } else {
            std::fprintf(stderr, "usage: vyn-gallery [--screenshot PNG]\n");
            return 2;
        }
    }
    QApplication app(argc, argv);
    // Stopped by a signal, the gallery still removes its temporary folder.
    if (!QuitOnTerminationSignals()) {
        std::fprintf(stderr, "vyn-gallery: a stop by signal will leave its temporary folder\n");
    }
    auto* gallery = new TGallery;
    // On a small screen (a laptop's) the gallery scrolls inside its window.
    const std::unique_ptr<QWidget> window(
        GalleryWindow(gallery, QGuiApplication::primaryScreen()->availableGeometry()));
    window->show();
    QTimer::singleShot(50, gallery, [gallery] { gallery->SendSample(); });
    if (screenshot != nullptr) {
        // After the sample went round, while its lamps may still be lit:
        // the whole gallery, also where it scrolls.
        QTimer::singleShot(500, gallery, [gallery, screenshot] {
            const bool saved = gallery->grab().save(QString::fromLocal8Bit(screenshot));

            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
