// The transforms run in single precision through the library's DFTs; the planes around them
// stay double. The sign pattern (-1)^(x+y) moves the zero frequency to the plane's centre.
#include <cmath>
#include <cstdint>
#include <memory>

#include "fourier/FourierWorkspace.h"
#include "image/SpmImage.h"
#include "processing/ImageProcessor.h"
#include "sp/sp.h"

namespace {

using ComplexPlane = std::vector<spComplex>;

double Sign(std::size_t x, std::size_t y)
{
    return ((x + y) & 1u) == 0 ? 1.0 : -1.0;
}

// Tracks a height range, the first value seeding both ends.
struct RangeTracker {
    void Add(double z)
    {
        if (!seeded) {
            min = max = z;
            seeded = true;
        } else if (z > max) {
            max = z;
        } else if (z < min) {
            min = z;
        }
    }
    void Store(CSpmImage& image) const
    {
        image.m_dMin = min;
        image.m_dMax = max;
    }
    bool seeded = false;
    double min = 0.0;
    double max = 0.0;
};

// The image in the bordered spatial plane, times the sign pattern, as complex values laid
// out rows first (axis 0) or columns first (axis 1).
ComplexPlane SignedSpatialPlane(const CSpmImage& image, FourierWorkspace& ws, bool columnsFirst)
{
    CImageProcessor().CopyToBorderedPlane(ws.m_pSpatialRe, image, ws.m_nBorderX, ws.m_nBorderY);
    const std::size_t pw = ws.PaddedWidth(), ph = ws.PaddedHeight();
    ComplexPlane plane(ws.Cells());
    for (std::size_t y = 0; y < ph; ++y)
        for (std::size_t x = 0; x < pw; ++x) {
            double& re = ws.m_pSpatialRe[y * pw + x];
            re *= Sign(x, y);
            ws.m_pSpatialIm[y * pw + x] = 0.0;
            plane[columnsFirst ? x * ph + y : y * pw + x] = {static_cast<float>(re), 0.0f};
        }
    return plane;
}

void StoreSpectra(const ComplexPlane& result, double scale, FourierWorkspace& ws)
{
    for (std::size_t i = 0; i < result.size(); ++i) {
        ws.m_pSpectrumRe[i] = ws.m_pUnfilteredRe[i] = result[i].re / scale;
        ws.m_pSpectrumIm[i] = ws.m_pUnfilteredIm[i] = result[i].im / scale;
    }
}

ComplexPlane CurrentSpectrum(const FourierWorkspace& ws)
{
    ComplexPlane plane(ws.Cells());
    for (std::size_t i = 0; i < plane.size(); ++i)
        plane[i] = {static_cast<float>(ws.m_pSpectrumRe[i]), static_cast<float>(ws.m_pSpectrumIm[i])};
    return plane;
}

// Every transform asks the library for its version first, as the library expects of its
// callers; the record itself is of no use here.
void AskLibraryVersion()
{
    static_cast<void>(spGetLibVersion());
}

// `lines` transforms of `length` values each, the lines back to back.
void TransformLines(const ComplexPlane& src, ComplexPlane& dst, std::size_t length,
                    std::size_t lines, bool inverse)
{
    AskLibraryVersion();
    spDftSpec* spec = nullptr;
    spDftInitAlloc(&spec, static_cast<int>(length), spNoDivByAny, 1);
    for (std::size_t i = 0; i < lines; ++i) {
        if (inverse)
            spDftInverse(&src[i * length], &dst[i * length], spec, nullptr);
        else
            spDftForward(&src[i * length], &dst[i * length], spec, nullptr);
    }
    spDftFree(spec);
}

void Transform2D(const ComplexPlane& src, ComplexPlane& dst, const FourierWorkspace& ws, bool inverse)
{
    const int w = static_cast<int>(ws.PaddedWidth());
    const int step = w * static_cast<int>(sizeof(spComplex));
    AskLibraryVersion();
    spDft2DSpec* spec = nullptr;
    spDft2DInitAlloc(&spec, w, static_cast<int>(ws.PaddedHeight()), spNoDivByAny, 1);
    if (inverse)
        spDft2DInverse(src.data(), step, dst.data(), step, spec, nullptr);
    else
        spDft2DForward(src.data(), step, dst.data(), step, spec, nullptr);
    spDft2DFree(spec);
}

// Heights of the image window from the spatial planes (and the undo plane) by show mode.
void WriteHeights(CSpmImage& image, const FourierWorkspace& ws, int showMode)
{
    if (showMode < kShowOriginal || showMode > kShowDifference)
        return;
    const std::size_t pw = ws.PaddedWidth();
    const auto w = static_cast<std::size_t>(ws.m_nWidth), h = static_cast<std::size_t>(ws.m_nHeight);
    RangeTracker range;
    for (std::size_t r = 0; r < h; ++r)
        for (std::size_t c = 0; c < w; ++c) {
            const std::size_t x = c + ws.m_nBorderX, y = r + ws.m_nBorderY;
            const double filtered = Sign(x, y) * ws.m_pSpatialRe[y * pw + x];
            const double original = showMode == kShowFiltered ? 0.0 : image.m_pUndo[r * w + c];
            const double z = showMode == kShowOriginal   ? original
                             : showMode == kShowFiltered ? filtered
                                                         : original - filtered;
            image.m_pData[r * w + c] = z;
            range.Add(z);
        }
    range.Store(image);
}

void StoreSpatial(const ComplexPlane& result, FourierWorkspace& ws, bool columnsFirst)
{
    const std::size_t pw = ws.PaddedWidth(), ph = ws.PaddedHeight();
    for (std::size_t y = 0; y < ph; ++y)
        for (std::size_t x = 0; x < pw; ++x) {
            const spComplex v = result[columnsFirst ? x * ph + y : y * pw + x];
            ws.m_pSpatialRe[y * pw + x] = v.re;
            ws.m_pSpatialIm[y * pw + x] = v.im;
        }
}

int Magnitude(CSpmImage& image, const FourierWorkspace& ws, const std::vector<double>& re,
              const std::vector<double>& im)
{
    const std::size_t pw = ws.PaddedWidth();
    const auto w = static_cast<std::size_t>(std::min(image.m_nWidth, ws.m_nWidth));
    const auto h = static_cast<std::size_t>(std::min(image.m_nHeight, ws.m_nHeight));
    RangeTracker range;
    for (std::size_t r = 0; r < h; ++r)
        for (std::size_t c = 0; c < w; ++c) {
            const std::size_t i = (r + ws.m_nBorderY) * pw + c + ws.m_nBorderX;
            const double z = std::sqrt(re[i] * re[i] + im[i] * im[i]);
            image.m_pData[r * static_cast<std::size_t>(image.m_nWidth) + c] = z;
            range.Add(z);
        }
    range.Store(image);
    return 1;
}

} // namespace

