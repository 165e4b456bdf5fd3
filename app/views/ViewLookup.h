// How a GL view finds what it shows: its frame's image by name in the document, on every
// use, and the colour source through the one shared lookup.
#pragma once

#include "document/MDIDoc.h"
#include "presentation/ColourSource.h"

class CView;

// The document's images by its own name rule, for LookUpColourSource.
ImageLookup DocumentImages(CMDIDoc& doc);

// The image the view's frame names with the record of the frame's kind.
struct ShownImage {
    ImageEntry* entry = nullptr;
    int settingsIndex = 0;

    explicit operator bool() const { return entry != nullptr; }
    CSpmImage& Image() const { return *entry->m_pImage; }
    CPresentationConfig& Settings() const { return (*entry->m_pSettings)[PairIndex(settingsIndex)]; }
    ImageRecords Records() const { return {entry->m_pImage.get(), entry->m_pSettings.get()}; }
};
ShownImage FindShownImage(const CView& view);
