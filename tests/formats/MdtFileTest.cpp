// NT-MDT files: the frame chain, the scanned frame's fields and unit codes, what the reader
// refuses, and the one-frame file the writer makes.
#include <gtest/gtest.h>

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
};

// A file of the given frames; scanned frames hold samples 1, 2, 3, ... plus 100 x frame number.
std::vector<std::uint8_t> MdtBytes(const std::vector<Frame>& frames)
{
    std::vector<std::uint8_t> b{0x01, 0xB0, 0x93, 0xFF};
    PutLe(b, 12, static_cast<std::uint32_t>(frames.size() - 1), 2);
    std::size_t start = 33;
    for (std::size_t n = 0; n < frames.size(); ++n) {
        const Frame& f = frames[n];
        const std::size_t samples = start + 30 + f.varSize + 4u * f.dots;
        const std::size_t size = samples - start + 2u * f.columns * f.rows + f.padding;
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
        }
        b.resize(start + size, 0);
        start += size;
    }
    PutLe(b, 4, static_cast<std::uint32_t>(b.size() - 33), 4);
    return b;
}

Loaded Load(const ScratchDir& dir, const std::vector<std::uint8_t>& bytes, int index = 0)
{
    return LoadBytes(ImageFormat::kMdt, dir, bytes, index);
}

}  // namespace

