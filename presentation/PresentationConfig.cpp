#include "presentation/PresentationConfig.h"

#include <cmath>

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

std::vector<ColorCursor> DefaultColorCursors(ViewKind kind, const HeightRange& imageRange,
                                             const HeightRange& automaticRange)
{
    const COLORREF dark = kind == ViewKind::View3D ? MakeColor(128, 128, 128) : MakeColor(0, 0, 0);
    const COLORREF white = MakeColor(255, 255, 255);
    const double range = imageRange.max - imageRange.min;
    if (!(range > 0.0) || !std::isfinite(range))
        return {{dark, 0.0f}, {white, 1.0f}};
    return {{dark, static_cast<float>((automaticRange.min - imageRange.min) / range)},
            {white, static_cast<float>((automaticRange.max - imageRange.min) / range)}};
}
