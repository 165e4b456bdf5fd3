#include "sp/filters/spColumn1Tables.h"

#include <algorithm>

namespace {

using Col = spColumnTraits<1>;

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

// Layout codes 1 to 4 of one type: fn<P, KeepAlpha>.
template <template <int, bool> class F>
constexpr auto Layouts()
{
    return std::array{F<1, false>::fn, F<4, false>::fn, F<3, false>::fn, F<4, true>::fn};
}

template <class E>
struct Kernels {
    template <int P, bool A>
    struct CentreMinusSum3 {
        static constexpr spCentreFn* fn = &spColCentreMinusSum3<E, Col, P, A>;
    };
    template <int P, bool A>
    struct Hipass5 {
        static constexpr spCentreFn* fn = &spColHipass5<E, Col, P, A>;
    };
    template <int P, bool A>
    struct Sharpen {
        static constexpr spCentreFn* fn = &spSharpenFromSums<E, Col, P, A>;
    };
    template <int P, bool A>
    struct Mean3 {
        static constexpr spRowFn* fn = &spColMean3<E, Col, P, A>;
    };
    template <int P, bool A>
    struct Mean5 {
        static constexpr spRowFn* fn = &spColMean5<E, Col, P, A>;
    };
    template <int P, bool A>
    struct HorizDiff {
        static constexpr spRowFn* fn = &spHorizDiff<E, Col, P, A>;
    };
    template <int P, bool A>
    struct GaussRow3 {
        static constexpr spRowFn* fn = &spGaussRowPass3x3<E, Col, P, A>;
    };
    template <int P, bool A>
    struct Smooth111 {
        static constexpr spRowFn* fn = &spSmooth<E, Col, P, A, 0>;
    };
    template <int P, bool A>
    struct Smooth121 {
        static constexpr spRowFn* fn = &spSmooth<E, Col, P, A, 1>;
    };
    template <int P, bool A>
    struct LaplaceRow5 {
        static constexpr spRowPass5Fn* fn = &spRowPass5x5<E, Col, false, P>;
    };
    template <int P, bool A>
    struct GaussRow5 {
        static constexpr spRowPass5Fn* fn = &spRowPass5x5<E, Col, true, P>;
    };
    static constexpr std::array<spColPass5Fn*, 4> colPasses{
        spColPass5x5<E, Col, false, false>, spColPass5x5<E, Col, false, true>,
        spColPass5x5<E, Col, true, false>, spColPass5x5<E, Col, true, true>};
};

constexpr spVerticalBlock kVertical = {
    spColSum3<spU8, Col, 0>,  spColSum3<spU8, Col, 1>, spColSum3<spS16, Col, 0>,
    spColSum3<spS16, Col, 1>, spColSum3<spF32, Col, 0>, spColSum3<spF32, Col, 1>,
    spColSum3<spU8, Col, 0>,  spColSum3<spU8, Col, 0>, spColSum3<spS8S16, Col, 0>,
};
constexpr spTypeRun kSum5 = {spColSum5<spU8, Col>, spColSum5<spS16, Col>, spColSum5<spF32, Col>};
constexpr spTypeRun kSlide5 = {spColSlide5<spU8, Col>, spColSlide5<spS16, Col>, spColSlide5<spF32, Col>};

using U8 = Kernels<spU8>;
using S16 = Kernels<spS16>;
using F32 = Kernels<spF32>;

spColumnTables Build()
{
    spColumnTables t{};
    const auto narrowRow = std::array<spRowPass5Fn*, 1>{spRowPass5x5<spU8, Col, false, 1>};
    const auto narrowCol = std::array<spColPass5Fn*, 1>{spColPass5x5<spS8S16, Col, false, false>};
    t.kernelSet1.rowPass5x5 = Concat(
        Layouts<U8::LaplaceRow5>(), Layouts<U8::GaussRow5>(), Layouts<S16::LaplaceRow5>(),
        Layouts<S16::GaussRow5>(), Layouts<F32::LaplaceRow5>(), Layouts<F32::GaussRow5>(),
        Concat(narrowRow, narrowRow, narrowRow, narrowRow, narrowRow, narrowRow, narrowRow,
               narrowRow),
        std::array<spRowPass5Fn*, 1>{spRowPass5x5<spS8S16, Col, false, 1>});
    t.kernelSet1.colPass5x5 = Concat(U8::colPasses, S16::colPasses, F32::colPasses,
                                     Concat(narrowCol, narrowCol, narrowCol, narrowCol, narrowCol));
    t.kernelSet1.vertical = kVertical;
    t.kernelSet1.gaussRowPass3x3 =
        Concat(Layouts<U8::GaussRow3>(), Layouts<S16::GaussRow3>(), Layouts<F32::GaussRow3>());
    t.laplaceHipass3x3.combine =
        Concat(Layouts<U8::CentreMinusSum3>(), Layouts<S16::CentreMinusSum3>(),
               Layouts<F32::CentreMinusSum3>(), Layouts<Kernels<spU8S16>::CentreMinusSum3>(),
               std::array<spCentreFn*, 1>{spColCentreMinusSum3<spS8S16, Col, 1, false>});
    t.laplaceHipass3x3.vertical = kVertical;
    t.lowpass = {kSum5,
                 Concat(Layouts<U8::Mean5>(), Layouts<S16::Mean5>(), Layouts<F32::Mean5>()),
                 kSlide5, kVertical,
                 Concat(Layouts<U8::Mean3>(), Layouts<S16::Mean3>(), Layouts<F32::Mean3>())};
    t.hipass5x5 = {kSum5,
                   Concat(Layouts<U8::Hipass5>(), Layouts<S16::Hipass5>(), Layouts<F32::Hipass5>()),
                   kSlide5};
    t.sharpen = {kVertical,
                 Concat(Layouts<U8::Sharpen>(), Layouts<S16::Sharpen>(), Layouts<F32::Sharpen>())};
    t.sobelVert = {kVertical, Concat(Layouts<U8::HorizDiff>(), Layouts<S16::HorizDiff>(),
                                     Layouts<F32::HorizDiff>())};
    t.sobelHoriz.smooth = Concat(Layouts<U8::Smooth111>(), Layouts<U8::Smooth121>(),
                                 Layouts<S16::Smooth111>(), Layouts<S16::Smooth121>(),
                                 Layouts<F32::Smooth111>(), Layouts<F32::Smooth121>());
    t.sobelHoriz.rowDiff = {spRowPairDiff<spU8, Col>, spRowPairDiff<spS16, Col>, spRowPairDiff<spF32, Col>};
    return t;
}

} // namespace

const spColumnTables& spColumn1Tables()
{
    static const spColumnTables tables = Build();
    return tables;
}
