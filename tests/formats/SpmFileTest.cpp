// The *.spm file: the header record byte for byte, then the samples; what the reader refuses.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>

#include "FormatTestSupport.h"
#include "support/ScriptedPrompt.h"

namespace {

// The header record is the file layout on a little-endian machine (its offsets are checked
// where it is declared), so its bytes as they stand in memory are the bytes of the file.
static_assert(std::endian::native == std::endian::little);

std::vector<std::uint8_t> SpmBytes(const SpmHeader& header, std::size_t samples)
{
    std::vector<std::uint8_t> bytes(sizeof header);
    std::memcpy(bytes.data(), &header, sizeof header);
    for (std::size_t i = 0; i < samples; ++i)
        PutLe(bytes, 512 + 2 * i, static_cast<std::uint32_t>(i), 2);
    return bytes;
}

// A valid file of columns x rows samples 0, 1, 2, ... with Z scale 0.5.
std::vector<std::uint8_t> SpmBytes(std::uint16_t columns, std::uint16_t rows)
{
    SpmHeader header{};
    header.m_nColumns = columns;
    header.m_nRows = rows;
    header.m_fKx = header.m_fKy = 1.0f;
    header.m_fKz = 0.5f;
    SetHeaderText(header.m_szZUnit, "nm");
    SetHeaderText(header.m_szXYUnit, "nm");
    SetHeaderText(header.m_szQuantity, "Height");
    return SpmBytes(header, std::size_t{columns} * rows);
}

}  // namespace

TEST(SpmFile, HeaderIsStoredByteForByteAtItsOffsets)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    // Heights 0 to 5 and 32760, so the Z scale written is exactly 1 and the samples are 0 to 5.
    CSpmImage image = MakeImage(3, 3, [](int r, int c) { return r == 2 ? 32760.0 : r * 3 + c; }, 1.5f, -0.25f, "um");
    image.m_header.m_nReserved0 = 0x1234;
    image.m_header.m_nReserved1 = 0xBEEF;
    std::memcpy(image.m_header.m_szNote, "ab\0XYZ", 6);  // bytes after a terminator travel too
    SetHeaderText(image.m_header.m_szVersion, "v1");
    image.m_header.m_szVersion[63] = 'Q';
    ASSERT_EQ(SaveImageFile(ImageFormat::kSpm, dir / "h.spm", image), ImageFileError::kNone);
    ASSERT_EQ(image.m_header.m_fKz, 1.0f);
    auto expected = SpmBytes(image.m_header, 6);
    for (std::size_t i = 6; i < 9; ++i)
        PutLe(expected, 512 + 2 * i, 32760, 2);
    EXPECT_EQ(FileBytes(dir / "h.spm"), expected);
}

TEST(SpmFile, WriterAppendsTheExtensionUnlessItIsExactlySpm)
{
    ScratchDir dir;
    CSpmImage image = MakeImage(2, 2, [](int r, int c) { return r - c; });
    for (const char* name : {"a", "b.SPM", "c.spm"})
        ASSERT_TRUE(CImageFile().WriteSpm((dir / name).string(), image)) << name;
    EXPECT_TRUE(std::filesystem::exists(dir / "a.spm"));
    EXPECT_TRUE(std::filesystem::exists(dir / "b.SPM.spm"));
    EXPECT_FALSE(std::filesystem::exists(dir / "b.SPM"));
    EXPECT_EQ(std::filesystem::file_size(dir / "c.spm"), 512u + 8u);
}

