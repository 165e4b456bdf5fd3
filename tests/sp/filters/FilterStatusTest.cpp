// Statuses, their precedence, and that a failing call writes nothing and keeps no memory;
// no access outside the planes.
#include <gtest/gtest.h>

#include <cstring>

#include "FilterTestSupport.h"

namespace {

// A call on a 6 x 4 region with a border of 2, steps of the images' own; mask 33 stands for
// the operation's own mask.
struct Args {
    bool nullSrc = false, nullDst = false;
    int width = 6, height = 4;
    int srcStepBytes = 40, dstStepBytes = 24;
    int mask = spMskSize3x3;
};

struct Outcome {
    spStatus status;
    bool destinationUnchanged; // region and margin exactly as before
};

Outcome Call(const FilterOp& op, FilterCall call, const Args& a)
{
    BorderedImage src(6, 4, 2, 10);
    src.Fill([](Index r, Index c) { return static_cast<float>(r * 10 + c); });
    Destination dst(6, 4, 6);
    const std::vector<float> before = dst.plane;
    const spMaskSize mask = a.mask == spMskSize3x3 ? op.mask : static_cast<spMaskSize>(a.mask);
    const spStatus status = call(a.nullSrc ? nullptr : src.Origin(), a.srcStepBytes,
                                 a.nullDst ? nullptr : dst.Origin(), a.dstStepBytes,
                                 spRoiSize{a.width, a.height}, mask);
    return {status, FirstDifference(dst.plane, before) == -1};
}

// Arms the allocation-failure hook for one scope and always disarms it.
struct FailingAllocations {
    explicit FailingAllocations(long allowed) { spDebugFailAllocationsAfter(allowed); }
    ~FailingAllocations() { spDebugFailAllocationsAfter(-1); }
};

TEST(SpFilterStatus, EveryStatusInItsPrecedenceWritesNothing)
{
    // The mask statuses only concern the filters with a mask; the others run.
    const struct {
        const char* what;
        Args args;
        spStatus expected;
    } cases[] = {
        {"null source", {.nullSrc = true}, spStsNullPtrErr},
        {"null destination", {.nullDst = true}, spStsNullPtrErr},
        {"null before a zero width", {.nullDst = true, .width = 0}, spStsNullPtrErr},
        {"null before everything",
         {.nullSrc = true, .height = -1, .srcStepBytes = 0, .mask = 44},
         spStsNullPtrErr},
        {"zero width", {.width = 0}, spStsSizeErr},
        {"negative height", {.height = -3}, spStsSizeErr},
        {"size before step", {.width = 0, .srcStepBytes = 0}, spStsSizeErr},
        {"size before step and mask", {.height = 0, .dstStepBytes = 0, .mask = 44}, spStsSizeErr},
        {"zero source step", {.srcStepBytes = 0}, spStsStepErr},
        {"negative source step", {.srcStepBytes = -40}, spStsStepErr},
        {"negative destination step", {.dstStepBytes = -24}, spStsStepErr},
        {"source step of 3 bytes", {.srcStepBytes = 3}, spStsStepErr},
        {"destination step of 1 byte", {.dstStepBytes = 1}, spStsStepErr},
        {"step before mask", {.dstStepBytes = 2, .mask = 44}, spStsStepErr},
        {"mask 44", {.mask = 44}, spStsMaskSizeErr},
        {"mask 0", {.mask = 0}, spStsMaskSizeErr},
        {"mask 35", {.mask = 35}, spStsMaskSizeErr},
    };
    for (const FilterOp& op : AllFilterOps())
        for (int column : kColumns)
            for (const auto& c : cases) {
                const ColumnScope scope(column);
                const bool runs = c.expected == spStsMaskSizeErr && !op.takesMask;
                const spStatus expected = runs ? spStsNoErr : c.expected;
                const Outcome got = Call(op, op.entry, c.args);
                EXPECT_EQ(got.status, expected) << op.name << " column " << column << ": " << c.what;
                EXPECT_TRUE(runs || got.destinationUnchanged)
                    << op.name << " column " << column << ": " << c.what;
            }
}

TEST(SpFilterStatus, NoMemoryGivesMinus9AfterTheArgumentChecksAndKeepsNothing)
{
    for (const FilterOp& op : AllFilterOps())
        for (int column : kColumns) {
            const ColumnScope scope(column);
            const long live = spDebugLiveBlocks();
            Outcome got{}, refused{};
            const Args bad = op.takesMask ? Args{.mask = 44} : Args{.srcStepBytes = 2};
            {
                FailingAllocations failing(0);
                got = Call(op, op.entry, {});
                refused = Call(op, op.entry, bad);
            }
            const std::string what = op.name + " column " + std::to_string(column);
            EXPECT_EQ(got.status, spStsMemAllocErr) << what;
            EXPECT_TRUE(got.destinationUnchanged) << what;
            EXPECT_EQ(refused.status, op.takesMask ? spStsMaskSizeErr : spStsStepErr) << what;
            EXPECT_EQ(spDebugLiveBlocks(), live) << what;
            // A successful call releases its buffers as well.
            EXPECT_EQ(Call(op, op.entry, {}).status, spStsNoErr) << what;
            EXPECT_EQ(spDebugLiveBlocks(), live) << what;
        }
}

// No filter reads outside the bordered source or writes outside the destination region:
// tight planes flush against an inaccessible page at their start or end fault on a stray
// access.
void RunFlush(const FilterOp& op, Index w, Index h, bool atEnd)
{
    const Index b = op.border, srcStride = w + 2 * b;
    const auto srcCount = static_cast<std::size_t>(srcStride * (h + 2 * b));
    const auto dstCount = static_cast<std::size_t>(w * h);
    const std::size_t srcBytes = srcCount * sizeof(float), dstBytes = dstCount * sizeof(float);
    GuardedPages srcPages(srcBytes), dstPages(dstBytes);
    auto* src = reinterpret_cast<float*>(atEnd ? srcPages.AtEnd(srcBytes) : srcPages.AtStart());
    auto* dst = reinterpret_cast<float*>(atEnd ? dstPages.AtEnd(dstBytes) : dstPages.AtStart());
    std::mt19937 rng(static_cast<unsigned>(w * 131 + h));
    BorderedImage model(w, h, b, srcStride);
    model.Fill([&](Index, Index) { return ModerateValue(rng); });
    std::memcpy(src, model.storage().data(), srcBytes);
    ASSERT_EQ(op.entry(src + b * srcStride + b, static_cast<int>(srcStride * 4), dst,
                       static_cast<int>(w * 4), {static_cast<int>(w), static_cast<int>(h)}, op.mask),
              spStsNoErr);
    if (spDispatchIndex == 0) {
        EXPECT_EQ(FirstDifference({dst, dst + dstCount}, ReferenceOutput(op, model)), -1);
    }
}

TEST(SpFilterGuardPages, NoAccessOutsideTheBorderedSourceOrTheDestination)
{
    for (int column : kColumns)
        for (const FilterOp& op : AllFilterOps())
            for (Index w : {1, 2, 3, 4, 5, 7, 8, 9, 16, 17, 33})
                for (Index h : {1, 2, 3, 6})
                    ForEachLoopKind([&](const char* loops) {
                        const ColumnScope scope(column);
                        for (bool atEnd : {false, true}) {
                            SCOPED_TRACE(op.name + " " + std::to_string(w) + "x" +
                                         std::to_string(h) + " " + loops + " column " +
                                         std::to_string(column) + (atEnd ? " end" : " start"));
                            RunFlush(op, w, h, atEnd);
                        }
                    });
}

} // namespace

