// Saving the active frame's image, and the presentation files of the document's images.
#include "document/MDIDoc.h"

#include <filesystem>

#include "document/DocumentShared.h"
#include "document/ImageOrigin.h"
#include "formats/ImageFile.h"
#include "formats/ImageFormat.h"
#include "image/HeaderTextCoding.h"
#include "platform/core/DialogModels.h"
#include "platform/core/PathText.h"
#include "platform/core/Prompt.h"
#include "presentation/ImageSettingsFiles.h"

namespace {

// The lookup message of both save commands, as the user sees it.
constexpr const char* kTextNoImageForSave = "Image Name is not Valid-> CMDIDoc::OnFileSave";

// More images than any instrument file holds: the count below stops there.
constexpr int kMostImagesCounted = 256;

// Whether a *.spm header may be that of `image` as saved: a save keeps the quantity it was
// measured as and the text naming the reader that took it first, while the heights, the Z
// scale and even the size change with processing.
bool SavedAs(const SpmHeader& held, const CSpmImage& image)
{
    return HeaderText(held.m_szQuantity) == HeaderText(image.m_header.m_szQuantity) &&
           HeaderText(held.m_szVersion) == HeaderText(image.m_header.m_szVersion);
}

// How many images of `path` are of `quantity` (or of none, which the user named on opening).
int ImagesOfQuantity(const std::string& path, const std::string& quantity)
{
    const ImageFormat format = FormatForReading(path);
    int count = 0;
    for (int index = 0; index < kMostImagesCounted; ++index) {
        CImageFile reader;
        CSpmImage image;
        image.m_nIndexInFile = index;
        if (!ReadImageHeader(reader, format, path, image))
            break;
        const std::string read = HeaderText(image.m_header.m_szQuantity);
        count += read.empty() || read == quantity ? 1 : 0;
    }
    return count;
}

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
    const std::string written = WrittenPath(path);
    // The file written becomes the image's origin, which a *.spm file records.
    const SpmHeader before = image.m_header;
    MarkImageOrigin(image.m_header, written, 0);
    CImageFile file;
    // A writer that fails has said why; the document and the image keep the paths they had.
    if (!WriteImage(file, format, path, image)) {
        image.m_header.m_nReserved0 = before.m_nReserved0;
        image.m_header.m_nReserved1 = before.m_nReserved1;
        return false;
    }
    // From now on the image is the one image of the file written: its next "Save Image", its
    // presentation file and the document's image list go by that file.
    image.m_strPath = written;
    image.m_nIndexInFile = 0;
    m_strPathName = written;
    NoteImageWritten(*entry, written);
    return true;
}

CMDIDoc::FileSaveResult CMDIDoc::OnFileSave(const std::string& activeImageName)
{
    ImageEntry* entry = FindImage(activeImageName);
    if (entry == nullptr) {
        Prompt().Message(kTextNoImageForSave);
        return FileSaveResult::kNotSaved;
    }
    CSpmImage& image = *entry->m_pImage;
    const std::string target = SpmFilePath(image.m_strPath);
    if (const std::optional<std::string> question = ReplaceQuestion(*entry, target)) {
        switch (AskYesNoCancel(*question)) {
        case CQuestionBox::Answer::Yes: break;
        case CQuestionBox::Answer::No: return FileSaveResult::kSaveAs;
        case CQuestionBox::Answer::Cancel: return FileSaveResult::kNotSaved;
        }
    }
    CImageFile file;
    if (!file.WriteSpm(image.m_strPath, image))
        return FileSaveResult::kNotSaved;
    NoteImageWritten(*entry, target);
    return FileSaveResult::kSaved;
}

