#include "presentation/ImageSettingsFiles.h"

#include <algorithm>
#include <filesystem>
#include <limits>

#include "image/SpmImage.h"
#include "platform/core/NumberText.h"
#include "platform/core/PathText.h"
#include "platform/core/Prompt.h"
#include "presentation/IniConversions.h"
#include "presentation/PaletteFile.h"
#include "presentation/PresentationFile.h"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kImageListSection = "AddImage";
// What marks the extension of an image file's own sections as spelled in capitals.
constexpr std::string_view kCapitalsMark = " in capitals";

// The image list of a document whose images are `images`, first image first, at the first
// image's place. An image's number in its file goes under a key of its own, which readers
// that know only the names pass over; image 0 needs none, so such lists keep their old form.
bool StoreDocImageList(ProfileFile& profile, const SettingsPlace& place, std::span<const ListedImage> images)
{
    if (images.size() < 2)
        return true;
    const std::string section = SectionToWrite(place, kImageListSection);
    std::vector<std::pair<std::string, int>> listed;
    for (std::size_t k = 1; k < images.size(); ++k)
        if (std::optional<std::string> name = ListedImageName(images.front().m_strPath, images[k].m_strPath))
            listed.emplace_back(std::move(*name), images[k].m_nIndexInFile);
    bool ok = profile.SetString(section, "NofImage", FormatFixed(static_cast<double>(listed.size()), 0));
    for (std::size_t i = 0; ok && i < listed.size(); ++i) {
        const std::string index = ProfileListIndex(i);
        ok = profile.SetString(section, "Image" + index, listed[i].first);
        // A number left from an earlier list would name another image of the new file.
        const bool stale = !profile.GetString(section, "ImageIndex" + index).empty();
        if (ok && (listed[i].second != 0 || stale))
            ok = profile.SetString(section, "ImageIndex" + index, FormatFixed(listed[i].second, 0));
    }
    return ok;
}

// The folder of a path as the system resolves it: links and ".." steps followed. Only "/"
// separates folders: a backslash is part of a name here.
fs::path ResolvedFolder(const std::string& path)
{
    std::error_code error;
    const fs::path folder = fs::absolute(path, error).parent_path();
    const fs::path resolved = fs::weakly_canonical(folder, error);
    return error ? folder : resolved;
}

// What a profile reader gives back for a value written as `text`.
std::string ReadBack(const std::string& text)
{
    ProfileFile profile = ProfileFile::Load({});
    return profile.SetString("s", "k", text) ? profile.GetString("s", "k") : std::string();
}

// A listed image's path: a bare name lies in the first image's folder, as lists always had
// it; a path from that folder has its folders resolved as the system resolves them. The file
// itself keeps the name listed: an image reached through a link to its file keeps the
// link's name, beside which its presentation file and save in place lie.
std::string ListedPath(const fs::path& folder, const std::string& name)
{
    const fs::path joined = folder / name;
    if (name.find('/') == std::string::npos)
        return joined.string();
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(joined.parent_path(), error);
    return error ? joined.string() : (resolved / joined.filename()).string();
}

// What marks an image file's own sections: its extension, which the other files of its
// name stem do not share, then ":". Profile names match without regard to case, so an
// extension in capitals gets a word of its own: ".spm" and ".SPM" may lie side by side.
bool HasCapitals(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

std::string SectionQualifier(const std::string& imagePath)
{
    const std::string extension = ExtensionOf(imagePath);
    return extension + (HasCapitals(extension) ? std::string(kCapitalsMark) : std::string()) + ":";
}

} // namespace

std::string PresentationFilePath(const std::string& imagePath)
{
    return ReplaceExtension(imagePath, ".cnf");
}

SettingsPlace ImageSettingsPlace(const std::string& imagePath, bool plainSectionsOwn)
{
    return {PresentationFilePath(imagePath), SectionQualifier(imagePath), plainSectionsOwn};
}

