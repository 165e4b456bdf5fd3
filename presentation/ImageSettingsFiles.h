// The presentation file (*.cnf) of an image as the document uses it: the settings an image
// starts with, the document's image list, and saving every record of the document's images.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "presentation/PresentationConfig.h"
#include "presentation/PresentationFile.h"

class CSpmImage;

// The presentation file of an image: its path with the file name's extension replaced by
// ".cnf" (a.001 gives a.cnf; a name without a point gets ".cnf" appended).
std::string PresentationFilePath(const std::string& imagePath);

// Where the image file at `imagePath` keeps its settings in its presentation file: the
// sections qualified by its extension; `plainSectionsOwn` when no other file of its name stem
// could have written the file's plain sections. Profile names match without regard to case,
// so an extension in capitals (".SPM") is marked as such, apart from its lower-case twin.
SettingsPlace ImageSettingsPlace(const std::string& imagePath, bool plainSectionsOwn);

// The file name of the image file whose sections in the presentation file at
// `presentationFile` carry `qualifier` (".001:" in scan.cnf: scan.001).
std::string ImageFileOfQualifier(const std::string& presentationFile, const std::string& qualifier);

// The settings a freshly loaded image starts with: the kind's defaults, the default palette
// from the image's whole height range and its automatic (histogram-narrowed) range, then
// every key the image file keeps in its presentation file over them. A missing file changes
// nothing.
void LoadImageSettings(const SettingsPlace& place, ViewKind kind, const HeightRange& imageRange,
                       const HeightRange& automaticRange, CPresentationConfig& settings);

// The further images that a document's first image lists at its place (section "AddImage",
// keys "NofImage" and "Image[i]"), in list order: a bare file name in the first image's
// folder, a path from that folder ("../b/x.spm") with its folders resolved as the system
// resolves them. Entries of fewer than two characters are skipped.
std::vector<std::string> ReadDocImageList(const SettingsPlace& firstImagePlace);

// One further image of a document's list: its path and its number within its file (0 when
// the list names none: lists written before the number was kept).
struct ListedImage {
    std::string m_strPath;
    int m_nIndexInFile = 0;
};
// The list as ReadDocImageList reads it, each image with its number (key "ImageIndex[i]");
// an entry whose number is below 0 or beyond an int names no image and is skipped.
std::vector<ListedImage> ReadDocImages(const SettingsPlace& firstImagePlace);

// What the list of a document whose first image is `firstImagePath` stores for the image
// at `imagePath`: the bare file name for an image beside the first one, as lists always had
// it, else its path from the first image's folder; quoted where the profile reader would
// trim it. None when no profile value reads back as that path (a line break, or longer
// than the reader's buffer): a cut name would bring back another file.
std::optional<std::string> ListedImageName(const std::string& firstImagePath, const std::string& imagePath);

// Writes the list of a document's images at the first image's place: the count of further
// images and the ListedImageName of each, with its number in its file; an image the list
// cannot name is left out. With fewer than two images nothing is written. Returns false
// when the file could not be written.
bool WriteDocImageList(const SettingsPlace& firstImagePlace, std::span<const ListedImage> images);

// One image of a document with its pair of records and the place its file keeps them.
struct ImageSettingsRef {
    const CSpmImage& image;
    const SettingsPair& settings;
    SettingsPlace place;
};

// "Save Image Config": both records of one image at its place. Shows "Unable to open file
// for writing" and returns false when the file cannot be written.
bool SaveImageConfig(const ImageSettingsRef& image);

// "Save Configs of Doc. Images ": every image's records into its own presentation file,
// then the document's image list into the first image's file. Stops at the first file that
// cannot be written, with the message of SaveImageConfig. Returns how many images, from the
// first, had their records written: all of them unless a file failed.
std::size_t SaveDocImageConfigs(std::span<const ImageSettingsRef> images);
