// NanoScope files: the header lines the reader takes, the blocks it chooses, what it
// refuses, and the one-image file the writer makes.
#include <gtest/gtest.h>

#include <sstream>

#include "FormatTestSupport.h"
#include "support/ScriptedPrompt.h"

namespace {

struct Block {
    int offset = 2000;
    int columns = 4;
    int rows = 2;
    std::string scanSize = "8 4 nm";
    std::string name = "Height";
    std::string zScale = "(0.006713765 V/LSB) 2.000000 V";
    std::vector<std::string> extra = {};
};

const std::vector<std::string> kScanner = {"\\@Sens. Zscan: V 10.00000 nm/V"};

// A header with a scanner list of the given lines and one "Ciao image list" per block (a key
// left empty is left out), then samples 1, 2, 3, ... (plus 100 x block number) at every
// block's offset.
Bytes NanoscopeBytes(const std::vector<Block>& blocks, const std::vector<std::string>& scanner = kScanner,
                     const std::string& end = "\r\n", const std::string& firstLine = "\\*File list")
{
    std::ostringstream text;
    text << firstLine << end << "\\Version: 0x04320003" << end << "\\*Scanner list" << end;
    for (const auto& line : scanner)
        text << line << end;
    text << "\\*Ciao scan list" << end << "\\Scan size: 2000 nm" << end;
    for (const Block& b : blocks) {
        text << "\\*Ciao image list" << end << "\\Data offset: " << b.offset << end << "\\Samps/line: " << b.columns
             << end << "\\Number of lines: " << b.rows << end;
        if (!b.scanSize.empty())
            text << "\\Scan size: " << b.scanSize << end;
        for (const auto& line : b.extra)
            text << line << end;
        text << "\\@2:Image Data: S [" << b.name << "] \"" << b.name << "\"" << end;
        if (!b.zScale.empty())
            text << "\\@2:Z scale: V [Sens. Zscan] " << b.zScale << end;
    }
    text << "\\*File list end" << end;
    const std::string header = text.str();
    Bytes bytes(header.begin(), header.end());
    for (std::size_t n = 0; n < blocks.size(); ++n)
        for (int i = 0; blocks[n].offset > 0 && i < blocks[n].columns * blocks[n].rows; ++i)
            PutLe(bytes, blocks[n].offset + 2 * i, static_cast<std::uint32_t>(i + 1 + 100 * n), 2);
    return bytes;
}

Loaded Load(const ScratchDir& dir, const Bytes& bytes, int index = 0)
{
    return LoadBytes(ImageFormat::kNanoscope, dir, bytes, index);
}

// The bytes with another version, or none for an empty one.
Bytes WithVersion(const Bytes& bytes, const std::string& version)
{
    std::string text(bytes.begin(), bytes.end());
    const std::string line = "\\Version: 0x04320003\r\n";
    text.replace(text.find(line), line.size(), version.empty() ? "" : "\\Version: " + version + "\r\n");
    return {text.begin(), text.end()};
}

}  // namespace

TEST(NanoscopeReader, TakesTheChosenBlocksSizeAndSamplesAndNoKeyOfItsNeighbour)
{
    ScratchDir dir;
    for (const char* end : {"\r\n", "\n"}) {  // line feeds alone read the same numbers
        const Loaded loaded = Load(dir, NanoscopeBytes({Block{}}, kScanner, end));
        ASSERT_TRUE(loaded.ok) << loaded.error;
        EXPECT_EQ(std::tie(loaded.image.m_nWidth, loaded.image.m_nHeight), std::tuple(4, 2));
        EXPECT_EQ(HeaderText(loaded.image.m_header.m_szVersion), "from Nanoscope");
        EXPECT_EQ(loaded.image.m_pRaw, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8}));
        EXPECT_FLOAT_EQ(loaded.image.m_header.m_fKz, 20.0f / 65536);
    }
    const Bytes two = NanoscopeBytes({{}, {.offset = 3000, .columns = 2, .rows = 3, .name = "Phase"}});
    const Loaded second = Load(dir, two, 1);
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(std::tie(second.image.m_nWidth, second.image.m_nHeight, second.image.m_pRaw[0]), std::tuple(2, 3, 101));
    EXPECT_EQ(Load(dir, two, 2).error, ImageFileError::kNoSuchImage);
    EXPECT_EQ(Load(dir, two, -1).error, ImageFileError::kNoSuchImage);
    // A block ends at the next section: a missing Z scale is not taken from the next block,
    // and a block without a scan size is not complete and does not count.
    const Bytes gaps = NanoscopeBytes({{.zScale = ""}, {.offset = 3000}});
    EXPECT_EQ(Load(dir, gaps, 0).error, ImageFileError::kMissingKey);
    EXPECT_TRUE(Load(dir, gaps, 1).ok);
    EXPECT_EQ(Load(dir, NanoscopeBytes({{.scanSize = ""}, {.offset = 3000, .columns = 3}})).image.m_nWidth, 3);
}

