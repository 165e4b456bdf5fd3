#include <cstddef>
#include <cstring>

#include "sp/transforms/spColBlock.h"
#include "sp/transforms/spColFft.h"
#include "sp/transforms/spColFftWide.h"
#include "sp/transforms/spSimd.h"

namespace {

bool spWide = (__builtin_cpu_init(), __builtin_cpu_supports("avx2") != 0);

// Two complex values from two places, each moved as one 8-byte unit straight into a vector
// register (building the vector in memory would stall on the store forwarding).
inline spV4 spLoadTwo(const spComplex* a, const spComplex* b)
{
    double da, db;
    std::memcpy(&da, a, 8);
    std::memcpy(&db, b, 8);
    return reinterpret_cast<spV4>(spV2d{da, db});
}

// The radix-16 first pass on one group of 16 positions; v[l] holds, in lane q, the value at
// position 4q + l. Pass 1 joins positions 4q .. 4q+3; pass 2 joins j, j+4, j+8, j+12 with the
// twiddles of the table's first record, except that the squares W8^j come from the
// vector constant 0.70710683 (one unit in the last place above the table's value).
#define SP_INLINE inline __attribute__((always_inline))

template <bool Inverse>
SP_INLINE void spFirstPassGroup(spBlk* v, const float* record, float* out, spOutputMode mode)
{
    alignas(16) static constexpr float w8[8] = {1.0f, 0.70710683f, 0.0f, -0.70710683f,
                                                0.0f, -0.70710683f, -1.0f, -0.70710683f};
    spBfly4<Inverse>(v[0], v[1], v[2], v[3]);
    spTranspose4(v[0].re, v[1].re, v[2].re, v[3].re);
    spTranspose4(v[0].im, v[1].im, v[2].im, v[3].im);
    v[1] = spMulW<Inverse>(v[1], spLoadBlk(w8));
    v[2] = spMulW<Inverse>(v[2], spLoadBlk(record));
    v[3] = spMulW<Inverse>(v[3], spLoadBlk(record + 16));
    spBfly4<Inverse>(v[0], v[1], v[2], v[3]);
    for (int k = 0; k < 4; ++k)
        spStoreBlk(out + 8 * k, v[k], mode);
}

// First pass over bit-reversed interleaved values in place, piece by piece.
struct spLinearFirstPass {
    static constexpr bool local = true;
    float* data;

    template <bool Inverse>
    SP_INLINE void Run(std::ptrdiff_t group, const float* record, float* out, spOutputMode mode) const
    {
        const float* in = data + 32 * group;
        spBlk v[4];
        for (int q = 0; q < 4; ++q)
            v[q] = spDeinterleave(spLoad4(in + 8 * q), spLoad4(in + 8 * q + 4));
        spTranspose4(v[0].re, v[1].re, v[2].re, v[3].re);
        spTranspose4(v[0].im, v[1].im, v[2].im, v[3].im);
        spFirstPassGroup<Inverse>(v, record, out, mode);
    }

    template <bool Inverse>
    void RunWide(std::ptrdiff_t g0, std::ptrdiff_t g1, const float* record, float* out) const
    {
        spFirstPassLinearWide<Inverse>(data, g0, g1, record, out);
    }
};

// First pass reading the natural-order source through the bit reversal: position
// 16 g + 4 q + l holds source value rev(g) + (4 rev2(l) + rev2(q)) N/16.
struct spFusedFirstPass {
    const spComplex* src;
    const std::int32_t* index;
    std::ptrdiff_t sixteenth;

    template <bool Inverse>
    SP_INLINE void Run(std::ptrdiff_t group, const float* record, float* out, spOutputMode mode) const
    {
        const spComplex* base = src + index[group];
        const std::ptrdiff_t s = sixteenth;
        spBlk v[4];
        constexpr int rows[4] = {0, 8, 4, 12};
        for (int l = 0; l < 4; ++l) {
            const spComplex* p = base + rows[l] * s;
            v[l] = spDeinterleave(spLoadTwo(p, p + 2 * s), spLoadTwo(p + s, p + 3 * s));
        }
        spFirstPassGroup<Inverse>(v, record, out, mode);
    }

