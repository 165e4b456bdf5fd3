// The bracketing median against a full sort, on lines that favour and defeat its sample.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "processing/LineMedian.h"

TEST(LineMedian, EqualsTheMiddleOfAFullSort)
{
    std::mt19937 random(5);
    std::normal_distribution<double> normal(0.0, 3.0);
    using Fill = std::function<double(std::size_t, std::size_t)>;
    const std::pair<const char*, Fill> kinds[] = {
        {"random", [&](std::size_t, std::size_t) { return normal(random); }},
        {"ascending", [](std::size_t i, std::size_t) { return static_cast<double>(i); }},
        {"descending", [](std::size_t i, std::size_t n) { return static_cast<double>(n - i); }},
        {"constant", [](std::size_t, std::size_t) { return 2.5; }},
        {"few values", [&](std::size_t, std::size_t) { return static_cast<double>(random() % 3); }},
        // The sampled positions hold the extremes, so the bracket misses the median.
        {"sample trap", [](std::size_t i, std::size_t n) { return i * 32 % n < 32 ? (i % 2 ? 1e9 : -1e9) : 0.5 * i; }},
        {"half spikes", [&](std::size_t i, std::size_t) { return i % 2 ? 1e6 + normal(random) : normal(random); }},
    };
    std::vector<double> scratch, line, sorted;
    for (const auto& [name, fill] : kinds)
        for (std::size_t n : {1u, 2u, 63u, 64u, 65u, 100u, 1023u, 1024u}) {
            for (line.clear(); line.size() < n;)
                line.push_back(fill(line.size(), n));
            sorted = line;
            std::sort(sorted.begin(), sorted.end());
            EXPECT_EQ(LineMedian(line, scratch), sorted[n / 2]) << name << " " << n;
        }
    EXPECT_EQ(LineMedian({}, scratch), 0.0);
}