TEST(NanoscopeReader, StepsUnitsQuantitiesAndZScaleFromHardValueAndSensitivity)
{
    ScratchDir dir;
    const struct {
        const char* what;
        Block block;
        std::vector<std::string> scanner;
        float kx, ky, kz;
        const char* xyUnit;
        const char* zUnit;
    } cases[] = {
        // 2 V x 10 nm/V over 65536 steps, whatever range the samples happen to cover.
        {"512 points over 5000 nm", {.columns = 512, .rows = 512, .scanSize = "5000 5000 nm"}, kScanner, 9.765625f,
         9.765625f, 20.0f / 65536, "nm", "nm"},
        {"micrometres", {.columns = 2, .rows = 3, .scanSize = "10 30 ~m"}, kScanner, 5.0f, 10.0f, 20.0f / 65536, "um", "nm"},
        {"another lateral unit", {.scanSize = "8 4 mm"}, kScanner, 2.0f, 2.0f, 20.0f / 65536, "Unit", "nm"},
        {"phase", {.name = "Phase", .zScale = "(0.005 deg/LSB) 180.0 deg"}, kScanner, 2.0f, 2.0f, 180.0f / 65536, "nm", "deg"},
        {"amplitude", {.name = "Amplitude"}, {}, 2.0f, 2.0f, 2.0f / 65536, "nm", "uni"},
        {"Zsens", {}, {"\\@Sens. Zsens: V 34.55678 nm/V"}, 2.0f, 2.0f, 2 * 34.55678f / 65536, "nm", "nm"},
        {"first sensitivity", {}, {"\\@Sens. Zscan: V 5.5 nm/V", "\\@Sens. Zscan: V 7.0 nm/V"}, 2.0f, 2.0f,
         11.0f / 65536, "nm", "nm"},
        // The scanner list may leave the sensitivity to a later section.
        {"sensitivity in a later section", {.extra = {"\\@Sens. Zscan: V 10 nm/V"}}, {}, 2.0f, 2.0f, 20.0f / 65536,
         "nm", "nm"},
        {"unit of the Z scale", {.name = "Topography", .zScale = "(0.1 V/LSB) 655.36 A"}, {}, 2.0f, 2.0f, 0.01f, "nm", "A"},
    };
    for (const auto& c : cases) {
        const Loaded loaded = Load(dir, NanoscopeBytes({c.block}, c.scanner));
        ASSERT_TRUE(loaded.ok) << c.what << ": " << loaded.error;
        const SpmHeader& h = loaded.image.m_header;
        EXPECT_FLOAT_EQ(h.m_fKx, c.kx) << c.what;
        EXPECT_FLOAT_EQ(h.m_fKy, c.ky) << c.what;
        EXPECT_FLOAT_EQ(h.m_fKz, c.kz) << c.what;
        EXPECT_EQ(HeaderText(h.m_szXYUnit), c.xyUnit) << c.what;
        EXPECT_EQ(HeaderText(h.m_szZUnit), c.zUnit) << c.what;
        EXPECT_EQ(HeaderText(h.m_szQuantity), c.block.name) << c.what;
    }
}

