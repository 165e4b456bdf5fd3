// The core pieces of the processor columns: each column's zero fill clears exactly its bytes
// at every alignment and length (its small, aligned, streaming and cache-sized paths), the
// cache-size lookup of leaf-2 descriptors, and the alignment of column 3's allocator.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "sp/core/spColumnCore.h"
#include "sp/sp.h"

namespace {

TEST(SpColumnZero, EveryColumnClearsExactlyItsBytes)
{
    constexpr unsigned char kFill = 0xAB;
    const std::vector<int> lengths = [] {
        std::vector<int> v;
        for (int n = 1; n <= 140; ++n)
            v.push_back(n);
        for (int n : {spZeroStreamingFrom1 - 1, spZeroStreamingFrom1, spZeroLargeFrom + 1, 4 << 20})
            v.push_back(n);
        return v;
    }();
    for (int column = 0; column < spDispatchColumns; ++column)
        for (int len : lengths)
            for (int offset = 0; offset < (len > 140 ? 2 : 16); ++offset) {
                std::vector<unsigned char> buf(static_cast<std::size_t>(len + 48), kFill);
                unsigned char* dst = buf.data() + 16 + offset;
                ASSERT_EQ(spZeroRow[column](dst, len), spStsNoErr);
                for (std::size_t k = 0; k < buf.size(); ++k) {
                    const bool inside = buf.data() + k >= dst && buf.data() + k < dst + len;
                    ASSERT_EQ(buf[k], inside ? 0 : kFill)
                        << "column " << column << " length " << len << " offset " << offset
                        << " byte " << k;
                }
            }
    unsigned char byte = 1; // null before length; nothing written
    for (int column = 0; column < spDispatchColumns; ++column)
        EXPECT_EQ(std::make_tuple(spZeroRow[column](nullptr, 0), spZeroRow[column](&byte, 0),
                                  spZeroRow[column](&byte, -3), byte),
                  std::make_tuple(spStsNullPtrErr, spStsSizeErr, spStsSizeErr, 1));
}

TEST(SpColumnZero, CacheSizeFromLeaf2Descriptors)
{
    const struct {
        bool vendor;
        std::uint32_t regs[4];
        std::uint32_t size;
    } cases[] = {
        {true, {0x00000001, 0, 0, 0x00430000}, 512u << 10},   // EDX names 512 KiB
        {true, {0x00470001, 0, 0, 0}, 8u << 20},              // EAX above its count byte
        {true, {0x00000001, 0x42000049, 0, 0}, 4u << 20},     // the table's order decides
        {true, {0x00000001, 0x80000047, 0, 0x7A}, 256u << 10}, // bit 31: no descriptors
        {true, {0x00000002, 0, 0, 0x43}, 0},                  // two rounds are not read
        {false, {0x00000001, 0, 0, 0x43}, 0},                 // another maker's processor
        {true, {0x00000001, 0x01020304, 0, 0}, 0},            // no descriptor of the table
    };
    for (const auto& c : cases)
        EXPECT_EQ(spCacheSizeFromLeaf2(c.vendor, c.regs), c.size) << std::hex << c.regs[1];
}

// Its failures and block count run through the filters' allocation tests (column 3).
TEST(SpColumnMemory, PrefetchingTwinAlignsItsBlocks)
{
    EXPECT_EQ(spMallocPrefetch(0), nullptr);
    void* block = spMallocPrefetch(3);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % spAlignment, 0u);
    spFree(block);
}

} // namespace
