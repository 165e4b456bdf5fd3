// NT-MDT files: the frame chain, the scanned frame's fields and unit codes, what the reader
// refuses, and the one-frame file the writer makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "FormatTestSupport.h"
#include "support/ScriptedPrompt.h"

namespace {

struct Frame {
    std::uint16_t type = 0;
    int columns = 3;
    int rows = 2;
    float xStep = 20.0f;  // Angstrom unless the unit says otherwise
    float yStep = 30.0f;
    float zStep = 0.5f;
    std::int16_t xUnit = 0, yUnit = 0, zUnit = 0;
    std::uint16_t varSize = 442;
    std::uint16_t dots = 0;
    std::size_t padding = 0;  // bytes after the samples, inside the frame
    Bytes texts{};            // right after the samples, before the padding
};

// A file of the given frames; scanned frames hold samples 1, 2, 3, ... plus 100 x frame number.
Bytes MdtBytes(const std::vector<Frame>& frames)
{
    Bytes b{0x01, 0xB0, 0x93, 0xFF};
    PutLe(b, 12, static_cast<std::uint32_t>(frames.size() - 1), 2);
    std::size_t start = 33;
    for (std::size_t n = 0; n < frames.size(); ++n) {
        const Frame& f = frames[n];
        const std::size_t samples = start + 30 + f.varSize + 4u * f.dots;
        const std::size_t size = samples - start + 2u * f.columns * f.rows + f.texts.size() + f.padding;
        PutLe(b, start, static_cast<std::uint32_t>(size), 4);
        PutLe(b, start + 4, f.type, 2);
        PutLe(b, start + 20, f.varSize, 2);
        if (f.type == 0) {
            const float steps[] = {f.xStep, f.yStep, f.zStep};
            const std::int16_t units[] = {f.xUnit, f.yUnit, f.zUnit};
            for (std::size_t axis = 0; axis < 3; ++axis) {
                PutF32(b, start + 26 + 10 * axis, steps[axis]);
                PutLe(b, start + 30 + 10 * axis, static_cast<std::uint16_t>(units[axis]), 2);
            }
            PutLe(b, start + 24 + f.varSize, f.columns, 2);
            PutLe(b, start + 26 + f.varSize, f.rows, 2);
            PutLe(b, start + 28 + f.varSize, f.dots, 2);
            for (int i = 0; i < f.columns * f.rows; ++i)
                PutLe(b, samples + 2 * i, static_cast<std::uint32_t>(i + 1 + 100 * n), 2);
            b.resize(samples + 2u * f.columns * f.rows, 0);
            b.insert(b.end(), f.texts.begin(), f.texts.end());
        }
        b.resize(start + size, 0);
        start += size;
    }
    PutLe(b, 4, static_cast<std::uint32_t>(b.size() - 33), 4);
    return b;
}

Loaded Load(const ScratchDir& dir, const Bytes& bytes, int index = 0)
{
    return LoadBytes(ImageFormat::kMdt, dir, bytes, index);
}

}  // namespace

TEST(MdtReader, ReadsTheScannedFramesAndPassesOthersBySize)
{
    ScratchDir dir;
    const Loaded loaded = Load(dir, MdtBytes({Frame{}}));
    ASSERT_TRUE(loaded.ok) << loaded.error;
    const SpmHeader& h = loaded.image.m_header;
    EXPECT_EQ(std::tie(h.m_nColumns, h.m_nRows), std::tuple(3, 2));
    EXPECT_FLOAT_EQ(h.m_fKx, 2.0f);
    EXPECT_FLOAT_EQ(h.m_fKy, 3.0f);
    EXPECT_EQ(HeaderText(h.m_szXYUnit), "nm");
    EXPECT_EQ(HeaderText(h.m_szVersion), "Orbitrace, convert from NT-MDT");
    EXPECT_EQ(loaded.image.m_pData, (std::vector<double>{0.5, 1, 1.5, 2, 2.5, 3}));
    const Bytes bytes = MdtBytes({{.type = 3, .varSize = 100}, {.columns = 4}, {.type = 106, .varSize = 7}, {.columns = 5}});
    for (const auto& [index, columns, first] : {std::tuple{0, 4, 101}, {1, 5, 301}}) {
        const Loaded frame = Load(dir, bytes, index);
        ASSERT_TRUE(frame.ok) << index;
        EXPECT_EQ(std::tie(frame.image.m_nWidth, frame.image.m_pRaw[0]), std::tie(columns, first)) << index;
    }
    EXPECT_EQ(Load(dir, bytes, 2).error, ImageFileError::kNoSuchImage);
    EXPECT_EQ(Load(dir, MdtBytes({{.type = 2}, {.type = 2}})).error, ImageFileError::kNoSuchImage);
    // Dots and bytes after the samples move nothing.
    EXPECT_EQ(Load(dir, MdtBytes({{.dots = 3, .padding = 50}})).image.m_pRaw.back(), 6);
}

