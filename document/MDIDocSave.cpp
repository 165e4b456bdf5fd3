// Saving the active frame's image, and the presentation files of the document's images.
#include "document/MDIDoc.h"

#include "formats/ImageFile.h"
#include "formats/ImageFormat.h"
#include "platform/core/PathText.h"
#include "platform/core/Prompt.h"
#include "presentation/ImageSettingsFiles.h"

namespace {

// The lookup message of both save commands, as the user sees it.
constexpr const char* kTextNoImageForSave = "Image Name is not Valid-> CMDIDoc::OnFileSave";

} // namespace

bool CMDIDoc::OnSaveDocument(const std::string& path, const std::string& activeImageName)
{
    ImageEntry* entry = FindImage(activeImageName);
    if (entry == nullptr) {
        Prompt().Message(kTextNoImageForSave);
        return false;
    }
    CSpmImage& image = *entry->m_pImage;
    const ImageFormat format = FormatForWriting(path);
    if (format == ImageFormat::kNone) {
        Prompt().Message(kTextSaveNotOk);
        return false;
    }
    // The *.spm writer completes a name without the lower-case extension; the document keeps
    // the name written.
    const std::string written = format == ImageFormat::kSpm ? EnsureExtension(path, ".spm") : path;
    CImageFile file;
    const bool saved = WriteImage(file, format, path, image);
    // A writer that fails has said why; the document keeps the path it had.
    if (saved) {
        m_strPathName = written;
        entry->m_bModified = false;
    }
    return saved;
}

bool CMDIDoc::OnFileSave(const std::string& activeImageName)
{
    ImageEntry* entry = FindImage(activeImageName);
    if (entry == nullptr) {
        Prompt().Message(kTextNoImageForSave);
        return false;
    }
    CImageFile file;
    if (!file.WriteSpm(entry->m_pImage->m_strPath, *entry->m_pImage))
        return false;
    entry->m_bModified = false;
    return true;
}

void CMDIDoc::OnSaveImageConfig(const std::string& activeImageName)
{
    if (const ImageEntry* entry = FindImage(activeImageName))
        SaveImageSettings(*entry->m_pImage);
}

bool CMDIDoc::SaveImageSettings(const CSpmImage& image)
{
    ImageEntry* entry = EntryOf(image);
    if (entry == nullptr || !SaveImageConfig(image, *entry->m_pSettings))
        return false;
    entry->m_bSettingsModified = {};
    return true;
}

void CMDIDoc::OnFILESaveDocCondig(const std::string& activeImageName)
{
    // The command saves every image; a missing active image is reported and does not stop it.
    if (FindImage(activeImageName) == nullptr)
        Prompt().Message("Image Name is not Valid-> CMDIDoc::OnFILESaveDocCondig");
    std::vector<ImageSettingsRef> images;
    images.reserve(m_imageList.size());
    for (const ImageEntry& entry : m_imageList)
        images.push_back({*entry.m_pImage, *entry.m_pSettings});
    // A file that failed stops the command: the images after it keep their marks.
    const std::size_t written = SaveDocImageConfigs(images);
    for (std::size_t i = 0; i < written; ++i)
        m_imageList[i].m_bSettingsModified = {};
}
