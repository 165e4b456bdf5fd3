// How one image is shown in one kind of view and the palette it is coloured with.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "presentation/ColorCursor.h"

// Which record of an image's pair a view uses: the 2D record also serves the profile view.
enum class ViewKind { View2D, View3D };

// "2D" or "3D": the kind's text, also the last part of its presentation-file section names.
const char* ViewKindText(ViewKind kind);
// A frame's settings index (0 for 2D and profile frames, anything else for 3D) as a kind.
ViewKind ViewKindForSettingsIndex(int settingsIndex);

class CPresentationConfig {
public:
    int m_ViewPersp = 1;           // perspective projection
    int m_ZaxisVertical = 0;       // keep the Z axis vertical
    int m_Border = 1;              // draw the side walls of the surface
    int m_DrawAxiz = 1;            // draw axes with labels
    int m_HightColorLine = 0;      // grid lines take the height colours
    int m_EnadleSmooth = 1;        // smoothed vertex normals
    float m_Z_Scale = 30.0f;       // vertical exaggeration
    float m_Tilt = 60.0f;          // elevation of the view, degrees
    float m_Angle = 50.0f;         // azimuth of the view, degrees
    float m_LightAngle = 230.0f;   // azimuth of the light, degrees
    float m_LightHight = 1200.0f;  // height of the light
    // x, y, z, w; derived from m_LightAngle and m_LightHight by ComputeLightPosition and
    // never stored in a file.
    std::array<float, 4> m_LightPosition{};
    float m_LightIntensity = 0.74f;
    float m_MatReflect = 0.06f;
    float m_MatEmiss = 0.0f;
    int m_EnablePolygon = 1;       // draw the filled surface
    int m_EnablePolygonLight = 0;  // light the surface
    int m_EnablePolygonColor = 1;  // colour the surface by height, else m_PolygonColor
    COLORREF m_BorderColor = MakeColor(128, 128, 128);
    COLORREF m_BackgroundColor = MakeColor(200, 200, 200);
    COLORREF m_XLineColor = MakeColor(0, 0, 0);
    COLORREF m_YLineColor = MakeColor(0, 0, 0);
    COLORREF m_PolygonColor = MakeColor(255, 255, 255);
    int m_DrawXYLine = 3;          // grid lines drawn: 0 X and Y, 1 X only, 2 Y only, 3 none
    std::int16_t m_XLineDecim = 3; // every n-th row gives an X line
    std::int16_t m_YLineDecim = 3; // every n-th column gives a Y line
    std::int16_t m_XLineShift = 0; // offset of the first X line
    std::int16_t m_YLineShift = 0; // offset of the first Y line
    std::int16_t m_XLineWidth = 2; // pixels
    std::int16_t m_YLineWidth = 2; // pixels
    std::vector<ColorCursor> m_ColorCursors;  // the palette, in list order
    // Built from the palette by the views (CreateColorArray); one entry per histogram bin of
    // the colour-source image.
    std::vector<COLORREF> m_pColorTable;
    std::string m_NameOfImageForColor;  // image whose heights and palette colour this view
    std::string m_ImageName;            // image the record belongs to; prefix of its sections

    CPresentationConfig();
};

// The pair every image carries: element 0 for 2D and profile views, element 1 for 3D views.
using SettingsPair = std::array<CPresentationConfig, 2>;
inline constexpr int kSettings2D = 0;
inline constexpr int kSettings3D = 1;
// The record of a pair that serves views of `kind`.
constexpr std::size_t SettingsIndexOf(ViewKind kind)
{
    return kind == ViewKind::View2D ? kSettings2D : kSettings3D;
}

// Every default field of the record for the kind; the palette, its table and both names
// are left as they are.
void SetPresentationDefaults(ViewKind kind, CPresentationConfig& settings);
// Recomputes m_LightPosition from m_LightAngle and m_LightHight.
void ComputeLightPosition(CPresentationConfig& settings);
// An azimuth (the view's angle, the light's) with its full turns taken off: a value in
// 0..360 stays as it is, any other comes into 0..360, showing the same view.
double WrapDegrees(double degrees);

// A height range [min, max].
struct HeightRange {
    double min = 0.0;
    double max = 0.0;
};

// The palette a new record starts with: a dark cursor (black for 2D, grey for 3D) at the
// automatic range's minimum and a white one at its maximum, both as fractions of the
// image's whole range. A flat image (whole range 0) gets its cursors at 0 and 1.
std::vector<ColorCursor> DefaultColorCursors(ViewKind kind, const HeightRange& imageRange,
                                             const HeightRange& automaticRange);

// After the heights of the colour image changed (a filter, a crop, Undo): stretches the
// palette so its lowest and highest cursors lie where DefaultColorCursors would put them,
// the cursors between keeping their places within the span and every cursor its colour.
// Fractions of the old range would otherwise name other heights, and a crop to a high
// plateau shows almost all white.
void RefitColorCursors(std::vector<ColorCursor>& cursors, const HeightRange& imageRange,
                       const HeightRange& automaticRange);
