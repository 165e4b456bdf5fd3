#include "Column234Reference.h"

#include <cstring>
#include <functional>
#include <limits>
#include <stdexcept>

namespace {

// Where in a row an output element lies, which decides its order of additions.
enum class Part { First, Second, Block, Tail, Single };

Part PartOf(Index i, Index n, Index e)
{
    if (e == 4) {
        const Index pixel = i / 4, pixels = n / 4;
        if (pixel < pixels - pixels % 2)
            return pixel % 2 == 0 ? Part::First : Part::Second;
        return Part::Single;
    }
    const Index passes = n - n % 8;
    if (i < passes)
        return i % 8 < 4 ? Part::First : Part::Second;
    return n - passes >= 4 && i < passes + 4 ? Part::Block : Part::Tail;
}

struct Geometry {
    const Column234Call& call;
    Index e;
    Index n() const { return e * call.width; }
    // Source element k of row y, both counted from the region's first element.
    float Src(Index y, Index k) const
    {
        float v;
        std::memcpy(&v, call.src + y * call.srcStep + 4 * k, sizeof v);
        return v;
    }
};

using Sums = std::vector<float>;

// The work buffer of output row y: element k lies `pixels` pixels left of the region.
Sums Vertical(const Geometry& g, Index pixels, const std::function<float(Index)>& at)
{
    Sums s(static_cast<std::size_t>(g.n() + 2 * pixels * g.e));
    for (Index k = 0; k < static_cast<Index>(s.size()); ++k)
        s[static_cast<std::size_t>(k)] = at(k - pixels * g.e);
    return s;
}

// The three-row sums: (a + b) + c, weighted (a + 2b) + c.
Sums ColumnSums3(const Geometry& g, Index y, int form)
{
    return Vertical(g, 1, [&](Index k) {
        const float a = g.Src(y - 1, k), b = g.Src(y, k), c = g.Src(y + 1, k);
        return form == 0 ? (a + b) + c : (a + (b + b)) + c;
    });
}

// The five-row sums, each summed afresh for its row: ((((r0 + r1) + r2) + r3) + r4).
Sums ColumnSums5(const Geometry& g, Index y)
{
    return Vertical(g, 2, [&](Index k) {
        return (((g.Src(y - 2, k) + g.Src(y - 1, k)) + g.Src(y, k)) + g.Src(y + 1, k)) +
               g.Src(y + 2, k);
    });
}

// The row below minus the row above.
Sums RowDifferences(const Geometry& g, Index y)
{
    return Vertical(g, 1, [&](Index k) { return g.Src(y + 1, k) - g.Src(y - 1, k); });
}

// The buffer terms of element i: t[j] = s[i + j e].
struct Terms {
    float t[5];
};

Terms TermsAt(const Sums& s, Index i, Index e, int count)
{
    Terms t{};
    for (int j = 0; j < count; ++j)
        t.t[j] = s[static_cast<std::size_t>(i + j * e)];
    return t;
}

// ---- The output orders, filter by filter ----

// 9 x - (L + M + R).
float CentreMinusSum3(Part part, Index e, bool keep, float x, const float* t)
{
    const float nine = x * 9.0f, l = t[0], m = t[1], r = t[2];
    if (e == 1 || part == Part::Tail)
        return ((nine - l) - m) - r;
    if (e == 3) {
        switch (part) {
        case Part::First: return (nine - (l + m)) - r;
        case Part::Second: return ((nine - l) - m) - r;
        default: return nine - ((l + m) + r);
        }
    }
    switch (part) {
    case Part::First: return keep ? (nine - l) - (m + r) : nine - (l + (m + r));
    case Part::Second: return keep ? (nine - (l + m)) - r : nine - ((l + m) + r);
    default: return nine - ((l + m) + r);
    }
}

// (17 x - (L + M + R)) x 0.125.
float Sharpen(Part part, Index e, bool keep, float x, const float* t)
{
    const float c = x * 17.0f, l = t[0], m = t[1], r = t[2];
    if (e == 1 || part == Part::Tail)
        return (((c - l) - m) - r) * 0.125f;
    if (e == 3) {
        switch (part) {
        case Part::First: return ((c - (l + m)) - r) * 0.125f;
        case Part::Second: return (((c - l) - m) - r) * 0.125f;
        default: return (c - ((l + m) + r)) * 0.125f;
        }
    }
    switch (part) {
    case Part::First: return (keep ? (c - l) - (m + r) : c - (l + (m + r))) * 0.125f;
    case Part::Second: return (keep ? (c - (l + m)) - r : c - ((l + m) + r)) * 0.125f;
    default: return (c - ((l + m) + r)) * 0.125f;
    }
}

// The five column sums of element i, in the order of its part: four-element pixels each
// from the left, (((w0 + w1) + w2) + w3) + w4.
float Sum5Terms(Part part, Index e, Index i, const float* t)
{
    if (e == 4)
        return (((t[0] + t[1]) + t[2]) + t[3]) + t[4];
    if (e == 1) {
        if (part == Part::Tail)
            return (((t[0] + t[1]) + t[2]) + t[3]) + t[4];
        return ((t[0] + t[4]) + (t[1] + t[2])) + t[3];
    }
    // Three channels: the passes add the far terms last, the block and the tail the middle
    // one; the start of the sum follows the element's place within eight.
    const bool nearFirst = i % 8 < 4;
    const float start = nearFirst ? (t[0] + t[2]) + t[1] : (t[0] + t[1]) + t[2];
    if (part == Part::First || part == Part::Second)
        return (start + t[3]) + t[4];
    return (start + t[4]) + t[3];
}

// The highpass's three-channel tail is one more block: its order does not follow the place.
float HipassSum(Part part, Index e, Index i, const float* t)
{
    return e == 3 && part == Part::Tail ? Sum5Terms(Part::Block, e, 0, t)
                                        : Sum5Terms(part, e, i, t);
}

float Smooth(Part part, Index e, int form, const float* t)
{
    const float a = t[0], b = t[1], c = t[2];
    if (form == 1) {
        if (e == 4)
            return (a + b) + (b + c);
        return part == Part::Tail ? (a + c) + (b + b) : (a + (b + b)) + c;
    }
    if (e == 4) {
        switch (part) {
        case Part::First: return a + (b + c);
        case Part::Second: return (a + b) + c;
        default: return (a + c) + b;
        }
    }
    return (a + b) + c;
}

// ---- Kernel set 1: the 5x5 profiles and their column pass ----

struct Profiles {
    Sums outer, middle, centre;
};

Profiles RowPass5x5(const Geometry& g, Index y, bool gauss)
{
    Profiles p;
    for (Index i = 0; i < g.n(); ++i) {
        const auto x = [&](int k) { return g.Src(y, i + (k - 2) * g.e); };
        const float pp = x(0) + x(4), q = x(1) + x(3), m = x(2);
        if (gauss) {
            p.outer.push_back((pp * 2.0f + q * 7.0f) + m * 12.0f);
            p.middle.push_back((pp * 7.0f + q * 31.0f) + m * 52.0f);
            p.centre.push_back((pp * 12.0f + q * 52.0f) + m * 127.0f);
        } else {
            p.outer.push_back((-pp - q * 3.0f) - m * 4.0f);
            p.middle.push_back(m * 6.0f - pp * 3.0f);
            p.centre.push_back((m * 20.0f + q * 6.0f) - pp * 4.0f);
        }
    }
    return p;
}

std::vector<float> Ring5x5(const Geometry& g, Index y, bool gauss)
{
    const Profiles a = RowPass5x5(g, y - 2, gauss), b = RowPass5x5(g, y - 1, gauss),
                   c = RowPass5x5(g, y, gauss), d = RowPass5x5(g, y + 1, gauss),
                   e = RowPass5x5(g, y + 2, gauss);
    std::vector<float> row;
    for (std::size_t i = 0; i < static_cast<std::size_t>(g.n()); ++i) {
        const float s = (((a.outer[i] + b.middle[i]) + c.centre[i]) + d.middle[i]) + e.outer[i];
        row.push_back(gauss ? s * 0x1.cb18a8p-10f : s);
    }
    return row;
}

// One output row of `filter`.
std::vector<float> OutputRow(const std::string& filter, const Geometry& g, Index y)
{
    const Index n = g.n(), e = g.e;
    const bool keep = g.call.layout == 4;
    const auto each = [&](const Sums& s, int terms,
                          const std::function<float(Part, Index, const float*)>& f) {
        std::vector<float> row;
        for (Index i = 0; i < n; ++i)
            row.push_back(f(PartOf(i, n, e), i, TermsAt(s, i, e, terms).t));
        return row;
    };
    const auto x = [&](Index i) { return g.Src(y, i); };
    if (filter == "Gauss5x5" || filter == "Laplace5x5")
        return Ring5x5(g, y, filter == "Gauss5x5");
    if (filter == "Gauss3x3")
        return each(ColumnSums3(g, y, 1), 3, [](Part, Index, const float* t) {
            return ((t[0] + (t[1] + t[1])) + t[2]) * 0.0625f;
        });
    if (filter == "Laplace3x3" || filter == "Hipass3x3")
        return each(ColumnSums3(g, y, 0), 3, [&](Part part, Index i, const float* t) {
            return CentreMinusSum3(part, e, keep, x(i), t);
        });
    if (filter == "Sharpen")
        return each(ColumnSums3(g, y, 0), 3, [&](Part part, Index i, const float* t) {
            return Sharpen(part, e, keep, x(i), t);
        });
    if (filter == "Lowpass3x3")
        return each(ColumnSums3(g, y, 0), 3, [&](Part, Index, const float* t) {
            return (e == 4 ? t[0] + (t[1] + t[2]) : (t[0] + t[1]) + t[2]) * 0x1.c71c72p-4f;
        });
    if (filter == "SobelVert")
        return each(ColumnSums3(g, y, g.call.form), 3,
                    [](Part, Index, const float* t) { return t[0] - t[2]; });
    if (filter == "SobelHoriz")
        return each(RowDifferences(g, y), 3, [&](Part part, Index, const float* t) {
            return Smooth(part, e, g.call.form, t);
        });
    if (filter == "Lowpass5x5")
        return each(ColumnSums5(g, y), 5, [&](Part part, Index i, const float* t) {
            return Sum5Terms(part, e, i, t) * 0.04f;
        });
    if (filter == "Hipass5x5")
        return each(ColumnSums5(g, y), 5, [&](Part part, Index i, const float* t) {
            return x(i) * 25.0f - HipassSum(part, e, i, t);
        });
    throw std::invalid_argument("no such filter: " + filter);
}

} // namespace

std::vector<float> Column234Floats(const std::string& filter, const Column234Call& call)
{
    const Geometry g{call, call.layout == 1 ? 1 : call.layout == 3 ? 3 : 4};
    std::vector<float> out;
    for (Index y = 0; y < call.height; ++y) {
        std::vector<float> row = OutputRow(filter, g, y);
        if (call.layout == 4)
            for (std::size_t i = 3; i < row.size(); i += 4)
                row[i] = std::numeric_limits<float>::quiet_NaN();
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}
