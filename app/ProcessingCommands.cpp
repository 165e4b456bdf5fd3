// The image-processing engineer's wiring of the "&Image Processing" menu into the command
// registry (CDocument::AddClassCommand). Until then the menu's items stay disabled.
#include "app/ProcessingCommands.h"

void RegisterProcessingCommands(CMainFrame& mainFrame)
{
    (void)mainFrame;
}
