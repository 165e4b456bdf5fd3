// A scratch folder, a scripted prompt and quick ways to put image files into it: *.spm files
// written byte for byte (so headers can be as broken as a test needs), files of the other
// formats through the program's writers, and Origin text exports.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "document/MDIDoc.h"
#include "formats/ImageFile.h"
#include "formats/ImageFormat.h"
#include "image/ImageStatistics.h"
#include "support/ScriptedPrompt.h"
#include "support/TestPaths.h"

// The header record is the file layout on a little-endian machine, offsets checked with it.
static_assert(std::endian::native == std::endian::little);

using Texts = std::vector<std::string>;
using FileSave = CMDIDoc::FileSaveResult;

class DocumentTest : public testing::Test {
protected:
    // A valid header: steps 2 nm, Z scale 0.5 nm per sample.
    static SpmHeader TestHeader(int columns, int rows, std::string_view quantity = "Height")
    {
        SpmHeader header{};
        header.m_nColumns = static_cast<std::uint16_t>(columns);
        header.m_nRows = static_cast<std::uint16_t>(rows);
        header.m_fKx = header.m_fKy = 2.0f;
        header.m_fKz = 0.5f;
        SetHeaderText(header.m_szZUnit, "nm");
        SetHeaderText(header.m_szXYUnit, "nm");
        SetHeaderText(header.m_szQuantity, quantity);
        return header;
    }
    // A *.spm file of the header as it stands, then samples i % 2000 - 1000; returns its path.
    std::string Spm(const std::string& name, const SpmHeader& header)
    {
        std::vector<std::uint8_t> bytes(sizeof header);
        std::memcpy(bytes.data(), &header, sizeof header);
        for (std::size_t i = 0; i < std::size_t{header.m_nColumns} * header.m_nRows; ++i) {
            const auto sample = static_cast<std::uint16_t>(static_cast<int>(i % 2000) - 1000);
            bytes.insert(bytes.end(), {static_cast<std::uint8_t>(sample), static_cast<std::uint8_t>(sample >> 8)});
        }
        WriteFile(dir / name, bytes);
        return (dir / name).string();
    }
    std::string Spm(const std::string& name, std::string_view quantity = "Height", int columns = 4, int rows = 3)
    {
        return Spm(name, TestHeader(columns, rows, quantity));
    }
    // An Origin export of a columns x rows image: values r x columns + c, steps 0.5.
    std::string Origin(const std::string& name, int columns = 3, int rows = 2)
    {
        std::string text = "Y\t";
        for (int c = 1; c <= columns; ++c)
            text += std::to_string(0.5 * c) + "\t";
        for (int r = 0; r < rows; ++r) {
            text += "\r\n" + std::to_string(0.5 * (r + 1)) + "\t";
            for (int c = 0; c < columns; ++c)
                text += std::to_string(r * columns + c) + "\t";
        }
        WriteFile(dir / name, text + "\r\n");
        return (dir / name).string();
    }
    // A 5 x 4 image of heights rising from -5 to 20 nm, saved by the writer of the name's
    // extension (*.spm for any other).
    std::string Written(const std::string& name, std::string_view quantity = "Height")
    {
        CSpmImage image;
        image.m_header = TestHeader(5, 4, quantity);
        image.m_nWidth = 5;
        image.m_nHeight = 4;
        for (int i = 0; i < 20; ++i)
            image.m_pData.push_back(-5.0 + 25.0 * i / 19);
        image.m_dMin = -5.0;
        image.m_dMax = 20.0;
        const ImageFormat format = FormatForWriting(name);
        CImageFile file;
        EXPECT_TRUE(WriteImage(file, format == ImageFormat::kNone ? ImageFormat::kSpm : format,
                               (dir / name).string(), image))
            << name;
        return (dir / name).string();
    }
    // An NT-MDT file whose scanned frame (that of Written) is stored twice: images 0 and 1.
    std::string TwoFrameMdt(const std::string& name)
    {
        std::vector<std::uint8_t> bytes = FileBytes(Written("single.mdt"));
        std::filesystem::remove(dir / "single.mdt");
        bytes.insert(bytes.end(), bytes.begin() + 33, bytes.end());
        const auto fileSize = static_cast<std::uint32_t>(bytes.size() - 33);
        std::memcpy(&bytes[4], &fileSize, 4);
        bytes[12] = 1;  // number of the last frame
        WriteFile(dir / name, bytes);
        return (dir / name).string();
    }
    // Raises the first height of `image` (one of the document's) by one and every height by
    // `delta`, remeasures it and tells the document.
    static void ChangeHeights(CMDIDoc& doc, const CSpmImage& image, double delta = 0.0)
    {
        auto& changed = const_cast<CSpmImage&>(image);
        changed.m_pData.front() += 1.0;
        for (double& height : changed.m_pData)
            height += delta;
        ComputeMinMax(changed);
        doc.SetModifiedFlag(image);
    }
    static Texts ImageNames(const CMDIDoc& doc)
    {
        Texts names;
        for (const ImageEntry& entry : doc.ImageList())
            names.push_back(entry.m_pImage->m_strName);
        return names;
    }

    ScratchDir dir;
    ScriptedPrompt prompt;
};
