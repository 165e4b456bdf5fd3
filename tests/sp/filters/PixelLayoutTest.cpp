// Every layout of every processor column against column 0 and against itself: over random
// images each channel stays within 8 units of 2^-24 x the sum of |w x| over the window of
// column 0's result for that channel alone; a NaN, an infinity or a huge value changes no
// output outside its window in any column (a sum carried along a row or down a column would
// take it, or its rounding, on, and an infinity as NaN); and the four-element 5x5 box sums
// give a row of ones their ones back beside a border pixel of 1e8 or infinity. And layout
// code 2 filters its four channels apart, each as an image of its own.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include "FilterTestSupport.h"

namespace {

// Pixels of e floats with a border of b pixels around width x height, rows packed.
struct PixelImage {
    PixelImage(Index width, Index height, Index border, Index elements)
        : width(width), height(height), border(border), e(elements),
          data(static_cast<std::size_t>(Step() * (height + 2 * border)))
    {
    }
    Index Step() const { return (width + 2 * border) * e; } // floats
    float& at(Index y, Index x, Index ch)
    {
        return data[static_cast<std::size_t>((y + border) * Step() + (x + border) * e + ch)];
    }
    const float* Origin() const { return data.data() + border * Step() + border * e; }
    // Channel ch alone, for column 0.
    BorderedImage Channel(Index ch) const
    {
        BorderedImage one(width, height, border, width + 2 * border);
        one.Fill([&](Index y, Index x) {
            return data[static_cast<std::size_t>((y + border) * Step() + (x + border) * e + ch)];
        });
        return one;
    }

