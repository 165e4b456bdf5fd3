// The workers of columns 1 to 4 on every element type and layout their tables hold (the
// public entries reach one-channel floats only), against each kernel's integer weights:
// integer types exactly (rounded to nearest, ties to even, then saturated), floats within
// 16 x 2^-24 x the sum of |w x|. Widths 1 to 40 with samples at the type's limits half the
// time; source and destination flush against guard pages, on their element grid or off it
// (pointers and steps 1 to 3 bytes past it); the fourth element of layout 4 and everything
// outside the region kept; the caller's rounding mode (toward zero here) is not used for
// integer results and is back afterwards. And the tables: every slot filled, keys outside
// the formulas refused.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

#include "Column234Reference.h"
#include "FilterTestSupport.h"
#include "TablesWrap.h"
#include "sp/core/spCpu.h"
#include "sp/filters/spVariantDrivers.h"

namespace {

// Reads and writes elements of type T as double; samples of floats stay within +-100.
template <class T>
struct Element {
    static constexpr int bytes = sizeof(T);
    static constexpr bool isFloat = std::is_floating_point_v<T>;
    static constexpr double lo = isFloat ? -100.0 : std::numeric_limits<T>::min();
    static constexpr double hi = isFloat ? 100.0 : std::numeric_limits<T>::max();
    static double get(const unsigned char* p)
    {
        T v;
        std::memcpy(&v, p, sizeof v);
        return static_cast<double>(v);
    }
    static void put(unsigned char* p, double v)
    {
        const T t = static_cast<T>(v);
        std::memcpy(p, &t, sizeof t);
    }
};

// The Sobel weights of form 0 are 1-1-1 across the three lines.
IntKernel KernelOf(const FilterOp& op, int form)
{
    IntKernel k = op.kernel;
    if (op.name.starts_with("Sobel") && form == 0)
        for (auto& row : k.w)
            for (int& w : row)
                w = w == 2 ? 1 : w == -2 ? -1 : w;
    return k;
}

struct Case {
    int column;
    std::size_t op;
    spKernelKey key;
    Index width, height;
    // Bytes past the element grid of the first source and destination element and of the
    // steps, 0 to 3: an element of any size may start anywhere.
    int srcShift = 0, srcStepExtra = 0, dstShift = 0, dstStepExtra = 0;
};

template <class In, class Out>
void RunCase(const Case& c, std::mt19937& rng)
{
    const FilterOp& op = AllFilterOps()[c.op];
    const Element<In> in;
    const Element<Out> out;
    const bool isFloat = in.isFloat;
    const Index e = spPixelElements(c.key.layout), b = op.border;
    const Index dstRow = c.width * e * out.bytes;
    const Index srcStep = (c.width + 2 * b) * e * in.bytes + c.srcStepExtra,
                dstStep = dstRow + c.dstStepExtra;
    // The last row of each plane ends at its last element (flush against the guard page).
    const auto srcBytes = static_cast<std::size_t>(c.srcShift + srcStep * (c.height + 2 * b) -
                                                   c.srcStepExtra);
    const auto dstBytes =
        static_cast<std::size_t>(c.dstShift + dstStep * c.height - c.dstStepExtra);
    GuardedPages srcPages(srcBytes), dstPages(dstBytes);
    unsigned char* src = c.width % 2 ? srcPages.AtEnd(srcBytes) : srcPages.AtStart();
    unsigned char* dst = c.width / 2 % 2 ? dstPages.AtEnd(dstBytes) : dstPages.AtStart();
    std::memset(src, 0x7F, srcBytes);
    for (Index row = 0; row < c.height + 2 * b; ++row)
        for (Index k = 0; k < (c.width + 2 * b) * e; ++k) {
            const double v = rng() % 2 ? (rng() % 2 ? in.lo : in.hi)
                                       : std::uniform_real_distribution<double>(in.lo, in.hi)(rng);
            in.put(src + c.srcShift + row * srcStep + k * in.bytes, isFloat ? v : std::round(v));
        }
    std::memset(dst, 0x5A, dstBytes);
    const std::vector<unsigned char> before(dst, dst + dstBytes);

    const unsigned char* origin = src + c.srcShift + b * srcStep + b * e * in.bytes;
    const auto sample = [&](Index y, Index k) { // row y, element k of the region
        return in.get(origin + y * srcStep + k * in.bytes);
    };
    const spVariantFrame frame{origin, srcStep, dst + c.dstShift, dstStep, c.width, c.height};
    const std::uint32_t caller = spSetMxcsrRounding(0x6000);
    const spStatus status = WorkerOf(c.column, c.op)(frame, c.key);
    const std::uint32_t after = spGetMxcsr();
    spLoadMxcsr(caller);
    ASSERT_EQ(status, spStsNoErr);
    ASSERT_EQ(after & spMxcsrRoundingMask, 0x6000u);

    // Nothing before the region, between its rows or after it changes.
    for (Index at = 0; at < static_cast<Index>(dstBytes); ++at) {
        const Index pos = at - c.dstShift;
        if (pos < 0 || pos % dstStep >= dstRow) {
            ASSERT_EQ(dst[at], before[static_cast<std::size_t>(at)]) << "byte " << pos;
        }
    }
    const IntKernel k = KernelOf(op, c.key.form);
    for (Index y = 0; y < c.height; ++y)
        for (Index i = 0; i < c.width * e; ++i) {
            const Index at = c.dstShift + y * dstStep + i * out.bytes;
            const double got = out.get(dst + at);
            if (c.key.layout == 4 && i % 4 == 3) {
                ASSERT_EQ(std::memcmp(dst + at, before.data() + at, out.bytes), 0) << "alpha";
                continue;
            }
            double sum = 0, size = 0;
            for (Index r = -b; r <= b; ++r)
                for (Index q = -b; q <= b; ++q) {
                    const double term = k.w[r + 2][q + 2] * sample(y + r, i + q * e);
                    sum += term;
                    size += std::abs(term) * (r == 0 && q == 0 ? 2 : 1);
                }
            if (isFloat) {
                ASSERT_NEAR(got, sum / k.divisor, 16 * 0x1p-24 * size / k.divisor)
                    << "row " << y << " element " << i;
            } else {
                // Ties occur only for the divisors 8 and 16, where the quotient is exact.
                ASSERT_EQ(got, std::clamp(std::nearbyint(sum / k.divisor), out.lo, out.hi))
                    << "row " << y << " element " << i;
            }
        }
}

void RunCase(const Case& c, std::mt19937& rng)
{
    WithElementsOf(c.key.type, [&]<class In, class Out>(In, Out) { RunCase<In, Out>(c, rng); });
}

TEST(SpVariantWorkers, EveryTypeAndLayoutAgainstTheIntegerKernel)
{
    std::mt19937 rng(99);
    ForEachHeldKey({1, 2, 3, 4}, [&](int column, std::size_t op, const spKernelKey& key) {
        ForEachLoopKind([&](const char* loops) {
            for (Index w = 1; w <= 40; ++w) {
                SCOPED_TRACE(::testing::Message()
                             << AllFilterOps()[op].name << " column " << column << " type "
                             << key.type << " layout " << key.layout << " form " << key.form
                             << " width " << w << " " << loops);
                // Every fourth width on the element grid, the others off it by 1 to 3 bytes
                // here and there.
                const int off = static_cast<int>(w % 4);
                const int at = off ? static_cast<int>(w) : 0;
                RunCase({column, op, key, w, 1 + w % 3, off, at / 4 % 4, at / 2 % 4, at / 3 % 4},
                        rng);
            }
        });
    });
}

// Columns 2 to 4 on floats in every layout their tables hold, bit for bit against their
// orders of addition: widths 1 to 40, so that a row ends at every place of a pass and of a
// pair of pixels; sources and destinations 0 to 12 bytes past 16 and row steps of every
// residue modulo 16 bytes, which pick the loop bodies, and every third width off the float
// grid (pointers and steps 1 to 3 bytes past it); values whose sums round differently in
// every order. Outside the region and in the kept fourth elements nothing changes.
TEST(SpVariantWorkers, FloatsOfColumns2To4FollowTheirOrdersBitForBit)
{
    using Sampler = float (*)(std::mt19937&);
    const Sampler samplers[] = {ModerateValue, WideValue, TieProneValue};
    std::mt19937 rng(5);
    // 16-byte aligned bytes from `offset` on.
    const auto aligned = [](std::vector<unsigned char>& v, Index offset) {
        const auto at = reinterpret_cast<std::uintptr_t>(v.data());
        return v.data() + static_cast<Index>((16 - at % 16) % 16) + offset;
    };
    const auto floatAt = [](const unsigned char* p) {
        float v;
        std::memcpy(&v, p, sizeof v);
        return v;
    };
    for (int column = 2; column <= 4; ++column)
        for (std::size_t op = 0; op < AllFilterOps().size(); ++op) {
            const FilterOp& f = AllFilterOps()[op];
            for (int form : FormsOf(f))
                for (int layout = 1; layout <= 4; ++layout)
                    ForEachLoopKind([&](const char* loops) {
                        for (Index w = 1; w <= 40; ++w) {
                            const Index h = 1 + w % 3, e = spPixelElements(layout), b = f.border;
                            const Index off = w % 3 == 2 ? 1 + w / 3 % 3 : 0, flip = w / 3 % 2;
                            const Index srcStep =
                                ((w + 2 * b) * e + (w / 8 + layout) % 4) * 4 + flip * off;
                            const Index dstRow = w * e * 4, dstStep = dstRow + w % 3 * 4 + off;
                            const Index srcShift = w % 4 * 4 + off,
                                        dstShift = w / 4 % 4 * 4 + (1 - flip) * off;
                            std::vector<unsigned char> srcPlane(
                                static_cast<std::size_t>(srcShift + srcStep * (h + 2 * b) + 32));
                            std::vector<unsigned char> dstPlane(
                                static_cast<std::size_t>(dstShift + dstStep * h + 32), 0x5A);
                            unsigned char* srcBase = aligned(srcPlane, srcShift);
                            for (Index row = 0; row < h + 2 * b; ++row)
                                for (Index k = 0; k < (w + 2 * b) * e; ++k) {
                                    const float v = samplers[static_cast<std::size_t>(w) % 3](rng);
                                    std::memcpy(srcBase + row * srcStep + 4 * k, &v, sizeof v);
                                }
                            const unsigned char* src = srcBase + b * srcStep + 4 * b * e;
                            unsigned char* dst = aligned(dstPlane, dstShift);
                            const std::vector<unsigned char> before = dstPlane;
                            const spVariantFrame frame{src, srcStep, dst, dstStep, w, h};
                            ASSERT_EQ(WorkerOf(column, op)(frame, {spKtF32, layout, form}),
                                      spStsNoErr);
                            const std::vector<float> want =
                                Column234Floats(f.name, {src, srcStep, w, h, layout, form});
                            for (std::size_t k = 0; k < dstPlane.size(); ++k) {
                                const Index at = static_cast<Index>(k) - (dst - dstPlane.data());
                                const Index y = at / dstStep, i = at % dstStep / 4;
                                const bool inside = at >= 0 && y < h && at % dstStep < dstRow &&
                                                    !(layout == 4 && i % 4 == 3);
                                if (!inside) {
                                    ASSERT_EQ(dstPlane[k], before[k])
                                        << f.name << " column " << column << " layout " << layout
                                        << " width " << w << " " << loops << ": byte " << at;
                                    continue;
                                }
                                if (at % dstStep % 4 != 0)
                                    continue;
                                const float got = floatAt(&dstPlane[k]);
                                const float expected =
                                    want[static_cast<std::size_t>(y * w * e + i)];
                                ASSERT_TRUE(SameFloat(got, expected))
                                    << f.name << " column " << column << " layout " << layout
                                    << " form " << form << " width " << w << " " << loops
                                    << ": row " << y << " element " << i << " got " << got
                                    << " want " << expected;
                            }
                        }
                    });
        }
}

TEST(SpVariantTables, EverySlotFilled)
{
    for (int column = 1; column <= 4; ++column) {
        const std::vector<KernelSlot> slots = SlotsOf(RealTablesOf(column));
        for (std::size_t k = 0; k < slots.size(); ++k)
            EXPECT_NE(slots[k], nullptr) << "column " << column << " slot " << k;
    }
}

TEST(SpVariantTables, KeysOutsideTheFormulasAreRefused)
{
    // Types past the table, codes and forms out of range, the 8-bit types with 16-bit
    // results outside the Laplace kernels' layouts. (The sweep above runs every held key.)
    using R = spSlotRule;
    const struct {
        R rule;
        spKernelKey key;
        int lastType;
    } cases[] = {
        {R::ByTypeLayout, {3, 1, 0}, 2}, {R::ByTypeLayout, {0, 0, 0}, 2},
        {R::ByTypeLayout, {0, 5, 0}, 2}, {R::Smooth, {0, 1, 2}, 2},
        {R::ByTypeLayout, {4, 2, 0}, 4}, {R::Vertical, {4, 2, 0}, 4},
        {R::Vertical, {3, 1, 1}, 4},     {R::RowPass5x5, {4, 1, 1}, 4},
        {R::RowPass5x5, {3, 2, 0}, 4},   {R::ByType, {3, 1, 0}, 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(spKernelSlot(c.rule, c.key, c.lastType), -1)
            << static_cast<int>(c.rule) << " " << c.key.type << " " << c.key.layout << " "
            << c.key.form;
    // Every worker refuses such a key as a key, before anything is allocated or written.
    float pixel = 3;
    const spVariantFrame frame{&pixel, 4, &pixel, 4, 1, 1};
    const long live = spDebugLiveBlocks();
    using Worker = spStatus (*)(const spVariantFrame&, const spKernelKey&);
    using W = spVariantWorkers<2>;
    for (Worker worker : {W::Ring5x5, W::Gauss3x3, W::LaplaceHipass3x3, W::Lowpass3x3, W::Lowpass5x5,
                          W::Hipass5x5, W::Sharpen, W::SobelVert, W::SobelHoriz})
        for (spKernelKey key : {spKernelKey{spKtF32, 5, 0}, spKernelKey{7, 1, 0}, spKernelKey{-1, 1, 0}})
            EXPECT_EQ(worker(frame, key), spStsKernelKeyErr) << key.type << " " << key.layout << " " << key.form;
    EXPECT_EQ(spVariantWorkers<1>::SobelHoriz(frame, {spKtU8S16, 1, 1}), spStsKernelKeyErr);
    EXPECT_EQ(spVariantWorkers<4>::Gauss3x3(frame, {spKtF32, 5, 0}), spStsKernelKeyErr);
    EXPECT_EQ(pixel, 3.0f);
    EXPECT_EQ(spDebugLiveBlocks(), live);
}

} // namespace

// ---- Column 1: its float kernels in their own orders, at every alignment ----
// Every float output of every filter and layout equals, bit for bit, the order its part of
// the row adds in (Column1Reference): widths 1 to 40, so that the row ends at every place of
// a vector; destinations 0, 4, 8 and 12 bytes past a 16-byte boundary (the scalar head
// writes 3, 2 or 1 floats) and off the float grid; sources at every phase with steps of
// every phase. Planes lie flush against guard pages; nothing outside the region, and no
// fourth element of a layout-4 pixel, is written.
#include "Column1Reference.h"

namespace {

struct Column1Case {
    std::size_t op;
    int layout, form;
    Index width, height;
    int srcOffset, srcStepExtra, dstOffset, dstStepExtra; // bytes
};

void RunColumn1Case(const Column1Case& c, std::mt19937& rng)
{
    const FilterOp& op = AllFilterOps()[c.op];
    const Index e = spPixelElements(c.layout), b = op.border;
    const Index srcRow = (c.width + 2 * b) * e * 4 + c.srcStepExtra, dstRow = c.width * e * 4;
    const Index dstStep = dstRow + c.dstStepExtra;
    const auto srcBytes = static_cast<std::size_t>(srcRow * (c.height + 2 * b) + c.srcOffset);
    const auto dstBytes = static_cast<std::size_t>(dstStep * c.height + c.dstOffset + 16);
    GuardedPages srcPages(srcBytes), dstPages(dstBytes);
    unsigned char* srcBase = c.width % 2 ? srcPages.AtEnd(srcBytes) : srcPages.AtStart();
    unsigned char* dstBase = c.width / 2 % 2 ? dstPages.AtEnd(dstBytes) : dstPages.AtStart();
    using Sampler = float (*)(std::mt19937&);
    const Sampler samplers[] = {TieProneValue, WideValue, ModerateValue};
    const Sampler sample = samplers[rng() % 3];
    for (std::size_t k = 0; k + 4 <= srcBytes; k += 4) {
        const float v = sample(rng);
        std::memcpy(srcBase + k, &v, 4);
    }
    std::memset(dstBase, 0x5A, dstBytes);
    const std::vector<unsigned char> before(dstBase, dstBase + dstBytes);
    unsigned char* src = srcBase + c.srcOffset + b * srcRow + b * e * 4;
    unsigned char* dst = dstBase + c.dstOffset;

    const spKernelKey key{spKtF32, c.layout, c.form};
    const spVariantFrame frame{src, srcRow, dst, dstStep, c.width, c.height};
    ASSERT_EQ(WorkerOf(1, c.op)(frame, key), spStsNoErr);
    const std::vector<float> want = Column1Floats(
        op.name, {src, srcRow, reinterpret_cast<std::uintptr_t>(dst), dstStep, c.width, c.height,
                  c.layout, c.form});
    for (std::size_t k = 0; k < dstBytes; ++k) {
        const Index pos = static_cast<Index>(k) - c.dstOffset;
        const Index y = pos / dstStep, i = pos % dstStep / 4;
        const bool inside = pos >= 0 && y < c.height && pos % dstStep < dstRow &&
                            !(c.layout == 4 && i % 4 == 3);
        if (!inside) {
            ASSERT_EQ(dstBase[k], before[k]) << "byte " << pos << " written";
        }
    }
    for (Index y = 0; y < c.height; ++y)
        for (Index i = 0; i < c.width * e; ++i) {
            if (c.layout == 4 && i % 4 == 3)
                continue;
            float got;
            std::memcpy(&got, dst + y * dstStep + 4 * i, 4);
            const float w = want[static_cast<std::size_t>(y * c.width * e + i)];
            ASSERT_TRUE(SameFloat(got, w))
                << "row " << y << " element " << i << ": got " << got << ", want " << w;
        }
}

TEST(SpVariantWorkersColumn1, FloatsAddInTheOrdersOfTheirPartsAtEveryAlignment)
{
    std::mt19937 rng(1);
    const int dstOffsets[] = {0, 4, 8, 12, 2};
    for (std::size_t op = 0; op < AllFilterOps().size(); ++op) {
        const FilterOp& f = AllFilterOps()[op];
        for (int s : FormsOf(f))
            for (int layout = 1; layout <= 4; ++layout)
                for (Index w = 1; w <= 40; ++w)
                    for (int d = 0; d < 5; ++d) {
                        const int phase = static_cast<int>(rng() % 4);
                        const Column1Case c{op,
                                            layout,
                                            s,
                                            w,
                                            1 + w % 3,
                                            d == 4 ? 1 + static_cast<int>(rng() % 3) : 4 * phase,
                                            4 * static_cast<int>(rng() % 4),
                                            dstOffsets[d],
                                            d == 4 ? 2 : 4 * static_cast<int>(rng() % 4)};
                        SCOPED_TRACE(::testing::Message()
                                     << f.name << " layout " << layout << " form " << s << " width "
                                     << w << " source +" << c.srcOffset << " step +" << c.srcStepExtra
                                     << " destination +" << c.dstOffset << " step +" << c.dstStepExtra);
                        RunColumn1Case(c, rng);
                        if (HasFatalFailure())
                            return;
                    }
    }
}

} // namespace
