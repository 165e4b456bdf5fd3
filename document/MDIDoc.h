// The document: the images opened from one file and those added to it, each with its pair of
// presentation settings, plus the 2D view's selection, the profile cursors and the undo scope.
// GUI-free: the application's framework document wraps it, handing in what the framework
// knows (the path chosen, the active frame's image name) and registering its views.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/DocumentView.h"
#include "image/ImagePoint.h"
#include "image/SpmImage.h"
#include "platform/core/FileStamp.h"
#include "presentation/ImageSettingsFiles.h"
#include "presentation/PresentationConfig.h"
#include "presentation/ProfileSampling.h"

// A palette as it was when its colour image's undo copy was made: the record and its cursors.
struct KeptPalette {
    CPresentationConfig* m_pRecord = nullptr;
    std::vector<ColorCursor> m_ColorCursors;
};

// What decides whether an image changed since a file took it: its header, its size and its
// heights. The heights are kept as a digest, as a copy would add half again to the memory
// an image takes.
struct ImageState {
    SpmHeader m_header{};
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::uint64_t m_heightsDigest = 0;
};

// One image of a document with its settings pair (2D first, 3D second). Both are held by
// pointer so that views and panels may keep them while the list grows.
struct ImageEntry {
    std::unique_ptr<CSpmImage> m_pImage;
    std::unique_ptr<SettingsPair> m_pSettings;
    // Heights or header differ from what the image was loaded from or last written as.
    bool m_bModified = false;
    // The palettes coloured by this image when its undo copy was made: Undo gives them back.
    std::vector<KeptPalette> m_undoPalettes;
    // Per record of the pair: the user changed it since the image's presentation file was
    // read or last written. Kept apart from m_bModified: the answer saves another file.
    std::array<bool, 2> m_bSettingsModified{};
    // The file the image was loaded from or last written to, that file as it was then (it
    // holds the image only while it is unchanged), and the image as it was then; no state
    // when no file holds the image as it was (a header the user repaired, a file that
    // another image's save replaced).
    std::string m_strSavedFile;
    std::optional<FileStamp> m_savedFileStamp;
    std::optional<ImageState> m_savedState;
};

class CMDIDoc {
public:
    CMDIDoc();
    ~CMDIDoc();
    CMDIDoc(const CMDIDoc&) = delete;
    CMDIDoc& operator=(const CMDIDoc&) = delete;

    // A document never starts empty: the framework's "new document" creates nothing.
    bool OnNewDocument() { return false; }
    // Loads image 0 of the file as the first image; false (after any message) when it fails.
    bool OnOpenDocument(const std::string& path);
    // Appends image `indexInFile` of a file; the document keeps its own path.
    bool AddImage(const std::string& path, int indexInFile);
    // Reads one image by the path's extension, checks and names it, measures it.
    bool LoadImage(const std::string& path, CSpmImage& image);
    // Asks the user to repair a header without quantity name or with invalid coefficients,
    // naming the image's file when it has one; true when the answers changed the header.
    // `zScaleFromData`: the file's samples set the Z scale, which the header holds already,
    // so the user is shown it and cannot type another.
    bool CheckHeader(CSpmImage& image, bool zScaleFromData = false);
    // Position of the image called `name` (exactly, else by its name without the last three
    // characters); the image count plus one when there is none.
    int GetImageIndex(std::string name) const;
    // The entry of the image called `name` as GetImageIndex finds it, or null.
    ImageEntry* FindImage(const std::string& name);

    // "Save Image As...": writes the active frame's image in the format the path's extension
    // names. True only when the file was written; then the file is the image's own (what
    // "Save Image" writes over, where its presentation file lies; image 0 in it) and the
    // document's path, and the image counts as unchanged. Another image of the document that
    // the file held (loaded from it or last written to it) counts as changed.
    bool OnSaveDocument(const std::string& path, const std::string& activeImageName);

    // What "Save Image" did; kSaveAs: the user wants to choose a name with "Save Image As...".
    enum class FileSaveResult { kSaved, kNotSaved, kSaveAs };
    // "Save Image": writes the active frame's image as *.spm over its own path; once written,
    // the image counts as unchanged. When that file holds another image (of the document, or
    // by its header one saved before, or no image at all), the user is asked first: Yes
    // replaces it (an image of the document then counts as changed), No leaves the name to
    // Save As, Cancel writes nothing.
    FileSaveResult OnFileSave(const std::string& activeImageName);
    // "Save Image Config": both settings records of the active frame's image into its *.cnf.
    void OnSaveImageConfig(const std::string& activeImageName);
    // "Save Configs of Doc. Images ": every image's records, then the document's image list.
    void OnFILESaveDocCondig(const std::string& activeImageName);
    // Both records of `image` into its presentation file, as "Save Image Config" writes them;
    // false (after the message) when the file could not be written.
    bool SaveImageSettings(const CSpmImage& image);