    Index width, height, border, e;
    std::vector<float> data;
};

// AllFilterOps()[op] in column 1 to 4 on `layout`: width x e results per row; the kept
// fourth elements of layout 4 stay 0.
std::vector<float> RunWorker(int column, std::size_t op, int layout, const PixelImage& x)
{
    std::vector<float> out(static_cast<std::size_t>(x.width * x.e * x.height), 0.0f);
    const spVariantFrame frame{x.Origin(), x.Step() * 4, out.data(), x.width * x.e * 4, x.width,
                               x.height};
    EXPECT_EQ(WorkerOf(column, op)(frame, {spKtF32, layout, FormOf(AllFilterOps()[op])}),
              spStsNoErr);
    return out;
}

// Column 0 (through its entry) on one channel, or a worker on every layout.
std::vector<float> RunColumn(int column, std::size_t op, int layout, const PixelImage& x)
{
    if (column != 0)
        return RunWorker(column, op, layout, x);
    const ColumnScope scope(0);
    Destination dst(x.width, x.height, x.width);
    EXPECT_EQ(RunOp(AllFilterOps()[op], x.Channel(0), dst), spStsNoErr);
    return dst.Region();
}

TEST(SpFilterLayouts, EveryLayoutOfEveryColumnStaysWithin8UnitsOfColumn0)
{
    using Sampler = float (*)(std::mt19937&);
    std::mt19937 rng(3);
    for (int column = 1; column <= 4; ++column)
        for (std::size_t op = 0; op < AllFilterOps().size(); ++op)
            for (int layout = 1; layout <= 4; ++layout)
                for (Sampler sample : {Sampler{ModerateValue}, Sampler{WideValue}})
                    ForEachLoopKind([&](const char* loops) {
                        const FilterOp& f = AllFilterOps()[op];
                        // 37 pixels: passes, a block and a tail of elements; pairs and a
                        // single pixel.
                        PixelImage x(37, 6, f.border, spPixelElements(layout));
                        for (float& v : x.data)
                            v = sample(rng);
                        const std::vector<float> got = RunWorker(column, op, layout, x);
                        double worst = 0;
                        for (Index ch = 0; ch < (layout == 4 ? 3 : x.e); ++ch) {
                            const BorderedImage one = x.Channel(ch);
                            Destination generic(x.width, x.height, x.width);
                            ASSERT_EQ(RunOp(f, one, generic, 0, 0, f.generic), spStsNoErr);
                            const std::vector<float> want = generic.Region();
                            for (Index y = 0; y < x.height; ++y)
                                for (Index i = 0; i < x.width; ++i) {
                                    const float g = got[static_cast<std::size_t>(
                                        (y * x.width + i) * x.e + ch)];
                                    const float w = want[static_cast<std::size_t>(y * x.width + i)];
                                    const double unit = WindowUnit(f, one, y, i) + 0x1p-130;
                                    worst = std::max(worst, std::abs(double{g} - w) / unit);
                                }
                        }
                        EXPECT_LE(worst, 8.0) << f.name << " column " << column << " layout "
                                              << layout << " " << loops;
                    });
}

TEST(SpFilterLayouts, NanInfinityOrHugeValueChangesNoOutputOutsideItsWindow)
{
    const float inf = std::numeric_limits<float>::infinity();
    std::mt19937 rng(8);
    for (float odd : {std::numeric_limits<float>::quiet_NaN(), inf, -inf, 1e30f})
        for (int column = 0; column <= 4; ++column)
            for (std::size_t op = 0; op < AllFilterOps().size(); ++op)
                for (int layout = 1; layout <= (column == 0 ? 1 : 4); ++layout)
                    ForEachLoopKind([&](const char* loops) {
                        const FilterOp& f = AllFilterOps()[op];
                        const Index b = f.border;
                        PixelImage x(21, 7, b, spPixelElements(layout));
                        for (float& v : x.data)
                            v = ModerateValue(rng);
                        const std::vector<float> clean = RunColumn(column, op, layout, x);
                        // Anywhere in the region or its border, in a channel that is written.
                        const auto pick = [&](Index size) {
                            return static_cast<Index>(rng() % static_cast<unsigned>(size)) - b;
                        };
                        const Index y0 = pick(x.height + 2 * b), x0 = pick(x.width + 2 * b);
                        const Index ch0 = pick(layout == 4 ? 3 : x.e) + b;
                        x.at(y0, x0, ch0) = odd;
                        const std::vector<float> got = RunColumn(column, op, layout, x);
                        for (Index y = 0; y < x.height; ++y)
                            for (Index i = 0; i < x.width * x.e; ++i) {
                                const bool inside = std::abs(y - y0) <= b &&
                                                    std::abs(i / x.e - x0) <= b && i % x.e == ch0;
                                const auto k = static_cast<std::size_t>(y * x.width * x.e + i);
                                ASSERT_TRUE(inside || SameFloat(got[k], clean[k]))
                                    << f.name << " column " << column << " layout " << layout
                                    << " " << loops << ": " << odd << " at " << y0 << "," << x0
                                    << " changed row " << y << " element " << i << " from "
                                    << clean[k] << " to " << got[k];
                            }
                    });
}

TEST(SpFilterLayouts, FourElementBoxSumsGiveOnesBesideABorderPixelOf1e8OrInfinity)
{
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char* filter;
        float border;
        double first; // the output pixel whose window holds the border pixel
        double rest;  // every later pixel
    } cases[] = {
        {"Lowpass5x5", 1e8f, (1e8 + 24) / 25, 1}, {"Hipass5x5", 1e8f, 25 - (1e8 + 24), 0},
        {"Lowpass5x5", inf, inf, 1},              {"Hipass5x5", inf, -inf, 0},
    };
    for (const auto& c : cases)
        for (std::size_t op = 0; op < AllFilterOps().size(); ++op) {
            if (AllFilterOps()[op].name != c.filter)
                continue;
            for (int column = 1; column <= 4; ++column)
                for (int layout : {2, 4})
                    ForEachLoopKind([&](const char* loops) {
                        // A row of eight pixels of ones; the border pixel left of its first
                        // pixel but one holds the value in its three written channels.
                        PixelImage x(8, 1, 2, 4);
                        for (float& v : x.data)
                            v = 1.0f;
                        for (Index ch = 0; ch < 3; ++ch)
                            x.at(0, -2, ch) = c.border;
                        const std::vector<float> got = RunWorker(column, op, layout, x);
                        for (Index i = 0; i < 8 * 4; ++i) {
                            if (i % 4 == 3)
                                continue;
                            const float g = got[static_cast<std::size_t>(i)];
                            const double want = i < 4 ? c.first : c.rest;
                            // Later pixels exactly; the first within 8 units of its window.
                            const double tolerance =
                                i >= 4 || std::isinf(want) ? 0 : 8 * 0x1p-24 * (1e8 + 48);
                            EXPECT_TRUE(g == want || std::abs(g - want) <= tolerance)
                                << c.filter << " of " << c.border << " column " << column
                                << " layout " << layout << " " << loops << ": element " << i
                                << " is " << g << ", want " << want;
                        }
                    });
        }
}

// Layout code 2: four channels in four elements per pixel, every element written, each channel
// with its own window of pixels four elements apart.
constexpr Index kFourChannels = 4;

