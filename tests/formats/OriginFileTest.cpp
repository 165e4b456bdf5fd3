// Origin text exports: columns and rows from the tab layout, steps and heights in
// nanometres, the raw plane, and the rows the reader refuses.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "FormatTestSupport.h"
#include "support/TestPaths.h"

namespace {

Loaded Load(const ScratchDir& dir, const std::string& text)
{
    WriteBytes(dir / "o.dat", std::vector<std::uint8_t>(text.begin(), text.end()));
    return LoadImageFile(Format::kOrigin, dir / "o.dat");
}

}  // namespace

TEST(OriginReader, StepsFromTheLastCoordinatesAndHeightsInNanometres)
{
    ScratchDir dir;
    const Loaded loaded = Load(dir, "Y\t0.5\t1.0\t1.5\t\r\n0.5\t-1.25\t2\t0\t\r\n1.0\t3\t-1\t1.5E-03\t\r\n");
    ASSERT_TRUE(loaded.ok) << loaded.error;
    const SpmHeader& h = loaded.image.m_header;
    EXPECT_EQ(h.m_nColumns, 3);
    EXPECT_EQ(h.m_nRows, 2);
    EXPECT_EQ(h.m_fKx, 500.0f);
    EXPECT_EQ(h.m_fKy, 500.0f);
    EXPECT_EQ(HeaderText(h.m_szXYUnit), "nm");
    EXPECT_EQ(HeaderText(h.m_szZUnit), "nm");
    EXPECT_EQ(HeaderText(h.m_szQuantity), "Topography");
    EXPECT_EQ(HeaderText(h.m_szVersion), "Orbitrace, convert from ORIGIN");
    EXPECT_EQ(loaded.image.m_pData, (std::vector<double>{-1250, 2000, 0, 3000, -1000, 1.5}));
    // Values from -1.25 to 3 (x 1000): raw -32765 at the lowest, 32765 at the highest.
    EXPECT_EQ(h.m_fKz, static_cast<float>(4250.0 / 65530.0));
    EXPECT_EQ(loaded.image.m_pRaw[0], -32765);
    EXPECT_EQ(loaded.image.m_pRaw[3], 32765);
    EXPECT_EQ(loaded.image.m_pRaw[1], static_cast<std::int32_t>((2000.0 + 1250.0) * (65530.0 / 4250.0) - 32765.0));

    const Loaded minusOneToThree = Load(dir, "Y\t1\t2\t\n1\t-1\t3\t\n");
    ASSERT_TRUE(minusOneToThree.ok);
    EXPECT_EQ(minusOneToThree.image.m_header.m_fKz, static_cast<float>(4000.0 / 65530.0));
    EXPECT_EQ(minusOneToThree.image.m_pRaw, (std::vector<std::int32_t>{-32765, 32765}));
}

TEST(OriginReader, LineFeedsAloneAndBlankTrailingLinesAreFine)
{
    ScratchDir dir;
    const Loaded loaded = Load(dir, "x\t1\t2\t\n1\t5\t6\t\n2\t7\t8\t\n\n\r\n  \n");
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_EQ(loaded.image.m_nHeight, 2);
    EXPECT_EQ(loaded.image.m_header.m_fKy, 1000.0f);
}

TEST(OriginReader, AThousandAndTwentyFourColumnExportLoadsWhole)
{
    ScratchDir dir;
    std::ostringstream text;
    text << "Y\t";
    for (int c = 1; c <= 1024; ++c)
        text << c * 0.001953125 << '\t';
    text << "\r\n";
    for (int r = 1; r <= 3; ++r) {
        text << r * 0.5 << '\t';
        for (int c = 0; c < 1024; ++c)
            text << (r * 1024 + c) * 1.0e-4 << '\t';
        text << "\r\n";
    }
    const Loaded loaded = Load(dir, text.str());
    ASSERT_TRUE(loaded.ok) << loaded.error;
    EXPECT_EQ(loaded.image.m_nWidth, 1024);
    EXPECT_EQ(loaded.image.m_nHeight, 3);
    EXPECT_FLOAT_EQ(loaded.image.m_header.m_fKx, 1.953125f);
    EXPECT_NEAR(loaded.image.m_pData.back(), (3 * 1024 + 1023) * 0.1, 1e-9);
}

