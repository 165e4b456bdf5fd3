// Known answers: impulse responses give the kernels, constants and ramps give fixed values,
// and non-finite values stay in their window.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "FilterTestSupport.h"

namespace {

BorderedImage Image(const FilterOp& op, Index w, Index h,
                    const std::function<float(Index, Index)>& fn)
{
    BorderedImage img(w, h, op.border, w + 2 * op.border);
    img.Fill(fn);
    return img;
}

std::vector<float> Filter(const FilterOp& op, const BorderedImage& src)
{
    Destination dst(src.width(), src.height(), src.width());
    EXPECT_EQ(RunOp(op, src, dst), spStsNoErr) << op.name;
    return dst.Region();
}

const double kMeanFactor3x3 = std::bit_cast<float>(std::uint32_t{0x3DE38E37});

TEST(SpFilterKnownAnswer, ImpulseGivesTheKernel)
{
    // An impulse of the kernel's divisor makes every output weight exact but the Gauss 5x5
    // ones (k/571 as floats), which come out within a relative 1e-6; the lowpass filters
    // multiply by their float factors instead of dividing.
    for (const FilterOp& op : AllFilterOps()) {
        const float value = static_cast<float>(op.kernel.divisor);
        const double scale = op.name == "Lowpass3x3"   ? kMeanFactor3x3
                             : op.name == "Lowpass5x5" ? static_cast<double>(0.04f)
                                                       : 1.0 / value;
        const double tolerance = op.name == "Gauss5x5" ? 1e-6 : 0.0;
        const Index py = 3, px = 4, w = 9, h = 7, r = op.border;
        const auto impulse = [&](Index y, Index i) { return y == py && i == px ? value : 0.0f; };
        const std::vector<float> out = Filter(op, Image(op, w, h, impulse));
        for (Index y = 0; y < h; ++y)
            for (Index i = 0; i < w; ++i) {
                const Index dy = py - y, dx = px - i;
                const bool inside = std::abs(dy) <= r && std::abs(dx) <= r;
                const double weight = inside ? op.kernel.w[dy + 2][dx + 2] : 0;
                const float want = static_cast<float>(value * weight * scale);
                EXPECT_NEAR(out[static_cast<std::size_t>(y * w + i)], want,
                            std::abs(want) * tolerance)
                    << op.name << " at " << y << "," << i;
            }
    }
}

TEST(SpFilterKnownAnswer, ConstantImages)
{
    const float below1 = std::bit_cast<float>(std::uint32_t{0x3F7FFFFE}); // 1 - 2^-23
    const struct {
        const char* name;
        float value, expected, tolerance;
    } cases[] = {
        {"Gauss3x3", 3.25f, 3.25f, 0},  {"Laplace3x3", 7.5f, 0, 0},    {"Hipass3x3", -2, 0, 0},
        {"Laplace5x5", 11, 0, 0},       {"Hipass5x5", 0.375f, 0, 0},   {"Lowpass3x3", 1, below1, 0},
        {"Lowpass3x3", 9, 8.999999046f, 0}, {"Lowpass5x5", 1, 1, 0},   {"Sharpen", -6.5f, -6.5f, 0},
        {"SobelVert", 42, 0, 0},        {"SobelHoriz", 42, 0, 0},      {"Gauss5x5", 1, 1, 1e-6f},
    };
    for (const auto& c : cases) {
        const FilterOp& op = FindFilterOp(c.name);
        for (float v : Filter(op, Image(op, 6, 5, [&](Index, Index) { return c.value; })))
            ASSERT_NEAR(v, c.expected, c.tolerance) << c.name << " of " << c.value;
    }
}

TEST(SpFilterKnownAnswer, RampsFixTheSobelOrientation)
{
    auto columns = [](Index, Index c) { return static_cast<float>(c); };
    auto rows = [](Index r, Index) { return static_cast<float>(r); };
    const struct {
        const char* name;
        float (*ramp)(Index, Index);
        float expected;
    } cases[] = {{"SobelVert", columns, -8}, {"SobelVert", rows, 0},
                 {"SobelHoriz", rows, 8},    {"SobelHoriz", columns, 0}};
    for (const auto& c : cases) {
        const FilterOp& op = FindFilterOp(c.name);
        for (float v : Filter(op, Image(op, 7, 4, c.ramp)))
            ASSERT_EQ(v, c.expected) << c.name;
    }
}

TEST(SpFilterKnownAnswer, NonFiniteValuesStayInTheirNeighbourhood)
{
    // A running sum along a row or down a column (which would also drift with its rounding
    // errors) would carry an infinity (as NaN) past the window that holds it; every output
    // outside that window must stay finite.
    const float inf = std::numeric_limits<float>::infinity();
    for (int column : kColumns)
        for (const FilterOp& op : AllFilterOps()) {
            const ColumnScope scope(column);
            const Index py = 6, px = 7, w = 15, h = 13;
            const BorderedImage src =
                Image(op, w, h, [&](Index r, Index c) { return r == py && c == px ? inf : 1.0f; });
            const std::vector<float> out = Filter(op, src);
            for (Index y = 0; y < h; ++y)
                for (Index i = 0; i < w; ++i)
                    if (std::abs(y - py) > op.border || std::abs(i - px) > op.border) {
                        ASSERT_TRUE(std::isfinite(out[static_cast<std::size_t>(y * w + i)]))
                            << op.name << " column " << column << " at " << y << "," << i;
                    }
            if (column == 0) {
                EXPECT_EQ(FirstDifference(out, ReferenceOutput(op, src)), -1) << op.name;
            }
        }
}

} // namespace
