// The image header: sizes, steps, Z scale, unit texts, quantity, comment and version text.
// Its 512 bytes are also the head of a *.spm file, field for field, little-endian.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct SpmHeader {
    std::uint16_t m_nReserved0;  // set by no reader; reaches a *.spm file as it stands
    std::uint16_t m_nColumns;    // points per row
    std::uint16_t m_nReserved1;  // set by no reader
    std::uint16_t m_nRows;       // number of rows
    float m_fKx;                 // X step: XY unit per point
    float m_fKy;                 // Y step: XY unit per point
    float m_fKz;                 // Z scale: Z unit per raw sample
    char m_szZUnit[4];           // zero-terminated, e.g. "nm"
    char m_szXYUnit[6];          // zero-terminated
    char m_szNote[322];          // free comment text
    char m_szQuantity[96];       // "Height", "Phase", "Topography", "Unknown", ...
    char m_szVersion[64];        // text naming the file's origin
};

// The in-memory record mirrors the file layout exactly, so offsets can be checked here once;
// the readers and writers still convert field by field.
static_assert(sizeof(SpmHeader) == 512);
static_assert(offsetof(SpmHeader, m_nColumns) == 2);
static_assert(offsetof(SpmHeader, m_nRows) == 6);
static_assert(offsetof(SpmHeader, m_fKx) == 8);
static_assert(offsetof(SpmHeader, m_fKy) == 12);
static_assert(offsetof(SpmHeader, m_fKz) == 16);
static_assert(offsetof(SpmHeader, m_szZUnit) == 20);
static_assert(offsetof(SpmHeader, m_szXYUnit) == 24);
static_assert(offsetof(SpmHeader, m_szNote) == 30);
static_assert(offsetof(SpmHeader, m_szQuantity) == 352);
static_assert(offsetof(SpmHeader, m_szVersion) == 448);

// Puts a text into a fixed header field: cut to fit, always zero-terminated, the rest of the
// field zeroed. Every writer of a header text goes through here so no field is left open.
template <std::size_t N>
void SetHeaderText(char (&field)[N], std::string_view text)
{
    static_assert(N > 0);
    const std::size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.begin(), length, field);
    std::fill(field + length, field + N, '\0');
}

// The text of a fixed header field up to its first zero; a field that a file filled to the
// last byte without a terminator ends at the field's end, never beyond it.
template <std::size_t N>
std::string HeaderText(const char (&field)[N])
{
    return std::string(field, static_cast<std::size_t>(std::find(field, field + N, '\0') - field));
}
