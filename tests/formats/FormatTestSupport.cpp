#include "FormatTestSupport.h"

#include <gtest/gtest.h>

#include "formats/TextFields.h"

Loaded LoadImageFile(ImageFormat format, const std::filesystem::path& path, int index)
{
    Loaded loaded;
    CImageFile file;
    CSpmImage& image = loaded.image;
    image.m_nIndexInFile = index;
    if (!ReadImageHeader(file, format, path.string(), image)) {
        loaded.error = file.Failure();
        loaded.detail = file.FailureDetail();
        return loaded;
    }
    image.m_nWidth = image.m_header.m_nColumns;
    image.m_nHeight = image.m_header.m_nRows;
    if (!ReadImageSamples(file, format, path.string(), image)) {
        loaded.error = file.Failure();
        loaded.detail = file.FailureDetail();
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

void ExpectReads(ImageFormat format, std::span<const ExpectedRead> cases)
{
    ScratchDir dir;
    for (const ExpectedRead& c : cases) {
        const Loaded loaded = LoadBytes(format, dir, c.bytes, c.index);
        EXPECT_EQ(loaded.error, c.error) << c.what;
        EXPECT_EQ(loaded.ok, c.error == ImageFileError::kNone) << c.what;
        // A refusal's sentence is the reader's own, not the code's general one.
        EXPECT_EQ(loaded.detail.empty(), c.error == ImageFileError::kNone) << c.what;
        if (c.error != ImageFileError::kNone) {
            EXPECT_NE(loaded.detail, Sentence(ImageFileErrorText(c.error))) << c.what << ": " << loaded.detail;
        }
    }
}

Bytes Changed(Bytes bytes, const std::function<void(Bytes&)>& change)
{
    change(bytes);
    return bytes;
}

ImageFileError SaveImageFile(ImageFormat format, const std::filesystem::path& path, CSpmImage& image)
{
    CImageFile file;
    return WriteImage(file, format, path.string(), image) ? ImageFileError::kNone : file.Failure();
}

void PutLe(Bytes& bytes, std::size_t at, std::uint32_t value, int size)
{
    if (bytes.size() < at + size)
        bytes.resize(at + size, 0);
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::string Shown(std::string_view text)
{
    std::string shown;
    for (const unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
        } else {
            static constexpr char kHex[] = "0123456789ABCDEF";
            shown += std::string("\\x") + kHex[c >> 4] + kHex[c & 15];
        }
    }
    return "\"" + shown + "\"";
}
