#pragma once
// A set of font styles (bold, italic, underline, strike-out) as a small bit set.

#include "VynExport.h"

#include <cstdint>

enum class TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

class VYN_EXPORT TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(TFontStyle s) : m_bits(static_cast<std::uint8_t>(s)) {}

    constexpr bool Contains(TFontStyle s) const {
        return (m_bits & static_cast<std::uint8_t>(s)) != 0;
    }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr TFontStyles& operator+=(TFontStyle s) {
        m_bits |= static_cast<std::uint8_t>(s);
        return *this;
    }
    constexpr TFontStyles operator+(TFontStyle s) const {
        TFontStyles r = *this;
        r += s;
        return r;
    }
    constexpr std::uint8_t Bits() const { return m_bits; }
    friend constexpr bool operator==(TFontStyles, TFontStyles) = default;

private:
    std::uint8_t m_bits = 0;
};
