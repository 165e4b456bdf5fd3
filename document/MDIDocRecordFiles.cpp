// Where the configuration panel's Load and Save take a record from, or put it, in a *.cnf
// file the user chose: files of one name stem share a presentation file, each image file
// under sections of its own, so a chosen file may hold the record of several image files.
// What a save writes there is what every open image that reads from there shows from then on.
#include "document/MDIDoc.h"

#include <algorithm>

#include "document/DocumentShared.h"
#include "image/HeaderTextCoding.h"
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

// Where the image file at `imagePath` keeps its settings, when its record of `kind` of its
// image `imageName` reads from where the record of `writtenImageName` is stored at `place`,
// as `profile` holds the file.
std::optional<SettingsPlace> PlaceReadingRecordAt(const ProfileFile& profile, const std::string& imagePath,
                                                  const std::string& imageName, ViewKind kind,
                                                  const SettingsPlace& place, const std::string& writtenImageName)
{
    if (imagePath.empty() || !SameFile(PresentationFilePath(imagePath), place.m_strFile))
        return std::nullopt;
    SettingsPlace own = SettingsPlaceOf(imagePath);
    if (!ReadsRecordFrom(profile, own, imageName, kind, place, writtenImageName))
        return std::nullopt;
    return own;
}

// The name of the image file of `imageFiles` whose own sections carry `qualifier` as section
// names are matched, without regard to case: a hand-edited "[.SPM:...]" is scan.spm's. A
// qualifier of no file listed names the file that would write it.
std::string ImageFileLabel(const std::string& presentationFile, const std::vector<std::string>& imageFiles,
                           const std::string& qualifier)
{
    const auto writer = std::ranges::find_if(imageFiles, [&](const std::string& file) {
        return ProfileFile::SameName(ImageSettingsPlace(file, false).m_strQualifier, qualifier);
    });
    return writer != imageFiles.end() ? FileNameOf(*writer) : ImageFileOfQualifier(presentationFile, qualifier);
}

// Every place of `profile` that holds the record, one per image file: the sections of each
// image file that wrote one, and the plain sections. Plain sections stand for the one image
// file of the folder whose presentation file it is, where that file keeps no record of its
// own, as that file reads them.
std::vector<RecordHolder> HoldersOfRecord(const ProfileFile& profile, const CPresentationConfig& record, ViewKind kind)
{
    const std::string& path = profile.Path();
    const std::vector<std::string> imageFiles = ImageFilesOfPresentationFile(path);
    // One entry per qualifier, each named by the file whose sections it marks: holders whose
    // sections differ never fold into one.
    std::vector<RecordHolder> holders;
    for (const std::string& qualifier : QualifiersHoldingRecord(profile, record.m_ImageName, kind)) {
        if (!qualifier.empty()) {
            holders.push_back({ImageFileLabel(path, imageFiles, qualifier), {path, qualifier, false}});
        } else if (imageFiles.size() != 1) {
            holders.push_back({kPlainSectionsEntry, PlainSettingsPlace(path)});
        } else if (const SettingsPlace own = ImageSettingsPlace(imageFiles.front(), false);
                   !HoldsOwnRecord(profile, own, record.m_ImageName, kind)) {
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
        if (HoldsOwnRecord(profile, own, record.m_ImageName, kind))
            return own;
        // Plain sections, which count for no file of a series when it opens, the sections of
        // version 1.2, which every file of it reads for want of its own, and other image
        // files' records are the user's to take from here as well.
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

std::vector<CMDIDoc::OpenRecord> CMDIDoc::OpenRecordsReading(const CPresentationConfig& record, ViewKind kind,
                                                             const SettingsPlace& place,
                                                             const ProfileFile& profile) const
{
    std::vector<OpenRecord> readers;
    for (CMDIDoc* doc : OpenDocuments()) {
        for (ImageEntry& entry : doc->m_imageList) {
            const CPresentationConfig& other = (*entry.m_pSettings)[SettingsIndexOf(kind)];
            if (&other == &record)
                continue;
            if (std::optional<SettingsPlace> own = PlaceReadingRecordAt(profile, entry.m_pImage->m_strPath,
                                                                        other.m_ImageName, kind, place, record.m_ImageName))
                readers.push_back({doc, &entry, std::move(*own)});
        }
    }
    return readers;
}

std::optional<bool> CMDIDoc::AskBeforeReplacingOpenRecords(const CPresentationConfig& record, ViewKind kind,
                                                           const SettingsPlace& place) const
{
    // Who reads from there once the record is stored: its sections may be new to the file.
    ProfileFile profile = ProfileFile::Load(place.m_strFile);
    if (!StoreCnf(profile, kind, record, place))
        return false;   // nothing will be written: the save says why
    std::vector<std::string> changed;
    for (const OpenRecord& reader : OpenRecordsReading(record, kind, place, profile))
        if (reader.m_pEntry->m_bSettingsModified[SettingsIndexOf(kind)])
            changed.push_back(reader.m_pDoc->GetTitle() + ":" + OneLineText(reader.m_pEntry->m_pImage->m_strName));
    if (changed.empty())
        return false;
    std::string names = changed.front();
    for (std::size_t i = 1; i < changed.size(); ++i)
        names += (i + 1 == changed.size() ? " and " : ", ") + changed[i];
    const bool one = changed.size() == 1;
    const std::string text = FileNameOf(place.m_strFile) + " keeps the " + ViewKindText(kind) + " settings of " + names +
                             (one ? ", which is" : ", which are") + " open with changes to them not yet saved.\n" +
                             "Replace " + (one ? "its" : "their") + " changes with the settings saved now?\n" +
                             "(No keeps them, unsaved; Cancel saves nothing.)";
    switch (AskYesNoCancel(text)) {
    case CQuestionBox::Answer::Yes: return true;
    case CQuestionBox::Answer::No: return false;
    case CQuestionBox::Answer::Cancel: break;
    }
    return std::nullopt;
}

void CMDIDoc::NoteRecordWritten(const CPresentationConfig& record, ViewKind kind, const SettingsPlace& place,
                                bool replaceChanged)
{
    NoteRecordWritten(record, kind, place, replaceChanged, ProfileFile::Load(place.m_strFile));
}

void CMDIDoc::NoteRecordWritten(const CPresentationConfig& record, ViewKind kind, const SettingsPlace& place,
                                bool replaceChanged, const ProfileFile& profile)
{
    if (const auto [entry, index] = EntryOf(record);
        entry != nullptr && PlaceReadingRecordAt(profile, entry->m_pImage->m_strPath, record.m_ImageName, kind, place,
                                                 record.m_ImageName))
        entry->m_bSettingsModified[index] = false;
    const std::size_t index = SettingsIndexOf(kind);
    for (const OpenRecord& reader : OpenRecordsReading(record, kind, place, profile)) {
        bool& modified = reader.m_pEntry->m_bSettingsModified[index];
        if (modified && !replaceChanged)
            continue;
        // As the image would read it when it opens again.
        LoadCnf(profile, kind, (*reader.m_pEntry->m_pSettings)[index], reader.m_place);
        modified = false;
        reader.m_pDoc->UpdateAllViews(nullptr, kHintColors, nullptr);
    }
}
