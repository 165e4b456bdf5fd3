#include "FormatTestSupport.h"

Loaded LoadImageFile(ImageFormat format, const std::filesystem::path& path, int index)
{
    Loaded loaded;
    CImageFile file;
    CSpmImage& image = loaded.image;
    image.m_nIndexInFile = index;
    if (!ReadImageHeader(file, format, path.string(), image)) {
        loaded.error = file.Failure();
        return loaded;
    }
    image.m_nWidth = image.m_header.m_nColumns;
    image.m_nHeight = image.m_header.m_nRows;
    if (!ReadImageSamples(file, format, path.string(), image)) {
        loaded.error = file.Failure();
        return loaded;
    }
    ComputeMinMax(image);
    loaded.ok = true;
    return loaded;
}

Loaded LoadBytes(ImageFormat format, const ScratchDir& dir, std::string_view bytes, int index)
{
    WriteFile(dir / "loaded", bytes);
    return LoadImageFile(format, dir / "loaded", index);
}

ImageFileError SaveImageFile(ImageFormat format, const std::filesystem::path& path, CSpmImage& image)
{
    CImageFile file;
    return WriteImage(file, format, path.string(), image) ? ImageFileError::kNone : file.Failure();
}

void PutLe(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value, int size)
{
    if (bytes.size() < at + size)
        bytes.resize(at + size, 0);
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
