// The x87 and SSE control and status words: the abstract word's translation, the setters'
// masks, and rounding modes that really take effect.
#include <gtest/gtest.h>

#include <limits>
#include <utility>

#include "sp/sp.h"

namespace {

// Restores the thread's x87 control word, MXCSR and x87 flags whatever a test does.
class SpFpControl : public testing::Test {
protected:
    void TearDown() override
    {
        spLoadFpuControlWord(m_x87);
        spLoadMxcsr(m_mxcsr);
        spClearFpuStatus();
    }
    const std::uint32_t m_x87 = spGetFpuControlWord(), m_mxcsr = spGetMxcsr();
};

// 1/3 in long double (x87) or float (SSE), rounded as the control word says.
template <class T>
T Third()
{
    volatile T one = 1, three = 3;
    return one / three;
}

constexpr std::uint32_t kX87RoundingBits = 0x0C00, kX87Down = 0x0400, kX87Up = 0x0800;
constexpr std::uint32_t kMxcsrDown = 0x2000, kMxcsrUp = 0x4000;

// MXCSR without its sticky exception flags, which every inexact operation may set.
std::uint32_t MxcsrControl(std::uint32_t mxcsr)
{
    return mxcsr & ~0x3Fu;
}

}  // namespace

TEST(SpFpAbstractWord, KnownTranslationsAndEveryX87WordsRoundTrip)
{
    // The start-up word, 24-bit precision with nothing masked, each mask bit, each rounding,
    // 53 and 64 bits, infinity control.
    const std::pair<std::uint32_t, std::uint32_t> control[] = {
        {0x037F, 0x8001F}, {0x0000, 0x20000}, {0x0001, 0x20010}, {0x0002, 0xA0000}, {0x0004, 0x20008},
        {0x0008, 0x20004}, {0x0010, 0x20002}, {0x0020, 0x20001}, {0x0400, 0x20100}, {0x0800, 0x20200},
        {0x0C00, 0x20300}, {0x0200, 0x10000}, {0x0300, 0x00000}, {0x1000, 0x60000},
    };
    for (const auto& [x87, abstract] : control)
        EXPECT_EQ(spAbstractFromX87Control(x87), abstract) << std::hex << x87;
    EXPECT_EQ(spAbstractFromX87Status(0x3F), 0x8001Fu);
    EXPECT_EQ(spAbstractFromX87Status(0xFFC0), 0x0u);  // stack and busy bits are not flags
    for (std::uint32_t x87 = 0; x87 <= 0xFFFF; ++x87) {
        // The reserved precision value 1 reads as 64 bits.
        const std::uint32_t expected = ((x87 >> 8) & 3) == 1 ? x87 | 0x0300 : x87;
        ASSERT_EQ(spX87ControlFromAbstract(spAbstractFromX87Control(x87), x87), expected) << std::hex << x87;
    }
}

TEST_F(SpFpControl, X87SettersMergeUnderTheMaskAndRoundingTakesEffect)
{
    const std::uint32_t start = spGetFpuControlWord();
    EXPECT_EQ(spSetFpuControlWord(kX87Down | 0x3F, kX87RoundingBits), start);
    EXPECT_EQ(spGetFpuControlWord(), (start & ~kX87RoundingBits) | kX87Down);
    const long double down = Third<long double>();
    spSetFpuControlWord(kX87Up, kX87RoundingBits);
    EXPECT_LT(down, Third<long double>());
    spLoadFpuControlWord(start);
    // The conditional setter: equal under the mask loads nothing, else only the field changes.
    constexpr std::uint32_t kInfinityControl = 0x1000;
    ASSERT_EQ(start & kInfinityControl, 0u);
    EXPECT_EQ(spSetFpuControlWordIfChanged(start & ~0x3Fu, kX87RoundingBits), start);
    EXPECT_EQ(spGetFpuControlWord(), start);
    EXPECT_EQ(spSetFpuControlWordIfChanged(kX87Up | kInfinityControl, kX87RoundingBits), start);
    EXPECT_EQ(spGetFpuControlWord(), (start & ~kX87RoundingBits) | kX87Up);
    // Through the abstract word: toward zero, 53 bits.
    spLoadFpuControlWord(start);
    EXPECT_EQ(spControlFp(0xFFFFFFFF, 0), spAbstractFromX87Control(start));
    const std::uint32_t word = spControlFp(0x300 | 0x10000, 0x300 | 0x30000);
    EXPECT_EQ(word & 0x30300u, 0x10300u);
    EXPECT_EQ(spGetFpuControlWord(), (start & ~0x0F00u) | 0x0E00u);
    spControlFp(0x20000, 0x30000);  // 24 bits
    EXPECT_EQ(spGetFpuControlWord() & 0x0300u, 0u);
}

