// Processor identification: reading CPUID, and decoding its words into features and a code.
#include <cpuid.h>
#include <x86intrin.h>

#include <cstring>

#include "sp/core/spCpu.h"

namespace {

std::uint32_t Bit(std::uint32_t word, int bit)
{
    return (word >> bit) & 1u;
}

constexpr std::uint32_t kFlagsId = 1u << 21;
constexpr std::uint32_t kExtendedBase = 0x80000000u;

} // namespace

void spDecodeCpuFeatures(const spCpuidWords& w, spCpuFeatures* f)
{
    // Every word is written, the two reserved ones included: callers may keep the record.
    std::memset(f, 0, sizeof *f);
    f->family = (w.leaf1Eax >> 8) & 0xF;
    f->stepping = w.leaf1Eax & 0xF;
    f->model = (w.leaf1Eax >> 4) & 0xF;
    f->featureEdx = w.leaf1Edx;
    f->leaf2Eax = w.leaf2Eax;
    f->leaf2Edx = w.leaf2Edx;
    f->mmx = Bit(w.leaf1Edx, 23);
    f->sse = Bit(w.leaf1Edx, 25);
    f->sse2 = Bit(w.leaf1Edx, 26);
    const std::uint32_t logical = (w.leaf1Ebx >> 16) & 0xFF;
    f->htt = (Bit(w.leaf1Edx, 28) != 0 && logical > 1) ? 1 : 0;
    f->sse3 = Bit(w.leaf1Ecx, 0);
    f->ext64 = w.maxExtendedLeaf >= kExtendedBase + 1 ? Bit(w.ext1Edx, 29) : 0;
    f->ssse3 = Bit(w.leaf1Ecx, 9);
    f->coresPerPackage = w.maxLeaf >= 4 ? (w.leaf4Eax >> 26) + 1 : 1;
}

bool spIsMatchedVendor(const spCpuidWords& w)
{
    char vendor[12];
    std::memcpy(vendor, &w.vendorEbx, 4);
    std::memcpy(vendor + 4, &w.vendorEdx, 4);
    std::memcpy(vendor + 8, &w.vendorEcx, 4);
    return std::memcmp(vendor, "GenuineIntel", sizeof vendor) == 0;
}

int spCpuTypeOf(const spCpuFeatures& f, bool vendorMatched)
{
    if (vendorMatched) {
        switch (f.family) {
        case 7:
            return 16;
        case 15:
            if (!f.sse2)
                return 17;
            if (!f.sse3)
                return f.htt ? 7 : 6;
            if (!f.ext64)
                return 8;
            return f.ssse3 ? 33 : 32;
        case 5:
            return f.mmx ? 2 : 1;
        case 6:
            if (f.sse2)
                return f.ssse3 ? 33 : (f.sse3 ? 10 : 9);
            return f.sse ? 5 : (f.mmx ? 4 : 3);
        default:
            break;
        }
    }
    if (f.ssse3)
        return 33;
    if (f.sse3)
        return 66;
    if (f.sse2)
        return 65;
    if (f.sse)
        return 64;
    return 0;
}

int spCpuidAvailable()
{
    const unsigned long long before = __readeflags();
    __writeeflags(before ^ kFlagsId);
    const unsigned long long after = __readeflags();
    __writeeflags(before);
    return ((before ^ after) & kFlagsId) != 0 ? 1 : 0;
}

spCpuidWords spReadCpuidWords()
{
    spCpuidWords w;
    if (!spCpuidAvailable())
        return w;
    std::uint32_t a, b, c, d;
    __cpuid(0, w.maxLeaf, w.vendorEbx, w.vendorEcx, w.vendorEdx);
    if (w.maxLeaf >= 1)
        __cpuid(1, w.leaf1Eax, w.leaf1Ebx, w.leaf1Ecx, w.leaf1Edx);
    if (w.maxLeaf >= 2)
        __cpuid(2, w.leaf2Eax, b, c, w.leaf2Edx);
    if (w.maxLeaf >= 4)
        __cpuid_count(4, 0, w.leaf4Eax, b, c, d);
    __cpuid(kExtendedBase, w.maxExtendedLeaf, b, c, d);
    if (w.maxExtendedLeaf >= kExtendedBase + 1)
        __cpuid(kExtendedBase + 1, a, b, c, w.ext1Edx);
    return w;
}

void spGetCpuFeatures(spCpuFeatures* features)
{
    spDecodeCpuFeatures(spReadCpuidWords(), features);
}

int spCpuVendorCheck()
{
    return spIsMatchedVendor(spReadCpuidWords()) ? 1 : 0;
}

int spGetCpuType()
{
    // Without CPUID the words read as zeros: no vendor, no feature, code 0.
    const spCpuidWords words = spReadCpuidWords();
    spCpuFeatures features;
    spDecodeCpuFeatures(words, &features);
    return spCpuTypeOf(features, spIsMatchedVendor(words));
}

std::uint32_t spCpuidMaxLeaf()
{
    return spReadCpuidWords().maxLeaf;
}

namespace {

spCpuFeatures Features()
{
    spCpuFeatures f;
    spGetCpuFeatures(&f);
    return f;
}

} // namespace

int spHasTsc() { return static_cast<int>(Bit(Features().featureEdx, 4)); }
int spHasMmx() { return static_cast<int>(Features().mmx); }
int spHasSse() { return static_cast<int>(Features().sse); }
int spHasSse2() { return static_cast<int>(Features().sse2); }
int spHasHtt() { return static_cast<int>(Features().htt); }
int spHasSse3() { return static_cast<int>(Features().sse3); }
int spHasSsse3() { return static_cast<int>(Features().ssse3); }
int spCoresPerPackage() { return static_cast<int>(Features().coresPerPackage); }
int spHas64BitExt() { return static_cast<int>(Features().ext64); }

std::uint64_t spReadTsc()
{
    return __rdtsc();
}
