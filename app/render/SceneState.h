// GL steps the 2D and 3D pictures share: clearing, material, light and the surface draw.
#pragma once

#include <GL/gl.h>

#include "presentation/PresentationConfig.h"
#include "presentation/ViewArrays.h"

// glColor3f of a COLORREF, each channel / 255.
void ColorOf(COLORREF colour);
// Clears colour and depth to the colour.
void ClearTo(COLORREF background);
void EnableIf(GLenum capability, bool on);
// Specular and emission of the record, no diffuse, shininess 128, on front faces.
void SetMaterial(const CPresentationConfig& settings);
// Lighting on with light 1 at the record's position (transformed by the current matrix).
void SetLight(const CPresentationConfig& settings);
// The triangle list, full or coarse, with the record's normals and colouring: height
// colours, one polygon colour, or (surface off) the background colour unlit. Lighting,
// when the caller left it on, applies only with the surface on.
void DrawSurface(const CPresentationConfig& settings, const SurfaceArrays& arrays, bool coarse);
