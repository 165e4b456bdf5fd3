// Column 1's vertical kernels: three- and five-row column sums, the five-row slide and the
// differences of the rows below and above. The float ones add single elements until the top
// row's read position is on a 16-byte boundary, then four sums per pass in a loop copy chosen
// by the row step (which rows are aligned, and so which loads each row takes), written through
// the store the access block picks for the buffer's position. The float sums leave the rows to
// the processor's own prefetching: a prefetch 64 bytes ahead made the 3x3 filters 5 to 10 %
// slower.
#include <cstddef>
#include <cstdint>

#include "sp/filters/spColumn1Forms.h"
#include "sp/filters/spColumn1Integer.h"
#include "sp/filters/spColumn1Kernels.h"

namespace spColumn1 {

namespace {

using spColumn1Detail::Index;

// Row j of a source whose rows lie `step` bytes apart.
const float* Row(const void* top, Index step, int j)
{
    return reinterpret_cast<const float*>(static_cast<const unsigned char*>(top) + j * step);
}

// Four floats of a row whose address in the main loop lies Phase floats past a 16-byte
// boundary (Phase -1: not on a float boundary): the loads of the access block, inline.
template <int Phase>
__m128 LoadRow(const float* p)
{
    if constexpr (Phase == 0)
        return _mm_load_ps(p);
    else if constexpr (Phase == 1 || Phase == 3)
        return spColumn1Detail::LoadPast4Of8(p);
    else if constexpr (Phase == 2)
        return spColumn1Detail::LoadHalves(p);
    else
        return _mm_loadu_ps(p);
}

float Get(const float* p)
{
    return spColumn1Detail::GetFloat(p);
}

// The phase of row j in the main loop for rows `step` bytes apart (-1 when the rows do not
// all lie on float boundaries).
constexpr int RowPhase(int stepPhase, int j)
{
    return stepPhase < 0 ? -1 : (j * stepPhase) % 4;
}

// Runs body.template operator()<Order, Phase>() with Order = (step / 4) mod 4 and Phase the
// same when the top row and the step are whole floats, else -1 (unaligned loads only).
template <class Body>
void ByStep(const void* top, Index step, const Body& body)
{
    const bool onGrid = reinterpret_cast<std::uintptr_t>(top) % 4 == 0 && step % 4 == 0;
    const auto run = [&]<int Order>() {
        if (onGrid)
            body.template operator()<Order, Order>();
        else
            body.template operator()<Order, -1>();
    };
    switch (step / 4 % 4) {
    case 0: run.template operator()<0>(); break;
    case 1: run.template operator()<1>(); break;
    case 2: run.template operator()<2>(); break;
    default: run.template operator()<3>(); break;
    }
}

// ---- Three-row sums: (r0 + r1) + r2, weighted (r0 + 2 r1) + r2 ----

template <int Form, int StepPhase>
struct Sum3Kernel {
    const float *r0, *r1, *r2;

    static float Middle(float y) { return Form == 0 ? y : y + y; }
    float One(Index i) const { return (Get(r0 + i) + Middle(Get(r1 + i))) + Get(r2 + i); }
    __m128 Block(Index i) const
    {
        const __m128 y = LoadRow<RowPhase(StepPhase, 1)>(r1 + i);
        const __m128 mid = Form == 0 ? y : _mm_add_ps(y, y);
        return _mm_add_ps(_mm_add_ps(LoadRow<StepPhase < 0 ? -1 : 0>(r0 + i), mid),
                          LoadRow<RowPhase(StepPhase, 2)>(r2 + i));
    }
};

template <int Form>
void Sum3Float(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    ByStep(src, step, [&]<int, int P>() {
        const Sum3Kernel<Form, P> k{Row(src, step, 0), Row(src, step, 1), Row(src, step, 2)};
        spColumn1SumRow(k, k.r0, static_cast<float*>(buf), len);
    });
}

// ---- Five-row sums: the loop's order follows the step, the head's and tail's do not ----

template <int Order, int StepPhase>
struct Sum5Kernel {
    const float* r[5];

    float One(Index i) const
    {
        return (((Get(r[0] + i) + Get(r[1] + i)) + Get(r[2] + i)) + Get(r[3] + i)) + Get(r[4] + i);
    }
    template <int J>
    __m128 At(Index i) const
    {
        return LoadRow<J == 0 ? (StepPhase < 0 ? -1 : 0) : RowPhase(StepPhase, J)>(r[J] + i);
    }
    __m128 Block(Index i) const
    {
        const __m128 a = At<0>(i), b = At<1>(i), c = At<2>(i), d = At<3>(i), e = At<4>(i);
        if constexpr (Order == 1)
            return _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_add_ps(a, b), c), e), d);
        else if constexpr (Order == 2)
            return _mm_add_ps(_mm_add_ps(_mm_add_ps(a, c), e), _mm_add_ps(b, d));
        else if constexpr (Order == 3)
            return _mm_add_ps(_mm_add_ps(_mm_add_ps(a, e), d), _mm_add_ps(b, c));
        else
            return _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_add_ps(a, b), c), d), e);
    }
};

void Sum5Float(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    ByStep(src, step, [&]<int O, int P>() {
        Sum5Kernel<O, P> k;
        for (int j = 0; j < 5; ++j)
            k.r[j] = Row(src, step, j);
        spColumn1SumRow(k, k.r[0], static_cast<float*>(buf), len);
    });
}

// The window one row further down, summed afresh: a running sum would carry an infinity
// (as NaN) and its rounding down the whole column.
void Slide5Float(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    Sum5Float(static_cast<const unsigned char*>(src) + step, buf, len, step);
}