std::optional<std::string> CMDIDoc::ReplaceQuestion(const ImageEntry& entry, const std::string& target) const
{
    const CSpmImage& image = *entry.m_pImage;
    // Names and quantities may hold line breaks: each shows on the line it stands in.
    const std::string name = OneLineText(image.m_strName);
    const std::string file = FileNameOf(target);
    const std::string replace = " Replace it with " + name + "? No saves " + name + " under another name.";
    // Images of one file share the place a save in place writes to (the companion of a
    // NanoScope file, the same file added twice or opened in a second document): the second
    // save would silently take the first one's file.
    if (const std::optional<std::string> other = OtherImageIn(target, entry))
        return file + " holds " + *other + "." + replace;
    std::error_code error;
    if (HoldsSavedImage(target, entry) || !std::filesystem::is_regular_file(target, error))
        return std::nullopt;
    // The file held this image, and something has written it since: another document's
    // save, or another program.
    if (SameFile(entry.m_strSavedFile, target))
        return file + " has changed since " + name + " was last saved in it, by another document or program." +
               replace;
    // A file from an earlier session: its header says which image it holds.
    CImageFile reader;
    SpmHeader held{};
    if (!reader.ReadSpmHeader(target, held))
        return file + " is not an image file of this program." + replace;
    const std::string quantity = HeaderText(held.m_szQuantity);
    const std::string shownQuantity = OneLineText(quantity);
    if (const std::optional<int> number = RecordedImageNumber(held)) {
        if (SameImageOrigin(held, image.m_header))
            return std::nullopt;
        if (RecordsImageOf(held, image.m_strPath))
            return file + " holds image " + std::to_string(*number + 1) + " of " + FileNameOf(image.m_strPath) +
                   " (" + shownQuantity + "), saved before." + replace;
        return file + " holds another image saved before, " + shownQuantity + "." + replace;
    }
    if (!SavedAs(held, image))
        return file + " holds another image saved before, " + shownQuantity + "." + replace;
    // Written before files said which image they hold: another image that saves to the
    // same file and fits the header as well (two channels of one quantity) may be the one.
    for (const ImageEntry& other : m_imageList)
        if (&other != &entry && SameFile(SpmFilePath(other.m_pImage->m_strPath), target) &&
            SavedAs(held, *other.m_pImage))
            return file + " holds a " + shownQuantity + " image saved before, which may be " + GetTitle() + ":" +
                   OneLineText(other.m_pImage->m_strName) + "." + replace;
    const int fitting = ImagesOfQuantity(image.m_strPath, quantity);
    if (fitting > 1)
        return file + " holds a " + shownQuantity + " image saved before, which may be any of the " +
               std::to_string(fitting) + " " + shownQuantity + " images of " + FileNameOf(image.m_strPath) + "." +
               replace;
    return std::nullopt;
}

void CMDIDoc::OnSaveImageConfig(const std::string& activeImageName)
{
    if (const ImageEntry* entry = FindImage(activeImageName))
        SaveImageSettings(*entry->m_pImage);
}

bool CMDIDoc::SaveImageSettings(const CSpmImage& image)
{
    ImageEntry* entry = EntryOf(image);
    if (entry == nullptr)
        return false;
    const SettingsPlace place = SettingsPlaceOf(image.m_strPath);
    if (!SaveImageConfig({image, *entry->m_pSettings, place}))
        return false;
    NoteRecordsWritten(*entry, place);
    return true;
}

void CMDIDoc::NoteRecordsWritten(ImageEntry& entry, const SettingsPlace& place)
{
    entry.m_bSettingsModified = {};
    // Another document's view of the same image file shows what the file now holds, unless it
    // has changes of its own that its quit is to ask about.
    const ProfileFile profile = ProfileFile::Load(place.m_strFile);
    for (const ViewKind kind : {ViewKind::View2D, ViewKind::View3D})
        NoteRecordWritten((*entry.m_pSettings)[SettingsIndexOf(kind)], kind, place, false, profile);
}

void CMDIDoc::OnFILESaveDocCondig(const std::string& activeImageName)
{
    // The command saves every image; a missing active image is reported and does not stop it.
    if (FindImage(activeImageName) == nullptr)
        Prompt().Message("Image Name is not Valid-> CMDIDoc::OnFILESaveDocCondig");
    std::vector<ImageSettingsRef> images;
    images.reserve(m_imageList.size());
    for (const ImageEntry& entry : m_imageList)
        images.push_back({*entry.m_pImage, *entry.m_pSettings, SettingsPlaceOf(entry.m_pImage->m_strPath)});
    // A file that failed stops the command: the images after it keep their marks.
    const std::size_t written = SaveDocImageConfigs(images);
    for (std::size_t i = 0; i < written; ++i)
        NoteRecordsWritten(m_imageList[i], images[i].place);
    if (written == m_imageList.size())
        ReportImagesTheListCannotKeep();
}
