#include "document/MDIDoc.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <utility>

#include "formats/ImageFile.h"
#include "formats/ImageFormat.h"
#include "image/ImageStatistics.h"
#include "platform/core/PathText.h"
#include "platform/core/Prompt.h"
#include "presentation/ImageSettingsFiles.h"
#include "presentation/PresentationFile.h"

namespace {

// The framework's own text when a document's file cannot be opened at all.
constexpr const char* kTextFailedToOpenDocument = "Failed to open document.";

// Which reader opens a file goes by its extension alone; a file that none claims is named
// with the types that are read, so the user is not left with nothing happening.
std::string UnreadableTypeText(const std::string& path)
{
    const std::string extension = ExtensionOf(path);
    std::string text = "Cannot open " + path + ": ";
    text += extension.empty() ? std::string("a file without an extension")
                              : "the file type \"" + extension + "\"";
    text += " is not one this program reads.\nIt reads ";
    const auto formats = ImageFormatTable();
    for (std::size_t i = 0; i < formats.size(); ++i) {
        if (i > 0)
            text += i + 1 == formats.size() ? " and " : ", ";
        text.append(formats[i].m_openDescription).append(" (").append(formats[i].m_openPatternText).append(")");
    }
    return text + ".";
}

bool CanOpenForReading(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return file.is_open();
}

struct ImageRanges {
    HeightRange whole;
    HeightRange automatic;
};

// The image's whole range and the automatic one its histogram gives; the automatic range is
// cut from the histogram in place, so the image gets its own back.
ImageRanges RangesOf(CSpmImage& image)
{
    const HeightRange whole{image.m_dMin, image.m_dMax};
    AutoRangeFromHistogram(image);
    const HeightRange automatic{image.m_dMin, image.m_dMax};
    image.m_dMin = whole.min;
    image.m_dMax = whole.max;
    return {whole, automatic};
}

// One file under two spellings of its path ("a/./b.000" and "a/b.000") is one file.
bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error))
        return true;
    return std::filesystem::path(a).lexically_normal() == std::filesystem::path(b).lexically_normal();
}

} // namespace

bool CMDIDoc::OnOpenDocument(const std::string& path)
{
    return AppendImage(path, 0, true);
}

bool CMDIDoc::AddImage(const std::string& path, int indexInFile)
{
    return AppendImage(path, indexInFile, false);
}

bool CMDIDoc::AppendImage(const std::string& path, int indexInFile, bool firstImage)
{
    if (FormatForReading(path) == ImageFormat::kNone) {
        Prompt().Message(UnreadableTypeText(path));
        return false;
    }
    if (!CanOpenForReading(path)) {
        Prompt().Message(kTextFailedToOpenDocument);
        return false;
    }
    if (firstImage)
        m_nImageCounter = 1;
    else
        ++m_nImageCounter;

    auto image = std::make_unique<CSpmImage>();
    image->m_nIndexInFile = indexInFile;
    CSpmImage* previousImage = m_pCurImage;
    m_pCurImage = image.get();
    if (!LoadImage(path, *image)) {
        // The next image gets the suffix this one would have had.
        if (!firstImage)
            --m_nImageCounter;
        m_pCurImage = previousImage;
        return false;
    }

    auto settings = std::make_unique<SettingsPair>();
    m_pCurSettings = settings.get();
    for (CPresentationConfig& record : *settings) {
        record.m_NameOfImageForColor.clear();
        record.m_ImageName = image->m_strName;
    }
    LoadImageSettings(path, ViewKind::View2D, (*settings)[kSettings2D]);
    LoadImageSettings(path, ViewKind::View3D, (*settings)[kSettings3D]);
    // The first image keeps a colour source its presentation file names; an added image
    // always colours itself.
    for (CPresentationConfig& record : *settings)
        if (!firstImage || record.m_NameOfImageForColor.empty())
            record.m_NameOfImageForColor = image->m_strName;

    // A header the user had to repair is a change the file does not hold yet.
    m_imageList.push_back({std::move(image), std::move(settings), m_bHeaderRepaired, {}});
    if (firstImage)
        m_strPathName = path;
    return true;
}

