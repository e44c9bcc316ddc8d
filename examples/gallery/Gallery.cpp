// The gallery's window; see Gallery.h.

#include "Gallery.h"

#include "Fonts.h"
#include "Paths.h"
#include "QtText.h"
#include "RxTxPanel.h"
#include "StatusLed.h"
#include "TextForm.h"
#include "VynDBEdit.h"
#include "VynDBLookupComboBox.h"
#include "VynDBMemo.h"
#include "VynRadioButton.h"
#include "VynRichEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kLampMs = 100; // how long a traffic lamp stays green
// Each non-modal box stands this far right of and below the one before.
constexpr QPoint kBoxOffset(24, 24);

// Whether a button set of the message box has an OK button, the only one
// that closes a non-modal box.
bool HasOk(int type) {
    switch (type & 0x0F) {
    case 2:
    case 3:
    case 4:
    case 5:
    case 8:
    case 15: return false;
    default: return true;
    }
}

} // namespace

TGallery::TGallery() {
    Say(this, "VYN components", "VYN-componenten");
    setFont(DialogFont());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Lamps());
    layout->addWidget(Serial());
    layout->addWidget(Settings());
    layout->addWidget(Messages());
    layout->addWidget(Data());
    ReferenceLink = new QLabel;
    ReferenceLink->setOpenExternalLinks(true);
    const QString index = ReferenceIndexPath();
    if (index.isEmpty()) {
        Say(ReferenceLink, "API reference: not installed (package libvyn-dev)",
            "API-naslag: niet ge\xEFnstalleerd (pakket libvyn-dev)");
    } else {
        const QString link = QStringLiteral(" <a href=\"%1\">%2</a>")
                                 .arg(QUrl::fromLocalFile(index).toString(), index.toHtmlEscaped());
        Say([this, link](const QString& t) { ReferenceLink->setText(t + link); },
            "API reference:", "API-naslag:");
    }
    layout->addWidget(ReferenceLink);
    layout->addStretch();
}

QString ReferenceIndexPath() {
    const QString exe = QString::fromStdString(ExeDirectory());
    for (const char* place :
         {"../share/doc/vyn/html/index.html", "../docs/reference/html/index.html"}) {
        const QFileInfo index(exe + QLatin1String(place));
        if (index.isFile()) {
            return index.canonicalFilePath();
        }
    }
    return {};
}

void TGallery::SendSample() {
    static int count = 0;
    if (m_port.TxText("sample %d\r\n", ++count)) {
        Blink(0);
    }
}

QString TGallery::Text(const char* english, const char* dutch) const {
    // The captions are Windows-1252, like the library's.
    return ToQString(m_taal == 1 ? dutch : english);
}

void TGallery::Say(std::function<void(const QString&)> set, const char* english,
                   const char* dutch) {
    set(Text(english, dutch));
    m_captions.push_back({std::move(set), english, dutch});
}

void TGallery::Say(QWidget* widget, const char* english, const char* dutch) {
    if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        Say([box](const QString& t) { box->setTitle(t); }, english, dutch);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        Say([button](const QString& t) { button->setText(t); }, english, dutch);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        Say([label](const QString& t) { label->setText(t); }, english, dutch);
    } else {
        Say([widget](const QString& t) { widget->setWindowTitle(t); }, english, dutch);
    }
}

void TGallery::ApplyLanguage(int taal) {
    m_taal = std::clamp(taal, 0, 1);
    for (const TCaption& caption : m_captions) {
        caption.Set(Text(caption.English, caption.Dutch));
    }
    // The library's dialogs have no global language: each is told.
    m_message.Taal = m_taal;
    m_setup.Taal = m_taal;
    m_language.Taal = m_taal;
}

QGroupBox* TGallery::Lamps() {
    auto* box = new QGroupBox;
    Say(box, "TStatusLed: 16 colours, large and small", "TStatusLed: 16 kleuren, groot en klein");
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
    auto* flash = new QPushButton;
    Say(flash, "Flash", "Knipper");
    connect(flash, &QPushButton::clicked, this, [this] {
        int delay = 0;
        for (TStatusLed* led : m_leds) {
            QTimer::singleShot(delay += 20, led, [led] { led->FlashLed(led->TrueColor); });
        }
    });
    column->addWidget(flash, 0, Qt::AlignLeft);
    return box;
}

