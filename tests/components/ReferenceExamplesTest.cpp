// The examples of the library's API reference: each page shows the code
// between a pair of "//! [name]" markers here, so what a reader copies is
// compiled and run by the tests. Each test checks that its example does what
// the page says.

#include "DBGrid.h"
#include "LoopbackLine.h"
#include "PrintDBGrid.h"
#include "RxTxPanel.h"
#include "StatusLed.h"
#include "TextDlg.h"
#include "TextForm.h"
#include "VynDBEdit.h"
#include "VynLogFile.h"
#include "VynMemo.h"
#include "VynRegistry.h"
#include "VynRichEdit.h"
#include "VynSerialPort.h"
#include "VynUtil.h"

#include "support/EventLoop.h"
#include "support/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QSqlQuery>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

TEST(ReferenceExamples, OutputViewAndMemo) {
    QWidget window;
    //! [output-view]
    auto* view = new TVynRichEdit(&window);
    view->EnableColors = true; // obey "[R]...[/]" codes
    view->MaxLines = 500;      // keep the newest 500 lines
    view->PrintText("Rail pressure [R]%d bar[/] at %d 1/min\n", 1800, 2500);
    view->DoPrintDebug("Serial", 42, kMsgWarning, 0, "no answer from the ECU");

    auto* memo = new TVynMemo(&window);
    memo->SetText("first line\r\nsecond line");
    memo->SetReadOnly(true); // now shown in ColorRO
    //! [output-view]
    const std::string text = view->Text();
    EXPECT_EQ(text.substr(0, 30), "Rail pressure 1800 bar at 2500");
    EXPECT_NE(text.find("no answer from the ECU"), std::string::npos);
    EXPECT_EQ(memo->Text(), "first line\r\nsecond line");
    EXPECT_TRUE(memo->GetReadOnly());
}

TEST(ReferenceExamples, SerialPortOnALoopbackLine) {
    TLoopbackLine line;
    ASSERT_TRUE(line.IsOpen());
    QWidget window;
    std::string received;
    //! [serial-port]
    TVynSerialPort port;
    port.Port = line.Path(); // "/dev/ttyUSB0" on a real machine
    port.Baudrate = 115200;
    port.OnRxData = [&received](QObject*, unsigned char* data, int len) {
        received.append(reinterpret_cast<const char*>(data), static_cast<std::size_t>(len));
    };
    port.OnText = [](QObject*, const char* module, int, int type, int, const char* text) {
        std::fprintf(stderr, "%s %d: %s\n", module, type, text); // or a TVynRichEdit
    };
    port.Init(&window); // deliveries run on this window's thread
    if (port.Open()) {
        port.TxText("AT%s\r", "Z"); // false when it cannot be queued
    }
    //! [serial-port]
    ASSERT_TRUE(port.GetSerialState());
    EXPECT_TRUE(ProcessUntil([&] { return received == "ATZ\r"; }));
    EXPECT_TRUE(port.Close());
}

TEST(ReferenceExamples, Lamps) {
    QWidget window;
    //! [lamps]
    auto* led = new TStatusLed(&window);
    led->Init(&window);
    led->SetLedColors(2, 8, 9); // off dark grey, false dark green, true green
    led->SetLedBool(true);      // green
    led->FlashLed(5);           // red for 100 ms, then dark green

    auto* panel = new TRxTxPanel(&window);
    panel->Init();
    panel->SetLed(1, 1); // the receive lamp green
    //! [lamps]
    window.show();
    EXPECT_TRUE(ProcessUntil([&] { return led->TimerId == 0; }));
    EXPECT_EQ(panel->LampState(1), 1);
    EXPECT_EQ(panel->LampState(0), 0);
}

TEST(ReferenceExamples, SettingsAndLogFile) {
    TempDir dir;
    setenv("MAPWRIGHT_USER_SETTINGS", (dir.Path() + "/user").c_str(), 1);
    setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
    CloseSettingsStores();
    //! [settings]
    TVynRegistry settings;
    settings.Init(HKEY_CURRENT_USER, "Software", "MyCompany", "MyTool");
    settings.WriteInt("Window", "Width", 1280); // throws ERegistryException when refused
    const int width = settings.ReadInt("Window", "Width", 800);
    const std::string last = settings.ReadString("Files", "Last", "none"); // copy it at once

    TVynLogfile log;
    const std::string folder = log.Init("session.log", "MyCompany", "MyTool");
    log.SetLogging(3); // every record
    const bool written = log.WriteLog("Main", __LINE__, kMsgComment, 0, "width %d", width);
    //! [settings]
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(last, "none");
    EXPECT_TRUE(written);
    EXPECT_NE(Slurp(folder + "session.log").find("width 1280\r\n"), std::string::npos);
    CloseSettingsStores();
    unsetenv("MAPWRIGHT_USER_SETTINGS");
    unsetenv("XDG_DATA_HOME");
}

TEST(ReferenceExamples, MessageBox) {
    //! [dialogs]
    TTextDlg dlg;
    dlg.Taal = 0; // English captions
    dlg.FontStyle += TFontStyle::fsBold;
    // Modal: dlg.ShowModal(0x34, "Export", "Overwrite the file?", "", "", "")
    // returns idYes or idNo (Yes/No buttons, confirmation icon).
    dlg.Show(0x40, "Export", "The maps were written.", "", "", ""); // stays up until OK
    //! [dialogs]
    ASSERT_NE(dlg.Form, nullptr);
    EXPECT_EQ(dlg.Form->windowTitle(), QStringLiteral("Export"));
    dlg.Hide();
    EXPECT_FALSE(dlg.Form->isVisible());
    delete dlg.Form;
}

TEST(ReferenceExamples, DataAwareControls) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "reference");
    db.setDatabaseName(QStringLiteral(":memory:"));
    ASSERT_TRUE(db.open());
    QSqlQuery(db).exec("CREATE TABLE engines (id INTEGER PRIMARY KEY, name TEXT, kw REAL)");
    QSqlQuery(db).exec("INSERT INTO engines VALUES (1, 'D4', 96.5), (2, 'D6', 140)");
    TempDir dir;
    QLocale::setDefault(QLocale::c()); // the decimal mark the file is checked with
    {
        QWidget window;
        //! [data-aware]
        TDataSet engines;
        engines.Database = db;
        engines.TableName = "engines";
        engines.Open(); // throws EDatabaseError with the driver's text
        TDataSource source;
        source.DataSet = &engines;

        auto* grid = new TDBGrid(&window);
        grid->SetDataSource(&source); // one column per field
        auto* name = new TVynDBEdit(&window);
        name->Bind(&source, "name"); // follows the current record
        engines.Next();              // the grid and the edit show "D6"

        TPrintDBGrid exporter;
        exporter.DBGrid = grid;
        const bool saved = exporter.SaveToCsvFile((dir.Path() + "/engines.csv").c_str());
        // false: exporter.LastError() says why, the old file is untouched
        //! [data-aware]
        EXPECT_EQ(name->text(), QStringLiteral("D6"));
        ASSERT_TRUE(saved) << exporter.LastError();
        EXPECT_EQ(
            Slurp(dir.Path() + "/engines.csv"),
            "\"id\";\"name\";\"kw\"\r\n\"1\";\"D4\";\"96.50\"\r\n\"2\";\"D6\";\"140.00\"\r\n");
    }
    QLocale::setDefault(QLocale::system());
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("reference");
}

} // namespace
