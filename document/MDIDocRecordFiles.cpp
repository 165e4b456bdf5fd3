// Where the configuration panel's Load and Save take a record from, or put it, in a *.cnf
// file the user chose: files of one name stem share a presentation file, each image file
// under sections of its own, so a chosen file may hold the record of several image files.
#include "document/MDIDoc.h"

#include "document/DocumentShared.h"
#include "platform/core/DialogModels.h"
#include "platform/core/PathText.h"
#include "platform/core/Prompt.h"
#include "presentation/ImageSettingsFiles.h"
#include "presentation/PresentationFile.h"

namespace {

// Sections that no image file of the chosen file's folder owns: the panel's saves into a
// file of no image file, or an image file's of an earlier version of the program.
constexpr const char* kPlainSectionsEntry = "saved without an image file";

struct RecordHolder {
    std::string m_strLabel;   // the image file whose record it is, as the user chooses it
    SettingsPlace m_place;
};

// The user's choice among `entries` for `caption`; none on Cancel.
std::optional<std::size_t> ChooseEntry(const char* caption, std::vector<std::string> entries, std::string text)
{
    CChoiceListDlg dialog(caption, std::move(entries), std::move(text));
    if (!Prompt().RunDialog(dialog) || dialog.m_nSelected >= dialog.m_entries.size())
        return std::nullopt;
    return dialog.m_nSelected;
}

// "3D settings of Height_01".
std::string RecordText(const CPresentationConfig& record, ViewKind kind)
{
    return std::string(ViewKindText(kind)) + " settings of " + record.m_ImageName;
}

// Every place of `profile` that holds the record: one per image file whose sections hold
// it, and the plain sections. Plain sections stand for the one image file of the folder
// whose presentation file it is, where that file keeps no record of its own, as that file
// reads them.
std::vector<RecordHolder> HoldersOfRecord(const ProfileFile& profile, const CPresentationConfig& record, ViewKind kind)
{
    const std::string& path = profile.Path();
    const std::vector<std::string> imageFiles = ImageFilesOfPresentationFile(path);
    std::vector<RecordHolder> holders;
    for (const std::string& qualifier : QualifiersHoldingRecord(profile, record.m_ImageName, kind)) {
        if (!qualifier.empty()) {
            holders.push_back({ImageFileOfQualifier(path, qualifier), {path, qualifier, false}});
        } else if (imageFiles.size() != 1) {
            holders.push_back({kPlainSectionsEntry, PlainSettingsPlace(path)});
        } else if (const SettingsPlace own = ImageSettingsPlace(imageFiles.front(), false);
                   !HoldsRecord(profile, own, record.m_ImageName, kind)) {
            holders.push_back({FileNameOf(imageFiles.front()), PlainSettingsPlace(path)});
        }
    }
    return holders;
}

} // namespace

std::optional<SettingsPlace> CMDIDoc::PlaceToLoadRecordFrom(const CPresentationConfig& record, ViewKind kind,
                                                            const ProfileFile& profile)
{
    const std::string& path = profile.Path();
    const std::string holdsNone = FileNameOf(path) + " holds no " + RecordText(record, kind) + ".";
    const ImageEntry* entry = EntryOf(record).first;
    if (entry != nullptr && SameFile(path, PresentationFilePath(entry->m_pImage->m_strPath))) {
        const SettingsPlace own = SettingsPlaceOf(entry->m_pImage->m_strPath);
        if (HoldsRecord(profile, own, record.m_ImageName, kind))
            return own;
        Prompt().Message(holdsNone);
        return std::nullopt;
    }
    const std::vector<RecordHolder> holders = HoldersOfRecord(profile, record, kind);
    if (holders.empty()) {
        Prompt().Message(holdsNone);
        return std::nullopt;
    }
    if (holders.size() == 1)
        return holders.front().m_place;
    std::vector<std::string> labels;
    for (const RecordHolder& holder : holders)
        labels.push_back(holder.m_strLabel);
    const std::optional<std::size_t> chosen =
        ChooseEntry("Load 2D/3D Conf", std::move(labels),
                    FileNameOf(path) + " holds " + RecordText(record, kind) + " of several image files. Load those of:");
    if (!chosen)
        return std::nullopt;
    return holders[*chosen].m_place;
}

std::optional<SettingsPlace> CMDIDoc::PlaceToSaveRecordIn(const CPresentationConfig& record, ViewKind kind,
                                                          const std::string& path)
{
    const ImageEntry* entry = EntryOf(record).first;
    if (entry != nullptr && SameFile(path, PresentationFilePath(entry->m_pImage->m_strPath)))
        return SettingsPlaceOf(entry->m_pImage->m_strPath);
    // Where the image file that reads this file looks, so that it opens with what was saved.
    const std::vector<std::string> imageFiles = ImageFilesOfPresentationFile(path);
    if (imageFiles.empty())
        return PlainSettingsPlace(path);
    // The listing just made tells whether the file's plain sections count as the image file's.
    if (imageFiles.size() == 1)
        return ImageSettingsPlace(imageFiles.front(), true);
    std::vector<std::string> names;
    for (const std::string& file : imageFiles)
        names.push_back(FileNameOf(file));
    const std::optional<std::size_t> chosen =
        ChooseEntry("Save 2D/3D Conf", std::move(names),
                    FileNameOf(path) + " keeps the settings of several image files. Replace the " +
                        RecordText(record, kind) + " of:");
    if (!chosen)
        return std::nullopt;
    return ImageSettingsPlace(imageFiles[*chosen], false);
}
