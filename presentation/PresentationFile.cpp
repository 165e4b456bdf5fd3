#include "presentation/PresentationFile.h"

#include <cmath>
#include <cstdint>

#include "platform/core/NumberText.h"
#include "presentation/IniConversions.h"
#include "presentation/PaletteFile.h"

namespace {

constexpr std::string_view kIntroduction = "Introduction";

// Section of `group` for the record: prefix + group + kind.
std::string SectionName(const std::string& prefix, std::string_view group, ViewKind kind)
{
    return prefix + std::string(group) + ViewKindText(kind);
}

// Reads keys of one section; a key whose text is empty leaves its field unchanged.
class SectionReader {
public:
    SectionReader(const ProfileFile& profile, std::string section)
        : m_profile(profile), m_section(std::move(section)) {}

    const std::string& Section() const { return m_section; }

    void Int(std::string_view key, int& field) const
    {
        if (const std::string text = Text(key); !text.empty())
            field = TruncToInt32(ParseIniNumber(text));
    }
    void Int16(std::string_view key, std::int16_t& field) const
    {
        if (const std::string text = Text(key); !text.empty())
            field = TruncToInt16Bits(ParseIniNumber(text));
    }
    // Taken only within [low, high].
    void Float(std::string_view key, float& field, double low = -HUGE_VAL,
               double high = HUGE_VAL) const
    {
        if (const std::string text = Text(key); !text.empty()) {
            const double value = ParseIniNumber(text);
            if (value >= low && value <= high)
                field = static_cast<float>(value);
        }
    }
    void Color(std::string_view key, COLORREF& field) const
    {
        if (const std::string text = Text(key); !text.empty())
            field = ParseIniColor(text);
    }
    void Name(std::string_view key, std::string& field) const
    {
        if (std::string text = Text(key); !text.empty())
            field = std::move(text);
    }

private:
    std::string Text(std::string_view key) const { return m_profile.GetString(m_section, key); }

    const ProfileFile& m_profile;
    std::string m_section;
};

// Writes keys of one section; remembers whether every write could be stored.
class SectionWriter {
public:
    SectionWriter(ProfileFile& profile, std::string section)
        : m_profile(profile), m_section(std::move(section)) {}

    bool Ok() const { return m_ok; }

    void Text(std::string_view key, std::string_view value)
    {
        m_ok = m_profile.SetString(m_section, key, value) && m_ok;
    }
    void Int(std::string_view key, int value) { Text(key, FormatFixed(value, 0)); }
    void Float(std::string_view key, float value) { Text(key, FormatFixed(value, 2)); }
    void Color(std::string_view key, COLORREF value) { Text(key, FormatIniColor(value)); }

private:
    ProfileFile& m_profile;
    std::string m_section;
    bool m_ok = true;
};

} // namespace

void LoadCnf(const ProfileFile& profile, ViewKind kind, CPresentationConfig& settings)
{
    const std::string prefix =
        profile.GetString(kIntroduction, "Ver") == "1.2" ? std::string() : settings.m_ImageName + "_";

    const SectionReader presentation(profile, SectionName(prefix, "Presentation", kind));
    presentation.Color("BackgroundColor", settings.m_BackgroundColor);
    presentation.Int("Border", settings.m_Border);
    presentation.Color("BorderColor", settings.m_BorderColor);
    presentation.Int("ViewPersp", settings.m_ViewPersp);
    presentation.Int("ZaxisVertical", settings.m_ZaxisVertical);
    presentation.Int("DrawAxiz", settings.m_DrawAxiz);
    presentation.Float("Z_Scale", settings.m_Z_Scale, 0.1, 100.0);
    presentation.Float("Tilt", settings.m_Tilt, 0.0, 90.0);
    presentation.Float("Angle", settings.m_Angle);
    presentation.Name("NameOfImageForColor", settings.m_NameOfImageForColor);
    presentation.Int("EnablePolygon", settings.m_EnablePolygon);
    presentation.Int("EnablePolygonColor", settings.m_EnablePolygonColor);
    presentation.Int("EnablePolygonLight", settings.m_EnablePolygonLight);
    presentation.Int("DrawXYLine", settings.m_DrawXYLine);

    const SectionReader light(profile, SectionName(prefix, "Light", kind));
    light.Int("EnadleSmooth", settings.m_EnadleSmooth);
    light.Float("LightAngle", settings.m_LightAngle);
    light.Float("LightHight", settings.m_LightHight);
    ComputeLightPosition(settings);
    light.Float("LightIntensity", settings.m_LightIntensity);

    const SectionReader material(profile, SectionName(prefix, "Material", kind));
    material.Float("MatEmiss", settings.m_MatEmiss);
    material.Float("MatReflect", settings.m_MatReflect);
    material.Color("PolygonColor", settings.m_PolygonColor);

    LoadCursorList(profile, SectionName(prefix, "ColorCursor", kind), settings.m_ColorCursors);

    const SectionReader lines(profile, SectionName(prefix, "XYLine", kind));
    lines.Int("HightColorLine", settings.m_HightColorLine);
    lines.Int16("XLineDecim", settings.m_XLineDecim);
    lines.Int16("YLineDecim", settings.m_YLineDecim);
    lines.Int16("XLineShift", settings.m_XLineShift);
    lines.Int16("YLineShift", settings.m_YLineShift);
    lines.Int16("XLineWidth", settings.m_XLineWidth);
    lines.Int16("YLineWidth", settings.m_YLineWidth);
    lines.Color("XLineColor", settings.m_XLineColor);
    lines.Color("YLineColor", settings.m_YLineColor);
}

