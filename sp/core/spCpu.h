// Processor identification through CPUID, and the x87 and SSE floating-point control and
// status registers. Nothing here influences a result of the generic filters or transforms;
// the dispatch initialisers use the identification to pick a processor column.
#pragma once

#include <cstdint>

// The processor's own answers, as far as the identification reads them. A leaf the
// processor does not offer reads as zeros.
struct spCpuidWords {
    std::uint32_t maxLeaf = 0;                           // leaf 0 EAX
    std::uint32_t vendorEbx = 0, vendorEdx = 0, vendorEcx = 0; // leaf 0, vendor text in this order
    std::uint32_t leaf1Eax = 0, leaf1Ebx = 0, leaf1Ecx = 0, leaf1Edx = 0;
    std::uint32_t leaf2Eax = 0, leaf2Edx = 0;
    std::uint32_t leaf4Eax = 0;        // asked with ECX = 0
    std::uint32_t maxExtendedLeaf = 0; // leaf 0x80000000 EAX
    std::uint32_t ext1Edx = 0;         // leaf 0x80000001 EDX
};

// The record spGetCpuFeatures fills: sixteen 32-bit words.
struct spCpuFeatures {
    std::uint32_t family;          // leaf 1 EAX bits 8..11
    std::uint32_t stepping;        // leaf 1 EAX bits 0..3
    std::uint32_t model;           // leaf 1 EAX bits 4..7
    std::uint32_t reserved3;       // always 0
    std::uint32_t featureEdx;      // leaf 1 EDX, whole
    std::uint32_t leaf2Eax;
    std::uint32_t leaf2Edx;
    std::uint32_t mmx;             // the flags below are 0 or 1
    std::uint32_t reserved8;       // always 0
    std::uint32_t sse;
    std::uint32_t sse2;
    std::uint32_t htt;             // hyper-threading with more than one logical processor
    std::uint32_t sse3;
    std::uint32_t ext64;           // 64-bit extension
    std::uint32_t ssse3;
    std::uint32_t coresPerPackage;
};
static_assert(sizeof(spCpuFeatures) == 64);

// ---- Pure decoding (tests drive these with synthetic words) ----
void spDecodeCpuFeatures(const spCpuidWords& words, spCpuFeatures* features);
// True when the vendor text is the one whose family numbers the processor codes follow.
bool spIsMatchedVendor(const spCpuidWords& words);
// The processor code of a decoded processor (0 to 66, see spGetCpuType).
int spCpuTypeOf(const spCpuFeatures& features, bool vendorMatched);

// ---- The running processor ----
int spCpuidAvailable();
spCpuidWords spReadCpuidWords(); // zeros when CPUID is missing
void spGetCpuFeatures(spCpuFeatures* features);
int spCpuVendorCheck();
// 0 without CPUID; 1, 2: family 5 without, with MMX; 3, 4, 5: family 6 without SSE2 and
// without MMX, with MMX, with SSE; 9, 10: family 6 with SSE2, without, with SSE3; 6, 7:
// family 15 with SSE2 and no SSE3, without, with hyper-threading; 8: family 15 with SSE3 and
// no 64-bit extension; 32: the same with it but no SSSE3; 17: family 15 without SSE2; 16:
// family 7; 33: SSSE3; 64, 65, 66: any other processor whose best is SSE, SSE2, SSE3.
int spGetCpuType();
std::uint32_t spCpuidMaxLeaf();
int spHasTsc();
int spHasMmx();
int spHasSse();
int spHasSse2();
int spHasHtt();
int spHasSse3();
int spHasSsse3();
int spCoresPerPackage();
int spHas64BitExt();
std::uint64_t spReadTsc();
int spHasDaz();

// ---- x87 control and status ----
std::uint32_t spGetFpuControlWord();
// Loads (value & mask) | (old & ~mask); returns the old control word.
std::uint32_t spSetFpuControlWord(std::uint32_t value, std::uint32_t mask);
// As spSetFpuControlWord, but loads only when the masked bits differ.
std::uint32_t spSetFpuControlWordIfChanged(std::uint32_t value, std::uint32_t mask);
void spLoadFpuControlWord(std::uint32_t word);
std::uint32_t spGetFpuStatusWord();
// Returns the status word, then clears the exception flags.
std::uint32_t spClearFpuStatus();

// The abstract control word: exception masks invalid 0x10, denormal 0x80000, zero divide
// 0x8, overflow 0x4, underflow 0x2, precision 0x1; rounding 0 nearest, 0x100 down, 0x200 up,
// 0x300 toward zero; precision 0x20000 24 bits, 0x10000 53 bits, 0 64 bits; infinity 0x40000.
std::uint32_t spAbstractFromX87Control(std::uint32_t x87);
// The x87 bits of an abstract word; bits the abstract word does not describe come from `base`.
std::uint32_t spX87ControlFromAbstract(std::uint32_t abstract, std::uint32_t base);
std::uint32_t spAbstractFromX87Status(std::uint32_t x87);
// Merges `value` into the abstract control word under `mask`, loads it; returns the new word.
std::uint32_t spControlFp(std::uint32_t value, std::uint32_t mask);
std::uint32_t spStatusFp();
std::uint32_t spClearFp();

// ---- SSE control and status (MXCSR) ----
inline constexpr std::uint32_t spMxcsrRoundingMask = 0x6000;
std::uint32_t spGetMxcsr();
// Loads (value & mask) | (old & ~mask); returns the old MXCSR.
std::uint32_t spSetMxcsr(std::uint32_t value, std::uint32_t mask);
// Sets the rounding bits (within 0x6000) when they differ; returns the old MXCSR.
std::uint32_t spSetMxcsrRounding(std::uint32_t rounding);
void spLoadMxcsr(std::uint32_t word);
// Masks every SSE exception, rounds to nearest, no flush-to-zero or denormals-are-zero.
std::uint32_t spMxcsrSetDefault();

// ---- Classification ----
int spIsNan(double value);
int spIsFinite(double value);
