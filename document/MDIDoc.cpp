// Opening a document and adding images to it, looking images up, and telling the views.
#include "document/MDIDoc.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <utility>

#include "document/DocumentShared.h"
#include "document/ImageOrigin.h"
#include "formats/ImageFormat.h"
#include "image/HeaderTextCoding.h"
#include "platform/core/PathText.h"
#include "platform/core/Prompt.h"
#include "presentation/ImageSettingsFiles.h"

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

// A folder handed over or listed is no image file, whatever its name says.
bool RefuseFolder(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_directory(path, error))
        return false;
    Prompt().Message("Cannot open " + path + ": it is a folder, not an image file.");
    return true;
}

bool CanOpenForReading(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return file.is_open();
}

} // namespace

std::vector<CMDIDoc*>& OpenDocuments()
{
    static std::vector<CMDIDoc*> documents;
    return documents;
}

CMDIDoc::CMDIDoc()
{
    OpenDocuments().push_back(this);
}

CMDIDoc::~CMDIDoc()
{
    std::erase(OpenDocuments(), this);
}

std::optional<std::string> CMDIDoc::OtherImageIn(const std::string& file, const ImageEntry& entry) const
{
    for (const CMDIDoc* doc : OpenDocuments())
        for (const ImageEntry& other : doc->m_imageList)
            if (&other != &entry && HoldsSavedImage(file, other))
                return doc->GetTitle() + ":" + OneLineText(other.m_pImage->m_strName);
    return std::nullopt;
}

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
    if (RefuseFolder(path))
        return false;
    const ImageFormat format = FormatForReading(path);
    if (format == ImageFormat::kNone) {
        Prompt().Message(UnreadableTypeText(path));
        return false;
    }
    if (!CanOpenForReading(path)) {
        Prompt().Message(NamingFile(kTextFailedToOpenDocument, path));
        return false;
    }
    if (firstImage)
        m_nImageCounter = 1;
    else
        ++m_nImageCounter;

    // Taken before the read: a change while reading then counts as a change since.
    const std::optional<FileStamp> stamp = StampOf(path);
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
    // A *.spm file says itself which image it was written from.
    if (format != ImageFormat::kSpm)
        MarkImageOrigin(image->m_header, path, indexInFile);

    auto settings = std::make_unique<SettingsPair>();
    m_pCurSettings = settings.get();
    for (CPresentationConfig& record : *settings) {
        record.m_NameOfImageForColor.clear();
        record.m_ImageName = image->m_strName;
    }
    // One look at the folder for both records.
    const SettingsPlace place = SettingsPlaceOf(path);
    LoadImageSettings(place, ViewKind::View2D, (*settings)[kSettings2D]);
    LoadImageSettings(place, ViewKind::View3D, (*settings)[kSettings3D]);
    // The first image keeps a colour source its presentation file names; an added image
    // always colours itself.
    for (CPresentationConfig& record : *settings)
        if (!firstImage || record.m_NameOfImageForColor.empty())
            record.m_NameOfImageForColor = image->m_strName;

    ImageEntry& entry = m_imageList.emplace_back();
    entry.m_pImage = std::move(image);
    entry.m_pSettings = std::move(settings);
    entry.m_strSavedFile = path;
    entry.m_savedFileStamp = stamp;
    // A header the user had to repair is a change the file does not hold yet.
    entry.m_bModified = m_bHeaderRepaired;
    if (!m_bHeaderRepaired)
        entry.m_savedState = StateOf(*entry.m_pImage);
    if (firstImage)
        m_strPathName = path;
    return true;
}

void CMDIDoc::LoadImageSettings(const SettingsPlace& place, ViewKind kind,
                                CPresentationConfig& settings)
{
    const auto [whole, automatic] = m_pCurImage != nullptr ? RangesOf(*m_pCurImage) : ImageRanges{};
    m_ptSel1 = {};
    m_ptSel2 = {};
    m_bSel1Set = 0;
    m_bSel2Set = 0;
    ::LoadImageSettings(place, kind, whole, automatic, settings);
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

std::string CMDIDoc::GetTitle() const
{
    return FileNameOf(m_strPathName);
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
