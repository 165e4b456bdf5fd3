#include "presentation/PresentationFile.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <variant>

#include "platform/core/NumberText.h"
#include "presentation/IniConversions.h"
#include "presentation/PaletteFile.h"

namespace {

constexpr std::string_view kIntroduction = "Introduction";

using Record = CPresentationConfig;
// A stored field: integers are written "%.0f", floats "%.2f", colours as "r,g,b", texts as
// they are.
using FieldRef = std::variant<int Record::*, std::int16_t Record::*, float Record::*,
                              COLORREF Record::*, std::string Record::*>;

struct CnfKey {
    std::string_view group;
    std::string_view key;
    FieldRef field;
    // A float read outside [low, high] is ignored: by default one beyond what a float holds,
    // so that the field keeps a value it can use instead of turning infinite.
    double low = -std::numeric_limits<float>::max();
    double high = std::numeric_limits<float>::max();
};

// Every key of a record in the order the writer writes it; the cursor list follows.
const CnfKey kCnfKeys[] = {
    {"Presentation", "BackgroundColor", &Record::m_BackgroundColor},
    {"Presentation", "Border", &Record::m_Border},
    {"Presentation", "BorderColor", &Record::m_BorderColor},
    {"Presentation", "Z_Scale", &Record::m_Z_Scale, 0.1, 100.0},
    {"Presentation", "Tilt", &Record::m_Tilt, 0.0, 90.0},
    {"Presentation", "Angle", &Record::m_Angle},
    {"Presentation", "ViewPersp", &Record::m_ViewPersp},
    {"Presentation", "ZaxisVertical", &Record::m_ZaxisVertical},
    {"Presentation", "DrawAxiz", &Record::m_DrawAxiz},
    {"Presentation", "EnablePolygon", &Record::m_EnablePolygon},
    {"Presentation", "EnablePolygonColor", &Record::m_EnablePolygonColor},
    {"Presentation", "EnablePolygonLight", &Record::m_EnablePolygonLight},
    {"Presentation", "DrawXYLine", &Record::m_DrawXYLine},
    {"Presentation", "NameOfImageForColor", &Record::m_NameOfImageForColor},
    {"Light", "EnadleSmooth", &Record::m_EnadleSmooth},
    {"Light", "LightAngle", &Record::m_LightAngle},
    {"Light", "LightHight", &Record::m_LightHight},
    {"Light", "LightIntensity", &Record::m_LightIntensity},
    {"Material", "MatEmiss", &Record::m_MatEmiss},
    {"Material", "MatReflect", &Record::m_MatReflect},
    {"Material", "PolygonColor", &Record::m_PolygonColor},
    {"XYLine", "XLineDecim", &Record::m_XLineDecim},
    {"XYLine", "XLineShift", &Record::m_XLineShift},
    {"XYLine", "XLineWidth", &Record::m_XLineWidth},
    {"XYLine", "XLineColor", &Record::m_XLineColor},
    {"XYLine", "YLineDecim", &Record::m_YLineDecim},
    {"XYLine", "YLineShift", &Record::m_YLineShift},
    {"XYLine", "YLineWidth", &Record::m_YLineWidth},
    {"XYLine", "YLineColor", &Record::m_YLineColor},
    {"XYLine", "HightColorLine", &Record::m_HightColorLine},
};

constexpr std::string_view kCursorGroup = "ColorCursor";
// The five sections of a record, by group.
constexpr std::string_view kRecordGroups[] = {"Presentation", "Light", "Material", "XYLine", kCursorGroup};

template <class... Visitors>
struct Overloaded : Visitors... {
    using Visitors::operator()...;
};
template <class... Visitors>
Overloaded(Visitors...) -> Overloaded<Visitors...>;

// Section of `group` for a record: prefix + group + kind.
std::string SectionName(const std::string& prefix, std::string_view group, ViewKind kind)
{
    return prefix + std::string(group) + ViewKindText(kind);
}

// The plain sections' prefix: files of version 1.2 named them without the image; an image
// file's own sections always name it.
std::string PlainPrefix(const ProfileFile& profile, const std::string& prefix)
{
    return profile.GetString(kIntroduction, "Ver") == "1.2" ? std::string() : prefix;
}

// The section `place` reads `group` of the `kind` record of image `imageName` from.
std::string RecordSectionToRead(const ProfileFile& profile, const SettingsPlace& place, const std::string& imageName,
                                std::string_view group, ViewKind kind)
{
    const std::string prefix = imageName + "_";
    return SectionToRead(profile, place, SectionName(prefix, group, kind),
                         SectionName(PlainPrefix(profile, prefix), group, kind));
}

// Takes a non-empty text read for `key` into its field.
void TakeValue(const CnfKey& key, const std::string& text, Record& settings)
{
    std::visit(Overloaded{
                   [&](int Record::*field) { settings.*field = TruncToInt32(ParseIniNumber(text)); },
                   [&](std::int16_t Record::*field) { settings.*field = ParseIniInt16(text); },
                   [&](float Record::*field) {
                       // The gate is tested on the number read, before it is rounded.
                       const double value = ParseIniNumber(text);
                       if (value >= key.low && value <= key.high)
                           settings.*field = static_cast<float>(value);
                   },
                   [&](COLORREF Record::*field) { settings.*field = ParseIniColor(text); },
                   [&](std::string Record::*field) { settings.*field = text; },
               },
               key.field);
}

std::string ValueText(const CnfKey& key, const Record& settings)
{
    return std::visit(Overloaded{
                          [&](int Record::*field) { return FormatFixed(settings.*field, 0); },
                          [&](std::int16_t Record::*field) { return FormatFixed(settings.*field, 0); },
                          [&](float Record::*field) { return FormatFixed(settings.*field, 2); },
                          [&](COLORREF Record::*field) { return FormatIniColor(settings.*field); },
                          [&](std::string Record::*field) { return settings.*field; },
                      },
                      key.field);
}

} // namespace

