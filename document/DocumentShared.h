// Helpers that several parts of the document share: an image's two height ranges, whether
// two paths name one file, and the state an image is compared with to tell a change.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "document/MDIDoc.h"
#include "image/ImageStatistics.h"
#include "image/SpmImage.h"
#include "presentation/PresentationConfig.h"

struct ImageRanges {
    HeightRange whole;
    HeightRange automatic;
};

// The image's whole range and the automatic one its histogram gives; the automatic range is
// cut from the histogram in place, so the image gets its own back.
inline ImageRanges RangesOf(CSpmImage& image)
{
    const HeightRange whole{image.m_dMin, image.m_dMax};
    AutoRangeFromHistogram(image);
    const HeightRange automatic{image.m_dMin, image.m_dMax};
    image.m_dMin = whole.min;
    image.m_dMax = whole.max;
    return {whole, automatic};
}

// One file under two spellings of its path ("a/./b.000" and "a/b.000") is one file.
inline bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error))
        return true;
    return std::filesystem::path(a).lexically_normal() == std::filesystem::path(b).lexically_normal();
}

// Whether the file `entry`'s image was loaded from or last written to still holds what it
// held then: another document's save, or another program, may have replaced it since.
inline bool SavedFileIntact(const ImageEntry& entry)
{
    return !entry.m_strSavedFile.empty() && entry.m_savedFileStamp &&
           StampOf(entry.m_strSavedFile) == entry.m_savedFileStamp;
}

// Whether `file` is the one `entry`'s image was loaded from or last written to, unchanged.
inline bool HoldsSavedImage(const std::string& file, const ImageEntry& entry)
{
    return SavedFileIntact(entry) && SameFile(entry.m_strSavedFile, file);
}

// Whether `entry`'s image has changes that no file holds: its own, or a file that held it
// and has been replaced since.
inline bool HasUnsavedChanges(const ImageEntry& entry)
{
    return entry.m_bModified || !SavedFileIntact(entry);
}

// A refusal names the file it refuses: files also arrive by hand-over and from image lists,
// where the user did not just pick them. An image made here, without a file, has no name to add.
inline std::string NamingFile(std::string_view text, const std::string& path)
{
    return path.empty() ? std::string(text) : std::string(text) + "\n" + path;
}

// Where the image file at `imagePath` keeps its view settings and image list in its
// presentation file.
SettingsPlace SettingsPlaceOf(const std::string& imagePath);
// The image files beside the presentation file at `presentationPath` whose presentation
// file it is, sorted by name.
std::vector<std::string> ImageFilesOfPresentationFile(const std::string& presentationPath);

// Every document of the process, for the saves that must not replace another one's file or
// settings unasked. The user-interface thread alone makes and ends documents.
std::vector<CMDIDoc*>& OpenDocuments();

// The image's header, size and a digest of its heights.
ImageState StateOf(const CSpmImage& image);
bool SameState(const ImageState& a, const ImageState& b);
