#include "presentation/PaletteFile.h"

#include "platform/core/NumberText.h"
#include "presentation/IniConversions.h"

namespace {

constexpr std::string_view kPaletteSection = "ColorCursor";

} // namespace

std::size_t ProfileListCount(const ProfileFile& profile, std::string_view section,
                             std::string_view key)
{
    const std::int64_t count = TruncToInt64(ParseIniNumber(profile.GetString(section, key)));
    return count < 1 || count > kMaxProfileListCount ? 0 : static_cast<std::size_t>(count);
}

std::string ProfileListIndex(std::size_t index)
{
    std::string text(1, '[');
    text += std::to_string(index);
    text += ']';
    return text;
}

void LoadCursorList(const ProfileFile& profile, std::string_view section,
                    std::vector<ColorCursor>& cursors, EmptyCursorValue empty)
{
    const std::size_t count = ProfileListCount(profile, section, "NofCursor");
    if (count == 0)
        return;
    cursors.clear();
    // No stored value holds a line break, so this default tells an absent key from an empty
    // one; it reads as 0 and as black, as an absent key must.
    constexpr std::string_view kAbsent = "\n";
    const bool keepEmpty = empty == EmptyCursorValue::kKeepPrevious;
    ColorCursor previous;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string index = ProfileListIndex(i);
        const std::string position = profile.GetString(section, "Position" + index, kAbsent);
        const std::string colour = profile.GetString(section, "Color" + index, kAbsent);
        ColorCursor cursor = previous;
        // A position beyond what a float holds reads as an absent one.
        if (!keepEmpty || !position.empty())
            cursor.m_Position = ParseIniFloat(position).value_or(0.0f);
        if (!keepEmpty || !colour.empty())
            cursor.m_Color = ParseIniColor(colour);
        cursors.push_back(cursor);
        previous = cursor;
    }
}

bool StoreCursorList(ProfileFile& profile, std::string_view section,
                     const std::vector<ColorCursor>& cursors)
{
    bool ok = profile.SetString(section, "NofCursor",
                                FormatFixed(static_cast<double>(cursors.size()), 0));
    for (std::size_t i = 0; ok && i < cursors.size(); ++i) {
        const std::string index = ProfileListIndex(i);
        ok = profile.SetString(section, "Position" + index, FormatIniFloat(cursors[i].m_Position)) &&
             profile.SetString(section, "Color" + index, FormatIniColor(cursors[i].m_Color));
    }
    return ok;
}

FileReadResult ReadPaletteFile(const std::string& path, std::vector<ColorCursor>& cursors)
{
    const ProfileFile profile = ProfileFile::Load(path);
    LoadCursorList(profile, kPaletteSection, cursors, EmptyCursorValue::kKeepPrevious);
    return profile.LoadResult();
}

bool WritePaletteFile(const std::string& path, const std::vector<ColorCursor>& cursors)
{
    ProfileFile profile = ProfileFile::Load(path);
    return profile.SetString("Introduction", "Ver", "1.1") &&
           StoreCursorList(profile, kPaletteSection, cursors) && profile.Save();
}
