// vyn-gallery: one window showing the VYN library's components at work.
//
//     vyn-gallery [--screenshot PNG]
//
// Lamps of every colour (flashing on a button), an Rx/Tx panel following the
// traffic of a serial port on a loopback line, and the serial settings
// dialog with what it returned. --screenshot saves a picture of the window
// shortly after it opened and exits.

#include "Fonts.h"
#include "LoopbackLine.h"
#include "PrintDBGrid.h"
#include "QtText.h"
#include "QuitOnSignal.h"
#include "RxTxPanel.h"
#include "SerialSetupDlg.h"
#include "StatusLed.h"
#include "TaalDlg.h"
#include "TextDlg.h"
#include "VynDBEdit.h"
#include "VynDBLookupComboBox.h"
#include "VynDBMemo.h"
#include "VynRadioButton.h"
#include "VynRichEdit.h"
#include "VynSerialPort.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kLampMs = 100; // how long a traffic lamp stays green

class TGallery : public QWidget {
public:
    TGallery() {
        setWindowTitle(QStringLiteral("VYN components"));
        setFont(DialogFont());
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(Lamps());
        layout->addWidget(Serial());
        layout->addWidget(Settings());
        layout->addWidget(Messages());
        layout->addWidget(Data());
        layout->addStretch();
    }

    // Sends a line through the port so the panel and the view show traffic.
    void SendSample() {
        static int count = 0;
        if (m_port.TxText("sample %d\r\n", ++count)) {
            Blink(0);
        }
    }

private:
    QGroupBox* Lamps() {
        auto* box = new QGroupBox(QStringLiteral("TStatusLed: 16 colours, large and small"));
        auto* column = new QVBoxLayout(box);
        for (int size = 0; size < 2; ++size) {
            auto* row = new QHBoxLayout;
            for (int colour = 0; colour < 16; ++colour) {
                auto* led = new TStatusLed;
                led->setFixedSize(9, 9);
                led->Init(this);
                // Each LED's false-state lamp is its own colour: a flash
                // shows white and falls back to it.
                const int index = size * 16 + colour;
                led->SetLedColors(2, index, 1);
                led->SetLed(index);
                m_leds.push_back(led);
                row->addWidget(led);
            }
            row->addStretch();
            column->addLayout(row);
        }
        auto* flash = new QPushButton(QStringLiteral("Flash"));
        connect(flash, &QPushButton::clicked, this, [this] {
            int delay = 0;
            for (TStatusLed* led : m_leds) {
                QTimer::singleShot(delay += 20, led, [led] { led->FlashLed(led->TrueColor); });
            }
        });
        column->addWidget(flash, 0, Qt::AlignLeft);
        return box;
    }

    QGroupBox* Serial() {
        auto* box =
            new QGroupBox(QStringLiteral("TRxTxPanel and TVynSerialPort on a loopback line"));
        auto* row = new QHBoxLayout(box);
        m_panel = new TRxTxPanel;
        m_panel->setFixedSize(18, 21);
        m_panel->Init();
        row->addWidget(m_panel, 0, Qt::AlignTop);
        auto* right = new QVBoxLayout;
        m_view = new TVynRichEdit;
        m_view->setReadOnly(true);
        m_view->setMinimumSize(420, 120);
        right->addWidget(m_view);
        auto* buttons = new QHBoxLayout;
        auto* send = new QPushButton(QStringLiteral("Send"));
        connect(send, &QPushButton::clicked, this, [this] { SendSample(); });
        auto* steady = new QCheckBox(QStringLiteral("Send every 300 ms"));
        auto* ticker = new QTimer(this);
        ticker->setInterval(300);
        connect(ticker, &QTimer::timeout, this, [this] { SendSample(); });
        connect(steady, &QCheckBox::toggled, ticker,
                [ticker](bool on) { on ? ticker->start() : ticker->stop(); });
        buttons->addWidget(send);
        buttons->addWidget(steady);
        buttons->addStretch();
        right->addLayout(buttons);
        row->addLayout(right);

        // The port's diagnostics go into the view, as an owner would route
        // them; what comes back is printed in the received-data colour.
        m_port.OnText = [this](QObject*, const char* module, int line, int type, int level,
                               const char* text) {
            m_view->DoPrintDebug(module, line, type, level, text);
        };
        m_port.OnRxData = [this](QObject*, unsigned char* bytes, int len) {
            m_view->PrintText(1, "%.*s", len, reinterpret_cast<const char*>(bytes));
            Blink(1);
        };
        if (m_line.IsOpen()) {
            m_port.Port = m_line.Path();
            m_port.Baudrate = 115200;
            m_port.Init(this);
            m_port.Open();
        } else {
            m_view->PrintText(4, "No pseudo-terminal for a loopback line\r\n");
        }
        return box;
    }

