// The commands of the "&Image Processing" menu, added to the document's handlers.
#pragma once

class CMainFrame;

void RegisterProcessingCommands(CMainFrame& mainFrame);
