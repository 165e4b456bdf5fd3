// The palettes that follow an image's heights: stretched over a new range after a command,
// kept with the undo copy and given back by Undo.
#include "document/MDIDoc.h"

#include "document/DocumentShared.h"
#include "presentation/PresentationFile.h"

std::vector<CPresentationConfig*> CMDIDoc::RecordsColouredBy(const CSpmImage& image)
{
    std::vector<CPresentationConfig*> records;
    for (ImageEntry& entry : m_imageList) {
        for (CPresentationConfig& record : *entry.m_pSettings) {
            // A record whose colour image is unknown colours its own image.
            const ImageEntry* source = FindImage(record.m_NameOfImageForColor);
            if ((source != nullptr ? source->m_pImage.get() : entry.m_pImage.get()) == &image)
                records.push_back(&record);
        }
    }
    return records;
}

void CMDIDoc::RefitPalettes(CSpmImage& image)
{
    const auto [whole, automatic] = RangesOf(image);
    for (CPresentationConfig* record : RecordsColouredBy(image))
        RefitColorCursors(record->m_ColorCursors, whole, automatic);
}

void CMDIDoc::KeepPalettesForUndo(const CSpmImage& image)
{
    ImageEntry* entry = EntryOf(image);
    if (entry == nullptr)
        return;
    entry->m_undoPalettes.clear();
    for (CPresentationConfig* record : RecordsColouredBy(image))
        entry->m_undoPalettes.push_back({record, record->m_ColorCursors});
}

void CMDIDoc::RestorePalettesForUndo(CSpmImage& image)
{
    RefitPalettes(image);
    ImageEntry* entry = EntryOf(image);
    if (entry == nullptr)
        return;
    // A record that has taken another colour image since keeps what it has.
    for (CPresentationConfig* record : RecordsColouredBy(image))
        for (const KeptPalette& kept : entry->m_undoPalettes)
            if (kept.m_pRecord == record)
                record->m_ColorCursors = kept.m_ColorCursors;
}
