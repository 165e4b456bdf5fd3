// NT-MDT files: the frame chain, the scanned frame's fields and unit codes, what the reader
// refuses, and the one-frame file the writer makes.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <iterator>
#include <tuple>

#include "FormatTestSupport.h"
#include "support/ScriptedPrompt.h"
#include "support/TestPaths.h"

namespace {

class Bytes {
public:
    std::vector<std::uint8_t> data;

    void U16(std::size_t at, std::uint16_t v) { Put(at, v, 2); }
    void I16(std::size_t at, std::int16_t v) { Put(at, static_cast<std::uint16_t>(v), 2); }
    void U32(std::size_t at, std::uint32_t v) { Put(at, v, 4); }
    void F32(std::size_t at, float v) { Put(at, std::bit_cast<std::uint32_t>(v), 4); }
    std::uint32_t U32At(std::size_t at) const
    {
        return data[at] | data[at + 1] << 8 | data[at + 2] << 16 | static_cast<std::uint32_t>(data[at + 3]) << 24;
    }

private:
    void Put(std::size_t at, std::uint32_t v, int size)
    {
        if (data.size() < at + size)
            data.resize(at + size, 0);
        for (int i = 0; i < size; ++i)
            data[at + i] = (v >> (8 * i)) & 0xFF;
    }
};

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
    Bytes b;
    b.data.assign(33, 0);
    b.data[0] = 0x01;
    b.data[1] = 0xB0;
    b.data[2] = 0x93;
    b.data[3] = 0xFF;
    b.U16(12, static_cast<std::uint16_t>(frames.size() - 1));
    std::size_t start = 33;
    for (std::size_t n = 0; n < frames.size(); ++n) {
        const Frame& f = frames[n];
        const std::size_t samples = start + 30 + f.varSize + 4u * f.dots;
        const std::size_t size = samples - start + 2u * f.columns * f.rows + f.padding;
        b.U32(start, static_cast<std::uint32_t>(size));
        b.U16(start + 4, f.type);
        b.U16(start + 20, f.varSize);
        if (f.type == 0) {
            b.F32(start + 26, f.xStep);
            b.I16(start + 30, f.xUnit);
            b.F32(start + 36, f.yStep);
            b.I16(start + 40, f.yUnit);
            b.F32(start + 46, f.zStep);
            b.I16(start + 50, f.zUnit);
            b.U16(start + 24 + f.varSize, static_cast<std::uint16_t>(f.columns));
            b.U16(start + 26 + f.varSize, static_cast<std::uint16_t>(f.rows));
            b.U16(start + 28 + f.varSize, f.dots);
            for (int i = 0; i < f.columns * f.rows; ++i)
                b.U16(samples + 2 * i, static_cast<std::uint16_t>(i + 1 + 100 * n));
        }
        b.data.resize(start + size, 0);
        start += size;
    }
    b.U32(4, static_cast<std::uint32_t>(b.data.size() - 33));
    return b.data;
}