QGroupBox* TGallery::Serial() {
    auto* box = new QGroupBox;
    Say(box, "TRxTxPanel and TVynSerialPort on a loopback line",
        "TRxTxPanel en TVynSerialPort op een lusverbinding");
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
    auto* send = new QPushButton;
    Say(send, "Send", "Verstuur");
    connect(send, &QPushButton::clicked, this, [this] { SendSample(); });
    auto* steady = new QCheckBox;
    Say(steady, "Send every 300 ms", "Verstuur elke 300 ms");
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

QGroupBox* TGallery::Settings() {
    auto* box = new QGroupBox(QStringLiteral("TSerialSetupDlg"));
    auto* row = new QHBoxLayout(box);
    auto* open = new QPushButton;
    Say(open, "Serial settings...", "Seri\xEBle instellingen...");
    auto* result = new QLabel;
    // Until the dialog has said something, the line follows the language.
    Say(
        [this, result](const QString& t) {
            if (!m_setupAnswered) {
                result->setText(t);
            }
        },
        "Not opened yet", "Nog niet geopend");
    m_setup.Port = m_port.Port;
    m_setup.Baudrate = m_port.Baudrate;
    m_setup.ShowSettings = true;
    connect(open, &QPushButton::clicked, this, [this, result] {
        m_setupAnswered = true;
        if (!m_setup.Execute()) {
            result->setText(Text("Cancelled", "Geannuleerd"));
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

QGroupBox* TGallery::Messages() {
    auto* box = new QGroupBox;
    Say(box, "TTextDlg and TTaalDlg", "TTextDlg en TTaalDlg");
    auto* column = new QVBoxLayout(box);
    auto* choice = new QHBoxLayout;
    m_buttonSets = new QComboBox;
    const struct {
        const char* English;
        const char* Dutch;
        int Type;
    } sets[] = {{"OK", "OK", 0},
                {"OK, Cancel", "OK, Annuleren", 1},
                {"Abort, Retry, Ignore", "Afbreken, Opnieuw, Negeren", 2},
                {"Yes, No, Cancel", "Ja, Nee, Annuleren", 3},
                {"Yes, No", "Ja, Nee", 4},
                {"Retry, Cancel", "Opnieuw, Annuleren", 5},
                {"Yes, Retry, No", "Ja, Opnieuw, Nee", 8},
                {"no buttons", "geen knoppen", 15}};
    for (const auto& set : sets) {
        const int index = m_buttonSets->count();
        m_buttonSets->addItem(QString(), set.Type);
        QComboBox* combo = m_buttonSets;
        Say([combo, index](const QString& t) { combo->setItemText(index, t); }, set.English,
            set.Dutch);
    }
    m_icons = new QComboBox;
    const struct {
        const char* English;
        const char* Dutch;
        int Flag;
    } icons[] = {{"no icon", "geen pictogram", 0x00},
                 {"error", "fout", 0x10},
                 {"confirmation", "bevestiging", 0x20},
                 {"warning", "waarschuwing", 0x30},
                 {"information", "informatie", 0x40}};
    for (const auto& icon : icons) {
        const int index = m_icons->count();
        m_icons->addItem(QString(), icon.Flag);
        QComboBox* combo = m_icons;
        Say([combo, index](const QString& t) { combo->setItemText(index, t); }, icon.English,
            icon.Dutch);
    }
    m_icons->setCurrentIndex(4);
    choice->addWidget(m_buttonSets);
    choice->addWidget(m_icons);
    choice->addStretch();
    column->addLayout(choice);

    auto* row = new QHBoxLayout;
    auto* modal = new QPushButton;
    Say(modal, "Modal", "Modaal");
    auto* nonModal = new QPushButton;
    Say(nonModal, "Non-modal (its OK closes it)", "Niet-modaal (OK sluit het)");
    auto* hide = new QPushButton;
    Say(hide, "Hide the last non-modal", "Verberg het laatste niet-modale");
    auto* language = new QPushButton;
    Say(language, "Language...", "Taal...");
    MessageResult = new QLabel;
    Say(
        [this](const QString& t) {
            if (m_boxCount == 0 && !m_modalAnswered) {
                MessageResult->setText(t);
            }
        },
        "No box shown yet", "Nog geen venster getoond");
    LanguageLine = new QLabel;
    Say(LanguageLine, "Language: English", "Taal: Nederlands");
    connect(modal, &QPushButton::clicked, this, [this] {
        const int type = m_buttonSets->currentData().toInt() | m_icons->currentData().toInt();
        const int pressed = m_message.ShowModal(
            type, FromQString(Text("Modal box", "Modaal venster")),
            FromQString(Text("The map holds 50 x 50 points.", "De kaart heeft 50 x 50 punten.")),
            FromQString(Text("Copy it to the clipboard?", "Naar het klembord kopi\xEBren?")), "",
            "");
        static const char* const kEnglish[] = {"",      "OK",     "Cancel", "Abort",
                                               "Retry", "Ignore", "Yes",    "No"};
        static const char* const kDutch[] = {"",        "OK",      "Annuleren", "Afbreken",
                                             "Opnieuw", "Negeren", "Ja",        "Nee"};
        const bool known = pressed >= 1 && pressed <= 7;
        m_modalAnswered = true;
        MessageResult->setText(
            Text("Modal box: result %1 (%2)", "Modaal venster: resultaat %1 (%2)")
                .arg(pressed)
                .arg(known ? Text(kEnglish[pressed], kDutch[pressed]) : QStringLiteral("?")));
    });
    connect(nonModal, &QPushButton::clicked, this, &TGallery::ShowNonModal);
    connect(hide, &QPushButton::clicked, this, [this] { m_message.Hide(); });
    connect(language, &QPushButton::clicked, this, [this] {
        const bool ok = m_language.Execute();
        ApplyLanguage(m_language.Taal);
        if (!ok) {
            LanguageLine->setText(LanguageLine->text() + Text(" (cancelled)", " (geannuleerd)"));
        }
    });
    for (QPushButton* b : {modal, nonModal, hide, language}) {
        row->addWidget(b);
    }
    row->addStretch();
    column->addLayout(row);
    auto* lines = new QHBoxLayout;
    lines->addWidget(MessageResult, 1);
    lines->addWidget(LanguageLine);
    column->addLayout(lines);
    return box;
}

void TGallery::ShowNonModal() {
    const int type = m_buttonSets->currentData().toInt() | m_icons->currentData().toInt();
    const bool closable = HasOk(type);
    const int shown = m_message.Show(
        type, FromQString(Text("Non-modal box", "Niet-modaal venster")),
        FromQString(closable ? Text("This box stays up until its OK button.",
                                    "Dit venster blijft staan tot zijn OK-knop.")
                             : Text("This set has no OK button: Hide removes the box.",
                                    "Deze set heeft geen OK-knop: Verberg haalt het weg.")),
        "", "", "");
    const int number = ++m_boxCount;
    TFormText* form = m_message.Form;
    std::erase_if(m_boxes, [](const QPointer<TFormText>& b) { return b == nullptr; });
    if (form != nullptr) {
        // Not exactly on top of the one before, which would hide it.
        if (!m_boxes.empty()) {
            form->move(m_boxes.back()->pos() + kBoxOffset);
        }
        m_boxes.emplace_back(form);
        connect(form, &QObject::destroyed, this, [this, number] {
            MessageResult->setText(
                Text("Non-modal box %1 closed with OK", "Niet-modaal venster %1 gesloten met OK")
                    .arg(number));
        });
    }
    MessageResult->setText(
        (closable ? Text("Non-modal box %1 up (Show returned %2): its OK closes it",
                         "Niet-modaal venster %1 staat (Show gaf %2): OK sluit het")
                  : Text("Non-modal box %1 up (Show returned %2): no OK, only Hide removes it",
                         "Niet-modaal venster %1 staat (Show gaf %2): geen OK, alleen "
                         "Verberg haalt het weg"))
            .arg(number)
            .arg(shown));
}

// An SQLite demo table in a temporary file: a grid, the data-aware edits on
// its current record, radio buttons, and the grid's export.
QGroupBox* TGallery::Data() {
    auto* box = new QGroupBox;
    Say(box, "Data-aware edits, TVynRadioButton and TPrintDBGrid on SQLite",
        "Gegevensgebonden invoer, TVynRadioButton en TPrintDBGrid op SQLite");
    auto* layout = new QGridLayout(box);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("gallery"));
    m_db.setDatabaseName(m_folder.filePath(QStringLiteral("gallery.sqlite")));
    m_db.open();
    QSqlQuery q(m_db);
    // A name of at most eight characters: a longer one shows what a bound
    // edit does when the database refuses a write.
    q.exec(QStringLiteral("CREATE TABLE pumps (id INTEGER PRIMARY KEY, "
                          "name TEXT CHECK (length(name) <= 8), "
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

    Grid = new TDBGrid;
    Grid->SetDataSource(&m_pumpSource);
    // Room for every record and every column, and a line to spare.
    Grid->resizeColumnsToContents();
    Grid->horizontalHeader()->setStretchLastSection(true);
    const int frame = 2 * Grid->frameWidth();
    Grid->setMinimumHeight(
        Grid->horizontalHeader()->sizeHint().height() +
        (m_pumps.RecordCount() + 1) * Grid->verticalHeader()->defaultSectionSize() + frame);
    Grid->setMinimumWidth(Grid->verticalHeader()->sizeHint().width() +
                          Grid->horizontalHeader()->length() + frame +
                          Grid->verticalScrollBar()->sizeHint().width());
    layout->addWidget(Grid, 0, 0, 1, 4);
    auto* name = new TVynDBEdit;
    name->Bind(&m_pumpSource, "name");
    auto* note = new TVynDBEdit;
    note->Bind(&m_pumpSource, "note");
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
    // The name and the note share what the list leaves.
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(2, 1);
    layout->setColumnStretch(3, 1);

    auto* readOnly = new QCheckBox;
    Say(readOnly, "Read-only", "Alleen-lezen");
    auto* enabled = new QCheckBox;
    Say(enabled, "Enabled", "Ingeschakeld");
    enabled->setChecked(true);
    auto* radioA = new TVynRadioButton;
    Say(radioA, "Metric", "Metrisch");
    auto* radioB = new TVynRadioButton;
    Say(radioB, "Imperial", "Imperiaal");
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

    m_export.DBGrid = Grid;
    auto* saveText = new QPushButton;
    Say(saveText, "Save as text...", "Opslaan als tekst...");
    auto* saveCsv = new QPushButton;
    Say(saveCsv, "Save as CSV...", "Opslaan als CSV...");
    ExportStatus = new QLabel;
    note->OnClick = [this](QObject*) {
        ExportStatus->setText(Text("Link clicked", "Koppeling aangeklikt"));
    };
    // A write the database refused: the edit keeps the text in red, and the
    // line says why.
    const auto refused = [this](const QString& error) {
        ExportStatus->setText(Text("Not stored: %1", "Niet opgeslagen: %1").arg(error));
    };
    connect(name, &TDBEdit::StoreFailed, this, refused);
    connect(note, &TDBEdit::StoreFailed, this, refused);
    connect(memo, &TDBMemo::StoreFailed, this, refused);
    connect(maker, &TDBLookupComboBox::StoreFailed, this, refused);
    const auto save = [this](bool csv) {
        const QString suggested = csv ? QStringLiteral("pumps.csv") : QStringLiteral("pumps.txt");
        const QString file =
            QFileDialog::getSaveFileName(this, Text("Save the grid", "Het raster opslaan"),
                                         QDir(SaveFolder()).filePath(suggested), SaveFilter(csv));
        if (!file.isEmpty()) {
            SaveExport(file, csv);
        }
    };
    connect(saveText, &QPushButton::clicked, this, [save] { save(false); });
    connect(saveCsv, &QPushButton::clicked, this, [save] { save(true); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(saveText);
    buttons->addWidget(saveCsv);
    buttons->addWidget(ExportStatus, 1);
    layout->addLayout(buttons, 4, 0, 1, 4);
    return box;
}

QString TGallery::SaveFolder() const {
    if (!m_lastFolder.isEmpty() && QDir(m_lastFolder).exists()) {
        return m_lastFolder;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

QString TGallery::SaveFilter(bool csv) {
    return csv ? QStringLiteral("CSV files (*.csv);;All files (*)")
               : QStringLiteral("Text files (*.txt);;All files (*)");
}

void TGallery::SaveExport(const QString& file, bool csv) {
    m_lastFolder = QFileInfo(file).absolutePath();
    // File names go to the library as the system's own bytes.
    const std::string path = QFile::encodeName(file).toStdString();
    const bool ok =
        csv ? m_export.SaveToCsvFile(path.c_str()) : m_export.SaveToTextFile(path.c_str());
    ExportStatus->setText(ok ? Text("Saved %1", "Opgeslagen: %1").arg(file)
                             : Text("Could not write %1: %2", "Kon %1 niet schrijven: %2")
                                   .arg(file, ToQString(m_export.LastError())));
}

void TGallery::Blink(int lamp) {
    m_panel->SetLed(lamp, 1);
    QTimer::singleShot(kLampMs, m_panel, [this, lamp] { m_panel->SetLed(lamp, 0); });
}

QWidget* GalleryWindow(TGallery* gallery, const QRect& available) {
    // Room for the window manager's title bar and frame.
    constexpr int kFrameWidth = 16;
    constexpr int kFrameHeight = 48;
    const QSize least = gallery->minimumSizeHint();
    const QSize wanted = gallery->sizeHint();
    const QSize room(available.width() - kFrameWidth, available.height() - kFrameHeight);
    if (least.width() <= room.width() && least.height() <= room.height()) {
        return gallery;
    }
    // Never squeezed below what its controls need: it scrolls instead.
    gallery->setMinimumSize(least);
    auto* window = new QScrollArea;
    window->setWidgetResizable(true);
    window->setFrameShape(QFrame::NoFrame);
    window->setWidget(gallery);
    window->setWindowTitle(gallery->windowTitle());
    QObject::connect(gallery, &QWidget::windowTitleChanged, window, &QWidget::setWindowTitle);
    const int bar = window->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    window->resize(std::min(wanted.width() + bar, room.width()),
                   std::min(wanted.height(), room.height()));
    return window;
}
