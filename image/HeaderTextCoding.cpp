#include "image/HeaderTextCoding.h"

#include <cstdio>
#include <optional>

namespace {

// The code point of the UTF-8 sequence at `at`, advancing `at` past it; nothing when the
// bytes there are not a well-formed sequence.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    std::size_t length = 0;
    char32_t value = 0;
    char32_t lowest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, lowest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, lowest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, lowest = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - at < length)
        return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    at += length;
    return value;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else {
        // Only Latin-1 characters are appended here: two bytes are enough.
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// How a text named on one line shows a character: as a C escape for a backslash, a line
// break or any other control character, Unicode's line and paragraph separators included
// (a label breaks its line at those too); none for a character shown as it is.
std::optional<std::string> VisibleEscape(char32_t c)
{
    switch (c) {
    case '\\': return "\\\\";
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    default: break;
    }
    char escape[16];
    if (c < 0x20 || c == 0x7F)
        std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(c));
    else if ((c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029)
        std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
    else
        return std::nullopt;
    return escape;
}

// The bytes as UTF-8, each well-formed sequence as it is and every other byte as Latin-1;
// `oneLine` writes the characters VisibleEscape escapes as their escapes.
std::string MixedAsUtf8(std::string_view bytes, bool oneLine)
{
    std::string text;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t start = at;
        const std::optional<char32_t> decoded = NextCodePoint(bytes, at);
        const char32_t c = decoded ? *decoded : static_cast<unsigned char>(bytes[at++]);
        if (const std::optional<std::string> escape = oneLine ? VisibleEscape(c) : std::nullopt)
            text += *escape;
        else if (decoded)
            text.append(bytes.substr(start, at - start));
        else
            AppendUtf8(text, c);
    }
    return text;
}

} // namespace

bool IsValidUtf8(std::string_view bytes)
{
    for (std::size_t at = 0; at < bytes.size();)
        if (!NextCodePoint(bytes, at))
            return false;
    return true;
}

std::size_t Utf8CharacterLength(std::string_view text, std::size_t at)
{
    std::size_t end = at;
    return NextCodePoint(text, end) ? end - at : 0;
}

std::string HeaderBytesAsUtf8(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    std::string text;
    for (const char byte : bytes)
        AppendUtf8(text, static_cast<unsigned char>(byte));
    return text;
}

std::string MixedBytesAsUtf8(std::string_view bytes)
{
    return MixedAsUtf8(bytes, false);
}

std::string OneLineText(std::string_view bytes)
{
    return MixedAsUtf8(bytes, true);
}

std::string HeaderBytesAsLatin1(std::string_view bytes)
{
    if (!IsValidUtf8(bytes))
        return std::string(bytes);
    std::string text;
    for (std::size_t at = 0; at < bytes.size();) {
        const char32_t c = *NextCodePoint(bytes, at);
        text += c <= 0xFF ? static_cast<char>(c) : '?';
    }
    return text;
}

std::string_view CutUtf8(std::string_view utf8, std::size_t maxBytes)
{
    if (utf8.size() <= maxBytes)
        return utf8;
    std::size_t end = maxBytes;
    // Back to the first byte of the character that does not fit whole.
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
        --end;
    return utf8.substr(0, end);
}
