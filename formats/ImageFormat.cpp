#include "formats/ImageFormat.h"

#include <algorithm>

#include "formats/FileExtension.h"
#include "formats/ImageFile.h"
#include "image/SpmImage.h"

namespace {

const std::vector<ImageFormatEntry>& Table()
{
    static const std::vector<ImageFormatEntry> table{
        {ImageFormat::kSpm, {".spm", ".SPM"}, {".spm", ".SPM"}, false, false,
         "Tessalo Files", "*.spm", "Tessalo Files", ".spm"},
        {ImageFormat::kNanoscope, {}, {}, true, true,
         "DI Nanoscope V4.3x Files", "*.000 - *.999", "DI Nanoscope V4.3x File", ".000"},
        {ImageFormat::kMdt, {".mdt", ".MDT"}, {".mdt"}, false, true,
         "NT-MDT Files", "*.mdt", "NT-MDT File", ".mdt"},
        {ImageFormat::kOrigin, {".dat", ".DAT"}, {}, false, false,
         "Origin Files", "*.dat", "", ".dat"},
    };
    return table;
}

bool Listed(const std::vector<std::string_view>& forms, bool series, std::string_view extension)
{
    return std::find(forms.begin(), forms.end(), extension) != forms.end() ||
           (series && IsNanoscopeSeriesExtension(extension));
}

const ImageFormatEntry* EntryFor(std::string_view path, bool writing)
{
    const std::string extension = ExtensionOf(path);
    for (const ImageFormatEntry& entry : Table())
        if (Listed(writing ? entry.m_writeExtensions : entry.m_readExtensions, entry.m_bNumberedSeries,
                   extension))
            return &entry;
    return nullptr;
}

} // namespace

std::span<const ImageFormatEntry> ImageFormatTable()
{
    return Table();
}

ImageFormat FormatForReading(std::string_view path)
{
    const ImageFormatEntry* entry = EntryFor(path, false);
    return entry != nullptr ? entry->m_format : ImageFormat::kNone;
}

ImageFormat FormatForWriting(std::string_view path)
{
    const ImageFormatEntry* entry = EntryFor(path, true);
    return entry != nullptr ? entry->m_format : ImageFormat::kNone;
}

std::string WrittenPath(std::string_view path)
{
    return FormatForWriting(path) == ImageFormat::kSpm ? SpmFilePath(path) : std::string(path);
}

bool HoldsCompanionImages(std::string_view path)
{
    const ImageFormatEntry* entry = EntryFor(path, true);
    return entry != nullptr && entry->m_bSeveralImages;
}

bool ReadImageHeader(CImageFile& file, ImageFormat format, const std::string& path, CSpmImage& image)
{
    switch (format) {
    case ImageFormat::kSpm: return file.ReadSpmHeader(path, image.m_header);
    case ImageFormat::kOrigin: return file.ReadOriginHeader(path, image.m_header);
    case ImageFormat::kMdt: return file.ReadMdtHeader(path, image.m_header, image.m_nIndexInFile);
    case ImageFormat::kNanoscope:
        return file.ReadNanoscopeHeader(path, image.m_header, image.m_nIndexInFile);
    case ImageFormat::kNone: break;
    }
    return false;
}

bool ReadImageSamples(CImageFile& file, ImageFormat format, const std::string& path, CSpmImage& image)
{
    switch (format) {
    case ImageFormat::kSpm: return file.ReadSpmData(path, image);
    case ImageFormat::kOrigin: return file.ReadOriginData(image);
    case ImageFormat::kMdt: return file.ReadMdtData(image);
    case ImageFormat::kNanoscope: return file.ReadNanoscopeData(image);
    case ImageFormat::kNone: break;
    }
    return false;
}

bool WriteImage(CImageFile& file, ImageFormat format, const std::string& path, CSpmImage& image)
{
    switch (format) {
    case ImageFormat::kSpm: return file.WriteSpm(path, image);
    case ImageFormat::kNanoscope: return file.WriteNanoscope(path, image);
    case ImageFormat::kMdt: return file.WriteMdt(path, image);
    case ImageFormat::kOrigin:
    case ImageFormat::kNone: break;
    }
    return false;
}
