// A program of someone else's on vyn-core alone (no Qt): strips the colour
// codes of a text and writes a log record, then checks what it got. Built
// with pkg-config (vyn-core) by build-with-pkg-config.sh.
#include <ColorCodeParser.h>
#include <VynLogFile.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main() {
    const std::string plain = StripColorCodes("[R]hot[/] and [B]cold[/]", {.EnableColors = true});
    // A log in the program's own folder.
    TVynLogfile log;
    const std::string folder = log.Init("consumer.log", nullptr, nullptr);
    log.SetLogging(3); // every record
    const bool wrote = log.WriteLog(0, "%s", "a record");
    std::ifstream in(folder + "consumer.log");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const bool ok = plain == "hot and cold" && wrote && text.find("a record") != std::string::npos;
    std::printf("core consumer: %s\n", ok ? "ok" : "wrong");
    return ok ? 0 : 1;
}
