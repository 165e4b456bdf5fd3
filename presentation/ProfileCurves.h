// What the profile view hands to its plots: the samples of each curve and the descriptor
// with its colour, texts and the readouts under the two cursors.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "presentation/PresentationConfig.h"
#include "presentation/ProfileSampling.h"

struct ProfilePlotDesc {
    COLORREF m_crColor = 0;   // curve and readouts
    int m_nPenWidth = 2;      // of the curve
    double m_dCursorA = 0.0;  // fractions of the profile
    double m_dCursorB = 0.0;
    std::string m_strQuantity;  // quantity name up to its first blank
    std::string m_strUnit;      // Z unit
    std::string m_strPosUnit;   // XY unit, that of the distances
    double m_dPosA = 0.0;       // distance and height of the samples under the cursors
    double m_dPosB = 0.0;
    double m_dValueA = 0.0;
    double m_dValueB = 0.0;
    // What the image resolves: the smaller of its X and Y steps for distances, its Z scale
    // (Z unit per raw sample) for heights. The readouts show as many decimals as tell one
    // such step from the next.
    double m_dPosStep = 0.0;
    double m_dValueStep = 0.0;
};

// The fewest decimals of the readouts: the full plot's lines, the second curve's line.
inline constexpr int kReadoutDecimals = 1;
inline constexpr int kCompactReadoutDecimals = 2;

struct ProfileCurve {
    std::vector<ProfilePoint> m_profile;
    ProfilePlotDesc m_desc;
};

inline constexpr COLORREF kFirstProfileColor = MakeColor(255, 0, 0);
inline constexpr COLORREF kSecondProfileColor = MakeColor(0, 0, 255);

// The text before the first `mark`, unless the mark is the first character (or absent).
std::string CutBeforeMark(std::string text, char mark);

// The curves of a document's images along the segment p1..p2: the first image's in red and,
// when there is a second, that image's at the same points in blue; further images are not
// drawn. Every curve takes its step count from the first image.
std::vector<ProfileCurve> ProfileCurves(std::span<const CSpmImage* const> images, ImagePoint p1,
                                        ImagePoint p2, const ProfileCursors& cursors);
