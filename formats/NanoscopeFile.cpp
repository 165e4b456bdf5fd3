// NanoScope v4.3x files: a text header of backslash lines, one "Ciao image list" block per
// image, then int16 sample blocks at the offsets the blocks give.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "formats/ByteOrder.h"
#include "formats/ImageFile.h"
#include "formats/ReplacingSave.h"
#include "formats/TextFields.h"
#include "image/SpmImage.h"
#include "platform/core/NumberText.h"

namespace {

constexpr std::string_view kFileList = "File list";
constexpr std::string_view kFileListEnd = "File list end";
constexpr std::string_view kScannerList = "*Scanner list";
constexpr std::string_view kSensZscan = "@Sens. Zscan:";
constexpr std::string_view kSensZsens = "@Sens. Zsens:";
constexpr std::string_view kImageList = "Ciao image list";
constexpr std::string_view kDataOffset = "Data offset:";
constexpr std::string_view kColumns = "Samps/line:";
constexpr std::string_view kRows = "Number of lines:";
constexpr std::string_view kScanSize = "Scan size:";
constexpr std::string_view kZScale = "@2:Z scale:";
constexpr std::string_view kImageData = "@2:Image Data:";
constexpr std::string_view kBytesPerPixel = "Bytes/pixel:";

// The Z scale's hard value spans the whole range of a 16-bit sample.
constexpr double kSampleSteps = 65536.0;
// Where the writer puts the samples; the header text and zero bytes fill what is before.
constexpr std::size_t kWrittenDataOffset = 40960;

// The value texts of one "Ciao image list" block, converted only for the chosen block.
struct ImageBlock {
    std::optional<std::string> offset, columns, rows, scanSize, zScale, bytesPerPixel;
    std::string dataName;

