// The published properties through Qt's property system: every property a
// component declares is listed here with its default, a value to set, and
// what setting it must do (the same as the setter or field of its name).

#include "PrintDBGrid.h"
#include "QtColor.h"
#include "SerialSetupDlg.h"
#include "StatusLed.h"
#include "TaalDlg.h"
#include "TextDlg.h"
#include "VynDBEdit.h"
#include "VynDBLookupComboBox.h"
#include "VynDBMemo.h"
#include "VynMemo.h"
#include "VynRadioButton.h"
#include "VynRichEdit.h"
#include "VynSerialPort.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMetaProperty>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

struct TPropertyCase {
    const char* Name;
    QVariant Default;
    QVariant Set;
    // What the object shows after the value was set (the cases run in
    // order, on one object).
    std::function<bool()> Effect;
};

// Every property the class itself declares is a case; each reads its
// default, takes the new value, reads it back, has its effect and, where it
// can be reset, resets to the default.
void WalkProperties(QObject& object, const std::vector<TPropertyCase>& cases) {
    const QMetaObject* meta = object.metaObject();
    std::set<std::string> declared;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        declared.insert(meta->property(i).name());
    }
    std::set<std::string> listed;
    for (const TPropertyCase& c : cases) {
        listed.insert(c.Name);
    }
    EXPECT_EQ(declared, listed) << meta->className();
    for (const TPropertyCase& c : cases) {
        SCOPED_TRACE(std::string(meta->className()) + "::" + c.Name);
        EXPECT_EQ(object.property(c.Name), c.Default);
        EXPECT_TRUE(object.setProperty(c.Name, c.Set));
        EXPECT_EQ(object.property(c.Name), c.Set);
        EXPECT_TRUE(c.Effect());
        const QMetaProperty p = meta->property(meta->indexOfProperty(c.Name));
        if (p.isResettable()) {
            EXPECT_TRUE(p.reset(&object));
            EXPECT_EQ(object.property(c.Name), c.Default);
            EXPECT_TRUE(object.setProperty(c.Name, c.Set));
        }
    }
}

QColor Rgb(int r, int g, int b) {
    return QColor(r, g, b);
}

// The colour a system colour has in the widget class's palette.
QColor System(const QWidget* widget, QPalette::ColorRole role) {
    return (widget != nullptr ? QApplication::palette(widget) : QApplication::palette())
        .color(role);
}

QColor Shown(const QWidget& widget) {
    return widget.palette().color(QPalette::Base);
}

TEST(Properties, RichEditFieldsAndColours) {
    TVynRichEdit view;
    WalkProperties(view, {
                             {"DebugLevel", 1, 3, [&] { return view.DebugLevel == 3; }},
                             {"ShowTime", true, false, [&] { return !view.ShowTime; }},
                             {"ShowTimeHund", false, true, [&] { return view.ShowTimeHund; }},
                             {"ShowLevel", false, true, [&] { return view.ShowLevel; }},
                             {"ShowModule", false, true, [&] { return view.ShowModule; }},
                             {"ShowLinenr", false, true, [&] { return view.ShowLinenr; }},
                             {"MaxLines", 1000, 0, [&] { return view.MaxLines == 0; }},
                             {"SuppressAnsi", false, true, [&] { return view.SuppressAnsi; }},
                             {"EnableColors", false, true, [&] { return view.EnableColors; }},
                             {"ColorComment", Rgb(0, 128, 0), Rgb(1, 2, 3),
                              [&] { return ColorValue(view.Type2Color(0)) == 0x030201; }},
                             {"ColorRx", Rgb(0, 0, 0), Rgb(4, 5, 6),
                              [&] { return ColorValue(view.Type2Color(1)) == 0x060504; }},
                             {"ColorTx", Rgb(0, 0, 255), Rgb(7, 8, 9),
                              [&] { return ColorValue(view.Type2Color(2)) == 0x090807; }},
                             {"ColorWarning", Rgb(128, 0, 0), Rgb(10, 11, 12),
                              [&] { return ColorValue(view.Type2Color(3)) == 0x0C0B0A; }},
                             {"ColorError", Rgb(255, 0, 0), Rgb(13, 14, 15),
                              [&] { return ColorValue(view.Type2Color(4)) == 0x0F0E0D; }},
                             {"ColorTimestamp", Rgb(128, 0, 128), Rgb(16, 17, 18),
                              [&] { return ColorValue(view.Type2Color(5)) == 0x121110; }},
                         });
}