namespace {

// A frame's title and XML part as instrument files hold them after the samples, each after
// its length; the XML text in UTF-16, where each char16_t is one unit.
Bytes FrameTexts(std::string_view title, std::u16string_view xml, std::uint32_t titleLength, std::uint32_t xmlLength)
{
    Bytes b;
    PutLe(b, 0, titleLength, 4);
    b.insert(b.end(), title.begin(), title.end());
    PutLe(b, b.size(), xmlLength, 4);
    for (const char16_t unit : xml)
        PutLe(b, b.size(), unit, 2);
    return b;
}
Bytes FrameTexts(std::string_view title, std::u16string_view xml)
{
    return FrameTexts(title, xml, static_cast<std::uint32_t>(title.size()), static_cast<std::uint32_t>(2 * xml.size()));
}

}  // namespace

// The image name this program keeps in the frame's XML part is the image's quantity, and the
// part's text comment is the note; a frame without them (every instrument's, whatever its
// title), or whose lengths reach past the frame, is named by its Z unit code and has no note,
// and reads as before.
TEST(MdtReader, OurImageNameIsTheQuantityAndTheTextCommentIsTheNote)
{
    ScratchDir dir;
    const std::u16string head = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<FrameComment>\r\n\t<TextComment>";
    const std::u16string tail = u"</TextComment>\r\n\t<Parameters/>\r\n</FrameComment>\r\n";
    const auto named = [&](std::u16string_view comment, std::u16string_view name) {
        return head + std::u16string(comment) + u"</TextComment><ImageName>" + std::u16string(name) +
               u"</ImageName>\r\n\t<Parameters/>\r\n</FrameComment>\r\n";
    };
    const std::u16string smiley = u"\U0001F600";
    const std::u16string lone(1, u'\xD800');
    const struct {
        const char* what;
        Bytes texts;
        const char* quantity;
        std::string note;
    } cases[] = {
        {"none", {}, "Topography", ""},
        // An instrument's title names its frame, not an image of ours.
        {"an instrument's title and comment", FrameTexts("2D Map", head + u"line 1&#10;line 2 &amp; &lt;3&gt;" + tail),
         "Topography", "line 1\nline 2 & <3>"},
        {"our name", FrameTexts("Height (fwd)", named(u"c", u"Height (fwd)")), "Height (fwd)", "c"},
        {"characters beyond Latin-1", FrameTexts("H\xC3\xB6he", named(u"\u00B5m \u03BCm " + smiley + u" &#x1F600;", u"H\u00F6he &amp; &lt;")),
         "H\xC3\xB6he & <", "\xC2\xB5m \xCE\xBCm \xF0\x9F\x98\x80 \xF0\x9F\x98\x80"},
        {"an unpaired surrogate and references that are none", FrameTexts("t", named(lone + u"&#0;&bogus;&#xZZ;&", u"t")),
         "t", "\xEF\xBF\xBD&#0;&bogus;&#xZZ;&"},
        {"an empty element", FrameTexts("t", u"<FrameComment><TextComment/></FrameComment>"), "Topography", ""},
        {"control characters and blanks around our name", FrameTexts("t", named(u"", u"  &#1;Height&#9; ")), "Height", ""},
        {"a blank name", FrameTexts("t", named(u"c", u"   ")), "Topography", "c"},
        {"a title past the frame", FrameTexts("Height", named(u"c", u"Height"), 1000, 2 * 72), "Topography", ""},
        {"an XML part past the frame", FrameTexts("Height", named(u"c", u"Height"), 6, 1000), "Topography", ""},
        {"a length cut short", Bytes{6, 0, 0}, "Topography", ""},
    };
    for (const auto& c : cases) {
        const Loaded loaded = Load(dir, MdtBytes({{.texts = c.texts}}));
        ASSERT_TRUE(loaded.ok) << c.what << ": " << loaded.error;
        EXPECT_EQ(HeaderText(loaded.image.m_header.m_szQuantity), c.quantity) << c.what;
        EXPECT_EQ(HeaderText(loaded.image.m_header.m_szNote), c.note) << c.what;
        EXPECT_EQ(loaded.image.m_pRaw.back(), 6) << c.what;
    }
    // A comment longer than the note holds is cut at a character.
    const Loaded longComment = Load(dir, MdtBytes({{.texts = FrameTexts("t", head + std::u16string(200, u'\u00E9') + tail)}}));
    EXPECT_EQ(HeaderText(longComment.image.m_header.m_szNote).size(), 320u);
}

