// The colour-code parser: runs join to the stripped text and are never
// empty; the terminal rendering survives any text; Windows-1252 text makes
// the round trip through UTF-8 unchanged.
#include "Cli.h"
#include "ColorCodeParser.h"
#include "Cp1252.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const bool suppress : {false, true}) {
        const TColorCodeOptions options{.EnableColors = true, .SuppressAnsi = suppress};
        std::string joined;
        ParseColorCodes(text, options, [&](const TColorRun& run) {
            if (run.Text.empty()) {
                std::abort();
            }
            joined += run.Text;
        });
        if (joined != StripColorCodes(text, options)) {
            std::abort();
        }
    }
    const std::string ansi = ColorCodesToAnsi(text);
    if (!text.empty() && ansi.empty() && !StripColorCodes(text, {true, false}).empty()) {
        std::abort();
    }
    if (Utf8ToCp1252(Cp1252ToUtf8(text)) != text) {
        std::abort();
    }
    return 0;
}