// ---- Column 1's access block ----
// Every load and store at the places it serves, 0, 4, 8 and 12 bytes past a 16-byte boundary
// (and off the float grid where a routine serves that), with the vector flush against an
// inaccessible page below and above: each delivers or writes exactly the four floats there
// and touches nothing else. The pickers choose by these places.
#include "sp/filters/spColumn1Access.h"

namespace {

// Sixteen bytes `offset` bytes past a 16-byte boundary in a page of patterned bytes: as near
// the guard below (`atEnd` false) or above as that place allows.
struct Spot {
    GuardedPages pages{64};
    unsigned char* p;
    Spot(int offset, bool atEnd)
        : p(atEnd ? pages.AtEnd(16 + static_cast<std::size_t>((16 - offset) % 16)) : pages.AtStart() + offset)
    {
        unsigned char* start = atEnd ? pages.AtEnd(4096) : pages.AtStart();
        for (int k = 0; k < 4096; ++k)
            start[k] = static_cast<unsigned char>(k * 7 + 1);
    }
    float* floats() { return reinterpret_cast<float*>(p); }
};

std::array<float, 4> Lanes(__m128 v)
{
    std::array<float, 4> out;
    _mm_storeu_ps(out.data(), v);
    return out;
}

std::array<float, 4> At(const unsigned char* p)
{
    std::array<float, 4> out;
    std::memcpy(out.data(), p, 16);
    return out;
}

TEST(SpColumn1Access, LoadsDeliverTheFourFloatsAtTheirPlace)
{
    const struct {
        spColumn1Load* plain;
        spColumn1ScaledLoad* scaled;
        std::vector<int> offsets; // bytes past a 16-byte boundary the routine serves
    } loads[] = {
        {spLoadA16, spLoadScaledA16, {0}},
        {spLoadA4, spLoadScaledA4, {4}},
        {spLoadA8, spLoadScaledA8, {0, 1, 2, 4, 8, 12, 13}},
        {spLoadA4, spLoadScaledA12, {12}},
    };
    for (const auto& l : loads)
        for (int offset : l.offsets)
            for (bool atEnd : {false, true}) {
                Spot s(offset, atEnd);
                const std::array<float, 4> want = At(s.p);
                SCOPED_TRACE(::testing::Message() << offset << (atEnd ? " at the end" : " at the start"));
                if (offset % 8 == 4 || offset % 16 == 0 || l.plain == spLoadA8) {
                    EXPECT_EQ(std::memcmp(Lanes(l.plain(s.floats())).data(), want.data(), 16), 0);
                }
                spColumn1Cursor c;
                c.scale = _mm_set1_ps(2.0f);
                c.scaledRead = s.floats();
                const std::array<float, 4> got = Lanes(l.scaled(c));
                EXPECT_EQ(c.scaledRead, s.floats() + 4);
                for (int k = 0; k < 4; ++k)
                    EXPECT_TRUE(SameFloat(got[static_cast<std::size_t>(k)], want[static_cast<std::size_t>(k)] * 2.0f))
                        << "lane " << k;
            }
}

TEST(SpColumn1Access, PickersChooseByPlace)
{
    alignas(16) static float row[8];
    const auto* base = reinterpret_cast<const unsigned char*>(row);
    for (int offset = 0; offset < 16; ++offset) {
        const void* at = base + offset;
        const bool whole = offset % 4 == 0;
        spColumn1ScaledLoad* const scaled[] = {spLoadScaledA16, spLoadScaledA4, spLoadScaledA8, spLoadScaledA12};
        EXPECT_EQ(spPickScaledLoad(at), whole ? scaled[offset / 4] : spLoadScaledA8) << offset;
        EXPECT_EQ(spPickLoad(at), !whole ? spLoadA8 : offset == 0 ? spLoadA16 : offset % 8 == 4 ? spLoadA4 : spLoadA8)
            << offset;
        spColumn1Store* const streams[] = {spStreamA16, spStreamShift1, spStreamShift2, spStreamShift3};
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(spPickStreamStore(at, k), whole ? streams[std::min(k, 3)] : spStoreUnaligned) << offset << " " << k;
    }
    EXPECT_EQ(spPickStore(0), spStoreA16);
    EXPECT_EQ(spPickStore(1), spStoreA4);
    EXPECT_EQ(spPickStore(2), spStoreA8);
    EXPECT_EQ(spPickStore(3), spStoreA4);
}

TEST(SpColumn1Access, StoresWriteTheSixteenBytesBelowTheWritePosition)
{
    const __m128 carry = _mm_setr_ps(10, 11, 12, 13), result = _mm_setr_ps(20, 21, 22, 23);
    const struct {
        spColumn1Store* store;
        std::array<float, 4> written;
        bool keepsCarry; // the shifted stores take the result as the next carry
        std::vector<int> offsets;
    } stores[] = {
        {spStoreA16, {20, 21, 22, 23}, false, {0}},
        {spStoreA4, {20, 21, 22, 23}, false, {4, 12}},
        {spStoreA8, {20, 21, 22, 23}, false, {8}},
        {spStreamA16, {20, 21, 22, 23}, false, {0}},
        {spStreamShift1, {13, 20, 21, 22}, true, {0}},
        {spStreamShift2, {12, 13, 20, 21}, true, {0}},
        {spStreamShift3, {11, 12, 13, 20}, true, {0}},
        {spStoreUnaligned, {20, 21, 22, 23}, false, {1, 2, 3, 4, 8, 13}},
    };
    for (const auto& s : stores)
        for (int offset : s.offsets)
            for (bool atEnd : {false, true}) {
                Spot spot(offset, atEnd);
                unsigned char* start = atEnd ? spot.pages.AtEnd(4096) : spot.pages.AtStart();
                const std::vector<unsigned char> before(start, start + 4096);
                spColumn1Cursor c;
                c.carry = carry;
                c.result = result;
                c.write = spot.p + 16;
                s.store(c);
                const std::array<float, 4> got = At(spot.p);
                EXPECT_EQ(got, s.written) << offset;
                EXPECT_EQ(Lanes(c.carry), s.keepsCarry ? Lanes(result) : Lanes(carry)) << offset;
                for (int k = 0; k < 4096; ++k)
                    if (start + k < spot.p || start + k >= spot.p + 16) {
                        ASSERT_EQ(start[k], before[static_cast<std::size_t>(k)]) << "byte " << k << ", offset " << offset;
                    }
            }
}

} // namespace
