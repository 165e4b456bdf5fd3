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
