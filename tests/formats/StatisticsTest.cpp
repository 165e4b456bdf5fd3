// Image statistics: ranges, histograms, the automatic range and the grey picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "FormatTestSupport.h"
#include "formats/ImageFile.h"

namespace {

CSpmImage Ramp(int columns, int rows, double start, double step)
{
    return MakeImage(columns, rows, [&](int r, int c) { return start + step * (r * columns + c); });
}

// The histogram the slow way: every bin's lower edge compared with every point.
std::vector<std::uint32_t> ReferenceHistogram(const CSpmImage& image, int bins)
{
    std::vector<std::uint32_t> counts(bins, 0);
    const double range = image.m_dMax - image.m_dMin;
    for (double v : image.m_pData) {
        int bin = 0;
        for (int b = bins - 1; b > 0; --b)
            if ((v - image.m_dMin) * (bins / range) >= b) {
                bin = b;
                break;
            }
        ++counts[bin];
    }
    return counts;
}

}  // namespace

TEST(Statistics, MinMaxOfPlanes)
{
    const std::vector<std::int32_t> raw{5, -7, 3, 12, 0, -7};
    std::int32_t lo = 99, hi = 99;
    EXPECT_EQ(CImageFile::MinMaxInt(3, 2, raw, lo, hi), 0);
    EXPECT_EQ(lo, -7);
    EXPECT_EQ(hi, 12);
    // Only columns x rows elements count.
    EXPECT_EQ(CImageFile::MinMaxInt(2, 1, raw, lo, hi), 0);
    EXPECT_EQ(lo, -7);
    EXPECT_EQ(hi, 5);
    EXPECT_EQ(CImageFile::MinMaxInt(4, 2, raw, lo, hi), -1);  // plane too short: untouched
    EXPECT_EQ(lo, -7);
    EXPECT_EQ(CImageFile::MinMaxInt(0, 5, raw, lo, hi), 0);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 0);

    const std::vector<double> heights{1.5, -2.25, 8.0, 8.0};
    double dlo = 0, dhi = 0;
    EXPECT_EQ(CImageFile::MinMaxDouble(2, 2, heights, dlo, dhi), 0);
    EXPECT_EQ(dlo, -2.25);
    EXPECT_EQ(dhi, 8.0);
}

TEST(Statistics, ComputeMinMaxUsesTheImageSize)
{
    CSpmImage image = Ramp(4, 3, -6.0, 1.0);
    image.m_pData.push_back(1000.0);  // beyond columns x rows: not part of the image
    CImageFile::ComputeMinMax(image);
    EXPECT_EQ(image.m_dMin, -6.0);
    EXPECT_EQ(image.m_dMax, 5.0);
    CSpmImage empty;
    empty.m_dMin = 3.0;
    CImageFile::ComputeMinMax(empty);
    EXPECT_EQ(empty.m_dMin, 0.0);
    EXPECT_EQ(empty.m_dMax, 0.0);
}

TEST(Statistics, HistogramMatchesTheReferenceAndPutsTheMaximumInTheLastBin)
{
    for (int bins : {300, 3000}) {
        CSpmImage image = MakeImage(97, 41, [](int r, int c) { return std::sin(r * 0.37) * 5 + c * c * 0.01; });
        image.m_nBins = bins;
        CImageFile::ComputeHistogram(image);
        ASSERT_EQ(image.m_pHistogram.size(), static_cast<std::size_t>(bins));
        EXPECT_EQ(image.m_pHistogram, ReferenceHistogram(image, bins)) << bins;
        EXPECT_GE(image.m_pHistogram.back(), 1u);
        EXPECT_GE(image.m_pHistogram.front(), 1u);
        std::uint64_t total = 0;
        for (auto count : image.m_pHistogram)
            total += count;
        EXPECT_EQ(total, 97u * 41u);
        EXPECT_EQ(image.m_nBinCountMax, *std::max_element(image.m_pHistogram.begin(), image.m_pHistogram.end()));
        EXPECT_EQ(image.m_nBinCountMin, *std::min_element(image.m_pHistogram.begin(), image.m_pHistogram.end()));
    }
}

TEST(Statistics, EvenRampFillsEveryBinOnce)
{
    CSpmImage image = Ramp(300, 1, 0.0, 1.0);  // 0..299
    image.m_dMax = 300.0;
    CImageFile::ComputeHistogram(image);
    for (std::uint32_t count : image.m_pHistogram)
        ASSERT_EQ(count, 1u);
    EXPECT_EQ(image.m_nBinCountMin, 1u);
    EXPECT_EQ(image.m_nBinCountMax, 1u);
}

TEST(Statistics, FlatImageCountsEveryPointInBinZero)
{
    CSpmImage image = MakeImage(10, 7, [](int, int) { return 4.25; });
    ASSERT_EQ(image.m_dMin, image.m_dMax);
    CImageFile::ComputeHistogram(image);
    EXPECT_EQ(image.m_pHistogram[0], 70u);
    EXPECT_EQ(image.m_nBinCountMax, 70u);
    EXPECT_EQ(image.m_nBinCountMin, 0u);
}