// The read-only colouring: setting a property recolours at once.
TEST(Properties, EditsRecolourAsTheirSetters) {
    TVynMemo memo;
    WalkProperties(
        memo,
        {
            {"ReadOnly", false, true,
             [&] { return memo.isReadOnly() && Shown(memo) == System(&memo, QPalette::Button); }},
            {"Color", System(&memo, QPalette::Base), Rgb(200, 0, 0),
             [&] { return ColorValue(memo.GetColor()) == 0x0000C8; }},
            {"ColorRO", System(&memo, QPalette::Button), Rgb(0, 0, 200),
             [&] { return Shown(memo) == Rgb(0, 0, 200); }},
        });

    for (const bool memoKind : {false, true}) {
        std::unique_ptr<QWidget> widget;
        if (memoKind) {
            widget = std::make_unique<TVynDBMemo>();
        } else {
            widget = std::make_unique<TVynDBEdit>();
        }
        QWidget& w = *widget;
        WalkProperties(
            w, {
                   {"Enabled", true, false,
                    [&] { return !w.isEnabled() && Shown(w) == System(&w, QPalette::Button); }},
                   {"ReadOnly", false, true, [&] { return w.property("readOnly").toBool(); }},
                   {"Color", System(&w, QPalette::Base), Rgb(200, 0, 0),
                    [&] { return Shown(w) == System(&w, QPalette::Button); }},
                   {"ColorRO", System(&w, QPalette::ToolTipBase), Rgb(0, 0, 200),
                    [&] {
                        // Shown once enabled again.
                        w.setProperty("Enabled", true);
                        return Shown(w) == Rgb(0, 0, 200);
                    }},
               });
    }

    // A form's code (uic's) calls setters of the properties' names, Qt's
    // own among them: they recolour too.
    TVynMemo formMemo;
    formMemo.setColorRO(Rgb(5, 6, 7));
    formMemo.setReadOnly(true);
    EXPECT_EQ(Shown(formMemo), Rgb(5, 6, 7));
    TVynDBEdit formEdit;
    formEdit.setColor(Rgb(8, 9, 10));
    EXPECT_EQ(Shown(formEdit), Rgb(8, 9, 10));
    formEdit.setReadOnly(true);
    EXPECT_EQ(Shown(formEdit), System(&formEdit, QPalette::ToolTipBase));

    TVynDBLookupComboBox combo;
    WalkProperties(combo,
                   {
                       {"ReadOnly", false, true,
                        [&] { return ColorValue(combo.ShownColor()) == ColorValue(clInfoBk); }},
                       {"ColorRW", System(&combo, QPalette::Base), Rgb(9, 9, 9),
                        [&] { return ColorValue(combo.ColorRW) == 0x090909; }},
                       // A plain value: shown at the next ReadOnly change.
                       {"ColorRO", System(&combo, QPalette::ToolTipBase), Rgb(7, 7, 7),
                        [&] {
                            combo.SetReadOnly(true);
                            return ColorValue(combo.ShownColor()) == 0x070707;
                        }},
                   });

    TVynRadioButton radio;
    WalkProperties(radio,
                   {
                       {"ReadOnly", false, true,
                        [&] { return ColorValue(radio.CircleColor()) == ColorValue(clBtnFace); }},
                       {"BgColor", System(&radio, QPalette::Base), Rgb(1, 1, 1),
                        [&] { return ColorValue(radio.BgColor) == 0x010101; }},
                       {"BgColorRO", System(&radio, QPalette::Button), Rgb(2, 2, 2),
                        [&] { return ColorValue(radio.CircleColor()) == 0x020202; }},
                   });
}

