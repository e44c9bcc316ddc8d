#pragma once
/// \file Color.h
/// Colours as the program and its component library hold them: a 32-bit value
/// laid out 0x00BBGGRR (red in the low byte). System colours have the high bit
/// set and the system colour index in the low byte; they are resolved to real
/// colours only where a widget paints them.

#include <cstdint>

/// A distinct type so that overloads taking a colour and overloads taking a
/// message type (a plain int) are told apart.
enum class TColor : std::uint32_t {};

/// The colour's 32-bit value.
constexpr std::uint32_t ColorValue(TColor c) {
    return static_cast<std::uint32_t>(c);
}
///@{
/// A component of a plain colour (meaningless for a system colour).
constexpr std::uint8_t ColorRed(TColor c) {
    return ColorValue(c) & 0xFF;
}
constexpr std::uint8_t ColorGreen(TColor c) {
    return (ColorValue(c) >> 8) & 0xFF;
}
constexpr std::uint8_t ColorBlue(TColor c) {
    return (ColorValue(c) >> 16) & 0xFF;
}
///@}
/// Whether the colour is a system colour, resolved through a palette.
constexpr bool IsSystemColor(TColor c) {
    return (ColorValue(c) & 0x80000000u) != 0;
}

///@{
/// The sixteen named colours.
inline constexpr TColor clBlack{0x000000};
inline constexpr TColor clMaroon{0x000080};
inline constexpr TColor clGreen{0x008000};
inline constexpr TColor clOlive{0x008080};
inline constexpr TColor clNavy{0x800000};
inline constexpr TColor clPurple{0x800080};
inline constexpr TColor clTeal{0x808000};
inline constexpr TColor clGray{0x808080};
inline constexpr TColor clSilver{0xC0C0C0};
inline constexpr TColor clRed{0x0000FF};
inline constexpr TColor clLime{0x00FF00};
inline constexpr TColor clYellow{0x00FFFF};
inline constexpr TColor clBlue{0xFF0000};
inline constexpr TColor clFuchsia{0xFF00FF};
inline constexpr TColor clAqua{0xFFFF00};
inline constexpr TColor clWhite{0xFFFFFF};
///@}

///@{
/// The system colours the library uses: a window's background and text, a
/// button's face, a tooltip's background (QPalette Base, Text, Button,
/// ToolTipBase).
inline constexpr TColor clWindow{0x80000005};
inline constexpr TColor clWindowText{0x80000008};
inline constexpr TColor clBtnFace{0x8000000F};
inline constexpr TColor clInfoBk{0x80000018};
///@}
