// How a header text's bytes read as characters. The earlier Windows program wrote ANSI bytes
// (a micro sign is the one byte 0xB5); this program stores what the user types as UTF-8. A
// text whose bytes are valid UTF-8 reads as UTF-8, any other byte for byte as Latin-1, so
// every header shows readably and showing it never has to rewrite it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "image/SpmHeader.h"

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or code points
// above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);
// The length of the well-formed UTF-8 sequence that starts at byte `at` of `text`, or 0 when
// the bytes there are none.
std::size_t Utf8CharacterLength(std::string_view text, std::size_t at);
// The text as UTF-8, for widgets and painters.
std::string HeaderBytesAsUtf8(std::string_view bytes);
// A text put together from pieces of either kind, such as a message that names a file and an
// older file's image, as UTF-8: each well-formed UTF-8 sequence as it is, every other byte as
// Latin-1. For a piece that is valid UTF-8, or an older text none of whose bytes happen to
// form a UTF-8 character, it reads as HeaderBytesAsUtf8 reads the piece alone.
std::string MixedBytesAsUtf8(std::string_view bytes);
// A text that a message names within a line of its own, such as an image name or a note, as
// MixedBytesAsUtf8 reads it but on one line: a line break or any other control character
// shows as its C escape ("\n", "\t", "\x01", "\u2028") and a backslash as "\\", so that
// no text reads as two lines, or as the escape of another.
std::string OneLineText(std::string_view bytes);
// The text as Latin-1 bytes, for the views' 8-bit bitmap font: characters beyond Latin-1
// read as '?'.
std::string HeaderBytesAsLatin1(std::string_view bytes);
// The longest start of a UTF-8 text that fits `maxBytes` without splitting a character.
std::string_view CutUtf8(std::string_view utf8, std::size_t maxBytes);

// A header field as the work bench and the profile view show it.
template <std::size_t N>
std::string ShownHeaderText(const char (&field)[N])
{
    return HeaderBytesAsUtf8(HeaderText(field));
}

// A header field as the 2D and 3D views print it.
template <std::size_t N>
std::string ViewHeaderText(const char (&field)[N])
{
    return HeaderBytesAsLatin1(HeaderText(field));
}

// Stores a text the user typed (UTF-8): cut to the field at a character boundary, so what
// stays of it still reads as typed.
template <std::size_t N>
void SetTypedHeaderText(char (&field)[N], std::string_view utf8)
{
    SetHeaderText(field, CutUtf8(utf8, N - 1));
}
