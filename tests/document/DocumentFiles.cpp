#include "DocumentFiles.h"

#include <bit>
#include <cstring>
#include <fstream>
#include <iterator>

#include "formats/ImageFile.h"

namespace fs = std::filesystem;

// The header record is the file layout on a little-endian machine, offsets checked with it.
static_assert(std::endian::native == std::endian::little);

SpmHeader TestHeader(int columns, int rows, std::string_view quantity)
{
    SpmHeader header{};
    header.m_nColumns = static_cast<std::uint16_t>(columns);
    header.m_nRows = static_cast<std::uint16_t>(rows);
    header.m_fKx = 2.0f;
    header.m_fKy = 2.0f;
    header.m_fKz = 0.5f;
    SetHeaderText(header.m_szZUnit, "nm");
    SetHeaderText(header.m_szXYUnit, "nm");
    SetHeaderText(header.m_szQuantity, quantity);
    SetHeaderText(header.m_szVersion, "test");
    return header;
}

void WriteSpmBytes(const fs::path& path, const SpmHeader& header)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    const std::size_t count = std::size_t{header.m_nColumns} * header.m_nRows;
    std::vector<std::int16_t> samples(count);
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = static_cast<std::int16_t>(static_cast<int>(i % 2000) - 1000);
    out.write(reinterpret_cast<const char*>(samples.data()),
              static_cast<std::streamsize>(samples.size() * sizeof(std::int16_t)));
}

void WriteTextFile(const fs::path& path, std::string_view text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

CSpmImage TestImage(int columns, int rows)
{
    CSpmImage image;
    image.m_header = TestHeader(columns, rows);
    image.m_nWidth = columns;
    image.m_nHeight = rows;
    const std::size_t count = static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
    image.m_pData.resize(count);
    image.m_pRaw.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        image.m_pData[i] = -5.0 + 25.0 * static_cast<double>(i) / static_cast<double>(count - 1);
    image.m_dMin = -5.0;
    image.m_dMax = 20.0;
    return image;
}

std::string OriginText(int columns, int rows)
{
    std::string text = "Y\t";
    for (int c = 1; c <= columns; ++c)
        text += std::to_string(0.5 * c) + "\t";
    text += "\r\n";
    for (int r = 0; r < rows; ++r) {
        text += std::to_string(0.5 * (r + 1)) + "\t";
        for (int c = 0; c < columns; ++c)
            text += std::to_string(r * columns + c) + "\t";
        text += "\r\n";
    }
    return text;
}

namespace {

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

} // namespace

void WriteTwoFrameMdt(const fs::path& oneFrame, const fs::path& target)
{
    constexpr std::size_t kFirstFrame = 33;
    std::vector<std::uint8_t> bytes = FileBytes(oneFrame);
    const std::vector<std::uint8_t> frame(bytes.begin() + kFirstFrame, bytes.end());
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    PutU32(bytes, 4, static_cast<std::uint32_t>(bytes.size() - kFirstFrame));  // file size - 33
    bytes[12] = 1;  // number of the last frame
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> FileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
