#include "processing/LineMedian.h"

#include <algorithm>
#include <cstddef>

namespace {

// Lines shorter than this go straight to nth_element.
constexpr std::size_t kBracketFrom = 64;
constexpr std::size_t kSampleSize = 32;
// Sample ranks on each side of the sample's middle that bound the bracket.
constexpr std::size_t kSampleMargin = 5;

double SelectRank(std::span<double> values, std::size_t rank)
{
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(rank), values.end());
    return values[rank];
}

}  // namespace

// A sample of the line brackets the median between two of its values; one pass without
// branches counts what lies below the bracket and gathers what lies inside, and only that
// small part is ordered. Should the median fall outside the bracket, the whole line is.
double LineMedian(std::span<double> values, std::vector<double>& scratch)
{
    const std::size_t count = values.size();
    if (count == 0)
        return 0.0;
    const std::size_t rank = count / 2;
    if (count < kBracketFrom)
        return SelectRank(values, rank);
    double sample[kSampleSize];
    for (std::size_t i = 0; i < kSampleSize; ++i)
        sample[i] = values[i * count / kSampleSize];
    std::sort(sample, sample + kSampleSize);
    const double low = sample[kSampleSize / 2 - kSampleMargin];
    const double high = sample[kSampleSize / 2 + kSampleMargin];
    scratch.resize(count);
    std::size_t below = 0;
    std::size_t inside = 0;
    for (const double value : values) {
        below += value < low;
        scratch[inside] = value;
        inside += (value >= low) & (value <= high);
    }
    if (below <= rank && rank < below + inside)
        return SelectRank(std::span<double>(scratch).first(inside), rank - below);
    return SelectRank(values, rank);
}
