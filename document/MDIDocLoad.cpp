// Loading one image: the format by the extension, the header and its repair, the name,
// the planes and the statistics.
#include "document/MDIDoc.h"

#include <cmath>
#include <cstdio>

#include "document/DocumentShared.h"
#include "formats/ImageFile.h"
#include "formats/ImageFormat.h"
#include "image/HeaderTextCoding.h"
#include "image/ImageStatistics.h"
#include "platform/core/Prompt.h"

namespace {

// A broken first image is reported, with the reader's sentence of what it found wrong; a
// further image of the same file (a companion that the file may simply not hold) fails
// silently.
bool RefuseBrokenImage(const std::string& path, const CSpmImage& image, const CImageFile& file)
{
    if (image.m_nIndexInFile != 0)
        return false;
    const std::string reason = file.FailureDetail();
    Prompt().Message(NamingFile(kTextImageHeaderBroken, path) + (reason.empty() ? "" : "\n" + reason));
    return false;
}

// Columns and rows as the header's 16-bit words read signed: 1 to 1024 each.
bool SizeWithinLimits(const SpmHeader& header)
{
    return IsImageSide(static_cast<std::int16_t>(header.m_nColumns)) &&
           IsImageSide(static_cast<std::int16_t>(header.m_nRows));
}

bool ValidCoefficient(float value)
{
    return std::isfinite(value) && value > 0.0f;
}

bool HeaderCoefficientsValid(const SpmHeader& header)
{
    return ValidCoefficient(header.m_fKx) && ValidCoefficient(header.m_fKy) &&
           ValidCoefficient(header.m_fKz) && header.m_szXYUnit[0] != '\0' &&
           header.m_szZUnit[0] != '\0';
}

// What the coefficient dialog offers: the header's values, 1.0 and "nm" in place of bad ones.
HeaderCoefValues CoefficientPreset(const SpmHeader& header)
{
    auto offered = [](float value) { return ValidCoefficient(value) ? double{value} : 1.0; };
    auto offeredUnit = [](std::string unit) { return unit.empty() ? std::string("nm") : unit; };
    return {offered(header.m_fKx), offered(header.m_fKy), offered(header.m_fKz),
            offeredUnit(HeaderText(header.m_szZUnit)), offeredUnit(HeaderText(header.m_szXYUnit))};
}

// The dialogs hold the user to what the header keeps, so that what they show is what it holds.
static_assert(CDialogHeaderCoef::kZUnitBytes == sizeof(SpmHeader::m_szZUnit) - 1);
static_assert(CDialogHeaderCoef::kXYUnitBytes == sizeof(SpmHeader::m_szXYUnit) - 1);
// A name's characters take at most 4 bytes of UTF-8 each.
static_assert(CDialogImageName::kMaxNameLength * 4 <= sizeof(SpmHeader::m_szQuantity) - 1);

// The dialog offers a valid header and takes only what the header keeps (coefficients above
// 0 as floats, units of 1 to 3 characters), so the header comes out valid as the user left it.
void TakeCoefficients(const HeaderCoefValues& values, SpmHeader& header)
{
    header.m_fKx = static_cast<float>(values.m_dKx);
    header.m_fKy = static_cast<float>(values.m_dKy);
    header.m_fKz = static_cast<float>(values.m_dKz);
    SetTypedHeaderText(header.m_szZUnit, values.m_strZUnit);
    SetTypedHeaderText(header.m_szXYUnit, values.m_strXYUnit);
}

void AllocatePlanes(CSpmImage& image)
{
    image.m_nWidth = image.m_header.m_nColumns;
    image.m_nHeight = image.m_header.m_nRows;
    const auto points = static_cast<std::size_t>(image.m_nWidth) * static_cast<std::size_t>(image.m_nHeight);
    image.m_pRaw.assign(points, 0);
    image.m_pData.assign(points, 0.0);
    image.m_pUndo.assign(points, 0.0);
    image.m_nUndoWidth = image.m_nWidth;
    image.m_nUndoHeight = image.m_nHeight;
    image.m_bUndoValid = 0;
}

void MeasureImage(CSpmImage& image)
{
    ComputeMinMax(image);
    MinMaxInt(static_cast<std::uint16_t>(image.m_nWidth),
                          static_cast<std::uint16_t>(image.m_nHeight), image.m_pRaw,
                          image.m_nRawMin, image.m_nRawMax);
    image.m_nBins = kImageHistogramBins;
    image.m_pHistogram.assign(static_cast<std::size_t>(image.m_nBins), 0);
    ComputeHistogram(image);
}

} // namespace

bool CMDIDoc::LoadImage(const std::string& path, CSpmImage& image)
{
    m_bHeaderRepaired = false;
    const ImageFormat format = FormatForReading(path);
    if (format == ImageFormat::kNone)
        return false;
    CImageFile file;
    if (!ReadImageHeader(file, format, path, image))
        return RefuseBrokenImage(path, image, file);
    // Known before the check, so that its message can name the file.
    image.m_strPath = path;
    m_bHeaderRepaired = CheckHeader(image, format == ImageFormat::kOrigin);
    if (!SizeWithinLimits(image.m_header))
        return false;
    image.m_strName = ImageName(format == ImageFormat::kSpm, format == ImageFormat::kOrigin, image);
    AllocatePlanes(image);
    if (!ReadImageSamples(file, format, path, image))
        return RefuseBrokenImage(path, image, file);
    MeasureImage(image);
    return true;
}

bool CMDIDoc::CheckHeader(CSpmImage& image, bool zScaleFromData)
{
    SpmHeader& header = image.m_header;
    bool repaired = false;
    if (header.m_szQuantity[0] == '\0') {
        CDialogImageName dialog("Height");
        Prompt().RunImageNameDialog(dialog);
        SetTypedHeaderText(header.m_szQuantity, dialog.Name());
        repaired = true;
    }
    if (HeaderCoefficientsValid(header))
        return repaired;
    Prompt().Message(NamingFile("Please check file Header parameter", image.m_strPath));
    CDialogHeaderCoef dialog(CoefficientPreset(header));
    if (zScaleFromData)
        dialog.Fix(HeaderCoefField::Kz);
    Prompt().RunHeaderCoefDialog(dialog);
    TakeCoefficients(dialog.Values(), header);
    return true;
}

std::string CMDIDoc::ImageName(bool cutAtBlank, bool bareWhenFree, const CSpmImage& image) const
{
    std::string name = HeaderText(image.m_header.m_szQuantity);
    const std::size_t blank = name.find(' ');
    if (cutAtBlank && blank != std::string::npos && blank > 0)
        name.resize(blank);
    // An Origin image goes by its quantity alone, unless an image already has that name:
    // then it is numbered like the others, or it could never be found by name.
    if (bareWhenFree && std::none_of(m_imageList.begin(), m_imageList.end(),
                                     [&](const ImageEntry& e) { return e.m_pImage->m_strName == name; }))
        return name;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "_%.2u", static_cast<unsigned>(m_nImageCounter));
    return name + suffix;
}
