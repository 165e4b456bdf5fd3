#include "presentation/ProfilePlotMath.h"

#include <algorithm>
#include <cmath>

#include "platform/core/NumberText.h"

namespace {

// More ticks than any plot can show: a guard against steps too small to advance.
constexpr std::size_t kMaxTicks = 10000;
// More decimals than any step of a scan needs; keeps a readout of a degenerate step short.
constexpr int kMostDecimals = 10;
// Leeway for the rounding errors of a division or a logarithm: a step of 0.01 kept as a
// float lies just below 0.01 and still needs only 2 decimals, and a minimum that is a whole
// multiple of the step is its own first tick.
constexpr double kSlack = 1e-6;

// The decimals that show one step: ceil(-log10(step)), at most kMostDecimals.
int DecimalsOfStep(double step)
{
    return std::min(TruncToInt32(std::ceil(-std::log10(step) - kSlack)), kMostDecimals);
}

// The fewest decimals that write every whole multiple of the step exactly (2 for 0.25).
int ExactDecimals(double step)
{
    double scaled = step;
    for (int decimals = 0; decimals < kMostDecimals; ++decimals, scaled *= 10.0)
        if (std::fabs(scaled - std::round(scaled)) <= kSlack * scaled)
            return decimals;
    return kMostDecimals;
}

// Decimals of an axis's labels: those of its step, one more on the horizontal axis for a
// step below 1, and always enough for every multiple of the step (a step of 2.5 needs one).
int TickLabelDecimals(const PlotAxis& axis)
{
    if (!(axis.m_dStep > 0.0) || !std::isfinite(axis.m_dStep))
        return 0;
    int decimals = std::max(DecimalsOfStep(axis.m_dStep), 0);
    if (decimals > 0 && axis.m_bIsX)
        decimals += 1;
    return std::max(decimals, ExactDecimals(axis.m_dStep));
}

} // namespace

int PlotGeometry::ValueToPixelX(double v) const
{
    return TruncToInt32(m_nPlotWidth * v) + m_nOrgX;
}

int PlotGeometry::ValueToPixelY(double v) const
{
    return m_nOrgY - TruncToInt32(m_nPlotHeight * v);
}

PlotGeometry PlotGeometryFor(int left, int top, int right, int bottom)
{
    PlotGeometry geometry;
    geometry.m_nPlotWidth = (right - left) - 110;
    geometry.m_nPlotHeight = (bottom - top) - 115;
    geometry.m_nOrgX = geometry.m_nPlotWidth / 2 + 90;
    geometry.m_nOrgY = geometry.m_nPlotHeight / 2 + 35;
    return geometry;
}

void CalcAxisRange(std::span<const ProfilePoint> profile, PlotAxis& axis)
{
    if (profile.empty())
        return;
    auto value = [&](const ProfilePoint& p) { return axis.m_bIsX ? p.m_dDistance : p.m_dHeight; };
    double min = value(profile.front());
    double max = min;
    for (const ProfilePoint& point : profile) {
        min = std::min(min, value(point));
        max = std::max(max, value(point));
    }
    const double big = std::max(std::fabs(min), std::fabs(max));
    const double magnitude = big > 0.0 ? std::log10(big) + 3.0 : 0.0;
    int exponent = TruncToInt32(std::floor(magnitude / 7.0));
    if (exponent != 0)
        exponent = TruncToInt32(std::floor(magnitude)) - 3;
    axis.m_nExponent = exponent;
    axis.m_dScale = std::pow(10.0, exponent);
    axis.m_dRangeMin = min;
    axis.m_dRangeMax = max;
    double range = (max - min) / axis.m_dScale;
    if (range == 0.0)
        range = 0.5;
    NiceStep(range, axis.m_dStep);
    axis.m_dStepData = axis.m_dStep * axis.m_dScale;
    axis.m_dCurveMin = min;
    axis.m_dCurveMax = max;
    axis.m_dMinScaled = min / axis.m_dScale;
    axis.m_dMaxScaled = max / axis.m_dScale;
}

void NiceStep(double range, double& step)
{
    const double power = std::pow(10.0, std::floor(std::log10(range)));
    const double mantissa = range / power;
    if (mantissa < 1.99)
        step = 0.2 * power;
    else if (mantissa < 2.49)
        step = 0.25 * power;
    else if (mantissa < 4.99)
        step = 0.5 * power;
    else
        step = power;  // also when a rounding error of log10 leaves the mantissa at 10 or more
}

std::vector<double> TickValues(const PlotAxis& axis)
{
    const double step = axis.m_dStep;
    std::vector<double> ticks;
    if (!(step > 0.0))
        return ticks;
    const double margin = axis.m_bIsX ? 0.25 : 0.5;
    const double end = axis.m_dMaxScaled - margin * step;
    for (double k = std::ceil(axis.m_dMinScaled / step - kSlack); ticks.size() < kMaxTicks; ++k) {
        const double t = k * step + 0.0;  // + 0.0: the tick at zero is never -0
        if (!(t < end))
            break;
        ticks.push_back(t);
        if (!(k + 1.0 > k))
            break;
    }
    return ticks;
}

double PlotFraction(double value, double min, double max)
{
    const double range = max - min;
    return range != 0.0 ? (value - min) / range - 0.5 : 0.0;
}

std::string FormatTickLabel(const PlotAxis& axis, double value)
{
    std::string text = FormatRounded(value, TickLabelDecimals(axis));
    if (axis.m_nExponent != 0)
        text += "-e" + std::string(axis.m_nExponent > 0 ? "+" : "") + std::to_string(axis.m_nExponent);
    return text;
}

int DecimalsResolving(double step, int fewest)
{
    if (!(step > 0.0) || !std::isfinite(step))
        return fewest;
    return std::max(DecimalsOfStep(step), fewest);
}

std::string FormatRounded(double value, int decimals)
{
    std::string text = FormatFixed(value, decimals);
    if (text.starts_with('-') && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

std::array<std::string, 3> ReadoutTexts(double a, double b, double step, int fewest)
{
    const int decimals = DecimalsResolving(step, fewest);
    return {"[a] = " + FormatRounded(a, decimals), "[b] = " + FormatRounded(b, decimals),
            "[b]-[a] = " + FormatRounded(b - a, decimals)};
}

std::array<int, 4> ReadoutColumns(int left, const std::array<int, 4>& widths, int gap)
{
    constexpr int kColumn = 100;
    std::array<int, 4> columns{left};
    for (std::size_t i = 1; i < columns.size(); ++i)
        columns[i] = std::max(left + kColumn * static_cast<int>(i), columns[i - 1] + widths[i - 1] + gap);
    return columns;
}
