// What a document has that no file holds yet: each image's changed heights or header, and
// the view settings of each record.
#include "document/MDIDoc.h"

#include <algorithm>

#include "document/DocumentShared.h"
#include "presentation/ImageSettingsFiles.h"
#include "presentation/PresentationFile.h"

bool CMDIDoc::IsModified() const
{
    return std::any_of(m_imageList.begin(), m_imageList.end(), [](const ImageEntry& entry) { return entry.m_bModified; });
}

std::vector<const CSpmImage*> CMDIDoc::ModifiedImages() const
{
    std::vector<const CSpmImage*> images;
    for (const ImageEntry& entry : m_imageList)
        if (entry.m_bModified)
            images.push_back(entry.m_pImage.get());
    return images;
}

void CMDIDoc::SetModifiedFlag(const CSpmImage& image, bool modified)
{
    if (ImageEntry* entry = EntryOf(image))
        entry->m_bModified = modified;
}

bool CMDIDoc::IsModified(const CSpmImage& image) const
{
    const ImageEntry* entry = EntryOf(image);
    return entry != nullptr && entry->m_bModified;
}

bool CMDIDoc::NoteSettingsEdit(const CPresentationConfig& before, const CPresentationConfig& record)
{
    if (SameStoredSettings(before, record))
        return false;
    SetSettingsModified(record);
    return true;
}

void CMDIDoc::SetSettingsModified(const CPresentationConfig& record, bool modified)
{
    if (const auto [entry, index] = EntryOf(record); entry != nullptr)
        entry->m_bSettingsModified[index] = modified;
}

void CMDIDoc::NoteSettingsWritten(const CPresentationConfig& record, const std::string& path)
{
    const auto [entry, index] = EntryOf(record);
    if (entry != nullptr && SameFile(path, PresentationFilePath(entry->m_pImage->m_strPath)))
        entry->m_bSettingsModified[index] = false;
}

bool CMDIDoc::IsSettingsModified(const CSpmImage& image) const
{
    const ImageEntry* entry = EntryOf(image);
    return entry != nullptr && std::ranges::find(entry->m_bSettingsModified, true) != entry->m_bSettingsModified.end();
}

std::vector<const CSpmImage*> CMDIDoc::ImagesWithChanges() const
{
    std::vector<const CSpmImage*> images;
    for (const ImageEntry& entry : m_imageList)
        if (entry.m_bModified || IsSettingsModified(*entry.m_pImage))
            images.push_back(entry.m_pImage.get());
    return images;
}
