// The images that join a document after it opens: the companion of a multi-image file and
// those the first image's presentation file lists.
#include "document/MDIDoc.h"

#include <algorithm>

#include "document/DocumentShared.h"
#include "formats/ImageFormat.h"
#include "presentation/ImageSettingsFiles.h"

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
    return ReadDocImageList(m_imageList.front().m_pImage->m_strPath);
}

std::vector<ListedImage> CMDIDoc::ListedImages() const
{
    if (m_imageList.empty())
        return {};
    std::vector<ListedImage> images;
    for (ListedImage& listed : ReadDocImages(m_imageList.front().m_pImage->m_strPath)) {
        const auto same = [&listed](const std::string& path, int indexInFile) {
            return indexInFile == listed.m_nIndexInFile && SameFile(path, listed.m_strPath);
        };
        const bool held = std::any_of(m_imageList.begin(), m_imageList.end(), [&same](const ImageEntry& entry) {
            return same(entry.m_pImage->m_strPath, entry.m_pImage->m_nIndexInFile);
        });
        const bool twice = std::any_of(images.begin(), images.end(), [&same](const ListedImage& earlier) {
            return same(earlier.m_strPath, earlier.m_nIndexInFile);
        });
        if (!held && !twice)
            images.push_back(std::move(listed));
    }
    return images;
}
