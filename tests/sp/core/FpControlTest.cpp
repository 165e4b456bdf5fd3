#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "sp/sp.h"

namespace {

// Restores the thread's x87 control word, MXCSR and x87 flags whatever a test does.
class SpFpControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_x87 = spGetFpuControlWord();
        m_mxcsr = spGetMxcsr();
    }
    void TearDown() override
    {
        spLoadFpuControlWord(m_x87);
        spLoadMxcsr(m_mxcsr);
        spClearFpuStatus();
    }

private:
    std::uint32_t m_x87 = 0;
    std::uint32_t m_mxcsr = 0;
};

long double X87Third()
{
    volatile long double one = 1.0L, three = 3.0L;
    return one / three;
}

float SseThird()
{
    volatile float one = 1.0f, three = 3.0f;
    return one / three;
}

constexpr std::uint32_t kX87RoundingBits = 0x0C00;
constexpr std::uint32_t kX87Down = 0x0400, kX87Up = 0x0800;
constexpr std::uint32_t kMxcsrDown = 0x2000, kMxcsrUp = 0x4000;

// MXCSR without its sticky exception flags, which every inexact operation may set.
std::uint32_t MxcsrControl(std::uint32_t mxcsr)
{
    return mxcsr & ~0x3Fu;
}

TEST(SpFpAbstractWord, KnownTranslations)
{
    EXPECT_EQ(spAbstractFromX87Control(0x037F), 0x8001Fu); // the start-up word
    EXPECT_EQ(spAbstractFromX87Control(0x0000), 0x20000u); // 24-bit precision, nothing masked
    EXPECT_EQ(spAbstractFromX87Control(0x0001), 0x20010u);
    EXPECT_EQ(spAbstractFromX87Control(0x0002), 0xA0000u);
    EXPECT_EQ(spAbstractFromX87Control(0x0004), 0x20008u);
    EXPECT_EQ(spAbstractFromX87Control(0x0008), 0x20004u);
    EXPECT_EQ(spAbstractFromX87Control(0x0010), 0x20002u);
    EXPECT_EQ(spAbstractFromX87Control(0x0020), 0x20001u);
    EXPECT_EQ(spAbstractFromX87Control(0x0400), 0x20100u);
    EXPECT_EQ(spAbstractFromX87Control(0x0800), 0x20200u);
    EXPECT_EQ(spAbstractFromX87Control(0x0C00), 0x20300u);
    EXPECT_EQ(spAbstractFromX87Control(0x0200), 0x10000u);
    EXPECT_EQ(spAbstractFromX87Control(0x0300), 0x0u);
    EXPECT_EQ(spAbstractFromX87Control(0x1000), 0x60000u);
    EXPECT_EQ(spAbstractFromX87Status(0x3F), 0x8001Fu);
    EXPECT_EQ(spAbstractFromX87Status(0x04), 0x8u);
    EXPECT_EQ(spAbstractFromX87Status(0xFFC0), 0x0u); // stack and busy bits are not flags
}

TEST(SpFpAbstractWord, EveryX87WordSurvivesTheRoundTrip)
{
    for (std::uint32_t x87 = 0; x87 <= 0xFFFF; ++x87) {
        std::uint32_t expected = x87;
        if (((x87 >> 8) & 3) == 1) // the reserved precision value reads as 64 bits
            expected |= 0x0300;
        ASSERT_EQ(spX87ControlFromAbstract(spAbstractFromX87Control(x87), x87), expected)
            << std::hex << x87;
    }
}

TEST_F(SpFpControl, X87SetterMergesUnderTheMaskAndRoundingTakesEffect)
{
    const std::uint32_t start = spGetFpuControlWord();
    const std::uint32_t old = spSetFpuControlWord(kX87Down | 0x3F, kX87RoundingBits);
    EXPECT_EQ(old, start);
    EXPECT_EQ(spGetFpuControlWord(), (start & ~kX87RoundingBits) | kX87Down);
    const long double down = X87Third();
    spSetFpuControlWord(kX87Up, kX87RoundingBits);
    const long double up = X87Third();
    EXPECT_LT(down, up);
    spLoadFpuControlWord(start);
    EXPECT_EQ(spGetFpuControlWord(), start);
}

TEST_F(SpFpControl, X87ConditionalSetterIgnoresBitsOutsideTheMask)
{
    const std::uint32_t start = spGetFpuControlWord();
    // Equal under the mask: nothing is loaded although the value has other bits.
    EXPECT_EQ(spSetFpuControlWordIfChanged(start & ~0x3Fu, kX87RoundingBits), start);
    EXPECT_EQ(spGetFpuControlWord(), start);
    // Different under the mask: only the masked field changes.
    constexpr std::uint32_t kInfinityControl = 0x1000;
    ASSERT_EQ(start & kInfinityControl, 0u);
    EXPECT_EQ(spSetFpuControlWordIfChanged(kX87Up | kInfinityControl, kX87RoundingBits), start);
    EXPECT_EQ(spGetFpuControlWord(), (start & ~kX87RoundingBits) | kX87Up);
    spSetFpuControlWordIfChanged(0xFFFF & ~kX87RoundingBits, kX87RoundingBits);
    EXPECT_EQ(spGetFpuControlWord(), start & ~kX87RoundingBits);
}

