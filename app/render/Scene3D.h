// The 3D view's picture: the colour scale (with height colours on), the surface seen from a
// fixed eye after the record's tilt and angle, its border walls, the grid lines and an axis
// box with height and size labels.
#pragma once

#include <span>

#include "presentation/PresentationConfig.h"
#include "presentation/ViewArrays.h"

class CSpmImage;

struct Scene3D {
    const CSpmImage& image;
    const CPresentationConfig& settings;
    const SurfaceArrays& arrays;
    const CSpmImage& colourSource;        // gives the scale's title and values
    std::span<const COLORREF> colourTable;  // the colour source's table
    int width = 0;  // window, device pixels
    int height = 0;
    bool coarse = false;
    double pixelRatio = 1.0;  // device pixels per window pixel: text and line widths follow it
};

// The fixed projection used with perspective off, column by column.
inline constexpr float kOrthoMatrix3D[16] = {0.8f, 0, 0, 0, 0, 0.8f, 0, 0,
                                             0, 0, -0.1f, -0.1f, 0, 0, -0.1f, 0.7f};

// Draws the picture into the current framebuffer.
void RenderScene3D(const Scene3D& scene);
