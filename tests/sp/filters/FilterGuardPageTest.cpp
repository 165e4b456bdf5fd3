// No filter reads outside the bordered source or writes outside the destination region:
// the planes are placed flush against inaccessible pages, so a stray access faults.
#include <gtest/gtest.h>

#include <cstring>

#include "FilterTestSupport.h"

namespace {

// Filters a w x h region whose tight bordered source and tight destination are each put
// flush against a guard page at the start or at the end.
void RunFlush(const FilterOp& op, Index w, Index h, bool srcAtEnd, bool dstAtEnd)
{
    const Index b = op.border, srcStride = w + 2 * b;
    // The bordered source ends at its last border pixel; the destination at its last pixel.
    const std::size_t srcCount = static_cast<std::size_t>(srcStride * (h + 2 * b));
    const std::size_t dstCount = static_cast<std::size_t>(w * h);
    const std::size_t srcBytes = srcCount * sizeof(float), dstBytes = dstCount * sizeof(float);
    GuardedPages srcPages(srcBytes), dstPages(dstBytes);
    auto* srcPlane =
        reinterpret_cast<float*>(srcAtEnd ? srcPages.AtEnd(srcBytes) : srcPages.AtStart());
    auto* dstPlane =
        reinterpret_cast<float*>(dstAtEnd ? dstPages.AtEnd(dstBytes) : dstPages.AtStart());

    std::mt19937 rng(static_cast<unsigned>(w * 131 + h));
    BorderedImage model(w, h, b, srcStride);
    model.Fill([&](Index, Index) { return ModerateValue(rng); });
    std::memcpy(srcPlane, model.storage().data(), srcCount * sizeof(float));

    const float* origin = srcPlane + b * srcStride + b;
    const spStatus status = op.entry(origin, static_cast<int>(srcStride * 4), dstPlane,
                                     static_cast<int>(w * 4),
                                     {static_cast<int>(w), static_cast<int>(h)}, op.mask);
    ASSERT_EQ(status, spStsNoErr);
    const std::vector<float> got(dstPlane, dstPlane + dstCount);
    if (spDispatchIndex == 0) {
        EXPECT_EQ(FirstDifference(got, ReferenceOutput(op, model)), -1) << op.name;
    }
}

TEST(SpFilterGuardPages, NoAccessOutsideTheBorderedSourceOrTheDestination)
{
    for (int column : kColumns)
        for (const FilterOp& op : AllFilterOps())
            for (Index w : {1, 2, 3, 4, 5, 7, 8, 9, 16, 17, 33})
                for (Index h : {1, 2, 3, 6})
                    for (bool srcAtEnd : {false, true})
                        for (bool dstAtEnd : {false, true})
                            ForEachLoopKind([&](const char* loops) {
                                const ColumnScope scope(column);
                                SCOPED_TRACE(op.name + " " + std::to_string(w) + "x" +
                                             std::to_string(h) + " " + loops + " column " +
                                             std::to_string(column));
                                RunFlush(op, w, h, srcAtEnd, dstAtEnd);
                            });
}

} // namespace
