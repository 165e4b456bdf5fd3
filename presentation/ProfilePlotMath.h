// The arithmetic of the profile plot: its geometry in a client rectangle, the range,
// exponent and tick step of each axis, the tick values and their labels.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "presentation/ProfileSampling.h"

// The plot area inside a rectangle: margins of about 90 pixels left, 20 right, 35 top and
// 80 bottom (for the readouts); plot coordinate 0 lies at (m_nOrgX, m_nOrgY).
struct PlotGeometry {
    int m_nPlotWidth = 0;
    int m_nPlotHeight = 0;
    int m_nOrgX = 0;
    int m_nOrgY = 0;

    int ValueToPixelX(double v) const;
    int ValueToPixelY(double v) const;
};

PlotGeometry PlotGeometryFor(int left, int top, int right, int bottom);

// Range and ticks of one axis: the horizontal axis takes the samples' distances, the
// vertical one their heights.
struct PlotAxis {
    int m_nExponent = 0;       // power of ten of the labels
    bool m_bIsX = false;
    double m_dRangeMin = 0.0;  // data range
    double m_dRangeMax = 0.0;
    double m_dScale = 0.0;     // 10 to the power m_nExponent
    double m_dStep = 0.0;      // tick step in scaled units
    double m_dStepData = 0.0;  // tick step in data units
    double m_dMinScaled = 0.0;
    double m_dMaxScaled = 0.0;
    double m_dCurveMin = 0.0;  // data range the curve is placed in
    double m_dCurveMax = 0.0;
};

// The axis spans exactly its data; labels are scaled by a power of ten when the largest
// magnitude lies outside 0.001..10000. A profile without samples leaves the axis as it is.
void CalcAxisRange(std::span<const ProfilePoint> profile, PlotAxis& axis);

// A step of 0.2, 0.25, 0.5 or 1 times a power of ten that divides `range` into about 5 to
// 10 ticks.
void NiceStep(double range, double& step);

// Ticks at the scaled minimum plus whole steps, while below the maximum less a quarter
// step (horizontal axis) or half a step (vertical axis).
std::vector<double> TickValues(const PlotAxis& axis);

// Plot coordinate of `value` in [min, max]: -0.5 at min, 0.5 at max; 0, the centre line,
// when the range is empty.
double PlotFraction(double value, double min, double max);

// The label of tick `value` (scaled units): decimals by the step (one more on the
// horizontal axis), the exponent appended as "-e+4"; exactly 0 reads "0.0".
std::string FormatTickLabel(const PlotAxis& axis, double value);