Loaded Load(const ScratchDir& dir, const std::vector<std::uint8_t>& bytes, int index = 0)
{
    WriteBytes(dir / "m.mdt", bytes);
    return LoadImageFile(Format::kMdt, dir / "m.mdt", index);
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
    EXPECT_EQ(h.m_fKz, 0.5f);
    EXPECT_EQ(HeaderText(h.m_szXYUnit), "nm");
    EXPECT_EQ(HeaderText(h.m_szZUnit), "A");
    EXPECT_EQ(HeaderText(h.m_szQuantity), "Topography");
    EXPECT_EQ(HeaderText(h.m_szVersion), "Orbitrace, convert from NT-MDT");
    EXPECT_EQ(loaded.image.m_pRaw, (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(loaded.image.m_pData, (std::vector<double>{0.5, 1, 1.5, 2, 2.5, 3}));
}

TEST(MdtReader, CountsOnlyScannedFramesAndSkipsOthersBySize)
{
    ScratchDir dir;
    const auto bytes = MdtBytes({{.type = 3, .varSize = 100}, {.columns = 4}, {.type = 106, .varSize = 7}, {.columns = 5}});
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
    const auto z = [&](std::int16_t code) {
        Loaded loaded = Load(dir, MdtBytes({{.zStep = 2.0f, .zUnit = code}}));
        EXPECT_TRUE(loaded.ok);
        return std::tuple(loaded.image.m_header.m_fKz, HeaderText(loaded.image.m_header.m_szZUnit),
                          HeaderText(loaded.image.m_header.m_szQuantity));
    };
    EXPECT_EQ(z(-2), std::tuple(2.0f, std::string("um"), std::string("Topography")));
    EXPECT_EQ(z(-1), std::tuple(2.0f, std::string("nm"), std::string("Topography")));
    EXPECT_EQ(z(0), std::tuple(2.0f, std::string("A"), std::string("Topography")));
    EXPECT_EQ(z(5), std::tuple(2.0f, std::string("deg"), std::string("Phase")));
    EXPECT_EQ(z(1), std::tuple(0.2f, std::string("uni"), std::string("Unknown")));
    EXPECT_EQ(z(13), std::tuple(0.2f, std::string("uni"), std::string("Unknown")));

    // Lateral steps in micrometres, nanometres or Angstrom all come out in nanometres;
    // a negative step counts by its size.
    const Loaded um = Load(dir, MdtBytes({{.xStep = 0.1007f, .yStep = -0.25f, .xUnit = -2, .yUnit = -2}}));
    ASSERT_TRUE(um.ok);
    EXPECT_FLOAT_EQ(um.image.m_header.m_fKx, 100.7f);
    EXPECT_FLOAT_EQ(um.image.m_header.m_fKy, 250.0f);
    const Loaded nm = Load(dir, MdtBytes({{.xStep = 4.0f, .xUnit = -1}}));
    EXPECT_FLOAT_EQ(nm.image.m_header.m_fKx, 4.0f);
    EXPECT_EQ(Load(dir, MdtBytes({{.xUnit = 7}})).error, ImageFileError::kUnsupportedLayout);
    EXPECT_EQ(Load(dir, MdtBytes({{.yUnit = -3}})).error, ImageFileError::kUnsupportedLayout);
}

TEST(MdtReader, RefusesBrokenFilesWithTheirReason)
{
    ScratchDir dir;
    auto good = MdtBytes({Frame{}});
    auto with = [&](auto change) {
        Bytes b{good};
        change(b);
        return Load(dir, b.data).error;
    };
    EXPECT_EQ(with([](Bytes& b) { b.data[1] = 0xB1; }), ImageFileError::kNotThisFormat);
    EXPECT_EQ(Load(dir, {0x01, 0xB0}).error, ImageFileError::kTruncated);
    EXPECT_EQ(with([](Bytes& b) { b.U32(33, 0); }), ImageFileError::kBadSize);          // no endless walk
    EXPECT_EQ(with([](Bytes& b) { b.U32(33, 21); }), ImageFileError::kBadSize);
    EXPECT_EQ(with([](Bytes& b) { b.U32(33, 0xFFFFFFF0u); }), ImageFileError::kTruncated);
    EXPECT_EQ(with([](Bytes& b) { b.U16(12, 5); b.U16(33 + 4, 2); }), ImageFileError::kTruncated);
    EXPECT_EQ(with([](Bytes& b) { b.U16(33 + 20, 20); }), ImageFileError::kUnsupportedLayout);
    EXPECT_EQ(with([](Bytes& b) { b.U16(33 + 20, 60000); }), ImageFileError::kTruncated);
    EXPECT_EQ(with([](Bytes& b) { b.U16(33 + 24 + 442, 0); }), ImageFileError::kBadSize);
    EXPECT_EQ(with([](Bytes& b) { b.U16(33 + 26 + 442, 1025); }), ImageFileError::kBadSize);
    EXPECT_EQ(with([](Bytes& b) { b.U16(33 + 26 + 442, 3); }), ImageFileError::kTruncated);
    EXPECT_EQ(with([](Bytes& b) { b.U16(33 + 28 + 442, 1); }), ImageFileError::kTruncated);
    EXPECT_EQ(with([](Bytes& b) { b.F32(33 + 26, INFINITY); }), ImageFileError::kBadNumber);
    // A frame whose samples are complete but whose frame size claims less is refused too.
    EXPECT_EQ(with([](Bytes& b) { b.U32(33, b.U32At(33) - 1); }), ImageFileError::kTruncated);
}

TEST(MdtWriter, WritesTheFiveHundredAndFiveByteHeaderTable)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    // Largest height 3276 nm: Z scale 0.1 nm, stored as 1 Angstrom.
    CSpmImage image = MakeImage(100, 50, [](int r, int c) { return r == 0 && c == 0 ? 3276.0 : 0.5 * c; }, 5.0f, 0.25f);
    ASSERT_TRUE(SaveImageFile(Format::kMdt, dir / "w.mdt", image));
    const Bytes b{ReadBytes(dir / "w.mdt")};
    ASSERT_EQ(b.data.size(), 505u + 10000u);

    Bytes expected;
    expected.data.assign(505, 0);
    expected.data[0] = 0x01;
    expected.data[1] = 0xB0;
    expected.data[2] = 0x93;
    expected.data[3] = 0xFF;
    expected.U32(4, 10472);
    expected.U32(33, 10472);
    const std::uint16_t date[] = {2002, 6, 27, 17, 3, 59};
    for (int i = 0; i < 6; ++i)
        expected.U16(41 + 2 * i, date[i]);
    expected.U16(53, 442);
    expected.F32(59, 50.0f);
    expected.F32(69, 2.5f);
    expected.F32(79, static_cast<float>(image.m_header.m_fKz * 10.0));
    expected.data[86] = 1;
    expected.U16(87, 100);
    expected.U16(89, 50);
    expected.F32(93, 50.0f);
    const std::uint8_t settings[] = {1, 0, 45, 0, 1, 1};
    std::copy(std::begin(settings), std::end(settings), expected.data.begin() + 99);
    expected.F32(105, 1.0f);
    expected.F32(109, 1.0f);
    expected.data[117] = 1;
    expected.U16(119, 255);
    expected.U16(123, 255);
    expected.data[127] = 1;
    expected.U16(499, 100);
    expected.U16(501, 50);
    for (std::size_t i = 0; i < 505; ++i)
        ASSERT_EQ(b.data[i], expected.data[i]) << "offset " << i;
    EXPECT_EQ(b.data[505] | b.data[506] << 8, 32760);

    const Loaded back = LoadImageFile(Format::kMdt, dir / "w.mdt");
    ASSERT_TRUE(back.ok);
    EXPECT_FLOAT_EQ(back.image.m_header.m_fKx, 5.0f);
    EXPECT_EQ(HeaderText(back.image.m_header.m_szZUnit), "A");
    EXPECT_NEAR(back.image.m_pData[0], 32760.0, 1e-6);  // 3276 nm as Angstrom
}

TEST(MdtWriter, KeepsUnitsTheReaderKnowsByTheirOwnCode)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    const auto roundTrip = [&](const char* xyUnit, const char* zUnit) {
        CSpmImage image = MakeImage(4, 3, [](int r, int c) { return r * 4 + c - 5.0; }, 0.5f, 0.5f, xyUnit, zUnit);
        EXPECT_TRUE(SaveImageFile(Format::kMdt, dir / "u.mdt", image));
        Loaded back = LoadImageFile(Format::kMdt, dir / "u.mdt");
        EXPECT_TRUE(back.ok);
        return back.image;
    };
    const CSpmImage phase = roundTrip("nm", "deg");
    EXPECT_EQ(HeaderText(phase.m_header.m_szZUnit), "deg");
    EXPECT_NEAR(phase.m_pData[0], -5.0, 1e-3);
    const CSpmImage micro = roundTrip("um", "um");
    EXPECT_EQ(HeaderText(micro.m_header.m_szZUnit), "um");
    EXPECT_FLOAT_EQ(micro.m_header.m_fKx, 500.0f);  // 0.5 um as nanometres
    const CSpmImage angstrom = roundTrip("A", "A");
    EXPECT_FLOAT_EQ(angstrom.m_header.m_fKx, 0.05f);
    EXPECT_NEAR(angstrom.m_pData[11], 6.0, 1e-3);
}
