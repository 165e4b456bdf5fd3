#include "sp/filters/spVariantTables.h"

#include <algorithm>

#include "sp/filters/spColumn1Tables.h"

int spKernelSlot(spSlotRule rule, const spKernelKey& key, int lastType)
{
    const int t = key.type, c = key.layout, s = key.form;
    if (t < 0 || t > lastType || c < 1 || c > 4 || s < 0 || s > 1)
        return -1;
    // The 16-bit-result types of 8-bit samples exist for the plain sums and the Laplace
    // kernels only; the signed one for one channel only, the unsigned one in every layout
    // for the 3x3 and in one channel for the 5x5.
    const bool narrow = t >= spKtU8S16;
    if (narrow && (s != 0 || (c != 1 && (t == spKtS8S16 || (rule != spSlotRule::Vertical &&
                                                            rule != spSlotRule::ByTypeLayout)))))
        return -1;
    switch (rule) {
    case spSlotRule::ByType:
        return narrow ? -1 : t;
    case spSlotRule::ByTypeLayout:
        return t == spKtS8S16 && c != 1 ? -1 : 4 * t + c - 1;
    case spSlotRule::Vertical:
        return t == spKtU8S16 ? 6 : t == spKtS8S16 ? 8 : 2 * t + s;
    case spSlotRule::RowPass5x5:
        return narrow ? 8 * t : 8 * t + 4 * s + c - 1;
    case spSlotRule::ColPass5x5:
        return narrow ? 4 * t : 4 * t + 2 * s + (c == 4 ? 1 : 0);
    case spSlotRule::Smooth:
        return narrow ? -1 : 8 * t + 4 * s + c - 1;
    }
    return -1;
}

