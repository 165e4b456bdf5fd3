// Known answers: impulse responses give the kernels, constants and ramps give fixed values.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <map>

#include "FilterTestSupport.h"

namespace {

using Index = std::ptrdiff_t;

// Weight of source pixel (row y + dy, column i + dx) for output (y, i), dy and dx from
// -r to r, times `scale`.
struct Kernel {
    int radius;
    std::vector<double> weights; // row-major, (2r + 1)^2
    double scale;
    double At(Index dy, Index dx) const
    {
        const Index side = 2 * radius + 1;
        return weights[static_cast<std::size_t>((dy + radius) * side + dx + radius)];
    }
};

const double kMeanFactor3x3 = std::bit_cast<float>(std::uint32_t{0x3DE38E37});

const std::map<std::string, Kernel>& Kernels()
{
    static const std::map<std::string, Kernel> kernels = {
        {"Gauss3x3", {1, {1, 2, 1, 2, 4, 2, 1, 2, 1}, 0.0625}},
        {"Laplace3x3", {1, {-1, -1, -1, -1, 8, -1, -1, -1, -1}, 1}},
        {"Hipass3x3", {1, {-1, -1, -1, -1, 8, -1, -1, -1, -1}, 1}},
        {"Lowpass3x3", {1, {1, 1, 1, 1, 1, 1, 1, 1, 1}, kMeanFactor3x3}},
        {"Sharpen", {1, {-1, -1, -1, -1, 16, -1, -1, -1, -1}, 0.125}},
        {"SobelVert", {1, {1, 0, -1, 2, 0, -2, 1, 0, -1}, 1}},
        {"SobelHoriz", {1, {-1, -2, -1, 0, 0, 0, 1, 2, 1}, 1}},
        {"Laplace5x5", {2, {-1, -3, -4, -3, -1, -3, 0, 6, 0, -3, -4, 6, 20, 6, -4,
                            -3, 0, 6, 0, -3, -1, -3, -4, -3, -1}, 1}},
        {"Lowpass5x5", {2, std::vector<double>(25, 1.0), static_cast<double>(0.04f)}},
        {"Hipass5x5", {2, {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 24, -1, -1,
                           -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, 1}},
    };
    return kernels;
}

struct FilterResult {
    spStatus status;
    std::vector<float> out;
};

FilterResult Filter(const FilterOp& op, const BorderedImage& src)
{
    Destination dst(src.width(), src.height(), src.width());
    const spStatus status = RunOp(op, src, dst);
    return {status, dst.Region()};
}

BorderedImage Image(const FilterOp& op, Index w, Index h,
                    const std::function<float(Index, Index)>& fn)
{
    BorderedImage img(w, h, op.border, w + 2 * op.border);
    img.Fill(fn);
    return img;
}

TEST(SpFilterKnownAnswer, ImpulseGivesTheKernel)
{
    for (const auto& [name, kernel] : Kernels()) {
        const FilterOp& op = FindFilterOp(name);
        const float v = name == "Gauss3x3" ? 16.0f : (name == "Sharpen" ? 8.0f : 1.0f);
        const Index py = 3, px = 4; // impulse position in a 9 x 7 region
        const BorderedImage src =
            Image(op, 9, 7, [&](Index r, Index c) { return r == py && c == px ? v : 0.0f; });
        const FilterResult run = Filter(op, src);
        ASSERT_EQ(run.status, spStsNoErr) << name;
        for (Index y = 0; y < 7; ++y)
            for (Index i = 0; i < 9; ++i) {
                const Index dy = py - y, dx = px - i;
                const bool inside = std::abs(dy) <= kernel.radius && std::abs(dx) <= kernel.radius;
                const float want =
                    inside ? static_cast<float>(v * kernel.At(dy, dx) * kernel.scale) : 0.0f;
                EXPECT_EQ(run.out[static_cast<std::size_t>(y * 9 + i)], want)
                    << name << " at " << y << "," << i;
            }
    }
}

TEST(SpFilterKnownAnswer, Gauss5x5ImpulseOf571GivesTheIntegerWeights)
{
    const int weights[5][5] = {{2, 7, 12, 7, 2}, {7, 31, 52, 31, 7}, {12, 52, 127, 52, 12},
                               {7, 31, 52, 31, 7}, {2, 7, 12, 7, 2}};
    const FilterOp& op = FindFilterOp("Gauss5x5");
    const BorderedImage src =
        Image(op, 5, 5, [](Index r, Index c) { return r == 2 && c == 2 ? 571.0f : 0.0f; });
    const FilterResult run = Filter(op, src);
    ASSERT_EQ(run.status, spStsNoErr);
    for (Index y = 0; y < 5; ++y)
        for (Index i = 0; i < 5; ++i)
            EXPECT_NEAR(run.out[static_cast<std::size_t>(y * 5 + i)], weights[y][i],
                        weights[y][i] * 1e-6) << y << "," << i;
}

TEST(SpFilterKnownAnswer, ConstantImages)
{
    struct Case {
        const char* name;
        float value;
        float expected;
    };
    const float below1 = std::nextafter(std::nextafter(1.0f, 0.0f), 0.0f); // 1 - 2^-23
    const Case cases[] = {
        {"Gauss3x3", 3.25f, 3.25f},     {"Laplace3x3", 7.5f, 0.0f},
        {"Hipass3x3", -2.0f, 0.0f},     {"Laplace5x5", 11.0f, 0.0f},
        {"Hipass5x5", 0.375f, 0.0f},      {"Lowpass3x3", 1.0f, below1},
        {"Lowpass3x3", 9.0f, 8.999999046f}, {"Lowpass5x5", 1.0f, 1.0f},
        {"Sharpen", -6.5f, -6.5f},      {"SobelVert", 42.0f, 0.0f},
        {"SobelHoriz", 42.0f, 0.0f},
    };
    for (const Case& c : cases) {
        const FilterOp& op = FindFilterOp(c.name);
        const FilterResult run = Filter(op, Image(op, 6, 5, [&](Index, Index) { return c.value; }));
        ASSERT_EQ(run.status, spStsNoErr);
        for (float v : run.out)
            ASSERT_EQ(v, c.expected) << c.name << " of " << c.value;
    }
    EXPECT_EQ(std::bit_cast<std::uint32_t>(below1), 0x3F7FFFFEu);

    const FilterOp& gauss5 = FindFilterOp("Gauss5x5");
    const FilterResult run = Filter(gauss5, Image(gauss5, 6, 5, [](Index, Index) { return 1.0f; }));
    for (float v : run.out)
        EXPECT_NEAR(v, 1.0f, 1e-6f);
}

TEST(SpFilterKnownAnswer, RampsFixTheSobelOrientation)
{
    const FilterOp& vert = FindFilterOp("SobelVert");
    const FilterOp& horiz = FindFilterOp("SobelHoriz");
    auto columns = [](Index, Index c) { return static_cast<float>(c); };
    auto rows = [](Index r, Index) { return static_cast<float>(r); };
    for (float v : Filter(vert, Image(vert, 7, 4, columns)).out)
        ASSERT_EQ(v, -8.0f);
    for (float v : Filter(horiz, Image(horiz, 7, 4, columns)).out)
        ASSERT_EQ(v, 0.0f);
    for (float v : Filter(horiz, Image(horiz, 7, 4, rows)).out)
        ASSERT_EQ(v, 8.0f);
    for (float v : Filter(vert, Image(vert, 7, 4, rows)).out)
        ASSERT_EQ(v, 0.0f);
}

TEST(SpFilterKnownAnswer, NonFiniteValuesStayInTheirNeighbourhood)
{
    // A running sum along a row or down a column would carry an infinity (as NaN) past the
    // window that holds it; every output outside that window must stay finite.
    const float inf = std::numeric_limits<float>::infinity();
    for (const FilterOp& op : AllFilterOps()) {
        const Index py = 6, px = 7, w = 15, h = 13;
        const BorderedImage src =
            Image(op, w, h, [&](Index r, Index c) { return r == py && c == px ? inf : 1.0f; });
        const FilterResult run = Filter(op, src);
        ASSERT_EQ(run.status, spStsNoErr);
        for (Index y = 0; y < h; ++y)
            for (Index i = 0; i < w; ++i) {
                const bool near = std::abs(y - py) <= op.border && std::abs(i - px) <= op.border;
                if (!near) {
                    ASSERT_TRUE(std::isfinite(run.out[static_cast<std::size_t>(y * w + i)]))
                        << op.name << " at " << y << "," << i;
                }
            }
        EXPECT_EQ(FirstDifference(run.out, ReferenceOutput(op, src)), -1) << op.name;
    }
}

TEST(SpFilterKnownAnswer, NoDriftDownATallImage)
{
    // Heights of 1000 +/- 1: the last row of the 5x5 box filters must be as exact as the
    // first, each output row summing its own five rows.
    std::mt19937 rng(99);
    std::uniform_real_distribution<float> noise(999.0f, 1001.0f);
    for (const char* name : {"Lowpass5x5", "Hipass5x5"}) {
        const FilterOp& op = FindFilterOp(name);
        const Index w = 64, h = 1024;
        const BorderedImage src = Image(op, w, h, [&](Index, Index) { return noise(rng); });
        const FilterResult run = Filter(op, src);
        ASSERT_EQ(run.status, spStsNoErr);
        for (Index i = 0; i < w; ++i) {
            double box = 0.0;
            for (Index r = h - 3; r <= h + 1; ++r)
                for (Index c = i - 2; c <= i + 2; ++c)
                    box += src.at(r, c);
            const double centre = src.at(h - 1, i);
            const double exact = name == std::string("Lowpass5x5") ? box * 0.04 : 25 * centre - box;
            // Six roundings to float near 5000 and 25000 (units 2^-11 and 2^-9) bound the
            // error by about 2.2e-3; a running sum drifts to about 0.1 by this row.
            EXPECT_NEAR(run.out[static_cast<std::size_t>((h - 1) * w + i)], exact, 4e-3)
                << name << " column " << i;
        }
    }
}

} // namespace