    // Every group, in 256-bit vectors two at a time where the processor has them.
    template <bool Inverse>
    void RunAll(std::ptrdiff_t groups, const float* record, float* out) const
    {
        if (spWide) {
            spFirstPassFusedWide<Inverse>(src, index, sixteenth, groups, record, out);
            return;
        }
        for (std::ptrdiff_t g = 0; g < groups; ++g)
            Run<Inverse>(g, record, out + 32 * g, spOutputMode::blocked);
    }
};

// The first pass has run over the whole transform before the pieces.
struct spFirstPassDone {
    static constexpr bool local = false;
};

// Radix-4 pass of sub-length s over n points: reads `x`, writes `y` (the same positions).
template <bool Inverse, spOutputMode mode>
void spRadix4Pass(const float* x, float* y, std::ptrdiff_t n, std::ptrdiff_t s, const float* table)
{
    const float* records = table + 2 * s - 8;
    for (std::ptrdiff_t j = 0; j < s; j += 4) {
        // Loaded once: the stores below could alias the table as far as the compiler knows.
        const spBlk w1 = spLoadBlk(records + 6 * j), w2 = spLoadBlk(records + 6 * j + 8);
        const spBlk w3 = spLoadBlk(records + 6 * j + 16);
        for (std::ptrdiff_t g = 2 * j; g < 2 * n; g += 8 * s) {
            spBlk a = spLoadBlk(x + g);
            spBlk b = spMulW<Inverse>(spLoadBlk(x + g + 2 * s), w2);
            spBlk c = spMulW<Inverse>(spLoadBlk(x + g + 4 * s), w1);
            spBlk d = spMulW<Inverse>(spLoadBlk(x + g + 6 * s), w3);
            spBfly4<Inverse>(a, b, c, d);
            spStoreBlk(y + g, a, mode);
            spStoreBlk(y + g + 2 * s, b, mode);
            spStoreBlk(y + g + 4 * s, c, mode);
            spStoreBlk(y + g + 6 * s, d, mode);
        }
    }
}

// The closing radix-2 pass of an odd order: halves of n/2 points.
template <bool Inverse, spOutputMode mode>
void spRadix2Pass(const float* x, float* y, std::ptrdiff_t n, const float* table)
{
    const float* w = table + n - 8;
    for (std::ptrdiff_t g = 0; g < n; g += 8, w += 8) {
        const spBlk a = spLoadBlk(x + g);
        const spBlk b = spMulW<Inverse>(spLoadBlk(x + g + n), spLoadBlk(w));
        spStoreBlk(y + g, a + b, mode);
        spStoreBlk(y + g + n, a - b, mode);
    }
}

// The passes with the output mode fixed at compile time, in 256-bit vectors where the
// processor has them.
template <bool Inverse>
void spRadix4PassTo(const float* x, float* y, std::ptrdiff_t n, std::ptrdiff_t s, const float* table,
                    spOutputMode mode)
{
    constexpr auto blocked = spOutputMode::blocked, interleaved = spOutputMode::interleaved;
    if (spWide)
        (mode == blocked ? spRadix4PassWide<Inverse, blocked> : spRadix4PassWide<Inverse, interleaved>)(x, y, n, s, table);
    else
        (mode == blocked ? spRadix4Pass<Inverse, blocked> : spRadix4Pass<Inverse, interleaved>)(x, y, n, s, table);
}

template <bool Inverse>
void spRadix2PassTo(const float* x, float* y, std::ptrdiff_t n, const float* table, spOutputMode mode)
{
    constexpr auto blocked = spOutputMode::blocked, interleaved = spOutputMode::interleaved;
    if (spWide)
        (mode == blocked ? spRadix2PassWide<Inverse, blocked> : spRadix2PassWide<Inverse, interleaved>)(x, y, n, table);
    else
        (mode == blocked ? spRadix2Pass<Inverse, blocked> : spRadix2Pass<Inverse, interleaved>)(x, y, n, table);
}

template <bool Inverse>
void spRadix8LastWideTo(const float* x, float* y, std::ptrdiff_t n, const float* table, spOutputMode mode)
{
    constexpr auto blocked = spOutputMode::blocked, interleaved = spOutputMode::interleaved;
    (mode == blocked ? spRadix8LastWide<Inverse, blocked> : spRadix8LastWide<Inverse, interleaved>)(x, y, n, table);
}

// One core transform over positions [pos, pos + 2^order): blocks in `x`, the last pass into
// `y` (which may be x) in `mode`. Pieces above the leaf order are done depth first.
template <bool Inverse, class FirstPass>
class spCoreRun {
public:
    spCoreRun(const FirstPass& first, const float* table, int leafOrder)
        : m_first(first), m_table(table), m_leaf(leafOrder)
    {
    }

