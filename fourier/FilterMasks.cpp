// The response needs (d / D0)^(2n) for a whole n: it is formed from squared distances by
// repeated squaring, so neither a square root nor pow runs per cell.
#include <algorithm>
#include <cmath>

#include "fourier/FilterPrimitive.h"
#include "fourier/FourierWorkspace.h"

namespace {

constexpr double kDegree = 0.017453292519943295;
constexpr double kPi = 3.141592653589793;

double WholePower(double base, std::uint32_t exponent)
{
    double result = 1.0;
    while (exponent != 0) {
        if (exponent & 1u)
            result *= base;
        base *= base;
        exponent >>= 1;
    }
    return result;
}

struct Centre {
    double cos = 1.0;
    double sin = 0.0;
    double x = 0.0;
    double y = 0.0;
};

// Where a lobe stands on a side of n cells, `offset` cells from the zero frequency. An even
// side keeps the whole cell its masks always had, the place cut toward zero. An odd side has
// its zero frequency between two cells, and a whole cell there would stand half a cell off
// it: the lobe stands at exactly the offset, as a line's lobes do, so that a primitive's two
// lobes mirror each other about the zero frequency.
double LobePlace(double offset, std::size_t n)
{
    if (n % 2 == 0)
        return std::trunc(offset + static_cast<double>(n / 2));
    return 0.5 * static_cast<double>(n) + offset;
}

Centre PlaceCentre(double theta, double shift, std::size_t pw, std::size_t ph)
{
    Centre c{std::cos(theta), std::sin(theta)};
    c.x = LobePlace(pw * c.sin * shift * 0.5, pw);
    c.y = LobePlace(ph * c.cos * shift * 0.5, ph);
    return c;
}

// 1 / (1 + (d / D0)^2n) from the squared distance d^2.
double Butterworth(const FilterPrimitive& p, double d2, double invD0Squared)
{
    return 1.0 / (1.0 + WholePower(d2 * invD0Squared, p.Oder));
}

// The response of the cell (x, y) to one centre of the plane's spectrum.
double Lobe(const FilterPrimitive& p, const Centre& c, double invD0Squared, std::ptrdiff_t x,
            std::ptrdiff_t y)
{
    const double dx = static_cast<double>(x) - c.x, dy = static_cast<double>(y) - c.y;
    const double u = (dx * c.cos - dy * c.sin) / p.Xcomp;
    const double v = (dx * c.sin + dy * c.cos) / p.Ycomp;
    return Butterworth(p, p.Type == 0 ? u * u + v * v : u * u, invD0Squared);
}

// Low-pass: the two lobes, at most 1; high-pass: what they leave, at least 0.
double Combine(const FilterPrimitive& p, double first, double second)
{
    return p.LoPass == 0 ? std::min(first + second, 1.0) : std::max(1.0 - first - second, 0.0);
}

double InvD0Squared(const FilterPrimitive& p, const FourierWorkspace& ws)
{
    const double d0 = static_cast<double>(ws.PaddedWidth()) * p.Cutoff * 0.5 / ws.m_dFactor;
    return 1.0 / (d0 * d0);
}

// A line spectrum's frequency runs along x alone; its rows are lines of the image, not
// frequencies. A primitive therefore acts on every row alike, by the distance along x: a
// shape of one dimension cannot turn and has nothing across it to stretch, so Circle and
// Rectangle agree, Ycomp has no part and Xcomp alone scales the distance, and Angle only
// directs the shift, of which the line takes the part along it. The two centres stand at
// exactly plus and minus that part, unrounded: a line's spectrum pairs every frequency with
// its negative, and a filter that weighs both alike leaves the filtered line real.
std::vector<double> LineResponse(const FilterPrimitive& p, const FourierWorkspace& ws)
{
    const std::size_t pw = ws.PaddedWidth();
    const double shift = p.Shift / ws.m_dFactor;
    const double offset = static_cast<double>(pw) * std::sin(p.Angle * kDegree) * shift * 0.5;
    const double invD0Squared = InvD0Squared(p, ws);
    std::vector<double> row(pw);
    for (std::size_t x = 0; x < pw; ++x) {
        const double k = static_cast<double>(x) - ws.ZeroFrequencyX();
        const double u1 = (k - offset) / p.Xcomp, u2 = (k + offset) / p.Xcomp;
        const double second = shift != 0.0 ? Butterworth(p, u2 * u2, invD0Squared) : 0.0;
        row[x] = Combine(p, Butterworth(p, u1 * u1, invD0Squared), second);
    }
    return row;
}

// Every cell of the plane, row after row, takes response(x, y), or is multiplied by it.
template <typename Response>
void WriteCells(std::vector<double>& plane, const FourierWorkspace& ws, bool multiply, Response response)
{
    const std::size_t pw = ws.PaddedWidth(), ph = ws.PaddedHeight();
    for (std::size_t y = 0; y < ph; ++y)
        for (std::size_t x = 0; x < pw; ++x) {
            const double r = response(static_cast<std::ptrdiff_t>(x), static_cast<std::ptrdiff_t>(y));
            double& cell = plane[y * pw + x];
            cell = multiply ? cell * r : r;
        }
}

// The response of one primitive, for the spectra the workspace holds.
void WriteResponse(const FilterPrimitive& p, const FourierWorkspace& ws, std::vector<double>& plane,
                   bool multiply)
{
    if (ws.m_nMode != kFourierXY) {
        const std::vector<double> line = LineResponse(p, ws);
        WriteCells(plane, ws, multiply, [&line](std::ptrdiff_t x, std::ptrdiff_t) { return line[x]; });
        return;
    }
    const std::size_t pw = ws.PaddedWidth(), ph = ws.PaddedHeight();
    const double theta = p.Angle * kDegree;
    const double shift = p.Shift / ws.m_dFactor;
    const Centre first = PlaceCentre(theta, shift, pw, ph);
    const Centre second = PlaceCentre(theta + kPi, shift, pw, ph);
    const double invD0Squared = InvD0Squared(p, ws);
    const bool twoCentres = shift != 0.0;
    WriteCells(plane, ws, multiply, [&](std::ptrdiff_t x, std::ptrdiff_t y) {
        const double l2 = twoCentres ? Lobe(p, second, invD0Squared, x, y) : 0.0;
        return Combine(p, Lobe(p, first, invD0Squared, x, y), l2);
    });
}

// Zeroes or keeps every cell of the current spectrum by its offsets from the zero frequency.
template <typename Kept>
void IdealFilter(FourierWorkspace& ws, Kept kept)
{
    const std::size_t pw = ws.PaddedWidth(), ph = ws.PaddedHeight();
    for (std::size_t y = 0; y < ph; ++y) {
        const double dy = static_cast<double>(y) - ws.ZeroFrequencyY();
        for (std::size_t x = 0; x < pw; ++x) {
            const std::size_t i = y * pw + x;
            const bool keep = kept(static_cast<double>(x) - ws.ZeroFrequencyX(), dy);
            ws.m_pSpectrumRe[i] = keep ? ws.m_pUnfilteredRe[i] : 0.0;
            ws.m_pSpectrumIm[i] = keep ? ws.m_pUnfilteredIm[i] : 0.0;
        }
    }
}

} // namespace

