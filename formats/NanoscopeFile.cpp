// NanoScope v4.3x files: a text header of backslash lines, one "Ciao image list" block per
// image, then int16 sample blocks at the offsets the blocks give.
#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/ByteOrder.h"
#include "formats/ImageFile.h"
#include "formats/ReplacingSave.h"
#include "formats/TextFields.h"
#include "image/HeaderTextCoding.h"
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

// Every key the reader looks for. It takes a key anywhere in a line, so the writer keeps
// every one out of the texts it writes.
constexpr std::string_view kReaderKeys[] = {kFileList, kFileListEnd, kScannerList, kSensZscan, kSensZsens,
                                            kImageList, kDataOffset, kColumns, kRows, kScanSize, kZScale,
                                            kImageData, kBytesPerPixel};
// Read only at the start of a line, for what a refusal says.
constexpr std::string_view kVersionLine = "\\Version:";
// An image's note, taken only from lines that begin with it, and whole: no key is looked for
// in a note. A note of several lines has one such line for each, in order.
constexpr std::string_view kNoteLine = "\\Note:";

// The Z scale's hard value spans the whole range of a 16-bit sample.
constexpr double kSampleSteps = 65536.0;
// Where the writer puts the samples; the header text and zero bytes fill what is before.
constexpr std::size_t kWrittenDataOffset = 40960;

// The value texts of one "Ciao image list" block, converted only for the chosen block.
struct ImageBlock {
    std::optional<std::string> offset, columns, rows, scanSize, zScale, bytesPerPixel;
    std::string dataName;
    std::optional<std::string> note;
    // Keys the block must hold that it holds only in another case, as later versions spell
    // some ("Scan Size:"): each with the file's spelling, for what a refusal says.
    std::vector<std::pair<std::string_view, std::string>> respelled;

