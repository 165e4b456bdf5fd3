// What the mouse does in the 2D and 3D views, without widgets: mapping a 2D mouse point to
// image columns and rows, the selection clicks, and the 3D drags that turn, tilt and stretch
// the surface within their limits.
#pragma once

#include "document/MDIDoc.h"
#include "presentation/ViewArrays.h"

// The image point under a mouse point of a 2D view of width x height (the image fills the
// view's height, centred), clamped into the header's columns and rows.
ImagePoint MouseToImage(int x, int y, int width, int height, const CSpmImage& image);

// A mouse move over a 2D view: while the second point is not placed it follows the mouse,
// and every point not yet placed follows it.
void FollowMouse(CMDIDoc& doc, ImagePoint point);
// A click in selection mode 1 or 2 places point 1, then point 2; in mode 3 point 1, then
// point 3, then point 2; the click after the last restarts (points 1 and 3 go to point 2).
// Returns false in mode 0 (nothing changes).
bool ClickSelection(CMDIDoc& doc);

// The coarse list for the present image and XYMatrixSize: rebuilt when missing or made for
// another size or step (a precise render leaves none).
void EnsureCoarseIndices(const CSpmImage& image, int matrixSize, SurfaceArrays& arrays);

// A drag in the 3D view: where it started and the values it started from; a clamp moves the
// anchor so that moving back changes the value at once.
struct Drag3D {
    int x = 0;
    int y = 0;
    float angle = 0.0f;
    float tilt = 0.0f;
    int zy = 0;
    float zScale = 0.0f;
};

inline constexpr float kMaxZScale = 500.0f;
inline constexpr float kMinZScale = 0.1f;
inline constexpr float kMaxTilt = 90.0f;

// Left button: the angle turns 0.3 degrees per pixel (a drag to the right lowers it) and
// wraps into 0..360 however many turns the drag makes; the tilt follows the vertical drag by
// 0.2 per pixel within 0..90. Both are kept to two decimals.
void DragTurn(Drag3D& drag, int x, int y, CPresentationConfig& settings);
// Right button: the Z scale follows the upward drag by 1 per pixel within 0.1..500, kept to
// two decimals.
void DragZScale(Drag3D& drag, int y, CPresentationConfig& settings);
