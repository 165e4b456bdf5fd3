#include "presentation/PresentationConfig.h"

#include <cmath>

#include "document/SpmImage.h"
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

const char* ViewKindText(ViewKind kind)
{
    return kind == ViewKind::View3D ? "3D" : "2D";
}

ViewKind ViewKindForSettingsIndex(int settingsIndex)
{
    return settingsIndex != 0 ? ViewKind::View3D : ViewKind::View2D;
}

CPresentationConfig::CPresentationConfig()
{
    ComputeLightPosition(*this);
}

void SetPresentationDefaults(ViewKind kind, CPresentationConfig& settings)
{
    CPresentationConfig defaults;
    const bool is3D = kind == ViewKind::View3D;
    defaults.m_EnablePolygonLight = is3D ? 1 : 0;
    defaults.m_EnablePolygonColor = is3D ? 0 : 1;
    defaults.m_ColorCursors = std::move(settings.m_ColorCursors);
    defaults.m_pColorTable = std::move(settings.m_pColorTable);
    defaults.m_NameOfImageForColor = std::move(settings.m_NameOfImageForColor);
    defaults.m_ImageName = std::move(settings.m_ImageName);
    settings = std::move(defaults);
}

void ComputeLightPosition(CPresentationConfig& settings)
{
    // Degrees to radians with 6.28 for two pi: stored files and the panels agree on it.
    const float perDegree = 1.0f / 360.0f;
    const double angle = static_cast<double>(settings.m_LightAngle) * perDegree * 6.28;
    settings.m_LightPosition = {static_cast<float>(1000.0 * std::sin(angle)),
                                static_cast<float>(1000.0 * std::cos(angle)),
                                -settings.m_LightHight, 1.0f};
}

std::vector<ColorCursor> DefaultColorCursors(ViewKind kind, const HeightRange& imageRange,
                                             const HeightRange& automaticRange)
{
    const COLORREF dark = kind == ViewKind::View3D ? MakeColor(128, 128, 128) : MakeColor(0, 0, 0);
    const COLORREF white = MakeColor(255, 255, 255);
    const double range = imageRange.max - imageRange.min;
    if (!(range > 0.0) || !std::isfinite(range))
        return {{dark, 0.0f}, {white, 1.0f}};
    return {{dark, static_cast<float>((automaticRange.min - imageRange.min) / range)},
            {white, static_cast<float>((automaticRange.max - imageRange.min) / range)}};
}

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
