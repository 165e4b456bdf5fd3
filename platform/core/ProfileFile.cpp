#include "platform/core/ProfileFile.h"

#include <unordered_set>

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

// Names match ASCII case-insensitively: the tables hold them folded to lower case.
std::string Folded(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded)
        c = AsciiLower(c);
    return folded;
}

// A line break never occurs in a name, so it separates section and key unambiguously.
std::string EntryKey(std::string_view section, std::string_view key)
{
    return Folded(section) + '\n' + Folded(key);
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

// Why a profile line cannot hold `text` as the name `what` ("a key"), which must not hold
// `forbidden`; none when it can.
std::optional<std::string> WhyNotName(std::string_view text, const std::string& what, char forbidden)
{
    if (HasLineBreak(text))
        return what + " cannot hold a line break";
    const std::string_view name = Trim(text);
    if (name.empty())
        return what + " cannot be empty";
    if (name.find(forbidden) != std::string_view::npos)
        return what + " cannot hold \"" + forbidden + "\"";
    return std::nullopt;
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
        // A lone CR ends a line as well: left inside a value, it would make the value one that
        // no save can write back.
        const std::size_t end = rest.find_first_of(kLineEnd);
        const std::string_view text = rest.substr(0, end);
        std::size_t endLength = 0;
        if (end != std::string_view::npos)
            endLength = rest.compare(end, 2, kLineEnd) == 0 ? 2 : 1;
        profile.m_lines.push_back(Line{std::string(text), std::string(rest.substr(text.size(), endLength)),
                                       profile.m_lines.size() + 1});
        rest.remove_prefix(text.size() + endLength);
    }
    if (!profile.m_lines.empty()) {
        profile.m_first = 0;
        profile.m_last = profile.m_lines.size() - 1;
        profile.m_lines.back().next = kNone;
    }
    profile.BuildIndex();
    return profile;
}

void ProfileFile::BuildIndex()
{
    std::string section;            // folded name of the section the lines are in
    std::size_t* insertion = nullptr;  // its insertion point while it is the first of its name
    bool inSection = false;
    m_entries.reserve(m_lines.size());
    for (std::size_t i = m_first; i != kNone; i = m_lines[i].next) {
        const ParsedLine line = ParseLine(m_lines[i].text);
        if (line.kind == LineKind::Section) {
            inSection = true;
            section = Folded(line.name);
            const auto [where, added] = m_sections.emplace(section, i);
            insertion = added ? &where->second : nullptr;
        } else if (inSection && line.kind == LineKind::Entry) {
            m_entries.emplace(section + '\n' + Folded(line.name), i);
            if (insertion != nullptr)
                *insertion = i;
        }
    }
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultText, std::size_t bufferSize) const
{
    const auto entry = m_entries.find(EntryKey(Trim(section), Trim(key)));
    if (entry == m_entries.end())
        return CutToBuffer(TrimEnd(defaultText), bufferSize);
    return CutToBuffer(Unquote(Trim(ParseLine(m_lines[entry->second].text).value)), bufferSize);
}

bool ProfileFile::HasSection(std::string_view section) const
{
    return m_sections.contains(Folded(Trim(section)));
}

std::string ProfileFile::FoldedName(std::string_view name)
{
    return Folded(name);
}

bool ProfileFile::SameName(std::string_view a, std::string_view b)
{
    return Folded(Trim(a)) == Folded(Trim(b));
}

std::vector<std::string> ProfileFile::SectionNames() const
{
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (std::size_t i = m_first; i != kNone; i = m_lines[i].next) {
        const ParsedLine line = ParseLine(m_lines[i].text);
        if (line.kind == LineKind::Section && seen.insert(Folded(line.name)).second)
            names.emplace_back(line.name);
    }
    return names;
}

std::size_t ProfileFile::InsertAfter(std::size_t after, std::string text)
{
    const std::size_t added = m_lines.size();
    const std::size_t following = after == kNone ? m_first : m_lines[after].next;
    m_lines.push_back(Line{std::move(text), std::string(kLineEnd), following});
    if (after == kNone) {
        m_first = added;
    } else {
        m_lines[after].next = added;
        if (m_lines[after].end.empty())
            m_lines[after].end = kLineEnd;
    }
    if (after == m_last)
        m_last = added;
    return added;
}

std::optional<std::string> ProfileFile::WhyNotSection(std::string_view section)
{
    return WhyNotName(section, "a section name", ']');
}

std::optional<std::string> ProfileFile::WhyNotKey(std::string_view key)
{
    if (std::optional<std::string> why = WhyNotName(key, "a key", '='))
        return why;
    const std::string_view name = Trim(key);
    if (name.front() == ';' || name.front() == '[')
        return "a key cannot begin with \";\" or \"[\"";
    return std::nullopt;
}

std::optional<std::string> ProfileFile::WhyNotValue(std::string_view value)
{
    if (HasLineBreak(value))
        return "a value cannot hold a line break";
    return std::nullopt;
}

bool ProfileFile::SetString(std::string_view section, std::string_view key,
                            std::string_view value)
{
    if (WhyNotSection(section) || WhyNotKey(key) || WhyNotValue(value))
        return false;
    const std::string_view sectionName = Trim(section);
    const std::string_view keyName = Trim(key);

    const std::string entryKey = EntryKey(sectionName, keyName);
    if (const auto entry = m_entries.find(entryKey); entry != m_entries.end()) {
        Line& line = m_lines[entry->second];
        line.text = std::string(ParseLine(line.text).name) + "=" + std::string(value);
        line.end = kLineEnd;
        return true;
    }
    auto [where, newSection] = m_sections.try_emplace(Folded(sectionName), kNone);
    if (newSection)
        where->second = InsertAfter(m_last, std::string("[").append(sectionName).append("]"));
    where->second = InsertAfter(where->second, std::string(keyName).append("=").append(value));
    m_entries.emplace(entryKey, where->second);
    return true;
}

std::string ProfileFile::Text() const
{
    std::string text;
    for (std::size_t i = m_first; i != kNone; i = m_lines[i].next)
        text.append(m_lines[i].text).append(m_lines[i].end);
    return text;
}

bool ProfileFile::Save() const
{
    if (m_loadResult == FileReadResult::Unreadable)
        return false;
    return WriteFileAtomically(m_path, Text());
}