TEST(SpmFile, ReaderScalesSamplesByTheImagesZScaleAndChecksTheSize)
{
    ScratchDir dir;
    const std::string path = (dir / "t.spm").string();
    WriteFile(path, SpmBytes(3, 2));
    CImageFile file;
    CSpmImage image;
    ASSERT_TRUE(file.ReadSpmHeader(path, image.m_header));
    EXPECT_EQ(image.m_header.m_nColumns, 3);
    EXPECT_EQ(image.m_header.m_fKz, 0.5f);
    EXPECT_EQ(HeaderText(image.m_header.m_szQuantity), "Height");
    // The document's header check may change the Z scale before the samples are read.
    image.m_header.m_fKz = 2.0f;
    image.m_nWidth = 3;
    image.m_nHeight = 2;
    ASSERT_TRUE(file.ReadSpmData(path, image));
    EXPECT_EQ(image.m_pRaw, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(image.m_pData, (std::vector<double>{0, 2, 4, 6, 8, 10}));
    // Without a header read first, the data reader reads it itself.
    ASSERT_TRUE(file.ReadSpmData(path, image));
    EXPECT_EQ(image.m_pRaw.back(), 5);
    for (auto [columns, rows] : {std::pair{4, 2}, {3, 3}}) {  // not the file's size
        image.m_nWidth = columns;
        image.m_nHeight = rows;
        EXPECT_FALSE(file.ReadSpmData(path, image));
        EXPECT_EQ(file.Failure(), ImageFileError::kNotPrepared);
    }
}

TEST(SpmFile, ReaderRefusesBrokenHeadersWithTheirReason)
{
    ScratchDir dir;
    const auto good = SpmBytes(4, 3);
    const struct {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> change;
        ImageFileError error;
    } cases[] = {
        {"unchanged", [](auto&) {}, ImageFileError::kNone},
        {"empty", [](auto& b) { b.clear(); }, ImageFileError::kTruncated},
        {"short header", [](auto& b) { b.resize(511); }, ImageFileError::kTruncated},
        {"short samples", [](auto& b) { b.pop_back(); }, ImageFileError::kTruncated},
        {"0 columns", [](auto& b) { PutLe(b, 2, 0, 2); }, ImageFileError::kBadSize},
        {"1025 rows", [](auto& b) { PutLe(b, 6, 1025, 2); }, ImageFileError::kBadSize},
        {"negative rows", [](auto& b) { PutLe(b, 6, 0x8001, 2); }, ImageFileError::kBadSize},
        {"infinite Z scale", [](auto& b) { PutF32(b, 16, INFINITY); }, ImageFileError::kBadNumber},
        {"infinite X step", [](auto& b) { PutF32(b, 8, -INFINITY); }, ImageFileError::kBadNumber},
        // Steps that are not a number or not positive are for the document's header check.
        {"NaN Y step", [](auto& b) { PutF32(b, 12, NAN); }, ImageFileError::kNone},
        {"zero Z scale", [](auto& b) { PutF32(b, 16, 0.0f); }, ImageFileError::kNone},
        {"bytes after the samples", [](auto& b) { b.push_back(1); }, ImageFileError::kNone},
    };
    for (const auto& c : cases) {
        auto bytes = good;
        c.change(bytes);
        const Loaded loaded = LoadBytes(ImageFormat::kSpm, dir, bytes);
        EXPECT_EQ(loaded.ok, c.error == ImageFileError::kNone) << c.what;
        EXPECT_EQ(loaded.error, c.error) << c.what;
    }
}

TEST(SpmFile, TextFieldsWithoutTerminatorAreCutAtTheFieldsEnd)
{
    ScratchDir dir;
    auto bytes = SpmBytes(2, 2);
    std::memset(bytes.data() + 20, 'Z', 512 - 20);
    const Loaded loaded = LoadBytes(ImageFormat::kSpm, dir, bytes);
    ASSERT_TRUE(loaded.ok);
    const SpmHeader& h = loaded.image.m_header;
    EXPECT_EQ(HeaderText(h.m_szZUnit), "ZZZ");
    EXPECT_EQ(std::strlen(h.m_szXYUnit), 5u);
    EXPECT_EQ(std::strlen(h.m_szNote), 321u);
    EXPECT_EQ(std::strlen(h.m_szQuantity), 95u);
    EXPECT_EQ(std::strlen(h.m_szVersion), 63u);
}
