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

double HeldValue(FilterField field, double value)
{
    struct Range {
        double min, max;
    };
    constexpr Range kRanges[] = {{0.01, 1.0}, {1.0, 99.9}, {1.0, 99.9}, {0.0, 2.0}};
    const Range range = kRanges[static_cast<int>(field)];
    // Through the file's own text, so that saving and loading again changes nothing.
    return ParseIniNumber(FormatFixed(std::clamp(value, range.min, range.max), 2));
}

FilterPrimitive ClampToControls(FilterPrimitive p)
{
    p.LoPass = p.LoPass != 0 ? 1 : 0;
    p.Type = p.Type != 0 ? 1u : 0u;
    p.Oder = std::min(p.Oder, 100u);
    p.Cutoff = HeldValue(FilterField::kCutoff, p.Cutoff);
    p.Xcomp = HeldValue(FilterField::kXcomp, p.Xcomp);
    p.Ycomp = HeldValue(FilterField::kYcomp, p.Ycomp);
    p.Shift = HeldValue(FilterField::kShift, p.Shift);
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

FilterFileRead ReadFilterFile(const std::string& path)
{
    const ProfileFile profile = ProfileFile::Load(path);
    const std::int64_t count = TruncToInt64(ReadNumber(profile, "NofPrimitive"));
    FilterFileRead read;
    read.tooLong = count > kMaxFilterPrimitives;
    if (count < 1 || read.tooLong)
        return read;
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
        const std::string index = ProfileListIndex(i);
        FilterPrimitive p;
        p.Type = TruncToInt32(ReadNumber(profile, "Type" + index)) != 0 ? 1u : 0u;
        // Every value other than 0 is a high-pass: taking it as 1 limits nothing.
        p.LoPass = TruncToInt32(ReadNumber(profile, "LoPass" + index)) != 0 ? 1 : 0;
        const std::int32_t order = TruncToInt32(ReadNumber(profile, "Oder" + index));
        p.Oder = static_cast<std::uint32_t>(std::max(order, 0));
        p.Cutoff = ReadNumber(profile, "Cutoff" + index);
        p.Xcomp = ReadNumber(profile, "Xcomp" + index);
        p.Ycomp = ReadNumber(profile, "Ycomp" + index);
        p.Shift = ReadNumber(profile, "Shift" + index);
        p.Angle = TruncToInt32(ReadNumber(profile, "Angle" + index));
        const FilterPrimitive held = ClampToControls(p);
        read.limited = read.limited || order < 0 || held != p;
        read.list.push_back(held);
    }
    return read;
}
