// The image file formats as one choice, and the one table that says which extension means
// which format: the document's loader, its save path and companion-image rule, and the file
// dialogs all read it, so a format is added or changed in one place.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

class CImageFile;
class CSpmImage;

enum class ImageFormat { kNone, kSpm, kOrigin, kMdt, kNanoscope };

// One format of the table. Extensions compare exactly and case-sensitively: only the forms
// listed are accepted.
struct ImageFormatEntry {
    ImageFormat m_format;
    std::vector<std::string_view> m_readExtensions;   // forms that open with this format
    std::vector<std::string_view> m_writeExtensions;  // forms "Save Image As..." writes; none: read only
    bool m_bNumberedSeries;       // also ".000" to ".999" for reading and writing
    bool m_bSeveralImages;        // image 1 of the same file joins the document after image 0
    std::string_view m_openDescription;  // the open dialog's filter, e.g. "NT-MDT Files"
    std::string_view m_openPatternText;  // its patterns as the label shows them
    std::string_view m_saveDescription;  // the save dialog's filter; empty when not written
    std::string_view m_defaultExtension; // what the save dialog appends, e.g. ".mdt"
};

// Every format the program reads, in the order the file dialogs list them.
std::span<const ImageFormatEntry> ImageFormatTable();

// The format a path opens with by its extension; kNone for any other extension.
ImageFormat FormatForReading(std::string_view path);
// The format "Save Image As..." writes for a path's extension; kNone when it writes none.
ImageFormat FormatForWriting(std::string_view path);
// The file "Save Image As..." writes for `path`: the writer of its format may complete the
// name (SpmFilePath); a path nothing is written to stays as it is. The save dialog asks
// whether to replace this file, not one of the name typed.
std::string WrittenPath(std::string_view path);
// True when the file may hold further images of its kind that join a document opened from
// it: a format of several images, under a form the program writes (".mdt", not ".MDT").
bool HoldsCompanionImages(std::string_view path);

// The format's header reader into image.m_header, for image number image.m_nIndexInFile;
// false (with the file's failure reason) when the file is refused or the format is kNone.
bool ReadImageHeader(CImageFile& file, ImageFormat format, const std::string& path, CSpmImage& image);
// The format's sample reader, after ReadImageHeader with the same file object.
bool ReadImageSamples(CImageFile& file, ImageFormat format, const std::string& path, CSpmImage& image);
// The format's writer; false for a format that is only read (Origin) or kNone.
bool WriteImage(CImageFile& file, ImageFormat format, const std::string& path, CSpmImage& image);
