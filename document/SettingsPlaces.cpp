// Which sections of a presentation file belong to an image file: files of one name stem
// share the file, so each keeps sections of its own, and the plain sections that files
// written before hold count as a file's own only where no other file could have written them.
#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

#include "document/DocumentShared.h"
#include "formats/ImageFormat.h"
#include "presentation/ImageSettingsFiles.h"

namespace fs = std::filesystem;

namespace {

// The image files the program reads in `folder` whose presentation file is named
// `presentation`, sorted by name; none when the folder cannot be listed.
std::optional<std::vector<fs::path>> ImageFilesNamedFor(const fs::path& folder, const fs::path& presentation)
{
    std::vector<fs::path> files;
    std::error_code error;
    fs::directory_iterator entry(folder.empty() ? fs::path(".") : folder, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const fs::path& file = entry->path();
        std::error_code statError;
        if (entry->is_regular_file(statError) && FormatForReading(file.string()) != ImageFormat::kNone &&
            fs::path(PresentationFilePath(file.string())).filename() == presentation)
            files.push_back(file);
    }
    if (error)
        return std::nullopt;
    std::ranges::sort(files);
    return files;
}

// Whether the image file at `imagePath` is the only file the program reads whose
// presentation file is its own: then no other could have written that file's plain
// sections. A folder that cannot be listed cannot tell.
bool OnlyImageFileOfItsPresentationFile(const std::string& imagePath)
{
    const fs::path image(imagePath);
    const std::optional<std::vector<fs::path>> files =
        ImageFilesNamedFor(image.parent_path(), fs::path(PresentationFilePath(imagePath)).filename());
    return files && std::ranges::all_of(*files, [&](const fs::path& file) { return file.filename() == image.filename(); });
}

} // namespace

SettingsPlace SettingsPlaceOf(const std::string& imagePath)
{
    return ImageSettingsPlace(imagePath, OnlyImageFileOfItsPresentationFile(imagePath));
}

std::vector<std::string> ImageFilesOfPresentationFile(const std::string& presentationPath)
{
    const fs::path presentation(presentationPath);
    std::vector<std::string> paths;
    const std::optional<std::vector<fs::path>> files = ImageFilesNamedFor(presentation.parent_path(), presentation.filename());
    for (const fs::path& file : files.value_or(std::vector<fs::path>{}))
        paths.push_back(file.string());
    return paths;
}
