// The 1-D DFT entries: known answers, scaling, round trips, the conjugation identity,
// in-place and buffer variants bit for bit, and every status in its order.
#include <cmath>

#include "TransformTestSupport.h"

namespace {

using namespace sptest;

class DftKnownAnswers : public ColumnTest {};
SP_COLUMN_SUITE(DftKnownAnswers);
class DftScaling : public ColumnTest {};
SP_COLUMN_SUITE(DftScaling);
class DftIdentities : public ColumnTest {};
SP_COLUMN_SUITE(DftIdentities);
class DftStatus : public ColumnTest {};
SP_COLUMN_SUITE(DftStatus);

// One length of every path and of every FFT work-buffer case.
const int kPathLengths[] = {1, 2, 3, 4, 5, 6, 8, 12, 16, 97, 128, 149, 150,
                            151, 302, 1000, 1024, 2002, 2048, 4099, 8192, 22201};

TEST_P(DftKnownAnswers, LengthThreeAndFour)
{
    // A unit at element 1: forward W^k, inverse its conjugate.
    const float s = 0.8660254f;
    const Signal f3 = {{1, 0}, {-0.5f, -s}, {-0.5f, s}}, f4 = {{1, 0}, {0, -1}, {-1, 0}, {0, 1}};
    for (const Signal& expected : {f3, f4}) {
        const int n = static_cast<int>(expected.size());
        DftPlan plan(n, spNoDivByAny);
        Signal unit(static_cast<size_t>(n), spComplex{0, 0});
        unit[1] = {1, 0};
        EXPECT_EQ(RelativeRms(Transform(plan.spec, unit, false), Scaled(expected)), 0.0) << n;
        EXPECT_EQ(RelativeRms(Transform(plan.spec, unit, true), Scaled(Conjugated(expected))), 0.0) << n;
    }
}

TEST_P(DftScaling, EachFlagScalesItsDirectionAndRoundTrips)
{
    for (int n : kPathLengths)
        ExpectScalingFlags(RandomSignal(n, 3u + static_cast<unsigned>(n)),
                           [n](spScaleFlag flag) { return std::make_unique<DftPlan>(n, flag); },
                           3 * FftBound(std::max(n, 4)) + 4 * kEps, "N " + std::to_string(n));
}

TEST_P(DftIdentities, InverseIsConjugatedForwardOfConjugate)
{
    for (int n : kPathLengths) {
        DftPlan plan(n, spNoDivByAny);
        const Signal x = RandomSignal(n, 21u + static_cast<unsigned>(n));
        const Signal viaForward = Conjugated(Transform(plan.spec, Conjugated(x), false));
        EXPECT_LE(RelativeRms(Transform(plan.spec, x, true), Scaled(viaForward)),
                  2 * FftBound(std::max(n, 4)) + 8 * kEps)
            << n;
    }
}

TEST_P(DftIdentities, InPlaceAndCallerBuffersEqualOwnBufferBitForBit)
{
    for (int n : kPathLengths)
        for (spScaleFlag flag : {spNoDivByAny, spDivBySqrtN}) {
            DftPlan plan(n, flag);
            int bytes = -1;
            ASSERT_EQ(spDftGetBufSize(plan.spec, &bytes), spStsNoErr);
            const Signal x = RandomSignal(n, 31u + static_cast<unsigned>(n));
            // The buffer at offsets 0 and 4 from a 16-byte boundary; the plan's size covers both.
            WorkBuffer work(static_cast<size_t>(bytes), 0xA5);
            for (bool inverse : {false, true}) {
                const Signal reference = Transform(plan.spec, x, inverse);
                Signal data = x;
                EXPECT_EQ((inverse ? spDftInverse : spDftForward)(data.data(), data.data(), plan.spec, nullptr),
                          spStsNoErr);
                EXPECT_TRUE(SameBits(data, reference)) << "in place, N " << n << " inverse " << inverse;
                for (std::uint8_t* buffer : {work.aligned, work.aligned + 4})
                    EXPECT_TRUE(SameBits(Transform(plan.spec, x, inverse, buffer), reference))
                        << "caller buffer, N " << n << " inverse " << inverse;
            }
            // A plan that needs no buffer leaves the caller's alone.
            for (std::uint8_t v : work.storage)
                ASSERT_TRUE(bytes > 0 || v == 0xA5) << n;
        }
}

TEST_P(DftStatus, TransformChecksComeInTheirOrderOnEveryPath)
{
    // Mixed radix, FFT, direct and Bluestein paths, each allocating its own work area (2^18
    // points: the FFT's column passes in every column).
    FftPlan other(3, spNoDivByAny);
    for (int n : {12, 1 << 18, 1000, 97, 151}) {
        DftPlan plan(n, spNoDivByAny);
        ExpectTransformStatuses(spDftForward, spDftInverse, plan.spec, other.spec, n);
    }
}

} // namespace
