// What the 2D and 3D views share beside the paint road: the colour-source lookup with its message, and the sole-image rule of the first update.
#pragma once

#include <QCursor>

#include <string>

#include "app/CommandIds.h"
#include "app/views/ViewLookup.h"

class CGLCanvas;

// On a view's first update: a document of one image shows that image, whatever the frame
// was opened with.
void AdoptSoleImage(CView& view);
// The colour source of the shown image; a name the document does not know is reported once
// per view as `prefix` + name + `suffix`, and the image colours itself from then on.
ColourSource LookUpColour(CGLCanvas& canvas, const CView& view, const ShownImage& shown,
                          const std::string& prefix, const std::string& suffix);
// The cursor of a selection being placed.
QCursor SelectionCursor();