namespace {

// Kernel families that come in the four layouts: fn<E, Col, P, KeepAlpha>.
struct CentreMinusSum3 {
    template <class E, class Col, int P, bool A>
    static constexpr spCentreFn* fn = &spColCentreMinusSum3<E, Col, P, A>;
};
struct Hipass5 {
    template <class E, class Col, int P, bool A>
    static constexpr spCentreFn* fn = &spColHipass5<E, Col, P, A>;
};
struct Sharpen {
    template <class E, class Col, int P, bool A>
    static constexpr spCentreFn* fn = &spSharpenFromSums<E, Col, P, A>;
};
struct Mean3 {
    template <class E, class Col, int P, bool A>
    static constexpr spRowFn* fn = &spColMean3<E, Col, P, A>;
};
struct Mean5 {
    template <class E, class Col, int P, bool A>
    static constexpr spRowFn* fn = &spColMean5<E, Col, P, A>;
};
struct HorizDiff {
    template <class E, class Col, int P, bool A>
    static constexpr spRowFn* fn = &spHorizDiff<E, Col, P, A>;
};
struct GaussRow3 {
    template <class E, class Col, int P, bool A>
    static constexpr spRowFn* fn = &spGaussRowPass3x3<E, Col, P, A>;
};
struct Smooth111 {
    template <class E, class Col, int P, bool A>
    static constexpr spRowFn* fn = spSmooth111<E, Col, P, A>;
};
struct Smooth121 {
    template <class E, class Col, int P, bool A>
    static constexpr spRowFn* fn = spSmooth121<E, Col, P, A>;
};
// The 5x5 row passes compute every element, so layouts 2 and 4 share one.
struct LaplaceRowPass5 {
    template <class E, class Col, int P, bool A>
    static constexpr spRowPass5Fn* fn = spLaplaceRowPass5x5<E, Col, P>;
};
struct GaussRowPass5 {
    template <class E, class Col, int P, bool A>
    static constexpr spRowPass5Fn* fn = spGaussRowPass5x5<E, Col, P>;
};

template <class T, std::size_t... N>
constexpr auto Concat(const std::array<T, N>&... parts)
{
    std::array<T, (N + ...)> out{};
    std::size_t at = 0;
    ((std::copy(parts.begin(), parts.end(), out.begin() + static_cast<std::ptrdiff_t>(at)),
      at += N),
     ...);
    return out;
}

// Layout codes 1 to 4 of one type.
template <class F, class Col, class E>
constexpr auto Layouts()
{
    return std::array{F::template fn<E, Col, 1, false>, F::template fn<E, Col, 4, false>,
                      F::template fn<E, Col, 3, false>, F::template fn<E, Col, 4, true>};
}

template <class F, class Col>
constexpr auto ThreeTypes()
{
    return Concat(Layouts<F, Col, spU8>(), Layouts<F, Col, spS16>(), Layouts<F, Col, spF32>());
}

template <class Col>
constexpr spColumnSumBlock ColumnSumBlock()
{
    return {
        spColumnSum111<spU8, Col>,  spColumnSum121<spU8, Col>,  spColumnSum111<spS16, Col>,
        spColumnSum121<spS16, Col>, spColumnSum111<spF32, Col>, spColumnSum121<spF32, Col>,
        spColumnSum111<spU8, Col>,  spColumnSum111<spU8, Col>,  spColumnSum111<spS8S16, Col>,
    };
}

template <class Col>
constexpr spTypeRun Sum5()
{
    return {spColSum5<spU8, Col>, spColSum5<spS16, Col>, spColSum5<spF32, Col>};
}

template <class Col>
constexpr spTypeRun Slide5()
{
    return {spColSlide5<spU8, Col>, spColSlide5<spS16, Col>, spColSlide5<spF32, Col>};
}

template <class Col, class E>
constexpr auto ColPasses()
{
    return std::array{spLaplaceColumnPass5x5<E, Col, false>, spLaplaceColumnPass5x5<E, Col, true>,
                      spGaussColumnPass5x5<E, Col, false>, spGaussColumnPass5x5<E, Col, true>};
}

template <class Col, class E>
constexpr auto RowPasses()
{
    return Concat(Layouts<LaplaceRowPass5, Col, E>(), Layouts<GaussRowPass5, Col, E>());
}

template <class Col>
constexpr spColumnTables Tables()
{
    constexpr auto narrowRow = std::array{spLaplaceRowPass5x5<spU8, Col, 1>};
    constexpr auto narrowCol = std::array{spLaplaceColumnPass5x5<spS8S16, Col, false>};
    constexpr spColumnSumBlock vertical = ColumnSumBlock<Col>();
    spColumnTables t{};
    t.kernelSet1.rowPass5x5 = Concat(
        RowPasses<Col, spU8>(), RowPasses<Col, spS16>(), RowPasses<Col, spF32>(),
        Concat(narrowRow, narrowRow, narrowRow, narrowRow, narrowRow, narrowRow, narrowRow,
               narrowRow),
        std::array{spLaplaceRowPass5x5<spS8S16, Col, 1>});
    t.kernelSet1.colPass5x5 =
        Concat(ColPasses<Col, spU8>(), ColPasses<Col, spS16>(), ColPasses<Col, spF32>(),
               Concat(narrowCol, narrowCol, narrowCol, narrowCol, narrowCol));
    t.kernelSet1.vertical = vertical;
    t.kernelSet1.gaussRowPass3x3 = ThreeTypes<GaussRow3, Col>();
    t.laplaceHipass3x3.combine = Concat(
        ThreeTypes<CentreMinusSum3, Col>(), Layouts<CentreMinusSum3, Col, spU8S16>(),
        std::array<spCentreFn*, 1>{spColCentreMinusSum3<spS8S16, Col, 1, false>});
    t.laplaceHipass3x3.vertical = vertical;
    t.lowpass = {Sum5<Col>(), ThreeTypes<Mean5, Col>(), Slide5<Col>(), vertical,
                 ThreeTypes<Mean3, Col>()};
    t.hipass5x5 = {Sum5<Col>(), ThreeTypes<Hipass5, Col>(), Slide5<Col>()};
    t.sharpen = {vertical, ThreeTypes<Sharpen, Col>()};
    t.sobelVert = {vertical, ThreeTypes<HorizDiff, Col>()};
    t.sobelHoriz.smooth = Concat(Layouts<Smooth111, Col, spU8>(), Layouts<Smooth121, Col, spU8>(),
                                 Layouts<Smooth111, Col, spS16>(), Layouts<Smooth121, Col, spS16>(),
                                 Layouts<Smooth111, Col, spF32>(), Layouts<Smooth121, Col, spF32>());
    t.sobelHoriz.rowDiff = {spRowPairDiff<spU8, Col>, spRowPairDiff<spS16, Col>,
                            spRowPairDiff<spF32, Col>};
    return t;
}

constexpr spColumnTables kTables[] = {
    Tables<spColumnTraits<2>>(),
    Tables<spColumnTraits<3>>(),
    Tables<spColumnTraits<4>>(),
};

} // namespace

const spColumnTables& spTablesOf(int column)
{
    return column == 1 ? spColumn1Tables() : kTables[column - 2];
}