    bool Complete() const { return offset && columns && rows && scanSize; }
};

// Header lines are "\key value"; a key counts anywhere after the leading backslash.
std::optional<std::string_view> ValueOf(std::string_view line, std::string_view key)
{
    const std::size_t pos = line.size() > 1 ? line.find(key, 1) : std::string_view::npos;
    if (pos == std::string_view::npos)
        return std::nullopt;
    std::string_view value = line.substr(pos + key.size());
    if (!value.empty() && value.front() == ' ')
        value.remove_prefix(1);
    return value;
}

bool Contains(std::string_view line, std::string_view key)
{
    return ValueOf(line, key).has_value();
}

bool IsSectionLine(std::string_view line)
{
    return line.starts_with("\\*");
}

void TakeBlockKey(std::string_view line, ImageBlock& block)
{
    const auto take = [&](std::string_view key, std::optional<std::string>& field) {
        if (auto value = ValueOf(line, key))
            field = std::string(*value);
    };
    take(kDataOffset, block.offset);
    take(kColumns, block.columns);
    take(kRows, block.rows);
    take(kScanSize, block.scanSize);
    take(kZScale, block.zScale);
    take(kBytesPerPixel, block.bytesPerPixel);
    if (Contains(line, kImageData))
        block.dataName = std::string(TextBetweenLastQuotes(line));
}

// "V 11.39026 nm/V": the number is the second word.
std::optional<double> SensitivityOf(std::string_view value)
{
    const std::size_t blank = value.find(' ');
    if (blank == std::string_view::npos)
        return std::nullopt;
    const std::string_view rest = value.substr(blank + 1);
    return CImageFile::ParseNumber(rest.substr(0, rest.find(' ')));
}

// "V [Sens. Zscan] (0.006713765 V/LSB) 7.237438 V": the number before the last word.
std::optional<double> HardValueOf(std::string_view value)
{
    const std::size_t lastBlank = value.rfind(' ');
    if (lastBlank == std::string_view::npos)
        return std::nullopt;
    const std::string_view head = value.substr(0, lastBlank);
    const std::size_t blank = head.rfind(' ');
    return CImageFile::ParseNumber(blank == std::string_view::npos ? head : head.substr(blank + 1));
}

// The Z unit of a quantity other than height and phase: the Z scale's last word, which our
// writer makes the image's own unit; volts, the instrument's raw unit, and nothing read "uni".
std::string_view OtherZUnitOf(std::string_view zScale)
{
    const std::size_t lastBlank = zScale.rfind(' ');
    const std::string_view unit = lastBlank == std::string_view::npos ? std::string_view() : zScale.substr(lastBlank + 1);
    return unit.empty() || unit == "V" ? std::string_view("uni") : unit;
}

struct ScanSize {
    double width = 0.0;
    double height = 0.0;
    std::string_view unit;
};

// "2 2 ~m": width, height, and the rest is the unit.
std::optional<ScanSize> ScanSizeOf(std::string_view value)
{
    const std::size_t first = value.find(' ');
    if (first == std::string_view::npos)
        return std::nullopt;
    const std::size_t second = value.find(' ', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    return ScanSize{CImageFile::ParseNumber(value.substr(0, first)),
                    CImageFile::ParseNumber(value.substr(first + 1, second - first - 1)),
                    value.substr(second + 1)};
}

// The files write micrometres as "~m" (seen in every real file we have); any unit other
// than that and "nm" is kept only as "Unit".
const char* XYUnitOf(std::string_view scanUnit)
{
    if (scanUnit == "~m")
        return "um";
    if (scanUnit == "nm")
        return "nm";
    return "Unit";
}

// The chosen block into a zeroed header: every size, offset and number checked before use.
ImageFileError DescribeBlock(const ImageBlock& block, std::optional<double> sensitivity,
                             std::size_t fileSize, SpmHeader& read, std::size_t& sampleOffset)
{
    const std::optional<int> columns = ImageSideOf(CImageFile::ParseNumber(*block.columns));
    const std::optional<int> rows = ImageSideOf(CImageFile::ParseNumber(*block.rows));
    if (!columns || !rows)
        return ImageFileError::kBadSize;
    // Only 16-bit samples are read; newer files may store 4 bytes per pixel.
    if (block.bytesPerPixel && CImageFile::ParseNumber(*block.bytesPerPixel) != 2.0)
        return ImageFileError::kUnsupportedLayout;
    const std::optional<std::size_t> offset = FileOffsetOf(CImageFile::ParseNumber(*block.offset), fileSize);
    const std::size_t dataSize = 2u * static_cast<std::size_t>(*columns) * static_cast<std::size_t>(*rows);
    if (!offset || !FitsIn(fileSize, *offset, dataSize))
        return ImageFileError::kTruncated;

    const std::optional<ScanSize> scan = ScanSizeOf(*block.scanSize);
    if (!scan)
        return ImageFileError::kBadNumber;
    if (!block.zScale)
        return ImageFileError::kMissingKey;
    const std::optional<double> hardValue = HardValueOf(*block.zScale);
    if (!hardValue)
        return ImageFileError::kBadNumber;
    const bool height = block.dataName == "Height";
    if (height && !sensitivity)
        return ImageFileError::kMissingKey;
    // Heights need the scanner's sensitivity (nm per volt); other quantities are in the
    // Z scale's own unit.
    const double zScale = *hardValue * (height ? *sensitivity : 1.0) / kSampleSteps;

    read.m_nColumns = static_cast<std::uint16_t>(*columns);
    read.m_nRows = static_cast<std::uint16_t>(*rows);
    read.m_fKx = static_cast<float>(scan->width / *columns);
    read.m_fKy = static_cast<float>(scan->height / *rows);
    read.m_fKz = static_cast<float>(zScale);
    if (std::isnan(read.m_fKz))  // an infinite hard value times a sensitivity of 0
        return ImageFileError::kBadNumber;
    SetHeaderText(read.m_szXYUnit, XYUnitOf(scan->unit));
    SetHeaderText(read.m_szZUnit, height                        ? std::string_view("nm")
                                  : block.dataName == "Phase" ? std::string_view("deg")
                                                              : OtherZUnitOf(*block.zScale));
    SetHeaderText(read.m_szQuantity, block.dataName);
    SetHeaderText(read.m_szVersion, "from Nanoscope");
    sampleOffset = *offset;
    return ImageFileError::kNone;
}

}  // namespace

bool CImageFile::ReadNanoscopeHeader(const std::string& path, SpmHeader& header, int index)
{
    if (!BeginRead(path, index))
        return false;
    GetLine();
    if (!Contains(Line(), kFileList))
        return Fail(ImageFileError::kNotThisFormat);

    enum class Section { kOther, kImage } section = Section::kOther;
    // The sensitivity is looked for from the scanner list on, in whatever section follows.
    bool scannerSeen = false;
    std::optional<std::string> sensitivityText;
    ImageBlock block;
    std::optional<ImageBlock> chosen;
    int remaining = index;
    // A block ends at the next section line, so a key missing from one block is never
    // taken from its neighbour.
    const auto closeBlock = [&] {
        if (section == Section::kImage && block.Complete() && !chosen) {
            if (remaining == 0)
                chosen = block;
            --remaining;
        }
        section = Section::kOther;
    };
    while (!chosen && m_nReadPos < m_nFileSize) {
        GetLine();
        // Instrument files end their lines in CR LF, but a v5.15 file has line feeds alone:
        // a carriage return is dropped only where there is one, so no digit is lost.
        const std::string_view line = WithoutCarriageReturn(Line());
        if (IsSectionLine(line)) {
            closeBlock();
            if (Contains(line, kFileListEnd))
                break;
            scannerSeen = scannerSeen || Contains(line, kScannerList);
            if (Contains(line, kImageList)) {
                section = Section::kImage;
                block = ImageBlock{};
            }
            continue;
        }
        if (scannerSeen && !sensitivityText) {
            // Only the first sensitivity of a file counts.
            auto value = ValueOf(line, kSensZscan);
            if (!value)
                value = ValueOf(line, kSensZsens);
            if (value)
                sensitivityText = std::string(*value);
        }
        if (section == Section::kImage)
            TakeBlockKey(line, block);
    }
    closeBlock();
    if (!chosen)
        return Fail(ImageFileError::kNoSuchImage);

    const std::optional<double> sensitivity =
        sensitivityText ? SensitivityOf(*sensitivityText) : std::nullopt;
    SpmHeader read{};
    std::size_t sampleOffset = 0;
    if (const ImageFileError error = DescribeBlock(*chosen, sensitivity, m_nFileSize, read, sampleOffset);
        error != ImageFileError::kNone)
        return Fail(error);
    return Accept(read, sampleOffset, header);
}

bool CImageFile::ReadNanoscopeData(CSpmImage& image)
{
    return CopyPreparedSamples(image);
}

namespace {

// A header text as the reader takes it back: no quote or control character may cut the
// data name between its quotes, and a unit, the line's last word, holds no blank either.
std::string HeaderPart(const char* text, std::size_t size, bool oneWord, std::string_view fallback)
{
    std::string part(text, std::find(text, text + size, '\0'));
    std::erase_if(part, [oneWord](char c) {
        return c == '"' || static_cast<unsigned char>(c) < ' ' || (oneWord && c == ' ');
    });
    return part.empty() ? std::string(fallback) : part;
}

// Nanometres per unit of a height, since the reader takes heights in nanometres; a unit it
// does not know stays as it is.
double NanometresPer(std::string_view unit)
{
    return NanometresPerLengthUnit(unit).value_or(1.0);
}

// The 14 header lines, then zero bytes up to the samples. The quantity is the data name; a
// height's Z scale goes into the sensitivity (nm/V) as the reader takes it, any other
// quantity's into the hard value, followed by the image's own Z unit.
std::vector<std::uint8_t> WriteNanoscopeHeader(const CSpmImage& image)
{
    const SpmHeader& header = image.m_header;
    const std::string name = HeaderPart(header.m_szQuantity, sizeof header.m_szQuantity, false, "Height");
    const std::string zUnit = HeaderPart(header.m_szZUnit, sizeof header.m_szZUnit, true, "uni");
    const bool height = name == "Height";
    const std::string zScale = FormatFixedSignificant(header.m_fKz);
    const std::string sensitivity =
        height ? FormatFixedSignificant(header.m_fKz * NanometresPer(zUnit)) : zScale;
    const std::string hardValue =
        height ? "65536 V" : FormatFixedSignificant(header.m_fKz * kSampleSteps) + " " + zUnit;
    // Lateral sizes in a unit the reader takes back: micrometres, however spelled, in the
    // format's own "~m" notation, any other length in nanometres; a unit that is no length
    // stays as it is.
    const std::string xyUnit = HeaderText(header.m_szXYUnit);
    const std::optional<LengthUnit> length = LengthUnitOf(xyUnit);
    const bool micrometres = length && length->name == "um";
    const std::string scanUnit = micrometres ? "~m" : length ? "nm" : xyUnit;
    const double perStep = length && !micrometres ? length->nanometres : 1.0;
    const double columns = header.m_nColumns;
    const double rows = header.m_nRows;
    const std::string lines[] = {
        "\\*File list",
        "\\Version: 0x05120003",
        "\\*Scanner list",
        "\\@Sens. Zscan: V " + sensitivity + " nm/V",
        "\\*Ciao image list",
        "\\Data offset: 40960",
        "\\Data length: " + FormatFixed(rows * columns * 2, 0),
        "\\Bytes/pixel: 2",
        "\\Samps/line: " + FormatFixed(columns, 0),
        "\\Number of lines: " + FormatFixed(rows, 0),
        "\\Scan size: " + FormatFixedSignificant(columns * header.m_fKx * perStep) + " " +
            FormatFixedSignificant(rows * header.m_fKy * perStep) + " " + scanUnit,
        "\\@2:Image Data: S [" + name + "] \"" + name + "\"",
        "\\@2:Z scale: V [Sens. Zscan] (" + zScale + " V/LSB) " + hardValue,
        "\\*File list end",
    };
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kWrittenDataOffset);
    for (const std::string& line : lines) {
        bytes.insert(bytes.end(), line.begin(), line.end());
        bytes.push_back('\r');
        bytes.push_back('\n');
    }
    bytes.resize(kWrittenDataOffset, 0);
    return bytes;
}

}  // namespace

bool CImageFile::WriteNanoscope(const std::string& path, CSpmImage& image)
{
    static constexpr SaveMessages kMessages{kTextUnableToOpenForWriting, kTextErrorWritingHeader,
                                            kTextSaveNotOk};
    return Finish(SaveScaledImage(path, image, WriteNanoscopeHeader, kMessages));
}
