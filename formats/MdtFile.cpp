// NT-MDT *.mdt files: a 33-byte file header, then frames one after another; frame type 0
// holds a scanned image.
#include <array>
#include <cmath>
#include <string>
#include <optional>
#include <utility>

#include "formats/ByteOrder.h"
#include "formats/ImageFile.h"
#include "formats/ReplacingSave.h"
#include "formats/TextFields.h"
#include "image/SpmImage.h"

namespace {

// File header.
constexpr std::array<std::uint8_t, 4> kMagic{0x01, 0xB0, 0x93, 0xFF};  // offset 0
constexpr std::size_t kFileSizeField = 4;  // u32 file size - 33
constexpr std::size_t kLastFrame = 12;     // u16 number of the last frame
constexpr std::size_t kFirstFrame = 33;

// Frame header, from the frame's start.
constexpr std::size_t kFrameSize = 0;     // u32 size of the whole frame
constexpr std::size_t kFrameType = 4;     // u16, 0 = scanned image
constexpr std::size_t kFrameDate = 8;     // six u16: year, month, day, hour, minute, second
constexpr std::size_t kFrameVarSize = 20; // u16 size V of the variable part
constexpr std::size_t kFrameHeaderSize = 22;
constexpr std::uint16_t kScannedImage = 0;

// Scanned-image body, from the frame's start: offset, step and unit code of each axis.
constexpr std::size_t kXOffset = 22, kXStep = 26, kXUnit = 30;  // f32, f32, i16
constexpr std::size_t kYOffset = 32, kYStep = 36, kYUnit = 40;
constexpr std::size_t kZOffset = 42, kZStep = 46, kZUnit = 50;
constexpr std::size_t kAxesEnd = 52;  // the variable part must hold the three axes
// After the variable part (from F + 22 + V): mode, columns, rows, dots (u16 each), then
// 4 bytes per dot, then the samples.
constexpr std::size_t kMode = 0, kColumns = 2, kRows = 4, kDots = 6, kDotsStart = 8;
constexpr std::size_t kBytesPerDot = 4;

// Unit codes of the axes.
constexpr int kMicrometre = -2;
constexpr int kNanometre = -1;
constexpr int kAngstrom = 0;
constexpr int kDegree = 5;
// A Z unit code real files carry for values of no known unit; the reader takes every code
// it does not know so, as counts ("uni") at a tenth of the Z step.
constexpr int kCounts = 13;
constexpr double kCountsPerStep = 0.1;
// The text of a unit the format has no code for: counts.
constexpr const char* kCountsUnit = "uni";

// Nanometres per lateral step unit; 0 for a code this program does not know, so that such a
// frame is refused rather than shown at a wrong size.
double NanometresPerUnit(int code)
{
    switch (code) {
    case kMicrometre: return 1000.0;
    case kNanometre: return 1.0;
    case kAngstrom: return 0.1;
    default: return 0.0;
    }
}

// Lateral steps the header can take: both axes in lengths, or both in counts, which is how
// this program writes an XY unit that is no length.
bool LateralUnitsReadable(int xCode, int yCode)
{
    const bool lengths = NanometresPerUnit(xCode) != 0.0 && NanometresPerUnit(yCode) != 0.0;
    return lengths || (xCode == kCounts && yCode == kCounts);
}

struct ZUnitMeaning {
    double scale;  // of the Z step
    const char* unit;
    const char* quantity;
};

ZUnitMeaning ZUnitOf(int code)
{
    switch (code) {
    case kMicrometre: return {1.0, "um", "Topography"};
    case kNanometre: return {1.0, "nm", "Topography"};
    case kAngstrom: return {1.0, "A", "Topography"};
    case kDegree: return {1.0, "deg", "Phase"};
    default: return {kCountsPerStep, kCountsUnit, "Unknown"};  // e.g. kCounts
    }
}

// The scanned-image frame at `start` (its `size` bytes lie inside the file), checked whole.
ImageFileError DescribeFrame(const LeReader& in, std::size_t start, std::size_t size, MdtFrameInfo& info)
{
    const std::size_t varSize = in.U16(start + kFrameVarSize);
    if (kFrameHeaderSize + varSize < kAxesEnd)
        return ImageFileError::kUnsupportedLayout;
    const std::size_t sizes = start + kFrameHeaderSize + varSize;
    if (!FitsIn(size, kFrameHeaderSize + varSize, kDotsStart))
        return ImageFileError::kTruncated;
    info.m_dXOffset = in.F32(start + kXOffset);
    info.m_dXStep = in.F32(start + kXStep);
    info.m_nXUnit = in.I16(start + kXUnit);
    info.m_dYOffset = in.F32(start + kYOffset);
    info.m_dYStep = in.F32(start + kYStep);
    info.m_nYUnit = in.I16(start + kYUnit);
    info.m_dZOffset = in.F32(start + kZOffset);
    info.m_dZStep = in.F32(start + kZStep);
    info.m_nZUnit = in.I16(start + kZUnit);
    info.m_nColumns = in.U16(sizes + kColumns);
    info.m_nRows = in.U16(sizes + kRows);
    info.m_nDots = in.U16(sizes + kDots);
    if (!IsImageSide(info.m_nColumns) || !IsImageSide(info.m_nRows))
        return ImageFileError::kBadSize;
    if (!LateralUnitsReadable(info.m_nXUnit, info.m_nYUnit))
        return ImageFileError::kUnsupportedLayout;
    const std::size_t samplesInFrame =
        kFrameHeaderSize + varSize + kDotsStart + kBytesPerDot * static_cast<std::size_t>(info.m_nDots);
    const std::size_t dataSize = 2u * static_cast<std::size_t>(info.m_nColumns) * info.m_nRows;
    if (!FitsIn(size, samplesInFrame, dataSize))
        return ImageFileError::kTruncated;
    info.m_nSampleOffset = start + samplesInFrame;
    return ImageFileError::kNone;
}

SpmHeader HeaderOfFrame(const MdtFrameInfo& info)
{
    const ZUnitMeaning z = ZUnitOf(info.m_nZUnit);
    const bool counts = info.m_nXUnit == kCounts;  // then both axes are (see LateralUnitsReadable)
    const double xScale = counts ? 1.0 : NanometresPerUnit(info.m_nXUnit);
    const double yScale = counts ? 1.0 : NanometresPerUnit(info.m_nYUnit);
    SpmHeader header{};
    header.m_nColumns = static_cast<std::uint16_t>(info.m_nColumns);
    header.m_nRows = static_cast<std::uint16_t>(info.m_nRows);
    header.m_fKx = static_cast<float>(std::fabs(info.m_dXStep) * xScale);
    header.m_fKy = static_cast<float>(std::fabs(info.m_dYStep) * yScale);
    header.m_fKz = static_cast<float>(info.m_dZStep * z.scale);
    SetHeaderText(header.m_szXYUnit, counts ? kCountsUnit : "nm");
    SetHeaderText(header.m_szZUnit, z.unit);
    SetHeaderText(header.m_szQuantity, z.quantity);
    SetHeaderText(header.m_szVersion, "Orbitrace, convert from NT-MDT");
    return header;
}

}  // namespace