TEST(MdtReader, UnitCodes)
{
    ScratchDir dir;
    const std::tuple<std::int16_t, float, const char*, const char*> zCases[] = {
        {-2, 2.0f, "um", "Topography"}, {-1, 2.0f, "nm", "Topography"}, {0, 2.0f, "A", "Topography"},
        {5, 2.0f, "deg", "Phase"},      {1, 0.2f, "uni", "Unknown"},    {13, 0.2f, "uni", "Unknown"},
    };
    for (const auto& [code, kz, unit, quantity] : zCases) {
        const Loaded loaded = Load(dir, MdtBytes({{.zStep = 2.0f, .zUnit = code}}));
        ASSERT_TRUE(loaded.ok) << code;
        EXPECT_EQ(loaded.image.m_header.m_fKz, kz) << code;
        EXPECT_EQ(HeaderText(loaded.image.m_header.m_szZUnit), unit) << code;
        EXPECT_EQ(HeaderText(loaded.image.m_header.m_szQuantity), quantity) << code;
    }
    // Lateral steps in micrometres, nanometres or Angstrom all come out in nanometres; a
    // negative step counts by its size; other codes are refused.
    const std::tuple<float, std::int16_t, float> xCases[] = {{0.1007f, -2, 100.7f}, {-0.25f, -2, 250.0f}, {4.0f, -1, 4.0f}, {4.0f, 0, 0.4f}};
    for (const auto& [step, code, kx] : xCases)
        EXPECT_FLOAT_EQ(Load(dir, MdtBytes({{.xStep = step, .yStep = step, .xUnit = code, .yUnit = code}})).image.m_header.m_fKx, kx);
    // A step that leaves the float range in nanometres keeps the length of its code.
    const std::tuple<float, std::int16_t, float, const char*> farCases[] = {
        {1e36f, -2, 1e36f, "um"}, {2e-38f, 0, 2e-38f, "A"}, {1e36f, 0, 1e35f, "nm"}};
    for (const auto& [step, code, kx, unit] : farCases) {
        const Loaded far = Load(dir, MdtBytes({{.xStep = step, .yStep = step, .xUnit = code, .yUnit = code}}));
        ASSERT_TRUE(far.ok) << step << ": " << far.error;
        EXPECT_FLOAT_EQ(far.image.m_header.m_fKx, kx) << step;
        EXPECT_EQ(HeaderText(far.image.m_header.m_szXYUnit), unit) << step;
    }
    EXPECT_EQ(Load(dir, MdtBytes({{.xUnit = 7}})).error, ImageFileError::kUnsupportedLayout);
    EXPECT_EQ(Load(dir, MdtBytes({{.yUnit = -3}})).error, ImageFileError::kUnsupportedLayout);
    // Counts on both axes keep their steps under a unit of their own; on one axis alone they
    // leave no unit for the other.
    const Loaded counts = Load(dir, MdtBytes({{.xStep = 2.0f, .yStep = 3.0f, .xUnit = 13, .yUnit = 13}}));
    ASSERT_TRUE(counts.ok);
    EXPECT_EQ(counts.image.m_header.m_fKx, 2.0f);
    EXPECT_EQ(counts.image.m_header.m_fKy, 3.0f);
    EXPECT_EQ(HeaderText(counts.image.m_header.m_szXYUnit), "uni");
    EXPECT_EQ(Load(dir, MdtBytes({{.xUnit = 13}})).error, ImageFileError::kUnsupportedLayout);
    EXPECT_EQ(Load(dir, MdtBytes({{.yUnit = 13}})).error, ImageFileError::kUnsupportedLayout);
}

