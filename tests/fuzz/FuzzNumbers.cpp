// TextToNumber against the C library's extended conversion behind a syntax
// check; FormatNumber against printf.
#include "Map.h"
#include "Report.h"
#include "support/ReferenceNumber.h"

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Short texts only: the reference's regular expression recurses per
    // character.
    if (size <= 64) {
        const std::string text(reinterpret_cast<const char*>(data), size);
        if (text.find('\0') == std::string::npos &&
            std::bit_cast<std::uint64_t>(TextToNumber(text)) !=
                std::bit_cast<std::uint64_t>(ReferenceNumber(text))) {
            std::abort();
        }
    }
    if (size >= 9) {
        double v = 0;
        std::memcpy(&v, data, sizeof v);
        const int decimals = data[8] % 7;
        char expected[512];
        std::snprintf(expected, sizeof expected, "%.*f", decimals, v);
        if (FormatNumber(v, decimals) != expected) {
            std::abort();
        }
    }
    return 0;
}
