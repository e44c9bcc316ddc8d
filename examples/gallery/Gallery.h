#pragma once
// TGallery: the window of vyn-gallery, every VYN component at work. Lamps of
// every colour (flashing on a button), an Rx/Tx panel following the traffic
// of a serial port on a loopback line, the serial settings dialog with what
// it returned, the message boxes (modal and non-modal) and the language
// dialog, whose choice also switches the gallery's own captions and the
// dialogs', and the data-aware controls on an SQLite table in a temporary
// folder with the grid's export. GUI thread only.

#include "LoopbackLine.h"
#include "PrintDBGrid.h"
#include "SerialSetupDlg.h"
#include "TaalDlg.h"
#include "TextDlg.h"
#include "VynSerialPort.h"

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <vector>

class QComboBox;
class QPushButton;
class TFormText;
class TRxTxPanel;
class TStatusLed;
class TVynRichEdit;

// The API reference's index page: installed beside the program
// (../share/doc/vyn/html/) or in the build tree (../docs/reference/html/);
// empty when neither is there.
QString ReferenceIndexPath();

class TGallery;

// The gallery's window for a screen whose available area is `available`:
// the gallery itself where it fits, else a scrolling window around it that
// does (titled as the gallery, in its language). The caller owns what is
// returned; the gallery becomes its child.
QWidget* GalleryWindow(TGallery* gallery, const QRect& available);

class TGallery : public QWidget {

    Q_OBJECT

public:
    TGallery();

    // Sends a line through the port so the panel and the view show traffic.
    void SendSample();

    // What the message boxes returned, and the language in use.
    QLabel* MessageResult = nullptr;
    QLabel* LanguageLine = nullptr;
    TDBGrid* Grid = nullptr;
    QLabel* ExportStatus = nullptr;
    // A link to the library's API reference, or where to get it.
    QLabel* ReferenceLink = nullptr;

    const TSerialSetupDlg& SerialSetup() const { return m_setup; }
    const TTextDlg& Message() const { return m_message; }

    // The Non-modal button: a new box for the chosen set, offset from the
    // boxes still up, and the line says what closes it.
    void ShowNonModal();
    // Captions in English (0) or Dutch (1): the gallery's and the dialogs'.
    void ApplyLanguage(int taal);
    // Writes the grid's export to `file` and says on the status line what
    // came of it (with the reason when it failed); the folder is the next
    // save dialog's.
    void SaveExport(const QString& file, bool csv);
    // Where the save dialog opens: the folder of the last save, else the
    // user's documents, else the home folder.
    QString SaveFolder() const;
    static QString SaveFilter(bool csv);

private:
    QGroupBox* Lamps();
    QGroupBox* Serial();
    QGroupBox* Settings();
    QGroupBox* Messages();
    QGroupBox* Data();
    // Lamp 0 (transmit) or 1 (receive) green for a moment.
    void Blink(int lamp);
    // A caption that follows the language: set now, and again by
    // ApplyLanguage.
    void Say(QWidget* widget, const char* english, const char* dutch);
    void Say(std::function<void(const QString&)> set, const char* english, const char* dutch);
    QString Text(const char* english, const char* dutch) const;

    struct TCaption {
        std::function<void(const QString&)> Set;
        const char* English;
        const char* Dutch;
    };
    std::vector<TCaption> m_captions;
    int m_taal = 0;
    std::vector<TStatusLed*> m_leds;
    TRxTxPanel* m_panel = nullptr;
    TVynRichEdit* m_view = nullptr;
    QComboBox* m_buttonSets = nullptr;
    QComboBox* m_icons = nullptr;
    TLoopbackLine m_line;
    TVynSerialPort m_port;
    TSerialSetupDlg m_setup;
    TTextDlg m_message;
    TTaalDlg m_language;
    std::vector<QPointer<TFormText>> m_boxes; // the non-modal boxes up
    int m_boxCount = 0;
    bool m_modalAnswered = false;
    bool m_setupAnswered = false;
    QTemporaryDir m_folder;
    QString m_lastFolder;
    QSqlDatabase m_db;
    TDataSet m_pumps;
    TDataSet m_makers;
    TDataSource m_pumpSource;
    TDataSource m_makerSource;
    TPrintDBGrid m_export;
};