TEST(Statistics, HeightsOutsideAStaleRangeCountInTheEndBins)
{
    CSpmImage image = MakeImage(4, 1, [](int, int c) { return std::array{-50.0, 0.0, 10.0, 1e9}[c]; });
    image.m_dMin = 0.0;
    image.m_dMax = 10.0;
    CImageFile::ComputeHistogram(image);
    EXPECT_EQ(image.m_pHistogram[0], 2u);
    EXPECT_EQ(image.m_pHistogram[299], 2u);
}

TEST(Statistics, AutoRangeCutsBinsAtOnePercentOfTheLargest)
{
    // Largest count 250: threshold 2, so bins holding 1 or 2 points are cut from the ends.
    CSpmImage image = Ramp(300, 1, 0.0, 1.0);
    image.m_dMax = 300.0;
    image.m_nBins = 300;
    image.m_pHistogram.assign(300, 0);
    image.m_pHistogram[3] = 1;
    image.m_pHistogram[5] = 2;
    image.m_pHistogram[10] = 3;
    image.m_pHistogram[150] = 250;
    image.m_pHistogram[200] = 3;
    image.m_pHistogram[250] = 2;
    image.m_nBinCountMax = 250;
    CImageFile::AutoRangeFromHistogram(image);
    EXPECT_DOUBLE_EQ(image.m_dMin, 10.0);
    EXPECT_DOUBLE_EQ(image.m_dMax, 200.0);

    // Largest count 99: threshold 0, every non-empty bin counts.
    image.m_dMin = 0.0;
    image.m_dMax = 300.0;
    image.m_pHistogram[150] = 99;
    image.m_nBinCountMax = 99;
    CImageFile::AutoRangeFromHistogram(image);
    EXPECT_DOUBLE_EQ(image.m_dMin, 3.0);
    EXPECT_DOUBLE_EQ(image.m_dMax, 250.0);
}

TEST(Statistics, AutoRangeOfAnEvenRampAndOfAnEmptyHistogram)
{
    CSpmImage image = Ramp(300, 1, 0.0, 1.0);
    image.m_dMax = 300.0;
    CImageFile::ComputeHistogram(image);
    CImageFile::AutoRangeFromHistogram(image);
    EXPECT_DOUBLE_EQ(image.m_dMin, 0.0);
    EXPECT_DOUBLE_EQ(image.m_dMax, 299.0);

    image.m_pHistogram.assign(300, 0);
    image.m_nBinCountMax = 0;
    image.m_dMin = -1.0;
    image.m_dMax = 7.0;
    CImageFile::AutoRangeFromHistogram(image);
    EXPECT_EQ(image.m_dMin, -1.0);
    EXPECT_EQ(image.m_dMax, 7.0);
}

TEST(GreyPicture, ThreeByThreeAtZoomTwoPaintsFourByFour)
{
    CSpmImage image = MakeImage(3, 3, [](int r, int c) { return r * 3 + c; });  // 0..8
    PixelBuffer picture(8, 8);
    std::fill(picture.m_pPixels.begin(), picture.m_pPixels.end(), 0xFF000000u);
    EXPECT_EQ(CImageFile::DrawGreyImage(picture, 2.0f, 2.0f, image), 1);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const std::uint32_t pixel = picture.m_pPixels[y * 8 + x];
            if (x >= 4 || y >= 4) {
                EXPECT_EQ(pixel, 0xFF000000u) << x << "," << y;
                continue;
            }
            const double v = (y / 2) * 3 + (x / 2);
            const auto grey = static_cast<std::uint32_t>(v / 8.0 * 255.0);
            EXPECT_EQ(pixel, grey * 0x010101u) << x << "," << y;
        }
    EXPECT_EQ(picture.m_pPixels[0], 0u);
    EXPECT_EQ(picture.m_pPixels[2 * 8 + 2], 127u * 0x010101u);  // height 4 of 0..8
}

TEST(GreyPicture, ClipsToThePictureAndSkipsDegenerateInput)
{
    CSpmImage image = MakeImage(5, 5, [](int r, int c) { return r + c; });
    PixelBuffer small(3, 2);
    CImageFile::DrawGreyImage(small, 1.5f, 1.5f, image);  // would reach 6 x 6 pixels
    EXPECT_EQ(small.m_pPixels.size(), 6u);

    PixelBuffer picture(4, 4);
    CSpmImage flat = MakeImage(3, 3, [](int, int) { return 2.0; });
    std::fill(picture.m_pPixels.begin(), picture.m_pPixels.end(), 7u);
    CImageFile::DrawGreyImage(picture, 1.0f, 1.0f, flat);
    EXPECT_EQ(picture.m_pPixels[0], 0u);  // a flat image paints black
    std::fill(picture.m_pPixels.begin(), picture.m_pPixels.end(), 7u);
    CImageFile::DrawGreyImage(picture, NAN, 1.0f, image);
    CImageFile::DrawGreyImage(picture, INFINITY, 1.0f, image);
    CImageFile::DrawGreyImage(picture, 1.0f, 1.0f, MakeImage(4, 1, [](int, int c) { return c; }));
    EXPECT_EQ(picture.m_pPixels, std::vector<std::uint32_t>(16, 7u));
}
