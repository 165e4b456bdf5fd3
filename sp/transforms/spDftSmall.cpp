#include "sp/transforms/spDftSmall.h"

#include "sp/transforms/spSimd.h"

namespace {

// Every sum and product in double precision, each result rounded once when stored.
// `Scaled` kernels multiply the first-level sums and differences by the scale.

template <bool Scaled>
void spDftLen1Kernel(const spComplex* src, spComplex* dst, float scale)
{
    if constexpr (Scaled)
        spStoreCd(dst[0], static_cast<double>(scale) * spLoadCd(src[0]));
    else
        dst[0] = src[0];
}

template <bool Scaled>
void spDftLen2Kernel(const spComplex* src, spComplex* dst, float scale)
{
    const spCd x0 = spLoadCd(src[0]), x1 = spLoadCd(src[1]);
    spCd y0 = x0 + x1, y1 = x0 - x1;
    if constexpr (Scaled) {
        y0 = static_cast<double>(scale) * y0;
        y1 = static_cast<double>(scale) * y1;
    }
    spStoreCd(dst[0], y0);
    spStoreCd(dst[1], y1);
}

template <bool Inverse, bool Scaled>
void spDftLen3Kernel(const spComplex* src, spComplex* dst, float scale)
{
    constexpr double c1 = -0.5f;
    constexpr double c2 = -0.8660254f;
    spCd x0 = spLoadCd(src[0]);
    const spCd x1 = spLoadCd(src[1]), x2 = spLoadCd(src[2]);
    spCd s = x1 + x2, d = x1 - x2;
    if constexpr (Scaled) {
        x0 = static_cast<double>(scale) * x0;
        s = static_cast<double>(scale) * s;
        d = static_cast<double>(scale) * d;
    }
    const spCd u = c1 * s + x0;
    // (u.re - p, u.im + q) forward with p = D.im c2, q = D.re c2: that is u + (-i)(c2 D).
    const spCd rot = spRotateCd<Inverse>(c2 * d);
    spStoreCd(dst[0], x0 + s);
    spStoreCd(dst[1], u - rot);
    spStoreCd(dst[2], u + rot);
}

template <bool Inverse, bool Scaled>
void spDftLen4Kernel(const spComplex* src, spComplex* dst, float scale)
{
    const spCd x0 = spLoadCd(src[0]), x1 = spLoadCd(src[1]);
    const spCd x2 = spLoadCd(src[2]), x3 = spLoadCd(src[3]);
    spCd s0 = x0 + x2, d0 = x0 - x2, s1 = x1 + x3, d1 = x1 - x3;
    if constexpr (Scaled) {
        const double f = scale;
        s0 = f * s0;
        d0 = f * d0;
        s1 = f * s1;
        d1 = f * d1;
    }
    const spCd rot = spRotateCd<Inverse>(d1);
    spStoreCd(dst[0], s0 + s1);
    spStoreCd(dst[1], d0 + rot);
    spStoreCd(dst[2], s0 - s1);
    spStoreCd(dst[3], d0 - rot);
}

template <bool Inverse, bool Scaled>
void spFftLen8Kernel(const spComplex* src, spComplex* dst, float scale)
{
    constexpr double c = 0.70710677f;
    constexpr double minusC = -0.70710677f;
    spCd x[8];
    for (int k = 0; k < 8; ++k)
        x[k] = spLoadCd(src[k]);
    // The sixteen first-level sums and differences (real and imaginary parts).
    spCd s04 = x[0] + x[4], d04 = x[0] - x[4], s26 = x[2] + x[6], d26 = x[2] - x[6];
    spCd s15 = x[1] + x[5], d15 = x[1] - x[5], s37 = x[3] + x[7], d37 = x[3] - x[7];
    if constexpr (Scaled) {
        const double f = scale;
        s04 = f * s04, d04 = f * d04, s26 = f * s26, d26 = f * d26;
        s15 = f * s15, d15 = f * d15, s37 = f * s37, d37 = f * d37;
    }
    const spCd e0 = s04 + s26, e2 = s04 - s26;
    const spCd e1 = d04 + spRotateCd<Inverse>(d26), e3 = d04 - spRotateCd<Inverse>(d26);
    const spCd o0 = s15 + s37, o2 = s15 - s37;
    const spCd o1 = d15 + spRotateCd<Inverse>(d37), o3 = d15 - spRotateCd<Inverse>(d37);
    const spCd t1 = c * (o1 + spRotateCd<Inverse>(o1));
    const spCd t3 = minusC * (o3 - spRotateCd<Inverse>(o3));
    const spCd r2 = spRotateCd<Inverse>(o2);
    spStoreCd(dst[0], e0 + o0);
    spStoreCd(dst[4], e0 - o0);
    spStoreCd(dst[2], e2 + r2);
    spStoreCd(dst[6], e2 - r2);
    spStoreCd(dst[1], e1 + t1);
    spStoreCd(dst[5], e1 - t1);
    spStoreCd(dst[3], e3 + t3);
    spStoreCd(dst[7], e3 - t3);
}

template <void (*Kernel)(const spComplex*, spComplex*, float)>
void spUnscaled(const spComplex* src, spComplex* dst)
{
    Kernel(src, dst, 1.0f);
}

} // namespace

