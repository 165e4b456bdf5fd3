// Origin text exports: tab-separated numbers, every field closed by a tab. Line 1 holds a
// leading field and the X coordinates, each further line a Y coordinate and one image row.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/ImageFile.h"
#include "formats/TextFields.h"
#include "image/HeaderTextCoding.h"
#include "image/ImageStatistics.h"
#include "image/SpmImage.h"
#include "platform/core/NumberText.h"

namespace {

// Values and coordinates are in micrometres; the image keeps nanometres.
constexpr double kNanometresPerValue = 1000.0;
// The raw samples span -32765 to 32765 over the values' range.
constexpr double kRawSpan = 65530.0;
constexpr double kRawLowest = -32765.0;

// One line of the buffer at a time, of any length, without its line end.
class TextLines {
public:
    explicit TextLines(std::span<const std::uint8_t> bytes)
        : m_text(reinterpret_cast<const char*>(bytes.data()), bytes.size())
    {
    }
    bool Next(std::string_view& line)
    {
        if (m_pos >= m_text.size())
            return false;
        const std::size_t end = std::min(m_text.find('\n', m_pos), m_text.size());
        line = m_text.substr(m_pos, end - m_pos);
        m_pos = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.remove_suffix(1);
        return true;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

// A number in the C locale's form, exponents included; blanks around it are allowed.
std::optional<double> OriginNumber(std::string_view field)
{
    while (!field.empty() && field.front() == ' ')
        field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ')
        field.remove_suffix(1);
    if (!field.empty() && field.front() == '+')
        field.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

ImageFileRefusal RefuseLine(ImageFileError error, std::size_t line, std::string_view what)
{
    return {error, "Line " + std::to_string(line) + " of the Origin export " + std::string(what) + "."};
}

// The text of a field as a message quotes it: cut after 20 bytes.
std::string QuotedField(std::string_view field)
{
    return InQuotes(MixedBytesAsUtf8(CutUtf8(field, 20)) + (field.size() > 20 ? "..." : ""));
}

// The fields after a line's first tab, each closed by a tab, each passed to take(value),
// which refuses with a sentence of what is wrong after "Line N of the Origin export ".
// Fails on a field without its closing tab or one that is not a number.
template <class Take>
ImageFileRefusal ForEachField(std::string_view line, std::size_t number, Take take)
{
    const std::size_t first = line.find('\t');
    if (first == std::string_view::npos)
        return RefuseLine(ImageFileError::kBadRow, number, "holds no tab");
    std::string_view rest = line.substr(first + 1);
    while (!rest.empty()) {
        const std::size_t tab = rest.find('\t');
        if (tab == std::string_view::npos)
            return RefuseLine(ImageFileError::kBadRow, number, "does not close its last value with a tab");
        const std::string_view field = rest.substr(0, tab);
        const std::optional<double> value = OriginNumber(field);
        if (!value)
            return RefuseLine(ImageFileError::kBadNumber, number, "holds " + QuotedField(field) + ", which is no number");
        if (ImageFileRefusal refusal = take(*value); refusal)
            return RefuseLine(refusal.error, number, refusal.detail);
        rest = rest.substr(tab + 1);
    }
    return {};
}

// How the values spread over the raw samples: the lowest value, the raw samples per nanometre
// and the Z scale that gives, the header's.
struct RawSpread {
    double min = 0.0;
    double factor = 0.0;
    float zScale = 1.0f;
};

RawSpread SpreadOf(int columns, int rows, const std::vector<double>& values)
{
    RawSpread spread;
    double max = 0.0;
    MinMaxDouble(static_cast<std::uint16_t>(columns), static_cast<std::uint16_t>(rows), values, spread.min, max);
    const double range = max - spread.min;
    // Equal values have no range to spread, and a range too small (or too large) for a
    // finite factor cannot be spread either: such an image is flat, its raw samples all 0.
    const double perNanometre = range > 0.0 ? kRawSpan / range : 0.0;
    spread.factor = std::isfinite(perNanometre) ? perNanometre : 0.0;
    const float zScale = spread.factor > 0.0 ? static_cast<float>(1.0 / spread.factor) : 1.0f;
    spread.zScale = std::isnormal(zScale) ? zScale : 1.0f;
    return spread;
}

// A step in nanometres from the last coordinate.
float StepOf(double lastCoordinate, int count)
{
    return static_cast<float>(lastCoordinate * kNanometresPerValue / count);
}

}  // namespace

bool CImageFile::ReadOriginHeader(const std::string& path, SpmHeader& header)
{
    if (!BeginRead(path))
        return false;
    TextLines lines(m_pBuffer);
    std::string_view line;
    if (!lines.Next(line))
        return Fail(ImageFileError::kBadSize, "The Origin export is empty.");
    int columns = 0;
    double lastX = 0.0;
    const std::string tooMany = "holds more than " + std::to_string(kMaxImageSide) + " ";
    ImageFileRefusal refusal = ForEachField(line, 1, [&](double x) {
        lastX = x;
        if (++columns > kMaxImageSide)
            return ImageFileRefusal{ImageFileError::kBadSize, tooMany + "X coordinates"};
        return ImageFileRefusal{};
    });
    if (!refusal && columns == 0)
        refusal = RefuseLine(ImageFileError::kBadSize, 1, "holds no X coordinate");

    // Every row is read here, so a broken file is refused before the header is checked.
    int rows = 0;
    double lastY = 0.0;
    bool blankSeen = false;
    for (std::size_t number = 2; !refusal && lines.Next(line); ++number) {
        if (line.empty()) {
            blankSeen = true;  // only blank lines may follow
            continue;
        }
        if (blankSeen) {
            refusal = RefuseLine(ImageFileError::kBadRow, number, "follows a blank line");
            break;
        }
        if (++rows > kMaxImageSide) {
            refusal = RefuseLine(ImageFileError::kBadSize, number, tooMany + "rows before it");
            break;
        }
        const std::string_view yField = line.substr(0, line.find('\t'));
        const std::optional<double> y = OriginNumber(yField);
        if (!y) {
            refusal = line.find('\t') == std::string_view::npos
                          ? RefuseLine(ImageFileError::kBadRow, number, "holds no tab")
                          : RefuseLine(ImageFileError::kBadNumber, number,
                                       "begins with " + QuotedField(yField) + ", which is no Y coordinate");
            break;
        }
        lastY = *y;
        int fields = 0;
        refusal = ForEachField(line, number, [&](double value) {
            if (++fields > columns)
                return ImageFileRefusal{ImageFileError::kBadRow, "holds more than " + std::to_string(columns) +
                                                                     " values for as many columns"};
            const double height = value * kNanometresPerValue;
            if (!std::isfinite(height))
                return ImageFileRefusal{ImageFileError::kBadNumber,
                                        "holds " + ShortNumber(value) + ", beyond the range of numbers in nanometres"};
            m_originValues.push_back(height);
            return ImageFileRefusal{};
        });
        if (!refusal && fields != columns)
            refusal = RefuseLine(ImageFileError::kBadRow, number,
                                 "holds " + std::to_string(fields) + " values for " + std::to_string(columns) + " columns");
    }
    if (!refusal && rows == 0)
        refusal = {ImageFileError::kBadSize, "The Origin export holds no row of values."};
    if (refusal)
        return Fail(std::move(refusal));

    SpmHeader read{};
    read.m_nColumns = static_cast<std::uint16_t>(columns);
    read.m_nRows = static_cast<std::uint16_t>(rows);
    read.m_fKx = StepOf(lastX, columns);
    read.m_fKy = StepOf(lastY, rows);
    // Known before the header check, which shows it: the data pass sets the same.
    read.m_fKz = SpreadOf(columns, rows, m_originValues).zScale;
    // The steps are coordinates x 1000: nanometres, whatever unit the export names.
    SetHeaderText(read.m_szXYUnit, "nm");
    SetHeaderText(read.m_szZUnit, "nm");
    SetHeaderText(read.m_szQuantity, "Topography");
    SetHeaderText(read.m_szVersion, "Orbitrace, convert from ORIGIN");
    return Accept(read, 0, header);
}

bool CImageFile::ReadOriginData(CSpmImage& image)
{
    if (!CheckPreparedFor(image))
        return false;
    image.m_pData = std::move(m_originValues);
    const std::size_t count = image.m_pData.size();
    const RawSpread spread = SpreadOf(image.m_nWidth, image.m_nHeight, image.m_pData);
    image.m_header.m_fKz = spread.zScale;
    image.m_pRaw.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double raw = spread.factor > 0.0 ? (image.m_pData[i] - spread.min) * spread.factor + kRawLowest : 0.0;
        image.m_pRaw[i] = TruncToInt32(std::clamp(raw, kRawLowest, kRawLowest + kRawSpan));
    }
    ReleaseBuffer();
    return Succeed();
}
