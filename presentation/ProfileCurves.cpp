#include "presentation/ProfileCurves.h"

#include <algorithm>
#include <cmath>

#include "image/HeaderTextCoding.h"
#include "image/SpmImage.h"

std::string CutBeforeMark(std::string text, char mark)
{
    const std::size_t at = text.find(mark);
    if (at != std::string::npos && at > 0)
        text.resize(at);
    return text;
}

namespace {

// The smaller of two steps that are positive numbers; 0 when neither is.
double FinerStep(double one, double other)
{
    const double a = std::fabs(one);
    const double b = std::fabs(other);
    if (!(a > 0.0))
        return b > 0.0 ? b : 0.0;
    return b > 0.0 ? std::min(a, b) : a;
}

} // namespace

std::vector<ProfileCurve> ProfileCurves(std::span<const CSpmImage* const> images, ImagePoint p1,
                                        ImagePoint p2, const ProfileCursors& cursors)
{
    std::vector<ProfileCurve> curves;
    if (images.empty())
        return curves;
    const int steps = ProfileStepCount(*images.front());
    const COLORREF colours[] = {kFirstProfileColor, kSecondProfileColor};
    for (std::size_t i = 0; i < std::min(images.size(), std::size(colours)); ++i) {
        const CSpmImage& image = *images[i];
        ProfileCurve curve;
        curve.m_profile = SampleProfile(image, p1, p2, steps);
        ProfilePlotDesc& desc = curve.m_desc;
        desc.m_crColor = colours[i];
        desc.m_dCursorA = cursors.m_dCursorA;
        desc.m_dCursorB = cursors.m_dCursorB;
        desc.m_strQuantity = CutBeforeMark(ShownHeaderText(image.m_header.m_szQuantity), ' ');
        desc.m_strUnit = ShownHeaderText(image.m_header.m_szZUnit);
        // Distances are in the steps' unit: a fixed "nm" would misname a um scan by 1000.
        desc.m_strPosUnit = ShownHeaderText(image.m_header.m_szXYUnit);
        // A distance along a row is a multiple of the X step, down a column of the Y step.
        desc.m_dPosStep = FinerStep(image.m_header.m_fKx, image.m_header.m_fKy);
        // Heights are raw samples times the Z scale: nothing finer was measured, also after
        // a filter has spread them between its multiples.
        desc.m_dValueStep = std::fabs(image.m_header.m_fKz);
        const ProfilePoint a = SampleUnderCursor(curve.m_profile, cursors.m_dCursorA);
        const ProfilePoint b = SampleUnderCursor(curve.m_profile, cursors.m_dCursorB);
        desc.m_dPosA = a.m_dDistance;
        desc.m_dValueA = a.m_dHeight;
        desc.m_dPosB = b.m_dDistance;
        desc.m_dValueB = b.m_dHeight;
        curves.push_back(std::move(curve));
    }
    return curves;
}
