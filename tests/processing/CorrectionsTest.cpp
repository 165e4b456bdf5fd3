// Line corrections, flattening, normalisation, crop and rotation of CImageProcessor, and the
// line median they use.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "presentation/TestImages.h"
#include "processing/ImageProcessor.h"
#include "processing/LineMedian.h"

namespace {

double At(const CSpmImage& image, int column, int row)
{
    return image.m_pData[static_cast<std::size_t>(row * image.m_nWidth + column)];
}

// f(x) + g(y) with random profiles: every row is the first row shifted, every column too.
CSpmImage SeparableImage(int columns, int rows, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> value(-50.0, 50.0);
    std::vector<double> fg(static_cast<std::size_t>(columns + rows));
    for (double& v : fg)
        v = value(random);
    return MakeImage(columns, rows, [&](int r, int c) { return fg[c] + fg[columns + r]; });
}

// The mean of a row (step 1) or a column (step = width) of `count` heights from `first`.
double LineMean(const CSpmImage& image, int first, int step, int count)
{
    double sum = 0.0;
    for (int i = 0; i < count; ++i)
        sum += image.m_pData[static_cast<std::size_t>(first + i * step)];
    return sum / count;
}

TEST(MedianLineCorrection, EqualisesLinesDespiteOutliersInFewerThanHalfOfThem)
{
    for (int mode : {kLinesX, kLinesY, kLinesXY}) {
        CSpmImage image = SeparableImage(70, 67, 7);
        const CSpmImage clean = image;
        // A few points of every odd row are spikes: the upper median stays clean.
        for (int r = 1; r < 67 && mode == kLinesX; r += 2)
            for (int x : {1, 4, 5, 8})
                image.m_pData[static_cast<std::size_t>(r * 70 + x)] += 1e4;
        ASSERT_EQ(CImageProcessor().MedianLineCorrection(mode, image), 1);
        for (int r = 0; r < 67; ++r)
            for (int x : {0, 2, 3, 6, 7, 9, 33, 69}) {
                const double expected = mode == kLinesX   ? At(clean, x, 0)   // rows equal
                                        : mode == kLinesY ? At(clean, 0, r)   // columns equal
                                                          : At(clean, 0, 0);  // both: flat
                EXPECT_NEAR(At(image, x, r), expected, 1e-9) << mode;
            }
        EXPECT_EQ(image.m_dMax, *std::max_element(image.m_pData.begin(), image.m_pData.end()));
    }
    // An even width takes the upper middle difference: 1, 2, 10, 20 give 10.
    CSpmImage even = MakeImage(4, 2, [](int r, int c) { return r ? 0.0 : std::vector<double>{1, 2, 10, 20}[c]; });
    CImageProcessor().MedianLineCorrection(kLinesX, even);
    EXPECT_EQ(even.m_pData, (std::vector<double>{1, 2, 10, 20, 10, 10, 10, 10}));
}

TEST(MedianLineCorrection, RectangleMeasuresInsideAndShiftsToTheEdge)
{
    CSpmImage image = SeparableImage(8, 30, 11);
    const CSpmImage before = image;
    // Rows 10 to 19, columns 2 to 5.
    ASSERT_EQ(CImageProcessor().MedianLineCorrectionInRect(kLinesX, image, {2, 10, 6, 20}), 1);
    const double lastShift = At(before, 0, 10) - At(before, 0, 19);
    for (int r = 0; r < 30; ++r)
        for (int x = 0; x < 8; ++x)
            EXPECT_NEAR(At(image, x, r),
                        r <= 10 ? At(before, x, r) : r < 20 ? At(before, x, 10) : At(before, x, r) + lastShift, 1e-9);
    for (const SelectionRect rect : {SelectionRect{2, 10, 2, 20}, SelectionRect{2, 10, 9, 20}, SelectionRect{-1, 0, 3, 3}})
        EXPECT_EQ(CImageProcessor().MedianLineCorrectionInRect(kLinesXY, image, rect), 0);
}

TEST(AlignLines, GivesEveryLineTheOverallMean)
{
    for (int mode : {kLinesX, kLinesY, kLinesXY}) {
        CSpmImage image = SeparableImage(7, 5, static_cast<unsigned>(mode));
        const double mean = LineMean(image, 0, 1, 35);
        CImageProcessor().AlignLines(mode, image);
        EXPECT_NEAR(LineMean(image, 0, 1, 35), mean, 1e-12);
        for (int r = 0; r < 5 && (mode & kLinesX); ++r)
            EXPECT_NEAR(LineMean(image, r * 7, 1, 7), mean, 1e-12) << mode;
        for (int x = 0; x < 7 && (mode & kLinesY); ++x)
            EXPECT_NEAR(LineMean(image, x, 7, 5), mean, 1e-12) << mode;
        // Normalising moves the minimum to 0, and a second time changes nothing.
        CImageProcessor().NormalizeToZero(image);
        const CSpmImage once = image;
        CImageProcessor().NormalizeToZero(image);
        EXPECT_EQ(std::make_tuple(image.m_pData, image.m_dMin, *std::min_element(once.m_pData.begin(), once.m_pData.end())),
                  std::make_tuple(once.m_pData, 0.0, 0.0));
    }
}

TEST(FlattenSurface, RemovesItsPlaneAndKeepsDegenerateFitsFinite)
{
    struct Case {
        int mode, columns, rows;
        double a, b, c;
    };
    const PlanePoint p1{1, 1, 2 - 1 + 5}, p2{6, 2, 12 - 2 + 5}, p3{3, 4, 6 - 4 + 5};
    for (const Case& k : {Case{kFlattenX, 9, 4, 3, 0, 7}, Case{kFlattenY, 4, 9, 0, -2, 1},
                          Case{kFlattenXY, 11, 7, 0.5, -2, 3}, Case{kFlattenThreePoints, 8, 6, 2, -1, 5},
                          Case{kFlattenX, 1, 5, 0, 0, 4}, Case{kFlattenXY, 6, 1, 1, 0, 2}}) {
        CSpmImage image = MakeImage(k.columns, k.rows, [&](int r, int x) { return k.a * x + k.b * r + k.c; });
        ASSERT_EQ(CImageProcessor().FlattenSurface(image, k.mode, p1, p2, p3), 1);
        for (double z : image.m_pData)
            EXPECT_NEAR(z, 0.0, 1e-12) << k.mode << " " << k.columns << "x" << k.rows;
    }
    CSpmImage image = SeparableImage(5, 5, 1);
    const CSpmImage before = image;
    EXPECT_EQ(CImageProcessor().FlattenSurface(image, kFlattenThreePoints, {0, 0, 1}, {2, 2, 5}, {4, 4, 0}), 0);
    EXPECT_EQ(image.m_pData, before.m_pData);
}

TEST(Rotate90, TurnsAQuarterAndFourTimesIsTheIdentity)
{
    CSpmImage image = MakeImage(3, 2, [](int r, int c) { return 1.0 + r * 3 + c; });  // a b c / d e f
    image.m_header.m_fKx = 2.0f;
    CImageProcessor().Rotate90(image);
    EXPECT_EQ(image.m_pData, (std::vector<double>{4, 1, 5, 2, 6, 3}));  // d a / e b / f c
    EXPECT_EQ(std::make_tuple(image.m_nWidth, image.m_header.m_nRows, image.m_header.m_fKy),
              std::make_tuple(2, std::uint16_t{3}, 2.0f));
    CSpmImage big = SeparableImage(37, 70, 9);
    const CSpmImage before = big;
    for (int turn = 0; turn < 4; ++turn)
        CImageProcessor().Rotate90(big);
    EXPECT_EQ(big.m_pData, before.m_pData);
}

TEST(Crop, KeepsTheRectangleAndUndoBringsTheImageBackTwice)
{
    CSpmImage image = MakeImage(10, 10, [](int r, int c) { return r * 10.0 + c; });
    const CSpmImage before = image;
    CImageProcessor().MakeUndoCopy(image);
    ASSERT_EQ(CImageProcessor().Crop(image, {2, 3, 6, 5}), 1);
    EXPECT_EQ(image.m_pData, (std::vector<double>{32, 33, 34, 35, 42, 43, 44, 45}));
    EXPECT_EQ(std::make_tuple(image.m_header.m_nColumns, image.m_nHeight, image.m_dMin, image.m_dMax),
              std::make_tuple(std::uint16_t{4}, 2, 32.0, 45.0));
    EXPECT_EQ(CImageProcessor().Crop(image, {0, 0, 5, 2}), 0);  // wider than the image now

    CSpmImage part = MakeImage(2, 2, [](int, int) { return 0.0; });
    ASSERT_EQ(CImageProcessor().CopySubImage(part, image, 2, 0), 1);  // up to the last column
    EXPECT_EQ(part.m_pData, (std::vector<double>{34, 35, 44, 45}));
    EXPECT_EQ(part.m_strMaxText, "MaxVal = 45.0000000000");
    EXPECT_EQ(CImageProcessor().CopySubImage(part, image, 3, 0), 0);

    for (int twice = 0; twice < 2; ++twice) {
        ASSERT_EQ(CImageProcessor().RestoreUndo(image), 1);
        EXPECT_EQ(image.m_pData, before.m_pData);
        EXPECT_EQ(std::make_tuple(image.m_header.m_nColumns, image.m_nHeight, image.m_bUndoValid),
                  std::make_tuple(std::uint16_t{10}, 10, 0));
    }
}

// The bracketing median against a full sort, on lines that favour and defeat its sample.
TEST(LineMedian, EqualsTheMiddleOfAFullSort)
{
    std::mt19937 random(5);
    std::normal_distribution<double> normal(0.0, 3.0);
    using Fill = std::function<double(std::size_t, std::size_t)>;
    const std::pair<const char*, Fill> kinds[] = {
        {"random", [&](std::size_t, std::size_t) { return normal(random); }},
        {"ascending", [](std::size_t i, std::size_t) { return static_cast<double>(i); }},
        {"descending", [](std::size_t i, std::size_t n) { return static_cast<double>(n - i); }},
        {"constant", [](std::size_t, std::size_t) { return 2.5; }},
        {"few values", [&](std::size_t, std::size_t) { return static_cast<double>(random() % 3); }},
        // The sampled positions hold the extremes, so the bracket misses the median.
        {"sample trap", [](std::size_t i, std::size_t n) { return i * 32 % n < 32 ? (i % 2 ? 1e9 : -1e9) : 0.5 * i; }},
        {"half spikes", [&](std::size_t i, std::size_t) { return i % 2 ? 1e6 + normal(random) : normal(random); }},
    };
    std::vector<double> scratch, line, sorted;
    for (const auto& [name, fill] : kinds)
        for (std::size_t n : {1u, 2u, 63u, 64u, 65u, 100u, 1023u, 1024u}) {
            for (line.clear(); line.size() < n;)
                line.push_back(fill(line.size(), n));
            sorted = line;
            std::sort(sorted.begin(), sorted.end());
            EXPECT_EQ(LineMedian(line, scratch), sorted[n / 2]) << name << " " << n;
        }
    EXPECT_EQ(LineMedian({}, scratch), 0.0);
}

}  // namespace
