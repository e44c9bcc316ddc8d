#pragma once
// Text files the way the program reads them.

#include "LineEnd.h"

#include <cstddef>
#include <string>
#include <vector>

// The longest line kept whole; a longer one keeps its first kMaxLineLength
// characters and the rest of it is left out (and reported).
inline constexpr std::size_t kMaxLineLength = 65536;
// The most of a file read at all, so that an endless input still ends.
inline constexpr std::size_t kMaxTextBytes = std::size_t{64} << 20;

// What a read could not take as it stood.
struct TTextFileLimits {
    // Lines (from 1) longer than kMaxLineLength, with their full lengths.
    struct TLongLine {
        std::size_t Line = 0;
        std::size_t Length = 0;
    };
    std::vector<TLongLine> LongLines;
    // Reading stopped (at maxLines or kMaxTextBytes) with more of the file
    // left; Lines is how many it gave.
    bool Cut = false;
    std::size_t Lines = 0;
};

// The whole file as one text in which every line, the last included, ends in
// CR LF. Line breaks are CR LF, LF, LF CR and a lone CR, as in the map text,
// and CRs directly before a line feed belong to its break (CR CR LF is one
// break, as some Windows tools write it). A NUL byte ends its line's text
// (the rest of that line is dropped). A file that cannot be opened gives an
// empty text.
std::string ReadTextFile(const std::string& path);

// As ReadTextFile, but says why a file could not be read: returns false with
// the system's error text in `error`. With `maxLines`, reading stops after
// that many lines: what it gives is exactly the start of what the whole file
// would give, and no more of the file is read than those lines need. `limits`,
// when given, says which lines were too long and whether reading stopped
// early.
[[nodiscard]] bool ReadTextFile(const std::string& path, std::string& text, std::string& error,
                                std::size_t maxLines = static_cast<std::size_t>(-1),
                                TTextFileLimits* limits = nullptr);