    // The defaults of a new record of `kind`, its palette from the current image's range and
    // what the image file keeps at `place` of its presentation file over them; clears the
    // first two selected points.
    void LoadImageSettings(const SettingsPlace& place, ViewKind kind, CPresentationConfig& settings);
    // After the heights of `image` changed (its histogram already rebuilt): every record that
    // takes its colours from it has its palette stretched over the new automatic range.
    void RefitPalettes(CSpmImage& image);
    // With the undo copy of `image`: the palettes of every record it colours, as they are.
    void KeepPalettesForUndo(const CSpmImage& image);
    // After the undo copy of `image` came back (histogram rebuilt): the kept palettes as they
    // were, so the picture is the one before the command; a record that took its colours from
    // the image only since is stretched over the restored range.
    void RestorePalettesForUndo(CSpmImage& image);

    // Follow-up steps of File Open. The file whose image 1 joins the document: the first
    // image's file, when the current image's extension is ".000" to ".999" or exactly ".mdt".
    std::optional<std::string> CompanionImagePath() const;
    // The further images the first image's presentation file lists, as full paths.
    std::vector<std::string> ListedImagePaths() const;
    // Those of the listed images, with their numbers within their files, that the document
    // does not hold yet (the same file and number), each once: a list saved with an image
    // that opening adds by itself (a companion) does not bring it twice.
    std::vector<ListedImage> ListedImages() const;

    // Whether opening the first image's file again would leave out an image the document
    // holds: one the user added, or one that Save As gave a file of its own; images that no
    // list can name do not count, as saving it would not bring them back.
    bool IsImageListModified() const;
    // The document's image list into the first image's presentation file; false (after the
    // message) when the file could not be written. An image that no list can name (a line
    // break in its path, or a path too long for it) is left out, and a message says so.
    bool SaveImageList();

    const std::vector<ImageEntry>& ImageList() const { return m_imageList; }
    const std::string& GetPathName() const { return m_strPathName; }
    // The file name of the document's path, as its frames show it.
    std::string GetTitle() const;
    // True while any image has changes that no save has written.
    bool IsModified() const;
    // The images with unwritten changes, in list order.
    std::vector<const CSpmImage*> ModifiedImages() const;
    // `image` (one of the document's) changed: it counts as changed unless its heights and
    // header are again those it was loaded from or last written as (a command undone, a text
    // typed back). With false it counts as unchanged as it stands.
    void SetModifiedFlag(const CSpmImage& image, bool modified = true);
    // Whether the heights or header of `image` have changes no save wrote.
    bool IsModified(const CSpmImage& image) const;

    // The view settings. A user's edit of a record (a panel, a view drag) marks it: an edit
    // that leaves what the file would hold as it was marks nothing, and neither does reading
    // a record, at load or when a panel shows it. Writing the image's presentation file
    // clears the marks of the records written.
    // Marks `record` (one of the document's) when it differs from `before`; true when it does.
    bool NoteSettingsEdit(const CPresentationConfig& before, const CPresentationConfig& record);
    void SetSettingsModified(const CPresentationConfig& record, bool modified = true);
    // The configuration panel's Load of `record` (of `kind`) from the presentation file the
    // user chose: its image file's own sections when that is the image's own presentation
    // file; else the sections of the image file that wrote the record there, whether plain or
    // of one image file, where the user chooses when several hold one. None, after the
    // message, when the file holds no such record, and when the user cancels.
    std::optional<SettingsPlace> PlaceToLoadRecordFrom(const CPresentationConfig& record, ViewKind kind,
                                                       const ProfileFile& profile);
    // The panel's Save of `record` into the presentation file at `path`: where the image file
    // that reads it looks, so that it next opens with what was saved (the user chooses which
    // when several share it); the plain sections of a file of no image file. None when the
    // user cancels.
    std::optional<SettingsPlace> PlaceToSaveRecordIn(const CPresentationConfig& record, ViewKind kind,
                                                     const std::string& path);
    // Before the panel's Save of `record` (of `kind`) at `place`: where a record of an open
    // image, of any document, that reads from there has changes of the user's not yet saved,
    // asks whether the save replaces them. True (Yes) when it is to replace them, false (No)
    // when they stay as they are, unsaved, and without a question; none when the user cancels.
    std::optional<bool> AskBeforeReplacingOpenRecords(const CPresentationConfig& record, ViewKind kind,
                                                      const SettingsPlace& place) const;
    // `record` of `kind` was written at `place`: it counts as saved where its image reads it
    // from there, and every other record of an open image, of any document, that reads from
    // there takes what was written, counts as saved and has its views redrawn, so that no
    // later save of that image's records replaces the save unasked. A record with changes of
    // the user's not yet saved does so only when `replaceChanged`.
    void NoteRecordWritten(const CPresentationConfig& record, ViewKind kind, const SettingsPlace& place,
                           bool replaceChanged);
    // Whether a record of `image` has changes its presentation file does not hold.
    bool IsSettingsModified(const CSpmImage& image) const;
    // The images with either kind of unwritten change, in list order.
    std::vector<const CSpmImage*> ImagesWithChanges() const;

