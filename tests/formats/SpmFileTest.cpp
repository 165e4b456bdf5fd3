// The *.spm file: the header record byte for byte, then the samples; what the reader refuses.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "FormatTestSupport.h"
#include "support/ScriptedPrompt.h"

namespace {

// The header record is the file layout on a little-endian machine (its offsets are checked
// where it is declared), so its bytes as they stand in memory are the bytes of the file.
static_assert(std::endian::native == std::endian::little);

Bytes SpmBytes(const SpmHeader& header, const std::vector<std::int32_t>& samples)
{
    Bytes bytes(sizeof header);
    std::memcpy(bytes.data(), &header, sizeof header);
    for (std::size_t i = 0; i < samples.size(); ++i)
        PutLe(bytes, 512 + 2 * i, static_cast<std::uint32_t>(samples[i]), 2);
    return bytes;
}

// A valid file of columns x rows samples 0, 1, 2, ... with Z scale 0.5.
Bytes SpmBytes(std::uint16_t columns, std::uint16_t rows)
{
    SpmHeader header{};
    header.m_nColumns = columns;
    header.m_nRows = rows;
    header.m_fKx = header.m_fKy = 1.0f;
    header.m_fKz = 0.5f;
    SetHeaderText(header.m_szZUnit, "nm");
    SetHeaderText(header.m_szXYUnit, "nm");
    SetHeaderText(header.m_szQuantity, "Height");
    std::vector<std::int32_t> samples(std::size_t{columns} * rows);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int32_t>(i);
    return SpmBytes(header, samples);
}

}  // namespace

TEST(SpmFile, HeaderIsStoredByteForByteAndTheExtensionAppendedUnlessItIsExactlySpm)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    // Heights -5 to 3 and 32760 over 5 x 2 points: the Z scale written is exactly 1.
    CSpmImage image = MakeImage(5, 2, [](int r, int c) { return r == 1 && c == 4 ? 32760.0 : r * 5 + c - 5; }, 1.5f, -0.25f, "um");
    image.m_header.m_nReserved0 = 0x1234;
    image.m_header.m_nReserved1 = 0xBEEF;
    std::memcpy(image.m_header.m_szNote, "ab\0XYZ", 6);  // bytes after a terminator travel too
    image.m_header.m_szVersion[63] = 'Q';
    ASSERT_EQ(SaveImageFile(ImageFormat::kSpm, dir / "h", image), ImageFileError::kNone);
    ASSERT_EQ(image.m_header.m_fKz, 1.0f);
    EXPECT_EQ(FileBytes(dir / "h.spm"), SpmBytes(image.m_header, {-5, -4, -3, -2, -1, 0, 1, 2, 3, 32760}));
    for (const char* name : {"b.SPM", "c.spm"})
        ASSERT_EQ(SaveImageFile(ImageFormat::kSpm, dir / name, image), ImageFileError::kNone);
    EXPECT_TRUE(std::filesystem::exists(dir / "b.SPM.spm"));
    EXPECT_FALSE(std::filesystem::exists(dir / "b.SPM"));
    EXPECT_EQ(std::filesystem::file_size(dir / "c.spm"), 512u + 20u);
}

TEST(SpmFile, ReaderScalesSamplesByTheImagesZScaleAndChecksTheSize)
{
    ScratchDir dir;
    const std::string path = (dir / "t.spm").string();
    WriteFile(path, SpmBytes(3, 2));
    CImageFile file;
    CSpmImage image;
    ASSERT_TRUE(file.ReadSpmHeader(path, image.m_header));
    EXPECT_EQ(std::tie(image.m_header.m_nColumns, image.m_header.m_nRows), std::tuple(3, 2));
    EXPECT_EQ(HeaderText(image.m_header.m_szQuantity), "Height");
    // The document's header check may change the Z scale before the samples are read.
    image.m_header.m_fKz = 2.0f;
    image.m_nWidth = 3;
    image.m_nHeight = 2;
    ASSERT_TRUE(file.ReadSpmData(path, image));
    EXPECT_EQ(image.m_pRaw, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(image.m_pData, (std::vector<double>{0, 2, 4, 6, 8, 10}));
    ASSERT_TRUE(file.ReadSpmData(path, image));  // without a header read first it reads one
    for (auto [columns, rows] : {std::pair{4, 2}, {3, 3}}) {  // not the file's size
        image.m_nWidth = columns;
        image.m_nHeight = rows;
        EXPECT_FALSE(file.ReadSpmData(path, image));
        EXPECT_EQ(file.Failure(), ImageFileError::kNotPrepared);
    }
}

TEST(SpmFile, ReaderRefusesBrokenHeadersWithTheirReason)
{
    const Bytes good = SpmBytes(4, 3);
    const ExpectedRead cases[] = {
        {"unchanged", good, ImageFileError::kNone},
        {"short header", Bytes(good.begin(), good.begin() + 511), ImageFileError::kTruncated},
        {"0 columns", Changed(good, [](Bytes& b) { PutLe(b, 2, 0, 2); }), ImageFileError::kBadSize},
        {"1025 rows", Changed(good, [](Bytes& b) { PutLe(b, 6, 1025, 2); }), ImageFileError::kBadSize},
        {"negative rows", Changed(good, [](Bytes& b) { PutLe(b, 6, 0x8001, 2); }), ImageFileError::kBadSize},
        {"infinite Z scale", Changed(good, [](Bytes& b) { PutF32(b, 16, INFINITY); }), ImageFileError::kBadNumber},
        {"infinite X step", Changed(good, [](Bytes& b) { PutF32(b, 8, -INFINITY); }), ImageFileError::kBadNumber},
        {"infinite Y step", Changed(good, [](Bytes& b) { PutF32(b, 12, INFINITY); }), ImageFileError::kBadNumber},
        // Steps that are not a number or not positive are for the document's header check.
        {"NaN Y step", Changed(good, [](Bytes& b) { PutF32(b, 12, NAN); }), ImageFileError::kNone},
        {"zero Z scale", Changed(good, [](Bytes& b) { PutF32(b, 16, 0.0f); }), ImageFileError::kNone},
        {"bytes after the samples", Changed(good, [](Bytes& b) { b.push_back(1); }), ImageFileError::kNone},
    };
    ExpectReads(ImageFormat::kSpm, cases);
}

TEST(SpmFile, TextFieldsWithoutTerminatorAreCutAtTheFieldsEnd)
{
    ScratchDir dir;
    Bytes bytes = SpmBytes(2, 2);
    std::memset(bytes.data() + 20, 'Z', 512 - 20);
    const Loaded loaded = LoadBytes(ImageFormat::kSpm, dir, bytes);
    ASSERT_TRUE(loaded.ok);
    const SpmHeader& h = loaded.image.m_header;
    EXPECT_EQ(HeaderText(h.m_szZUnit), "ZZZ");
    for (const auto& [field, size] : {std::pair<const char*, std::size_t>{h.m_szXYUnit, 6}, {h.m_szNote, 322},
                                      {h.m_szQuantity, 96}, {h.m_szVersion, 64}})
        EXPECT_EQ(std::string(field, size), std::string(size - 1, 'Z') + '\0');
}
