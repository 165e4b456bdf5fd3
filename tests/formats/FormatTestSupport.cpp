#include "FormatTestSupport.h"

#include <fstream>
#include <numeric>

#include <gtest/gtest.h>

std::string FormatName(Format format)
{
    switch (format) {
    case Format::kSpm: return "spm";
    case Format::kNanoscope: return "nanoscope";
    case Format::kMdt: return "mdt";
    case Format::kOrigin: return "origin";
    }
    return "?";
}

namespace {

bool ReadHeader(CImageFile& file, Format format, const std::string& path, SpmHeader& header, int index)
{
    switch (format) {
    case Format::kSpm: return file.ReadSpmHeader(path, header);
    case Format::kNanoscope: return file.ReadNanoscopeHeader(path, header, index);
    case Format::kMdt: return file.ReadMdtHeader(path, header, index);
    case Format::kOrigin: return file.ReadOriginHeader(path, header);
    }
    return false;
}

bool ReadData(CImageFile& file, Format format, const std::string& path, CSpmImage& image)
{
    switch (format) {
    case Format::kSpm: return file.ReadSpmData(path, image);
    case Format::kNanoscope: return file.ReadNanoscopeData(image);
    case Format::kMdt: return file.ReadMdtData(image);
    case Format::kOrigin: return file.ReadOriginData(image);
    }
    return false;
}

}  // namespace

Loaded LoadImageFile(Format format, const std::filesystem::path& path, int index)
{
    Loaded loaded;
    CImageFile file;
    CSpmImage& image = loaded.image;
    image.m_nIndexInFile = index;
    if (!ReadHeader(file, format, path.string(), image.m_header, index)) {
        loaded.error = file.Failure();
        return loaded;
    }
    image.m_nWidth = image.m_header.m_nColumns;
    image.m_nHeight = image.m_header.m_nRows;
    const std::size_t count = static_cast<std::size_t>(image.m_nWidth) * image.m_nHeight;
    image.m_pRaw.assign(count, 0);
    image.m_pData.assign(count, 0.0);
    if (!ReadData(file, format, path.string(), image)) {
        loaded.error = file.Failure();
        return loaded;
    }
    CImageFile::ComputeMinMax(image);
    loaded.ok = true;
    return loaded;
}

bool SaveImageFile(Format format, const std::filesystem::path& path, CSpmImage& image)
{
    CImageFile file;
    switch (format) {
    case Format::kSpm: return file.WriteSpm(path.string(), image);
    case Format::kNanoscope: return file.WriteNanoscope(path.string(), image);
    case Format::kMdt: return file.WriteMdt(path.string(), image);
    case Format::kOrigin: break;
    }
    return false;
}

CSpmImage MakeImage(int columns, int rows, const std::function<double(int, int)>& height, float kx, float ky,
                    const char* xyUnit, const char* zUnit)
{
    CSpmImage image;
    image.m_nWidth = columns;
    image.m_nHeight = rows;
    image.m_header.m_nColumns = static_cast<std::uint16_t>(columns);
    image.m_header.m_nRows = static_cast<std::uint16_t>(rows);
    image.m_header.m_fKx = kx;
    image.m_header.m_fKy = ky;
    image.m_header.m_fKz = 1.0f;
    SetHeaderText(image.m_header.m_szXYUnit, xyUnit);
    SetHeaderText(image.m_header.m_szZUnit, zUnit);
    SetHeaderText(image.m_header.m_szQuantity, "Height");
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            image.m_pData.push_back(height(r, c));
    image.m_pRaw.assign(image.m_pData.size(), 0);
    CImageFile::ComputeMinMax(image);
    return image;
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void ForEachPrefix(const std::filesystem::path& path, const std::vector<std::size_t>& lengths,
                   const std::function<void(std::size_t)>& check)
{
    const std::vector<std::uint8_t> whole = ReadBytes(path);
    // Cutting the file in place is one system call per length, so sweeps stay fast.
    WriteBytes(path, whole);
    std::vector<std::size_t> descending = lengths;
    std::sort(descending.rbegin(), descending.rend());
    for (std::size_t length : descending) {
        if (length >= whole.size())
            continue;
        std::filesystem::resize_file(path, length);
        check(length);
    }
    WriteBytes(path, whole);
}

std::vector<std::size_t> AllLengths(std::size_t count)
{
    std::vector<std::size_t> lengths(count);
    std::iota(lengths.begin(), lengths.end(), std::size_t{0});
    return lengths;
}
