// NanoScope files: the header lines the reader takes, the blocks it chooses, what it
// refuses, and the one-image file the writer makes.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "FormatTestSupport.h"
#include "support/ScriptedPrompt.h"
#include "support/TestPaths.h"

namespace {

struct Block {
    int offset;
    int columns = 4;
    int rows = 2;
    std::string scanSize = "8 4 nm";
    std::string name = "Height";
    std::string zScale = "(0.006713765 V/LSB) 2.000000 V";
    std::vector<std::string> extra = {};
};

// A header with a scanner list of the given lines and one "Ciao image list" per block, then
// samples 1, 2, 3, ... (plus 100 x block number) at every block's offset.
std::vector<std::uint8_t> NanoscopeBytes(const std::vector<Block>& blocks,
                                         const std::vector<std::string>& scannerLines = {"\\@Sens. Zscan: V 10.00000 nm/V"},
                                         const std::string& lineEnd = "\r\n",
                                         const std::string& firstLine = "\\*File list")
{
    std::ostringstream text;
    text << firstLine << lineEnd << "\\Version: 0x04320003" << lineEnd << "\\*Scanner list" << lineEnd;
    for (const auto& line : scannerLines)
        text << line << lineEnd;
    text << "\\*Ciao scan list" << lineEnd << "\\Scan size: 2000 nm" << lineEnd;
    for (const Block& b : blocks) {
        text << "\\*Ciao image list" << lineEnd << "\\Data offset: " << b.offset << lineEnd;
        if (b.columns >= 0)
            text << "\\Samps/line: " << b.columns << lineEnd;
        text << "\\Number of lines: " << b.rows << lineEnd;
        if (!b.scanSize.empty())
            text << "\\Scan size: " << b.scanSize << lineEnd;
        for (const auto& line : b.extra)
            text << line << lineEnd;
        text << "\\@2:Image Data: S [" << b.name << "] \"" << b.name << "\"" << lineEnd;
        if (!b.zScale.empty())
            text << "\\@2:Z scale: V [Sens. Zscan] " << b.zScale << lineEnd;
    }
    text << "\\*File list end" << lineEnd;
    const std::string header = text.str();
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    for (std::size_t n = 0; n < blocks.size(); ++n) {
        const Block& b = blocks[n];
        if (b.offset < 0)
            continue;
        const std::size_t end = b.offset + 2u * std::max(b.columns, 0) * b.rows;
        if (bytes.size() < end)
            bytes.resize(end, 0);
        for (int i = 0; i < std::max(b.columns, 0) * b.rows; ++i) {
            const auto v = static_cast<std::uint16_t>(i + 1 + 100 * n);
            bytes[b.offset + 2 * i] = v & 0xFF;
            bytes[b.offset + 2 * i + 1] = v >> 8;
        }
    }
    return bytes;
}

Loaded Load(const ScratchDir& dir, const std::vector<std::uint8_t>& bytes, int index = 0)
{
    WriteBytes(dir / "n.001", bytes);
    return LoadImageFile(Format::kNanoscope, dir / "n.001", index);
}

}  // namespace

TEST(NanoscopeReader, TakesTheBlocksKeysAndScalesHeightsByTheHardValueAndSensitivity)
{
    ScratchDir dir;
    const Loaded loaded = Load(dir, NanoscopeBytes({{.offset = 2000}}));
    ASSERT_TRUE(loaded.ok) << loaded.error;
    const SpmHeader& h = loaded.image.m_header;
    EXPECT_EQ(h.m_nColumns, 4);
    EXPECT_EQ(h.m_nRows, 2);
    EXPECT_FLOAT_EQ(h.m_fKx, 2.0f);
    EXPECT_FLOAT_EQ(h.m_fKy, 2.0f);
    EXPECT_EQ(HeaderText(h.m_szXYUnit), "nm");
    EXPECT_EQ(HeaderText(h.m_szZUnit), "nm");
    EXPECT_EQ(HeaderText(h.m_szQuantity), "Height");
    EXPECT_EQ(HeaderText(h.m_szVersion), "from Nanoscope");
    // 2 V x 10 nm/V over 65536 steps, whatever range the samples happen to cover.
    EXPECT_FLOAT_EQ(h.m_fKz, static_cast<float>(2.0 * 10.0 / 65536.0));
    EXPECT_EQ(loaded.image.m_pRaw, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_DOUBLE_EQ(loaded.image.m_pData[7], 8 * static_cast<double>(h.m_fKz));
}

TEST(NanoscopeReader, ChoosesTheBlockByIndex)
{
    ScratchDir dir;
    const auto bytes = NanoscopeBytes({{.offset = 2000, .columns = 4, .rows = 2},
                                       {.offset = 3000, .columns = 2, .rows = 3, .scanSize = "10 30 ~m", .name = "Phase"}});
    const Loaded first = Load(dir, bytes, 0);
    ASSERT_TRUE(first.ok);
    EXPECT_EQ(first.image.m_nWidth, 4);
    const Loaded second = Load(dir, bytes, 1);
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.image.m_nWidth, 2);
    EXPECT_EQ(second.image.m_nHeight, 3);
    EXPECT_FLOAT_EQ(second.image.m_header.m_fKx, 5.0f);
    EXPECT_FLOAT_EQ(second.image.m_header.m_fKy, 10.0f);
    EXPECT_EQ(HeaderText(second.image.m_header.m_szXYUnit), "um");
    EXPECT_EQ(second.image.m_pRaw[0], 101);
    EXPECT_EQ(Load(dir, bytes, 2).error, ImageFileError::kNoSuchImage);
    EXPECT_EQ(Load(dir, bytes, -1).error, ImageFileError::kNoSuchImage);
    EXPECT_EQ(Load(dir, NanoscopeBytes({{.offset = 2000}}), 1).error, ImageFileError::kNoSuchImage);
}

