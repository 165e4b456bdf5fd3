#include "presentation/ProfileCurves.h"

#include <algorithm>

#include "image/HeaderTextCoding.h"
#include "image/SpmImage.h"

std::string CutBeforeMark(std::string text, char mark)
{
    const std::size_t at = text.find(mark);
    if (at != std::string::npos && at > 0)
        text.resize(at);
    return text;
}

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
