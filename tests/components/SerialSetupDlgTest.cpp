#include "SerialSetupDlg.h"

#include "QtText.h"
#include "SerialDevice.h"
#include "SerialSetupForm.h"
#include "VynUtil.h"
#include "support/Modal.h"
#include "support/PtyPair.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <stdexcept>

namespace {

class SetupDialog : public testing::Test {
protected:
    ~SetupDialog() override {
        SetPortListerForTesting(nullptr);
        SetProbeFolderForTesting("");
        SetPlatformIdForTesting(0);
    }

    // Runs Execute; `interact` gets the shown form and ends it.
    bool Run(const std::function<void(TFormSerialSetup*)>& interact) {
        return WithModal<TFormSerialSetup>(interact, [this] { return dlg.Execute(); });
    }
    // Runs Execute, looks at the form and leaves it with OK.
    bool Ok(const std::function<void(TFormSerialSetup*)>& look = {}) {
        return Run([look](TFormSerialSetup* f) {
            if (look) {
                look(f);
            }
            f->ButtonOk->click();
        });
    }

    TSerialSetupDlg dlg;
};

std::string Text(const QComboBox* box) {
    return FromQString(box->currentText());
}

TEST_F(SetupDialog, LanguageAndCaption) {
    std::string caption, cancel, port;
    auto look = [&](TFormSerialSetup* f) {
        caption = FromQString(f->windowTitle());
        cancel = FromQString(f->ButtonCancel->text());
        port = FromQString(f->LabelPort->text());
    };
    dlg.Taal = 5;
    EXPECT_TRUE(Ok(look));
    EXPECT_EQ(dlg.Taal, 1);
    EXPECT_EQ(caption, "Seri\xEBle poort");
    EXPECT_EQ(cancel, "Annuleren");
    EXPECT_EQ(port, "Poort");
    dlg.Taal = -3;
    Ok(look);
    EXPECT_EQ(dlg.Taal, 0);
    EXPECT_EQ(caption, "Serial port");
    EXPECT_EQ(cancel, "Cancel");
    dlg.Caption = "Meter port";
    Ok(look);
    EXPECT_EQ(caption, "Meter port");
}

TEST_F(SetupDialog, RowsAndHeightFollowTheTwoFlags) {
    const struct {
        bool Baud, Settings;
        int Height, DataTop, ButtonTop;
    } cases[] = {
        {true, true, 259, 80, 224},
        {true, false, 131, -1, 96},
        {false, true, 227, 48, 192},
        {false, false, 99, -1, 64},
    };
    for (const auto& c : cases) {
        dlg.ShowBaudrate = c.Baud;
        dlg.ShowSettings = c.Settings;
        Ok([&](TFormSerialSetup* f) {
            EXPECT_EQ(f->height(), c.Height) << c.Baud << c.Settings;
            EXPECT_EQ(f->ButtonOk->y(), c.ButtonTop);
            EXPECT_EQ(f->ButtonCancel->y(), c.ButtonTop);
            EXPECT_EQ(f->ComboBoxBaud->isVisible(), c.Baud);
            EXPECT_EQ(f->ComboBoxFlowctrl->isVisible(), c.Settings);
            if (c.DataTop >= 0) {
                EXPECT_EQ(f->ComboBoxDatabits->y(), c.DataTop);
                EXPECT_EQ(f->LabelDatabits->y(), c.DataTop + 4);
                EXPECT_EQ(f->ComboBoxFlowctrl->y(), c.DataTop + 96);
                EXPECT_EQ(f->LabelFlowctrl->y(), c.DataTop + 100);
            }
        });
    }
}

TEST_F(SetupDialog, BaudRates) {
    dlg.Baudrate = 0;
    EXPECT_TRUE(Ok([](TFormSerialSetup* f) {
        EXPECT_EQ(Text(f->ComboBoxBaud), "Automatic"); // shown, though not offered
        EXPECT_EQ(f->ComboBoxBaud->count(), 8);
    }));
    EXPECT_EQ(dlg.Baudrate, 0);
    dlg.AutoBaudrate = true;
    dlg.Taal = 1;
    Ok([](TFormSerialSetup* f) {
        EXPECT_EQ(FromQString(f->ComboBoxBaud->itemText(0)), "Automatisch");
        EXPECT_EQ(f->ComboBoxBaud->count(), 9);
    });
    dlg.Baudrate = 12345; // not in the list: shown as its digits and kept
    Ok([](TFormSerialSetup* f) { EXPECT_EQ(Text(f->ComboBoxBaud), "12345"); });
    EXPECT_EQ(dlg.Baudrate, 12345);
    dlg.Baudrate = 2000000000;
    Ok([](TFormSerialSetup* f) { EXPECT_EQ(Text(f->ComboBoxBaud), "2000000000"); });
    EXPECT_EQ(dlg.Baudrate, 2000000000);

    const struct {
        const char* Text;
        long Value;
    } reads[] = {{"9600", 9600}, {"  42abc", 42}, {"abc", 0},
                 {"", 0},        {"-5", -5},      {"99999999999999999999", 0}};
    for (const auto& r : reads) {
        EXPECT_EQ(ReadLong(r.Text), r.Value) << r.Text;
    }
    EXPECT_TRUE(IsNumber("0123"));
    EXPECT_FALSE(IsNumber(""));
    EXPECT_FALSE(IsNumber("7:"));
}

TEST_F(SetupDialog, LineSettingsMapBothWays) {
    dlg.ShowSettings = true;
    // Parity: the list shows None, Even, Odd, Mark, Space.
    const char* parityShown[] = {"None", "Odd", "Even", "Mark", "Space", "None"};
    for (int parity = 0; parity <= 5; ++parity) {
        dlg.Parity = static_cast<unsigned char>(parity);
        Ok([&](TFormSerialSetup* f) { EXPECT_EQ(Text(f->ComboBoxParity), parityShown[parity]); });
        EXPECT_EQ(dlg.Parity, parity <= 4 ? parity : 0);
    }
    const unsigned char parityOfItem[] = {0, 2, 1, 3, 4};
    for (int item = 0; item < 5; ++item) {
        Ok([&](TFormSerialSetup* f) { f->ComboBoxParity->setCurrentIndex(item); });
        EXPECT_EQ(dlg.Parity, parityOfItem[item]);
    }
    const char* stopShown[] = {"1", "1.5", "2", "1"};
    const char* flowShown[] = {"None", "Hardware", "Xon/Xoff", "None"};
    for (int v = 0; v <= 3; ++v) {
        dlg.Stopbits = static_cast<unsigned char>(v);
        dlg.FlowCtrl = static_cast<unsigned char>(v);
        Ok([&](TFormSerialSetup* f) {
            EXPECT_EQ(Text(f->ComboBoxStopbits), stopShown[v]);
            EXPECT_EQ(Text(f->ComboBoxFlowctrl), flowShown[v]);
        });
        EXPECT_EQ(dlg.Stopbits, v <= 2 ? v : 0);
        EXPECT_EQ(dlg.FlowCtrl, v <= 2 ? v : 0);
    }
    dlg.Databits = 7;
    Ok([](TFormSerialSetup* f) {
        EXPECT_EQ(Text(f->ComboBoxDatabits), "7");
        f->ComboBoxDatabits->setEditText("eight");
    });
    EXPECT_EQ(dlg.Databits, 0);
}

TEST_F(SetupDialog, CancelEscAndEnter) {
    dlg.Port = "ttyUSB0";
    dlg.Baudrate = 19200;
    dlg.ShowSettings = true;
    auto change = [](TFormSerialSetup* f) {
        f->ComboBoxPort->setEditText("ttyUSB7");
        f->ComboBoxBaud->setEditText("4800");
        f->ComboBoxParity->setCurrentIndex(1);
    };
    EXPECT_FALSE(Run([&](TFormSerialSetup* f) {
        change(f);
        f->ButtonCancel->click();
    }));
    EXPECT_FALSE(Run([&](TFormSerialSetup* f) {
        change(f);
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(f, &esc);
    }));
    EXPECT_EQ(dlg.Port, "ttyUSB0");
    EXPECT_EQ(dlg.Baudrate, 19200);
    EXPECT_EQ(dlg.Parity, 0);
    EXPECT_TRUE(Run([&](TFormSerialSetup* f) {
        change(f);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(f, &enter);
    }));
    EXPECT_EQ(dlg.Port, "ttyUSB7");
    EXPECT_EQ(dlg.Baudrate, 4800);
    EXPECT_EQ(dlg.Parity, 2);
}

TEST_F(SetupDialog, PortListSortedWithTheTypedNameKept) {
    SetPortListerForTesting([](std::vector<TPortEntry>& ports) {
        ports = {{"COM2", ""}, {"com10", "USB 0403:6001"}, {"COM1", ""}};
        return true;
    });
    dlg.Port = "/dev/pts/9";
    EXPECT_TRUE(Ok([](TFormSerialSetup* f) {
        ASSERT_EQ(f->ComboBoxPort->count(), 3);
        EXPECT_EQ(FromQString(f->ComboBoxPort->itemText(0)), "COM1");
        EXPECT_EQ(FromQString(f->ComboBoxPort->itemText(1)), "com10");
        EXPECT_EQ(FromQString(f->ComboBoxPort->itemText(2)), "COM2");
        EXPECT_EQ(f->ComboBoxPort->itemData(1, Qt::ToolTipRole).toString(), "USB 0403:6001");
        EXPECT_EQ(Text(f->ComboBoxPort), "/dev/pts/9");
    }));
    EXPECT_EQ(dlg.Port, "/dev/pts/9");

    SetPortListerForTesting([](std::vector<TPortEntry>&) { return false; });
    Ok([](TFormSerialSetup* f) {
        EXPECT_EQ(f->ComboBoxPort->count(), 0);
        EXPECT_EQ(Text(f->ComboBoxPort), "/dev/pts/9");
    });
    SetPlatformIdForTesting(-1);
    Ok([](TFormSerialSetup* f) { EXPECT_EQ(f->ComboBoxPort->count(), 0); });
}

TEST_F(SetupDialog, AnExceptionInsideGivesFalseAndNoWindow) {
    SetPortListerForTesting(
        [](std::vector<TPortEntry>&) -> bool { throw std::runtime_error("no ports today"); });
    dlg.Port = "ttyS1";
    EXPECT_FALSE(dlg.Execute());
    EXPECT_EQ(dlg.Port, "ttyS1");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        EXPECT_EQ(qobject_cast<TFormSerialSetup*>(w), nullptr);
    }
}

TEST_F(SetupDialog, TheOtherFamilyProbesEveryCandidateDevice) {
    TempDir dev;
    PtyPair free;
    PtyPair busy;
    std::filesystem::create_symlink(free.SlavePath(), dev.Path() + "/ttyS3");
    std::filesystem::create_symlink(busy.SlavePath(), dev.Path() + "/ttyS12");
    dev.Write("ttyS5", "not a device");
    TSerialDevice holder; // somebody else has ttyS12 open: still present
    ASSERT_EQ(holder.Open(dev.Path() + "/ttyS12"), TOpenResult::Ok);
    SetPlatformIdForTesting(1);
    SetProbeFolderForTesting(dev.Path() + "/");
    Ok([](TFormSerialSetup* f) {
        ASSERT_EQ(f->ComboBoxPort->count(), 2);
        EXPECT_EQ(FromQString(f->ComboBoxPort->itemText(0)), "ttyS12");
        EXPECT_EQ(FromQString(f->ComboBoxPort->itemText(1)), "ttyS3");
    });
}

} // namespace