TEST(Properties, LampsAndComponents) {
    TStatusLed led;
    WalkProperties(led, {
                            {"OffColor", 2, 10, [&] { return led.OffColor == 10; }},
                            {"FalseColor", 1, 11, [&] { return led.FalseColor == 11; }},
                            {"TrueColor", 5, 12, [&] { return led.TrueColor == 12; }},
                        });

    // Windows-1252 fields take their text from a QString.
    TVynSerialPort port;
    WalkProperties(port, {
                             {"Port", QStringLiteral("COM1"), QString::fromUtf8("tty\xC3\xA9"),
                              [&] { return port.Port == "tty\xE9"; }},
                             {"Baudrate", 9600, 115200, [&] { return port.Baudrate == 115200; }},
                             {"Databits", 8, 7, [&] { return port.Databits == 7; }},
                             {"Parity", 0, 2, [&] { return port.Parity == parEven; }},
                             {"Stopbits", 0, 2, [&] { return port.Stopbits == stopbitTwo; }},
                             {"BufferSize", 8192, 512, [&] { return port.BufferSize == 512; }},
                             {"FlowCtrl", 0, 2, [&] { return port.FlowCtrl == flowHardware; }},
                         });

    TSerialSetupDlg setup;
    WalkProperties(
        setup,
        {
            {"Taal", 0, 1, [&] { return setup.Taal == 1; }},
            {"Port", QString(), QStringLiteral("ttyUSB0"), [&] { return setup.Port == "ttyUSB0"; }},
            {"Baudrate", 9600, 0, [&] { return setup.Baudrate == 0; }},
            {"Databits", 8, 7, [&] { return setup.Databits == 7; }},
            {"Parity", 0, 1, [&] { return setup.Parity == 1; }},
            {"Stopbits", 0, 2, [&] { return setup.Stopbits == 2; }},
            {"FlowCtrl", 0, 1, [&] { return setup.FlowCtrl == 1; }},
            {"ShowBaudrate", true, false, [&] { return !setup.ShowBaudrate; }},
            {"ShowSettings", false, true, [&] { return setup.ShowSettings; }},
            {"AutoBaudrate", false, true, [&] { return setup.AutoBaudrate; }},
            {"Caption", QString(), QStringLiteral("Port"), [&] { return setup.Caption == "Port"; }},
        });

    TTextDlg text;
    const auto bold = TTextDlg::TFontStyleFlags(TTextDlg::fsBold | TTextDlg::fsUnderline);
    WalkProperties(text, {
                             {"Color", System(nullptr, QPalette::Button), Rgb(3, 3, 3),
                              [&] { return ColorValue(text.Color) == 0x030303; }},
                             {"MinHeight", 0, 100, [&] { return text.MinHeight == 100; }},
                             {"MinWidth", 0, 200, [&] { return text.MinWidth == 200; }},
                             {"Taal", 0, 1, [&] { return text.Taal == 1; }},
                             {"Center", false, true, [&] { return text.Center; }},
                             {"FontSize", 8, 12, [&] { return text.FontSize == 12; }},
                             {"FontStyle", QVariant::fromValue(TTextDlg::TFontStyleFlags()),
                              QVariant::fromValue(bold),
                              [&] {
                                  return text.FontStyle.Contains(TFontStyle::fsBold) &&
                                         text.FontStyle.Contains(TFontStyle::fsUnderline) &&
                                         !text.FontStyle.Contains(TFontStyle::fsItalic);
                              }},
                             {"FontColor", System(nullptr, QPalette::Text), Rgb(4, 4, 4),
                              [&] { return ColorValue(text.FontColor) == 0x040404; }},
                             {"YesString", QString(), QStringLiteral("Ja!"),
                              [&] { return text.YesString == "Ja!"; }},
                             {"NoString", QString(), QString::fromUtf8("N\xC3\xA9\xC3\xA9"),
                              [&] { return text.NoString == "N\xE9\xE9"; }},
                             {"UseDefault", true, false, [&] { return !text.UseDefault; }},
                         });

    TTaalDlg taal;
    WalkProperties(taal, {{"Taal", 0, 1, [&] { return taal.Taal == 1; }}});

    TPrintDBGrid print;
    TDBGrid grid;
    WalkProperties(print, {
                              {"FileName", QString(), QStringLiteral("out.txt"),
                               [&] { return print.FileName == "out.txt"; }},
                              {"DBGrid", QVariant::fromValue<TDBGrid*>(nullptr),
                               QVariant::fromValue(&grid), [&] { return print.DBGrid == &grid; }},
                              {"FpDecimals", 0, 3, [&] { return print.FpDecimals == 3; }},
                          });
}

} // namespace
