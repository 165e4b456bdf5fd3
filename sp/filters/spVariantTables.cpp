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
template <int Form>
struct Smooth {
    template <class E, class Col, int P, bool A>
    static constexpr spRowFn* fn = &spSmooth<E, Col, P, A, Form>;
};
// The 5x5 row passes compute every element, so layouts 2 and 4 share one.
template <bool Gauss>
struct RowPass5 {
    template <class E, class Col, int P, bool A>
    static constexpr spRowPass5Fn* fn = &spRowPass5x5<E, Gauss, P>;
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

constexpr spVerticalBlock kVertical = {
    spColSum3<spU8, 0>,  spColSum3<spU8, 1>, spColSum3<spS16, 0>,
    spColSum3<spS16, 1>, spColSum3<spF32, 0>, spColSum3<spF32, 1>,
    spColSum3<spU8, 0>,  spColSum3<spU8, 0>, spColSum3<spS8S16, 0>,
};
constexpr spTypeRun kSum5 = {spColSum5<spU8>, spColSum5<spS16>, spColSum5<spF32>};
constexpr spTypeRun kSlide5 = {spColSlide5<spU8>, spColSlide5<spS16>, spColSlide5<spF32>};

template <class Col, class E>
constexpr auto ColPasses()
{
    return std::array{spColPass5x5<E, Col, false, false>, spColPass5x5<E, Col, false, true>,
                      spColPass5x5<E, Col, true, false>, spColPass5x5<E, Col, true, true>};
}

template <class Col, class E>
constexpr auto RowPasses()
{
    return Concat(Layouts<RowPass5<false>, Col, E>(), Layouts<RowPass5<true>, Col, E>());
}

template <class Col>
constexpr spColumnTables Tables()
{
    constexpr auto narrowRow = std::array<spRowPass5Fn*, 1>{spRowPass5x5<spU8, false, 1>};
    constexpr auto narrowCol = std::array<spColPass5Fn*, 1>{spColPass5x5<spS8S16, Col, false, false>};
    spColumnTables t{};
    t.kernelSet1.rowPass5x5 = Concat(
        RowPasses<Col, spU8>(), RowPasses<Col, spS16>(), RowPasses<Col, spF32>(),
        Concat(narrowRow, narrowRow, narrowRow, narrowRow, narrowRow, narrowRow, narrowRow,
               narrowRow),
        std::array<spRowPass5Fn*, 1>{spRowPass5x5<spS8S16, false, 1>});
    t.kernelSet1.colPass5x5 =
        Concat(ColPasses<Col, spU8>(), ColPasses<Col, spS16>(), ColPasses<Col, spF32>(),
               Concat(narrowCol, narrowCol, narrowCol, narrowCol, narrowCol));
    t.kernelSet1.vertical = kVertical;
    t.kernelSet1.gaussRowPass3x3 = ThreeTypes<GaussRow3, Col>();
    t.laplaceHipass3x3.combine = Concat(
        ThreeTypes<CentreMinusSum3, Col>(), Layouts<CentreMinusSum3, Col, spU8S16>(),
        std::array<spCentreFn*, 1>{spColCentreMinusSum3<spS8S16, Col, 1, false>});
    t.laplaceHipass3x3.vertical = kVertical;
    t.lowpass = {kSum5, ThreeTypes<Mean5, Col>(), kSlide5, kVertical, ThreeTypes<Mean3, Col>()};
    t.hipass5x5 = {kSum5, ThreeTypes<Hipass5, Col>(), kSlide5};
    t.sharpen = {kVertical, ThreeTypes<Sharpen, Col>()};
    t.sobelVert = {kVertical, ThreeTypes<HorizDiff, Col>()};
    t.sobelHoriz.smooth = Concat(Layouts<Smooth<0>, Col, spU8>(), Layouts<Smooth<1>, Col, spU8>(),
                                 Layouts<Smooth<0>, Col, spS16>(), Layouts<Smooth<1>, Col, spS16>(),
                                 Layouts<Smooth<0>, Col, spF32>(), Layouts<Smooth<1>, Col, spF32>());
    t.sobelHoriz.rowDiff = {spRowPairDiff<spU8>, spRowPairDiff<spS16>, spRowPairDiff<spF32>};
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
