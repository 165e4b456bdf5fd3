// What the 2D and 3D views share beside the paint road: command ids, the colour-source lookup with its message, and the sole-image rule of the first update.
#pragma once

#include <QCursor>

#include <string>

#include "app/views/ViewLookup.h"

class CGLCanvas;

inline constexpr int kCmdEditCopy = 57634;
inline constexpr int kCmdTwoPointMode = 32806;
inline constexpr int kCmdRectMode = 32807;
inline constexpr int kCmdThreePointMode = 32812;
inline constexpr int kCmdViewNothing = 32781;  // enabled, does nothing

// On a view's first update: a document of one image shows that image, whatever the frame
// was opened with.
void AdoptSoleImage(CView& view);
// The colour source of the shown image; a name the document does not know is reported once
// per view as `prefix` + name + `suffix`, and the image colours itself from then on.
ColourSource LookUpColour(CGLCanvas& canvas, const CView& view, const ShownImage& shown,
                          const std::string& prefix, const std::string& suffix);
// The cursor of a selection being placed.
QCursor SelectionCursor();
