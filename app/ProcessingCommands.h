// The commands of the "&Image Processing" menu, Edit Undo and the selection-mode buttons'
// check marks, added to every document's handlers.
#pragma once

#include "processing/DocProcessingCommands.h"

class CCmdUI;
class CDocument;
class CMainFrame;

void RegisterProcessingCommands(CMainFrame& mainFrame);
// The commands of one document, with the main frame's active frame, wait cursor and palette
// panel: the 2D view's Crop and the Fourier tool's Replace Image go through here.
CDocProcessingCommands ProcessingCommandsOf(CDocument& doc);
// The update handler of a document command that acts on the active frame's image, as the
// saves of one image do: enabled while a 2D or 3D frame shows an image of `doc`.
void EnableWithActiveImage(CDocument& doc, CCmdUI& ui);
