// The name a file dialog hands back: the chosen type's extension where the program will add
// it anyway, so that the dialog's own checks concern the file really read or written.
#include <gtest/gtest.h>

#include "platform/core/DialogModels.h"

TEST(FileDialogModel, NamesTakeTheExtensionTheProgramWouldAddBeforeTheDialogLooks)
{
    const FileTypeChoice bare{"Tessalo Files", {"*.spm"}, ".spm"};
    const FileTypeChoice always{"Palette Files", {"*.plt"}, ".plt", true};
    const FileTypeChoice any{"All Files", {"*"}, ""};
    const struct {
        bool open;
        const FileTypeChoice& type;
        const char* typed;
        const char* chosen;
    } cases[] = {
        {false, bare, "/d.x/scan", "/d.x/scan.spm"},
        {false, bare, "/d/scan.txt", "/d/scan.txt"},
        {false, bare, "/d/scan.SPM", "/d/scan.SPM"},
        {false, always, "/d.x/pal", "/d.x/pal.plt"},
        {false, always, "/d/pal.plt", "/d/pal.plt"},
        {false, always, "/d/pal.txt", "/d/pal.txt.plt"},
        {false, always, "/d/pal.PLT", "/d/pal.PLT.plt"},
        // An open reads the file named; only a bare name is completed.
        {true, always, "/d/pal.txt", "/d/pal.txt"},
        {true, always, "/d/pal", "/d/pal.plt"},
        {false, any, "/d/x", "/d/x"},
        {false, always, "", ""},
    };
    for (const auto& c : cases) {
        CFileDialogModel model(c.open, "T", {any, c.type});
        EXPECT_EQ(model.WithExtension(c.typed, 1), c.chosen) << c.typed << (c.open ? " opened" : " saved");
        model.Choose(c.typed, 1);
        EXPECT_EQ(model.m_strPath, c.chosen) << c.typed;
        // Completing twice changes nothing: the dialog and the model both apply it.
        EXPECT_EQ(model.WithExtension(c.chosen, 1), c.chosen) << c.typed;
        // An entry the dialog does not have leaves the name alone.
        EXPECT_EQ(model.WithExtension(c.typed, 2), c.typed) << c.typed;
    }
}