TEST_F(SpFpControl, AbstractControlWithMaskZeroChangesNothing)
{
    const std::uint32_t start = spGetFpuControlWord();
    EXPECT_EQ(spControlFp(0xFFFFFFFF, 0), spAbstractFromX87Control(start));
    EXPECT_EQ(spGetFpuControlWord(), start);
}

TEST_F(SpFpControl, AbstractControlLoadsRoundingAndPrecision)
{
    const std::uint32_t start = spGetFpuControlWord();
    const std::uint32_t word = spControlFp(0x300 | 0x10000, 0x300 | 0x30000);
    EXPECT_EQ(word & 0x30300u, 0x10300u);
    EXPECT_EQ(spGetFpuControlWord(), (start & ~0x0F00u) | 0x0E00u);
    EXPECT_EQ(spAbstractFromX87Control(spGetFpuControlWord()), word);
}

TEST_F(SpFpControl, StatusFlagsAreReportedAndCleared)
{
    spClearFp();
    EXPECT_EQ(spStatusFp() & 0x8u, 0u);
    volatile long double one = 1.0L, zero = 0.0L;
    volatile long double inf = one / zero; // masked: sets the zero-divide flag only
    (void)inf;
    EXPECT_NE(spGetFpuStatusWord() & 0x04u, 0u);
    EXPECT_NE(spStatusFp() & 0x8u, 0u);
    EXPECT_NE(spClearFp() & 0x8u, 0u);
    EXPECT_EQ(spStatusFp() & 0x8u, 0u);
    volatile long double r = one / zero;
    (void)r;
    EXPECT_NE(spClearFpuStatus() & 0x04u, 0u);
    EXPECT_EQ(spGetFpuStatusWord() & 0x3Fu, 0u);
}

TEST_F(SpFpControl, MxcsrSetterKeepsOtherBitsAndRestores)
{
    const std::uint32_t start = spSetMxcsr(kMxcsrDown, spMxcsrRoundingMask);
    const float down = SseThird();
    EXPECT_EQ(MxcsrControl(spGetMxcsr()), MxcsrControl(start & ~spMxcsrRoundingMask) | kMxcsrDown);
    const std::uint32_t wasDown = spSetMxcsr(0, spMxcsrRoundingMask); // to nearest
    EXPECT_EQ(wasDown & spMxcsrRoundingMask, kMxcsrDown);
    EXPECT_EQ(MxcsrControl(spGetMxcsr()), MxcsrControl(start & ~spMxcsrRoundingMask));
    spSetMxcsr(kMxcsrUp, spMxcsrRoundingMask);
    EXPECT_LT(down, SseThird());
    spSetMxcsr(start, spMxcsrRoundingMask);
    EXPECT_EQ(MxcsrControl(spGetMxcsr()), MxcsrControl(start));
}

TEST_F(SpFpControl, MxcsrRoundingSetterChangesOnlyTheRoundingField)
{
    const std::uint32_t start = spGetMxcsr();
    constexpr std::uint32_t kFlushToZero = 0x8000;
    EXPECT_EQ(spSetMxcsrRounding(kMxcsrUp | kFlushToZero), start);
    EXPECT_EQ(MxcsrControl(spGetMxcsr()), MxcsrControl(start & ~spMxcsrRoundingMask) | kMxcsrUp);
    EXPECT_EQ(spSetMxcsrRounding(kMxcsrUp) & spMxcsrRoundingMask, kMxcsrUp);
    EXPECT_EQ(MxcsrControl(spMxcsrSetDefault()),
              MxcsrControl(start & ~spMxcsrRoundingMask) | kMxcsrUp);
    EXPECT_EQ(spGetMxcsr(), 0x1F80u);
}

TEST_F(SpFpControl, DenormalsAreZeroWhereTheAnswerSaysSo)
{
    if (!spHasDaz())
        GTEST_SKIP() << "processor without denormals-are-zero";
    constexpr std::uint32_t kDaz = 0x40;
    spSetMxcsr(kDaz, kDaz);
    volatile float tiny = std::numeric_limits<float>::denorm_min();
    volatile float one = 1.0f;
    EXPECT_EQ(tiny * one, 0.0f);
}

TEST(SpFpClassify, NanAndFiniteFollowTheExponentAndFraction)
{
    const double qnan = std::numeric_limits<double>::quiet_NaN();
    const double snan = std::numeric_limits<double>::signaling_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : {qnan, -qnan, snan, -snan}) {
        EXPECT_EQ(spIsNan(v), 1);
        EXPECT_EQ(spIsFinite(v), 0);
    }
    for (double v : {inf, -inf}) {
        EXPECT_EQ(spIsNan(v), 0);
        EXPECT_EQ(spIsFinite(v), 0);
    }
    for (double v : {0.0, -0.0, 1.0, std::numeric_limits<double>::max(),
                     std::numeric_limits<double>::denorm_min()}) {
        EXPECT_EQ(spIsNan(v), 0);
        EXPECT_EQ(spIsFinite(v), 1);
    }
}

} // namespace
