// Butterworth masks of primitives and lists, and the ideal filters of the drag.
#include <gtest/gtest.h>

#include "FourierFixture.h"
#include "fourier/FilterPrimitive.h"

namespace {

class MaskTest : public testing::Test {
protected:
    void SetUp() override { ws.Allocate(256, 256); }
    double At(std::size_t x, std::size_t y) const { return mask[y * 384 + x]; }
    std::vector<double> Mask(const FilterPrimitive& p)
    {
        EXPECT_TRUE(BuildPrimitiveMask(p, ws, mask));
        return mask;
    }

    FourierWorkspace ws;
    std::vector<double> mask;
};

FilterPrimitive Prim(int loPass, unsigned type, unsigned oder, double cutoff, double shift = 0.0,
                     int angle = 0, double xcomp = 1.0, double ycomp = 1.0)
{
    return FilterPrimitive{loPass, type, oder, cutoff, xcomp, ycomp, shift, angle};
}

TEST_F(MaskTest, CutoffQuarterHasItsHalfPointAt32Cells)
{
    Mask(Prim(0, 0, 4, 0.25));
    EXPECT_EQ(At(192, 192), 1.0);
    EXPECT_DOUBLE_EQ(At(224, 192), 0.5);
    EXPECT_DOUBLE_EQ(At(192, 160), 0.5);
    Mask(Prim(0, 1, 4, 0.25));  // a band depends on the column only
    EXPECT_DOUBLE_EQ(At(224, 5), 0.5);
    EXPECT_DOUBLE_EQ(At(160, 300), 0.5);
}

// Masks of equal expectation, each pair built the same way.
struct Pair {
    FilterPrimitive a, b;
    bool complement;  // b = 1 - a, else b = a
};

class MaskPairs : public MaskTest, public testing::WithParamInterface<Pair> {};

TEST_P(MaskPairs, AgreeCellByCell)
{
    const std::vector<double> a = Mask(GetParam().a), b = Mask(GetParam().b);
    for (std::size_t i = 0; i < a.size(); ++i)
        ASSERT_NEAR(GetParam().complement ? 1.0 - a[i] : a[i], b[i], 1e-12) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, MaskPairs,
    testing::Values(Pair{Prim(0, 0, 4, 0.3), Prim(1, 0, 4, 0.3), true},
                    Pair{Prim(0, 1, 2, 0.1, 0, 30), Prim(1, 1, 2, 0.1, 0, 30), true},
                    Pair{Prim(0, 0, 3, 0.2, 0, 0, 2.0, 0.5), Prim(0, 0, 3, -0.2, 0, 0, -2.0, -0.5), false},
                    Pair{Prim(0, 0, 0, 0.2), Prim(1, 0, 0, 0.7, 0, 45), false}));

TEST_F(MaskTest, OrderZeroIsFlat)
{
    for (const auto& [p, expected] : {std::pair{Prim(0, 0, 0, 0.3), 0.5}, {Prim(1, 0, 0, 0.3), 0.5},
                                      {Prim(0, 0, 0, 0.3, 0.7), 1.0}, {Prim(1, 0, 0, 0.3, 0.7), 0.0}})
        EXPECT_EQ(Mask(p), std::vector<double>(ws.Cells(), expected));
}

TEST_F(MaskTest, ListIsTheProductOfItsPrimitives)
{
    const std::vector<FilterPrimitive> list = DefaultPrimitives();
    const std::vector<double> first = Mask(list[0]), second = Mask(list[1]);
    ASSERT_TRUE(BuildListMask({list[0]}, ws, mask));
    EXPECT_EQ(mask, first);
    ASSERT_TRUE(BuildListMask(list, ws, mask));
    for (std::size_t i = 0; i < mask.size(); ++i)
        ASSERT_NEAR(mask[i], first[i] * second[i], 1e-15);
}

TEST_F(MaskTest, ZeroDivisorsAndEmptyListsKeepTheMask)
{
    const std::vector<double> before = Mask(Prim(0, 0, 4, 0.3));
    for (const FilterPrimitive& p : {Prim(0, 0, 4, 0.0), Prim(0, 0, 4, 0.3, 0, 0, 0.0), Prim(0, 0, 4, 0.3, 0, 0, 1, 0.0)})
        EXPECT_FALSE(BuildListMask({DefaultPrimitives()[0], p}, ws, mask));
    EXPECT_FALSE(BuildListMask({}, ws, mask));
    EXPECT_EQ(mask, before);
}

struct Ideal {
    bool circle;
    int limit, highPass;
};

class IdealFilters : public MaskTest, public testing::WithParamInterface<Ideal> {};

// Every cell, the first row and column too, is kept or zeroed by its distance alone.
TEST_P(IdealFilters, KeepCellsByDistance)
{
    const Ideal p = GetParam();
    for (std::size_t i = 0; i < ws.Cells(); ++i)
        ws.m_pUnfilteredRe[i] = ws.m_pUnfilteredIm[i] = ws.m_pSpectrumRe[i] = 1.0 + static_cast<double>(i);
    p.circle ? CircleIdealFilter(p.limit, p.highPass, ws) : LineIdealFilter(p.limit, p.highPass, ws);
    for (std::size_t y = 0; y < 384; ++y)
        for (std::size_t x = 0; x < 384; ++x) {
            const double dx = std::fabs(x - 192.0), dy = std::fabs(y - 192.0);
            const double d = p.circle ? std::sqrt(dx * dx + dy * dy) : dx;
            const bool kept = p.highPass ? d >= p.limit : d <= p.limit;
            ASSERT_EQ(ws.m_pSpectrumRe[y * 384 + x], kept ? ws.m_pUnfilteredRe[y * 384 + x] : 0.0) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Limits, IdealFilters,
                         testing::Values(Ideal{false, 0, 0}, Ideal{false, 20, 0}, Ideal{false, 20, 1},
                                         Ideal{false, -1, 0}, Ideal{true, 0, 1}, Ideal{true, 5, 0},
                                         Ideal{true, 40, 1}, Ideal{true, -3, 0}));

} // namespace