    // Views register for updates; UpdateAllViews tells every view but the sender.
    void AddView(IDocumentView* view);
    void RemoveView(IDocumentView* view);
    void UpdateAllViews(const IDocumentView* sender, int hint, const CMDIChildFrame* frame);

    int m_nImageCounter = 0;                   // suffix of the next image name, frame number
    CSpmImage* m_pCurImage = nullptr;          // the image loaded last
    SettingsPair* m_pCurSettings = nullptr;    // its settings pair
    int m_nSelectMode = 0;                     // 0 none, 1 two points, 2 rectangle, 3 three points
    ImagePoint m_ptSel1, m_ptSel2, m_ptSel3;
    int m_bSel1Set = 0;
    int m_bSel2Set = 0;
    int m_bSel3Set = 0;
    ProfileCursors m_profileCursors;           // the profile view's cursors [a] and [b]
    int m_nUndoScope = 0;                      // 1 Undo restores every image, 2 the active one
    bool m_bUndoMovesPoints = false;           // Undo gives back an image cut or turned since

private:
    // Opening and adding share everything but the counter, the index and the colour source.
    bool AppendImage(const std::string& path, int indexInFile, bool firstImage);
    // The quantity name (cut at its first blank for *.spm files) with "_" and the two-digit
    // counter; Origin images go by the bare quantity while no image has that name.
    std::string ImageName(bool cutAtBlank, bool bareWhenFree, const CSpmImage& image) const;
    // `entry`'s image was written to `file`: it counts as unchanged, and another image whose
    // saved file that was counts as changed.
    void NoteImageWritten(ImageEntry& entry, const std::string& file);
    // The question before `entry`'s image replaces `target` in a save in place; none when the
    // file is missing or holds that image.
    std::optional<std::string> ReplaceQuestion(const ImageEntry& entry, const std::string& target) const;
    // An image other than `entry`'s that `file` holds as loaded or last written, of this or
    // another open document, as the questions name it ("scan.007:Height_01"); none when the
    // file holds no other.
    std::optional<std::string> OtherImageIn(const std::string& file, const ImageEntry& entry) const;
    // A message for each further image that the saved image list had to leave out.
    void ReportImagesTheListCannotKeep() const;
    ImageEntry* EntryOf(const CSpmImage& image);
    const ImageEntry* EntryOf(const CSpmImage& image) const;
    // The entry whose pair holds `record`, with the record's place in the pair.
    std::pair<ImageEntry*, std::size_t> EntryOf(const CPresentationConfig& record);
    // Both records of `entry` were written at `place`: NoteRecordWritten for each, leaving
    // other images' unsaved changes as they are.
    void NoteRecordsWritten(ImageEntry& entry, const SettingsPlace& place);
    // NoteRecordWritten with the file as `profile` holds it now.
    void NoteRecordWritten(const CPresentationConfig& record, ViewKind kind, const SettingsPlace& place,
                           bool replaceChanged, const ProfileFile& profile);
    // An open image, with the document that holds it and where its file keeps its settings.
    struct OpenRecord {
        CMDIDoc* m_pDoc;
        ImageEntry* m_pEntry;
        SettingsPlace m_place;
    };
    // The images, in any document, whose record of `kind`, other than `record`, reads from
    // where `record` is stored at `place`, as `profile` holds the file.
    std::vector<OpenRecord> OpenRecordsReading(const CPresentationConfig& record, ViewKind kind,
                                               const SettingsPlace& place, const ProfileFile& profile) const;
    // Every record of the document whose colours come from `image`.
    std::vector<CPresentationConfig*> RecordsColouredBy(const CSpmImage& image);

    std::vector<ImageEntry> m_imageList;
    std::string m_strPathName;                 // the file the document was opened or saved as
    bool m_bHeaderRepaired = false;            // the last LoadImage's header came from the user
    std::vector<IDocumentView*> m_views;
};