    QGroupBox* Settings() {
        auto* box = new QGroupBox(QStringLiteral("TSerialSetupDlg"));
        auto* row = new QHBoxLayout(box);
        auto* open = new QPushButton(QStringLiteral("Serial settings..."));
        auto* result = new QLabel(QStringLiteral("Not opened yet"));
        m_setup.Port = m_port.Port;
        m_setup.Baudrate = m_port.Baudrate;
        m_setup.ShowSettings = true;
        connect(open, &QPushButton::clicked, this, [this, result] {
            if (!m_setup.Execute()) {
                result->setText(QStringLiteral("Cancelled"));
                return;
            }
            static const char* const kParity[] = {"N", "O", "E", "M", "S"};
            static const char* const kStop[] = {"1", "1.5", "2"};
            static const char* const kFlow[] = {"none", "hardware", "XON/XOFF"};
            result->setText(QStringLiteral("%1  %2 %3%4%5  flow %6")
                                .arg(ToQString(m_setup.Port))
                                .arg(m_setup.Baudrate)
                                .arg(m_setup.Databits)
                                .arg(QLatin1String(kParity[m_setup.Parity % 5]))
                                .arg(QLatin1String(kStop[m_setup.Stopbits % 3]))
                                .arg(QLatin1String(kFlow[m_setup.FlowCtrl % 3])));
        });
        row->addWidget(open);
        row->addWidget(result, 1);
        return box;
    }

    QGroupBox* Messages() {
        auto* box = new QGroupBox(QStringLiteral("TTextDlg and TTaalDlg"));
        auto* column = new QVBoxLayout(box);
        auto* choice = new QHBoxLayout;
        auto* buttons = new QComboBox;
        const std::pair<const char*, int> sets[] = {{"OK", 0},
                                                    {"OK, Cancel", 1},
                                                    {"Abort, Retry, Ignore", 2},
                                                    {"Yes, No, Cancel", 3},
                                                    {"Yes, No", 4},
                                                    {"Retry, Cancel", 5},
                                                    {"Yes, Retry, No", 8},
                                                    {"no buttons", 15}};
        for (const auto& [name, type] : sets) {
            buttons->addItem(QString::fromLatin1(name), type);
        }
        auto* icon = new QComboBox;
        const std::pair<const char*, int> icons[] = {{"no icon", 0x00},
                                                     {"error", 0x10},
                                                     {"confirmation", 0x20},
                                                     {"warning", 0x30},
                                                     {"information", 0x40}};
        for (const auto& [name, flag] : icons) {
            icon->addItem(QString::fromLatin1(name), flag);
        }
        icon->setCurrentIndex(4);
        choice->addWidget(buttons);
        choice->addWidget(icon);
        choice->addStretch();
        column->addLayout(choice);

        auto* row = new QHBoxLayout;
        auto* modal = new QPushButton(QStringLiteral("Modal"));
        auto* nonModal = new QPushButton(QStringLiteral("Non-modal"));
        auto* hide = new QPushButton(QStringLiteral("Hide"));
        auto* language = new QPushButton(QStringLiteral("Language..."));
        auto* result = new QLabel(QStringLiteral("Language: English"));
        const auto type = [buttons, icon] {
            return buttons->currentData().toInt() | icon->currentData().toInt();
        };
        connect(modal, &QPushButton::clicked, this, [this, type, result] {
            m_message.Taal = m_language.Taal;
            const int pressed =
                m_message.ShowModal(type(), "Modal box", "The map holds 50 x 50 points.",
                                    "Copy it to the clipboard?", "", "");
            static const char* const kResults[] = {"",      "OK",     "Cancel", "Abort",
                                                   "Retry", "Ignore", "Yes",    "No"};
            result->setText(
                QStringLiteral("Result %1 (%2)")
                    .arg(pressed)
                    .arg(QLatin1String(pressed >= 1 && pressed <= 7 ? kResults[pressed] : "?")));
        });
        connect(nonModal, &QPushButton::clicked, this, [this, type] {
            m_message.Taal = m_language.Taal;
            m_message.Show(type(), "Non-modal box", "This box stays up until its OK button.", "",
                           "", "");
        });
        connect(hide, &QPushButton::clicked, this, [this] { m_message.Hide(); });
        connect(language, &QPushButton::clicked, this, [this, result] {
            const bool ok = m_language.Execute();
            result->setText(QStringLiteral("Language: %1%2")
                                .arg(m_language.Taal == 0 ? QStringLiteral("English")
                                                          : QStringLiteral("Nederlands"),
                                     ok ? QString() : QStringLiteral(" (cancelled)")));
        });
        for (QPushButton* b : {modal, nonModal, hide, language}) {
            row->addWidget(b);
        }
        row->addWidget(result, 1);
        column->addLayout(row);
        return box;
    }

