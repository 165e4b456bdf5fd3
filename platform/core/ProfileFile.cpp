#include "platform/core/ProfileFile.h"

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kLineEnd = "\r\n";

std::string_view TrimEnd(std::string_view text)
{
    const std::size_t last = text.find_last_not_of(kBlanks);
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view Trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    return first == std::string_view::npos ? std::string_view() : TrimEnd(text.substr(first));
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

enum class LineKind { Blank, Comment, Section, Entry };

struct ParsedLine {
    LineKind kind = LineKind::Blank;
    std::string_view name;   // section name or key, trimmed
    std::string_view value;  // an entry's text after its first "=", untrimmed
};

ParsedLine ParseLine(std::string_view text)
{
    const std::string_view trimmed = Trim(text);
    if (trimmed.empty())
        return {LineKind::Blank, {}, {}};
    if (trimmed.front() == ';')
        return {LineKind::Comment, {}, {}};
    if (trimmed.front() == '[') {
        const std::string_view inside = trimmed.substr(1);
        return {LineKind::Section, Trim(inside.substr(0, inside.find(']'))), {}};
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return {LineKind::Entry, trimmed, {}};
    return {LineKind::Entry, Trim(text.substr(0, equals)), text.substr(equals + 1)};
}

// One pair of matching quotes around the whole value is not part of it.
std::string_view Unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string CutToBuffer(std::string_view text, std::size_t bufferSize)
{
    const std::size_t room = bufferSize == 0 ? 0 : bufferSize - 1;
    return std::string(text.substr(0, room));
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of(kLineEnd) != std::string_view::npos;
}

} // namespace

ProfileFile ProfileFile::Load(const std::string& path)
{
    ProfileFile profile;
    profile.m_path = path;
    std::string bytes;
    profile.m_loadResult = ReadWholeFile(path, bytes);
    std::string_view rest = bytes;
    while (!rest.empty()) {
        const std::size_t feed = rest.find('\n');
        std::string_view text = rest.substr(0, feed);
        std::string_view end;
        if (feed == std::string_view::npos) {
            rest = {};
        } else {
            rest.remove_prefix(feed + 1);
            end = "\n";
            if (!text.empty() && text.back() == '\r') {
                text.remove_suffix(1);
                end = kLineEnd;
            }
        }
        profile.m_lines.push_back(Line{std::string(text), std::string(end)});
    }
    return profile;
}

std::size_t ProfileFile::FindEntry(std::string_view section, std::string_view key) const
{
    section = Trim(section);
    key = Trim(key);
    bool inSection = false;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const ParsedLine line = ParseLine(m_lines[i].text);
        if (line.kind == LineKind::Section)
            inSection = SameName(line.name, section);
        else if (inSection && line.kind == LineKind::Entry && SameName(line.name, key))
            return i;
    }
    return std::string::npos;
}

std::size_t ProfileFile::FindSection(std::string_view section) const
{
    section = Trim(section);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const ParsedLine line = ParseLine(m_lines[i].text);
        if (line.kind == LineKind::Section && SameName(line.name, section))
            return i;
    }
    return std::string::npos;
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultText, std::size_t bufferSize) const
{
    const std::size_t entry = FindEntry(section, key);
    if (entry == std::string::npos)
        return CutToBuffer(TrimEnd(defaultText), bufferSize);
    return CutToBuffer(Unquote(Trim(ParseLine(m_lines[entry].text).value)), bufferSize);
}

void ProfileFile::InsertLine(std::size_t at, std::string text)
{
    if (at > 0 && m_lines[at - 1].end.empty())
        m_lines[at - 1].end = kLineEnd;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at),
                   Line{std::move(text), std::string(kLineEnd)});
}

bool ProfileFile::SetString(std::string_view section, std::string_view key,
                            std::string_view value)
{
    const std::string_view sectionName = Trim(section);
    const std::string_view keyName = Trim(key);
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) ||
        sectionName.empty() || keyName.empty() ||
        sectionName.find(']') != std::string_view::npos ||
        keyName.find('=') != std::string_view::npos || keyName.front() == ';' ||
        keyName.front() == '[')
        return false;

    const std::size_t entry = FindEntry(sectionName, keyName);
    if (entry != std::string::npos) {
        Line& line = m_lines[entry];
        line.text = std::string(ParseLine(line.text).name) + "=" + std::string(value);
        line.end = kLineEnd;
        return true;
    }
    const std::string newEntry = std::string(keyName) + "=" + std::string(value);
    const std::size_t header = FindSection(sectionName);
    if (header == std::string::npos) {
        InsertLine(m_lines.size(), "[" + std::string(sectionName) + "]");
        InsertLine(m_lines.size(), newEntry);
        return true;
    }
    std::size_t lastEntry = header;
    for (std::size_t i = header + 1; i < m_lines.size(); ++i) {
        const LineKind kind = ParseLine(m_lines[i].text).kind;
        if (kind == LineKind::Section)
            break;
        if (kind == LineKind::Entry)
            lastEntry = i;
    }
    InsertLine(lastEntry + 1, newEntry);
    return true;
}

std::string ProfileFile::Text() const
{
    std::string text;
    for (const Line& line : m_lines)
        text += line.text + line.end;
    return text;
}

bool ProfileFile::Save() const
{
    if (m_loadResult == FileReadResult::Unreadable)
        return false;
    return WriteFileAtomically(m_path, Text());
}
