// Column 1's vertical kernels: three- and five-row column sums, the five-row slide and the
// differences of the rows below and above. The float ones add single elements until the top
// row's read position is on a 16-byte boundary, then four sums per pass in a loop copy chosen
// by the row step (which rows are aligned, and so which loads each row takes), written through
// the store the access block picks for the buffer's position.
#include <cstddef>
#include <cstdint>

#include "sp/filters/spColumn1Forms.h"
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
        // The third row, 64 bytes ahead, once per 32 bytes.
        if (i % 8 == 0)
            _mm_prefetch(reinterpret_cast<const char*>(r2 + i) + 64, _MM_HINT_T0);
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
        if (i % 8 == 0)
            _mm_prefetch(reinterpret_cast<const char*>(r[4] + i) + 64, _MM_HINT_T0);
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
        if (i % 8 == 0)
            _mm_prefetch(reinterpret_cast<const char*>(below + i) + 64, _MM_HINT_T0);
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

using Col = spColumnTraits<1>;

} // namespace

spVerticalBlock VerticalBlock()
{
    return {::spColSum3<spU8, Col, 0>,  ::spColSum3<spU8, Col, 1>, ::spColSum3<spS16, Col, 0>,
            ::spColSum3<spS16, Col, 1>, Sum3Float<0>,         Sum3Float<1>,
            ::spColSum3<spU8, Col, 0>,  ::spColSum3<spU8, Col, 0>, ::spColSum3<spS8S16, Col, 0>};
}

spTypeRun Sum5Run()
{
    return {::spColSum5<spU8, Col>, ::spColSum5<spS16, Col>, Sum5Float};
}

spTypeRun Slide5Run()
{
    return {::spColSlide5<spU8, Col>, ::spColSlide5<spS16, Col>, Slide5Float};
}

spTypeRun RowPairDiffRun()
{
    return {::spRowPairDiff<spU8, Col>, ::spRowPairDiff<spS16, Col>, RowPairDiffFloat};
}

} // namespace spColumn1