TEST_F(SpFpControl, StatusFlagsAreReportedAndCleared)
{
    spClearFp();
    EXPECT_EQ(spStatusFp() & 0x8u, 0u);
    volatile long double one = 1.0L, zero = 0.0L;
    volatile long double inf = one / zero;  // masked: sets the zero-divide flag only
    (void)inf;
    EXPECT_NE(spGetFpuStatusWord() & 0x04u, 0u);
    EXPECT_EQ(spStatusFp() & 0x800FFu, 0x8u);
    EXPECT_NE(spClearFp() & 0x8u, 0u);
    EXPECT_EQ(spGetFpuStatusWord() & 0x3Fu, 0u);
}

TEST_F(SpFpControl, MxcsrSettersChangeOnlyTheirBits)
{
    const std::uint32_t start = spSetMxcsr(kMxcsrDown, spMxcsrRoundingMask);
    const float down = Third<float>();
    EXPECT_EQ(MxcsrControl(spGetMxcsr()), MxcsrControl(start & ~spMxcsrRoundingMask) | kMxcsrDown);
    EXPECT_EQ(spSetMxcsr(kMxcsrUp, spMxcsrRoundingMask) & spMxcsrRoundingMask, kMxcsrDown);
    EXPECT_LT(down, Third<float>());
    spSetMxcsr(start, spMxcsrRoundingMask);
    constexpr std::uint32_t kFlushToZero = 0x8000;
    EXPECT_EQ(MxcsrControl(spSetMxcsrRounding(kMxcsrUp | kFlushToZero)), MxcsrControl(start));
    EXPECT_EQ(MxcsrControl(spGetMxcsr()), MxcsrControl(start & ~spMxcsrRoundingMask) | kMxcsrUp);
    EXPECT_EQ(MxcsrControl(spMxcsrSetDefault()), MxcsrControl(start & ~spMxcsrRoundingMask) | kMxcsrUp);
    EXPECT_EQ(spGetMxcsr(), 0x1F80u);
    if (spHasDaz()) {
        constexpr std::uint32_t kDaz = 0x40;
        spSetMxcsr(kDaz, kDaz);
        volatile float tiny = std::numeric_limits<float>::denorm_min(), one = 1.0f;
        EXPECT_EQ(tiny * one, 0.0f);
    }
}

TEST(SpFpClassify, NanAndFiniteFollowTheExponentAndFraction)
{
    using Limits = std::numeric_limits<double>;
    const double qnan = Limits::quiet_NaN(), snan = Limits::signaling_NaN(), inf = Limits::infinity();
    // value, NaN, finite
    const std::tuple<double, int, int> cases[] = {
        {qnan, 1, 0}, {-qnan, 1, 0}, {snan, 1, 0}, {-snan, 1, 0}, {inf, 0, 0}, {-inf, 0, 0},
        {0.0, 0, 1},  {-0.0, 0, 1},  {1.0, 0, 1},  {Limits::max(), 0, 1}, {Limits::denorm_min(), 0, 1},
    };
    for (const auto& [value, nan, finite] : cases) {
        EXPECT_EQ(spIsNan(value), nan) << value;
        EXPECT_EQ(spIsFinite(value), finite) << value;
    }
}
