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
                    std::vector<ColorCursor>& cursors)
{
    const std::size_t count = ProfileListCount(profile, section, "NofCursor");
    if (count == 0)
        return;
    cursors.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string index = ProfileListIndex(i);
        ColorCursor cursor;
        cursor.m_Position =
            static_cast<float>(ParseIniNumber(profile.GetString(section, "Position" + index)));
        cursor.m_Color = ParseIniColor(profile.GetString(section, "Color" + index));
        cursors.push_back(cursor);
    }
}

bool StoreCursorList(ProfileFile& profile, std::string_view section,
                     const std::vector<ColorCursor>& cursors)
{
    bool ok = profile.SetString(section, "NofCursor",
                                FormatFixed(static_cast<double>(cursors.size()), 0));
    for (std::size_t i = 0; ok && i < cursors.size(); ++i) {
        const std::string index = ProfileListIndex(i);
        ok = profile.SetString(section, "Position" + index, FormatFixed(cursors[i].m_Position, 2)) &&
             profile.SetString(section, "Color" + index, FormatIniColor(cursors[i].m_Color));
    }
    return ok;
}

FileReadResult ReadPaletteFile(const std::string& path, std::vector<ColorCursor>& cursors)
{
    const ProfileFile profile = ProfileFile::Load(path);
    LoadCursorList(profile, kPaletteSection, cursors);
    return profile.LoadResult();
}

bool WritePaletteFile(const std::string& path, const std::vector<ColorCursor>& cursors)
{
    ProfileFile profile = ProfileFile::Load(path);
    return profile.SetString("Introduction", "Ver", "1.1") &&
           StoreCursorList(profile, kPaletteSection, cursors) && profile.Save();
}