SettingsPlace PlainSettingsPlace(const std::string& cnfPath)
{
    return {cnfPath, {}, true};
}

std::string SectionToRead(const ProfileFile& profile, const SettingsPlace& place, std::string_view name,
                          std::string_view plainName)
{
    if (place.m_strQualifier.empty())
        return std::string(plainName);
    std::string own = SectionToWrite(place, name);
    return profile.HasSection(own) || !place.m_bPlainSectionsOwn ? own : std::string(plainName);
}

std::string SectionToWrite(const SettingsPlace& place, std::string_view name)
{
    return place.m_strQualifier + std::string(name);
}

void LoadCnf(const ProfileFile& profile, ViewKind kind, CPresentationConfig& settings, const SettingsPlace& place)
{
    const auto section = [&](std::string_view group) {
        return RecordSectionToRead(profile, place, settings.m_ImageName, group, kind);
    };
    for (const CnfKey& key : kCnfKeys) {
        const std::string text = profile.GetString(section(key.group), key.key);
        if (!text.empty())
            TakeValue(key, text, settings);
    }
    ComputeLightPosition(settings);
    LoadCursorList(profile, section(kCursorGroup), settings.m_ColorCursors);
}

bool StoreCnf(ProfileFile& profile, ViewKind kind, const CPresentationConfig& settings, const SettingsPlace& place)
{
    const std::string prefix = settings.m_ImageName + "_";
    const auto section = [&](std::string_view group) {
        return SectionToWrite(place, SectionName(prefix, group, kind));
    };
    bool ok = profile.SetString(kIntroduction, "Ver", "2.1");
    for (const CnfKey& key : kCnfKeys)
        ok = ok && profile.SetString(section(key.group), key.key, ValueText(key, settings));
    return ok && StoreCursorList(profile, section(kCursorGroup), settings.m_ColorCursors);
}

bool HoldsRecord(const ProfileFile& profile, const SettingsPlace& place, const std::string& imageName, ViewKind kind)
{
    return std::ranges::any_of(kRecordGroups, [&](std::string_view group) {
        return profile.HasSection(RecordSectionToRead(profile, place, imageName, group, kind));
    });
}

std::vector<std::string> QualifiersHoldingRecord(const ProfileFile& profile, const std::string& imageName,
                                                 ViewKind kind)
{
    const std::string prefix = imageName + "_";
    const std::string plainPrefix = PlainPrefix(profile, prefix);
    std::vector<std::string> qualifiers;
    const auto note = [&qualifiers](std::string_view qualifier) {
        if (std::ranges::none_of(qualifiers, [&](const std::string& q) { return ProfileFile::SameName(q, qualifier); }))
            qualifiers.emplace_back(qualifier);
    };
    for (const std::string& section : profile.SectionNames()) {
        for (std::string_view group : kRecordGroups) {
            const std::string own = SectionName(prefix, group, kind);
            if (ProfileFile::SameName(section, SectionName(plainPrefix, group, kind))) {
                note({});
            } else if (section.size() > own.size()) {
                // A qualifier is an extension (no point after its own) and ":".
                const std::string_view qualifier = std::string_view(section).substr(0, section.size() - own.size());
                if (ProfileFile::SameName(std::string_view(section).substr(qualifier.size()), own) &&
                    qualifier.size() > 1 && qualifier.front() == '.' && qualifier.back() == ':' &&
                    qualifier.find('.', 1) == std::string_view::npos)
                    note(qualifier);
            }
        }
    }
    return qualifiers;
}

bool SameStoredSettings(const CPresentationConfig& a, const CPresentationConfig& b)
{
    const auto same = [&a, &b](const CnfKey& key) {
        return std::visit([&a, &b](auto field) { return a.*field == b.*field; }, key.field);
    };
    return std::ranges::all_of(kCnfKeys, same) && a.m_ColorCursors == b.m_ColorCursors;
}

FileReadResult ReadCnf(const SettingsPlace& place, ViewKind kind, CPresentationConfig& settings)
{
    const ProfileFile profile = ProfileFile::Load(place.m_strFile);
    LoadCnf(profile, kind, settings, place);
    return profile.LoadResult();
}

bool WriteCnf(const SettingsPlace& place, ViewKind kind, const CPresentationConfig& settings)
{
    ProfileFile profile = ProfileFile::Load(place.m_strFile);
    return StoreCnf(profile, kind, settings, place) && profile.Save();
}

FileReadResult ReadCnf(const std::string& path, ViewKind kind, CPresentationConfig& settings)
{
    return ReadCnf(PlainSettingsPlace(path), kind, settings);
}

bool WriteCnf(const std::string& path, ViewKind kind, const CPresentationConfig& settings)
{
    return WriteCnf(PlainSettingsPlace(path), kind, settings);
}
