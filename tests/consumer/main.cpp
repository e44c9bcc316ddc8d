// Prints a coloured line into an output view and checks what the view holds.
#include <QApplication>
#include <VynRichEdit.h>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TVynRichEdit view;
    view.EnableColors = true;
    view.PrintText(std::string("[R]hot[/] and [B]cold[/]\r\n"));
    const std::string text = view.Text();
    const bool ok = text == "hot and cold\r\n" && qobject_cast<TVynRichEdit*>(&view) != nullptr;
    std::printf("consumer: %s (the view holds \"%s\")\n", ok ? "ok" : "wrong", text.c_str());
    return ok ? 0 : 1;
}
