#include "presentation/ProfileSampling.h"

#include <algorithm>
#include <cmath>

#include "image/SpmImage.h"
#include "platform/core/NumberText.h"
#include "presentation/ProfilePlotMath.h"

namespace {

constexpr double kCursorTolerance = 0.01;

bool WithinPlotHeight(const PlotPoint& point) { return point.v > -0.5 && point.v < 0.5; }
bool WithinPlotWidth(const PlotPoint& point) { return point.u > -0.5 && point.u < 0.5; }
// Fraction of the profile under a plot point.
double FractionOf(const PlotPoint& point) { return point.u + 0.5; }

bool Near(double cursor, double fraction)
{
    return cursor - kCursorTolerance <= fraction && fraction <= cursor + kCursorTolerance;
}

ImagePoint ClampInto(ImagePoint point, int columns, int rows)
{
    return {std::clamp(point.x, 0, columns - 1), std::clamp(point.y, 0, rows - 1)};
}

} // namespace

int ProfileStepCount(const CSpmImage& firstImage)
{
    return std::max(firstImage.m_nWidth, firstImage.m_nHeight);
}

std::vector<ProfilePoint> SampleProfile(const CSpmImage& image, ImagePoint p1, ImagePoint p2,
                                        int steps)
{
    std::vector<ProfilePoint> profile;
    const int nx = image.m_nWidth;
    const int ny = image.m_nHeight;
    if (steps < 2 || nx <= 0 || ny <= 0 ||
        image.m_pData.size() < static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny))
        return profile;
    p1 = ClampInto(p1, nx, ny);
    p2 = ClampInto(p2, nx, ny);
    const double dx = static_cast<double>(p2.x - p1.x) / steps;
    const double dy = static_cast<double>(p2.y - p1.y) / steps;
    const double kx = image.m_header.m_fKx;
    const double ky = image.m_header.m_fKy;
    profile.resize(static_cast<std::size_t>(steps - 1));
    double fx = 0.0;
    double fy = 0.0;
    for (ProfilePoint& sample : profile) {
        const int ix = TruncToInt32(fx);
        const int iy = TruncToInt32(fy);
        const double along = ix * kx;
        const double across = iy * ky;
        sample.m_dDistance = std::sqrt(along * along + across * across);
        const int column = std::clamp(p1.x + ix, 0, nx - 1);
        const int row = std::clamp(p1.y + iy, 0, ny - 1);
        sample.m_dHeight = image.m_pData[static_cast<std::size_t>(row) * static_cast<std::size_t>(nx) +
                                         static_cast<std::size_t>(column)];
        fx += dx;
        fy += dy;
    }
    return profile;
}

ProfilePoint SampleUnderCursor(const std::vector<ProfilePoint>& profile, double fraction)
{
    if (profile.empty())
        return {};
    const std::int64_t index = TruncToInt64(static_cast<double>(profile.size()) * fraction);
    const std::int64_t last = static_cast<std::int64_t>(profile.size()) - 1;
    return profile[static_cast<std::size_t>(std::clamp<std::int64_t>(index, 0, last))];
}

PlotPoint MouseToPlot(int x, int y, int clientWidth, int clientHeight)
{
    const PlotGeometry geometry = PlotGeometryFor(0, 0, clientWidth, clientHeight);
    if (geometry.m_nPlotWidth <= 0 || geometry.m_nPlotHeight <= 0)
        return {1.0, 1.0};
    return {static_cast<double>(x - geometry.m_nOrgX) / geometry.m_nPlotWidth,
            -static_cast<double>(y - geometry.m_nOrgY) / geometry.m_nPlotHeight};
}

bool IsOverProfileCursor(const PlotPoint& point, const ProfileCursors& cursors)
{
    const double fraction = FractionOf(point);
    return WithinPlotHeight(point) &&
           (Near(cursors.m_dCursorA, fraction) || Near(cursors.m_dCursorB, fraction));
}

bool GrabProfileCursor(const PlotPoint& point, ProfileCursors& cursors)
{
    if (!WithinPlotHeight(point))
        return false;
    const double fraction = FractionOf(point);
    cursors.m_bCursorAGrabbed = Near(cursors.m_dCursorA, fraction) ? 1 : 0;
    cursors.m_bCursorBGrabbed =
        cursors.m_bCursorAGrabbed == 0 && Near(cursors.m_dCursorB, fraction) ? 1 : 0;
    return cursors.m_bCursorAGrabbed == 1 || cursors.m_bCursorBGrabbed == 1;
}

int DragProfileCursors(const PlotPoint& point, ProfileCursors& cursors)
{
    if (!WithinPlotWidth(point))
        return 0;
    const double fraction = FractionOf(point);
    int moves = 0;
    if (cursors.m_bCursorAGrabbed == 1 && fraction < cursors.m_dCursorB) {
        cursors.m_dCursorA = fraction;
        ++moves;
    }
    if (cursors.m_bCursorBGrabbed == 1 && cursors.m_dCursorA < fraction) {
        cursors.m_dCursorB = fraction;
        ++moves;
    }
    return moves;
}
