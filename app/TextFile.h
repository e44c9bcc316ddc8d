#pragma once
// Text files the way the program reads them.

#include "LineEnd.h"

#include <string>

// The whole file as one text in which every line, the last included, ends in
// CR LF. The file is read as a text-mode stream (CR LF becomes LF) in pieces
// of at most 999 characters; each piece loses its trailing CR and LF and gains
// CR LF, so a line longer than 999 characters becomes several lines. Pieces
// are C strings: a NUL byte ends its piece and the rest of that piece is
// dropped. A file that cannot be opened gives an empty text.
std::string ReadTextFile(const std::string& path);

// As ReadTextFile, but says why a file could not be read: returns false with
// the system's error text in `error`. With `maxLines`, reading stops after
// that many lines (pieces): what it gives is exactly the start of what the
// whole file would give, and no more of the file is read than those lines
// can hold, whatever the file's size.
[[nodiscard]] bool ReadTextFile(const std::string& path, std::string& text, std::string& error,
                                std::size_t maxLines = static_cast<std::size_t>(-1));
