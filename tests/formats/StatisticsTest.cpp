// Image statistics: ranges, histograms, the automatic range and the grey picture.
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

// 0, 1, ..., 299 with the range 0 to 300: one point in every one of 300 bins.
CSpmImage EvenRamp()
{
    CSpmImage image = MakeImage(300, 1, [](int, int c) { return c; });
    image.m_dMax = 300.0;
    return image;
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
    const struct {
        std::uint16_t columns, rows;
        int result;
        std::int32_t min, max;
    } cases[] = {
        {3, 2, 0, -7, 12}, {2, 1, 0, -7, 5}, {1, 1, 0, 5, 5}, {0, 5, 0, 0, 0},
        {4, 2, -1, 99, 99},  // plane too short: nothing written
    };
    for (const auto& c : cases) {
        std::int32_t min = 99, max = 99;
        EXPECT_EQ(MinMaxInt(c.columns, c.rows, raw, min, max), c.result) << c.columns << "x" << c.rows;
        EXPECT_EQ(min, c.min) << c.columns << "x" << c.rows;
        EXPECT_EQ(max, c.max) << c.columns << "x" << c.rows;
    }
    const std::vector<double> heights{1.5, -2.25, 8.0, 8.0};
    double min = 0, max = 0;
    EXPECT_EQ(MinMaxDouble(2, 2, heights, min, max), 0);
    EXPECT_EQ(min, -2.25);
    EXPECT_EQ(max, 8.0);

    CSpmImage image = MakeImage(4, 3, [](int r, int c) { return r * 4 + c - 6.0; });
    image.m_pData.push_back(1000.0);  // beyond columns x rows: not part of the image
    ComputeMinMax(image);
    EXPECT_EQ(image.m_dMin, -6.0);
    EXPECT_EQ(image.m_dMax, 5.0);
    CSpmImage empty;
    empty.m_dMin = 3.0;
    ComputeMinMax(empty);
    EXPECT_EQ(empty.m_dMin, 0.0);
    EXPECT_EQ(empty.m_dMax, 0.0);
}

TEST(Statistics, HistogramMatchesTheReferenceAndPutsTheMaximumInTheLastBin)
{
    for (int bins : {300, 3000}) {
        CSpmImage image = MakeImage(97, 41, [](int r, int c) { return std::sin(r * 0.37) * 5 + c * c * 0.01; });
        image.m_nBins = bins;
        ComputeHistogram(image);
        EXPECT_EQ(image.m_pHistogram, ReferenceHistogram(image, bins)) << bins;
        EXPECT_GE(image.m_pHistogram.back(), 1u);
        EXPECT_EQ(std::accumulate(image.m_pHistogram.begin(), image.m_pHistogram.end(), 0u), 97u * 41u);
        EXPECT_EQ(image.m_nBinCountMax, *std::max_element(image.m_pHistogram.begin(), image.m_pHistogram.end()));
        EXPECT_EQ(image.m_nBinCountMin, *std::min_element(image.m_pHistogram.begin(), image.m_pHistogram.end()));
    }
}

TEST(Statistics, HistogramEdgeCases)
{
    CSpmImage even = EvenRamp();
    ComputeHistogram(even);
    EXPECT_EQ(even.m_pHistogram, std::vector<std::uint32_t>(300, 1));
    EXPECT_EQ(even.m_nBinCountMin, 1u);
    EXPECT_EQ(even.m_nBinCountMax, 1u);

    CSpmImage flat = MakeImage(10, 7, [](int, int) { return 4.25; });  // no range: all in bin 0
    ComputeHistogram(flat);
    EXPECT_EQ(flat.m_pHistogram[0], 70u);
    EXPECT_EQ(flat.m_nBinCountMax, 70u);
    EXPECT_EQ(flat.m_nBinCountMin, 0u);

    // Heights outside a stale range count in the end bins.
    CSpmImage stale = Row({-50.0, 0.0, 10.0, 1e9});
    stale.m_dMin = 0.0;
    stale.m_dMax = 10.0;
    ComputeHistogram(stale);
    EXPECT_EQ(stale.m_pHistogram[0], 2u);
    EXPECT_EQ(stale.m_pHistogram[299], 2u);
}

TEST(Statistics, AutoRangeCutsBinsAtOnePercentOfTheLargest)
{
    CSpmImage image = EvenRamp();
    ComputeHistogram(image);
    AutoRangeFromHistogram(image);
    EXPECT_DOUBLE_EQ(image.m_dMin, 0.0);
    EXPECT_DOUBLE_EQ(image.m_dMax, 299.0);

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

    // An empty histogram leaves the range as it is.
    image.m_pHistogram.assign(300, 0);
    image.m_nBinCountMax = 0;
    image.m_dMin = -1.0;
    image.m_dMax = 7.0;
    AutoRangeFromHistogram(image);
    EXPECT_EQ(image.m_dMin, -1.0);
    EXPECT_EQ(image.m_dMax, 7.0);
}

TEST(GreyPicture, ThreeByThreeAtZoomTwoPaintsFourByFour)
{
    CSpmImage image = MakeImage(3, 3, [](int r, int c) { return r * 3 + c; });  // 0..8
    PixelBuffer picture(8, 8);
    std::fill(picture.m_pPixels.begin(), picture.m_pPixels.end(), 0xFF000000u);
    EXPECT_EQ(DrawGreyImage(picture, 2.0f, 2.0f, image), 1);
    // Heights 0, 1, 3 and 4 of 0..8 as grey levels in 2 x 2 blocks; the last row and column
    // are not painted.
    const std::uint32_t grey[] = {0, 31, 95, 127};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(picture.m_pPixels[y * 8 + x], x < 4 && y < 4 ? grey[y / 2 * 2 + x / 2] * 0x010101u : 0xFF000000u)
                << x << "," << y;
}

TEST(GreyPicture, ClipsToThePictureAndSkipsDegenerateInput)
{
    CSpmImage image = MakeImage(5, 5, [](int r, int c) { return r + c; });
    PixelBuffer small(3, 2);
    DrawGreyImage(small, 1.5f, 1.5f, image);  // would reach 6 x 6 pixels
    EXPECT_EQ(small.m_pPixels.size(), 6u);

    PixelBuffer picture(4, 4);
    std::fill(picture.m_pPixels.begin(), picture.m_pPixels.end(), 7u);
    DrawGreyImage(picture, 1.0f, 1.0f, MakeImage(3, 3, [](int, int) { return 2.0; }));
    EXPECT_EQ(picture.m_pPixels[0], 0u);  // a flat image paints black
    std::fill(picture.m_pPixels.begin(), picture.m_pPixels.end(), 7u);
    DrawGreyImage(picture, NAN, 1.0f, image);
    DrawGreyImage(picture, INFINITY, 1.0f, image);
    DrawGreyImage(picture, 1.0f, 1.0f, Row({0, 1, 2, 3}));
    EXPECT_EQ(picture.m_pPixels, std::vector<std::uint32_t>(16, 7u));
}