    // An SQLite demo table in a temporary file: a grid, the data-aware edits
    // on its current record, radio buttons, and the grid's export.
    QGroupBox* Data() {
        auto* box = new QGroupBox(
            QStringLiteral("Data-aware edits, TVynRadioButton and TPrintDBGrid on SQLite"));
        auto* layout = new QGridLayout(box);
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("gallery"));
        m_db.setDatabaseName(m_folder.filePath(QStringLiteral("gallery.sqlite")));
        m_db.open();
        QSqlQuery q(m_db);
        q.exec(QStringLiteral("CREATE TABLE pumps (id INTEGER PRIMARY KEY, name TEXT, "
                              "bar REAL, maker INTEGER, note TEXT)"));
        q.exec(QStringLiteral("CREATE TABLE makers (code INTEGER PRIMARY KEY, label TEXT)"));
        q.exec(QStringLiteral("INSERT INTO makers VALUES (1, 'North'), (2, 'South'), (3, 'East')"));
        q.exec(QStringLiteral(
            "INSERT INTO pumps VALUES (1, 'CP1', 1350, 1, 'first generation'), "
            "(2, 'CP3', 1800, 2, 'second'), (3, 'CP4', 2000, 3, 'https://example.invalid')"));
        m_pumps.Database = m_makers.Database = m_db;
        m_pumps.TableName = "pumps";
        m_makers.TableName = "makers";
        m_pumps.Open();
        m_makers.Open();
        m_pumpSource.DataSet = &m_pumps;
        m_makerSource.DataSet = &m_makers;

        auto* grid = new TDBGrid;
        grid->SetDataSource(&m_pumpSource);
        grid->setMinimumHeight(110);
        layout->addWidget(grid, 0, 0, 1, 4);
        auto* name = new TVynDBEdit;
        name->Bind(&m_pumpSource, "name");
        auto* note = new TVynDBEdit;
        note->Bind(&m_pumpSource, "note");
        note->OnClick = [this](QObject*) { m_status->setText(QStringLiteral("Link clicked")); };
        auto* memo = new TVynDBMemo;
        memo->Bind(&m_pumpSource, "note");
        memo->setMaximumHeight(44);
        auto* maker = new TVynDBLookupComboBox;
        maker->SetList(&m_makerSource, "code", "label");
        maker->Bind(&m_pumpSource, "maker");
        layout->addWidget(name, 1, 0);
        layout->addWidget(maker, 1, 1);
        layout->addWidget(note, 1, 2, 1, 2);
        layout->addWidget(memo, 2, 0, 1, 4);

