#include "FilterTestSupport.h"

#include <sys/mman.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "sp/filters/spElementLoops.h"

BorderedImage::BorderedImage(Index width, Index height, Index border, Index stride, Index offset)
    : m_width(width), m_height(height), m_border(border), m_stride(stride), m_offset(offset),
      m_data(static_cast<std::size_t>(offset + stride * (height + 2 * border)), 0.0f)
{
    if (stride < width + 2 * border)
        throw std::invalid_argument("stride shorter than a bordered row");
}

std::size_t BorderedImage::Position(Index row, Index col) const
{
    if (row < -m_border || row >= m_height + m_border || col < -m_border ||
        col >= m_width + m_border)
        throw std::out_of_range("pixel outside the bordered image");
    return static_cast<std::size_t>(m_offset + (row + m_border) * m_stride + col + m_border);
}

void BorderedImage::Fill(const std::function<float(Index, Index)>& fn)
{
    for (Index r = -m_border; r < m_height + m_border; ++r)
        for (Index c = -m_border; c < m_width + m_border; ++c)
            at(r, c) = fn(r, c);
}

Destination::Destination(Index w, Index h, Index strideFloats, Index off)
    : width(w), height(h), stride(strideFloats), offset(off),
      plane(static_cast<std::size_t>(off + strideFloats * h + 8), kSentinel)
{
}

std::vector<float> Destination::Region() const
{
    std::vector<float> out;
    for (Index y = 0; y < height; ++y)
        for (Index i = 0; i < width; ++i)
            out.push_back(plane[static_cast<std::size_t>(offset + y * stride + i)]);
    return out;
}

bool Destination::MarginUntouched() const
{
    for (std::size_t k = 0; k < plane.size(); ++k) {
        const Index pos = static_cast<Index>(k) - offset;
        const bool inside = pos >= 0 && pos / stride < height && pos % stride < width;
        if (!inside && !SameFloat(plane[k], kSentinel))
            return false;
    }
    return true;
}

std::vector<float> ReferenceOutput(const FilterOp& op, const BorderedImage& src)
{
    std::vector<float> out;
    for (Index y = 0; y < src.height(); ++y)
        for (Index i = 0; i < src.width(); ++i)
            out.push_back(op.reference(src, y, i));
    return out;
}

namespace {

template <int C>
std::vector<spVariantWorkerFn*> WorkersOf()
{
    using W = spVariantWorkers<C>; // in the order of AllFilterOps
    return {W::Gauss3x3,   W::Ring5x5,    W::LaplaceHipass3x3, W::Ring5x5,
            W::Lowpass3x3, W::Lowpass5x5, W::LaplaceHipass3x3, W::Hipass5x5,
            W::Sharpen,    W::SobelVert,  W::SobelHoriz};
}

} // namespace

spVariantWorkerFn* WorkerOf(int column, std::size_t op)
{
    static const std::vector<spVariantWorkerFn*> workers[] = {WorkersOf<1>(), WorkersOf<2>(),
                                                              WorkersOf<3>(), WorkersOf<4>()};
    return workers[column - 1].at(op);
}

int FormOf(const FilterOp& op)
{
    return op.name == "Gauss5x5" || op.name.starts_with("Sobel") ? 1 : 0;
}

std::vector<int> FormsOf(const FilterOp& op)
{
    if (op.name.starts_with("Sobel"))
        return {0, 1};
    return {FormOf(op)};
}

bool HeldByTables(const FilterOp& op, int type, int layout)
{
    if (type <= spKtF32)
        return true;
    if (op.name == "Laplace3x3" || op.name == "Hipass3x3")
        return type == spKtU8S16 || layout == 1;
    return op.name == "Laplace5x5" && layout == 1;
}

