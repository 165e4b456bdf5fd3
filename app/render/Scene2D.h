// The 2D view's picture: an orthographic top view of the lit, height-coloured surface that
// fills the window's height with the image's aspect kept, row 0 at the top, a line of point
// texts above the image, the scan size below it and the selection over it.
#pragma once

#include <span>

#include "presentation/PresentationConfig.h"
#include "presentation/ViewArrays.h"
#include "presentation/ViewTexts.h"

class CSpmImage;

// The document's selection as the picture draws it; points in image columns and rows.
struct Selection2D {
    int mode = 0;  // 0 none, 1 two points, 2 rectangle, 3 three points
    ImagePoint p1, p2, p3;
    bool placed1 = false;
    bool placed2 = false;
    double cursorA = 0.25;  // profile cursors, fractions of p1..p2
    double cursorB = 0.75;
};

struct Scene2D {
    const CSpmImage& image;
    const CPresentationConfig& settings;
    const SurfaceArrays& arrays;
    Selection2D selection;
    int width = 0;  // window, device pixels
    int height = 0;
    bool coarse = false;
    double pixelRatio = 1.0;  // device pixels per window pixel: text and line widths follow it
};

// Projection margin around the image.
inline constexpr float kMargin2D = 1.15f;

// Draws the picture into the current framebuffer.
void RenderScene2D(const Scene2D& scene);

// The window rectangle (origin bottom left) that a copy of the 2D view takes for a window
// of width x height showing an image of columns x rows: about the image area, without the
// text lines. The columns-to-rows ratio is a real number (integer division copied nothing
// from an image taller than wide).
struct CopyRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
CopyRect CopyRect2D(int width, int height, int columns, int rows);