        auto* readOnly = new QCheckBox(QStringLiteral("Read-only"));
        auto* enabled = new QCheckBox(QStringLiteral("Enabled"));
        enabled->setChecked(true);
        auto* radioA = new TVynRadioButton(QStringLiteral("Metric"));
        auto* radioB = new TVynRadioButton(QStringLiteral("Imperial"));
        radioA->SetChecked(true);
        connect(readOnly, &QCheckBox::toggled, this, [=](bool on) {
            name->SetReadOnly(on);
            note->SetReadOnly(on);
            memo->SetReadOnly(on);
            maker->SetReadOnly(on);
            radioA->SetReadOnly(on);
            radioB->SetReadOnly(on);
        });
        connect(enabled, &QCheckBox::toggled, this, [=](bool on) {
            name->SetEnabled(on);
            note->SetEnabled(on);
            memo->SetEnabled(on);
            maker->setEnabled(on);
            radioA->SetEnabled(on);
            radioB->SetEnabled(on);
        });
        auto* toggles = new QHBoxLayout;
        for (QWidget* w : std::initializer_list<QWidget*>{readOnly, enabled, radioA, radioB}) {
            toggles->addWidget(w);
        }
        toggles->addStretch();
        layout->addLayout(toggles, 3, 0, 1, 4);

        m_export.DBGrid = grid;
        auto* saveText = new QPushButton(QStringLiteral("Save as text..."));
        auto* saveCsv = new QPushButton(QStringLiteral("Save as CSV..."));
        m_status = new QLabel;
        const auto save = [this](bool csv) {
            const QString file = QFileDialog::getSaveFileName(
                this, QString(),
                m_folder.filePath(csv ? QStringLiteral("pumps.csv") : QStringLiteral("pumps.txt")));
            if (file.isEmpty()) {
                return;
            }
            const std::string path = FromQString(file);
            const bool ok =
                csv ? m_export.SaveToCsvFile(path.c_str()) : m_export.SaveToTextFile(path.c_str());
            m_status->setText(ok ? QStringLiteral("Saved ") + file
                                 : QStringLiteral("Could not write ") + file);
        };
        connect(saveText, &QPushButton::clicked, this, [save] { save(false); });
        connect(saveCsv, &QPushButton::clicked, this, [save] { save(true); });
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(saveText);
        buttons->addWidget(saveCsv);
        buttons->addWidget(m_status, 1);
        layout->addLayout(buttons, 4, 0, 1, 4);
        return box;
    }

    // Lamp 0 (transmit) or 1 (receive) green for a moment.
    void Blink(int lamp) {
        m_panel->SetLed(lamp, 1);
        QTimer::singleShot(kLampMs, m_panel, [this, lamp] { m_panel->SetLed(lamp, 0); });
    }

    std::vector<TStatusLed*> m_leds;
    TRxTxPanel* m_panel = nullptr;
    TVynRichEdit* m_view = nullptr;
    TLoopbackLine m_line;
    TVynSerialPort m_port;
    TSerialSetupDlg m_setup;
    TTextDlg m_message;
    TTaalDlg m_language;
    QTemporaryDir m_folder;
    QSqlDatabase m_db;
    TDataSet m_pumps;
    TDataSet m_makers;
    TDataSource m_pumpSource;
    TDataSource m_makerSource;
    TPrintDBGrid m_export;
    QLabel* m_status = nullptr;
};

} // namespace

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
    TGallery gallery;
    gallery.show();
    QTimer::singleShot(50, &gallery, [&gallery] { gallery.SendSample(); });
    if (screenshot != nullptr) {
        // After the sample went round, while its lamps may still be lit.
        QTimer::singleShot(500, &gallery, [&gallery, screenshot] {
            const bool saved = gallery.grab().save(QString::fromLocal8Bit(screenshot));
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