std::vector<FilterPrimitive> DefaultPrimitives()
{
    return {FilterPrimitive{0, 0, 4, 0.3, 1.0, 1.0, 0.0, 0},
            FilterPrimitive{1, 0, 20, 0.03, 1.0, 50.0, 0.7, 0}};
}

bool HasZeroDivisor(const FilterPrimitive& p)
{
    return p.Cutoff == 0.0 || p.Xcomp == 0.0 || p.Ycomp == 0.0;
}

bool BuildPrimitiveMask(const FilterPrimitive& primitive, const FourierWorkspace& workspace,
                        std::vector<double>& mask)
{
    return BuildListMask({primitive}, workspace, mask);
}

bool BuildListMask(const std::vector<FilterPrimitive>& list, const FourierWorkspace& workspace,
                   std::vector<double>& mask)
{
    if (list.empty() || workspace.Cells() == 0)
        return false;
    for (const FilterPrimitive& p : list)
        if (HasZeroDivisor(p))
            return false;
    mask.resize(workspace.Cells());
    for (std::size_t i = 0; i < list.size(); ++i)
        WriteResponse(list[i], workspace, mask, i != 0);
    return true;
}

int MultiplySpectrumByMask(const std::vector<double>& mask, FourierWorkspace& ws)
{
    if (mask.size() != ws.Cells())
        return 0;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        ws.m_pSpectrumRe[i] = ws.m_pUnfilteredRe[i] * mask[i];
        ws.m_pSpectrumIm[i] = ws.m_pUnfilteredIm[i] * mask[i];
    }
    return 1;
}

int LineIdealFilter(int cutoff, int highPass, FourierWorkspace& workspace)
{
    IdealFilter(workspace, [cutoff, highPass](double dx, double) {
        const double d = std::fabs(dx);
        return highPass != 0 ? d >= cutoff : d <= cutoff;
    });
    return 1;
}

// The squared distance against the squared radius: the same decision as the distance
// against the radius, without a square root per cell. The offsets are whole or half cells,
// whose squares a double holds exactly.
int CircleIdealFilter(int radius, int highPass, FourierWorkspace& workspace)
{
    const double r2 = static_cast<double>(radius) * radius;
    IdealFilter(workspace, [radius, r2, highPass](double dx, double dy) {
        if (radius < 0)
            return highPass != 0;
        const double d2 = dx * dx + dy * dy;
        return highPass != 0 ? d2 >= r2 : d2 <= r2;
    });
    return 1;
}
