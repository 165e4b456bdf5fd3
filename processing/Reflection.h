// Index reflection for borders and mirrored rows that may be wider than the line itself:
// the mirror is applied again as often as it takes, so every index lands inside the line.
#pragma once

#include <cstddef>

// Mirror with the edge sample repeated (..., 1, 0 | 0, 1, ..., n-1 | n-1, n-2, ...).
constexpr std::size_t ReflectEdgeRepeated(std::ptrdiff_t u, std::size_t n)
{
    const auto period = static_cast<std::ptrdiff_t>(2 * n);
    std::ptrdiff_t m = u % period;
    if (m < 0)
        m += period;
    return static_cast<std::size_t>(m < static_cast<std::ptrdiff_t>(n) ? m : period - 1 - m);
}

// Mirror about the edge sample itself (..., 2, 1 | 0, 1, ..., n-1 | n-2, n-3, ...).
constexpr std::size_t ReflectAboutEdge(std::ptrdiff_t u, std::size_t n)
{
    if (n < 2)
        return 0;
    const auto period = static_cast<std::ptrdiff_t>(2 * (n - 1));
    std::ptrdiff_t m = u % period;
    if (m < 0)
        m += period;
    return static_cast<std::size_t>(m < static_cast<std::ptrdiff_t>(n) ? m : period - m);
}
