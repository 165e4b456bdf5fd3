#include "formats/MdtFrameTexts.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>

#include "formats/ByteOrder.h"
#include "image/HeaderTextCoding.h"

namespace {

constexpr std::string_view kComment = "TextComment";
constexpr std::string_view kQuantity = "ImageName";  // ours: no instrument writes it
// The XML part as the instrument software writes it, with the comment between its halves and
// the image's name after them.
constexpr std::string_view kXmlHead =
    "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<FrameComment>\r\n\t<TextComment>";
constexpr std::string_view kXmlMiddle = "</TextComment>\r\n\t<ImageName>";
constexpr std::string_view kXmlTail = "</ImageName>\r\n\t<Parameters/>\r\n</FrameComment>\r\n";
constexpr char32_t kReplacement = 0xFFFD;

// The code points of a well-formed UTF-8 text.
std::u32string CodePointsOf(std::string_view utf8)
{
    std::u32string points;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = std::max<std::size_t>(Utf8CharacterLength(utf8, at), 1);
        const auto lead = static_cast<unsigned char>(utf8[at]);
        char32_t point = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i)
            point = (point << 6) | (static_cast<unsigned char>(utf8[at + i]) & 0x3F);
        points += point;
        at += length;
    }
    return points;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    const int continuation = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    constexpr unsigned char kLeads[] = {0xC0, 0xE0, 0xF0};
    out += static_cast<char>(kLeads[continuation - 1] | (c >> (6 * continuation)));
    for (int i = continuation - 1; i >= 0; --i)
        out += static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F));
}

void AppendUtf16(std::vector<std::uint8_t>& out, std::u32string_view text)
{
    const auto unit = [&out](char32_t u) {
        out.push_back(static_cast<std::uint8_t>(u & 0xFF));
        out.push_back(static_cast<std::uint8_t>(u >> 8));
    };
    for (const char32_t c : text) {
        if (c < 0x10000) {
            unit(c);
        } else {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
}

// UTF-16 little-endian as UTF-8; an unpaired surrogate reads as the replacement character.
std::string Utf8OfUtf16(std::span<const std::uint8_t> bytes)
{
    const LeReader in(bytes);
    std::string text;
    for (std::size_t at = 0; in.Has(at, 2); at += 2) {
        const char32_t high = in.U16(at);
        const char32_t low = in.Has(at + 2, 2) ? in.U16(at + 2) : 0;
        if (high >= 0xD800 && high < 0xDC00 && low >= 0xDC00 && low < 0xE000) {
            AppendUtf8(text, 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00));
            at += 2;
        } else {
            AppendUtf8(text, high >= 0xD800 && high < 0xE000 ? kReplacement : high);
        }
    }
    return text;
}

void AppendAscii(std::u32string& out, std::string_view ascii)
{
    out.append(ascii.begin(), ascii.end());
}

bool XmlKeeps(char32_t c)
{
    return c >= 0x20 || c == '\t' || c == '\n' || c == '\r';
}

// Markup characters and line breaks as references, so that no XML reader takes them for
// markup or turns a CR LF into a line feed.
std::u32string XmlEscaped(std::u32string_view text)
{
    std::u32string escaped;
    const auto append = [&escaped](std::string_view ascii) { AppendAscii(escaped, ascii); };
    for (const char32_t c : text) {
        switch (c) {
        case '&': append("&amp;"); break;
        case '<': append("&lt;"); break;
        case '>': append("&gt;"); break;
        case '\t': append("&#9;"); break;
        case '\n': append("&#10;"); break;
        case '\r': append("&#13;"); break;
        default:
            if (XmlKeeps(c))
                escaped += c;
        }
    }
    return escaped;
}

// The character a reference stands for ("amp", "#10", "#x3C"); none for any other text.
std::optional<char32_t> Referenced(std::string_view name)
{
    constexpr std::pair<std::string_view, char32_t> kNamed[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [named, c] : kNamed)
        if (name == named)
            return c;
    if (!name.starts_with('#'))
        return std::nullopt;
    const bool hex = name.starts_with("#x");
    const std::string_view digits = name.substr(hex ? 2 : 1);
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, hex ? 16 : 10);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty() || value == 0 ||
        value > 0x10FFFF || (value >= 0xD800 && value < 0xE000))
        return std::nullopt;
    return static_cast<char32_t>(value);
}

