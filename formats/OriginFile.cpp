// Origin text exports: tab-separated numbers, every field closed by a tab. Line 1 holds a
// leading field and the X coordinates, each further line a Y coordinate and one image row.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

#include "formats/ImageFile.h"
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

// The fields after a line's first tab, each closed by a tab, each passed to take(value).
// Fails on a field without its closing tab or one that is not a number.
template <class Take>
ImageFileError ForEachField(std::string_view line, Take take)
{
    const std::size_t first = line.find('\t');
    if (first == std::string_view::npos)
        return ImageFileError::kBadRow;
    std::string_view rest = line.substr(first + 1);
    while (!rest.empty()) {
        const std::size_t tab = rest.find('\t');
        if (tab == std::string_view::npos)
            return ImageFileError::kBadRow;
        const std::optional<double> value = OriginNumber(rest.substr(0, tab));
        if (!value)
            return ImageFileError::kBadNumber;
        if (const ImageFileError error = take(*value); error != ImageFileError::kNone)
            return error;
        rest = rest.substr(tab + 1);
    }
    return ImageFileError::kNone;
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
        return Fail(ImageFileError::kBadSize);
    int columns = 0;
    double lastX = 0.0;
    ImageFileError error = ForEachField(line, [&](double x) {
        lastX = x;
        return ++columns > kMaxImageSide ? ImageFileError::kBadSize : ImageFileError::kNone;
    });
    if (error == ImageFileError::kNone && columns == 0)
        error = ImageFileError::kBadSize;

    // Every row is read here, so a broken file is refused before the header is checked.
    int rows = 0;
    double lastY = 0.0;
    bool blankSeen = false;
    while (error == ImageFileError::kNone && lines.Next(line)) {
        if (line.empty()) {
            blankSeen = true;  // only blank lines may follow
            continue;
        }
        if (blankSeen || ++rows > kMaxImageSide) {
            error = blankSeen ? ImageFileError::kBadRow : ImageFileError::kBadSize;
            break;
        }
        const std::optional<double> y = OriginNumber(line.substr(0, line.find('\t')));
        if (!y) {
            error = line.find('\t') == std::string_view::npos ? ImageFileError::kBadRow
                                                               : ImageFileError::kBadNumber;
            break;
        }
        lastY = *y;
        int fields = 0;
        error = ForEachField(line, [&](double value) {
            if (++fields > columns)
                return ImageFileError::kBadRow;
            const double height = value * kNanometresPerValue;
            if (!std::isfinite(height))
                return ImageFileError::kBadNumber;
            m_originValues.push_back(height);
            return ImageFileError::kNone;
        });
        if (error == ImageFileError::kNone && fields != columns)
            error = ImageFileError::kBadRow;
    }
    if (error == ImageFileError::kNone && rows == 0)
        error = ImageFileError::kBadSize;
    if (error != ImageFileError::kNone)
        return Fail(error);

    SpmHeader read{};
    read.m_nColumns = static_cast<std::uint16_t>(columns);
    read.m_nRows = static_cast<std::uint16_t>(rows);
    read.m_fKx = StepOf(lastX, columns);
    read.m_fKy = StepOf(lastY, rows);
    read.m_fKz = 1.0f;  // provisional, so the header check passes; the data pass sets it
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
    double min = 0.0;
    double max = 0.0;
    MinMaxDouble(static_cast<std::uint16_t>(image.m_nWidth), static_cast<std::uint16_t>(image.m_nHeight),
                 image.m_pData, min, max);
    const double range = max - min;
    // Equal values have no range to spread, and a range too small (or too large) for a
    // finite factor cannot be spread either: such an image is flat, its raw samples all 0.
    const double spread = range > 0.0 ? kRawSpan / range : 0.0;
    const double factor = std::isfinite(spread) ? spread : 0.0;
    const float zScale = factor > 0.0 ? static_cast<float>(1.0 / factor) : 1.0f;
    image.m_header.m_fKz = std::isnormal(zScale) ? zScale : 1.0f;
    image.m_pRaw.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double raw = factor > 0.0 ? (image.m_pData[i] - min) * factor + kRawLowest : 0.0;
        image.m_pRaw[i] = TruncToInt32(std::clamp(raw, kRawLowest, kRawLowest + kRawSpan));
    }
    ReleaseBuffer();
    return Succeed();
}