    // The keys a block must hold, each with its value in this block.
    std::array<std::pair<std::string_view, const std::optional<std::string>*>, 4> Required() const
    {
        return {{{kDataOffset, &offset}, {kColumns, &columns}, {kRows, &rows}, {kScanSize, &scanSize}}};
    }
    bool Complete() const { return offset && columns && rows && scanSize; }
    // The keys a block must hold that this one lacks, quoted: "A", "A" and "B", "A", "B" and "C".
    std::string Missing() const
    {
        std::vector<std::string_view> missing;
        for (const auto& [key, value] : Required())
            if (!*value)
                missing.push_back(key);
        std::string text;
        for (std::size_t i = 0; i < missing.size(); ++i)
            text += (i == 0 ? "" : i + 1 == missing.size() ? " and " : ", ") + InQuotes(missing[i]);
        return text;
    }
    // The first key the block lacks that it holds in another case, with the file's spelling.
    const std::pair<std::string_view, std::string>* FirstRespelled() const
    {
        for (const auto& [key, value] : Required()) {
            if (*value)
                continue;
            for (const auto& found : respelled)
                if (found.first == key)
                    return &found;
        }
        return nullptr;
    }
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

// The key as the line spells it, when the line holds it in another case only.
std::optional<std::string_view> SpellingIgnoringCase(std::string_view line, std::string_view key)
{
    const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    const auto sameLetter = [&](char a, char b) { return lower(a) == lower(b); };
    if (line.size() <= 1 || Contains(line, key))
        return std::nullopt;
    const auto found = std::search(line.begin() + 1, line.end(), key.begin(), key.end(), sameLetter);
    if (found == line.end())
        return std::nullopt;
    return line.substr(static_cast<std::size_t>(found - line.begin()), key.size());
}

bool IsSectionLine(std::string_view line)
{
    return line.starts_with("\\*");
}

// The value of a note line, without the one blank after its key.
std::string_view NoteOf(std::string_view noteLine)
{
    std::string_view value = noteLine.substr(kNoteLine.size());
    if (value.starts_with(' '))
        value.remove_prefix(1);
    return value;
}

// A block's note lines as one note: the lines joined by line feeds.
void AddNoteLine(std::optional<std::string>& note, std::string_view noteLine)
{
    note = note ? *note + "\n" : std::string();
    *note += NoteOf(noteLine);
}

void TakeBlockKey(std::string_view line, ImageBlock& block)
{
    if (line.starts_with(kNoteLine)) {
        AddNoteLine(block.note, line);
        return;
    }
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
    for (const auto& [key, value] : block.Required()) {
        const bool noted = std::any_of(block.respelled.begin(), block.respelled.end(),
                                       [&](const auto& found) { return found.first == key; });
        if (!*value && !noted)
            if (const std::optional<std::string_view> spelling = SpellingIgnoringCase(line, key))
                block.respelled.emplace_back(key, *spelling);
    }
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

// The Z scale's last word: the unit of its hard value.
std::string_view LastWordOf(std::string_view zScale)
{
    const std::size_t lastBlank = zScale.rfind(' ');
    return lastBlank == std::string_view::npos ? std::string_view() : zScale.substr(lastBlank + 1);
}

// The Z unit of an image by its data name: a height's is nanometres and a phase's degrees;
// any other quantity's is the hard value's unit, which our writer makes the image's own
// unit; volts, the instrument's raw unit, and nothing read "uni".
std::string_view ZUnitOf(std::string_view dataName, std::string_view hardValueUnit)
{
    if (dataName == "Height")
        return "nm";
    if (dataName == "Phase")
        return "deg";
    return hardValueUnit.empty() || hardValueUnit == "V" ? std::string_view("uni") : hardValueUnit;
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

// "v9.01" for the version "0x09010201" (its first two pairs of digits); any other text as
// it stands.
std::string VersionText(std::string_view value)
{
    while (value.starts_with(' '))
        value.remove_prefix(1);
    const auto digits = [&](std::size_t at) {
        return value.size() >= at + 2 && std::isdigit(static_cast<unsigned char>(value[at])) &&
               std::isdigit(static_cast<unsigned char>(value[at + 1]));
    };
    if (value.starts_with("0x") && digits(2) && digits(4))
        return "v" + std::to_string((value[2] - '0') * 10 + (value[3] - '0')) + "." + std::string(value.substr(4, 2));
    return "version " + MixedBytesAsUtf8(CutUtf8(value, 20));
}

// What a refusal says of the file first: "NanoScope v9.01 file, 2 bytes per sample: ".
std::string FileDescription(const std::optional<std::string>& version, const std::optional<std::string>& bytesPerPixel)
{
    std::string text = "NanoScope ";
    if (version)
        text += VersionText(*version) + " ";
    text += "file";
    if (bytesPerPixel)
        text += ", " + ShortNumber(CImageFile::ParseNumber(*bytesPerPixel)) + " bytes per sample";
    return text + ": ";
}

// The chosen block into a zeroed header: every size, offset and number checked before use.
// A refusal's sentence goes on after "NanoScope ... file: ".
ImageFileRefusal DescribeBlock(const ImageBlock& block, int index, std::optional<double> sensitivity, std::size_t fileSize,
                      SpmHeader& read, std::size_t& sampleOffset)
{
    const std::string image = "image " + std::to_string(index + 1);
    const double columnsRead = CImageFile::ParseNumber(*block.columns);
    const double rowsRead = CImageFile::ParseNumber(*block.rows);
    const std::optional<int> columns = ImageSideOf(columnsRead);
    const std::optional<int> rows = ImageSideOf(rowsRead);
    if (!columns || !rows)
        return {ImageFileError::kBadSize, image + " has " + ImageSizeRefusal(columnsRead, rowsRead) + "."};
    // Only 16-bit samples are read; newer files may store 4 bytes per pixel.
    if (block.bytesPerPixel && CImageFile::ParseNumber(*block.bytesPerPixel) != 2.0)
        return {ImageFileError::kUnsupportedLayout, "this program reads 2-byte samples only."};
    const double offsetRead = CImageFile::ParseNumber(*block.offset);
    const std::optional<std::size_t> offset = FileOffsetOf(offsetRead, fileSize);
    const std::size_t dataSize = 2u * static_cast<std::size_t>(*columns) * static_cast<std::size_t>(*rows);
    if (!offset || !FitsIn(fileSize, *offset, dataSize))
        return {ImageFileError::kTruncated,
                offsetRead < 0.0 ? image + " gives its samples a negative offset."
                                 : "the " + std::to_string(*columns) + " x " + std::to_string(*rows) + " samples of " +
                                       image + " from byte " + ShortNumber(offsetRead) +
                                       " reach past the end of the file (" + std::to_string(fileSize) + " bytes)."};

    const std::optional<ScanSize> scan = ScanSizeOf(*block.scanSize);
    if (!scan)
        return {ImageFileError::kBadNumber,
                "the " + InQuotes(kScanSize) + " of " + image + " holds no width, height and unit."};
    if (!block.zScale)
        return {ImageFileError::kMissingKey, image + " lacks " + InQuotes(kZScale) + "."};
    const std::optional<double> hardValue = HardValueOf(*block.zScale);
    if (!hardValue)
        return {ImageFileError::kBadNumber, "the " + InQuotes(kZScale) + " of " + image + " holds no number."};
    const bool height = block.dataName == "Height";
    if (height && !sensitivity)
        return {ImageFileError::kMissingKey, image + " is a height, but the file gives no " + InQuotes(kSensZscan) +
                                                 " or " + InQuotes(kSensZsens) + " sensitivity."};
    // Heights need the scanner's sensitivity (nm per volt); other quantities are in the
    // Z scale's own unit.
    const double zScale = *hardValue * (height ? *sensitivity : 1.0) / kSampleSteps;

    read.m_nColumns = static_cast<std::uint16_t>(*columns);
    read.m_nRows = static_cast<std::uint16_t>(*rows);
    read.m_fKx = static_cast<float>(scan->width / *columns);
    read.m_fKy = static_cast<float>(scan->height / *rows);
    read.m_fKz = static_cast<float>(zScale);
    if (std::isnan(read.m_fKz))  // an infinite hard value times a sensitivity of 0
        return {ImageFileError::kBadNumber, "the Z scale of " + image + " is not a number."};
    SetHeaderText(read.m_szXYUnit, XYUnitOf(scan->unit));
    SetHeaderText(read.m_szZUnit, ZUnitOf(block.dataName, LastWordOf(*block.zScale)));
    SetHeaderText(read.m_szQuantity, block.dataName);
    SetHeaderText(read.m_szNote, block.note.value_or(""));
    SetHeaderText(read.m_szVersion, "from Nanoscope");
    sampleOffset = *offset;
    return {};
}

// Why a file is refused whose block holds a key in another case than this reader's. Samples
// of a size this program does not read come first, as they keep the file from being read
// whatever its keys; then the key as the reader looks for it and as the file spells it.
std::string RespelledKeyRefusal(const std::optional<std::string>& version, const ImageBlock& block,
                                const std::pair<std::string_view, std::string>& key)
{
    const bool twoBytes = !block.bytesPerPixel || CImageFile::ParseNumber(*block.bytesPerPixel) == 2.0;
    const bool laterVersion = version && !VersionText(*version).starts_with("v4.3");
    return FileDescription(version, twoBytes ? std::nullopt : block.bytesPerPixel) + "this program reads " +
           (twoBytes ? "" : "2-byte samples and ") + "the keys of v4.3x files, and " +
           (laterVersion ? "this version" : "this file") + " spells " + InQuotes(key.first) + " as " +
           InQuotes(key.second) + ".";
}

// Why the file holds no complete block of the wanted number.
std::string NoSuchBlock(const std::optional<std::string>& version, int blocks, int complete,
                        const std::optional<ImageBlock>& incomplete)
{
    const std::string file = FileDescription(version, incomplete ? incomplete->bytesPerPixel : std::nullopt);
    if (blocks == 0)
        return file + "it holds no image list.";
    if (complete == 0 && incomplete) {
        if (const auto* key = incomplete->FirstRespelled())
            return RespelledKeyRefusal(version, *incomplete, *key);
        if (blocks == 1)
            return file + "its image list lacks " + incomplete->Missing() + ".";
        return file + "none of its " + std::to_string(blocks) + " image lists is complete; the first lacks " +
               incomplete->Missing() + ".";
    }
    return file + "it holds " + std::to_string(complete) + (complete == 1 ? " image." : " images.");
}

}  // namespace

bool CImageFile::ReadNanoscopeHeader(const std::string& path, SpmHeader& header, int index)
{
    if (!BeginRead(path, index))
        return false;
    GetLine();
    if (!Contains(Line(), kFileList))
        return Fail(ImageFileError::kNotThisFormat,
                    "The file does not begin with a NanoScope " + InQuotes(kFileList) + " line.");

    enum class Section { kOther, kImage } section = Section::kOther;
    // The sensitivity is looked for from the scanner list on, in whatever section follows.
    bool scannerSeen = false;
    std::optional<std::string> sensitivityText;
    std::optional<std::string> version;
    ImageBlock block;
    std::optional<ImageBlock> chosen;
    std::optional<ImageBlock> firstIncomplete;  // for what a refusal says
    int blocks = 0;
    int complete = 0;
    // A block ends at the next section line, so a key missing from one block is never
    // taken from its neighbour.
    const auto closeBlock = [&] {
        if (section == Section::kImage && !chosen) {
            ++blocks;
            if (!block.Complete())
                firstIncomplete = firstIncomplete ? firstIncomplete : block;
            else if (complete++ == index)
                chosen = block;
        }
        section = Section::kOther;
    };
    while (!chosen && m_nReadPos < m_nFileSize) {
        GetLine();
        // Instrument files end their lines in CR LF, but a v5.15 file has line feeds alone:
        // a carriage return is dropped only where there is one, so no digit is lost.
        const std::string_view line = WithoutCarriageReturn(Line());
        if (!version && line.starts_with(kVersionLine))
            version = std::string(line.substr(kVersionLine.size()));
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
        if (scannerSeen && !sensitivityText && !line.starts_with(kNoteLine)) {
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
        return Fail(ImageFileError::kNoSuchImage, NoSuchBlock(version, blocks, complete, firstIncomplete));

    const std::optional<double> sensitivity =
        sensitivityText ? SensitivityOf(*sensitivityText) : std::nullopt;
    SpmHeader read{};
    std::size_t sampleOffset = 0;
    if (ImageFileRefusal refusal = DescribeBlock(*chosen, index, sensitivity, m_nFileSize, read, sampleOffset))
        return Fail(refusal.error, FileDescription(version, chosen->bytesPerPixel) + refusal.detail);
    return Accept(read, sampleOffset, header);
}

bool CImageFile::ReadNanoscopeData(CSpmImage& image)
{
    return CopyPreparedSamples(image);
}

namespace {

constexpr const char* kFileName = "a NanoScope file";

// A text as the writer stores it: no reader key left in it, since the reader takes a key
// anywhere in a line; each key found loses its last character until none is left.
std::string WithoutReaderKeys(std::string text)
{
    for (bool found = true; found;) {
        found = false;
        for (const std::string_view key : kReaderKeys)
            if (const std::size_t at = text.find(key); at != std::string::npos) {
                text.erase(at + key.size() - 1, 1);
                found = true;
            }
    }
    return text;
}

// The data name: no quote or control character may cut it between its quotes.
std::string DataNameOf(const SpmHeader& header)
{
    std::string name = HeaderText(header.m_szQuantity);
    std::erase_if(name, [](char c) { return c == '"' || static_cast<unsigned char>(c) < ' ' || c == 0x7F; });
    name = WithoutReaderKeys(std::move(name));
    return name.empty() ? std::string("Height") : name;
}

// A unit as the writer stores it, the last word of its line; what it means is decided on
// this text, as the NT-MDT writer decides on its own. Empty for a unit of nothing but blanks,
// quotes or control characters: its line then ends in a word of the format's, and the unit
// is lost.
std::string UnitWordOf(std::string_view unit)
{
    return WithoutReaderKeys(UnitAsWritten(unit));
}

// What the writer makes of the header: the texts of the lines that depend on the image and
// the texts the reader takes back from them, or the sentence of why it cannot.
struct Plan {
    std::string name, sensitivity, zScaleLine, scanSize;
    SpmHeader back{};
    std::string refusal;
};

// Lateral sizes in a unit the reader takes back: micrometres, however spelled, in the
// format's own "~m" notation, any other length in nanometres, either in the other of the
// two when a step leaves the float range there; a unit that is no length stays as it is and
// reads back as "Unit".
void PlanScanSize(const SpmHeader& header, Plan& plan)
{
    const std::string shown = HeaderText(header.m_szXYUnit);
    const std::string unit = UnitWordOf(shown);
    const std::optional<LengthUnit> length = LengthUnitOf(unit);
    const double perStep = length ? length->nanometres : 1.0;
    const std::pair<std::string_view, double> micrometres{"~m", 1000.0}, nanometres{"nm", 1.0};
    const std::string word = unit.empty() ? "Unit" : unit;
    std::vector<std::pair<std::string_view, double>> candidates{{word, 1.0}};
    if (length)
        candidates = length->name == "um" ? std::vector{micrometres, nanometres} : std::vector{nanometres, micrometres};
    for (const auto& [text, perUnit] : candidates) {
        const double x = header.m_fKx * perStep / perUnit;
        const double y = header.m_fKy * perStep / perUnit;
        if (NormalFloat(x) && NormalFloat(y)) {
            plan.scanSize = FormatFixedSignificant(header.m_nColumns * x) + " " +
                            FormatFixedSignificant(header.m_nRows * y) + " " + std::string(text);
            SetHeaderText(plan.back.m_szXYUnit, XYUnitOf(text));
            return;
        }
    }
    const auto fits = [&](float step) {
        return std::any_of(candidates.begin(), candidates.end(), [&](const auto& candidate) {
            return NormalFloat(step * perStep / candidate.second).has_value();
        });
    };
    const bool xFails = !fits(header.m_fKx);
    const double step = xFails ? header.m_fKx : header.m_fKy;
    plan.refusal = OutOfRangeText(kFileName, xFails ? "X step" : "Y step", step, shown, step * perStep > 1.0);
}

// The reader takes a height in nanometres by its sensitivity (nm/V), the Z scale of any
// other quantity from the hard value, in the unit that follows it, but for a phase, which it
// takes in degrees. A unit that the data name does not let the file carry reads back as
// another; a height that leaves the float range in nanometres is refused.
void PlanZScale(const SpmHeader& header, Plan& plan)
{
    const std::string shown = HeaderText(header.m_szZUnit);
    const std::string unit = UnitWordOf(shown);
    const std::string word = unit.empty() ? "uni" : unit;
    const std::string zScale = FormatFixedSignificant(header.m_fKz);
    std::string hardValue = FormatFixedSignificant(header.m_fKz * kSampleSteps) + " " + word;
    plan.sensitivity = zScale;
    if (plan.name == "Height") {
        const std::optional<double> nanometres = NanometresPerLengthUnit(unit);
        const double perSample = header.m_fKz * nanometres.value_or(1.0);
        if (!NormalFloat(perSample)) {
            plan.refusal = OutOfRangeText(kFileName, "Z scale", header.m_fKz, shown + " per sample", perSample > 1.0);
            return;
        }
        plan.sensitivity = FormatFixedSignificant(perSample);
        hardValue = "65536 V";
    }
    plan.zScaleLine = "\\@2:Z scale: V [Sens. Zscan] (" + zScale + " V/LSB) " + hardValue;
    SetHeaderText(plan.back.m_szZUnit, ZUnitOf(plan.name, word));
}

// The note, one line for each of its lines; the reader joins them again.
std::vector<std::string> NoteLines(const SpmHeader& header)
{
    std::vector<std::string> lines;
    const std::string note = HeaderText(header.m_szNote);
    for (std::size_t start = 0;;) {
        const std::size_t end = note.find('\n', start);
        lines.push_back(std::string(kNoteLine) + " " + note.substr(start, end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 1;
    }
}

// The note the reader takes from the lines.
std::string NoteOfLines(const std::vector<std::string>& lines)
{
    std::optional<std::string> note;
    for (const std::string& line : lines)
        AddNoteLine(note, line);
    return note.value_or("");
}

// The header lines, then zero bytes up to the samples. The quantity is the data name; a
// height's Z scale goes into the sensitivity (nm/V) as the reader takes it, any other
// quantity's into the hard value, followed by the image's own Z unit.
EncodedHeader WriteNanoscopeHeader(const SpmHeader& header)
{
    Plan plan;
    plan.name = DataNameOf(header);
    PlanScanSize(header, plan);
    if (plan.refusal.empty())
        PlanZScale(header, plan);
    if (!plan.refusal.empty())
        return EncodedHeader::Refused(std::move(plan.refusal));
    const std::string imageData = "\\@2:Image Data: S [" + plan.name + "] \"" + plan.name + "\"";
    SetHeaderText(plan.back.m_szQuantity, TextBetweenLastQuotes(imageData));
    const std::vector<std::string> note = NoteLines(header);
    SetHeaderText(plan.back.m_szNote, NoteOfLines(note));
    const double columns = header.m_nColumns;
    const double rows = header.m_nRows;
    std::vector<std::string> lines = {
        "\\*File list",
        "\\Version: 0x05120003",
        "\\*Scanner list",
        "\\@Sens. Zscan: V " + plan.sensitivity + " nm/V",
        "\\*Ciao image list",
        "\\Data offset: 40960",
        "\\Data length: " + FormatFixed(rows * columns * 2, 0),
        "\\Bytes/pixel: 2",
    };
    lines.insert(lines.end(), note.begin(), note.end());
    lines.insert(lines.end(), {
        "\\Samps/line: " + FormatFixed(columns, 0),
        "\\Number of lines: " + FormatFixed(rows, 0),
        "\\Scan size: " + plan.scanSize,
        imageData,
        plan.zScaleLine,
        "\\*File list end",
    });
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kWrittenDataOffset);
    for (const std::string& line : lines) {
        bytes.insert(bytes.end(), line.begin(), line.end());
        bytes.push_back('\r');
        bytes.push_back('\n');
    }
    bytes.resize(kWrittenDataOffset, 0);
    return EncodedHeader::Written(std::move(bytes), TextLosses(kFileName, header, plan.back, plan.name));
}

}  // namespace

bool CImageFile::WriteNanoscope(const std::string& path, CSpmImage& image)
{
    static constexpr SaveMessages kMessages{kTextUnableToOpenForWriting, kTextErrorWritingHeader,
                                            kTextSaveNotOk};
    return Finish(SaveScaledImage(path, image, WriteNanoscopeHeader, kMessages));
}
