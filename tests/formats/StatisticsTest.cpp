// Image statistics: ranges, histograms against a slow reference, automatic range, grey picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "FormatTestSupport.h"

namespace {

CSpmImage Row(std::vector<double> heights)
{
    return MakeImage(static_cast<int>(heights.size()), 1, [&](int, int c) { return heights[c]; });
}

// The histogram the slow way: every bin's lower edge compared with every point.
std::vector<std::uint32_t> ReferenceHistogram(const CSpmImage& image, int bins)
{
    std::vector<std::uint32_t> counts(bins, 0);
    const double range = image.m_dMax - image.m_dMin;
    for (double v : image.m_pData) {
        int bin = bins - 1;
        while (bin > 0 && (v - image.m_dMin) * (bins / range) < bin)
            --bin;
        ++counts[bin];
    }
    return counts;
}

}  // namespace

TEST(Statistics, MinMaxOfPlanesCountsColumnsTimesRows)
{
    const std::vector<std::int32_t> raw{5, -7, 3, 12, 0, -7};
    // columns, rows, result, min, max: a plane too short writes nothing.
    const std::array<int, 5> cases[] = {{3, 2, 0, -7, 12}, {2, 1, 0, -7, 5}, {0, 5, 0, 0, 0}, {4, 2, -1, 99, 99}};
    for (const auto& [columns, rows, result, min, max] : cases) {
        std::int32_t low = 99, high = 99;
        EXPECT_EQ(MinMaxInt(static_cast<std::uint16_t>(columns), static_cast<std::uint16_t>(rows), raw, low, high), result);
        EXPECT_EQ(std::tie(low, high), std::tie(min, max)) << columns << "x" << rows;
    }
    double min = 0, max = 0;
    EXPECT_EQ(MinMaxDouble(2, 2, std::vector<double>{1.5, -2.25, 8.0, 8.5}, min, max), 0);
    EXPECT_EQ(std::tie(min, max), std::tuple(-2.25, 8.5));
    // Heights beyond columns x rows are not part of the image; the last point is.
    CSpmImage image = MakeImage(4, 3, [](int r, int c) { return r == 2 && c == 3 ? 99.0 : r * 4 + c - 6.0; });
    image.m_pData.push_back(1000.0);
    ComputeMinMax(image);
    EXPECT_EQ(std::tie(image.m_dMin, image.m_dMax), std::tuple(-6.0, 99.0));
    EXPECT_EQ(MakeImage(2, 5, [](int r, int) { return r; }).m_dMax, 4.0);  // MakeImage computes the range
}

TEST(Statistics, HistogramMatchesTheReferenceAndPutsTheMaximumInTheLastBin)
{
    for (int bins : {300, 3000}) {
        CSpmImage image = MakeImage(97, 41, [](int r, int c) { return std::sin(r * 0.37) * 5 + c * c * 0.01; });
        image.m_nBins = bins;
        ComputeHistogram(image);
        EXPECT_EQ(image.m_pHistogram, ReferenceHistogram(image, bins)) << bins;
        EXPECT_GE(image.m_pHistogram.back(), 1u);
        EXPECT_EQ(image.m_nBinCountMax, *std::max_element(image.m_pHistogram.begin(), image.m_pHistogram.end()));
        EXPECT_EQ(image.m_nBinCountMin, *std::min_element(image.m_pHistogram.begin(), image.m_pHistogram.end()));
    }
    CSpmImage flat = MakeImage(10, 7, [](int, int) { return 4.25; });  // no range: all in bin 0
    ComputeHistogram(flat);
    EXPECT_EQ(std::tie(flat.m_pHistogram[0], flat.m_nBinCountMax, flat.m_nBinCountMin), std::tuple(70u, 70u, 0u));
    // Heights outside a stale range count in the end bins.
    CSpmImage stale = Row({-50.0, 0.0, 10.0, 1e9});
    stale.m_dMin = 0.0;
    stale.m_dMax = 10.0;
    ComputeHistogram(stale);
    EXPECT_EQ(std::tie(stale.m_pHistogram[0], stale.m_pHistogram[299]), std::tuple(2u, 2u));
}

