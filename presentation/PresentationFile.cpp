#include "presentation/PresentationFile.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <variant>

#include "platform/core/NumberText.h"
#include "platform/core/PathText.h"
#include "platform/core/Prompt.h"
#include "presentation/ConfigPanelModel.h"
#include "presentation/IniConversions.h"
#include "presentation/PaletteFile.h"

namespace {

constexpr std::string_view kIntroduction = "Introduction";

using Record = CPresentationConfig;
// A stored field: integers are written "%.0f", floats "%.2f" (more decimals only where
// two would change the value), colours as "r,g,b", texts as they are.
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

// The Z scale and tilt a file gives back: whatever the panel takes (the 3D view's drags stay
// within it), so that a value set there reopens as it was saved.
constexpr const ConfigEditSpec& kZScaleRange = kConfigEdits[kEditZScale];
constexpr const ConfigEditSpec& kTiltRange = kConfigEdits[kEditTilt];

// Every key of a record in the order the writer writes it; the cursor list follows.
const CnfKey kCnfKeys[] = {
    {"Presentation", "BackgroundColor", &Record::m_BackgroundColor},
    {"Presentation", "Border", &Record::m_Border},
    {"Presentation", "BorderColor", &Record::m_BorderColor},
    {"Presentation", "Z_Scale", &Record::m_Z_Scale, kZScaleRange.min, kZScaleRange.max},
    {"Presentation", "Tilt", &Record::m_Tilt, kTiltRange.min, kTiltRange.max},
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

// The sections `place` may read `group` of the `kind` record of image `imageName` from, in the
// order they count: the image file's own one; then, where the plain sections count as its
// own, the plain one; and last, where `withCommon`, the one without the image's name that
// files of version 1.2 kept the record of every image of every file in. Those name no image
// file, so they serve each file of a series (scan.001, scan.002 beside an old scan.cnf) until
// it keeps a record of its own; a file written since keeps them for the images that have none
// yet: a save of one image's record (which sets "Ver" anew) must not take every other image's
// away. A file still of version 1.2 names no image at all.
std::vector<std::string> RecordSectionsToRead(const ProfileFile& profile, const SettingsPlace& place,
                                              const std::string& imageName, std::string_view group, ViewKind kind,
                                              bool withCommon = true)
{
    const std::string prefix = imageName + "_";
    std::vector<std::string> sections;
    if (!place.m_strQualifier.empty())
        sections.push_back(SectionToWrite(place, SectionName(prefix, group, kind)));
    if ((place.m_strQualifier.empty() || place.m_bPlainSectionsOwn) && profile.GetString(kIntroduction, "Ver") != "1.2")
        sections.push_back(SectionName(prefix, group, kind));
    if (withCommon)
        sections.push_back(SectionName({}, group, kind));
    return sections;
}

// The section `place` reads `group` of the `kind` record of image `imageName` from: the first
// of them the file has, else the first (absent) one.
std::string RecordSectionToRead(const ProfileFile& profile, const SettingsPlace& place, const std::string& imageName,
                                std::string_view group, ViewKind kind)
{
    const std::vector<std::string> sections = RecordSectionsToRead(profile, place, imageName, group, kind);
    const auto present = std::ranges::find_if(sections, [&](const std::string& s) { return profile.HasSection(s); });
    return present != sections.end() ? *present : sections.front();
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
                          [&](float Record::*field) { return FormatIniFloat(settings.*field); },
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

std::optional<std::string> CnfStoreRefusal(const SettingsPlace& place, ViewKind kind,
                                           const CPresentationConfig& settings)
{
    const auto refusal = [&](const std::string& why) {
        return "Unable to save the " + std::string(ViewKindText(kind)) + " settings of " + settings.m_ImageName +
               " in " + FileNameOf(place.m_strFile) + ": " + why + ".";
    };
    // Every section of the record names the image alike, and the group and the kind never fail.
    if (const auto why = ProfileFile::WhyNotSection(SectionToWrite(place, SectionName(settings.m_ImageName + "_",
                                                                                      kRecordGroups[0], kind))))
        return refusal("the image's name is part of their section names, and " + *why);
    for (const CnfKey& key : kCnfKeys)
        if (const auto why = ProfileFile::WhyNotValue(ValueText(key, settings)))
            return refusal("their " + std::string(key.key) + " is \"" + ValueText(key, settings) + "\", and " + *why);
    return std::nullopt;
}

bool StoreCnf(ProfileFile& profile, ViewKind kind, const CPresentationConfig& settings, const SettingsPlace& place)
{
    if (CnfStoreRefusal(place, kind, settings))
        return false;
    const std::string prefix = settings.m_ImageName + "_";
    const auto section = [&](std::string_view group) {
        return SectionToWrite(place, SectionName(prefix, group, kind));
    };
    bool ok = profile.SetString(kIntroduction, "Ver", "2.1");
    for (const CnfKey& key : kCnfKeys)
        ok = ok && profile.SetString(section(key.group), key.key, ValueText(key, settings));
    return ok && StoreCursorList(profile, section(kCursorGroup), settings.m_ColorCursors);
}

bool HoldsOwnRecord(const ProfileFile& profile, const SettingsPlace& place, const std::string& imageName,
                    ViewKind kind)
{
    return std::ranges::any_of(kRecordGroups, [&](std::string_view group) {
        return std::ranges::any_of(RecordSectionsToRead(profile, place, imageName, group, kind, false),
                                   [&](const std::string& section) { return profile.HasSection(section); });
    });
}

bool ReadsRecordFrom(const ProfileFile& profile, const SettingsPlace& reader, const std::string& imageName,
                     ViewKind kind, const SettingsPlace& written, const std::string& writtenImageName)
{
    return std::ranges::any_of(kRecordGroups, [&](std::string_view group) {
        return ProfileFile::SameName(RecordSectionToRead(profile, reader, imageName, group, kind),
                                     SectionToWrite(written, SectionName(writtenImageName + "_", group, kind)));
    });
}

std::vector<std::string> QualifiersHoldingRecord(const ProfileFile& profile, const std::string& imageName,
                                                 ViewKind kind)
{
    const std::string prefix = imageName + "_";
    std::vector<std::string> qualifiers;
    const auto note = [&qualifiers](std::string_view qualifier) {
        if (std::ranges::none_of(qualifiers, [&](const std::string& q) { return ProfileFile::SameName(q, qualifier); }))
            qualifiers.emplace_back(qualifier);
    };
    // Per group: the section an image file's qualifier goes before, and the plain ones.
    struct GroupSections {
        std::string own;
        std::vector<std::string> plain;
    };
    std::vector<GroupSections> groups;
    for (std::string_view group : kRecordGroups)
        groups.push_back({SectionName(prefix, group, kind),
                          RecordSectionsToRead(profile, PlainSettingsPlace(profile.Path()), imageName, group, kind)});
    for (const std::string& section : profile.SectionNames()) {
        for (const auto& [own, plain] : groups) {
            if (std::ranges::any_of(plain, [&](const std::string& name) { return ProfileFile::SameName(section, name); })) {
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

bool SaveRecordAt(const SettingsPlace& place, ViewKind kind, const CPresentationConfig& settings)
{
    if (const std::optional<std::string> refusal = CnfStoreRefusal(place, kind, settings)) {
        Prompt().Message(*refusal);
        return false;
    }
    if (!WriteCnf(place, kind, settings)) {
        Prompt().Message(kTextUnableToWrite);
        return false;
    }
    return true;
}

FileReadResult ReadCnf(const std::string& path, ViewKind kind, CPresentationConfig& settings)
{
    return ReadCnf(PlainSettingsPlace(path), kind, settings);
}

bool WriteCnf(const std::string& path, ViewKind kind, const CPresentationConfig& settings)
{
    return WriteCnf(PlainSettingsPlace(path), kind, settings);
}