// The named kernels of the dispatch tables.
constexpr spDftSmallKernel spDftLen1 = spUnscaled<spDftLen1Kernel<false>>;
constexpr spDftSmallScaledKernel spDftLen1Scaled = spDftLen1Kernel<true>;
constexpr spDftSmallKernel spDftLen2 = spUnscaled<spDftLen2Kernel<false>>;
constexpr spDftSmallScaledKernel spDftLen2Scaled = spDftLen2Kernel<true>;
constexpr spDftSmallKernel spDftLen3Fwd = spUnscaled<spDftLen3Kernel<false, false>>;
constexpr spDftSmallKernel spDftLen3Inv = spUnscaled<spDftLen3Kernel<true, false>>;
constexpr spDftSmallScaledKernel spDftLen3FwdScaled = spDftLen3Kernel<false, true>;
constexpr spDftSmallScaledKernel spDftLen3InvScaled = spDftLen3Kernel<true, true>;
constexpr spDftSmallKernel spDftLen4Fwd = spUnscaled<spDftLen4Kernel<false, false>>;
constexpr spDftSmallKernel spDftLen4Inv = spUnscaled<spDftLen4Kernel<true, false>>;
constexpr spDftSmallScaledKernel spDftLen4FwdScaled = spDftLen4Kernel<false, true>;
constexpr spDftSmallScaledKernel spDftLen4InvScaled = spDftLen4Kernel<true, true>;
constexpr spDftSmallKernel spFftLen8Fwd = spUnscaled<spFftLen8Kernel<false, false>>;
constexpr spDftSmallKernel spFftLen8Inv = spUnscaled<spFftLen8Kernel<true, false>>;
constexpr spDftSmallScaledKernel spFftLen8FwdScaled = spFftLen8Kernel<false, true>;
constexpr spDftSmallScaledKernel spFftLen8InvScaled = spFftLen8Kernel<true, true>;

const spDftSmallTable spDftSmallFwdTable = {
    {spDftLen1, spDftLen2, spDftLen3Fwd, spDftLen4Fwd},
    {spDftLen1Scaled, spDftLen2Scaled, spDftLen3FwdScaled, spDftLen4FwdScaled},
};
const spDftSmallTable spDftSmallInvTable = {
    {spDftLen1, spDftLen2, spDftLen3Inv, spDftLen4Inv},
    {spDftLen1Scaled, spDftLen2Scaled, spDftLen3InvScaled, spDftLen4InvScaled},
};
const spDftSmallTable spFftSmallFwdTable = {
    {spDftLen1, spDftLen2, spDftLen4Fwd, spFftLen8Fwd},
    {spDftLen1Scaled, spDftLen2Scaled, spDftLen4FwdScaled, spFftLen8FwdScaled},
};
const spDftSmallTable spFftSmallInvTable = {
    {spDftLen1, spDftLen2, spDftLen4Inv, spFftLen8Inv},
    {spDftLen1Scaled, spDftLen2Scaled, spDftLen4InvScaled, spFftLen8InvScaled},
};
