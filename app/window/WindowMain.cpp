// The window part of mapwright, loaded by the program only when a window is
// asked for (everything but the commands, --help and --version): the window
// options, then the application and its event loop. The command line never
// loads the toolkit.

#include "WindowMain.h"
#include "App.h"
#include "Cli.h"
#include "Map.h"
#include "QtText.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <utility>

namespace {

// Exception texts of the library are Windows-1252, like all its texts.
void ShowException(const std::exception& e) {
    QMessageBox::critical(nullptr, QStringLiteral("Mapwright"), ToQString(e.what()));
}

// Shows an exception that escapes an event handler, as the toolkit's standard
// handler would, and goes on.
class TApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            ShowException(e);
        }
        return false;
    }
};

// Whether a window can be shown: a platform was chosen explicitly, or an X11
// or Wayland display is there.
bool HaveDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && value[0] != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

struct TWindowOptions {
    bool Demo = false;
    std::string DemoDir;     // the Demo button's folder, if not the usual one
    std::string BaselineDir; // the maps to keep as the baseline first
    std::string Page;        // the page to show, by its title
    std::string Screenshot;
    // The cell to explain on the page shown, by its X and Y axis values.
    std::optional<std::pair<double, double>> Explain;
};

int RunWindow(int argc, char** argv, const TWindowOptions& options) {
    if (!HaveDisplay()) {
        std::cerr << "mapwright: no display to open the window on (DISPLAY is not set); "
                     "'mapwright convert' works without one\n";
        return 1;
    }
    TApplication app(argc, argv);
    // The desktop entry and the icon an installed program finds in the theme.
    QGuiApplication::setDesktopFileName(QStringLiteral("mapwright"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("mapwright")));
    // (The window carries the program's icon itself, also uninstalled.)
    auto* form = new TFormApp;
    form->setAttribute(Qt::WA_DeleteOnClose);
    if (!options.DemoDir.empty()) {
        form->DemoDir = options.DemoDir + (options.DemoDir.back() == '/' ? "" : "/");
    }
    form->ShowOnScreen();
    // Pressed once the window is shown and the event loop runs: the
    // baseline's maps loaded and kept, then the demo maps.
    QTimer::singleShot(0, form, [form, options] {
        if (!options.BaselineDir.empty()) {
            const std::string demoDir = form->DemoDir;
            form->DemoDir = options.BaselineDir + (options.BaselineDir.back() == '/' ? "" : "/");
            form->ButtonTestClick();
            form->ButtonKeepBaselineClick();
            form->DemoDir = demoDir;
        }
        if (options.Demo) {
            form->ButtonTest->click();
        }
    });
    if (!options.Page.empty()) {
        QTabWidget* pages = form->PageControl1;
        int found = -1;
        for (int i = 0; i < pages->count(); ++i) {
            if (pages->tabText(i).toStdString() == options.Page) {
                found = i;
            }
        }
        if (found < 0) {
            std::cerr << "mapwright: no page '" << options.Page << "'\n";
            return kExitUsage;
        }
        pages->setTabVisible(found, true);
        pages->setCurrentIndex(found);
    }
    if (options.Explain) {
        // Once the maps are in: the grid cell nearest to the values given.
        QTimer::singleShot(100, form, [form, at = *options.Explain] {
            const Map& soi = form->SoiMap;
            const auto nearest = [](const double* axis, int count, double v) {
                int best = 0;
                for (int i = 1; i < count; ++i) {
                    best = std::fabs(axis[i] - v) < std::fabs(axis[best] - v) ? i : best;
                }
                return best;
            };
            for (QWidget* source : form->ExplainSources()) {
                if (source->parentWidget() == form->PageControl1->currentWidget()) {
                    form->ExplainCell(source, nearest(soi.XAxis, soi.XCount, at.first),
                                      nearest(soi.YAxis, soi.YCount, at.second));
                }
            }
        });
    }
    if (const std::string& screenshot = options.Screenshot; !screenshot.empty()) {
        QTimer::singleShot(500, form, [form, screenshot] {
            const bool saved = form->grab().save(QString::fromStdString(screenshot));
            QApplication::exit(saved ? 0 : 1);
        });
    }
    try {
        return QApplication::exec();
    } catch (const std::exception& e) {
        ShowException(e);
        return 0;
    }
}

} // namespace

namespace {

int ParseOptionsAndRun(int argc, char** argv) {
    TWindowOptions options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--demo") == 0) {
            options.Demo = true;
        } else if (std::strcmp(argv[i], "--demo-dir") == 0 && i + 1 < argc) {
            options.DemoDir = argv[++i];
            const std::string missing = MissingDemoFile(options.DemoDir);
            if (!missing.empty()) {
                std::cerr << "mapwright: --demo-dir " << options.DemoDir << ": " << missing
                          << " not found\n";
                return kExitUsage;
            }
        } else if (std::strcmp(argv[i], "--baseline-dir") == 0 && i + 1 < argc) {
            options.BaselineDir = argv[++i];
            const std::string missing = MissingDemoFile(options.BaselineDir);
            if (!missing.empty()) {
                std::cerr << "mapwright: --baseline-dir " << options.BaselineDir << ": " << missing
                          << " not found\n";
                return kExitUsage;
            }
        } else if (std::strcmp(argv[i], "--page") == 0 && i + 1 < argc) {
            options.Page = argv[++i];
        } else if (std::strcmp(argv[i], "--explain") == 0 && i + 2 < argc) {
            NumberStatus x = NumberStatus::Number;
            NumberStatus y = NumberStatus::Number;
            options.Explain = {TextToNumber(argv[i + 1], x), TextToNumber(argv[i + 2], y)};
            if (x != NumberStatus::Number || y != NumberStatus::Number) {
                std::cerr << "mapwright: --explain needs numbers IQ and RPM\n" << UsageText();
                return kExitUsage;
            }
            i += 2;
        } else if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
            options.Screenshot = argv[++i];
        } else {
            std::cerr << "mapwright: unknown argument '" << argv[i] << "'\n" << UsageText();
            return kExitUsage;
        }
    }
    return RunWindow(argc, argv, options);
}

} // namespace

// What the program calls, so nothing may leave it as an exception.
extern "C" __attribute__((visibility("default"))) int MapwrightWindowMain(int argc, char** argv) {
    try {
        return ParseOptionsAndRun(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "mapwright: " << e.what() << "\n";
        return 1;
    }
}