bool CImageFile::ReadMdtHeader(const std::string& path, SpmHeader& header, int index)
{
    if (!BeginRead(path, index))
        return false;
    const LeReader in(m_pBuffer);
    if (!in.Has(0, kFirstFrame))
        return Fail(ImageFileError::kTruncated);
    for (std::size_t i = 0; i < kMagic.size(); ++i)
        if (m_pBuffer[i] != kMagic[i])
            return Fail(ImageFileError::kNotThisFormat);

    // Frames of other kinds (spectra, texts, MDA data) are passed over by their size; that
    // they all begin with the same size field is seen in real files, not documented.
    const int lastFrame = in.U16(kLastFrame);
    std::size_t start = kFirstFrame;
    for (int frame = 0; frame <= lastFrame; ++frame) {
        if (!in.Has(start, kFrameHeaderSize))
            return Fail(ImageFileError::kTruncated);
        const std::size_t size = in.U32(start + kFrameSize);
        if (size < kFrameHeaderSize)
            return Fail(ImageFileError::kBadSize);
        if (!in.Has(start, size))
            return Fail(ImageFileError::kTruncated);
        if (in.U16(start + kFrameType) == kScannedImage && index-- == 0) {
            auto info = std::make_unique<MdtFrameInfo>();
            if (const ImageFileError error = DescribeFrame(in, start, size, *info); error != ImageFileError::kNone)
                return Fail(error);
            if (!Accept(HeaderOfFrame(*info), info->m_nSampleOffset, header))
                return false;
            m_pFrameInfo = std::move(info);
            return true;
        }
        start += size;
    }
    return Fail(ImageFileError::kNoSuchImage);
}

bool CImageFile::ReadMdtData(CSpmImage& image)
{
    return CopyPreparedSamples(image);
}

