// The arithmetic of the profile plot: its geometry in a client rectangle, the range,
// exponent and tick step of each axis, the tick values and their labels, and the texts of
// the readouts.
#pragma once

#include <array>
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

// Ticks at whole multiples of the step from the scaled minimum on, while below the maximum
// less a quarter step (horizontal axis) or half a step (vertical axis), so that each grid
// line lies where its label's value is.
std::vector<double> TickValues(const PlotAxis& axis);

// Plot coordinate of `value` in [min, max]: -0.5 at min, 0.5 at max; 0, the centre line,
// when the range is empty.
double PlotFraction(double value, double min, double max);

// The label of tick `value` (scaled units), rounded to the decimals that write every
// multiple of the step exactly (one more on the horizontal axis for steps below 1), the
// exponent appended as "-e+4".
std::string FormatTickLabel(const PlotAxis& axis, double value);

// Decimals that tell two values `step` apart (a step of 0.00346 needs 3), never fewer than
// `fewest`; a step that is not a positive number gives `fewest`.
int DecimalsResolving(double step, int fewest);

// `value` rounded to `decimals`; a value that rounds to zero reads without a minus sign.
std::string FormatRounded(double value, int decimals);

// The readouts of one line after its head: "[a] = ", "[b] = " and "[b]-[a] = " with the
// values under the cursors and their difference, resolving `step` and with at least `fewest`
// decimals.
std::array<std::string, 3> ReadoutTexts(double a, double b, double step, int fewest);

// Where the head and the three readouts of a line of texts `widths` wide begin: every 100
// pixels from `left`, but a text longer than that pushes the next one on by `gap` past its
// end rather than run into it (many decimals, a long head).
std::array<int, 4> ReadoutColumns(int left, const std::array<int, 4>& widths, int gap);
