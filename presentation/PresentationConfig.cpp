#include "presentation/PresentationConfig.h"

#include <algorithm>
#include <cmath>
#include <utility>

const char* ViewKindText(ViewKind kind)
{
    return kind == ViewKind::View3D ? "3D" : "2D";
}

ViewKind ViewKindForSettingsIndex(int settingsIndex)
{
    return settingsIndex != 0 ? ViewKind::View3D : ViewKind::View2D;
}

CPresentationConfig::CPresentationConfig()
{
    ComputeLightPosition(*this);
}

void SetPresentationDefaults(ViewKind kind, CPresentationConfig& settings)
{
    CPresentationConfig defaults;
    const bool is3D = kind == ViewKind::View3D;
    defaults.m_EnablePolygonLight = is3D ? 1 : 0;
    defaults.m_EnablePolygonColor = is3D ? 0 : 1;
    defaults.m_ColorCursors = std::move(settings.m_ColorCursors);
    defaults.m_pColorTable = std::move(settings.m_pColorTable);
    defaults.m_NameOfImageForColor = std::move(settings.m_NameOfImageForColor);
    defaults.m_ImageName = std::move(settings.m_ImageName);
    settings = std::move(defaults);
}

void ComputeLightPosition(CPresentationConfig& settings)
{
    // Degrees to radians with 6.28 for two pi: stored files and the panels agree on it.
    const float perDegree = 1.0f / 360.0f;
    const double angle = static_cast<double>(settings.m_LightAngle) * perDegree * 6.28;
    settings.m_LightPosition = {static_cast<float>(1000.0 * std::sin(angle)),
                                static_cast<float>(1000.0 * std::cos(angle)),
                                -settings.m_LightHight, 1.0f};
}

double WrapDegrees(double degrees)
{
    if ((degrees >= 0.0 && degrees <= 360.0) || !std::isfinite(degrees))
        return degrees;
    const double turned = std::fmod(degrees, 360.0);
    return turned < 0.0 ? turned + 360.0 : turned;
}

namespace {

// The automatic range as fractions of the image's whole range; a flat image spans 0..1.
std::pair<float, float> AutomaticSpan(const HeightRange& imageRange, const HeightRange& automaticRange)
{
    const double range = imageRange.max - imageRange.min;
    if (!(range > 0.0) || !std::isfinite(range))
        return {0.0f, 1.0f};
    return {static_cast<float>((automaticRange.min - imageRange.min) / range),
            static_cast<float>((automaticRange.max - imageRange.min) / range)};
}

} // namespace

std::vector<ColorCursor> DefaultColorCursors(ViewKind kind, const HeightRange& imageRange,
                                             const HeightRange& automaticRange)
{
    const COLORREF dark = kind == ViewKind::View3D ? MakeColor(128, 128, 128) : MakeColor(0, 0, 0);
    const auto [low, high] = AutomaticSpan(imageRange, automaticRange);
    return {{dark, low}, {MakeColor(255, 255, 255), high}};
}

void RefitColorCursors(std::vector<ColorCursor>& cursors, const HeightRange& imageRange,
                       const HeightRange& automaticRange)
{
    if (cursors.empty())
        return;
    const auto [first, last] = std::minmax_element(cursors.begin(), cursors.end(),
        [](const ColorCursor& a, const ColorCursor& b) { return a.m_Position < b.m_Position; });
    const double from = first->m_Position;
    const double span = last->m_Position - from;
    const auto [low, high] = AutomaticSpan(imageRange, automaticRange);
    for (ColorCursor& cursor : cursors) {
        const double t = span > 0.0 ? (cursor.m_Position - from) / span : 0.0;
        cursor.m_Position = static_cast<float>(low + t * (static_cast<double>(high) - low));
    }
}
