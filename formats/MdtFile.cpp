// NT-MDT *.mdt files: a 33-byte file header, then frames one after another; frame type 0
// holds a scanned image.
#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "formats/ByteOrder.h"
#include "formats/ImageFile.h"
#include "formats/MdtFrameTexts.h"
#include "formats/ReplacingSave.h"
#include "formats/TextFields.h"
#include "image/HeaderTextCoding.h"
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

// The length units of the codes, in the order the reader tries them for lateral steps.
struct CodedLength {
    int code;
    const char* unit;
    double nanometres;
};
constexpr CodedLength kCodedLengths[] = {
    {kNanometre, "nm", 1.0}, {kMicrometre, "um", 1000.0}, {kAngstrom, "A", 0.1}};

// Nanometres per lateral step unit; 0 for a code this program does not know, so that such a
// frame is refused rather than shown at a wrong size.
double NanometresPerUnit(int code)
{
    for (const CodedLength& length : kCodedLengths)
        if (length.code == code)
            return length.nanometres;
    return 0.0;
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

ImageFileRefusal RefuseFrame(ImageFileError error, int frame, std::string_view what)
{
    return {error, "NT-MDT file: the scanned image in frame " + std::to_string(frame + 1) + " " + std::string(what) + "."};
}

// The title and comment from the bytes after a frame's samples.
void TakeFrameTexts(std::span<const std::uint8_t> afterSamples, MdtFrameInfo& info)
{
    MdtFrameTexts texts = ReadMdtFrameTexts(afterSamples);
    info.m_strQuantity = std::move(texts.quantity);
    info.m_strComment = std::move(texts.comment);
}

// The scanned-image frame `frame` at `start` (its `size` bytes lie inside the file), checked
// whole, with the texts that follow its samples.
ImageFileRefusal DescribeFrame(std::span<const std::uint8_t> file, int frame, std::size_t start, std::size_t size,
                               MdtFrameInfo& info)
{
    const LeReader in(file);
    const std::size_t varSize = in.U16(start + kFrameVarSize);
    if (kFrameHeaderSize + varSize < kAxesEnd)
        return RefuseFrame(ImageFileError::kUnsupportedLayout, frame, "leaves no room for its axes");
    const std::size_t sizes = start + kFrameHeaderSize + varSize;
    if (!FitsIn(size, kFrameHeaderSize + varSize, kDotsStart))
        return RefuseFrame(ImageFileError::kTruncated, frame, "reaches past the end of its frame");
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
        return RefuseFrame(ImageFileError::kBadSize, frame, "has " + ImageSizeRefusal(info.m_nColumns, info.m_nRows));
    if (!LateralUnitsReadable(info.m_nXUnit, info.m_nYUnit))
        return RefuseFrame(ImageFileError::kUnsupportedLayout, frame,
                           "gives its lateral steps in unit codes " + std::to_string(info.m_nXUnit) + " and " +
                               std::to_string(info.m_nYUnit) + ", which this program does not read");
    const std::size_t samplesInFrame =
        kFrameHeaderSize + varSize + kDotsStart + kBytesPerDot * static_cast<std::size_t>(info.m_nDots);
    const std::size_t dataSize = 2u * static_cast<std::size_t>(info.m_nColumns) * info.m_nRows;
    if (!FitsIn(size, samplesInFrame, dataSize))
        return RefuseFrame(ImageFileError::kTruncated, frame,
                           "has " + std::to_string(info.m_nColumns) + " x " + std::to_string(info.m_nRows) +
                               " samples that reach past the end of its frame");
    info.m_nSampleOffset = start + samplesInFrame;
    TakeFrameTexts(file.subspan(start + samplesInFrame + dataSize, size - samplesInFrame - dataSize), info);
    return {};
}

struct LateralSteps {
    float x, y;
    const char* unit;
};

// Lateral lengths in nanometres, as every image shows them, unless a step leaves the float
// range there: then in the first length of a unit code that holds both steps, which is where
// a file written by this program keeps such steps (see PlanXY).
LateralSteps LateralStepsOf(const MdtFrameInfo& info)
{
    const double x = std::fabs(info.m_dXStep) * NanometresPerUnit(info.m_nXUnit);
    const double y = std::fabs(info.m_dYStep) * NanometresPerUnit(info.m_nYUnit);
    for (const CodedLength& length : kCodedLengths) {
        const std::optional<float> fx = NormalFloat(x / length.nanometres);
        const std::optional<float> fy = NormalFloat(y / length.nanometres);
        if (fx && fy)
            return {*fx, *fy, length.unit};
    }
    return {static_cast<float>(x), static_cast<float>(y), "nm"};  // for the header check to judge
}

SpmHeader HeaderOfFrame(const MdtFrameInfo& info)
{
    const ZUnitMeaning z = ZUnitOf(info.m_nZUnit);
    const bool counts = info.m_nXUnit == kCounts;  // then both axes are (see LateralUnitsReadable)
    const LateralSteps steps = counts ? LateralSteps{static_cast<float>(std::fabs(info.m_dXStep)),
                                                     static_cast<float>(std::fabs(info.m_dYStep)), kCountsUnit}
                                      : LateralStepsOf(info);
    SpmHeader header{};
    header.m_nColumns = static_cast<std::uint16_t>(info.m_nColumns);
    header.m_nRows = static_cast<std::uint16_t>(info.m_nRows);
    header.m_fKx = steps.x;
    header.m_fKy = steps.y;
    header.m_fKz = static_cast<float>(info.m_dZStep * z.scale);
    SetHeaderText(header.m_szXYUnit, steps.unit);
    SetHeaderText(header.m_szZUnit, z.unit);
    SetTypedHeaderText(header.m_szQuantity, QuantityOfFrame(info.m_strQuantity, z.quantity));
    SetTypedHeaderText(header.m_szNote, info.m_strComment);
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
        return Fail(ImageFileError::kTruncated, "The file holds " + std::to_string(m_nFileSize) +
                                                    " bytes, less than the 33-byte head of an NT-MDT file.");
    for (std::size_t i = 0; i < kMagic.size(); ++i)
        if (m_pBuffer[i] != kMagic[i])
            return Fail(ImageFileError::kNotThisFormat, "The file does not begin with the mark of an NT-MDT file.");

    // Frames of other kinds (spectra, texts, MDA data) are passed over by their size; that
    // they all begin with the same size field is seen in real files, not documented.
    const int lastFrame = in.U16(kLastFrame);
    const std::string ofFrames = " of " + std::to_string(lastFrame + 1);
    std::size_t start = kFirstFrame;
    int scanned = 0;
    for (int frame = 0; frame <= lastFrame; ++frame) {
        const std::string named = "NT-MDT file: frame " + std::to_string(frame + 1) + ofFrames;
        if (!in.Has(start, kFrameHeaderSize))
            return Fail(ImageFileError::kTruncated, named + " lies past the end of the file.");
        const std::size_t size = in.U32(start + kFrameSize);
        if (size < kFrameHeaderSize)
            return Fail(ImageFileError::kBadSize, named + " gives a size of " + std::to_string(size) +
                                                      " bytes, less than a frame header.");
        if (!in.Has(start, size))
            return Fail(ImageFileError::kTruncated, named + " reaches past the end of the file.");
        if (in.U16(start + kFrameType) == kScannedImage && scanned++ == index) {
            auto info = std::make_unique<MdtFrameInfo>();
            if (ImageFileRefusal refusal = DescribeFrame(m_pBuffer, frame, start, size, *info))
                return Fail(std::move(refusal));
            if (!Accept(HeaderOfFrame(*info), info->m_nSampleOffset, header))
                return false;
            m_pFrameInfo = std::move(info);
            return true;
        }
        start += size;
    }
    const std::string frames = std::to_string(lastFrame + 1) + (lastFrame == 0 ? " frame" : " frames");
    return Fail(ImageFileError::kNoSuchImage,
                scanned == 0 ? "The NT-MDT file holds " + frames + " and no scanned image."
                             : "The NT-MDT file holds " + std::to_string(scanned) + " scanned image" +
                                   (scanned == 1 ? "" : "s") + " among its " + frames + ".");
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

constexpr const char* kFileName = "an NT-MDT file";

// A step or Z scale as the file stores it: the value in the unit of its code.
struct Stored {
    float value;
    int code;
};

// The length codes a writer tries, in order: Angstrom first, as files have them, and a Z
// unit's own code first where it has one, so that it reads back as it was.
constexpr int kAngstromFirst[] = {kAngstrom, kNanometre, kMicrometre};
constexpr int kNanometreFirst[] = {kNanometre, kAngstrom, kMicrometre};
constexpr int kMicrometreFirst[] = {kMicrometre, kAngstrom, kNanometre};

std::span<const int> ZCodesFor(const LengthUnit& length)
{
    if (length.name == "nm")
        return kNanometreFirst;
    if (length.name == "um")
        return kMicrometreFirst;
    return kAngstromFirst;
}

// The first of the length codes under which every value (in nanometres) is a normal float,
// so that it reads back as it was; none when no code holds them all.
template <std::size_t N>
std::optional<std::array<Stored, N>> InLengthCode(std::span<const int> codes, const std::array<double, N>& nanometres)
{
    for (const int code : codes) {
        std::array<Stored, N> stored{};
        bool all = true;
        for (std::size_t i = 0; i < N && all; ++i) {
            const std::optional<float> value = NormalFloat(nanometres[i] / NanometresPerUnit(code));
            all = value.has_value();
            stored[i] = {value.value_or(0.0f), code};
        }
        if (all)
            return stored;
    }
    return std::nullopt;
}

// Whether a value in nanometres that no code holds is too large rather than too small.
bool TooLarge(double nanometres)
{
    return nanometres > 1.0;
}

// What the writer makes of the header, or the sentence of why it cannot.
struct Plan {
    Stored x{}, y{}, z{};
    std::string refusal;
};

// The lateral steps: lengths as Angstrom, whatever length they are in and however it is
// spelled, or in nanometres or micrometres when Angstrom would leave the float range;
// anything else keeps its values under the counts code, as for Z, rather than being taken
// for nanometres, and reads back as counts.
void PlanXY(const SpmHeader& header, Plan& plan)
{
    const std::string unit = UnitAsWritten(HeaderText(header.m_szXYUnit));
    if (const std::optional<double> nanometres = NanometresPerLengthUnit(unit)) {
        const std::array<double, 2> steps{header.m_fKx * *nanometres, header.m_fKy * *nanometres};
        if (const auto stored = InLengthCode(kAngstromFirst, steps)) {
            plan.x = (*stored)[0];
            plan.y = (*stored)[1];
        } else {
            const bool xFails = !InLengthCode(kAngstromFirst, std::array<double, 1>{steps[0]});
            plan.refusal = OutOfRangeText(kFileName, xFails ? "X step" : "Y step", xFails ? header.m_fKx : header.m_fKy,
                                          HeaderText(header.m_szXYUnit), TooLarge(xFails ? steps[0] : steps[1]));
        }
        return;
    }
    plan.x = {header.m_fKx, kCounts};
    plan.y = {header.m_fKy, kCounts};
}

// The Z step and its unit code. Lengths go out under their own code (nanometres, micrometres
// in any spelling, Angstrom), any other length as Angstrom, and a Z scale that leaves the
// float range there under the next code that holds it; degrees keep their code. Anything
// else ("uni" counts, volts, ...) is no length: it goes out under the counts code with its
// values as they are, where making it Angstrom would multiply them by ten and call them
// heights. The format knows no text for such a unit, so it reads back as "uni".
void PlanZ(const SpmHeader& header, Plan& plan)
{
    const std::string shown = HeaderText(header.m_szZUnit);
    const std::string unit = UnitAsWritten(shown);
    const double zScale = header.m_fKz;
    if (const std::optional<LengthUnit> length = LengthUnitOf(unit)) {
        const double nanometres = zScale * length->nanometres;
        const std::array<double, 1> values{nanometres};
        if (const auto stored = InLengthCode(ZCodesFor(*length), values))
            plan.z = (*stored)[0];
        else
            plan.refusal = OutOfRangeText(kFileName, "Z scale", zScale, shown + " per sample", TooLarge(nanometres));
        return;
    }
    if (unit == "deg") {
        plan.z = {header.m_fKz, kDegree};
        return;
    }
    if (const std::optional<float> counts = NormalFloat(zScale / kCountsPerStep))
        plan.z = {*counts, kCounts};
    else
        plan.refusal = OutOfRangeText(kFileName, "Z scale", zScale, shown + " per sample", true);
}

// The frame as the reader finds it in the file written from the plan.
MdtFrameInfo WrittenFrame(const SpmHeader& header, const Plan& plan, std::span<const std::uint8_t> trailer)
{
    MdtFrameInfo frame;
    frame.m_dXStep = plan.x.value;
    frame.m_nXUnit = plan.x.code;
    frame.m_dYStep = plan.y.value;
    frame.m_nYUnit = plan.y.code;
    frame.m_dZStep = plan.z.value;
    frame.m_nZUnit = plan.z.code;
    frame.m_nColumns = header.m_nColumns;
    frame.m_nRows = header.m_nRows;
    TakeFrameTexts(trailer, frame);
    return frame;
}

EncodedHeader WriteMdtHeader(const SpmHeader& header)
{
    Plan plan;
    PlanXY(header, plan);
    if (plan.refusal.empty())
        PlanZ(header, plan);
    if (!plan.refusal.empty())
        return EncodedHeader::Refused(std::move(plan.refusal));
    // The image's quantity names the frame, and its note is the frame's comment.
    std::vector<std::uint8_t> trailer = MdtFrameTextBytes(HeaderText(header.m_szQuantity), HeaderText(header.m_szNote));
    std::vector<std::string> losses = TextLosses(kFileName, header, HeaderOfFrame(WrittenFrame(header, plan, trailer)));
    const std::size_t total = kWrittenHeaderSize + 2u * header.m_nColumns * header.m_nRows + trailer.size();
    const auto frameSize = static_cast<std::uint32_t>(total - kFirstFrame);

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
    const std::tuple<std::size_t, std::size_t, std::size_t, Stored> axes[] = {
        {kXOffset, kXStep, kXUnit, plan.x}, {kYOffset, kYStep, kYUnit, plan.y}, {kZOffset, kZStep, kZUnit, plan.z}};
    for (const auto& [offset, step, unit, stored] : axes) {
        out.F32(f + offset, 0.0f);
        out.F32(f + step, stored.value);
        out.I16(f + unit, static_cast<std::int16_t>(stored.code));
    }
    // The rest of the variable part: fixed settings of the scan as stored in every file
    // this program writes (offsets 85 to 127 of the file).
    out.U8(85, 0);
    out.U8(86, 1);
    out.U16(87, header.m_nColumns);
    out.U16(89, header.m_nRows);
    out.F32(93, plan.x.value);  // the X step once more
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
    return EncodedHeader::Written(std::move(bytes), std::move(losses), std::move(trailer));
}

}  // namespace

bool CImageFile::WriteMdt(const std::string& path, CSpmImage& image)
{
    static constexpr SaveMessages kMessages{kTextUnableToOpenForWriting, kTextSaveNotOk, kTextSaveNotOk};
    return Finish(SaveScaledImage(path, image, WriteMdtHeader, kMessages));
}