TEST(MdtReader, RefusesBrokenFilesWithTheirReason)
{
    const Bytes good = MdtBytes({Frame{}});
    const std::size_t f = 33, sizes = f + 22 + 442;  // the frame, its columns, rows and dots
    auto change = [&](auto edit) { return Changed(good, edit); };
    const ExpectedRead cases[] = {
        {"magic", change([](Bytes& b) { b[1] = 0xB1; }), ImageFileError::kNotThisFormat},
        {"short file header", Bytes(good.begin(), good.begin() + 2), ImageFileError::kTruncated},
        {"frame size 0", change([&](Bytes& b) { PutLe(b, f, 0, 4); }), ImageFileError::kBadSize},  // no endless walk
        {"frame size 21", change([&](Bytes& b) { PutLe(b, f, 21, 4); }), ImageFileError::kBadSize},
        {"frame past the end", change([&](Bytes& b) { PutLe(b, f, 0xFFFFFFF0u, 4); }), ImageFileError::kTruncated},
        {"missing frames", change([&](Bytes& b) { PutLe(b, 12, 5, 2); PutLe(b, f + 4, 2, 2); }), ImageFileError::kTruncated},
        {"no room for the axes", change([&](Bytes& b) { PutLe(b, f + 20, 20, 2); }), ImageFileError::kUnsupportedLayout},
        {"variable part past the frame", change([&](Bytes& b) { PutLe(b, f + 20, 60000, 2); }), ImageFileError::kTruncated},
        {"0 columns", change([&](Bytes& b) { PutLe(b, sizes + 2, 0, 2); }), ImageFileError::kBadSize},
        {"1025 rows", change([&](Bytes& b) { PutLe(b, sizes + 4, 1025, 2); }), ImageFileError::kBadSize},
        {"samples past the frame", change([&](Bytes& b) { PutLe(b, sizes + 4, 3, 2); }), ImageFileError::kTruncated},
        {"dots push the samples out", change([&](Bytes& b) { PutLe(b, sizes + 6, 1, 2); }), ImageFileError::kTruncated},
        {"infinite X step", change([&](Bytes& b) { PutF32(b, f + 26, INFINITY); }), ImageFileError::kBadNumber},
        // The samples are in the file, but the frame size claims less.
        {"frame one byte short", change([&](Bytes& b) { PutLe(b, f, static_cast<std::uint32_t>(b.size() - f - 1), 4); }),
         ImageFileError::kTruncated},
    };
    ExpectReads(ImageFormat::kMdt, cases);
}

TEST(MdtWriter, WritesTheFiveHundredAndFiveByteHeaderTableAndTheFramesTexts)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    // Largest height 3276 nm: Z scale 0.1 nm, stored under the code of nanometres.
    CSpmImage image = MakeImage(100, 50, [](int r, int c) { return r == 0 && c == 0 ? 3276.0 : 0.5 * c; }, 5.0f, 0.25f);
    ASSERT_EQ(SaveImageFile(ImageFormat::kMdt, dir / "w.mdt", image), ImageFileError::kNone);
    const Bytes bytes = FileBytes(dir / "w.mdt");
    // After the samples: the title (the quantity) and the XML part in UTF-16 that holds the
    // comment (the note, here empty) and our own element of the image's name, each after its
    // length, as instrument files have them.
    const std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<FrameComment>\r\n\t<TextComment>"
                            "</TextComment>\r\n\t<ImageName>Height</ImageName>\r\n\t<Parameters/>\r\n</FrameComment>\r\n";
    Bytes texts;
    PutLe(texts, 0, 6, 4);
    texts.insert(texts.end(), {'H', 'e', 'i', 'g', 'h', 't'});
    PutLe(texts, 10, static_cast<std::uint32_t>(2 * xml.size()), 4);
    for (const char c : xml)
        texts.insert(texts.end(), {static_cast<std::uint8_t>(c), 0});
    ASSERT_EQ(bytes.size(), 505u + 10000u + texts.size());
    EXPECT_EQ(Bytes(bytes.begin() + 10505, bytes.end()), texts);
    const std::uint32_t frameSize = static_cast<std::uint32_t>(bytes.size() - 33);
    // Offset, size and value of every byte that is not 0, then the first sample.
    const auto bits = [](double v) { return std::bit_cast<std::uint32_t>(static_cast<float>(v)); };
    const std::tuple<std::size_t, int, std::uint32_t> fields[] = {
        {0, 4, 0xFF93B001u}, {4, 4, frameSize}, {33, 4, frameSize}, {41, 2, 2002}, {43, 2, 6}, {45, 2, 27}, {47, 2, 17},
        {49, 2, 3}, {51, 2, 59}, {53, 2, 442}, {59, 4, bits(50.0)}, {69, 4, bits(2.5)},
        {79, 4, bits(image.m_header.m_fKz)}, {83, 2, 0xFFFF}, {86, 1, 1}, {87, 2, 100}, {89, 2, 50}, {93, 4, bits(50.0)},
        {99, 1, 1}, {101, 1, 45}, {103, 2, 0x0101}, {105, 4, bits(1.0)}, {109, 4, bits(1.0)}, {117, 1, 1},
        {119, 2, 255}, {123, 2, 255}, {127, 1, 1}, {499, 2, 100}, {501, 2, 50}, {505, 2, 32760},
    };
    Bytes expected;
    for (const auto& [at, size, value] : fields)
        PutLe(expected, at, value, size);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 507), expected);
}

