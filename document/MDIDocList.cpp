// The images that join a document after it opens: the companion of a multi-image file and
// those the first image's presentation file lists; and keeping that list.
#include "document/MDIDoc.h"

#include <algorithm>

#include "document/DocumentShared.h"
#include "formats/ImageFile.h"
#include "formats/ImageFormat.h"
#include "platform/core/Prompt.h"
#include "presentation/ImageSettingsFiles.h"

namespace {

// The same file under any spelling, and the same number within it.
bool IsImage(const ListedImage& listed, const std::string& path, int indexInFile)
{
    return indexInFile == listed.m_nIndexInFile && SameFile(path, listed.m_strPath);
}

// Only a format of several images numbers its images above 0.
bool CanHoldImageNumber(const std::string& path, int indexInFile)
{
    if (indexInFile == 0)
        return true;
    const ImageFormat format = FormatForReading(path);
    const auto formats = ImageFormatTable();
    return std::any_of(formats.begin(), formats.end(), [format](const ImageFormatEntry& entry) {
        return entry.m_format == format && entry.m_bSeveralImages;
    });
}

} // namespace

std::optional<std::string> CMDIDoc::CompanionImagePath() const
{
    if (m_pCurImage == nullptr || m_imageList.empty())
        return std::nullopt;
    if (!HoldsCompanionImages(m_pCurImage->m_strPath))
        return std::nullopt;
    return m_imageList.front().m_pImage->m_strPath;
}

std::vector<std::string> CMDIDoc::ListedImagePaths() const
{
    if (m_imageList.empty())
        return {};
    return ReadDocImageList(SettingsPlaceOf(m_imageList.front().m_pImage->m_strPath));
}

std::vector<ListedImage> CMDIDoc::ListedImages() const
{
    if (m_imageList.empty())
        return {};
    std::vector<ListedImage> images;
    for (ListedImage& listed : ReadDocImages(SettingsPlaceOf(m_imageList.front().m_pImage->m_strPath))) {
        const bool held = std::any_of(m_imageList.begin(), m_imageList.end(), [&listed](const ImageEntry& entry) {
            return IsImage(listed, entry.m_pImage->m_strPath, entry.m_pImage->m_nIndexInFile);
        });
        const bool twice = std::any_of(images.begin(), images.end(), [&listed](const ListedImage& earlier) {
            return IsImage(listed, earlier.m_strPath, earlier.m_nIndexInFile);
        });
        if (!held && !twice && CanHoldImageNumber(listed.m_strPath, listed.m_nIndexInFile))
            images.push_back(std::move(listed));
    }
    return images;
}

bool CMDIDoc::IsImageListModified() const
{
    if (m_imageList.size() < 2)
        return false;
    // What opening the first image's file brings along: its companion and the listed images.
    const std::string& first = m_imageList.front().m_pImage->m_strPath;
    std::vector<ListedImage> brought = ReadDocImages(SettingsPlaceOf(first));
    if (HoldsCompanionImages(first))
        brought.push_back({first, 1});
    // An image no list can name is not offered: saving the list would not bring it back.
    return std::any_of(m_imageList.begin() + 1, m_imageList.end(), [&](const ImageEntry& entry) {
        const CSpmImage& image = *entry.m_pImage;
        return ListedImageName(first, image.m_strPath) &&
               std::none_of(brought.begin(), brought.end(), [&image](const ListedImage& listed) {
                   return IsImage(listed, image.m_strPath, image.m_nIndexInFile);
               });
    });
}

bool CMDIDoc::SaveImageList()
{
    if (m_imageList.empty())
        return true;
    std::vector<ListedImage> images;
    for (const ImageEntry& entry : m_imageList)
        images.push_back({entry.m_pImage->m_strPath, entry.m_pImage->m_nIndexInFile});
    if (!WriteDocImageList(SettingsPlaceOf(images.front().m_strPath), images)) {
        Prompt().Message(kTextUnableToOpenForWriting);
        return false;
    }
    ReportImagesTheListCannotKeep();
    return true;
}

void CMDIDoc::ReportImagesTheListCannotKeep() const
{
    if (m_imageList.size() < 2)
        return;
    const std::string& first = m_imageList.front().m_pImage->m_strPath;
    for (auto entry = m_imageList.begin() + 1; entry != m_imageList.end(); ++entry) {
        const std::string& path = entry->m_pImage->m_strPath;
        if (!ListedImageName(first, path))
            Prompt().Message("The image list of " + GetTitle() + " cannot keep " + path +
                             ": its path holds a line break or is too long for the list. Add it again "
                             "after opening " + GetTitle() + ".");
    }
}
