// A 256 x 256 work image of smooth random heights and its bordered workspace (W' = 384).
#pragma once

#include <cmath>
#include <random>

#include "fourier/FourierWorkspace.h"
#include "image/SpmImage.h"

inline CSpmImage RandomImage(int w, int h, unsigned seed = 7)
{
    CSpmImage image;
    image.m_nWidth = image.m_nUndoWidth = w;
    image.m_nHeight = image.m_nUndoHeight = h;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    for (int i = 0; i < w * h; ++i)
        image.m_pData.push_back(std::sin(i % w * 0.1) + 0.5 * noise(rng));
    image.m_pUndo = image.m_pData;
    return image;
}

inline double MaxDifference(const std::vector<double>& a, const std::vector<double>& b)
{
    double worst = a.size() == b.size() ? 0.0 : INFINITY;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        worst = std::max(worst, std::fabs(a[i] - b[i]));
    return worst;
}
