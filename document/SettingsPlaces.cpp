// Which sections of a presentation file belong to an image file: files of one name stem
// share the file, so each keeps sections of its own, and the plain sections that files
// written before hold count as a file's own only where no other file could have written them.
#include <filesystem>

#include "document/DocumentShared.h"
#include "formats/ImageFormat.h"
#include "presentation/ImageSettingsFiles.h"

namespace fs = std::filesystem;

namespace {

// Whether the image file at `imagePath` is the only file the program reads whose
// presentation file is its own: then no other could have written that file's plain
// sections. A folder that cannot be listed cannot tell.
bool OnlyImageFileOfItsPresentationFile(const std::string& imagePath)
{
    const fs::path image(imagePath);
    const std::string presentation = fs::path(PresentationFilePath(imagePath)).filename().string();
    const fs::path folder = image.has_parent_path() ? image.parent_path() : fs::path(".");
    std::error_code error;
    fs::directory_iterator entry(folder, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const fs::path& other = entry->path();
        std::error_code statError;
        if (other.filename() == image.filename() || !entry->is_regular_file(statError))
            continue;
        if (FormatForReading(other.string()) != ImageFormat::kNone &&
            fs::path(PresentationFilePath(other.string())).filename() == presentation)
            return false;
    }
    return !error;
}

} // namespace

SettingsPlace SettingsPlaceOf(const std::string& imagePath)
{
    return ImageSettingsPlace(imagePath, OnlyImageFileOfItsPresentationFile(imagePath));
}
