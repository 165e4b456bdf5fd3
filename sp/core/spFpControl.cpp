// The x87 and SSE floating-point control and status registers of the calling thread.
#include <fpu_control.h>
#include <xmmintrin.h>

#include <cstring>

#include "sp/core/spCpu.h"

namespace {

// x87 bit -> abstract bit, for the exception masks (control word) and flags (status word).
struct BitPair {
    std::uint32_t x87;
    std::uint32_t abstract;
};
constexpr BitPair kExceptionBits[] = {
    {0x01, 0x10},    // invalid operation
    {0x02, 0x80000}, // denormal operand
    {0x04, 0x8},     // zero divide
    {0x08, 0x4},     // overflow
    {0x10, 0x2},     // underflow
    {0x20, 0x1},     // precision
};
constexpr std::uint32_t kX87Rounding = 0x0C00;
constexpr std::uint32_t kX87Precision = 0x0300;
constexpr std::uint32_t kX87Infinity = 0x1000;
constexpr std::uint32_t kX87Described = 0x3F | kX87Rounding | kX87Precision | kX87Infinity;

constexpr std::uint32_t kAbsRounding = 0x300;
constexpr std::uint32_t kAbsPrecision = 0x30000;
constexpr std::uint32_t kAbsPrecision24 = 0x20000;
constexpr std::uint32_t kAbsPrecision53 = 0x10000;
constexpr std::uint32_t kAbsInfinity = 0x40000;

constexpr std::uint32_t kX87PrecisionField24 = 0;
constexpr std::uint32_t kX87PrecisionField53 = 2;
constexpr std::uint32_t kX87PrecisionField64 = 3;

// Moves each exception bit of `word` from its place on one side of the table to the other.
std::uint32_t MapExceptionBits(std::uint32_t word, std::uint32_t BitPair::*from,
                               std::uint32_t BitPair::*to)
{
    std::uint32_t out = 0;
    for (const BitPair& p : kExceptionBits)
        if (word & p.*from)
            out |= p.*to;
    return out;
}

} // namespace

std::uint32_t spAbstractFromX87Control(std::uint32_t x87)
{
    std::uint32_t out = MapExceptionBits(x87, &BitPair::x87, &BitPair::abstract);
    out |= ((x87 & kX87Rounding) >> 10) << 8;
    switch ((x87 & kX87Precision) >> 8) {
    case kX87PrecisionField24:
        out |= kAbsPrecision24;
        break;
    case kX87PrecisionField53:
        out |= kAbsPrecision53;
        break;
    default: // 64 bits, and the reserved field value 1, which the processor treats as 64
        break;
    }
    if (x87 & kX87Infinity)
        out |= kAbsInfinity;
    return out;
}

std::uint32_t spX87ControlFromAbstract(std::uint32_t abstract, std::uint32_t base)
{
    std::uint32_t out = base & ~kX87Described & 0xFFFF;
    out |= MapExceptionBits(abstract, &BitPair::abstract, &BitPair::x87);
    out |= ((abstract & kAbsRounding) >> 8) << 10;
    std::uint32_t precision = kX87PrecisionField64;
    if ((abstract & kAbsPrecision) == kAbsPrecision24)
        precision = kX87PrecisionField24;
    else if ((abstract & kAbsPrecision) == kAbsPrecision53)
        precision = kX87PrecisionField53;
    out |= precision << 8;
    if (abstract & kAbsInfinity)
        out |= kX87Infinity;
    return out;
}

std::uint32_t spAbstractFromX87Status(std::uint32_t x87)
{
    return MapExceptionBits(x87, &BitPair::x87, &BitPair::abstract);
}

std::uint32_t spGetFpuControlWord()
{
    fpu_control_t cw;
    _FPU_GETCW(cw);
    return cw;
}

void spLoadFpuControlWord(std::uint32_t word)
{
    fpu_control_t cw = static_cast<fpu_control_t>(word);
    _FPU_SETCW(cw);
}

std::uint32_t spSetFpuControlWord(std::uint32_t value, std::uint32_t mask)
{
    const std::uint32_t old = spGetFpuControlWord();
    spLoadFpuControlWord((value & mask) | (old & ~mask));
    return old;
}

std::uint32_t spSetFpuControlWordIfChanged(std::uint32_t value, std::uint32_t mask)
{
    const std::uint32_t old = spGetFpuControlWord();
    // Bits of `value` outside the mask are ignored, as spSetFpuControlWord does.
    if ((old & mask) != (value & mask))
        spLoadFpuControlWord((value & mask) | (old & ~mask));
    return old;
}

std::uint32_t spGetFpuStatusWord()
{
    unsigned short sw;
    asm volatile("fnstsw %0" : "=am"(sw));
    return sw;
}

std::uint32_t spClearFpuStatus()
{
    const std::uint32_t sw = spGetFpuStatusWord();
    asm volatile("fnclex" ::: "memory");
    return sw;
}

std::uint32_t spControlFp(std::uint32_t value, std::uint32_t mask)
{
    const std::uint32_t x87 = spGetFpuControlWord();
    const std::uint32_t abstract = (value & mask) | (spAbstractFromX87Control(x87) & ~mask);
    spLoadFpuControlWord(spX87ControlFromAbstract(abstract, x87));
    return abstract;
}

std::uint32_t spStatusFp()
{
    return spAbstractFromX87Status(spGetFpuStatusWord());
}

std::uint32_t spClearFp()
{
    return spAbstractFromX87Status(spClearFpuStatus());
}

std::uint32_t spGetMxcsr()
{
    return _mm_getcsr();
}

void spLoadMxcsr(std::uint32_t word)
{
    _mm_setcsr(word);
}

std::uint32_t spSetMxcsr(std::uint32_t value, std::uint32_t mask)
{
    const std::uint32_t old = spGetMxcsr();
    spLoadMxcsr((value & mask) | (old & ~mask));
    return old;
}

std::uint32_t spSetMxcsrRounding(std::uint32_t rounding)
{
    const std::uint32_t old = spGetMxcsr();
    // Only the rounding field may change, whatever else the argument holds.
    rounding &= spMxcsrRoundingMask;
    if ((old & spMxcsrRoundingMask) != rounding)
        spLoadMxcsr((old & ~spMxcsrRoundingMask) | rounding);
    return old;
}

std::uint32_t spMxcsrSetDefault()
{
    const std::uint32_t old = spGetMxcsr();
    spLoadMxcsr(0x1F80);
    return old;
}

int spHasDaz()
{
    struct alignas(16) FxsaveArea {
        unsigned char bytes[512];
    } area{};
    asm volatile("fxsave %0" : "+m"(area));
    constexpr std::size_t kMxcsrMaskOffset = 28;
    std::uint32_t mxcsrMask;
    std::memcpy(&mxcsrMask, area.bytes + kMxcsrMaskOffset, sizeof mxcsrMask);
    return (mxcsrMask != 0 && (mxcsrMask & 0x40) != 0) ? 1 : 0;
}

int spIsNan(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const std::uint64_t exponent = (bits >> 52) & 0x7FF;
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    return (exponent == 0x7FF && fraction != 0) ? 1 : 0;
}

int spIsFinite(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return ((bits >> 52) & 0x7FF) == 0x7FF ? 0 : 1;
}
