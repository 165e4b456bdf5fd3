#include "presentation/ProfilePlotMath.h"

#include <algorithm>
#include <cmath>

#include "platform/core/NumberText.h"

namespace {

// More ticks than any plot can show: a guard against steps too small to advance.
constexpr std::size_t kMaxTicks = 10000;

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
    const double margin = axis.m_bIsX ? 0.25 : 0.5;
    const double end = axis.m_dMaxScaled - margin * axis.m_dStep;
    std::vector<double> ticks;
    for (double t = axis.m_dMinScaled; t < end && ticks.size() < kMaxTicks; t += axis.m_dStep) {
        ticks.push_back(t);
        if (!(t + axis.m_dStep > t))
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
    if (value == 0.0)
        return "0.0";
    std::string text = FormatFixed(value, 10);
    int decimals = TruncToInt32(std::ceil(-std::log10(axis.m_dStep)));
    if (decimals < 1)
        decimals = -1;
    else if (axis.m_bIsX)
        decimals += 1;
    const std::size_t point = text.find('.');
    if (point != std::string::npos) {
        const std::size_t keep = decimals < 0 ? point : point + 1 + static_cast<std::size_t>(decimals);
        text.resize(std::min(keep, text.size()));
    }
    if (axis.m_nExponent != 0)
        text += "-e" + std::string(axis.m_nExponent > 0 ? "+" : "") + std::to_string(axis.m_nExponent);
    return text;
}
