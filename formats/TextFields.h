// Small conversions shared by the text-based readers and writers.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The line without a carriage return at its end (files with CR LF line ends leave one).
std::string_view WithoutCarriageReturn(std::string_view line);

// The text between the last two double quotes of a line; empty when it has fewer than two.
std::string_view TextBetweenLastQuotes(std::string_view line);

// A parsed number as the columns or rows of an image: a whole number from 1 to 1024.
std::optional<int> ImageSideOf(double value);

// A parsed number as a byte offset into a file of fileSize bytes: finite, not negative, not
// past the end; the fraction is cut.
std::optional<std::size_t> FileOffsetOf(double value, std::size_t fileSize);

// A length unit: the name the readers give it ("pm", "A", "nm", "um", "mm") and its size.
struct LengthUnit {
    std::string_view name;
    double nanometres;
};

// The length unit a unit text names, in every spelling the readers and the views take for
// one: Angstrom also as Å (the Latin-1 byte C5, UTF-8, or the Angstrom sign), micrometres
// also as µm (the micro sign as the Latin-1 byte B5 or in UTF-8, or the Greek mu), as
// NanoScope's "~m" and as the transliterated "mkm"; blanks around the text aside. None for
// any other text.
std::optional<LengthUnit> LengthUnitOf(std::string_view unit);
// Nanometres per unit of a length named by its unit text, spelled as LengthUnitOf takes it.
std::optional<double> NanometresPerLengthUnit(std::string_view unit);

// Fixed-point text with at least 6 decimals and at least 9 significant digits, enough for a
// float to come back unchanged through CImageFile::ParseNumber; a point whatever the locale.
std::string FormatFixedSignificant(double value);

// A unit text as the text writers store it: without the double quotes, control characters
// and blanks that would cut a header line or its last word. What a unit means is decided on
// this text, by every writer alike.
std::string UnitAsWritten(std::string_view unit);

// The value as a float, when it is a normal one: a float that overflows, underflows to a
// subnormal or 0, or is not a number would not read back as the value.
std::optional<float> NormalFloat(double value);

// ---- Sentences for the user.
// A text as a sentence: its first letter upper case, a full stop at its end.
std::string Sentence(std::string_view text);
// The shortest text that reads back as the float nearest the value ("1e+33", "0.5").
std::string ShortNumber(double value);
// The text between double quotes.
std::string InQuotes(std::string_view text);
// A header text (a unit, name or note) in double quotes, readable whatever its bytes (see
// HeaderTextCoding.h) and on one line: its line breaks, control characters, backslashes and
// double quotes as C escapes.
std::string QuotedUnit(std::string_view unit);
// "<columns> x <rows> points; this program reads 1 to 1024 points a side".
std::string ImageSizeRefusal(double columns, double rows);
