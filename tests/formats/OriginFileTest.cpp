// Origin text exports: columns and rows from the tab layout, steps and heights in
// nanometres, the raw plane, and the rows the reader refuses.
#include <gtest/gtest.h>

#include <sstream>

#include "FormatTestSupport.h"

namespace {

Loaded Load(const ScratchDir& dir, const std::string& text)
{
    return LoadBytes(ImageFormat::kOrigin, dir, text);
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
    // Values from -1.25 to 3 (x 1000): raw -32765 at the lowest, 32765 at the highest,
    // truncated between: (2000 + 1250) x 65530 / 4250 - 32765 = 17346.2.
    EXPECT_EQ(h.m_fKz, static_cast<float>(4250.0 / 65530.0));
    EXPECT_EQ(loaded.image.m_pRaw, (std::vector<std::int32_t>{-32765, 17346, -13491, 32765, -28910, -13468}));
}

TEST(OriginReader, LayoutsThatRead)
{
    ScratchDir dir;
    std::ostringstream wide;
    wide << "Y\t";
    for (int c = 1; c <= 1024; ++c)
        wide << c * 0.001953125 << '\t';
    wide << "\r\n0.5\t";
    for (int c = 0; c < 1024; ++c)
        wide << c * 1.0e-4 << '\t';
    const struct {
        const char* what;
        std::string text;
        int columns, rows;
        float kx, ky, kz;
        std::vector<std::int32_t> raw;  // checked when given
    } cases[] = {
        {"line feeds alone, blank lines at the end", "x\t1\t2\t\n1\t5\t6\t\n2\t7\t8\t\n\n\r\n  \n", 2, 2, 1000.0f,
         1000.0f, 3000.0f / 65530, {-32765, -10921, 10921, 32765}},
        {"equal values", "Y\t1\t2\t\n1\t4\t4\t\n", 2, 1, 1000.0f, 1000.0f, 1.0f, {0, 0}},
        // A range whose factor 65530 / range is not finite is flat; one just large enough spreads.
        {"range below the factor's reach", "Y\t1\t2\t\n1\t0\t1e-307\t\n", 2, 1, 1000.0f, 1000.0f, 1.0f, {0, 0}},
        {"range above the double's reach", "Y\t1\t2\t\n1\t-1e305\t1e305\t\n", 2, 1, 1000.0f, 1000.0f, 1.0f, {0, 0}},
        {"tiny range", "Y\t1\t2\t\n1\t0\t1e-300\t\n", 2, 1, 1000.0f, 1000.0f, 1.0f, {-32765, 32765}},
        {"1024 columns", wide.str() + "\r\n", 1024, 1, 1.953125f, 500.0f, 102.3f / 65530, {}},
    };
    for (const auto& c : cases) {
        const Loaded loaded = Load(dir, c.text);
        ASSERT_TRUE(loaded.ok) << c.what << ": " << loaded.error;
        EXPECT_EQ(loaded.image.m_nWidth, c.columns) << c.what;
        EXPECT_EQ(loaded.image.m_nHeight, c.rows) << c.what;
        EXPECT_FLOAT_EQ(loaded.image.m_header.m_fKx, c.kx) << c.what;
        EXPECT_FLOAT_EQ(loaded.image.m_header.m_fKy, c.ky) << c.what;
        EXPECT_FLOAT_EQ(loaded.image.m_header.m_fKz, c.kz) << c.what;
        if (!c.raw.empty()) {
            EXPECT_EQ(loaded.image.m_pRaw, c.raw) << c.what;
        }
    }
}

TEST(OriginReader, RefusesRowsThatDoNotMatchTheFirstLine)
{
    ScratchDir dir;
    std::string wide = "Y\t";
    for (int c = 0; c < 1025; ++c)
        wide += "1\t";
    std::string tall = "Y\t1\t\n";
    for (int r = 0; r < 1025; ++r)
        tall += "1\t2\t\n";
    const struct {
        std::string text;
        ImageFileError error;
    } cases[] = {
        {"", ImageFileError::kBadSize},
        {"Y\t\r\n1\t\r\n", ImageFileError::kBadSize},                   // no columns
        {"Y\t1\t2\t\r\n", ImageFileError::kBadSize},                    // no rows
        {wide + "\n", ImageFileError::kBadSize},                         // 1025 columns
        {tall, ImageFileError::kBadSize},                                // 1025 rows
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
        EXPECT_EQ(Load(dir, c.text).error, c.error) << '"' << c.text.substr(0, 40) << '"';
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
