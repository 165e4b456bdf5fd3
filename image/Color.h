// A colour as red + 256 x green + 65536 x blue; the top byte is 0.
#pragma once

#include <cstdint>

using COLORREF = std::uint32_t;

inline constexpr COLORREF kColorMask = 0xFFFFFFu;

constexpr COLORREF MakeColor(unsigned red, unsigned green, unsigned blue)
{
    return (red & 0xFFu) | ((green & 0xFFu) << 8) | ((blue & 0xFFu) << 16);
}
constexpr unsigned RedOf(COLORREF colour) { return colour & 0xFFu; }
constexpr unsigned GreenOf(COLORREF colour) { return (colour >> 8) & 0xFFu; }
constexpr unsigned BlueOf(COLORREF colour) { return (colour >> 16) & 0xFFu; }
