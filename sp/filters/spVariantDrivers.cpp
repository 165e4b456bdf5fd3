#include "sp/filters/spVariantDrivers.h"

#include <algorithm>
#include <array>
#include <climits>

#include "sp/core/spCpu.h"
#include "sp/filters/spFilterFrame.h"
#include "sp/filters/spVariantStores.h"

namespace {

const unsigned char* Bytes(const void* p)
{
    return static_cast<const unsigned char*>(p);
}

unsigned char* Bytes(void* p)
{
    return static_cast<unsigned char*>(p);
}

// Bytes of one element of the sums, differences and profiles of a type.
std::ptrdiff_t BufferBytes(int type)
{
    return type == spKtS16 || type == spKtF32 ? 4 : 2;
}

// `rows` rows of `elements` elements of `bytes` each, every row starting on a whole vector.
template <int C>
class WorkBuffer {
public:
    WorkBuffer(std::ptrdiff_t rows, std::ptrdiff_t elements, std::ptrdiff_t bytes)
    {
        constexpr std::ptrdiff_t pad = spColumnTraits<C>::kPad;
        m_pitch = (elements + pad - 1) / pad * pad * bytes;
        if (m_pitch * rows <= INT_MAX)
            m_block = Bytes(spColumnTraits<C>::Allocate(static_cast<int>(m_pitch * rows)));
    }
    ~WorkBuffer() { spFree(m_block); }
    WorkBuffer(const WorkBuffer&) = delete;
    WorkBuffer& operator=(const WorkBuffer&) = delete;

    bool Valid() const { return m_block != nullptr; }
    unsigned char* Row(std::ptrdiff_t k) const { return m_block + k * m_pitch; }

private:
    std::ptrdiff_t m_pitch = 0;
    unsigned char* m_block = nullptr;
};

// Rounds to nearest while it lives, when asked to; the caller's rounding bits come back at
// the end, on every return.
class NearestRounding {
public:
    explicit NearestRounding(bool needed) : m_active(needed)
    {
        if (m_active)
            m_old = spSetMxcsrRounding(0);
    }
    ~NearestRounding()
    {
        if (m_active)
            spSetMxcsr(m_old, spMxcsrRoundingMask);
    }
    NearestRounding(const NearestRounding&) = delete;
    NearestRounding& operator=(const NearestRounding&) = delete;

private:
    bool m_active;
    std::uint32_t m_old = 0;
};

// The first source element of row `row`, `pixels` pixels left of the region.
const unsigned char* SrcAt(const spVariantFrame& f, const spKernelKey& key, std::ptrdiff_t row,
                           std::ptrdiff_t pixels)
{
    return Bytes(f.src) + row * f.srcStep -
           pixels * spPixelElements(key.layout) * spElementBytes(key.type);
}

// The store kind of a run's float rows, from the bytes it writes and where its rows lie.
spFloatRowStores StoresOf(const spVariantFrame& f, const spKernelKey& key)
{
    const std::ptrdiff_t bytes =
        f.height * f.width * spPixelElements(key.layout) * spElementBytes(key.type);
    return spFloatRowStores(spStreamsRows(f.dst, f.dstStep, bytes));
}

// 3x3: per output row the vertical kernel over the rows y - 1 to y + 1, one pixel wider on
// each side, into the buffer; then output(centre row, buffer, destination row, n).
template <int C, class Output>
spStatus Run3x3(const spVariantFrame& f, const spKernelKey& key, spVerticalFn* vertical,
                bool outputFound, const Output& output)
{
    if (vertical == nullptr || !outputFound)
        return spStsKernelKeyErr;
    const std::ptrdiff_t e = spPixelElements(key.layout);
    WorkBuffer<C> buf(1, e * (f.width + 2), BufferBytes(key.type));
    if (!buf.Valid())
        return spStsMemAllocErr;
    const spFloatRowStores stores = StoresOf(f, key);
    for (std::ptrdiff_t y = 0; y < f.height; ++y) {
        vertical(SrcAt(f, key, y - 1, 1), buf.Row(0), e * (f.width + 2), f.srcStep);
        output(SrcAt(f, key, y, 0), buf.Row(0), Bytes(f.dst) + y * f.dstStep, e * f.width);
    }
    spKernelExit<C>();
    return spStsNoErr;
}

// The key of the unweighted form of a filter.
spKernelKey Plain(const spKernelKey& key)
{
    return {key.type, key.layout, 0};
}

// Whether s16 values pass through float and so must round to nearest.
template <int C>
bool S16ThroughFloat(const spKernelKey& key)
{
    return spColumnTraits<C>::kConvertsThroughFloat && key.type == spKtS16;
}

// 3x3 whose output combines the centre row with the sums: the table's vertical and combine
// kernels of the unweighted key, in runs whose types end at `lastType`.
template <int C, class Table>
spStatus RunCombine3x3(const spVariantFrame& f, const spKernelKey& key, const Table& t,
                       int lastType = spKtF32)
{
    spCentreFn* combine = spFindKernel(t.combine, spSlotRule::ByTypeLayout, Plain(key), lastType);
    return Run3x3<C>(f, key, spFindKernel(t.vertical, spSlotRule::Vertical, Plain(key), lastType),
                     combine != nullptr, combine);
}

// 5x5 box with the table's five-row sum and slide of the unweighted key: the sums of the
// first output row, then per row the output and the slide to the next row's window.
template <int C, class Table, class Output>
spStatus RunBox5x5(const spVariantFrame& f, const spKernelKey& key, const Table& t,
                   bool outputFound, const Output& output)
{
    spVerticalFn* sum5 = spFindKernel(t.sum5, spSlotRule::ByType, Plain(key));
    spVerticalFn* slide5 = spFindKernel(t.slide5, spSlotRule::ByType, Plain(key));
    if (sum5 == nullptr || slide5 == nullptr || !outputFound)
        return spStsKernelKeyErr;
    const std::ptrdiff_t e = spPixelElements(key.layout), len = e * (f.width + 4);
    WorkBuffer<C> buf(1, len, BufferBytes(key.type));
    if (!buf.Valid())
        return spStsMemAllocErr;
    const spFloatRowStores stores = StoresOf(f, key);
    sum5(SrcAt(f, key, -2, 2), buf.Row(0), len, f.srcStep);
    for (std::ptrdiff_t y = 0; y < f.height; ++y) {
        output(SrcAt(f, key, y, 0), buf.Row(0), Bytes(f.dst) + y * f.dstStep, e * f.width);
        if (y + 1 < f.height)
            slide5(SrcAt(f, key, y - 2, 2), buf.Row(0), len, f.srcStep);
    }
    spKernelExit<C>();
    return spStsNoErr;
}

template <std::size_t N>
void Rotate(std::array<unsigned char*, N>& ring)
{
    std::rotate(ring.begin(), ring.begin() + 1, ring.end());
}

} // namespace

