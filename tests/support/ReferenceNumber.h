#pragma once
// The independent way to the number a text stands for: the syntax as a
// regular expression, then the C library's extended conversion in the C
// locale, stored as a double; 0 for text that is no number or a value a
// double cannot hold. Short texts only: the expression recurses per character.

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <regex>
#include <string>

inline double ReferenceNumber(std::string text) {
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
