#include "presentation/ImageSettingsFiles.h"

#include <limits>

#include "image/SpmImage.h"
#include "platform/core/NumberText.h"
#include "platform/core/PathText.h"
#include "platform/core/Prompt.h"
#include "presentation/IniConversions.h"
#include "presentation/PaletteFile.h"
#include "presentation/PresentationFile.h"

namespace {

constexpr std::string_view kImageListSection = "AddImage";

// The image list of a document whose images are `images`, first image first. An image's
// number in its file goes under a key of its own, which readers that know only the names
// pass over; image 0 needs none, so such lists keep their old form.
bool StoreDocImageList(ProfileFile& profile, std::span<const ListedImage> images)
{
    if (images.size() < 2)
        return true;
    bool ok = profile.SetString(kImageListSection, "NofImage",
                                FormatFixed(static_cast<double>(images.size() - 1), 0));
    for (std::size_t k = 1; ok && k < images.size(); ++k) {
        const std::string index = ProfileListIndex(k - 1);
        ok = profile.SetString(kImageListSection, "Image" + index, FileNameOf(images[k].m_strPath));
        // A number left from an earlier list would name another image of the new file.
        const bool stale = !profile.GetString(kImageListSection, "ImageIndex" + index).empty();
        if (ok && (images[k].m_nIndexInFile != 0 || stale))
            ok = profile.SetString(kImageListSection, "ImageIndex" + index,
                                   FormatFixed(images[k].m_nIndexInFile, 0));
    }
    return ok;
}

} // namespace

void LoadImageSettings(const std::string& imagePath, ViewKind kind, const HeightRange& imageRange,
                       const HeightRange& automaticRange, CPresentationConfig& settings)
{
    SetPresentationDefaults(kind, settings);
    settings.m_ColorCursors = DefaultColorCursors(kind, imageRange, automaticRange);
    ReadCnf(PresentationFilePath(imagePath), kind, settings);
}

std::string PresentationFilePath(const std::string& imagePath)
{
    return ReplaceExtension(imagePath, ".cnf");
}

std::vector<ListedImage> ReadDocImages(const std::string& firstImagePath)
{
    const std::string cnfPath = PresentationFilePath(firstImagePath);
    const ProfileFile profile = ProfileFile::Load(cnfPath);
    const std::size_t count = ProfileListCount(profile, kImageListSection, "NofImage");
    const std::string folder = FolderOf(cnfPath);
    std::vector<ListedImage> images;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string index = ProfileListIndex(i);
        const std::string name = profile.GetString(kImageListSection, "Image" + index);
        // A number below 0 or beyond an int is no image of any file.
        const std::int64_t number =
            TruncToInt64(ParseIniNumber(profile.GetString(kImageListSection, "ImageIndex" + index)));
        if (name.size() > 1 && number >= 0 && number <= std::numeric_limits<int>::max())
            images.push_back({folder + name, static_cast<int>(number)});
    }
    return images;
}

std::vector<std::string> ReadDocImageList(const std::string& firstImagePath)
{
    std::vector<std::string> paths;
    for (ListedImage& image : ReadDocImages(firstImagePath))
        paths.push_back(std::move(image.m_strPath));
    return paths;
}

bool WriteDocImageList(std::span<const ListedImage> images)
{
    if (images.size() < 2)
        return true;
    ProfileFile profile = ProfileFile::Load(PresentationFilePath(images.front().m_strPath));
    return StoreDocImageList(profile, images) && profile.Save();
}

bool SaveImageConfig(const CSpmImage& image, const SettingsPair& settings)
{
    const ImageSettingsRef only{image, settings};
    return SaveDocImageConfigs({&only, 1}) == 1;
}

std::size_t SaveDocImageConfigs(std::span<const ImageSettingsRef> images)
{
    std::vector<ListedImage> imagePaths;
    for (const ImageSettingsRef& entry : images)
        imagePaths.push_back({entry.image.m_strPath, entry.image.m_nIndexInFile});
    for (std::size_t i = 0; i < images.size(); ++i) {
        ProfileFile profile = ProfileFile::Load(PresentationFilePath(imagePaths[i].m_strPath));
        const SettingsPair& pair = images[i].settings;
        const bool stored = StoreCnf(profile, ViewKind::View2D, pair[kSettings2D]) &&
                            StoreCnf(profile, ViewKind::View3D, pair[kSettings3D]) &&
                            (i != 0 || StoreDocImageList(profile, imagePaths));
        if (!stored || !profile.Save()) {
            Prompt().Message("Unable to open file for writing");
            return i;
        }
    }
    return images.size();
}
