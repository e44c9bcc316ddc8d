#pragma once
/// \file FontStyles.h
/// A set of font styles (bold, italic, underline, strike-out) as a small bit set.

#include "VynExport.h"

#include <cstdint>

/// One font style, with its bit in TFontStyles.
enum class TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

/// A set of font styles; a plain value, any thread.
class VYN_EXPORT TFontStyles {
public:
    /// The empty set.
    constexpr TFontStyles() = default;
    /// The set of one style.
    constexpr TFontStyles(TFontStyle s) : m_bits(static_cast<std::uint8_t>(s)) {}

    /// Whether the style is in the set.
    constexpr bool Contains(TFontStyle s) const {
        return (m_bits & static_cast<std::uint8_t>(s)) != 0;
    }
    /// Whether the set is empty.
    constexpr bool Empty() const { return m_bits == 0; }
    /// Adds a style.
    constexpr TFontStyles& operator+=(TFontStyle s) {
        m_bits |= static_cast<std::uint8_t>(s);
        return *this;
    }
    /// The set with a style added.
    constexpr TFontStyles operator+(TFontStyle s) const {
        TFontStyles r = *this;
        r += s;
        return r;
    }
    /// The styles' bits ORed (TFontStyle's values).
    constexpr std::uint8_t Bits() const { return m_bits; }
    /// Whether two sets hold the same styles.
    friend constexpr bool operator==(TFontStyles, TFontStyles) = default;

private:
    std::uint8_t m_bits = 0;
};
