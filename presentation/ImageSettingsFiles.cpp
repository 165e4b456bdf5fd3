#include "presentation/ImageSettingsFiles.h"

#include "image/SpmImage.h"
#include "platform/core/NumberText.h"
#include "platform/core/PathText.h"
#include "platform/core/Prompt.h"
#include "presentation/PaletteFile.h"
#include "presentation/PresentationFile.h"

namespace {

constexpr std::string_view kImageListSection = "AddImage";

// The image list of a document whose images are at `imagePaths`, first image first.
bool StoreDocImageList(ProfileFile& profile, const std::vector<std::string>& imagePaths)
{
    if (imagePaths.size() < 2)
        return true;
    bool ok = profile.SetString(kImageListSection, "NofImage",
                                FormatFixed(static_cast<double>(imagePaths.size() - 1), 0));
    for (std::size_t k = 1; ok && k < imagePaths.size(); ++k)
        ok = profile.SetString(kImageListSection, "Image" + ProfileListIndex(k - 1),
                               FileNameOf(imagePaths[k]));
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

std::vector<std::string> ReadDocImageList(const std::string& firstImagePath)
{
    const std::string cnfPath = PresentationFilePath(firstImagePath);
    const ProfileFile profile = ProfileFile::Load(cnfPath);
    const std::size_t count = ProfileListCount(profile, kImageListSection, "NofImage");
    const std::string folder = FolderOf(cnfPath);
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string name = profile.GetString(kImageListSection, "Image" + ProfileListIndex(i));
        if (name.size() > 1)
            paths.push_back(folder + name);
    }
    return paths;
}

bool WriteDocImageList(const std::vector<std::string>& imagePaths)
{
    if (imagePaths.size() < 2)
        return true;
    ProfileFile profile = ProfileFile::Load(PresentationFilePath(imagePaths.front()));
    return StoreDocImageList(profile, imagePaths) && profile.Save();
}

bool SaveImageConfig(const CSpmImage& image, const SettingsPair& settings)
{
    const ImageSettingsRef only{image, settings};
    return SaveDocImageConfigs({&only, 1});
}

bool SaveDocImageConfigs(std::span<const ImageSettingsRef> images)
{
    std::vector<std::string> imagePaths;
    for (const ImageSettingsRef& entry : images)
        imagePaths.push_back(entry.image.m_strPath);
    for (std::size_t i = 0; i < images.size(); ++i) {
        ProfileFile profile = ProfileFile::Load(PresentationFilePath(imagePaths[i]));
        const SettingsPair& pair = images[i].settings;
        const bool stored = StoreCnf(profile, ViewKind::View2D, pair[kSettings2D]) &&
                            StoreCnf(profile, ViewKind::View3D, pair[kSettings3D]) &&
                            (i != 0 || StoreDocImageList(profile, imagePaths));
        if (!stored || !profile.Save()) {
            Prompt().Message("Unable to open file for writing");
            return false;
        }
    }
    return true;
}
