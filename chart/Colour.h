// Chart colours: 32-bit values 0x00BBGGRR, the special values and the palette.
//
// Values with the top bit set are either the automatic colour (the series
// chooses) or a system colour that the drawing surface resolves to RGB before
// any channel arithmetic (TDrawingSurface::SystemColour).
//
// Protocol: constants and pure functions; any thread.
#pragma once

#include <cstdint>

using TColor = uint32_t;

inline constexpr TColor clNone = 0x1FFFFFFF;       // no colour at all
inline constexpr TColor clAutomatic = 0x80000000;  // the series chooses

// System colours, resolved by the surface.
inline constexpr TColor clBtnFace = 0x8000000F;
inline constexpr TColor clBtnShadow = 0x80000010;
inline constexpr TColor clBtnHighlight = 0x80000014;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

inline constexpr int PaletteSize = 16;
inline constexpr TColor ChartPalette[PaletteSize] = {
    clRed,  clGreen,  clYellow, clBlue,  clWhite,  clGray,   clFuchsia, clTeal,
    clNavy, clMaroon, clLime,   clOlive, clPurple, clSilver, clAqua,    clBlack};

constexpr TColor RGBColour(int r, int g, int b)
{
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(TColor c)
{
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(TColor c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(TColor c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}
constexpr bool IsSystemColour(TColor c)
{
    return (c & 0x80000000u) != 0 && c != clAutomatic;
}
