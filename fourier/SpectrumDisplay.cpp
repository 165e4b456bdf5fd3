#include "fourier/SpectrumDisplay.h"

#include <cmath>

#include "image/ImageStatistics.h"
#include "image/SpmImage.h"
#include "platform/core/NumberText.h"

double SpectrumTopValue(CSpmImage& display)
{
    display.m_nBins = kSpectrumBins;
    ComputeHistogram(display);
    for (std::size_t i = display.m_pHistogram.size(); i-- > 0;)
        if (display.m_pHistogram[i] > 3)
            return display.m_dMin + static_cast<double>(i) / kSpectrumBins * (display.m_dMax - display.m_dMin);
    return display.m_dMax;
}

void ApplyLinView(CSpmImage& display, int colorRange, double topValue)
{
    display.m_dMax = colorRange * 0.001 * topValue;
}

void ApplyLogView(CSpmImage& display)
{
    for (double& z : display.m_pData) {
        z = std::max(z, kLogFloor);
        z = z > 0.0 ? std::log(z) : 0.0;
    }
    ComputeMinMax(display);
}

void SetDisplayTexts(CSpmImage& image, int decimals)
{
    image.m_strMinText = "MinVal = " + FormatFixed(image.m_dMin, decimals);
    image.m_strMaxText = "MaxVal = " + FormatFixed(image.m_dMax, decimals);
}
