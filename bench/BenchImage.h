#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include "document/MDIDoc.h"
#include "formats/ImageFile.h"
#include "image/SpmImage.h"

// Loads a side x side height image in nm, heights from height(column, row) taken row by row,
// into `doc` through a temporary *.spm file named `name`, as the application would load it.
template <class Height>
void LoadBenchImage(CMDIDoc& doc, int side, const char* name, Height height)
{
    CSpmImage image;
    image.m_header.m_nColumns = image.m_header.m_nRows = static_cast<std::uint16_t>(side);
    image.m_header.m_fKx = image.m_header.m_fKy = image.m_header.m_fKz = 1.0f;
    SetHeaderText(image.m_header.m_szZUnit, "nm");
    SetHeaderText(image.m_header.m_szXYUnit, "nm");
    SetHeaderText(image.m_header.m_szQuantity, "Height");
    image.m_nWidth = image.m_nHeight = side;
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c)
            image.m_pData.push_back(height(c, r));
    const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
    if (!CImageFile().WriteSpm(path.string(), image) || !doc.OnOpenDocument(path.string()))
        std::fprintf(stderr, "cannot prepare the benchmark image at %s\n", path.string().c_str());
    std::filesystem::remove(path);
}