TEST(MdtWriter, KeepsUnitsTheReaderKnowsByTheirOwnCode)
{
    ScratchDir dir;
    AnsweringPrompt prompt;
    // XY unit, Z unit, 0.5 lateral units as nanometres, the Z unit code written and the Z
    // unit read back: lengths with a code of their own keep it, other lengths are stored as
    // Angstrom, anything else keeps its values under the counts code.
    const std::tuple<const char*, const char*, float, int, const char*, double> cases[] = {
        {"nm", "deg", 0.5f, 5, "deg", 1.0}, {"um", "um", 500.0f, -2, "um", 1.0}, {"A", "A", 0.05f, 0, "A", 1.0},
        {"nm", "nm", 0.5f, -1, "nm", 1.0},  {"nm", "pm", 0.5f, 0, "A", 0.01},     {"nm", "uni", 0.5f, 13, "uni", 1.0},
        {"nm", "V", 0.5f, 13, "uni", 1.0}};
    for (const auto& [xyUnit, zUnit, kx, code, zUnitBack, factor] : cases) {
        CSpmImage image = MakeImage(4, 3, [](int r, int c) { return r * 4 + c - 5.0; }, 0.5f, 0.25f, xyUnit, zUnit);
        ASSERT_EQ(SaveImageFile(ImageFormat::kMdt, dir / "u.mdt", image), ImageFileError::kNone);
        const Bytes bytes = FileBytes(dir / "u.mdt");
        EXPECT_EQ(static_cast<std::int16_t>(bytes[83] | bytes[84] << 8), code) << zUnit;
        const Loaded back = LoadImageFile(ImageFormat::kMdt, dir / "u.mdt");
        ASSERT_TRUE(back.ok) << zUnit;
        EXPECT_EQ(HeaderText(back.image.m_header.m_szZUnit), zUnitBack);
        EXPECT_FLOAT_EQ(back.image.m_header.m_fKx, kx) << xyUnit;
        EXPECT_FLOAT_EQ(back.image.m_header.m_fKy, kx / 2) << xyUnit;
        for (std::size_t i = 0; i < 12; ++i)
            EXPECT_NEAR(back.image.m_pData[i], image.m_pData[i] * factor, 1e-3) << zUnit << " " << i;
    }
}

TEST(MdtWriter, LateralStepsComeBackAtTheSameLengthInEveryUnit)
{
    ScratchDir dir;
    AnsweringPrompt prompt;
    // XY unit, the X step of 0.5 of it read back, its unit then and the code written. Every
    // length is stored as Angstrom and reads back in nanometres; anything else keeps its
    // values under the counts code.
    const std::tuple<const char*, float, const char*, std::int16_t> cases[] = {
        {"pm", 0.0005f, "nm", 0}, {"A", 0.05f, "nm", 0},  {"nm", 0.5f, "nm", 0},    {"um", 500.0f, "nm", 0},
        {"mm", 5e5f, "nm", 0},    {"uni", 0.5f, "uni", 13}, {"V", 0.5f, "uni", 13}, {"px", 0.5f, "uni", 13},
    };
    for (const auto& [unit, kx, unitBack, code] : cases) {
        CSpmImage image = MakeImage(4, 3, [](int r, int c) { return r * 4 + c - 5.0; }, 0.5f, 0.25f, unit, "nm");
        ASSERT_EQ(SaveImageFile(ImageFormat::kMdt, dir / "xy.mdt", image), ImageFileError::kNone) << unit;
        const Bytes bytes = FileBytes(dir / "xy.mdt");
        for (const std::size_t at : {63u, 73u})
            EXPECT_EQ(static_cast<std::int16_t>(bytes[at] | bytes[at + 1] << 8), code) << unit << " at " << at;
        EXPECT_TRUE(std::equal(bytes.begin() + 59, bytes.begin() + 63, bytes.begin() + 93)) << unit;
        const Loaded back = LoadImageFile(ImageFormat::kMdt, dir / "xy.mdt");
        ASSERT_TRUE(back.ok) << unit;
        EXPECT_EQ(HeaderText(back.image.m_header.m_szXYUnit), unitBack) << unit;
        EXPECT_FLOAT_EQ(back.image.m_header.m_fKx, kx) << unit;
        EXPECT_FLOAT_EQ(back.image.m_header.m_fKy, kx / 2) << unit;
        for (std::size_t i = 0; i < 12; ++i)
            EXPECT_NEAR(back.image.m_pData[i], image.m_pData[i], 1e-3) << unit << " " << i;
    }
}
