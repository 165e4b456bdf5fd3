// The 2-D DFT and FFT: shapes of every path against the oracle with gaps between rows,
// round trips, in-place and buffer variants, the agreement of the two on powers of two, plan
// records, work sizes and statuses.
#include "TransformTestSupport.h"
#include "sp/transforms/spDft2D.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spFft2D.h"

namespace {

using namespace sptest;

class Dft2D : public ColumnTest {};
SP_COLUMN_SUITE(Dft2D);
class Fft2D : public ColumnTest {};
SP_COLUMN_SUITE(Fft2D);

// Runs a 2-D transform from `src` into a destination with `dstGap` bytes after each row;
// checks that neither the source nor the destination's gaps changed.
template <class Spec>
Image Apply(ImageTransform<Spec> run, const Spec* spec, const Image& src, int dstGap)
{
    const Image before = src;
    Image dst(src.width, src.height, 8 * src.width + dstGap);
    EXPECT_EQ(run(src.data(), src.step, dst.data(), dst.step, spec, nullptr), spStsNoErr);
    EXPECT_TRUE(dst.GapsUntouched());
    EXPECT_EQ(src.bytes, before.bytes);
    return dst;
}

double Bound2D(int w, int h)
{
    DftPlan row(w, spNoDivByAny), column(h, spNoDivByAny);
    return PathBound(row.spec) + PathBound(column.spec);
}

TEST_P(Dft2D, ShapesOfEveryPathMatchTheOracle)
{
    // Widths and heights 1 to 16 with gaps between rows (8 and 16 fill the eight-column groups
    // of columns 2 to 4, 9 leaves one over); larger sizes with rows of the mixed-radix, direct,
    // Bluestein and FFT paths; a contiguous single column.
    struct Shape {
        int w, h, srcGap, dstGap;
    };
    std::vector<Shape> shapes = {{12, 10, 0, 0}, {31, 16, 0, 0}, {151, 6, 0, 0}, {5, 64, 0, 0}, {1, 6, 0, 0}};
    for (int w : {1, 2, 3, 4, 7, 8, 9, 16})
        for (int h : {1, 2, 3, 4, 7, 8, 9, 16})
            shapes.push_back({w, h, 24, 40});
    for (const Shape& s : shapes) {
        Dft2DPlan plan(s.w, s.h, spNoDivByAny);
        const Image src = RandomImage(s.w, s.h, 8 * s.w + s.srcGap, static_cast<unsigned>(10 * s.w + s.h));
        for (bool inverse : {false, true}) {
            const Image dst = Apply(inverse ? spDft2DInverse : spDft2DForward, plan.spec, src, s.dstGap);
            EXPECT_LE(RelativeRms(dst.Values(), Oracle2D(src, inverse)), Bound2D(s.w, s.h))
                << s.w << "x" << s.h << " inverse " << inverse;
        }
    }
}

TEST_P(Dft2D, ToolSizesAgreeWithColumnZeroAndRoundTrip)
{
    for (int n : {1024, 1536}) {
        Dft2DPlan plan(n, n, spNoDivByAny);
        spDft2DSpec* zero = nullptr;
        ASSERT_EQ(spDft2DInitAlloc_px(&zero, n, n, spNoDivByAny, 0), spStsNoErr);
        const Signal x = RandomSignal(std::int64_t{n} * n, 9);
        Signal f(x.size()), f0(x.size()), back(x.size());
        EXPECT_EQ(spDft2DForward(x.data(), 8 * n, f.data(), 8 * n, plan.spec, nullptr), spStsNoErr);
        EXPECT_EQ(spDft2DForward_px(x.data(), 8 * n, f0.data(), 8 * n, zero, nullptr), spStsNoErr);
        EXPECT_TRUE(NearColumnZero(f, f0)) << n;
        EXPECT_EQ(spDft2DInverse(f.data(), 8 * n, back.data(), 8 * n, plan.spec, nullptr), spStsNoErr);
        EXPECT_LE(RelativeRms(back, Scaled(x, double(n) * n)), 2 * Bound2D(n, n)) << n;
        spDft2DFree_px(zero);
    }
}

TEST_P(Dft2D, EveryFlagRoundTrips)
{
    for (spScaleFlag flag : {spDivFwdByN, spDivInvByN, spDivBySqrtN, spNoDivByAny}) {
        Dft2DPlan plan(7, 12, flag);
        const Image src = RandomImage(7, 12, 64, 5);
        const Image back = Apply(spDft2DInverse, plan.spec, Apply(spDft2DForward, plan.spec, src, 8), 8);
        EXPECT_LE(RelativeRms(back.Values(), Scaled(src.Values(), flag == spNoDivByAny ? 84 : 1)),
                  2 * Bound2D(7, 12))
            << flag;
    }
}

TEST_P(Dft2D, InPlaceAndCallerBuffersAgreeBitForBit)
{
    for (auto [w, h] : {std::pair{7, 7}, std::pair{6, 10}, std::pair{1, 9}, std::pair{9, 1}, std::pair{151, 3}}) {
        Dft2DPlan plan(w, h, spNoDivByAny);
        const int step = 8 * w + 8;
        const Image src = RandomImage(w, h, step, 17);
        const Signal reference = Apply(spDft2DForward, plan.spec, src, 8).Values();
        Image inPlace = src;
        ASSERT_EQ(spDft2DForward(inPlace.data(), step, inPlace.data(), step, plan.spec, nullptr), spStsNoErr);
        EXPECT_TRUE(SameBits(inPlace.Values(), reference)) << w << "x" << h;
        WorkBuffer work(static_cast<size_t>(plan.spec->workBytes));
        for (std::uint8_t* buffer : {work.aligned, work.aligned + 4}) {
            Image out(w, h, step);
            ASSERT_EQ(spDft2DForward(src.data(), step, out.data(), step, plan.spec, buffer), spStsNoErr);
            EXPECT_TRUE(SameBits(out.Values(), reference)) << w << "x" << h;
        }
    }
}

TEST_P(Dft2D, EqualsTheFftOnPowersOfTwo)
{
    for (auto [ox, oy] : {std::pair{0, 3}, std::pair{3, 0}, std::pair{1, 4}, std::pair{4, 1}, std::pair{2, 2},
                          std::pair{5, 3}, std::pair{6, 6}, std::pair{7, 11}}) {
        const int w = 1 << ox, h = 1 << oy;
        Dft2DPlan dft(w, h, spDivBySqrtN);
        Fft2DPlan fft(ox, oy, spDivBySqrtN);
        const Image src = RandomImage(w, h, 8 * w, 23);
        for (bool inverse : {false, true}) {
            const Image a = Apply(inverse ? spDft2DInverse : spDft2DForward, dft.spec, src, 0);
            const Image b = Apply(inverse ? spFft2DInverse : spFft2DForward, fft.spec, src, 0);
            EXPECT_TRUE(SameBits(a.Values(), b.Values())) << w << "x" << h;
        }
    }
}

TEST(Dft2DPlan, RecordAndWorkSizes)
{
    struct Case {
        int w, h, bytes;
    };
    for (const Case& c : {Case{3, 4, 256}, Case{2, 2, 128}, Case{151, 2, 4112}, Case{2, 151, 64 * 151 + 4112}}) {
        Dft2DPlan plan(c.w, c.h, spNoDivByAny, 1);
        const spDft2DSpec* s = plan.spec;
        EXPECT_TRUE(s->id == 27 && s->width == c.w && s->height == c.h && s->hint == 1) << c.w << "x" << c.h;
        EXPECT_EQ(s->workBytes, c.bytes) << c.w << "x" << c.h;
        EXPECT_EQ(s->rowPlan->len, c.w);
        EXPECT_EQ(s->colPlan == nullptr, c.w == c.h); // one plan when the sizes agree
        if (s->colPlan != nullptr) {
            EXPECT_EQ(s->colPlan->len, c.h);
        }
    }
}

TEST_P(Dft2D, StatusesInTheirOrder)
{
    spDft2DSpec* const sentinel = reinterpret_cast<spDft2DSpec*>(std::uintptr_t{0x77});
    spDft2DSpec* spec = sentinel;
    const long live = spDebugLiveBlocks();
    EXPECT_EQ(spDft2DInitAlloc(nullptr, 0, 0, spNoDivByAny, 0), spStsNullPtrErr);
    EXPECT_EQ(spDft2DInitAlloc(&spec, 0, 4, static_cast<spScaleFlag>(3), 0), spStsSizeErr);
    EXPECT_EQ(spDft2DInitAlloc(&spec, 4, -1, spNoDivByAny, 0), spStsSizeErr);
    EXPECT_EQ(spDft2DInitAlloc(&spec, 4, 6, static_cast<spScaleFlag>(3), 0), spStsFftFlagErr);
    // Heights whose column runs alone pass 2^31 bytes are refused before any allocation.
    EXPECT_EQ(spDft2DInitAlloc(&spec, 1, 1 << 25, spNoDivByAny, 0), spStsMemAllocErr);
    EXPECT_EQ(spec, sentinel);
    EXPECT_EQ(spDebugLiveBlocks(), live);

    Dft2DPlan plan(4, 4, spNoDivByAny);
    Fft2DPlan other(2, 2, spNoDivByAny);
    Expect2DStatuses(spDft2DForward, spDft2DInverse, plan.spec, other.spec);
    EXPECT_EQ(spDft2DFree(nullptr), spStsNullPtrErr);
    EXPECT_EQ(spDft2DFree(reinterpret_cast<spDft2DSpec*>(other.spec)), spStsContextMatchErr);
}

TEST_P(Fft2D, SmallOrdersWithGapsMatchTheOracle)
{
    for (int ox = 0; ox <= 3; ++ox)
        for (int oy = 0; oy <= 3; ++oy) {
            const int w = 1 << ox, h = 1 << oy;
            Fft2DPlan plan(ox, oy, spNoDivByAny);
            const Image src = RandomImage(w, h, 8 * w + 24, static_cast<unsigned>(ox * 7 + oy));
            for (bool inverse : {false, true}) {
                const Image dst = Apply(inverse ? spFft2DInverse : spFft2DForward, plan.spec, src, 16);
                EXPECT_LE(RelativeRms(dst.Values(), Oracle2D(src, inverse)), FftBound(w) + FftBound(h))
                    << w << "x" << h;
            }
        }
}

TEST_P(Fft2D, LargeOrdersAndRoundTrip)
{
    Fft2DPlan plan(12, 3, spDivFwdByN);
    const Image src = RandomImage(4096, 8, 8 * 4096, 2);
    const Image back = Apply(spFft2DInverse, plan.spec, Apply(spFft2DForward, plan.spec, src, 0), 0);
    EXPECT_LE(RelativeRms(back.Values(), Scaled(src.Values())), 2 * (FftBound(4096) + FftBound(8)));
}

TEST(Fft2DPlan, RecordAndWorkSizes)
{
    struct Case {
        int ox, oy, bytes;
    };
    for (const Case& c : {Case{3, 1, 128}, Case{1, 3, 512}, Case{13, 2, 1040}, Case{2, 2, 256}}) {
        Fft2DPlan plan(c.ox, c.oy, spNoDivByAny, 5);
        const spFft2DSpec* s = plan.spec;
        EXPECT_TRUE(s->id == 25 && s->orderX == c.ox && s->orderY == c.oy && s->hint == 5) << c.ox << " " << c.oy;
        EXPECT_EQ(s->workBytes, c.bytes) << c.ox << " " << c.oy;
        EXPECT_EQ(s->colPlan == nullptr, c.ox == c.oy);
    }
}

TEST_P(Fft2D, StatusesInTheirOrder)
{
    spFft2DSpec* const sentinel = reinterpret_cast<spFft2DSpec*>(std::uintptr_t{0x99});
    spFft2DSpec* spec = sentinel;
    const long live = spDebugLiveBlocks();
    EXPECT_EQ(spFft2DInitAlloc(nullptr, 31, 0, spNoDivByAny, 0), spStsNullPtrErr);
    spDebugFailAllocationsAfter(0);
    EXPECT_EQ(spFft2DInitAlloc(&spec, 31, 2, static_cast<spScaleFlag>(3), 0), spStsFftOrderErr);
    EXPECT_EQ(spFft2DInitAlloc(&spec, 2, -1, spNoDivByAny, 0), spStsFftOrderErr);
    // Orders whose column runs alone pass 2^31 bytes are refused before any allocation.
    EXPECT_EQ(spFft2DInitAlloc(&spec, 0, 25, spNoDivByAny, 0), spStsMemAllocErr);
    spDebugFailAllocationsAfter(-1);
    EXPECT_EQ(spFft2DInitAlloc(&spec, 2, 3, static_cast<spScaleFlag>(3), 0), spStsFftFlagErr);
    EXPECT_EQ(spec, sentinel);
    EXPECT_EQ(spDebugLiveBlocks(), live);

    Fft2DPlan plan(2, 2, spNoDivByAny);
    Dft2DPlan other(4, 4, spNoDivByAny);
    Expect2DStatuses(spFft2DForward, spFft2DInverse, plan.spec, other.spec);
    EXPECT_EQ(spFft2DFree(nullptr), spStsNullPtrErr);
    EXPECT_EQ(spFft2DFree(reinterpret_cast<spFft2DSpec*>(other.spec)), spStsContextMatchErr);
}

} // namespace
