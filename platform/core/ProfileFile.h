// Profile files: the INI-form text files that keep presentation settings (*.cnf), palettes
// (*.plt) and frequency filters (*.flt). Files written by the program's earlier Windows
// versions must read the same here, and files written here must read the same there:
//
// - a line is a section header "[name]", a comment (first non-blank character ";"), a blank
//   line, or an entry "key=value" split at its first "="; CR LF, LF and a lone CR each end a
//   line, so that every value read can be written back;
// - section and key names match ASCII case-insensitively after trimming blanks and tabs;
//   the first match wins, searching every section of that name in file order;
// - a value is trimmed of blanks and tabs and loses one pair of matching surrounding
//   single or double quotes; a read returns at most buffer size - 1 characters;
// - a missing file, section or key gives the caller's default with its trailing blanks
//   stripped;
// - a write replaces an existing key in place, adds a new key after its section's last
//   entry, appends a new section at the end, writes "key=value" with CR LF and keeps every
//   other line byte for byte. Saving replaces the file all at once and reports failure.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/core/AtomicFile.h"

// What the user is told when a profile file (*.cnf, *.plt) cannot be written.
inline constexpr const char* kTextUnableToWrite = "Unable to open file for writing";

// The read buffer every profile reader of the program uses.
inline constexpr std::size_t kProfileBufferSize = 255;

class ProfileFile {
public:
    // Reads the file at `path`. A missing or unreadable file gives a profile without keys;
    // LoadResult() tells which.
    static ProfileFile Load(const std::string& path);
    // Whether two section or key names name one thing in a profile.
    static bool SameName(std::string_view a, std::string_view b);
    // The name as names are compared: ASCII letters in lower case.
    static std::string FoldedName(std::string_view name);

    const std::string& Path() const { return m_path; }
    FileReadResult LoadResult() const { return m_loadResult; }

    // The value of `key` in `section`, or `defaultText` without its trailing blanks when
    // there is none; at most bufferSize - 1 characters.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultText = {},
                          std::size_t bufferSize = kProfileBufferSize) const;

    // Whether the file has a section of that name, with or without keys.
    bool HasSection(std::string_view section) const;
    // The name of every section in file order, trimmed and as the file spells it; a name
    // that appears twice is given once, as first spelled.
    std::vector<std::string> SectionNames() const;

    // Sets `key` in `section` to `value`. Returns false, changing nothing, for texts that a
    // profile line cannot hold: a line break anywhere, an empty name, "]" in the section
    // name, "=" in the key, or a key that would read as a comment or a section.
    bool SetString(std::string_view section, std::string_view key, std::string_view value);
    // Why a profile line cannot hold the text as a section name, a key or a value, as a
    // clause (a section name cannot hold "]"); none when it can.
    static std::optional<std::string> WhyNotSection(std::string_view section);
    static std::optional<std::string> WhyNotKey(std::string_view key);
    static std::optional<std::string> WhyNotValue(std::string_view value);

    // The bytes Save() writes.
    std::string Text() const;
    // Writes the profile to its path, creating the file (not its folder). Returns false when
    // the file cannot be written, and also when it existed but could not be read: saving
    // then would lose the keys it holds.
    bool Save() const;

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    struct Line {
        std::string text;     // without its line end
        std::string end;      // "\r\n", "\n", or "" for a last line without one
        std::size_t next = kNone;  // the line that follows in the file
    };

    // Adds a CR LF line after line `after` (kNone: as the first line); returns its index.
    std::size_t InsertAfter(std::size_t after, std::string text);
    // Enters every section and entry of the lines as read into the lookup tables.
    void BuildIndex();

    std::string m_path;
    FileReadResult m_loadResult = FileReadResult::Missing;
    // Lines in the order they were read or added; m_first and Line::next give the file's order,
    // so adding a key never moves another line and the tables below stay valid.
    std::vector<Line> m_lines;
    std::size_t m_first = kNone;
    std::size_t m_last = kNone;
    // Case-folded "section\nkey" to the line of its first entry in file order.
    std::unordered_map<std::string, std::size_t> m_entries;
    // Case-folded section to the line after which a new key of it goes: the last entry of
    // the first section of that name (its header while it has none).
    std::unordered_map<std::string, std::size_t> m_sections;
};
