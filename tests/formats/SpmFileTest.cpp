// The *.spm file: the header record byte for byte, then the samples; what the reader refuses.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstring>

#include "FormatTestSupport.h"
#include "support/ScriptedPrompt.h"
#include "support/TestPaths.h"

namespace {

void PutU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t v)
{
    bytes[at] = v & 0xFF;
    bytes[at + 1] = v >> 8;
}

void PutF32(std::vector<std::uint8_t>& bytes, std::size_t at, float v)
{
    const auto bits = std::bit_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = (bits >> (8 * i)) & 0xFF;
}

void PutText(std::vector<std::uint8_t>& bytes, std::size_t at, const char* text, std::size_t size)
{
    std::memcpy(bytes.data() + at, text, size);
}

// A valid file of columns x rows samples 0, 1, 2, ... with Z scale 0.5.
std::vector<std::uint8_t> SpmBytes(std::uint16_t columns, std::uint16_t rows)
{
    std::vector<std::uint8_t> bytes(512 + 2u * columns * rows, 0);
    PutU16(bytes, 2, columns);
    PutU16(bytes, 6, rows);
    PutF32(bytes, 8, 1.0f);
    PutF32(bytes, 12, 1.0f);
    PutF32(bytes, 16, 0.5f);
    PutText(bytes, 20, "nm", 3);
    PutText(bytes, 24, "nm", 3);
    PutText(bytes, 352, "Height", 7);
    for (std::size_t i = 0; i < std::size_t{columns} * rows; ++i)
        PutU16(bytes, 512 + 2 * i, static_cast<std::uint16_t>(i));
    return bytes;
}

Loaded LoadBytes(const ScratchDir& dir, const std::vector<std::uint8_t>& bytes)
{
    WriteBytes(dir / "t.spm", bytes);
    return LoadImageFile(Format::kSpm, dir / "t.spm");
}

}  // namespace

TEST(SpmFile, HeaderIsStoredByteForByteAtItsOffsets)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    // Heights whose largest absolute value is 32760, so the Z scale written is exactly 1.
    CSpmImage image = MakeImage(3, 2, [](int r, int c) { return std::array{32760.0, -1.0, 0.0, 5.0, 6.0, -7.0}[r * 3 + c]; },
                                1.5f, -0.25f, "um", "nm");
    image.m_header.m_nReserved0 = 0x1234;
    image.m_header.m_nReserved1 = 0xBEEF;
    // Bytes after a terminator travel as they stand.
    std::memcpy(image.m_header.m_szNote, "ab\0XYZ", 6);
    SetHeaderText(image.m_header.m_szVersion, "v1");
    image.m_header.m_szVersion[63] = 'Q';
    ASSERT_TRUE(SaveImageFile(Format::kSpm, dir / "h.spm", image));

    std::vector<std::uint8_t> expected(512 + 12, 0);
    PutU16(expected, 0, 0x1234);
    PutU16(expected, 2, 3);
    PutU16(expected, 4, 0xBEEF);
    PutU16(expected, 6, 2);
    PutF32(expected, 8, 1.5f);
    PutF32(expected, 12, -0.25f);
    PutF32(expected, 16, 1.0f);
    PutText(expected, 20, "nm", 2);
    PutText(expected, 24, "um", 2);
    PutText(expected, 30, "ab\0XYZ", 6);
    PutText(expected, 352, "Height", 6);
    PutText(expected, 448, "v1", 2);
    expected[511] = 'Q';
    const std::int16_t samples[] = {32760, -1, 0, 5, 6, -7};
    for (std::size_t i = 0; i < 6; ++i)
        PutU16(expected, 512 + 2 * i, static_cast<std::uint16_t>(samples[i]));
    const auto written = ReadBytes(dir / "h.spm");
    ASSERT_EQ(written.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(written[i], expected[i]) << "offset " << i;
}

TEST(SpmFile, WriterAppendsTheExtensionUnlessItIsExactlySpm)
{
    ScratchDir dir;
    CSpmImage image = MakeImage(2, 2, [](int r, int c) { return r - c; });
    CImageFile file;
    ASSERT_TRUE(file.WriteSpm((dir / "a").string(), image));
    ASSERT_TRUE(file.WriteSpm((dir / "b.SPM").string(), image));
    ASSERT_TRUE(file.WriteSpm((dir / "c.spm").string(), image));
    EXPECT_TRUE(std::filesystem::exists(dir / "a.spm"));
    EXPECT_TRUE(std::filesystem::exists(dir / "b.SPM.spm"));
    EXPECT_FALSE(std::filesystem::exists(dir / "b.SPM"));
    EXPECT_EQ(std::filesystem::file_size(dir / "c.spm"), 512u + 8u);
}