TEST(MdtReader, ReadsTheScannedFrame)
{
    ScratchDir dir;
    const Loaded loaded = Load(dir, MdtBytes({Frame{}}));
    ASSERT_TRUE(loaded.ok) << loaded.error;
    const SpmHeader& h = loaded.image.m_header;
    EXPECT_EQ(h.m_nColumns, 3);
    EXPECT_EQ(h.m_nRows, 2);
    EXPECT_FLOAT_EQ(h.m_fKx, 2.0f);
    EXPECT_FLOAT_EQ(h.m_fKy, 3.0f);
    EXPECT_EQ(HeaderText(h.m_szXYUnit), "nm");
    EXPECT_EQ(HeaderText(h.m_szVersion), "Orbitrace, convert from NT-MDT");
    EXPECT_EQ(loaded.image.m_pRaw, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(loaded.image.m_pData, (std::vector<double>{0.5, 1, 1.5, 2, 2.5, 3}));
}

TEST(MdtReader, CountsOnlyScannedFramesAndSkipsOthersBySize)
{
    ScratchDir dir;
    const auto bytes =
        MdtBytes({{.type = 3, .varSize = 100}, {.columns = 4}, {.type = 106, .varSize = 7}, {.columns = 5}});
    const Loaded first = Load(dir, bytes, 0);
    ASSERT_TRUE(first.ok);
    EXPECT_EQ(first.image.m_nWidth, 4);
    EXPECT_EQ(first.image.m_pRaw[0], 101);
    const Loaded second = Load(dir, bytes, 1);
    ASSERT_TRUE(second.ok);
    EXPECT_EQ(second.image.m_nWidth, 5);
    EXPECT_EQ(second.image.m_pRaw[0], 301);
    EXPECT_EQ(Load(dir, bytes, 2).error, ImageFileError::kNoSuchImage);
    EXPECT_EQ(Load(dir, MdtBytes({{.type = 2}, {.type = 2}})).error, ImageFileError::kNoSuchImage);
    // Dots and bytes after the samples move nothing.
    const Loaded dotted = Load(dir, MdtBytes({{.dots = 3, .padding = 50}}));
    ASSERT_TRUE(dotted.ok);
    EXPECT_EQ(dotted.image.m_pRaw.back(), 6);
}

TEST(MdtReader, UnitCodes)
{
    ScratchDir dir;
    const struct {
        std::int16_t code;
        float kz;
        const char* unit;
        const char* quantity;
    } zCases[] = {
        {-2, 2.0f, "um", "Topography"}, {-1, 2.0f, "nm", "Topography"}, {0, 2.0f, "A", "Topography"},
        {5, 2.0f, "deg", "Phase"},      {1, 0.2f, "uni", "Unknown"},    {13, 0.2f, "uni", "Unknown"},
    };
    for (const auto& c : zCases) {
        const Loaded loaded = Load(dir, MdtBytes({{.zStep = 2.0f, .zUnit = c.code}}));
        ASSERT_TRUE(loaded.ok) << c.code;
        EXPECT_EQ(loaded.image.m_header.m_fKz, c.kz) << c.code;
        EXPECT_EQ(HeaderText(loaded.image.m_header.m_szZUnit), c.unit) << c.code;
        EXPECT_EQ(HeaderText(loaded.image.m_header.m_szQuantity), c.quantity) << c.code;
    }
    // Lateral steps in micrometres, nanometres or Angstrom all come out in nanometres; a
    // negative step counts by its size; other codes are refused.
    const struct {
        float step;
        std::int16_t code;
        float kx;
    } xCases[] = {{0.1007f, -2, 100.7f}, {-0.25f, -2, 250.0f}, {4.0f, -1, 4.0f}, {4.0f, 0, 0.4f}};
    for (const auto& c : xCases) {
        const Loaded loaded = Load(dir, MdtBytes({{.xStep = c.step, .xUnit = c.code}}));
        ASSERT_TRUE(loaded.ok) << c.step;
        EXPECT_FLOAT_EQ(loaded.image.m_header.m_fKx, c.kx) << c.step;
    }
    EXPECT_EQ(Load(dir, MdtBytes({{.xUnit = 7}})).error, ImageFileError::kUnsupportedLayout);
    EXPECT_EQ(Load(dir, MdtBytes({{.yUnit = -3}})).error, ImageFileError::kUnsupportedLayout);
}

TEST(MdtReader, RefusesBrokenFilesWithTheirReason)
{
    ScratchDir dir;
    const auto good = MdtBytes({Frame{}});
    const std::size_t f = 33, sizes = f + 22 + 442;  // the frame, its columns, rows and dots
    const struct {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> change;
        ImageFileError error;
    } cases[] = {
        {"magic", [](auto& b) { b[1] = 0xB1; }, ImageFileError::kNotThisFormat},
        {"short file header", [](auto& b) { b.resize(2); }, ImageFileError::kTruncated},
        {"frame size 0", [&](auto& b) { PutLe(b, f, 0, 4); }, ImageFileError::kBadSize},  // no endless walk
        {"frame size 21", [&](auto& b) { PutLe(b, f, 21, 4); }, ImageFileError::kBadSize},
        {"frame past the end", [&](auto& b) { PutLe(b, f, 0xFFFFFFF0u, 4); }, ImageFileError::kTruncated},
        {"missing frames", [&](auto& b) { PutLe(b, 12, 5, 2); PutLe(b, f + 4, 2, 2); }, ImageFileError::kTruncated},
        {"no room for the axes", [&](auto& b) { PutLe(b, f + 20, 20, 2); }, ImageFileError::kUnsupportedLayout},
        {"variable part past the frame", [&](auto& b) { PutLe(b, f + 20, 60000, 2); }, ImageFileError::kTruncated},
        {"0 columns", [&](auto& b) { PutLe(b, sizes + 2, 0, 2); }, ImageFileError::kBadSize},
        {"1025 rows", [&](auto& b) { PutLe(b, sizes + 4, 1025, 2); }, ImageFileError::kBadSize},
        {"samples past the frame", [&](auto& b) { PutLe(b, sizes + 4, 3, 2); }, ImageFileError::kTruncated},
        {"dots push the samples out", [&](auto& b) { PutLe(b, sizes + 6, 1, 2); }, ImageFileError::kTruncated},
        {"infinite X step", [&](auto& b) { PutF32(b, f + 26, INFINITY); }, ImageFileError::kBadNumber},
        // The samples are in the file, but the frame size claims less.
        {"frame one byte short", [&](auto& b) { PutLe(b, f, static_cast<std::uint32_t>(b.size() - f - 1), 4); },
         ImageFileError::kTruncated},
    };
    for (const auto& c : cases) {
        auto bytes = good;
        c.change(bytes);
        EXPECT_EQ(Load(dir, bytes).error, c.error) << c.what;
    }
}

TEST(MdtWriter, WritesTheFiveHundredAndFiveByteHeaderTable)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    // Largest height 3276 nm: Z scale 0.1 nm, stored as 1 Angstrom.
    CSpmImage image = MakeImage(100, 50, [](int r, int c) { return r == 0 && c == 0 ? 3276.0 : 0.5 * c; }, 5.0f, 0.25f);
    ASSERT_EQ(SaveImageFile(ImageFormat::kMdt, dir / "w.mdt", image), ImageFileError::kNone);
    const auto bytes = FileBytes(dir / "w.mdt");
    ASSERT_EQ(bytes.size(), 505u + 10000u);

    // Offset, size and value of every byte that is not 0, then the first sample.
    const float xStep = 50.0f, yStep = 2.5f, zStep = static_cast<float>(image.m_header.m_fKz * 10.0);
    const struct {
        std::size_t at;
        int size;
        std::uint32_t value;
    } fields[] = {
        {0, 4, 0xFF93B001u}, {4, 4, 10472}, {33, 4, 10472}, {41, 2, 2002}, {43, 2, 6}, {45, 2, 27}, {47, 2, 17},
        {49, 2, 3}, {51, 2, 59}, {53, 2, 442}, {59, 4, std::bit_cast<std::uint32_t>(xStep)},
        {69, 4, std::bit_cast<std::uint32_t>(yStep)}, {79, 4, std::bit_cast<std::uint32_t>(zStep)}, {86, 1, 1},
        {87, 2, 100}, {89, 2, 50}, {93, 4, std::bit_cast<std::uint32_t>(xStep)}, {99, 1, 1}, {101, 1, 45},
        {103, 2, 0x0101}, {105, 4, std::bit_cast<std::uint32_t>(1.0f)}, {109, 4, std::bit_cast<std::uint32_t>(1.0f)},
        {117, 1, 1}, {119, 2, 255}, {123, 2, 255}, {127, 1, 1}, {499, 2, 100}, {501, 2, 50}, {505, 2, 32760},
    };
    std::vector<std::uint8_t> expected;
    for (const auto& field : fields)
        PutLe(expected, field.at, field.value, field.size);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 507), expected);

    const Loaded back = LoadImageFile(ImageFormat::kMdt, dir / "w.mdt");
    ASSERT_TRUE(back.ok);
    EXPECT_FLOAT_EQ(back.image.m_header.m_fKx, 5.0f);
    EXPECT_EQ(HeaderText(back.image.m_header.m_szZUnit), "A");
    EXPECT_NEAR(back.image.m_pData[0], 32760.0, 1e-6);  // 3276 nm as Angstrom
}