// A run of key (layout 2) on `channels` interleaved equals, element for element, the four runs
// of key's one-channel form on the channels apart: integers exactly, floats within 32 units of
// 2^-24 x the sum of |w x| over the window (each within 16 of the exact value; the kernels of
// four-element pixels add in other orders). Two runs into destinations of different bytes
// agree, so every element of each row is written.
template <class In, class Out>
void FourChannelsApart(int column, std::size_t op, const spKernelKey& key,
                             const std::vector<BorderedImage>& channels)
{
    const FilterOp& f = AllFilterOps()[op];
    const BorderedImage& first = channels.front();
    const Index b = f.border, width = first.width(), height = first.height();
    const Index rowPixels = width + 2 * b, dstRow = width * kFourChannels;
    std::vector<In> four(static_cast<std::size_t>(rowPixels * (height + 2 * b) * kFourChannels));
    for (Index y = -b; y < height + b; ++y)
        for (Index x = -b; x < width + b; ++x)
            for (Index ch = 0; ch < kFourChannels; ++ch)
                four[static_cast<std::size_t>(((y + b) * rowPixels + x + b) * kFourChannels + ch)] =
                    static_cast<In>(channels[static_cast<std::size_t>(ch)].at(y, x));
    std::vector<Out> out[2];
    for (int fill : {0x5A, 0xA5}) {
        std::vector<Out>& o = out[fill == 0xA5];
        o.resize(static_cast<std::size_t>(dstRow * height));
        std::memset(o.data(), fill, o.size() * sizeof(Out));
        const spVariantFrame frame{four.data() + (b * rowPixels + b) * kFourChannels,
                                   static_cast<Index>(rowPixels * kFourChannels * sizeof(In)),
                                   o.data(), static_cast<Index>(dstRow * sizeof(Out)), width,
                                   height};
        ASSERT_EQ(WorkerOf(column, op)(frame, key), spStsNoErr);
    }
    ASSERT_EQ(std::memcmp(out[0].data(), out[1].data(), out[0].size() * sizeof(Out)), 0)
        << "an element left unwritten";
    for (Index ch = 0; ch < kFourChannels; ++ch) {
        const BorderedImage& x = channels[static_cast<std::size_t>(ch)];
        std::vector<In> one;
        for (float v : x.storage())
            one.push_back(static_cast<In>(v));
        std::vector<Out> alone(static_cast<std::size_t>(width * height));
        const spVariantFrame frame{&one[static_cast<std::size_t>(x.Origin() - x.storage().data())],
                                   static_cast<Index>(x.stride() * sizeof(In)), alone.data(),
                                   static_cast<Index>(width * sizeof(Out)), width, height};
        ASSERT_EQ(WorkerOf(column, op)(frame, {key.type, 1, key.form}), spStsNoErr);
        for (Index y = 0; y < height; ++y)
            for (Index i = 0; i < width; ++i) {
                const double got = out[0][static_cast<std::size_t>(y * dstRow + i * 4 + ch)];
                const double want = alone[static_cast<std::size_t>(y * width + i)];
                const double tolerance =
                    std::is_floating_point_v<Out> ? 32 * WindowUnit(f, x, y, i) : 0;
                ASSERT_LE(std::abs(got - want), tolerance)
                    << "channel " << ch << " row " << y << " pixel " << i;
            }
    }
}

void ExpectFourChannelsApart(int column, std::size_t op, const spKernelKey& key,
                             const std::vector<BorderedImage>& channels)
{
    WithElementsOf(key.type, [&]<class In, class Out>(In, Out) {
        FourChannelsApart<In, Out>(column, op, key, channels);
    });
}

// Four channels of width x 3 pixels with a border of b, of values that type `type` holds.
std::vector<BorderedImage> RandomChannels(int type, Index width, Index b, std::mt19937& rng)
{
    std::uniform_int_distribution<int> integer(type == spKtS16 ? -32768 : 0,
                                               type == spKtS16 ? 32767 : 255);
    std::vector<BorderedImage> channels;
    for (Index ch = 0; ch < kFourChannels; ++ch) {
        channels.emplace_back(width, 3, b, width + 2 * b);
        channels.back().Fill([&](Index, Index) {
            return type == spKtF32 ? ModerateValue(rng) : static_cast<float>(integer(rng));
        });
    }
    return channels;
}

TEST(SpFilterLayouts, FourChannelPixelsFilterAsFourImagesOfOneChannel)
{
    std::mt19937 rng(12);
    ForEachHeldKey({2}, [&](int column, std::size_t op, const spKernelKey& key) {
        ForEachLoopKind([&](const char* loops) {
            // A single pixel, a pair, and pairs before a single pixel.
            for (Index width : {1, 2, 13}) {
                const FilterOp& f = AllFilterOps()[op];
                SCOPED_TRACE(::testing::Message()
                             << f.name << " column " << column << " type " << key.type
                             << " form " << key.form << " width " << width << " " << loops);
                ExpectFourChannelsApart(column, op, key,
                                        RandomChannels(key.type, width, f.border, rng));
            }
        });
    });
}

} // namespace
