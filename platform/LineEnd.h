#pragma once
/// \file LineEnd.h
/// Line ends: the program writes CR LF; texts it reads may end their lines in
/// CR LF, LF or CR. These cut whatever line-end characters a text ends with.

#include <cstring>
#include <string>
#include <string_view>

/// Whether `c` is CR or LF.
constexpr bool IsLineEndChar(char c) {
    return c == '\r' || c == '\n';
}

/// The text without its trailing CR and LF characters.
constexpr std::string_view TrimLineEnd(std::string_view text) {
    while (!text.empty() && IsLineEndChar(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

///@{
/// Cuts trailing CR and LF characters in place (of a NUL-terminated text).
inline void StripLineEnd(std::string& text) {
    text.resize(TrimLineEnd(text).size());
}
inline void StripLineEnd(char* text) {
    text[TrimLineEnd(std::string_view(text, std::strlen(text))).size()] = '\0';
}
///@}