TEST(OriginReader, EqualValuesGiveZeroRawSamples)
{
    ScratchDir dir;
    const Loaded loaded = Load(dir, "Y\t1\t2\t\n1\t4\t4\t\n");
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(loaded.image.m_pRaw, (std::vector<std::int32_t>{0, 0}));
    EXPECT_GT(loaded.image.m_header.m_fKz, 0.0f);
}

TEST(OriginReader, RefusesRowsThatDoNotMatchTheFirstLine)
{
    ScratchDir dir;
    const struct {
        const char* text;
        ImageFileError error;
    } cases[] = {
        {"", ImageFileError::kBadSize},
        {"Y\t\r\n1\t\r\n", ImageFileError::kBadSize},                   // no columns
        {"Y\t1\t2\t\r\n", ImageFileError::kBadSize},                    // no rows
        {"Y\t1\t2\r\n1\t3\t4\t\r\n", ImageFileError::kBadRow},         // first line without its last tab
        {"Y 1 2\r\n1\t3\t4\t\r\n", ImageFileError::kBadRow},            // no tab at all
        {"Y\t1\t2\t\r\n1\t3\t\r\n", ImageFileError::kBadRow},          // short row
        {"Y\t1\t2\t\r\n1\t3\t4\t5\t\r\n", ImageFileError::kBadRow},    // long row
        {"Y\t1\t2\t\r\n1\t3\t4\r\n", ImageFileError::kBadRow},         // row without its last tab
        {"Y\t1\t2\t\r\n1\t3\t4\t\r\n\r\n2\t5\t6\t\r\n", ImageFileError::kBadRow},  // blank line inside
        {"Y\t1\t2\t\r\n1\t3\tx\t\r\n", ImageFileError::kBadNumber},
        {"Y\t1\t2\t\r\n1\t3\t1,5\t\r\n", ImageFileError::kBadNumber},  // C locale: no decimal comma
        {"Y\t1\t2\t\r\n1\t3\tnan\t\r\n", ImageFileError::kBadNumber},
        {"Y\t1\t2\t\r\n1\t3\t1e400\t\r\n", ImageFileError::kBadNumber},
        {"Y\t1\t2\t\r\n1\t3\t1e306\t\r\n", ImageFileError::kBadNumber},  // x 1000 overflows
        {"Y\t1\t2\t\r\n\t3\t4\t\r\n", ImageFileError::kBadNumber},     // empty Y coordinate
        {"Y\t1\t1e308\t\r\n1\t3\t4\t\r\n", ImageFileError::kBadNumber},  // step overflows a float
    };
    for (const auto& c : cases)
        EXPECT_EQ(Load(dir, c.text).error, c.error) << '"' << c.text << '"';
}

TEST(OriginReader, RefusesMoreThan1024ColumnsOrRows)
{
    ScratchDir dir;
    std::string wide = "Y\t";
    for (int c = 0; c < 1025; ++c)
        wide += "1\t";
    EXPECT_EQ(Load(dir, wide + "\n").error, ImageFileError::kBadSize);
    std::string tall = "Y\t1\t\n";
    for (int r = 0; r < 1025; ++r)
        tall += "1\t2\t\n";
    EXPECT_EQ(Load(dir, tall).error, ImageFileError::kBadSize);
}

TEST(OriginReader, DataPassNeedsTheHeaderPassFirst)
{
    ScratchDir dir;
    CImageFile file;
    CSpmImage image;
    image.m_nWidth = 1;
    image.m_nHeight = 1;
    EXPECT_FALSE(file.ReadOriginData(image));
    EXPECT_EQ(file.Failure(), ImageFileError::kNotPrepared);
    EXPECT_FALSE(file.ReadOriginHeader((dir / "missing.dat").string(), image.m_header));
    EXPECT_EQ(file.Failure(), ImageFileError::kCannotOpen);
}