TEST(Statistics, AutoRangeCutsBinsAtOnePercentOfTheLargest)
{
    // 0, 1, ..., 299 with the range 0 to 300: one point in every bin.
    CSpmImage image = MakeImage(300, 1, [](int, int c) { return c; });
    image.m_dMax = 300.0;
    ComputeHistogram(image);
    EXPECT_EQ(image.m_pHistogram, std::vector<std::uint32_t>(300, 1));
    AutoRangeFromHistogram(image);
    EXPECT_EQ(std::tie(image.m_dMin, image.m_dMax), std::tuple(0.0, 299.0));
    // Largest count 250: threshold 2, so bins holding 1 or 2 points are cut from the ends.
    // Largest count 99: threshold 0, every non-empty bin counts.
    for (std::uint32_t largest : {250u, 99u}) {
        image.m_dMin = 0.0;
        image.m_dMax = 300.0;
        image.m_pHistogram.assign(300, 0);
        for (auto [bin, count] : {std::pair{3, 1u}, {5, 2u}, {10, 3u}, {150, largest}, {200, 3u}, {250, 2u}})
            image.m_pHistogram[bin] = count;
        image.m_nBinCountMax = largest;
        AutoRangeFromHistogram(image);
        EXPECT_DOUBLE_EQ(image.m_dMin, largest == 250 ? 10.0 : 3.0) << largest;
        EXPECT_DOUBLE_EQ(image.m_dMax, largest == 250 ? 200.0 : 250.0) << largest;
    }
    image.m_pHistogram.assign(300, 0);  // an empty histogram leaves the range as it is
    image.m_dMin = -1.0;
    AutoRangeFromHistogram(image);
    EXPECT_EQ(std::tie(image.m_dMin, image.m_dMax), std::tuple(-1.0, 250.0));
}

TEST(GreyPicture, EachPointPaintsItsZoomedBlockAndTheLastRowAndColumnNone)
{
    // Heights 0..11 over 4 x 3 points, zoom 2 across and 3 down, into a larger picture.
    CSpmImage image = MakeImage(4, 3, [](int r, int c) { return r * 4 + c; });
    PixelBuffer picture(10, 10);
    std::fill(picture.m_pPixels.begin(), picture.m_pPixels.end(), 0xFF000000u);
    EXPECT_EQ(DrawGreyImage(picture, 2.0f, 3.0f, image), 1);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const int c = x / 2, r = y / 3;
            const std::uint32_t grey = static_cast<std::uint32_t>((r * 4 + c) / 11.0 * 255.0);
            EXPECT_EQ(picture.m_pPixels[y * 10 + x], c < 3 && r < 2 ? grey * 0x010101u : 0xFF000000u) << x << "," << y;
        }
    // The highest point paints white.
    DrawGreyImage(picture, 1.0f, 1.0f, MakeImage(2, 2, [](int r, int c) { return r == 0 && c == 0 ? 1.0 : 0.0; }));
    EXPECT_EQ(picture.m_pPixels[0], 0xFFFFFFu);
    PixelBuffer small(3, 2);
    DrawGreyImage(small, 1.5f, 1.5f, image);  // would reach 6 x 4 pixels: clipped
    EXPECT_EQ(small.m_pPixels.size(), 6u);
    PixelBuffer untouched(4, 4);
    std::fill(untouched.m_pPixels.begin(), untouched.m_pPixels.end(), 7u);
    for (float zoom : {float(NAN), float(INFINITY)})
        DrawGreyImage(untouched, zoom, 1.0f, image);
    DrawGreyImage(untouched, 1.0f, 1.0f, Row({0, 1, 2, 3}));
    EXPECT_EQ(untouched.m_pPixels, std::vector<std::uint32_t>(16, 7u));
    DrawGreyImage(untouched, 1.0f, 1.0f, MakeImage(3, 3, [](int, int) { return 2.0; }));
    EXPECT_EQ(untouched.m_pPixels[0], 0u);  // a flat image paints black
}