std::string ImageFileOfQualifier(const std::string& presentationFile, const std::string& qualifier)
{
    std::string extension(qualifier);
    if (extension.ends_with(':'))
        extension.pop_back();
    // Section names match without regard to case, and so does the mark; a qualifier without
    // it is that of an extension without capitals, however the file spells it, and one with
    // it that of an extension with some: as spelled where it has any, else all in capitals
    // (".spm in capitals:" is scan.SPM's, never scan.spm's).
    const std::size_t mark = extension.size() - std::min(extension.size(), kCapitalsMark.size());
    if (ProfileFile::SameName(std::string_view(extension).substr(mark), kCapitalsMark)) {
        extension.resize(mark);
        if (!HasCapitals(extension))
            std::transform(extension.begin(), extension.end(), extension.begin(),
                           [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    } else {
        extension = ProfileFile::FoldedName(extension);
    }
    return FileNameOf(ReplaceExtension(presentationFile, extension));
}

void LoadImageSettings(const SettingsPlace& place, ViewKind kind, const HeightRange& imageRange,
                       const HeightRange& automaticRange, CPresentationConfig& settings)
{
    SetPresentationDefaults(kind, settings);
    settings.m_ColorCursors = DefaultColorCursors(kind, imageRange, automaticRange);
    ReadCnf(place, kind, settings);
}

std::vector<ListedImage> ReadDocImages(const SettingsPlace& firstImagePlace)
{
    const ProfileFile profile = ProfileFile::Load(firstImagePlace.m_strFile);
    const std::string section = SectionToRead(profile, firstImagePlace, kImageListSection, kImageListSection);
    const std::size_t count = ProfileListCount(profile, section, "NofImage");
    const fs::path folder = fs::path(firstImagePlace.m_strFile).parent_path();
    std::vector<ListedImage> images;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string index = ProfileListIndex(i);
        const std::string name = profile.GetString(section, "Image" + index);
        // A number below 0 or beyond an int is no image of any file.
        const std::int64_t number = TruncToInt64(ParseIniNumber(profile.GetString(section, "ImageIndex" + index)));
        if (name.size() > 1 && number >= 0 && number <= std::numeric_limits<int>::max())
            images.push_back({ListedPath(folder, name), static_cast<int>(number)});
    }
    return images;
}

std::optional<std::string> ListedImageName(const std::string& firstImagePath, const std::string& imagePath)
{
    const fs::path file = fs::path(imagePath).filename();
    if (file.empty())
        return std::nullopt;
    const std::string name = (ResolvedFolder(imagePath) / file).lexically_relative(ResolvedFolder(firstImagePath)).string();
    if (name.empty())
        return std::nullopt;
    for (std::string stored : {name, '"' + name + '"'})
        if (ReadBack(stored) == name)
            return stored;
    return std::nullopt;
}

std::vector<std::string> ReadDocImageList(const SettingsPlace& firstImagePlace)
{
    std::vector<std::string> paths;
    for (ListedImage& image : ReadDocImages(firstImagePlace))
        paths.push_back(std::move(image.m_strPath));
    return paths;
}

bool WriteDocImageList(const SettingsPlace& firstImagePlace, std::span<const ListedImage> images)
{
    if (images.size() < 2)
        return true;
    ProfileFile profile = ProfileFile::Load(firstImagePlace.m_strFile);
    return StoreDocImageList(profile, firstImagePlace, images) && profile.Save();
}

bool SaveImageConfig(const ImageSettingsRef& image)
{
    return SaveDocImageConfigs({&image, 1}) == 1;
}

std::size_t SaveDocImageConfigs(std::span<const ImageSettingsRef> images)
{
    std::vector<ListedImage> imagePaths;
    for (const ImageSettingsRef& entry : images)
        imagePaths.push_back({entry.image.m_strPath, entry.image.m_nIndexInFile});
    for (std::size_t i = 0; i < images.size(); ++i) {
        const SettingsPlace& place = images[i].place;
        ProfileFile profile = ProfileFile::Load(place.m_strFile);
        const SettingsPair& pair = images[i].settings;
        for (const ViewKind kind : {ViewKind::View2D, ViewKind::View3D}) {
            if (const std::optional<std::string> refusal = CnfStoreRefusal(place, kind, pair[SettingsIndexOf(kind)])) {
                Prompt().Message(*refusal);
                return i;
            }
        }
        const bool stored = StoreCnf(profile, ViewKind::View2D, pair[kSettings2D], place) &&
                            StoreCnf(profile, ViewKind::View3D, pair[kSettings3D], place) &&
                            (i != 0 || StoreDocImageList(profile, place, imagePaths));
        if (!stored || !profile.Save()) {
            Prompt().Message(kTextUnableToWrite);
            return i;
        }
    }
    return images.size();
}