void FourierWorkspace::Allocate(int width, int height, double factor)
{
    m_nWidth = width;
    m_nHeight = height;
    m_dFactor = factor;
    m_nBorderX = static_cast<int>(width * (factor - 1.0) * 0.5);
    m_nBorderY = static_cast<int>(height * (factor - 1.0) * 0.5);
    for (auto* plane : {&m_pSpatialRe, &m_pSpatialIm, &m_pSpectrumRe, &m_pSpectrumIm,
                        &m_pUnfilteredRe, &m_pUnfilteredIm})
        plane->assign(Cells(), 0.0);
}

bool SupportsLineAxisY(const FourierWorkspace& workspace)
{
    return workspace.PaddedWidth() == workspace.PaddedHeight();
}

int LineFourierTransform(CSpmImage& image, int inverse, int axis, FourierWorkspace& ws)
{
    const bool columns = axis == 1;
    if (columns && !SupportsLineAxisY(ws))
        return 0;
    const std::size_t length = columns ? ws.PaddedHeight() : ws.PaddedWidth();
    const std::size_t lines = ws.Cells() / length;
    ComplexPlane result(ws.Cells());
    if (inverse == 0) {
        TransformLines(SignedSpatialPlane(image, ws, columns), result, length, lines, false);
        StoreSpectra(result, static_cast<double>(length), ws);
        ws.m_nMode = columns ? kFourierY : kFourierX;
        return 1;
    }
    TransformLines(CurrentSpectrum(ws), result, length, lines, true);
    StoreSpatial(result, ws, columns);
    WriteHeights(image, ws, kShowFiltered);
    return 1;
}

int FourierTransform2D(CSpmImage& image, int inverse, int showMode, FourierWorkspace& ws)
{
    ComplexPlane result(ws.Cells());
    if (inverse == 0) {
        Transform2D(SignedSpatialPlane(image, ws, false), result, ws, false);
        StoreSpectra(result, static_cast<double>(ws.Cells()), ws);
        ws.m_nMode = kFourierXY;
        return 1;
    }
    // The original needs no transform: it comes from the undo plane.
    if (showMode != kShowOriginal) {
        Transform2D(CurrentSpectrum(ws), result, ws, true);
        StoreSpatial(result, ws, false);
    }
    WriteHeights(image, ws, showMode);
    return 1;
}

int TransformByMode(CSpmImage& image, int mode, int inverse, int showMode, FourierWorkspace& ws)
{
    if (mode == kFourierXY)
        return FourierTransform2D(image, inverse, showMode, ws);
    return LineFourierTransform(image, inverse, mode == kFourierY ? 1 : 0, ws);
}

int SpectrumMagnitude(CSpmImage& image, const FourierWorkspace& workspace)
{
    return Magnitude(image, workspace, workspace.m_pSpectrumRe, workspace.m_pSpectrumIm);
}

int UnfilteredSpectrumMagnitude(CSpmImage& image, const FourierWorkspace& workspace)
{
    return Magnitude(image, workspace, workspace.m_pUnfilteredRe, workspace.m_pUnfilteredIm);
}
