#pragma once
/// \file Cp1252.h
/// Conversion between the 8-bit Windows-1252 text the program holds and
/// Unicode, used only where text leaves or enters the program (widgets, the
/// clipboard, a UTF-8 terminal). The five bytes that Windows-1252 leaves
/// undefined map to the C1 control characters of the same value, so every byte
/// survives a round trip.

#include "VynExport.h"

#include <string>
#include <string_view>

/// The Unicode code point of one Windows-1252 byte.
VYN_EXPORT char32_t Cp1252ToUnicode(unsigned char byte);

/// The Windows-1252 byte for a code point, or -1 when the code page has none.
VYN_EXPORT int UnicodeToCp1252(char32_t codePoint);

/// The text in UTF-8; every byte has a character (the five unassigned ones
/// become the C1 controls of their number).
VYN_EXPORT std::string Cp1252ToUtf8(std::string_view text);

/// Code points without a Windows-1252 byte, and malformed UTF-8, become '?'.
VYN_EXPORT std::string Utf8ToCp1252(std::string_view text);
