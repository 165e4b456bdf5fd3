#include "Column1Reference.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <stdexcept>

namespace {

// Which of a row's three parts computes output element i: the scalar head (outputs 0-3 when
// the destination is 4-byte aligned but not 16), the main loop (whole blocks of four), or
// the tail (the last n mod 4, and every output of a row shorter than four).
enum class Part { Head, Loop, Tail };

Part PartOf(std::uintptr_t dst, Index n, Index i)
{
    if (n < 4 || i >= n - n % 4)
        return Part::Tail;
    const bool head = dst % 4 == 0 && dst / 4 % 4 != 0;
    return head && i < 4 ? Part::Head : Part::Loop;
}

// The same for column sums: single sums until the top row's position is on a 16-byte
// boundary, then blocks of four, then single sums.
bool SumInLoop(std::uintptr_t top, Index n, Index i)
{
    Index head = top % 4 == 0 ? static_cast<Index>((16 - top % 16) % 16 / 4) : 0;
    if (head > n)
        head = n;
    return i >= head && i < head + (n - head) / 4 * 4;
}

float Load(const unsigned char* p)
{
    float v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

struct Geometry {
    const Column1Call& call;
    Index e;       // elements per pixel
    Index n() const { return e * call.width; }
    // Source element k of row y, k counted from the region's first element.
    float Src(Index y, Index k) const { return Load(call.src + y * call.srcStep + 4 * k); }
    const unsigned char* SrcAt(Index y, Index k) const { return call.src + y * call.srcStep + 4 * k; }
};

using Sums = std::vector<float>;

// ---- Column sums of one output row ----

Sums Sum3(const Geometry& g, Index y, int form)
{
    Sums s(static_cast<std::size_t>(g.e * (g.call.width + 2)));
    for (Index i = 0; i < static_cast<Index>(s.size()); ++i) {
        const float a = g.Src(y - 1, i - g.e), b = g.Src(y, i - g.e), c = g.Src(y + 1, i - g.e);
        s[static_cast<std::size_t>(i)] = (a + (form == 0 ? b : b + b)) + c;
    }
    return s;
}

Sums PairDiff(const Geometry& g, Index y)
{
    Sums s(static_cast<std::size_t>(g.e * (g.call.width + 2)));
    for (Index i = 0; i < static_cast<Index>(s.size()); ++i)
        s[static_cast<std::size_t>(i)] = g.Src(y + 1, i - g.e) - g.Src(y - 1, i - g.e);
    return s;
}

// Five rows; the loop's order by the step: (step / 4) mod 4 = 0 (((r0 + r1) + r2) + r3) + r4,
// 1 (((r0 + r1) + r2) + r4) + r3, 2 ((r0 + r2) + r4) + (r1 + r3), 3 ((r0 + r4) + r3) + (r1 + r2);
// head and tail always the first.
Sums Sum5(const Geometry& g, Index y)
{
    Sums s(static_cast<std::size_t>(g.e * (g.call.width + 4)));
    const Index n = static_cast<Index>(s.size());
    const auto top = reinterpret_cast<std::uintptr_t>(g.SrcAt(y - 2, -2 * g.e));
    const Index phase = g.call.srcStep / 4 % 4;
    for (Index i = 0; i < n; ++i) {
        float r[5];
        for (Index j = 0; j < 5; ++j)
            r[j] = g.Src(y - 2 + j, i - 2 * g.e);
        float v = (((r[0] + r[1]) + r[2]) + r[3]) + r[4];
        if (SumInLoop(top, n, i)) {
            if (phase == 1)
                v = (((r[0] + r[1]) + r[2]) + r[4]) + r[3];
            else if (phase == 2)
                v = ((r[0] + r[2]) + r[4]) + (r[1] + r[3]);
            else if (phase == 3)
                v = ((r[0] + r[4]) + r[3]) + (r[1] + r[2]);
        }
        s[static_cast<std::size_t>(i)] = v;
    }
    return s;
}

// ---- Output rows ----

// out(i, part, terms) for the three parts of a row; t(j) is the column sum j pixels right of
// output i's leftmost one, x the centre source element.
struct Terms {
    const Sums& s;
    Index i, e;
    float operator()(Index j) const { return s[static_cast<std::size_t>(i + j * e)]; }
};

using Output = std::function<float(Part part, const Terms& t, float x)>;

// The 5x5 Gauss and Laplace: three profiles per source row, five rows per output.
float RingOutput(const Geometry& g, Index y, Index i, bool gauss)
{
    auto profile = [&](Index row, int which) {
        const auto x = [&](Index j) { return g.Src(row, i + (j - 2) * g.e); };
        const float p = x(0) + x(4), q = x(1) + x(3), m = x(2);
        if (gauss) {
            const float w[3][3] = {{2, 7, 12}, {7, 31, 52}, {12, 52, 127}};
            return (w[which][0] * p + w[which][1] * q) + w[which][2] * m;
        }
        if (which == 0)
            return (-p - 3.0f * q) - 4.0f * m;
        if (which == 1)
            return 6.0f * m - 3.0f * p;
        return (20.0f * m + 6.0f * q) - 4.0f * p;
    };
    const float s = (((profile(y - 2, 0) + profile(y - 1, 1)) + profile(y, 2)) + profile(y + 1, 1)) +
                    profile(y + 2, 0);
    return gauss ? s * static_cast<float>(1.0 / 571.0) : s;
}

Output OutputOf(const std::string& filter, int layout, int form)
{
    const bool pixels = layout == 4, three = layout == 3;
    constexpr float fifth = 0.04f, ninth = 0x1.c71c72p-4f;
    if (filter == "Lowpass5x5")
        return [=](Part part, const Terms& t, float) {
            if (pixels)
                return (((t(0) + t(2)) + t(4)) + (t(1) + t(3))) * fifth;
            if (part == Part::Loop)
                return (three ? (t(2) + t(1)) + ((t(0) + t(4)) + t(3))
                              : (((t(2) + t(0)) + t(1)) + t(4)) + t(3)) * fifth;
            return ((((t(0) + t(1)) + t(2)) + t(3)) + t(4)) * fifth;
        };
    if (filter == "Lowpass3x3")
        return [=](Part part, const Terms& t, float) {
            if (pixels || part != Part::Loop)
                return ((t(0) + t(1)) + t(2)) * ninth;
            return ((t(2) + t(0)) + t(1)) * ninth;
        };
    if (filter == "Laplace3x3" || filter == "Hipass3x3")
        return [=](Part part, const Terms& t, float x) {
            const float x9 = x * 9.0f;
            if (part == Part::Head && !pixels)
                return x9 - ((t(0) + t(1)) + t(2));
            if (part == Part::Loop && !pixels)
                return ((x9 - t(0)) - t(2)) - t(1);
            return ((x9 - t(0)) - t(1)) - t(2);
        };
    if (filter == "Hipass5x5")
        return [=](Part part, const Terms& t, float x) {
            const float x25 = x * 25.0f;
            // Each output's own window sum where a running sum would reach past it.
            if (pixels || (part == Part::Tail && !three))
                return x25 - ((((t(0) + t(1)) + t(2)) + t(3)) + t(4));
            const int* order;
            static const int ones[] = {0, 4, 1, 2, 3}, headOfThree[] = {0, 1, 2, 4, 3},
                             loopOfThree[] = {0, 4, 1, 2, 3}, tailOfThree[] = {0, 1, 2, 3, 4};
            order = !three ? ones : part == Part::Head ? headOfThree : part == Part::Loop ? loopOfThree : tailOfThree;
            float v = x25;
            for (int k = 0; k < 5; ++k)
                v = v - t(order[k]);
            return v;
        };
    if (filter == "Sharpen")
        return [=](Part part, const Terms& t, float x) {
            const float x17 = x * 17.0f;
            if (part == Part::Head && !pixels)
                return (x17 - ((t(0) + t(1)) + t(2))) * 0.125f;
            if (part == Part::Loop && !pixels)
                return (((x17 - t(0)) - t(2)) - t(1)) * 0.125f;
            return (((x17 - t(0)) - t(1)) - t(2)) * 0.125f;
        };
    if (filter == "SobelVert")
        return [](Part, const Terms& t, float) { return t(0) - t(2); };
    if (filter == "SobelHoriz")
        return [=](Part part, const Terms& t, float) {
            const bool loop = part == Part::Loop && !pixels;
            if (form == 0)
                return pixels || !loop ? (t(0) + t(1)) + t(2) : (t(2) + t(0)) + t(1);
            return pixels || !loop ? (t(0) + t(2)) + (t(1) + t(1)) : (t(2) + t(0)) + (t(1) + t(1));
        };
    if (filter == "Gauss3x3")
        return [](Part, const Terms& t, float) { return ((t(0) + (t(1) + t(1))) + t(2)) * 0.0625f; };
    throw std::invalid_argument("no column-1 reference for " + filter);
}

} // namespace

std::vector<float> Column1Floats(const std::string& filter, const Column1Call& call)
{
    const Geometry g{call, call.layout == 1 ? 1 : call.layout == 3 ? 3 : 4};
    const Index n = g.n();
    std::vector<float> out;
    const bool ring = filter == "Gauss5x5" || filter == "Laplace5x5";
    const Output output = ring ? Output{} : OutputOf(filter, call.layout, call.form);
    for (Index y = 0; y < call.height; ++y) {
        Sums sums;
        if (filter == "Lowpass5x5" || filter == "Hipass5x5")
            sums = Sum5(g, y);
        else if (filter == "SobelHoriz")
            sums = PairDiff(g, y);
        else if (!ring)
            sums = Sum3(g, y, filter == "Gauss3x3" || (filter == "SobelVert" && call.form == 1) ? 1 : 0);
        const std::uintptr_t dst = call.dst + static_cast<std::uintptr_t>(y * call.dstStep);
        for (Index i = 0; i < n; ++i) {
            if (call.layout == 4 && i % 4 == 3) {
                out.push_back(std::numeric_limits<float>::quiet_NaN());
                continue;
            }
            const Part part = call.layout == 4 ? Part::Loop : PartOf(dst, n, i);
            out.push_back(ring ? RingOutput(g, y, i, filter == "Gauss5x5")
                               : output(part, Terms{sums, i, g.e}, g.Src(y, i)));
        }
    }
    return out;
}
