#include "sp/core/spColumnCore.h"

#include <cpuid.h>

#include <cstring>
#include <initializer_list>

#include "sp/core/spCpu.h"
#include "sp/core/spMemory.h"

void* spMallocPrefetch(int n)
{
    void* block = spMalloc(n);
    if (block != nullptr)
        _mm_prefetch(static_cast<const char*>(block) + 128, _MM_HINT_T0);
    return block;
}

namespace {

struct CacheDescriptor {
    std::uint8_t descriptor;
    std::uint8_t sizeCode; // (high nibble) << (low nibble + 18) bytes
};
constexpr CacheDescriptor kCacheDescriptors[] = {
    {0x47, 0x15}, {0x49, 0x14}, {0x29, 0x14}, {0x46, 0x14}, {0x25, 0x13}, {0x7D, 0x13},
    {0x85, 0x13}, {0x45, 0x13}, {0x23, 0x12}, {0x87, 0x12}, {0x7C, 0x12}, {0x78, 0x12},
    {0x84, 0x12}, {0x44, 0x12}, {0x22, 0x11}, {0x7B, 0x11}, {0x86, 0x11}, {0x7F, 0x11},
    {0x83, 0x11}, {0x43, 0x11}, {0x7A, 0x10}, {0x82, 0x10}, {0x3C, 0x10}, {0x42, 0x10},
};

bool HoldsDescriptor(const std::uint32_t (&regs)[4], std::uint8_t descriptor)
{
    for (int r = 0; r < 4; ++r) {
        if (regs[r] & 0x80000000u) // no descriptors in this register
            continue;
        // The low byte of EAX is the iteration count, not a descriptor.
        for (int byte = r == 0 ? 1 : 0; byte < 4; ++byte)
            if (((regs[r] >> (8 * byte)) & 0xFF) == descriptor)
                return true;
    }
    return false;
}

// Stores of 8 bytes, or of 16 bytes where the address allows; `stream` picks non-temporal ones.
void Store8(unsigned char* p, bool stream)
{
    if (stream)
        _mm_stream_pi(reinterpret_cast<__m64*>(p), _mm_setzero_si64());
    else
        std::memset(p, 0, 8);
}

// Column 1: 8-byte stores, 64 bytes per step after an unaligned head; the cascade of 32, 16,
// 8 and 4 bytes and single bytes for the rest.
void ZeroMmx(unsigned char* p, std::size_t len, bool stream)
{
    if (len >= 64 && reinterpret_cast<std::uintptr_t>(p) % 8 != 0) {
        std::memset(p, 0, 8);
        const std::size_t skip = 8 - reinterpret_cast<std::uintptr_t>(p) % 8;
        p += skip;
        len -= skip;
    }
    for (; len >= 64; p += 64, len -= 64)
        for (int k = 0; k < 64; k += 8)
            Store8(p + k, stream);
    for (std::size_t block : {32, 16, 8})
        if (len >= block) {
            for (std::size_t k = 0; k < block; k += 8)
                Store8(p + k, stream);
            p += block;
            len -= block;
        }
    std::memset(p, 0, len); // 0 to 7 bytes: a 4-byte store and single bytes
    if (stream)
        _mm_sfence();
    _mm_empty();
}

// Columns 2 to 4: 1 to 15 bytes as two overlapping stores of 8 or 4 bytes, or single bytes.
void ZeroSmall(unsigned char* p, std::size_t len)
{
    if (len >= 8) {
        std::memset(p, 0, 8);
        std::memset(p + len - 8, 0, 8);
    } else if (len >= 4) {
        std::memset(p, 0, 4);
        std::memset(p + len - 4, 0, 4);
    } else {
        std::memset(p, 0, len);
    }
}

void ZeroSse2(unsigned char* p, std::size_t len)
{
    if (len < 16)
        return ZeroSmall(p, len);
    if (const std::size_t mis = reinterpret_cast<std::uintptr_t>(p) % 16; mis != 0) {
        std::memset(p, 0, 16 - mis);
        p += 16 - mis;
        len -= 16 - mis;
    }
    const __m128i zero = _mm_setzero_si128();
    const std::uint32_t cache = len > spZeroLargeFrom ? spCacheSize() : 0;
    if (cache != 0 && len >= cache) {
        for (; len >= 16; p += 16, len -= 16)
            _mm_stream_si128(reinterpret_cast<__m128i*>(p), zero);
        _mm_sfence();
    }
    for (; len >= 64; p += 64, len -= 64)
        for (int k = 0; k < 64; k += 16)
            _mm_store_si128(reinterpret_cast<__m128i*>(p + k), zero);
    for (; len >= 16; p += 16, len -= 16)
        _mm_store_si128(reinterpret_cast<__m128i*>(p), zero);
    ZeroSmall(p, len);
}

template <int Column>
spStatus ZeroColumn(void* dst, int len)
{
    if (dst == nullptr)
        return spStsNullPtrErr;
    if (len < 1)
        return spStsSizeErr;
    spCountZeroFill(Column);
    auto* p = static_cast<unsigned char*>(dst);
    if constexpr (Column == 1)
        ZeroMmx(p, static_cast<std::size_t>(len), len >= spZeroStreamingFrom1);
    else
        ZeroSse2(p, static_cast<std::size_t>(len));
    return spStsNoErr;
}

} // namespace

std::uint32_t spCacheSizeFromLeaf2(bool vendorMatched, const std::uint32_t (&regs)[4])
{
    if (!vendorMatched || (regs[0] & 0xFF) != 1)
        return 0;
    for (const CacheDescriptor& d : kCacheDescriptors)
        if (HoldsDescriptor(regs, d.descriptor))
            return static_cast<std::uint32_t>(d.sizeCode >> 4) << ((d.sizeCode & 0xF) + 18);
    return 0;
}

std::uint32_t spCacheSize()
{
    const spCpuidWords words = spReadCpuidWords();
    if (words.maxLeaf < 2)
        return 0;
    std::uint32_t regs[4];
    __cpuid(2, regs[0], regs[1], regs[2], regs[3]);
    return spCacheSizeFromLeaf2(spIsMatchedVendor(words), regs);
}

const spDispatchRow<spZeroFn> spZeroRow = {spZero, ZeroColumn<1>, ZeroColumn<2>, ZeroColumn<3>,
                                           ZeroColumn<4>};
