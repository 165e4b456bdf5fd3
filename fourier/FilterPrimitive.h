// Frequency filters: Butterworth primitives (ellipse or band, one centre or two mirrored
// about the spectrum's centre), masks built from one primitive or the product of a list,
// and the ideal filters of the live drag, which act on the current spectrum directly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FourierWorkspace;

struct FilterPrimitive {
    std::int32_t LoPass = 0;   // 0 low-pass, any other value high-pass
    std::uint32_t Type = 0;    // 0 ellipse ("Circle"), any other value band ("Rectangle")
    std::uint32_t Oder = 4;    // Butterworth order n; the response uses 2n
    double Cutoff = 0.3;       // D0 = W' * Cutoff / (2 * factor) cells
    double Xcomp = 1.0;        // divisor of the turned horizontal distance
    double Ycomp = 1.0;        // divisor of the turned vertical distance
    double Shift = 0.0;        // distance of the two centres from the centre; 0: one centre
    std::int32_t Angle = 0;    // whole degrees

    bool operator==(const FilterPrimitive&) const = default;
};

// The two primitives of "Load Def" and of the opening.
std::vector<FilterPrimitive> DefaultPrimitives();

// The divisors of the response must not be 0: "the mask keeps its old values" then.
inline constexpr const char* kTextZeroDivisor =
    "CutOff, Xexpansion and Yexpansion must not be 0: the filter is kept as it was";
bool HasZeroDivisor(const FilterPrimitive& primitive);

// The mask (W' x H' weights, row-major) of one primitive, or the product over the list, for
// the spectra of the workspace's last forward transform: in the line directions every row
// weighs its frequencies alike, by their distance along x. False, leaving the mask as it
// was, when a primitive has a zero divisor or the list is empty.
bool BuildPrimitiveMask(const FilterPrimitive& primitive, const FourierWorkspace& workspace,
                        std::vector<double>& mask);
bool BuildListMask(const std::vector<FilterPrimitive>& list, const FourierWorkspace& workspace,
                   std::vector<double>& mask);

// Current spectrum = unfiltered spectrum x mask.
int MultiplySpectrumByMask(const std::vector<double>& mask, FourierWorkspace& workspace);
// Keeps the unfiltered spectrum's cells whose column distance from the centre column lies
// on the kept side of `cutoff` (distance <= cutoff low-pass, >= high-pass) and zeroes the
// others in the current spectrum.
int LineIdealFilter(int cutoff, int highPass, FourierWorkspace& workspace);
// The same with the distance from the centre cell.
int CircleIdealFilter(int radius, int highPass, FourierWorkspace& workspace);