void ForEachHeldKey(std::initializer_list<int> layouts,
                    const std::function<void(int column, std::size_t op, const spKernelKey& key)>&
                        body)
{
    for (int column = 1; column <= 4; ++column)
        for (std::size_t op = 0; op < AllFilterOps().size(); ++op)
            for (int form : FormsOf(AllFilterOps()[op]))
                for (int type = 0; type <= spKtS8S16; ++type)
                    for (int layout : layouts)
                        if (HeldByTables(AllFilterOps()[op], type, layout))
                            body(column, op, {type, layout, form});
}

spStatus RunOp(const FilterOp& op, const BorderedImage& src, Destination& dst,
               int srcExtraBytes, int dstExtraBytes, FilterCall call)
{
    const FilterCall fn = call != nullptr ? call : op.entry;
    const int srcStep = static_cast<int>(src.stride() * 4) + srcExtraBytes;
    const int dstStep = static_cast<int>(dst.stride * 4) + dstExtraBytes;
    const spRoiSize roi{static_cast<int>(src.width()), static_cast<int>(src.height())};
    return fn(src.Origin(), srcStep, dst.Origin(), dstStep, roi, op.mask);
}

float ModerateValue(std::mt19937& rng)
{
    return std::uniform_real_distribution<float>(-100.0f, 100.0f)(rng);
}

float WideValue(std::mt19937& rng)
{
    const float mantissa = std::uniform_real_distribution<float>(1.0f, 2.0f)(rng);
    return (rng() & 1 ? -1.0f : 1.0f) * std::ldexp(mantissa, static_cast<int>(rng() % 81) - 40);
}

float TieProneValue(std::mt19937& rng)
{
    static const int kExponents[] = {0, -23, -24, -25, -52, -53, -54};
    const auto mantissa = static_cast<float>(1 + rng() % 3);
    return (rng() & 1 ? -1.0f : 1.0f) * std::ldexp(mantissa, kExponents[rng() % 7]);
}

void ForEachLoopKind(const std::function<void(const char* loops)>& body)
{
    struct Restore {
        ~Restore() { spDebugUsePlainLoops(false); }
    } restore;
    spDebugUsePlainLoops(true);
    body("plain loops");
    spDebugUsePlainLoops(false);
    body(spUseAvx2Loops() ? "AVX2 loops" : "plain loops (no AVX2)");
}

double WindowUnit(const FilterOp& op, const BorderedImage& x, Index y, Index i)
{
    double sum = 0.0;
    for (Index r = -op.border; r <= op.border; ++r)
        for (Index c = -op.border; c <= op.border; ++c)
            if (const int w = op.kernel.w[r + 2][c + 2]; w != 0) // a NaN outside the kernel
                sum += std::abs(w * static_cast<double>(x.at(y + r, i + c)));
    if (const int w = op.kernel.w[2][2]; w != 0)
        sum += std::abs(w * static_cast<double>(x.at(y, i)));
    return 0x1p-24 * sum / op.kernel.divisor;
}

bool SameFloat(float a, float b)
{
    return (std::isnan(a) && std::isnan(b)) ||
           std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

Index FirstDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    if (a.size() != b.size())
        return 0;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (!SameFloat(a[k], b[k]))
            return static_cast<Index>(k);
    return -1;
}

Layout RandomLayout(std::mt19937& rng, Index width, Index height)
{
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    return {width, height, pick(0, 9), pick(0, 7), pick(0, 9), pick(0, 7), pick(0, 3), pick(0, 3)};
}

GuardedPages::GuardedPages(std::size_t bytes)
{
    m_page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    m_usable = (bytes + m_page - 1) / m_page * m_page;
    void* p = mmap(nullptr, m_usable + 2 * m_page, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::runtime_error("mmap failed");
    m_base = static_cast<unsigned char*>(p);
    mprotect(m_base, m_page, PROT_NONE);
    mprotect(m_base + m_page + m_usable, m_page, PROT_NONE);
}

GuardedPages::~GuardedPages()
{
    munmap(m_base, m_usable + 2 * m_page);
}
