// The median of one line's differences: the value at position n / 2 of the ascending order
// (the upper middle for an even count), as a full sort would give it.
#pragma once

#include <span>
#include <vector>

// Reorders `values`; `scratch` is working room kept between calls. An empty span gives 0.
double LineMedian(std::span<double> values, std::vector<double>& scratch);
