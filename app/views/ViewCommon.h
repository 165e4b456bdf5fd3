// What the 2D and 3D views share beside the paint road: the colour-source lookup with its message, and the sole-image rule of the first update.
#pragma once

#include <QCursor>

#include <string>

#include "app/CommandIds.h"
#include "app/render/GLCanvas.h"
#include "app/views/ViewLookup.h"

// On a view's first update: a document of one image shows that image, whatever the frame
// was opened with.
void AdoptSoleImage(CView& view);
// The colour source of the shown image; a name the document does not know is reported once
// per view as `prefix` + name + `suffix`, and the image colours itself from then on.
ColourSource LookUpColour(CGLCanvas& canvas, const CView& view, const ShownImage& shown,
                          const std::string& prefix, const std::string& suffix);
// The cursor of a selection being placed (resource 157) and of a height drag (159).
QCursor SelectionCursor();
QCursor ZScaleCursor();
// The main frame's FastRenderSceneMode and XYMatrixSize (the defaults without one).
RenderOptions MainFrameRenderOptions();