template <int C>
spStatus spVariantWorkers<C>::Ring5x5(const spVariantFrame& f, const spKernelKey& key)
{
    const auto& t = spTablesOf(C).kernelSet1;
    spRowPass5Fn* rowPass = spFindKernel(t.rowPass5x5, spSlotRule::RowPass5x5, key, spKtS8S16);
    spColPass5Fn* colPass = spFindKernel(t.colPass5x5, spSlotRule::ColPass5x5, key, spKtS8S16);
    if (rowPass == nullptr || colPass == nullptr)
        return spStsKernelKeyErr;
    const NearestRounding rounding(spColumnTraits<C>::kConvertsThroughFloat && key.form == 1 &&
                                   key.type != spKtF32);
    const std::ptrdiff_t n = spPixelElements(key.layout) * f.width;
    WorkBuffer<C> buf(12, n, BufferBytes(key.type));
    if (!buf.Valid())
        return spStsMemAllocErr;
    const spFloatRowStores stores = StoresOf(f, key);
    // Output row y adds outer(y-2) + middle(y-1) + centre(y) + middle(y+1) + outer(y+2).
    std::array<unsigned char*, 5> outer;
    std::array<unsigned char*, 4> middle;
    std::array<unsigned char*, 3> centre;
    for (std::size_t k = 0; k < 12; ++k)
        (k < 5 ? outer[k] : k < 9 ? middle[k - 5] : centre[k - 9]) =
            buf.Row(static_cast<std::ptrdiff_t>(k));
    auto pass = [&](std::ptrdiff_t row, void* o, void* m, void* c) {
        rowPass(SrcAt(f, key, row, 2), o, m, c, n);
    };
    using Row = unsigned char*;
    spRunRing5x5(
        outer, middle, centre, f.height, pass,
        [&](std::ptrdiff_t y, Row o0, Row m0, Row c0, Row m2, Row o4) {
            colPass(o0, m0, c0, m2, o4, Bytes(f.dst) + y * f.dstStep, n);
        },
        [&] {
            Rotate(outer);
            Rotate(middle);
            Rotate(centre);
        });
    spKernelExit<C>();
    return spStsNoErr;
}