    void Range(float* x, float* y, std::ptrdiff_t pos, int order, spOutputMode mode) const
    {
        const std::ptrdiff_t n = std::ptrdiff_t{1} << order;
        float* xs = x + 2 * pos;
        float* ys = y + 2 * pos;
        if (order <= m_leaf) {
            Leaf(x, y, pos, order, mode);
        } else if (order % 2 != 0) {
            Range(x, x, pos, order - 1, spOutputMode::blocked);
            Range(x, x, pos + n / 2, order - 1, spOutputMode::blocked);
            spRadix2PassTo<Inverse>(xs, ys, n, m_table, mode);
        } else {
            for (std::ptrdiff_t q = 0; q < 4; ++q)
                Range(x, x, pos + q * n / 4, order - 2, spOutputMode::blocked);
            spRadix4PassTo<Inverse>(xs, ys, n, n / 4, m_table, mode);
        }
    }

private:
    void Leaf(float* x, float* y, std::ptrdiff_t pos, int order, spOutputMode mode) const
    {
        const std::ptrdiff_t n = std::ptrdiff_t{1} << order;
        const int passes = (order - 4) / 2;
        const bool odd = order % 2 != 0;
        const auto modeOf = [&](bool last) { return last ? mode : spOutputMode::blocked; };
        const bool firstIsLast = passes == 0 && !odd;
        float* firstOut = firstIsLast ? y : x;
        if constexpr (FirstPass::local) {
            const std::ptrdiff_t g0 = pos / 16, g1 = (pos + n) / 16;
            if (spWide && g1 - g0 >= 2) {
                // Two groups at a time; only a single group's pass can be the last.
                m_first.template RunWide<Inverse>(g0, g1, m_table, firstOut);
            } else {
                for (std::ptrdiff_t g = g0; g < g1; ++g)
                    m_first.template Run<Inverse>(g, m_table, firstOut + 32 * g, modeOf(firstIsLast));
            }
        }
        float* xs = x + 2 * pos;
        // In 256-bit vectors an odd order joins its last radix-4 pass and the radix-2 pass.
        const bool joinLast = odd && passes > 0 && spWide;
        std::ptrdiff_t s = 16;
        for (int i = 0; i < passes - (joinLast ? 1 : 0); ++i, s *= 4) {
            const bool last = i + 1 == passes && !odd;
            spRadix4PassTo<Inverse>(xs, last ? y + 2 * pos : xs, n, s, m_table, modeOf(last));
        }
        if (joinLast)
            spRadix8LastWideTo<Inverse>(xs, y + 2 * pos, n, m_table, mode);
        else if (odd)
            spRadix2PassTo<Inverse>(xs, y + 2 * pos, n, m_table, mode);
    }

    FirstPass m_first;
    const float* m_table;
    int m_leaf;
};

} // namespace

bool spColSetWideVectors(bool wide)
{
    const bool before = spWide;
    spWide = wide && __builtin_cpu_supports("avx2") != 0;
    return before;
}

bool spColWideVectors() { return spWide; }

template <bool Inverse>
void spColCoreFused(const spComplex* src, spComplex* dst, int order, const float* table,
                    const std::int32_t* index, int leafOrder, float* work)
{
    const std::ptrdiff_t n = std::ptrdiff_t{1} << order;
    const spFusedFirstPass first{src, index, n / 16};
    float* y = &dst->re;
    if (order == 4) {
        first.Run<Inverse>(0, table, y, spOutputMode::interleaved);
        return;
    }
    // The source is read through the bit reversal from all over the array: one pass over all
    // of it in the order of the sources, then the pieces.
    float* x = src == dst ? work : y;
    first.RunAll<Inverse>(n / 16, table, x);
    spCoreRun<Inverse, spFirstPassDone>({}, table, leafOrder).Range(x, y, 0, order, spOutputMode::interleaved);
}

template <bool Inverse>
void spColCoreLinear(spComplex* data, int order, const float* table, int leafOrder, spOutputMode mode)
{
    float* x = &data->re;
    const spLinearFirstPass first{x};
    spCoreRun<Inverse, spLinearFirstPass>(first, table, leafOrder).Range(x, x, 0, order, mode);
}

template void spColCoreFused<false>(const spComplex*, spComplex*, int, const float*, const std::int32_t*, int, float*);
template void spColCoreFused<true>(const spComplex*, spComplex*, int, const float*, const std::int32_t*, int, float*);
template void spColCoreLinear<false>(spComplex*, int, const float*, int, spOutputMode);
template void spColCoreLinear<true>(spComplex*, int, const float*, int, spOutputMode);