TEST(NanoscopeReader, ScanUnitsAndQuantities)
{
    ScratchDir dir;
    const Loaded scan = Load(dir, NanoscopeBytes({{.offset = 2000, .columns = 512, .rows = 512, .scanSize = "5000 5000 nm"}}));
    ASSERT_TRUE(scan.ok);
    EXPECT_EQ(scan.image.m_header.m_fKx, 9.765625f);
    const Loaded other = Load(dir, NanoscopeBytes({{.offset = 2000, .scanSize = "8 4 mm"}}));
    EXPECT_EQ(HeaderText(other.image.m_header.m_szXYUnit), "Unit");

    const Loaded phase = Load(dir, NanoscopeBytes({{.offset = 2000, .name = "Phase", .zScale = "(0.005 deg/LSB) 180.0 deg"}}));
    ASSERT_TRUE(phase.ok);
    EXPECT_EQ(HeaderText(phase.image.m_header.m_szZUnit), "deg");
    EXPECT_FLOAT_EQ(phase.image.m_header.m_fKz, static_cast<float>(180.0 / 65536.0));
    const Loaded amplitude = Load(dir, NanoscopeBytes({{.offset = 2000, .name = "Amplitude"}}), 0);
    EXPECT_EQ(HeaderText(amplitude.image.m_header.m_szZUnit), "uni");
    EXPECT_EQ(HeaderText(amplitude.image.m_header.m_szQuantity), "Amplitude");
    EXPECT_FLOAT_EQ(amplitude.image.m_header.m_fKz, static_cast<float>(2.0 / 65536.0));
}

TEST(NanoscopeReader, SensitivityComesFromTheScannerList)
{
    ScratchDir dir;
    const auto kz = [&](const std::vector<std::string>& scanner) {
        const Loaded loaded = Load(dir, NanoscopeBytes({{.offset = 2000}}, scanner));
        return loaded.ok ? loaded.image.m_header.m_fKz * 65536.0 / 2.0 : -1.0;
    };
    EXPECT_NEAR(kz({"\\@Sens. Zsens: V 34.55678 nm/V"}), 34.55678, 1e-5);
    EXPECT_NEAR(kz({"\\@Sens. Zscan: V 5.5 nm/V", "\\@Sens. Zscan: V 7.0 nm/V"}), 5.5, 1e-6);
    // Heights cannot be scaled without it.
    const Loaded none = Load(dir, NanoscopeBytes({{.offset = 2000}}, {"\\@Sens. Current: V 10 nA/V"}));
    EXPECT_EQ(none.error, ImageFileError::kMissingKey);
}

TEST(NanoscopeReader, AKeyMissingInOneBlockIsNotTakenFromTheNext)
{
    ScratchDir dir;
    const auto bytes = NanoscopeBytes({{.offset = 2000, .zScale = ""}, {.offset = 3000}});
    EXPECT_EQ(Load(dir, bytes, 0).error, ImageFileError::kMissingKey);
    EXPECT_TRUE(Load(dir, bytes, 1).ok);
    // A block without a scan size is not complete and does not count.
    const auto skipped = NanoscopeBytes({{.offset = 2000, .scanSize = ""}, {.offset = 3000, .columns = 3}});
    const Loaded first = Load(dir, skipped, 0);
    ASSERT_TRUE(first.ok);
    EXPECT_EQ(first.image.m_nWidth, 3);
}

TEST(NanoscopeReader, LineFeedOnlyFilesReadTheSameNumbers)
{
    ScratchDir dir;
    const Loaded crlf = Load(dir, NanoscopeBytes({{.offset = 2000}}));
    const Loaded lf = Load(dir, NanoscopeBytes({{.offset = 2000}}, {"\\@Sens. Zscan: V 10.00000 nm/V"}, "\n"));
    ASSERT_TRUE(lf.ok) << lf.error;
    EXPECT_EQ(lf.image.m_header.m_fKz, crlf.image.m_header.m_fKz);
    EXPECT_EQ(lf.image.m_pRaw, crlf.image.m_pRaw);
}

