#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "sp/sp.h"

namespace {

constexpr std::uint32_t kMmx = 1u << 23, kSse = 1u << 25, kSse2 = 1u << 26, kHtt = 1u << 28;
constexpr std::uint32_t kSse3 = 1u << 0, kSsse3 = 1u << 9;

// A processor of the given family, with two logical processors, whose feature words carry
// the given bits.
spCpuidWords Words(std::uint32_t family, std::uint32_t edx, std::uint32_t ecx, bool longMode,
                   const char* vendor = "GenuineIntel")
{
    spCpuidWords w;
    w.maxLeaf = 5;
    std::memcpy(&w.vendorEbx, vendor, 4);
    std::memcpy(&w.vendorEdx, vendor + 4, 4);
    std::memcpy(&w.vendorEcx, vendor + 8, 4);
    w.leaf1Eax = family << 8;
    w.leaf1Ebx = 2u << 16;
    w.leaf1Edx = edx;
    w.leaf1Ecx = ecx;
    w.maxExtendedLeaf = 0x80000008u;
    w.ext1Edx = longMode ? 1u << 29 : 0;
    return w;
}

// The sixteen words of the record, in their order.
std::array<std::uint32_t, 16> Decode(const spCpuidWords& w)
{
    spCpuFeatures f;
    std::memset(&f, 0xFF, sizeof f);
    spDecodeCpuFeatures(w, &f);
    std::array<std::uint32_t, 16> words;
    std::memcpy(words.data(), &f, sizeof f);
    return words;
}

int TypeOf(const spCpuidWords& w)
{
    spCpuFeatures f;
    spDecodeCpuFeatures(w, &f);
    return spCpuTypeOf(f, spIsMatchedVendor(w));
}

TEST(SpCpuDecode, FieldsComeFromTheirWordsAndBits)
{
    spCpuidWords w = Words(6, kMmx | kSse | kSse2 | kHtt | 0x10, kSse3 | kSsse3, true);
    w.leaf1Eax = 0x000206A7; // family 6, model 10, stepping 7; extended fields ignored
    w.leaf2Eax = 0x76036301;
    w.leaf2Edx = 0x00FF0000;
    w.leaf4Eax = 0x1C004121; // 7 more cores in bits 26..31
    // family, stepping, model, 0, EDX, leaf 2 EAX and EDX, MMX, 0, SSE, SSE2, HTT, SSE3,
    // 64-bit, SSSE3, cores.
    EXPECT_EQ(Decode(w), (std::array<std::uint32_t, 16>{6, 7, 0xA, 0, w.leaf1Edx, 0x76036301,
                                                         0x00FF0000, 1, 0, 1, 1, 1, 1, 1, 1, 8}));
}

TEST(SpCpuDecode, ConditionalWordsNeedTheirLeavesAndCounts)
{
    spCpuidWords w = Words(15, kHtt, 0, true);
    w.leaf1Ebx = 1u << 16; // one logical processor: the HTT bit alone is not hyper-threading
    w.maxLeaf = 3;         // leaf 4 not offered
    w.leaf4Eax = 0xFC000000u;
    w.maxExtendedLeaf = 0x80000000u; // leaf 0x80000001 not offered
    EXPECT_EQ(Decode(w), (std::array<std::uint32_t, 16>{15, 0, 0, 0, kHtt, 0, 0, 0, 0, 0, 0, 0, 0,
                                                         0, 0, 1}));
}

TEST(SpCpuDecode, VendorTextIsReadInEbxEdxEcxOrder)
{
    spCpuidWords w = Words(6, 0, 0, false, "GenuineIntel");
    EXPECT_TRUE(spIsMatchedVendor(w));
    std::swap(w.vendorEdx, w.vendorEcx); // "GenuntelineI": the leaf-0 register order matters
    EXPECT_FALSE(spIsMatchedVendor(w));
    EXPECT_FALSE(spIsMatchedVendor(Words(6, 0, 0, false, "AuthenticAMD")));
    EXPECT_FALSE(spIsMatchedVendor(spCpuidWords{}));
}

TEST(SpCpuDecode, EveryProcessorCodeOfTheDecisionTable)
{
    const char* other = "AuthenticAMD";
    spCpuidWords oneLogical = Words(15, kSse2 | kHtt, 0, true);
    oneLogical.leaf1Ebx = 1u << 16;
    const struct {
        const char* what;
        spCpuidWords words;
        int code;
    } cases[] = {
        {"family 5", Words(5, 0, 0, false), 1},
        {"family 5 MMX", Words(5, kMmx, 0, false), 2},
        {"family 6", Words(6, 0, 0, false), 3},
        {"family 6 MMX", Words(6, kMmx, 0, false), 4},
        {"family 6 SSE", Words(6, kMmx | kSse, 0, false), 5},
        {"family 6 SSE2", Words(6, kSse | kSse2, 0, false), 9},
        {"family 6 SSE3", Words(6, kSse2, kSse3, false), 10},
        {"family 6 SSSE3", Words(6, kSse2, kSse3 | kSsse3, true), 33},
        {"family 6 SSSE3 without SSE2", Words(6, kSse, kSsse3, true), 5},
        {"family 7", Words(7, kSse | kSse2, kSse3 | kSsse3, true), 16},
        {"family 15 no SSE2", Words(15, kSse, kSse3, true), 17},
        {"family 15 SSE2 HTT", Words(15, kSse2 | kHtt, 0, true), 7},
        {"family 15 SSE2 HTT, one logical processor", oneLogical, 6},
        {"family 15 SSE2", Words(15, kSse2, 0, true), 6},
        {"family 15 SSE3 32-bit", Words(15, kSse2, kSse3, false), 8},
        {"family 15 SSE3 64-bit", Words(15, kSse2, kSse3, true), 32},
        {"family 15 SSSE3", Words(15, kSse2, kSse3 | kSsse3, true), 33},
        {"family 4 falls through", Words(4, kSse | kSse2, 0, false), 65},
        {"other SSSE3", Words(6, 0, kSsse3, true, other), 33},
        {"other SSE3", Words(6, kSse2, kSse3, true, other), 66},
        {"other SSE2", Words(15, kSse | kSse2, 0, true, other), 65},
        {"other SSE", Words(6, kSse, 0, false, other), 64},
        {"other plain", Words(6, kMmx, 0, false, other), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TypeOf(c.words), c.code) << c.what;
}

TEST(SpCpuDecode, RunningProcessorAgreesWithItsDecodedWords)
{
    ASSERT_EQ(spCpuidAvailable(), 1); // every 64-bit processor has CPUID
    const spCpuidWords w = spReadCpuidWords();
    EXPECT_EQ(spGetCpuType(), TypeOf(w));
    EXPECT_EQ(spCpuVendorCheck(), spIsMatchedVendor(w) ? 1 : 0);
    EXPECT_EQ(spCpuidMaxLeaf(), w.maxLeaf);
    // Facts of every 64-bit processor pin down that each flag reads its own bit.
    EXPECT_EQ((std::array{spHasTsc(), spHasMmx(), spHasSse(), spHasSse2(), spHas64BitExt()}),
              (std::array{1, 1, 1, 1, 1}));
    EXPECT_EQ(spHasSse3(), __builtin_cpu_supports("sse3") ? 1 : 0);
    EXPECT_EQ(spHasSsse3(), __builtin_cpu_supports("ssse3") ? 1 : 0);
    EXPECT_GE(spCoresPerPackage(), 1);
    EXPECT_GE(spHasHtt(), 0);
    const std::uint64_t t0 = spReadTsc();
    EXPECT_GE(spReadTsc(), t0);
}

} // namespace
