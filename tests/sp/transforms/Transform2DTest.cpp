// The 2-D DFT and FFT: shapes of every path against the oracle with gaps between rows,
// round trips, in-place and buffer variants, the agreement of the two on powers of two, plan
// records, work sizes and statuses.
#include "TransformTestSupport.h"
#include "sp/transforms/spDft2D.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spFft2D.h"
#include "sp/transforms/spTransform2D.h"

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

// A byte copy of an image that starts `offset` bytes past a 16-byte boundary.
struct Placed {
    Placed(const Image& image, int offset) : storage(image.bytes.size() + 32)
    {
        const auto address = reinterpret_cast<std::uintptr_t>(storage.data());
        start = storage.data() + (16 - address % 16) % 16 + offset;
        std::memcpy(start, image.bytes.data(), image.bytes.size());
    }
    spComplex* data() { return reinterpret_cast<spComplex*>(start); }
    // The bytes back in the shape of `like`.
    Image Back(const Image& like) const
    {
        Image out = like;
        std::memcpy(out.bytes.data(), start, out.bytes.size());
        return out;
    }
    std::vector<std::uint8_t> storage;
    std::uint8_t* start;
};

TEST_P(Dft2D, ImagesOffAnyBoundaryMatchTheOracle)
{
    // Images 4, 8 and 12 bytes past a 16-byte boundary, steps of both kinds and odd heights
    // take the element-wise copies of the eight-column groups, the others the 16-byte ones.
    struct Shape {
        int w, h, gap;
    };
    for (const Shape& s : {Shape{16, 6, 0}, Shape{17, 7, 8}, Shape{24, 5, 16}, Shape{9, 12, 24}})
        for (int offset : {0, 4, 8, 12}) {
            Dft2DPlan plan(s.w, s.h, spNoDivByAny);
            const Image src = RandomImage(s.w, s.h, 8 * s.w + s.gap, static_cast<unsigned>(s.w + offset));
            Placed in(src, offset), out(Image(s.w, s.h, 8 * s.w + s.gap), 12 - offset);
            for (bool inverse : {false, true}) {
                ASSERT_EQ((inverse ? spDft2DInverse : spDft2DForward)(in.data(), src.step, out.data(), src.step,
                                                                     plan.spec, nullptr),
                          spStsNoErr);
                const Image dst = out.Back(src);
                EXPECT_TRUE(dst.GapsUntouched()) << s.w << "x" << s.h << " at " << offset;
                EXPECT_LE(RelativeRms(dst.Values(), Oracle2D(src, inverse)), Bound2D(s.w, s.h))
                    << s.w << "x" << s.h << " at " << offset << " inverse " << inverse;
            }
        }
}

TEST(Columns8, CopiesEightColumnsAndNothingElse)
{
    // Every combination of image offset, step, run offset and height; each copy's result is
    // compared element for element, and no byte outside the eight columns or the runs moves.
    for (int offset : {0, 4, 8, 12})
        for (int step : {64, 72, 80, 136})
            for (int runOffset : {0, 8})
                for (int h : {1, 2, 3, 6, 7}) {
                    const Image image = RandomImage(step / 8, h, step, static_cast<unsigned>(step + h));
                    Placed placed(image, offset);
                    std::vector<std::uint8_t> runBytes(8 * 8 * static_cast<size_t>(h) + 32, 0xC3);
                    const auto address = reinterpret_cast<std::uintptr_t>(runBytes.data());
                    auto* base = reinterpret_cast<spComplex*>(runBytes.data() + (16 - address % 16) % 16 + runOffset);
                    const spRuns runs{base, h};
                    const std::string what = "offset " + std::to_string(offset) + " step " + std::to_string(step) +
                                             " runs at " + std::to_string(runOffset) + " height " +
                                             std::to_string(h);

                    // Columns 1 to 8 out, then back after a change, and the whole image moved on by
                    // one column through the fused pass.
                    spDft2DGatherColumns8(placed.data() + 1, step, runs);
                    if (step % 16 == 0 && h % 2 == 0 && offset % 16 == 8 && runOffset == 0) {
                        EXPECT_TRUE(spColumns8Aligned(placed.data() + 1, step, runs)) << what;
                    }
                    for (int k = 0; k < 8; ++k)
                        for (int r = 0; r < h; ++r)
                            ASSERT_TRUE(SameBits({runs.Run(k)[r]}, {image.at(k + 1, r)})) << what;
                    for (int k = 0; k < 8; ++k)
                        for (int r = 0; r < h; ++r)
                            runs.Run(k)[r] = {static_cast<float>(k), static_cast<float>(r)};
                    Image expected = image;
                    for (int k = 0; k < 8; ++k)
                        for (int r = 0; r < h; ++r)
                            expected.at(k + 1, r) = runs.Run(k)[r];
                    spDft2DScatterColumns8(runs, placed.data() + 1, step);
                    EXPECT_EQ(placed.Back(image).bytes, expected.bytes) << what;
                    if (step < 72)
                        continue;
                    spDft2DScatterGatherColumns8(runs, placed.data(), step, 1, 0);
                    EXPECT_EQ(placed.Back(image).bytes, expected.bytes) << "fused, " << what;
                    for (int k = 0; k < 8; ++k)
                        for (int r = 0; r < h; ++r)
                            ASSERT_TRUE(SameBits({runs.Run(k)[r]}, {expected.at(k, r)})) << "fused, " << what;
                    const size_t before = static_cast<size_t>(reinterpret_cast<std::uint8_t*>(base) - runBytes.data());
                    for (size_t i = 0; i < runBytes.size(); ++i)
                        if (i < before || i >= before + 64 * static_cast<size_t>(h)) {
                            ASSERT_EQ(runBytes[i], 0xC3) << what;
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
