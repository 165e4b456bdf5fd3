// Scaling of the spectrum display image: the top value from a 3000-bin histogram, the linear
// view cut at a share of it, and the logarithmic view.
#pragma once

class CSpmImage;

inline constexpr int kSpectrumBins = 3000;
// The smallest magnitude the logarithmic view shows: ln(1e-6).
inline constexpr double kLogFloor = 1e-6;

// minimum + i / 3000 x range for the highest bin i holding more than 3 values; the maximum
// when no bin does.
double SpectrumTopValue(CSpmImage& display);
// Maximum = colorRange x 0.001 x top value.
void ApplyLinView(CSpmImage& display, int colorRange, double topValue);
// Heights below 1e-6 raised to it, then their logarithm; the range recomputed.
void ApplyLogView(CSpmImage& display);
// "MinVal = %.<decimals>f" and "MaxVal = ..." of the image's range.
void SetDisplayTexts(CSpmImage& image, int decimals);
