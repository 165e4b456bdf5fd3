// Origin text exports: columns and rows from the tab layout, steps and heights in
// nanometres, the raw plane, and the rows the reader refuses.
#include <gtest/gtest.h>

#include <sstream>

#include "FormatTestSupport.h"

namespace {

Bytes Text(const std::string& text)
{
    return {text.begin(), text.end()};
}

}  // namespace

TEST(OriginReader, StepsFromTheLastCoordinatesHeightsInNanometresAndTheRawSpan)
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
        // Values from -1.25 to 3 (x 1000): raw -32765 at the lowest, 32765 at the highest,
        // truncated between: (2000 + 1250) x 65530 / 4250 - 32765 = 17346.2.
        {"CR LF", "Y\t0.5\t1.0\t1.5\t\r\n0.25\t-1.25\t2\t0\t\r\n0.5\t3\t-1\t1.5E-03\t\r\n", 3, 2, 500.0f, 250.0f,
         4250.0f / 65530, {-32765, 17346, -13491, 32765, -28910, -13468}},
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
        const Loaded loaded = LoadBytes(ImageFormat::kOrigin, dir, c.text);
        ASSERT_TRUE(loaded.ok) << c.what << ": " << loaded.error;
        const SpmHeader& h = loaded.image.m_header;
        EXPECT_EQ(std::tie(loaded.image.m_nWidth, loaded.image.m_nHeight), std::tie(c.columns, c.rows)) << c.what;
        EXPECT_FLOAT_EQ(h.m_fKx, c.kx) << c.what;
        EXPECT_FLOAT_EQ(h.m_fKy, c.ky) << c.what;
        EXPECT_FLOAT_EQ(h.m_fKz, c.kz) << c.what;
        if (!c.raw.empty()) {
            EXPECT_EQ(loaded.image.m_pRaw, c.raw) << c.what;
        }
        EXPECT_EQ(HeaderText(h.m_szXYUnit) + HeaderText(h.m_szZUnit) + HeaderText(h.m_szQuantity), "nmnmTopography");
        EXPECT_EQ(HeaderText(h.m_szVersion), "Orbitrace, convert from ORIGIN");
    }
    EXPECT_EQ(LoadBytes(ImageFormat::kOrigin, dir, cases[0].text).image.m_pData,
              (std::vector<double>{-1250, 2000, 0, 3000, -1000, 1.5}));
}

TEST(OriginReader, RefusesRowsThatDoNotMatchTheFirstLine)
{
    std::string wide = "Y\t", tall = "Y\t1\t\n";
    for (int i = 0; i < 1025; ++i) {
        wide += "1\t";
        tall += "1\t2\t\n";
    }
    const ExpectedRead cases[] = {
        {"empty", {}, ImageFileError::kBadSize},
        {"no columns", Text("Y\t\r\n1\t\r\n"), ImageFileError::kBadSize},
        {"no rows", Text("Y\t1\t2\t\r\n"), ImageFileError::kBadSize},
        {"1025 columns", Text(wide + "\n"), ImageFileError::kBadSize},
        {"1025 rows", Text(tall), ImageFileError::kBadSize},
        {"first line without its last tab", Text("Y\t1\t2\r\n1\t3\t4\t\r\n"), ImageFileError::kBadRow},
        {"no tab at all", Text("Y 1 2\r\n1\t3\t4\t\r\n"), ImageFileError::kBadRow},
        {"short row", Text("Y\t1\t2\t\r\n1\t3\t\r\n"), ImageFileError::kBadRow},
        {"long row", Text("Y\t1\t2\t\r\n1\t3\t4\t5\t\r\n"), ImageFileError::kBadRow},
        {"row without its last tab", Text("Y\t1\t2\t\r\n1\t3\t4\r\n"), ImageFileError::kBadRow},
        {"blank line inside", Text("Y\t1\t2\t\r\n1\t3\t4\t\r\n\r\n2\t5\t6\t\r\n"), ImageFileError::kBadRow},
        {"letter", Text("Y\t1\t2\t\r\n1\t3\tx\t\r\n"), ImageFileError::kBadNumber},
        {"decimal comma", Text("Y\t1\t2\t\r\n1\t3\t1,5\t\r\n"), ImageFileError::kBadNumber},
        {"nan", Text("Y\t1\t2\t\r\n1\t3\tnan\t\r\n"), ImageFileError::kBadNumber},
        {"x 1000 overflows", Text("Y\t1\t2\t\r\n1\t3\t1e306\t\r\n"), ImageFileError::kBadNumber},
        {"empty Y coordinate", Text("Y\t1\t2\t\r\n\t3\t4\t\r\n"), ImageFileError::kBadNumber},
        {"step overflows a float", Text("Y\t1\t1e308\t\r\n1\t3\t4\t\r\n"), ImageFileError::kBadNumber},
    };
    ExpectReads(ImageFormat::kOrigin, cases);
    // The data pass needs the header pass first.
    CImageFile file;
    CSpmImage image;
    image.m_nWidth = image.m_nHeight = 1;
    EXPECT_FALSE(file.ReadOriginData(image));
    EXPECT_EQ(file.Failure(), ImageFileError::kNotPrepared);
}
