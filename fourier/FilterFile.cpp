#include "fourier/FilterFile.h"

#include <algorithm>

#include "platform/core/NumberText.h"
#include "platform/core/ProfileFile.h"
#include "presentation/IniConversions.h"
#include "presentation/PaletteFile.h"

namespace {

constexpr std::string_view kSection = "FilterPrimitive";

// Every value reads through the same loose number reading; the whole-number fields truncate.
double ReadNumber(const ProfileFile& profile, const std::string& key)
{
    return ParseIniNumber(profile.GetString(kSection, key, std::string(21, ' ')));
}

} // namespace

std::string FilterFilePath(const std::string& chosen)
{
    const std::size_t dot = chosen.rfind('.');
    if (dot != std::string::npos && chosen.compare(dot, std::string::npos, ".flt") == 0)
        return chosen;
    return chosen + ".flt";
}

FilterPrimitive ClampToControls(FilterPrimitive p)
{
    p.LoPass = p.LoPass != 0 ? 1 : 0;
    p.Type = p.Type != 0 ? 1u : 0u;
    p.Oder = std::min(p.Oder, 100u);
    p.Cutoff = std::clamp(p.Cutoff, 0.01, 1.0);
    p.Xcomp = std::clamp(p.Xcomp, 1.0, 99.9);
    p.Ycomp = std::clamp(p.Ycomp, 1.0, 99.9);
    p.Shift = std::clamp(p.Shift, 0.0, 2.0);
    p.Angle = std::clamp(p.Angle, 0, 360);
    return p;
}

bool WriteFilterFile(const std::string& path, const std::vector<FilterPrimitive>& list)
{
    ProfileFile profile = ProfileFile::Load(path);
    bool ok = profile.SetString("Introduction", "Ver", "1.0") &&
              profile.SetString(kSection, "NofPrimitive", FormatFixed(static_cast<double>(list.size()), 0));
    for (std::size_t i = 0; ok && i < list.size(); ++i) {
        const FilterPrimitive& p = list[i];
        const std::string index = ProfileListIndex(i);
        ok = profile.SetString(kSection, "Type" + index, FormatFixed(p.Type, 0)) &&
             profile.SetString(kSection, "LoPass" + index, FormatFixed(p.LoPass, 0)) &&
             profile.SetString(kSection, "Oder" + index, FormatFixed(p.Oder, 0)) &&
             profile.SetString(kSection, "Cutoff" + index, FormatFixed(p.Cutoff, 2)) &&
             profile.SetString(kSection, "Xcomp" + index, FormatFixed(p.Xcomp, 2)) &&
             profile.SetString(kSection, "Ycomp" + index, FormatFixed(p.Ycomp, 2)) &&
             profile.SetString(kSection, "Shift" + index, FormatFixed(p.Shift, 2)) &&
             profile.SetString(kSection, "Angle" + index, FormatFixed(p.Angle, 2));
    }
    return ok && profile.Save();
}

std::vector<FilterPrimitive> ReadFilterFile(const std::string& path)
{
    const ProfileFile profile = ProfileFile::Load(path);
    const std::int64_t count = TruncToInt64(ReadNumber(profile, "NofPrimitive"));
    std::vector<FilterPrimitive> list;
    if (count < 1 || count > kMaxFilterPrimitives)
        return list;
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
        const std::string index = ProfileListIndex(i);
        FilterPrimitive p;
        p.Type = TruncToInt32(ReadNumber(profile, "Type" + index)) != 0 ? 1u : 0u;
        p.LoPass = TruncToInt32(ReadNumber(profile, "LoPass" + index));
        p.Oder = static_cast<std::uint32_t>(std::clamp(TruncToInt32(ReadNumber(profile, "Oder" + index)), 0, 100));
        p.Cutoff = ReadNumber(profile, "Cutoff" + index);
        p.Xcomp = ReadNumber(profile, "Xcomp" + index);
        p.Ycomp = ReadNumber(profile, "Ycomp" + index);
        p.Shift = ReadNumber(profile, "Shift" + index);
        p.Angle = TruncToInt32(ReadNumber(profile, "Angle" + index));
        list.push_back(ClampToControls(p));
    }
    return list;
}
