#include "sp/filters/spRowKernels.h"

#include "sp/filters/spElementLoops.h"

namespace {

// The elements combined in whole groups of four; the last n mod 4 follow another order.
std::ptrdiff_t GroupedCount(std::ptrdiff_t n)
{
    return n > 0 ? n - n % 4 : 0;
}

// The 1-2-1 column sums of three rows, each passed through finish(sum) into dst:
// (r0 + r2) + (r1 + r1) in whole groups of four, ((r0 + r2) + r1) + r1 for the rest.
template <class Finish>
void Column121Sums(const float* r0, const float* r1, const float* r2, float* dst,
                   std::ptrdiff_t n, Finish finish)
{
    const std::ptrdiff_t g = GroupedCount(n);
    spMapElements(
        dst, g,
        [finish](const auto& a, const auto& b, const auto& c)
            SP_FORMULA { return finish((a + c) + (b + b)); },
        r0, r1, r2);
    spMapElements(
        dst + g, n - g,
        [finish](const auto& a, const auto& b, const auto& c)
            SP_FORMULA { return finish(((a + c) + b) + b); },
        r0 + g, r1 + g, r2 + g);
}

// ((centre * weight - r0) - r1) - r2, passed through finish into dst.
template <class Finish>
void CentreMinusRows(const float* centre, const float* r0, const float* r1, const float* r2,
                     float* dst, std::ptrdiff_t n, double weight, Finish finish)
{
    spMapElements(
        dst, n,
        [weight, finish](const auto& x, const auto& a, const auto& b, const auto& c)
            SP_FORMULA { return finish(((x * weight - a) - b) - c); },
        centre, r0, r1, r2);
}

const auto kAsIs = [](const auto& v) SP_FORMULA { return v; };

} // namespace

void spRowSum121(const float* src, float* dst, std::ptrdiff_t n, std::ptrdiff_t c)
{
    spMapElements(
        dst, n,
        [](const auto& l, const auto& x, const auto& r) SP_FORMULA { return ((l + x) + x) + r; },
        src, src + c, src + 2 * c);
}

void spRowSum111(const float* src, float* dst, std::ptrdiff_t n, std::ptrdiff_t c)
{
    spMapElements(
        dst, n, [](const auto& l, const auto& x, const auto& r) SP_FORMULA { return (l + x) + r; },
        src, src + c, src + 2 * c);
}

void spRowDiff(const float* src, float* dst, std::ptrdiff_t n, std::ptrdiff_t offset)
{
    spMapElements(
        dst, n, [](const auto& a, const auto& b) SP_FORMULA { return a - b; }, src,
        src + offset);
}

void spGauss3x3Combine(const float* r0, const float* r1, const float* r2, float* dst,
                       std::ptrdiff_t n)
{
    const double scale = spGaussScale3x3;
    Column121Sums(r0, r1, r2, dst, n,
                  [scale](const auto& sum) SP_FORMULA { return sum * scale; });
}

void spColumn121(const float* r0, const float* r1, const float* r2, float* dst,
                 std::ptrdiff_t n)
{
    Column121Sums(r0, r1, r2, dst, n, kAsIs);
}

void spMean3x3Combine(const float* r0, const float* r1, const float* r2, float* dst,
                      std::ptrdiff_t n)
{
    const double scale = spMeanScale3x3;
    spMapElements(
        dst, n,
        [scale](const auto& a, const auto& b, const auto& c)
            SP_FORMULA { return ((a + b) + c) * scale; },
        r0, r1, r2);
}

void spCentreMinusSum3x3(const float* centre, const float* r0, const float* r1,
                         const float* r2, float* dst, std::ptrdiff_t n)
{
    CentreMinusRows(centre, r0, r1, r2, dst, n, spCentreWeight3x3, kAsIs);
}

void spSharpenCombine(const float* centre, const float* r0, const float* r1, const float* r2,
                      float* dst, std::ptrdiff_t n)
{
    const double scale = spSharpenScale;
    CentreMinusRows(centre, r0, r1, r2, dst, n, spSharpenCentre,
                    [scale](const auto& v) SP_FORMULA { return v * scale; });
}

void spRowsDiff(const float* a, const float* b, float* dst, std::ptrdiff_t n)
{
    spMapElements(
        dst, n, [](const auto& x, const auto& y) SP_FORMULA { return x - y; }, a, b);
}
