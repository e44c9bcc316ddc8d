// TextToNumber against the C library's extended conversion behind a syntax
// check; FormatNumber against printf.
#include "Map.h"
#include "Report.h"

#include <bit>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <regex>
#include <string>

namespace {

double Reference(std::string text) {
    const auto comma = text.find(',');
    if (comma != std::string::npos) {
        text[comma] = '.';
    }
    static const std::regex syntax(R"(^ *[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)? *$)");
    if (!std::regex_match(text, syntax)) {
        return 0.0;
    }
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    errno = 0;
    const long double v = strtold_l(text.c_str(), nullptr, c);
    if (errno == ERANGE && std::isinf(v)) {
        return 0.0;
    }
    const double d = static_cast<double>(v);
    return std::isinf(d) ? 0.0 : d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Short texts only: the reference's regular expression recurses per
    // character.
    if (size <= 64) {
        const std::string text(reinterpret_cast<const char*>(data), size);
        if (text.find('\0') == std::string::npos &&
            std::bit_cast<std::uint64_t>(TextToNumber(text)) !=
                std::bit_cast<std::uint64_t>(Reference(text))) {
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