// ---- The row below minus the row above ----

template <int StepPhase>
struct PairDiffKernel {
    const float *above, *below;

    float One(Index i) const { return Get(below + i) - Get(above + i); }
    __m128 Block(Index i) const
    {
        // The row two steps below lies on a boundary or 8 bytes past one.
        return _mm_sub_ps(LoadRow<RowPhase(StepPhase, 2)>(below + i),
                          LoadRow<StepPhase < 0 ? -1 : 0>(above + i));
    }
};

void RowPairDiffFloat(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    ByStep(src, step, [&]<int, int P>() {
        const PairDiffKernel<P> k{Row(src, step, 0), Row(src, step, 2)};
        spColumn1SumRow(k, k.above, static_cast<float*>(buf), len);
    });
}

// ---- Integer rows: 8 source bytes per pass, widened (16-bit samples with their sign bit
// flipped, so that the sums stay unsigned) ----

template <class E>
auto Widened(const void* row, Index i)
{
    return E::Widen(spColumn1Detail::GetElement<typename E::Src>(row, i));
}

template <class E>
const typename E::Src* Lowest(const void* src, Index step, int j)
{
    return reinterpret_cast<const typename E::Src*>(static_cast<const unsigned char*>(src) + j * step);
}

template <class E, int Form>
void Sum3Int(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    using S = typename E::Sum;
    const auto *r0 = Lowest<E>(src, step, 0), *r1 = Lowest<E>(src, step, 1), *r2 = Lowest<E>(src, step, 2);
    spColumn1IntSums<S>(buf, len, r2, [&](Index i) {
        const S y = Widened<E>(r1, i);
        return static_cast<S>(static_cast<S>(Widened<E>(r0, i) + (Form == 0 ? y : static_cast<S>(y + y))) +
                              Widened<E>(r2, i));
    });
}

template <class E>
void Sum5Int(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    using S = typename E::Sum;
    spColumn1IntSums<S>(buf, len, Lowest<E>(src, step, 4), [&](Index i) {
        S acc = Widened<E>(src, i);
        for (int j = 1; j < 5; ++j)
            acc = static_cast<S>(acc + Widened<E>(Lowest<E>(src, step, j), i));
        return acc;
    });
}

// (sum - leaving) + entering: integer sums are exact, so the slide equals a fresh sum.
template <class E>
void Slide5Int(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    using S = typename E::Sum;
    const S* sums = static_cast<const S*>(buf);
    const auto* entering = Lowest<E>(src, step, 5);
    spColumn1IntSums<S>(buf, len, entering, [&](Index i) {
        return static_cast<S>(static_cast<S>(sums[i] - Widened<E>(src, i)) + Widened<E>(entering, i));
    });
}

// The true difference: the offsets of 16-bit samples cancel.
template <class E>
void PairDiffInt(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    using D = typename E::Diff;
    const auto* below = Lowest<E>(src, step, 2);
    spColumn1IntSums<D>(buf, len, below, [&](Index i) {
        return static_cast<D>(static_cast<D>(Widened<E>(below, i)) - static_cast<D>(Widened<E>(src, i)));
    });
}

} // namespace

template <class E>
void spColSum3(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    if constexpr (E::kFloat)
        Sum3Float<0>(src, buf, len, step);
    else
        Sum3Int<E, 0>(src, buf, len, step);
}

// Weighted 1-2-1 (spColumnSum121).
template <class E>
void spColSum121(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    if constexpr (E::kFloat)
        Sum3Float<1>(src, buf, len, step);
    else
        Sum3Int<E, 1>(src, buf, len, step);
}

// The names the Gauss kernels' 3x3 table gives the two sums.
template <class E>
inline constexpr spVerticalFn* spColumnSum111 = &spColSum3<E>;
template <class E>
inline constexpr spVerticalFn* spColumnSum121 = &spColSum121<E>;

template <class E>
void spColSum5(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    if constexpr (E::kFloat)
        Sum5Float(src, buf, len, step);
    else
        Sum5Int<E>(src, buf, len, step);
}

template <class E>
void spColSlide5(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    if constexpr (E::kFloat)
        Slide5Float(src, buf, len, step);
    else
        Slide5Int<E>(src, buf, len, step);
}

template <class E>
void spRowPairDiff(const void* src, void* buf, std::ptrdiff_t len, std::ptrdiff_t step)
{
    if constexpr (E::kFloat)
        RowPairDiffFloat(src, buf, len, step);
    else
        PairDiffInt<E>(src, buf, len, step);
}

// The plain sum and the 1-2-1 sum of types 0 to 2, the 8-bit plain sum for type 3 (twice),
// the signed 8-bit plain sum for type 4.
spVerticalBlock VerticalBlock()
{
    return {spColumnSum111<spU8>,  spColumnSum121<spU8>, spColumnSum111<spS16>,
            spColumnSum121<spS16>, spColumnSum111<spF32>, spColumnSum121<spF32>,
            spColumnSum111<spU8>,  spColumnSum111<spU8>, spColumnSum111<spS8S16>};
}

spTypeRun Sum5Run()
{
    return {spColSum5<spU8>, spColSum5<spS16>, spColSum5<spF32>};
}

spTypeRun Slide5Run()
{
    return {spColSlide5<spU8>, spColSlide5<spS16>, spColSlide5<spF32>};
}

spTypeRun RowPairDiffRun()
{
    return {spRowPairDiff<spU8>, spRowPairDiff<spS16>, spRowPairDiff<spF32>};
}

} // namespace spColumn1
