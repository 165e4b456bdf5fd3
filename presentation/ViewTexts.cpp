#include "presentation/ViewTexts.h"

#include <algorithm>

#include "image/HeaderTextCoding.h"
#include "image/SpmImage.h"
#include "platform/core/NumberText.h"

std::string ScanLengthText(double length, const std::string& xyUnit)
{
    // Whole numbers alone would print a 0.39 um scan as "0 um" and 0.78 um as "1 um".
    if (length < 1000.0)
        return FormatFixed(length, length < 1.0 ? 2 : length < 10.0 ? 1 : 0) + " " + xyUnit;
    if (xyUnit == " nm" || xyUnit == "nm")
        return FormatFixed(length * 0.001, 1) + " um";
    // A unit we cannot scale still has a size: a label without one tells the user nothing.
    return FormatFixed(length, 0) + " " + xyUnit;
}

ImagePoint ClampToImage(ImagePoint point, const CSpmImage& image)
{
    return {std::clamp(point.x, 0, std::max(image.m_nWidth - 1, 0)),
            std::clamp(point.y, 0, std::max(image.m_nHeight - 1, 0))};
}

namespace {

double HeightAt(const CSpmImage& image, ImagePoint point)
{
    const ImagePoint p = ClampToImage(point, image);
    const std::size_t at = static_cast<std::size_t>(p.y) * static_cast<std::size_t>(image.m_nWidth) +
                           static_cast<std::size_t>(p.x);
    return at < image.m_pData.size() ? image.m_pData[at] : 0.0;
}

std::string MatrixText(const CSpmImage& image)
{
    return "Matrix:" + FormatFixed(image.m_header.m_nColumns, 0) + "x" + FormatFixed(image.m_header.m_nRows, 0);
}

double LengthX(const CSpmImage& image)
{
    return image.m_nWidth * static_cast<double>(image.m_header.m_fKx);
}

double LengthY(const CSpmImage& image)
{
    return image.m_nHeight * static_cast<double>(image.m_header.m_fKy);
}

} // namespace

std::string PointLineText(const CSpmImage& image, ImagePoint second, const ImagePoint* first)
{
    second = ClampToImage(second, image);
    std::string text = MatrixText(image) + " Xpoint:" + FormatFixed(second.x, 0) + " Ypoint:" +
                       FormatFixed(second.y, 0) + " ";
    const double h2 = HeightAt(image, second);
    if (first != nullptr)
        text += "dZ:" + FormatFixed(h2 - HeightAt(image, *first), 2);
    else
        text += "Z:" + FormatFixed(h2, 2);
    return text + " " + ViewHeaderText(image.m_header.m_szZUnit);
}

std::string ScanSizeText(const CSpmImage& image)
{
    const std::string unit = ViewHeaderText(image.m_header.m_szXYUnit);
    return "XY: " + ScanLengthText(LengthX(image), unit) + " x " + ScanLengthText(LengthY(image), unit);
}

std::array<std::string, 2> SizeLabels(const CSpmImage& image)
{
    const std::string unit = ViewHeaderText(image.m_header.m_szXYUnit);
    return {"X:" + ScanLengthText(LengthX(image), unit), "Y:" + ScanLengthText(LengthY(image), unit)};
}

std::string ScaleTitle(const CSpmImage& colourSource)
{
    std::string quantity = ViewHeaderText(colourSource.m_header.m_szQuantity);
    const std::size_t blank = quantity.find(' ');
    if (blank != std::string::npos && blank != 0)
        quantity.resize(blank);
    return quantity + ", " + ViewHeaderText(colourSource.m_header.m_szZUnit);
}

std::vector<std::string> HeaderTexts2D(const CSpmImage& image)
{
    return {MatrixText(image), ViewHeaderText(image.m_header.m_szZUnit), ScanSizeText(image)};
}

std::vector<std::string> HeaderTexts3D(const CSpmImage& image, const CSpmImage& colourSource)
{
    const std::array<std::string, 2> sizes = SizeLabels(image);
    return {sizes[0], sizes[1], ScaleTitle(colourSource)};
}