TEST(NanoscopeReader, RefusesBrokenHeadersWithTheirReason)
{
    const Bytes two = NanoscopeBytes({{}, {.offset = 3000}});
    std::string far(two.begin(), two.end());
    far.replace(far.find("Data offset: 3000"), 17, "Data offset: 9999");
    const Bytes nines(400, '9');
    const std::string huge(nines.begin(), nines.end());
    const ExpectedRead cases[] = {
        {"other first line", NanoscopeBytes({Block{}}, {}, "\r\n", "\\*Something else"), ImageFileError::kNotThisFormat},
        {"empty file", {}, ImageFileError::kNotThisFormat},
        {"0 columns", NanoscopeBytes({{.columns = 0}}), ImageFileError::kBadSize},
        {"1024 columns", NanoscopeBytes({{.columns = 1024, .rows = 1}}), ImageFileError::kNone},
        {"1025 columns", NanoscopeBytes({{.columns = 1025}}), ImageFileError::kBadSize},
        {"0 rows", NanoscopeBytes({{.rows = 0}}), ImageFileError::kBadSize},
        {"4 bytes per pixel", NanoscopeBytes({{.extra = {"\\Bytes/pixel: 4"}}}), ImageFileError::kUnsupportedLayout},
        {"negative offset", NanoscopeBytes({{.offset = -4}}), ImageFileError::kTruncated},
        {"samples past the end", {far.begin(), far.end()}, ImageFileError::kTruncated, 1},
        {"a later block past the end", {far.begin(), far.end()}, ImageFileError::kNone, 0},
        {"scan size of one number", NanoscopeBytes({{.scanSize = "8"}}), ImageFileError::kBadNumber},
        {"empty Z scale", NanoscopeBytes({{.zScale = "", .extra = {"\\@2:Z scale:"}}}), ImageFileError::kBadNumber},
        {"no Z scale", NanoscopeBytes({{.zScale = ""}}), ImageFileError::kMissingKey},
        {"infinite X step", NanoscopeBytes({{.scanSize = huge + " 1 nm"}}), ImageFileError::kBadNumber},
        {"Z scale not a number", NanoscopeBytes({{.zScale = "(1 V/LSB) " + huge + " V"}}, {"\\@Sens. Zscan: V 0 nm/V"}),
         ImageFileError::kBadNumber},
        // Heights cannot be scaled without the scanner's sensitivity.
        {"no sensitivity", NanoscopeBytes({Block{}}, {"\\@Sens. Current: V 10 nA/V"}), ImageFileError::kMissingKey},
    };
    ExpectReads(ImageFormat::kNanoscope, cases);
}

// Later versions spell some keys in another case; such a file is intact, only not read here,
// and the refusal says so first, after the sample size where that is not read either.
TEST(NanoscopeReader, RefusesAKeySpelledInAnotherCaseNamingVersionAndSpelling)
{
    ScratchDir dir;
    const Block respelled{.scanSize = "", .extra = {"\\Scan Size: 8 4 nm"}};
    const Block fourBytes{.scanSize = "", .extra = {"\\Bytes/pixel: 4", "\\Scan Size: 8 4 nm"}};
    const Block twoBytes{.scanSize = "", .extra = {"\\Bytes/pixel: 2", "\\Scan Size: 8 4 nm"}};
    const std::string keys = "this program reads the keys of v4.3x files, and this version spells \"Scan size:\" as "
                             "\"Scan Size:\".";
    const struct {
        const char* version;
        std::vector<Block> blocks;
        std::string detail;
    } cases[] = {
        {"0x07200000", {twoBytes}, "NanoScope v7.20 file: " + keys},
        {"0x09010201", {twoBytes, twoBytes, twoBytes}, "NanoScope v9.01 file: " + keys},
        {"0x09700201", {respelled, respelled}, "NanoScope v9.70 file: " + keys},
        {"0x10000000", {fourBytes},
         "NanoScope v10.00 file, 4 bytes per sample: this program reads 2-byte samples and the keys of v4.3x files, "
         "and this version spells \"Scan size:\" as \"Scan Size:\"."},
        {"", {respelled},
         "NanoScope file: this program reads the keys of v4.3x files, and this file spells \"Scan size:\" as "
         "\"Scan Size:\"."},
        {"0x04320003", {{.scanSize = "", .extra = {"\\scan size: 8 4 nm"}}},
         "NanoScope v4.32 file: this program reads the keys of v4.3x files, and this file spells \"Scan size:\" as "
         "\"scan size:\"."},
        // A key missing in every spelling is named as missing.
        {"0x09010201", {{.scanSize = ""}}, "NanoScope v9.01 file: its image list lacks \"Scan size:\"."},
    };
    for (const auto& c : cases) {
        const Loaded loaded = Load(dir, WithVersion(NanoscopeBytes(c.blocks), c.version));
        EXPECT_EQ(loaded.error, ImageFileError::kNoSuchImage) << c.version;
        EXPECT_EQ(loaded.detail, c.detail) << c.version;
    }
}

