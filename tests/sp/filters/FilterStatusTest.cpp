// Statuses, their precedence, and that a failing call writes nothing and keeps no memory.
#include <gtest/gtest.h>

#include "FilterTestSupport.h"

namespace {

using Index = std::ptrdiff_t;

struct Args {
    bool nullSrc = false, nullDst = false;
    int width = 6, height = 4;
    int srcStepBytes = 40, dstStepBytes = 24; // the images' own steps
    spMaskSize mask = spMskSize3x3;
};

// Calls `call` on a 6 x 4 region with a border of 2; answers the status and whether the
// destination plane (region and margin) is exactly as before.
struct Outcome {
    spStatus status;
    bool destinationUnchanged;
};

Outcome Call(const FilterCall& call, const Args& a)
{
    BorderedImage src(6, 4, 2, 10);
    src.Fill([](Index r, Index c) { return static_cast<float>(r * 10 + c); });
    Destination dst(6, 4, 6);
    const std::vector<float> before = dst.plane;
    const spStatus status = call(a.nullSrc ? nullptr : src.Origin(), a.srcStepBytes,
                                 a.nullDst ? nullptr : dst.Origin(), a.dstStepBytes,
                                 spRoiSize{a.width, a.height}, a.mask);
    return {status, FirstDifference(dst.plane, before) == -1};
}

struct StatusCase {
    const char* what;
    Args args;
    spStatus expected;
    bool maskFiltersOnly;
};

Args With(std::function<void(Args&)> change)
{
    Args a;
    change(a);
    return a;
}

const spMaskSize kBadMask = static_cast<spMaskSize>(44);

std::vector<StatusCase> Cases()
{
    return {
        {"null source", With([](Args& a) { a.nullSrc = true; }), spStsNullPtrErr, false},
        {"null destination", With([](Args& a) { a.nullDst = true; }), spStsNullPtrErr, false},
        {"null before a zero width", With([](Args& a) {
             a.nullDst = true;
             a.width = 0;
         }),
         spStsNullPtrErr, false},
        {"null before everything", With([](Args& a) {
             a.nullSrc = true;
             a.height = -1;
             a.srcStepBytes = 0;
             a.mask = kBadMask;
         }),
         spStsNullPtrErr, false},
        {"zero width", With([](Args& a) { a.width = 0; }), spStsSizeErr, false},
        {"negative height", With([](Args& a) { a.height = -3; }), spStsSizeErr, false},
        {"size before step", With([](Args& a) {
             a.width = 0;
             a.srcStepBytes = 0;
         }),
         spStsSizeErr, false},
        {"size before step and mask", With([](Args& a) {
             a.height = 0;
             a.dstStepBytes = 0;
             a.mask = kBadMask;
         }),
         spStsSizeErr, false},
        {"zero source step", With([](Args& a) { a.srcStepBytes = 0; }), spStsStepErr, false},
        {"negative source step", With([](Args& a) { a.srcStepBytes = -40; }), spStsStepErr,
         false},
        {"negative destination step", With([](Args& a) { a.dstStepBytes = -24; }), spStsStepErr,
         false},
        {"source step of 3 bytes", With([](Args& a) { a.srcStepBytes = 3; }), spStsStepErr, false},
        {"destination step of 1 byte", With([](Args& a) { a.dstStepBytes = 1; }), spStsStepErr,
         false},
        {"step before mask", With([](Args& a) {
             a.dstStepBytes = 2;
             a.mask = kBadMask;
         }),
         spStsStepErr, false},
        {"mask 44", With([](Args& a) { a.mask = kBadMask; }), spStsMaskSizeErr, true},
        {"mask 0", With([](Args& a) { a.mask = static_cast<spMaskSize>(0); }), spStsMaskSizeErr,
         true},
        {"mask 35", With([](Args& a) { a.mask = static_cast<spMaskSize>(35); }), spStsMaskSizeErr,
         true},
    };
}

TEST(SpFilterStatus, EveryStatusInItsPrecedenceWritesNothing)
{
    for (const FilterOp& op : AllFilterOps())
        for (const FilterCall* call : {&op.entry, &op.generic})
            for (const StatusCase& c : Cases()) {
                const spStatus expected =
                    (c.maskFiltersOnly && !op.takesMask) ? spStsNoErr : c.expected;
                Args args = c.args;
                if (args.mask == spMskSize3x3)
                    args.mask = op.mask;
                const Outcome got = Call(*call, args);
                EXPECT_EQ(got.status, expected) << op.name << ": " << c.what;
                if (expected != spStsNoErr) {
                    EXPECT_TRUE(got.destinationUnchanged) << op.name << ": " << c.what;
                }
            }
}

// Arms the allocation-failure hook for one scope and always disarms it.
class FailingAllocations {
public:
    explicit FailingAllocations(long allowed) { spDebugFailAllocationsAfter(allowed); }
    ~FailingAllocations() { spDebugFailAllocationsAfter(-1); }
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;
};

TEST(SpFilterStatus, NoMemoryGivesMinus9AndWritesNothing)
{
    for (const FilterOp& op : AllFilterOps())
        for (const FilterCall* call : {&op.entry, &op.generic}) {
            const long live = spDebugLiveBlocks();
            Args args;
            args.mask = op.mask;
            Outcome got{};
            {
                FailingAllocations failing(0);
                got = Call(*call, args);
            }
            EXPECT_EQ(got.status, spStsMemAllocErr) << op.name;
            EXPECT_TRUE(got.destinationUnchanged) << op.name;
            EXPECT_EQ(spDebugLiveBlocks(), live) << op.name;
        }
}

TEST(SpFilterStatus, ArgumentChecksComeBeforeTheAllocation)
{
    for (const FilterOp& op : AllFilterOps()) {
        FailingAllocations failing(0);
        Args args;
        args.mask = op.takesMask ? kBadMask : op.mask;
        args.srcStepBytes = op.takesMask ? 40 : 2;
        EXPECT_EQ(Call(op.entry, args).status, op.takesMask ? spStsMaskSizeErr : spStsStepErr)
            << op.name;
    }
}

TEST(SpFilterStatus, SuccessfulCallsReleaseTheirBuffers)
{
    const long live = spDebugLiveBlocks();
    for (const FilterOp& op : AllFilterOps()) {
        Args args;
        args.mask = op.mask;
        EXPECT_EQ(Call(op.entry, args).status, spStsNoErr) << op.name;
    }
    EXPECT_EQ(spDebugLiveBlocks(), live);
}

} // namespace