TEST(MdtWriter, KeepsUnitsTheReaderKnowsByTheirOwnCode)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    const struct {
        const char* xyUnit;
        const char* zUnit;
        float kx;  // 0.5 lateral units as nanometres
    } cases[] = {{"nm", "deg", 0.5f}, {"um", "um", 500.0f}, {"A", "A", 0.05f}};
    for (const auto& c : cases) {
        CSpmImage image = MakeImage(4, 3, [](int r, int c) { return r * 4 + c - 5.0; }, 0.5f, 0.5f, c.xyUnit, c.zUnit);
        ASSERT_EQ(SaveImageFile(ImageFormat::kMdt, dir / "u.mdt", image), ImageFileError::kNone);
        const Loaded back = LoadImageFile(ImageFormat::kMdt, dir / "u.mdt");
        ASSERT_TRUE(back.ok) << c.zUnit;
        EXPECT_EQ(HeaderText(back.image.m_header.m_szZUnit), c.zUnit);
        EXPECT_FLOAT_EQ(back.image.m_header.m_fKx, c.kx) << c.xyUnit;
        EXPECT_NEAR(back.image.m_pData[0], -5.0, 1e-3) << c.zUnit;
        EXPECT_NEAR(back.image.m_pData[11], 6.0, 1e-3) << c.zUnit;
    }
}