std::string XmlUnescaped(std::string_view text)
{
    std::string plain;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t semicolon = text[at] == '&' ? text.find(';', at) : std::string_view::npos;
        const std::optional<char32_t> c =
            semicolon == std::string_view::npos ? std::nullopt : Referenced(text.substr(at + 1, semicolon - at - 1));
        if (c) {
            AppendUtf8(plain, *c);
            at = semicolon + 1;
        } else {
            plain += text[at++];
        }
    }
    return plain;
}

// The text of the element `name`; empty when there is none or it is empty.
std::string ElementOfXml(std::string_view xml, std::string_view name)
{
    const std::string start = std::string(1, '<').append(name).append(1, '>');
    const std::size_t at = xml.find(start);
    if (at == std::string_view::npos)
        return {};
    const std::size_t from = at + start.size();
    const std::size_t end = xml.find(std::string("</").append(name).append(1, '>'), from);
    return end == std::string_view::npos ? std::string() : XmlUnescaped(xml.substr(from, end - from));
}

void AppendSized(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes)
{
    LeWriter(out).U32(out.size(), static_cast<std::uint32_t>(bytes.size()));
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// The block of a u32 length and that many bytes at `at`, advancing `at` past it; none when
// it reaches past the end.
std::optional<std::span<const std::uint8_t>> SizedAt(std::span<const std::uint8_t> bytes, std::size_t& at)
{
    const LeReader in(bytes);
    if (!in.Has(at, 4))
        return std::nullopt;
    const std::size_t length = in.U32(at);
    if (!in.Has(at + 4, length))
        return std::nullopt;
    const std::span<const std::uint8_t> block = bytes.subspan(at + 4, length);
    at += 4 + length;
    return block;
}

}  // namespace

MdtFrameTexts ReadMdtFrameTexts(std::span<const std::uint8_t> afterSamples)
{
    MdtFrameTexts texts;
    std::size_t at = 0;
    if (!SizedAt(afterSamples, at))  // the title
        return texts;
    if (const auto xml = SizedAt(afterSamples, at)) {
        const std::string utf8 = Utf8OfUtf16(*xml);
        texts.quantity = ElementOfXml(utf8, kQuantity);
        texts.comment = ElementOfXml(utf8, kComment);
    }
    return texts;
}

std::vector<std::uint8_t> MdtFrameTextBytes(std::string_view quantity, std::string_view comment)
{
    std::vector<std::uint8_t> bytes;
    AppendSized(bytes, {reinterpret_cast<const std::uint8_t*>(quantity.data()), quantity.size()});
    std::u32string xml;
    AppendAscii(xml, kXmlHead);
    xml += XmlEscaped(CodePointsOf(HeaderBytesAsUtf8(comment)));
    AppendAscii(xml, kXmlMiddle);
    xml += XmlEscaped(CodePointsOf(HeaderBytesAsUtf8(quantity)));
    AppendAscii(xml, kXmlTail);
    std::vector<std::uint8_t> utf16;
    AppendUtf16(utf16, xml);
    AppendSized(bytes, utf16);
    return bytes;
}

std::string QuantityOfFrame(std::string_view written, std::string_view byUnit)
{
    std::string quantity(written);
    std::erase_if(quantity, [](char c) { return static_cast<unsigned char>(c) < ' ' || c == 0x7F; });
    const std::size_t first = quantity.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string(byUnit);
    return quantity.substr(first, quantity.find_last_not_of(' ') - first + 1);
}
