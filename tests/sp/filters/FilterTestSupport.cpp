#include "FilterTestSupport.h"

#include <cmath>

#include "sp/filters/spElementLoops.h"

Destination::Destination(std::ptrdiff_t w, std::ptrdiff_t h, std::ptrdiff_t strideFloats,
                         std::ptrdiff_t off)
    : width(w), height(h), stride(strideFloats), offset(off),
      plane(static_cast<std::size_t>(off + strideFloats * h + 8), kSentinel)
{
}

std::vector<float> Destination::Region() const
{
    std::vector<float> out;
    for (std::ptrdiff_t y = 0; y < height; ++y)
        for (std::ptrdiff_t i = 0; i < width; ++i)
            out.push_back(plane[static_cast<std::size_t>(offset + y * stride + i)]);
    return out;
}

bool Destination::MarginUntouched() const
{
    for (std::size_t k = 0; k < plane.size(); ++k) {
        const std::ptrdiff_t pos = static_cast<std::ptrdiff_t>(k) - offset;
        const bool inside = pos >= 0 && pos / stride < height && pos % stride < width;
        if (!inside && !SameFloat(plane[k], kSentinel))
            return false;
    }
    return true;
}

spStatus RunOp(const FilterOp& op, const BorderedImage& src, Destination& dst,
               int srcExtraBytes, int dstExtraBytes, const FilterCall* call)
{
    const FilterCall& fn = call != nullptr ? *call : op.entry;
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
    const int exponent = std::uniform_int_distribution<int>(-40, 40)(rng);
    const float sign = (rng() & 1) ? -1.0f : 1.0f;
    return sign * std::ldexp(mantissa, exponent);
}

float TieProneValue(std::mt19937& rng)
{
    static const int kExponents[] = {0, -23, -24, -25, -52, -53, -54};
    const int mantissa = std::uniform_int_distribution<int>(1, 3)(rng);
    const int exponent = kExponents[std::uniform_int_distribution<int>(0, 6)(rng)];
    const float sign = (rng() & 1) ? -1.0f : 1.0f;
    return sign * std::ldexp(static_cast<float>(mantissa), exponent);
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

std::ptrdiff_t FirstDifference(const std::vector<float>& a, const std::vector<float>& b)
{
    if (a.size() != b.size())
        return 0;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (!SameFloat(a[k], b[k]))
            return static_cast<std::ptrdiff_t>(k);
    return -1;
}