namespace {

// The written file: one scanned-image frame with a variable part of 442 bytes and no dots.
constexpr std::size_t kWrittenVarSize = 442;
constexpr std::size_t kWrittenHeaderSize = kFirstFrame + kFrameHeaderSize + kWrittenVarSize + kDotsStart;
static_assert(kWrittenHeaderSize == 505);

constexpr double kAngstromPerNanometre = 10.0;

// The lateral step factor and unit code. Lengths go out as Angstrom, whatever length they
// are in and however it is spelled; anything else keeps its values under the counts code,
// as for Z, rather than being taken for nanometres.
std::pair<double, int> StoredXYStep(const std::string& unit)
{
    if (const std::optional<double> nanometres = NanometresPerLengthUnit(unit))
        return {kAngstromPerNanometre * *nanometres, kAngstrom};
    return {1.0, kCounts};
}

// The Z step and its unit code. Lengths go out as Angstrom, but for micrometres (in any
// spelling), which have a code of their own; degrees keep theirs. Anything else ("uni"
// counts, volts, ...) is no length: it goes out under the counts code with its values as
// they are, where making it Angstrom would multiply them by ten and call them heights. The
// format knows no text for such a unit, so it reads back as "uni".
std::pair<double, int> StoredZStep(const std::string& unit, double zScale)
{
    const std::optional<LengthUnit> length = LengthUnitOf(unit);
    if (length && length->name == "um")
        return {zScale, kMicrometre};
    if (unit == "deg")
        return {zScale, kDegree};
    if (length)
        return {zScale * (kAngstromPerNanometre * length->nanometres), kAngstrom};
    return {zScale / kCountsPerStep, kCounts};
}

std::vector<std::uint8_t> WriteMdtHeader(const CSpmImage& image)
{
    const SpmHeader& header = image.m_header;
    const std::size_t total = kWrittenHeaderSize + 2u * header.m_nColumns * header.m_nRows;
    const auto frameSize = static_cast<std::uint32_t>(total - kFirstFrame);
    const auto [xyScale, xyUnit] = StoredXYStep(HeaderText(header.m_szXYUnit));
    const auto [zStep, zUnit] = StoredZStep(HeaderText(header.m_szZUnit), header.m_fKz);

    std::vector<std::uint8_t> bytes(kWrittenHeaderSize, 0);
    LeWriter out(bytes);
    out.Bytes(0, kMagic);
    out.U32(kFileSizeField, frameSize);
    out.U16(kLastFrame, 0);
    const std::size_t f = kFirstFrame;
    out.U32(f + kFrameSize, frameSize);
    out.U16(f + kFrameType, kScannedImage);
    const std::uint16_t date[] = {2002, 6, 27, 17, 3, 59};
    for (std::size_t i = 0; i < 6; ++i)
        out.U16(f + kFrameDate + 2 * i, date[i]);
    out.U16(f + kFrameVarSize, static_cast<std::uint16_t>(kWrittenVarSize));
    out.F32(f + kXOffset, 0.0f);
    out.F32(f + kXStep, static_cast<float>(header.m_fKx * xyScale));
    out.I16(f + kXUnit, static_cast<std::int16_t>(xyUnit));
    out.F32(f + kYOffset, 0.0f);
    out.F32(f + kYStep, static_cast<float>(header.m_fKy * xyScale));
    out.I16(f + kYUnit, static_cast<std::int16_t>(xyUnit));
    out.F32(f + kZOffset, 0.0f);
    out.F32(f + kZStep, static_cast<float>(zStep));
    out.I16(f + kZUnit, static_cast<std::int16_t>(zUnit));
    // The rest of the variable part: fixed settings of the scan as stored in every file
    // this program writes (offsets 85 to 127 of the file).
    out.U8(85, 0);
    out.U8(86, 1);
    out.U16(87, header.m_nColumns);
    out.U16(89, header.m_nRows);
    out.F32(93, static_cast<float>(header.m_fKx * xyScale));  // the X step once more
    const std::uint8_t settings[] = {1, 0, 45, 0, 1, 1};
    out.Bytes(99, settings);
    out.F32(105, 1.0f);
    out.F32(109, 1.0f);
    out.U8(117, 1);
    out.U16(119, 255);
    out.U16(123, 255);
    out.U8(127, 1);
    const std::size_t sizes = f + kFrameHeaderSize + kWrittenVarSize;
    out.U16(sizes + kMode, 0);
    out.U16(sizes + kColumns, header.m_nColumns);
    out.U16(sizes + kRows, header.m_nRows);
    out.U16(sizes + kDots, 0);
    return bytes;
}

}  // namespace

bool CImageFile::WriteMdt(const std::string& path, CSpmImage& image)
{
    static constexpr SaveMessages kMessages{kTextUnableToOpenForWriting, kTextSaveNotOk, kTextSaveNotOk};
    return Finish(SaveScaledImage(path, image, WriteMdtHeader, kMessages));
}