void CMDIDoc::LoadImageSettings(const std::string& path, ViewKind kind,
                                CPresentationConfig& settings)
{
    const auto [whole, automatic] = m_pCurImage != nullptr ? RangesOf(*m_pCurImage) : ImageRanges{};
    m_ptSel1 = {};
    m_ptSel2 = {};
    m_bSel1Set = 0;
    m_bSel2Set = 0;
    ::LoadImageSettings(path, kind, whole, automatic, settings);
}

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

ImageEntry* CMDIDoc::EntryOf(const CSpmImage& image)
{
    return const_cast<ImageEntry*>(std::as_const(*this).EntryOf(image));
}

const ImageEntry* CMDIDoc::EntryOf(const CSpmImage& image) const
{
    const auto found = std::find_if(m_imageList.begin(), m_imageList.end(),
                                    [&image](const ImageEntry& entry) { return entry.m_pImage.get() == &image; });
    return found != m_imageList.end() ? &*found : nullptr;
}

std::pair<ImageEntry*, std::size_t> CMDIDoc::EntryOf(const CPresentationConfig& record)
{
    for (ImageEntry& entry : m_imageList)
        for (std::size_t i = 0; i < entry.m_pSettings->size(); ++i)
            if (&(*entry.m_pSettings)[i] == &record)
                return {&entry, i};
    return {nullptr, 0};
}

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

int CMDIDoc::GetImageIndex(std::string name) const
{
    const auto count = static_cast<int>(m_imageList.size());
    for (int i = 0; i < count; ++i)
        if (m_imageList[static_cast<std::size_t>(i)].m_pImage->m_strName == name)
            return i;
    // A bare quantity finds its numbered image: "Height" finds "Height_01".
    for (int i = 0; i < count; ++i) {
        const std::string& own = m_imageList[static_cast<std::size_t>(i)].m_pImage->m_strName;
        if (own.substr(0, own.size() - std::min<std::size_t>(own.size(), 3)) == name)
            return i;
    }
    return count + 1;
}

ImageEntry* CMDIDoc::FindImage(const std::string& name)
{
    const int index = GetImageIndex(name);
    if (index >= static_cast<int>(m_imageList.size()))
        return nullptr;
    return &m_imageList[static_cast<std::size_t>(index)];
}

std::optional<std::string> CMDIDoc::CompanionImagePath() const
{
    if (m_pCurImage == nullptr || m_imageList.empty())
        return std::nullopt;
    if (!HoldsCompanionImages(m_pCurImage->m_strPath))
        return std::nullopt;
    return m_imageList.front().m_pImage->m_strPath;
}

std::vector<std::string> CMDIDoc::ListedImagePaths() const
{
    if (m_imageList.empty())
        return {};
    return ReadDocImageList(m_imageList.front().m_pImage->m_strPath);
}

std::vector<ListedImage> CMDIDoc::ListedImages() const
{
    if (m_imageList.empty())
        return {};
    std::vector<ListedImage> images;
    for (ListedImage& listed : ReadDocImages(m_imageList.front().m_pImage->m_strPath)) {
        const auto same = [&listed](const std::string& path, int indexInFile) {
            return indexInFile == listed.m_nIndexInFile && SameFile(path, listed.m_strPath);
        };
        const bool held = std::any_of(m_imageList.begin(), m_imageList.end(), [&same](const ImageEntry& entry) {
            return same(entry.m_pImage->m_strPath, entry.m_pImage->m_nIndexInFile);
        });
        const bool twice = std::any_of(images.begin(), images.end(), [&same](const ListedImage& earlier) {
            return same(earlier.m_strPath, earlier.m_nIndexInFile);
        });
        if (!held && !twice)
            images.push_back(std::move(listed));
    }
    return images;
}

void CMDIDoc::AddView(IDocumentView* view)
{
    if (view != nullptr && std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void CMDIDoc::RemoveView(IDocumentView* view)
{
    std::erase(m_views, view);
}

void CMDIDoc::UpdateAllViews(const IDocumentView* sender, int hint, const CMDIChildFrame* frame)
{
    // A view may open or close views while it updates; tell those registered now.
    const std::vector<IDocumentView*> views = m_views;
    for (IDocumentView* view : views)
        if (view != sender && std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->OnUpdate(hint, frame);
}
