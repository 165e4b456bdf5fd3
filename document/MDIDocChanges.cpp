// What a document has that no file holds yet: each image's changed heights or header, and
// the view settings of each record.
#include "document/MDIDoc.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "document/DocumentShared.h"
#include "presentation/ImageSettingsFiles.h"
#include "presentation/PresentationFile.h"

namespace {

// The finaliser of splitmix64: a bijection of 64-bit words that spreads every input bit
// over the whole word.
std::uint64_t Mix(std::uint64_t x)
{
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

// Each step is a bijection of the digest so far, so heights that differ in a single point
// never give one digest; other differences collide with a chance of about 2^-64. The bits
// count as stored, so only heights brought back exactly (as Undo does) compare equal.
std::uint64_t HeightsDigest(const std::vector<double>& heights)
{
    std::uint64_t digest = Mix(heights.size());
    for (const double height : heights)
        digest = Mix(digest + std::bit_cast<std::uint64_t>(height));
    return digest;
}

} // namespace

ImageState StateOf(const CSpmImage& image)
{
    return {image.m_header, image.m_nWidth, image.m_nHeight, HeightsDigest(image.m_pData)};
}

bool SameState(const ImageState& a, const ImageState& b)
{
    return std::memcmp(&a.m_header, &b.m_header, sizeof a.m_header) == 0 && a.m_nWidth == b.m_nWidth &&
           a.m_nHeight == b.m_nHeight && a.m_heightsDigest == b.m_heightsDigest;
}

bool CMDIDoc::IsModified() const
{
    return std::any_of(m_imageList.begin(), m_imageList.end(), HasUnsavedChanges);
}

std::vector<const CSpmImage*> CMDIDoc::ModifiedImages() const
{
    std::vector<const CSpmImage*> images;
    for (const ImageEntry& entry : m_imageList)
        if (HasUnsavedChanges(entry))
            images.push_back(entry.m_pImage.get());
    return images;
}

void CMDIDoc::SetModifiedFlag(const CSpmImage& image, bool modified)
{
    ImageEntry* entry = EntryOf(image);
    if (entry == nullptr)
        return;
    const ImageState state = StateOf(image);
    if (!modified)
        entry->m_savedState = state;
    entry->m_bModified = !entry->m_savedState || !SameState(*entry->m_savedState, state);
}

void CMDIDoc::NoteImageWritten(ImageEntry& entry, const std::string& file)
{
    // The file no longer holds what another image was loaded from or saved as.
    for (ImageEntry& other : m_imageList) {
        if (&other != &entry && HoldsSavedImage(file, other)) {
            other.m_strSavedFile.clear();
            other.m_savedFileStamp.reset();
            other.m_savedState.reset();
            other.m_bModified = true;
        }
    }
    entry.m_strSavedFile = file;
    entry.m_savedFileStamp = StampOf(file);
    entry.m_savedState = StateOf(*entry.m_pImage);
    entry.m_bModified = false;
}

bool CMDIDoc::IsModified(const CSpmImage& image) const
{
    const ImageEntry* entry = EntryOf(image);
    return entry != nullptr && HasUnsavedChanges(*entry);
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

bool CMDIDoc::IsSettingsModified(const CSpmImage& image) const
{
    const ImageEntry* entry = EntryOf(image);
    return entry != nullptr && std::ranges::find(entry->m_bSettingsModified, true) != entry->m_bSettingsModified.end();
}

std::vector<const CSpmImage*> CMDIDoc::ImagesWithChanges() const
{
    std::vector<const CSpmImage*> images;
    for (const ImageEntry& entry : m_imageList)
        if (HasUnsavedChanges(entry) || IsSettingsModified(*entry.m_pImage))
            images.push_back(entry.m_pImage.get());
    return images;
}