// An image's note is its block's "\\Note:" lines, joined by line feeds, each after its one
// blank; the reader looks for no key in them, so a note that holds one changes nothing else.
TEST(NanoscopeReader, TakesEachBlocksNoteWholeAndNoKeyFromIt)
{
    ScratchDir dir;
    const std::vector<std::string> scanner = {"\\Note: @Sens. Zscan: V 99.0 nm/V", kScanner[0]};
    const Block keys{.extra = {"\\Note: Scan size: 1 1 ~m", "\\Note: Samps/line: 9", "\\Note: Data offset: 0"}};
    const std::pair<Block, std::string> cases[] = {
        {Block{}, ""},
        {Block{.extra = {"\\Note: Synthetic sample"}}, "Synthetic sample"},
        {Block{.extra = {"\\Note: first", "\\Note:", "\\Note:  indented", "\\Note: "}}, "first\n\n indented\n"},
        {keys, "Scan size: 1 1 ~m\nSamps/line: 9\nData offset: 0"},
    };
    for (const char* end : {"\r\n", "\n"})
        for (const auto& [block, note] : cases) {
            // The block asked for second, after one with a note of its own.
            const Block first{.extra = {"\\Note: the first image's"}};
            const Loaded loaded = Load(dir, NanoscopeBytes({first, block}, scanner, end), 1);
            ASSERT_TRUE(loaded.ok) << note << ": " << loaded.error;
            const SpmHeader& h = loaded.image.m_header;
            EXPECT_EQ(HeaderText(h.m_szNote), note);
            EXPECT_EQ(std::tie(h.m_nColumns, h.m_nRows), std::tuple(4, 2)) << note;
            EXPECT_FLOAT_EQ(h.m_fKx, 2.0f) << note;
            EXPECT_EQ(HeaderText(h.m_szXYUnit), "nm") << note;
            EXPECT_FLOAT_EQ(h.m_fKz, 20.0f / 65536) << note;  // the sensitivity of 10 nm/V
            EXPECT_EQ(loaded.image.m_pRaw.front(), 101) << note;
        }
}

TEST(NanoscopeWriter, WritesItsHeaderLinesAndSamplesAt40960)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    // Largest height 32760 x 256: the Z scale is exactly 256.
    CSpmImage image = MakeImage(256, 256, [](int r, int c) { return (r == 3 && c == 5) ? 256.0 * 32760 : r - c; }, 10.0f, 10.0f);
    ASSERT_EQ(SaveImageFile(ImageFormat::kNanoscope, dir / "w.000", image), ImageFileError::kNone);
    const Bytes bytes = FileBytes(dir / "w.000");
    ASSERT_EQ(bytes.size(), 40960u + 131072u);
    std::string expected =
        "\\*File list\r\n\\Version: 0x05120003\r\n\\*Scanner list\r\n\\@Sens. Zscan: V 256.000000 nm/V\r\n"
        "\\*Ciao image list\r\n\\Data offset: 40960\r\n\\Data length: 131072\r\n\\Bytes/pixel: 2\r\n\\Note: \r\n"
        "\\Samps/line: 256\r\n\\Number of lines: 256\r\n\\Scan size: 2560.000000 2560.000000 nm\r\n"
        "\\@2:Image Data: S [Height] \"Height\"\r\n\\@2:Z scale: V [Sens. Zscan] (256.000000 V/LSB) 65536 V\r\n"
        "\\*File list end\r\n";
    expected.resize(40960, '\0');
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 40960), expected);
    const std::size_t peak = 40960 + 2 * (3 * 256 + 5);
    EXPECT_EQ(bytes[peak] | (bytes[peak + 1] << 8), 32760);
}

TEST(NanoscopeWriter, QuantityAndUnitComeBack)
{
    ScratchDir dir;
    AnsweringPrompt prompt;
    const struct {
        const char* quantity;
        const char* unit;
        const char* unitBack;
        double factor;  // heights read back per height written
    } cases[] = {
        {"Height", "nm", "nm", 1.0}, {"Height", "um", "nm", 1000.0}, {"Height", "A", "nm", 0.1},
        {"Phase", "deg", "deg", 1.0}, {"Topography", "A", "A", 1.0}, {"Amplitude", "V", "uni", 1.0},
    };
    for (const auto& c : cases) {
        CSpmImage image = MakeImage(5, 4, [](int r, int c) { return 3.5 * r - 1.25 * c; });
        SetHeaderText(image.m_header.m_szQuantity, c.quantity);
        SetHeaderText(image.m_header.m_szZUnit, c.unit);
        ASSERT_EQ(SaveImageFile(ImageFormat::kNanoscope, dir / "q.000", image), ImageFileError::kNone);
        const Loaded back = LoadImageFile(ImageFormat::kNanoscope, dir / "q.000");
        ASSERT_TRUE(back.ok) << c.quantity << " " << back.error;
        EXPECT_EQ(HeaderText(back.image.m_header.m_szQuantity), c.quantity);
        EXPECT_EQ(HeaderText(back.image.m_header.m_szZUnit), c.unitBack) << c.quantity;
        for (std::size_t i = 0; i < image.m_pData.size(); ++i)
            ASSERT_NEAR(back.image.m_pData[i], image.m_pData[i] * c.factor, 1e-5 * c.factor)
                << c.quantity << " in " << c.unit << ", point " << i;
    }
}
