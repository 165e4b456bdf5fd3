#include "FormatTestSupport.h"

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
    if (!ReadHeader(file, format, path.string(), image.m_header, index)) {
        loaded.error = file.Failure();
        return loaded;
    }
    image.m_nWidth = image.m_header.m_nColumns;
    image.m_nHeight = image.m_header.m_nRows;
    if (!ReadData(file, format, path.string(), image)) {
        loaded.error = file.Failure();
        return loaded;
    }
    CImageFile::ComputeMinMax(image);
    loaded.ok = true;
    return loaded;
}

Loaded LoadBytes(Format format, const ScratchDir& dir, std::string_view bytes, int index)
{
    WriteFile(dir / "loaded", bytes);
    return LoadImageFile(format, dir / "loaded", index);
}

ImageFileError SaveImageFile(Format format, const std::filesystem::path& path, CSpmImage& image)
{
    CImageFile file;
    const bool saved = format == Format::kSpm         ? file.WriteSpm(path.string(), image)
                       : format == Format::kNanoscope ? file.WriteNanoscope(path.string(), image)
                                                      : file.WriteMdt(path.string(), image);
    return saved ? ImageFileError::kNone : file.Failure();
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
    CImageFile::ComputeMinMax(image);
    return image;
}

void PutLe(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value, int size)
{
    if (bytes.size() < at + size)
        bytes.resize(at + size, 0);
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
