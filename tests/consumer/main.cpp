// A program of someone else's: prints a coloured line into an output view,
// shows a lamp (its image is compiled into the library) and makes the serial
// settings form, then checks what it got.
#include <QApplication>
#include <SerialSetupForm.h>
#include <StatusLed.h>
#include <VynRichEdit.h>

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
    return ok ? 0 : 1;
}
