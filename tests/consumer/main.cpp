// A program of someone else's: prints a coloured line into an output view,
// shows a lamp (its image is compiled into the library) and makes the serial
// settings form, then checks what it got. Then a form made in Qt Designer
// with every VYN widget (VynForm.ui, through uic): its properties are set.
#include <QApplication>
#include <SerialSetupForm.h>
#include <StatusLed.h>
#include <VynRichEdit.h>
#include <vyn/QtColor.h>

#include "ui_VynForm.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TVynRichEdit view;
    view.EnableColors = true;
    view.PrintText(std::string("[R]hot[/] and [B]cold[/]\r\n"));
    const std::string text = view.Text();
    TStatusLed led;
    led.SetLed(5);
    TFormSerialSetup form;
    const bool ok = text == "hot and cold\r\n" && qobject_cast<TVynRichEdit*>(&view) != nullptr &&
                    led.BitmapsLoaded && !led.Picture().isNull() &&
                    form.findChild<QComboBox*>("ComboBoxPort") != nullptr;
    std::printf("consumer: %s (the view holds \"%s\", lamps %s)\n", ok ? "ok" : "wrong",
                text.c_str(), led.BitmapsLoaded ? "loaded" : "missing");

    QWidget window;
    Ui::VynForm ui;
    ui.setupUi(&window);
    const auto shown = [](const QWidget* w) { return w->palette().color(QPalette::Base); };
    const bool formOk =
        ui.vynRichEdit->MaxLines == 50 && ui.vynRichEdit->EnableColors &&
        ColorValue(ui.vynRichEdit->ColorTx) == 0x808000 && ui.statusLed->OffColor == 3 &&
        ui.statusLed->TrueColor == 7 && ui.vynMemo->isReadOnly() &&
        shown(ui.vynMemo) == QColor(255, 240, 200) && ui.vynRadioButton->ReadOnly &&
        ColorValue(ui.vynRadioButton->CircleColor()) == 0xFFDCC8 &&
        shown(ui.vynDBEdit) == QColor(230, 255, 230) && !ui.vynDBMemo->isEnabled() &&
        ColorValue(ui.vynDBLookupComboBox->ShownColor()) == 0xC8C8FF;
    std::printf("consumer: the Designer form %s (rich edit keeps %d lines, lamp off %d)\n",
                formOk ? "has its properties" : "lost properties", ui.vynRichEdit->MaxLines,
                ui.statusLed->OffColor);
    return ok && formOk ? 0 : 1;
}