namespace {

auto RowOutput(spRowFn* kernel)
{
    return [kernel](const void*, const void* buf, void* dst, std::ptrdiff_t n) {
        kernel(buf, dst, n);
    };
}

} // namespace

template <int C>
spStatus spVariantWorkers<C>::Gauss3x3(const spVariantFrame& f, const spKernelKey& key)
{
    const auto& t = spTablesOf(C).kernelSet1;
    const spKernelKey weighted{key.type, key.layout, 1};
    spRowFn* row = spFindKernel(t.gaussRowPass3x3, spSlotRule::ByTypeLayout, key);
    return Run3x3<C>(f, key, spFindKernel(t.vertical, spSlotRule::Vertical, weighted),
                     row != nullptr, RowOutput(row));
}

template <int C>
spStatus spVariantWorkers<C>::LaplaceHipass3x3(const spVariantFrame& f, const spKernelKey& key)
{
    return RunCombine3x3<C>(f, key, spTablesOf(C).laplaceHipass3x3, spKtS8S16);
}

template <int C>
spStatus spVariantWorkers<C>::Lowpass3x3(const spVariantFrame& f, const spKernelKey& key)
{
    const auto& t = spTablesOf(C).lowpass;
    const NearestRounding rounding(S16ThroughFloat<C>(key));
    spRowFn* mean = spFindKernel(t.mean3, spSlotRule::ByTypeLayout, Plain(key));
    return Run3x3<C>(f, key, spFindKernel(t.vertical, spSlotRule::Vertical, Plain(key)),
                     mean != nullptr, RowOutput(mean));
}

template <int C>
spStatus spVariantWorkers<C>::Lowpass5x5(const spVariantFrame& f, const spKernelKey& key)
{
    const auto& t = spTablesOf(C).lowpass;
    const NearestRounding rounding(S16ThroughFloat<C>(key));
    spRowFn* mean = spFindKernel(t.mean5, spSlotRule::ByTypeLayout, Plain(key));
    return RunBox5x5<C>(f, key, t, mean != nullptr, RowOutput(mean));
}

template <int C>
spStatus spVariantWorkers<C>::Hipass5x5(const spVariantFrame& f, const spKernelKey& key)
{
    const auto& t = spTablesOf(C).hipass5x5;
    spCentreFn* combine = spFindKernel(t.combine, spSlotRule::ByTypeLayout, Plain(key));
    return RunBox5x5<C>(f, key, t, combine != nullptr, combine);
}

template <int C>
spStatus spVariantWorkers<C>::Sharpen(const spVariantFrame& f, const spKernelKey& key)
{
    return RunCombine3x3<C>(f, key, spTablesOf(C).sharpen);
}

template <int C>
spStatus spVariantWorkers<C>::SobelVert(const spVariantFrame& f, const spKernelKey& key)
{
    const auto& t = spTablesOf(C).sobelVert;
    spRowFn* diff = spFindKernel(t.diff, spSlotRule::ByTypeLayout, key);
    return Run3x3<C>(f, key, spFindKernel(t.vertical, spSlotRule::Vertical, key),
                     diff != nullptr, RowOutput(diff));
}

template <int C>
spStatus spVariantWorkers<C>::SobelHoriz(const spVariantFrame& f, const spKernelKey& key)
{
    const auto& t = spTablesOf(C).sobelHoriz;
    spRowFn* smooth = spFindKernel(t.smooth, spSlotRule::Smooth, key);
    return Run3x3<C>(f, key, spFindKernel(t.rowDiff, spSlotRule::ByType, key),
                     smooth != nullptr, RowOutput(smooth));
}

template struct spVariantWorkers<1>;
template struct spVariantWorkers<2>;
template struct spVariantWorkers<3>;
template struct spVariantWorkers<4>;