bool StoreCnf(ProfileFile& profile, ViewKind kind, const CPresentationConfig& settings)
{
    const std::string prefix = settings.m_ImageName + "_";
    bool ok = profile.SetString(kIntroduction, "Ver", "2.1");

    SectionWriter presentation(profile, SectionName(prefix, "Presentation", kind));
    presentation.Color("BackgroundColor", settings.m_BackgroundColor);
    presentation.Int("Border", settings.m_Border);
    presentation.Color("BorderColor", settings.m_BorderColor);
    presentation.Float("Z_Scale", settings.m_Z_Scale);
    presentation.Float("Tilt", settings.m_Tilt);
    presentation.Float("Angle", settings.m_Angle);
    presentation.Int("ViewPersp", settings.m_ViewPersp);
    presentation.Int("ZaxisVertical", settings.m_ZaxisVertical);
    presentation.Int("DrawAxiz", settings.m_DrawAxiz);
    presentation.Int("EnablePolygon", settings.m_EnablePolygon);
    presentation.Int("EnablePolygonColor", settings.m_EnablePolygonColor);
    presentation.Int("EnablePolygonLight", settings.m_EnablePolygonLight);
    presentation.Int("DrawXYLine", settings.m_DrawXYLine);
    presentation.Text("NameOfImageForColor", settings.m_NameOfImageForColor);

    SectionWriter light(profile, SectionName(prefix, "Light", kind));
    light.Int("EnadleSmooth", settings.m_EnadleSmooth);
    light.Float("LightAngle", settings.m_LightAngle);
    light.Float("LightHight", settings.m_LightHight);
    light.Float("LightIntensity", settings.m_LightIntensity);

    SectionWriter material(profile, SectionName(prefix, "Material", kind));
    material.Float("MatEmiss", settings.m_MatEmiss);
    material.Float("MatReflect", settings.m_MatReflect);
    material.Color("PolygonColor", settings.m_PolygonColor);

    SectionWriter lines(profile, SectionName(prefix, "XYLine", kind));
    lines.Int("XLineDecim", settings.m_XLineDecim);
    lines.Int("XLineShift", settings.m_XLineShift);
    lines.Int("XLineWidth", settings.m_XLineWidth);
    lines.Color("XLineColor", settings.m_XLineColor);
    lines.Int("YLineDecim", settings.m_YLineDecim);
    lines.Int("YLineShift", settings.m_YLineShift);
    lines.Int("YLineWidth", settings.m_YLineWidth);
    lines.Color("YLineColor", settings.m_YLineColor);
    lines.Int("HightColorLine", settings.m_HightColorLine);

    ok = StoreCursorList(profile, SectionName(prefix, "ColorCursor", kind), settings.m_ColorCursors) && ok;
    return ok && presentation.Ok() && light.Ok() && material.Ok() && lines.Ok();
}

FileReadResult ReadCnf(const std::string& path, ViewKind kind, CPresentationConfig& settings)
{
    const ProfileFile profile = ProfileFile::Load(path);
    LoadCnf(profile, kind, settings);
    return profile.LoadResult();
}

bool WriteCnf(const std::string& path, ViewKind kind, const CPresentationConfig& settings)
{
    ProfileFile profile = ProfileFile::Load(path);
    return StoreCnf(profile, kind, settings) && profile.Save();
}