TEST(SpmFile, ReaderTakesTheHeaderAndScalesSamplesByTheImagesZScale)
{
    ScratchDir dir;
    WriteBytes(dir / "t.spm", SpmBytes(3, 2));
    CImageFile file;
    CSpmImage image;
    ASSERT_TRUE(file.ReadSpmHeader((dir / "t.spm").string(), image.m_header));
    EXPECT_EQ(image.m_header.m_nColumns, 3);
    EXPECT_EQ(image.m_header.m_fKz, 0.5f);
    EXPECT_EQ(HeaderText(image.m_header.m_szQuantity), "Height");
    // The document's header check may change the Z scale before the samples are read.
    image.m_header.m_fKz = 2.0f;
    image.m_nWidth = 3;
    image.m_nHeight = 2;
    ASSERT_TRUE(file.ReadSpmData((dir / "t.spm").string(), image));
    EXPECT_EQ(image.m_pRaw, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(image.m_pData, (std::vector<double>{0, 2, 4, 6, 8, 10}));
}

TEST(SpmFile, DataReaderAloneLoadsAndChecksTheFileItself)
{
    ScratchDir dir;
    WriteBytes(dir / "t.spm", SpmBytes(4, 4));
    CSpmImage image;
    image.m_nWidth = 4;
    image.m_nHeight = 4;
    image.m_header.m_fKz = 1.0f;
    CImageFile file;
    ASSERT_TRUE(file.ReadSpmData((dir / "t.spm").string(), image));
    EXPECT_EQ(image.m_pRaw.back(), 15);
    image.m_nWidth = 5;  // not the file's size
    EXPECT_FALSE(file.ReadSpmData((dir / "t.spm").string(), image));
    EXPECT_EQ(file.Failure(), ImageFileError::kNotPrepared);
}

TEST(SpmFile, ReaderRefusesBrokenHeadersWithTheirReason)
{
    ScratchDir dir;
    const auto with = [](std::vector<std::uint8_t> bytes, auto change) {
        change(bytes);
        return bytes;
    };
    const auto good = SpmBytes(4, 3);
    EXPECT_TRUE(LoadBytes(dir, good).ok);
    EXPECT_EQ(LoadBytes(dir, {}).error, ImageFileError::kTruncated);
    EXPECT_EQ(LoadBytes(dir, std::vector<std::uint8_t>(good.begin(), good.begin() + 511)).error,
              ImageFileError::kTruncated);
    EXPECT_EQ(LoadBytes(dir, std::vector<std::uint8_t>(good.begin(), good.end() - 1)).error,
              ImageFileError::kTruncated);
    EXPECT_EQ(LoadBytes(dir, with(good, [](auto& b) { PutU16(b, 2, 0); })).error, ImageFileError::kBadSize);
    EXPECT_EQ(LoadBytes(dir, with(good, [](auto& b) { PutU16(b, 6, 1025); })).error, ImageFileError::kBadSize);
    EXPECT_EQ(LoadBytes(dir, with(good, [](auto& b) { PutU16(b, 6, 0x8001); })).error, ImageFileError::kBadSize);
    EXPECT_EQ(LoadBytes(dir, with(good, [](auto& b) { PutF32(b, 16, INFINITY); })).error, ImageFileError::kBadNumber);
    EXPECT_EQ(LoadBytes(dir, with(good, [](auto& b) { PutF32(b, 8, -INFINITY); })).error, ImageFileError::kBadNumber);
    // Steps that are not a number or not positive are for the document's header check.
    EXPECT_TRUE(LoadBytes(dir, with(good, [](auto& b) { PutF32(b, 12, NAN); })).ok);
    EXPECT_TRUE(LoadBytes(dir, with(good, [](auto& b) { PutF32(b, 16, 0.0f); })).ok);
    // Extra bytes after the samples are not read.
    EXPECT_TRUE(LoadBytes(dir, with(good, [](auto& b) { b.push_back(1); })).ok);
}

TEST(SpmFile, TextFieldsWithoutTerminatorAreCutAtTheFieldsEnd)
{
    ScratchDir dir;
    auto bytes = SpmBytes(2, 2);
    std::memset(bytes.data() + 20, 'Z', 4 + 6 + 322 + 96 + 64);
    const Loaded loaded = LoadBytes(dir, bytes);
    ASSERT_TRUE(loaded.ok);
    const SpmHeader& h = loaded.image.m_header;
    EXPECT_EQ(std::strlen(h.m_szZUnit), 3u);
    EXPECT_EQ(std::strlen(h.m_szXYUnit), 5u);
    EXPECT_EQ(std::strlen(h.m_szNote), 321u);
    EXPECT_EQ(std::strlen(h.m_szQuantity), 95u);
    EXPECT_EQ(std::strlen(h.m_szVersion), 63u);
}