TEST(NanoscopeReader, RefusesBrokenHeadersWithTheirReason)
{
    ScratchDir dir;
    const auto error = [&](const std::vector<Block>& blocks) { return Load(dir, NanoscopeBytes(blocks)).error; };
    EXPECT_EQ(Load(dir, NanoscopeBytes({{.offset = 2000}}, {}, "\r\n", "\\*Something else")).error,
              ImageFileError::kNotThisFormat);
    EXPECT_EQ(Load(dir, {}).error, ImageFileError::kNotThisFormat);
    EXPECT_EQ(error({{.offset = 2000, .columns = 0}}), ImageFileError::kBadSize);
    EXPECT_EQ(error({{.offset = 2000, .columns = 1025}}), ImageFileError::kBadSize);
    EXPECT_EQ(error({{.offset = 2000, .rows = 0}}), ImageFileError::kBadSize);
    EXPECT_EQ(error({{.offset = 2000, .extra = {"\\Bytes/pixel: 4"}}}), ImageFileError::kUnsupportedLayout);
    EXPECT_EQ(error({{.offset = -4}}), ImageFileError::kTruncated);
    EXPECT_EQ(error({{.offset = 2000, .scanSize = "8"}}), ImageFileError::kBadNumber);
    EXPECT_EQ(error({{.offset = 2000, .zScale = "", .extra = {"\\@2:Z scale:"}}}), ImageFileError::kBadNumber);
    EXPECT_EQ(error({{.offset = 2000, .scanSize = std::string(400, '9') + " 1 nm"}}), ImageFileError::kBadNumber);

    // The sample block must lie inside the file.
    auto bytes = NanoscopeBytes({{.offset = 2000}});
    bytes.pop_back();
    EXPECT_EQ(Load(dir, bytes).error, ImageFileError::kTruncated);
    const auto far = NanoscopeBytes({{.offset = 2000}, {.offset = 3000}});
    std::string text(far.begin(), far.end());
    text.replace(text.find("Data offset: 3000"), 17, "Data offset: 9999");
    EXPECT_EQ(Load(dir, std::vector<std::uint8_t>(text.begin(), text.end()), 1).error, ImageFileError::kTruncated);
    EXPECT_TRUE(Load(dir, std::vector<std::uint8_t>(text.begin(), text.end()), 0).ok);
}

TEST(NanoscopeWriter, WritesFourteenHeaderLinesAndSamplesAt40960)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    // Largest height 32760 x 256: the Z scale is exactly 256.
    CSpmImage image = MakeImage(256, 256, [](int r, int c) { return (r == 3 && c == 5) ? 256.0 * 32760 : r - c; }, 10.0f,
                                10.0f);
    ASSERT_TRUE(SaveImageFile(Format::kNanoscope, dir / "w.000", image));
    const auto bytes = ReadBytes(dir / "w.000");
    ASSERT_EQ(bytes.size(), 40960u + 131072u);
    const std::string expected =
        "\\*File list\r\n"
        "\\Version: 0x05120003\r\n"
        "\\*Scanner list\r\n"
        "\\@Sens. Zscan: V 256.000000 nm/V\r\n"
        "\\*Ciao image list\r\n"
        "\\Data offset: 40960\r\n"
        "\\Data length: 131072\r\n"
        "\\Bytes/pixel: 2\r\n"
        "\\Samps/line: 256\r\n"
        "\\Number of lines: 256\r\n"
        "\\Scan size: 2560.000000 2560.000000 nm\r\n"
        "\\@2:Image Data: S [Height] \"Height\"\r\n"
        "\\@2:Z scale: V [Sens. Zscan] (256.000000 V/LSB) 65536 V\r\n"
        "\\*File list end\r\n";
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + expected.size()), expected);
    for (std::size_t i = expected.size(); i < 40960; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
    const std::size_t peak = 40960 + 2 * (3 * 256 + 5);
    EXPECT_EQ(bytes[peak] | (bytes[peak + 1] << 8), 32760);
    EXPECT_EQ(static_cast<std::int16_t>(bytes[40960 + 2 * 256] | (bytes[40960 + 2 * 256 + 1] << 8)), 0);
}

TEST(NanoscopeWriter, SmallScalesAndMicrometreImagesKeepTheirValues)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    CSpmImage image = MakeImage(8, 8, [](int r, int c) { return 0.37 * r - 0.11 * c; }, 0.0078125f, 0.0078125f, "um");
    ASSERT_TRUE(SaveImageFile(Format::kNanoscope, dir / "w.123", image));
    const auto bytes = ReadBytes(dir / "w.123");
    const std::string text(bytes.begin(), bytes.begin() + 600);
    // Nine significant digits of 2.59 / 32760, so that the float comes back unchanged.
    EXPECT_NE(text.find("\\@Sens. Zscan: V 0.0000790598278 nm/V\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\\Scan size: 0.0625000000 0.0625000000 ~m\r\n"), std::string::npos) << text;
    const Loaded back = LoadImageFile(Format::kNanoscope, dir / "w.123");
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.image.m_header.m_fKz, image.m_header.m_fKz);
    EXPECT_EQ(back.image.m_header.m_fKx, 0.0078125f);
    EXPECT_EQ(HeaderText(back.image.m_header.m_szXYUnit), "um");
}
