// A scratch folder, a scripted prompt and quick ways to put image files into the folder.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "DocumentFiles.h"
#include "document/MDIDoc.h"
#include "formats/ImageFile.h"
#include "support/ScriptedPrompt.h"
#include "support/TestPaths.h"

class DocumentTest : public testing::Test {
protected:
    // A small valid *.spm file; returns its path.
    std::string Spm(const std::string& name, std::string_view quantity = "Height", int columns = 4,
                    int rows = 3)
    {
        return Spm(name, TestHeader(columns, rows, quantity));
    }
    std::string Spm(const std::string& name, const SpmHeader& header)
    {
        const std::string path = (dir / name).string();
        WriteSpmBytes(path, header);
        return path;
    }
    std::string Origin(const std::string& name, int columns = 3, int rows = 2)
    {
        const std::string path = (dir / name).string();
        WriteTextFile(path, OriginText(columns, rows));
        return path;
    }
    std::vector<std::string> ImageNames(const CMDIDoc& doc) const
    {
        std::vector<std::string> names;
        for (const ImageEntry& entry : doc.ImageList())
            names.push_back(entry.m_pImage->m_strName);
        return names;
    }

    ScratchDir dir;
    ScriptedPrompt prompt;
};

using Texts = std::vector<std::string>;
