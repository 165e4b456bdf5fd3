#include "app/views/ViewInput.h"

#include <algorithm>
#include <cmath>

#include "app/render/Scene2D.h"
#include "presentation/PresentationConfig.h"
#include "presentation/SurfaceBuilders.h"
#include "image/SpmImage.h"

ImagePoint MouseToImage(int x, int y, int width, int height, const CSpmImage& image)
{
    const double perPixel = static_cast<double>(image.m_nHeight - 1) / std::max(height, 1) * kMargin2D;
    const auto column = static_cast<int>((x - width / 2) * perPixel + image.m_nWidth * 0.5);
    const auto row = static_cast<int>((y - height / 2) * perPixel + image.m_nHeight * 0.5);
    return {std::clamp(column, 0, std::max(image.m_header.m_nColumns - 1, 0)),
            std::clamp(row, 0, std::max(image.m_header.m_nRows - 1, 0))};
}

void FollowMouse(CMDIDoc& doc, ImagePoint point)
{
    if (doc.m_bSel2Set == 0)
        doc.m_ptSel2 = point;
    if (doc.m_bSel1Set == 0)
        doc.m_ptSel1 = doc.m_ptSel2;
    if (doc.m_bSel3Set == 0)
        doc.m_ptSel3 = doc.m_ptSel2;
}

bool ClickSelection(CMDIDoc& doc)
{
    const int mode = doc.m_nSelectMode;
    if (mode == 0)
        return false;
    const bool threePoints = mode == 3;
    if (doc.m_bSel1Set == 0) {
        doc.m_bSel1Set = 1;
    } else if (threePoints && doc.m_bSel3Set == 0) {
        doc.m_bSel3Set = 1;
    } else if (doc.m_bSel2Set == 0) {
        doc.m_bSel2Set = 1;
    } else {
        doc.m_ptSel1 = doc.m_ptSel2;
        doc.m_ptSel3 = doc.m_ptSel2;
        doc.m_bSel1Set = doc.m_bSel2Set = doc.m_bSel3Set = 0;
    }
    return true;
}

void EnsureCoarseIndices(const CSpmImage& image, int matrixSize, SurfaceArrays& arrays)
{
    const int step = CoarseStepFor(image.m_nWidth, image.m_nHeight, matrixSize);
    const bool current = !arrays.m_pCoarseIndices.empty() && arrays.m_nCoarseStep == step &&
                         arrays.m_nImageCols == image.m_nWidth && arrays.m_nImageRows == image.m_nHeight;
    if (current)
        return;
    arrays.m_nCoarseStep = step;
    BuildCoarseTriangleIndices(static_cast<unsigned>(step), image, arrays.m_pCoarseIndices);
}

namespace {

// What a drag leaves in the record: two decimals, as a bar step writes them. The float steps
// of a drag (0.3 and 0.2 degrees a pixel) give values such as 168.29999, which no edit of
// the panel shows whole and every file would keep at length.
float InHundredths(float value)
{
    return static_cast<float>(std::round(static_cast<double>(value) * 100.0) / 100.0);
}

} // namespace

void DragTurn(Drag3D& drag, int x, int y, CPresentationConfig& settings)
{
    // However far the drag goes, the angle keeps within the range the panel shows: a drag
    // across a wide frame turns more than once, and each full turn is the same view.
    const float angle = drag.angle + 0.3f * static_cast<float>(drag.x - x);
    settings.m_Angle = InHundredths(static_cast<float>(WrapDegrees(angle)));
    const float tilt = InHundredths(drag.tilt - 0.2f * static_cast<float>(drag.y - y));
    if (tilt < 0.0f || tilt > kMaxTilt) {
        settings.m_Tilt = std::clamp(tilt, 0.0f, kMaxTilt);
        drag.tilt = settings.m_Tilt;
        drag.y = y;
    } else {
        settings.m_Tilt = tilt;
    }
}

void DragZScale(Drag3D& drag, int y, CPresentationConfig& settings)
{
    const float scale = InHundredths(drag.zScale + static_cast<float>(drag.zy - y));
    if (scale > kMaxZScale || scale < kMinZScale) {
        settings.m_Z_Scale = std::clamp(scale, kMinZScale, kMaxZScale);
        drag.zScale = settings.m_Z_Scale;
        drag.zy = y;
    } else {
        settings.m_Z_Scale = scale;
    }
}
