// The name a file dialog hands back: the chosen type's extension where the program will add
// it anyway, so that the dialog's own checks concern the file really read or written.
#include <gtest/gtest.h>

#include "platform/core/DialogModels.h"
#include "platform/core/PathText.h"

TEST(FileDialogModel, NamesTakeTheExtensionTheProgramWouldAddBeforeTheDialogLooks)
{
    const FileTypeChoice bare{"Tessalo Files", {"*.spm"}, ".spm"};
    const FileTypeChoice always = AlwaysExtensionType("Palette Files", "*.plt", ".plt");
    const FileTypeChoice any{"All Files", {"*"}, ""};
    // Entries whose writers complete names of their own accord: one puts ".spm" behind any
    // other name, the other ".spm" behind a "*.txt".
    FileTypeChoice own{"Own Files", {"*.spm"}, ".spm"};
    own.m_writtenPath = [](std::string_view path) { return EnsureExtension(path, ".spm"); };
    FileTypeChoice series{"Series", {"*.000"}, ".000"};
    series.m_writtenPath = [](std::string_view path) {
        return path.ends_with(".txt") ? std::string(path) + ".spm" : std::string(path);
    };
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
        // A save takes the name its writer writes, after a bare name took the extension.
        {false, own, "/d/a", "/d/a.spm"},
        {false, own, "/d/a.SPM", "/d/a.SPM.spm"},
        {false, own, "/d/a.spm", "/d/a.spm"},
        {false, series, "/d/a", "/d/a.000"},
        {false, series, "/d/a.txt", "/d/a.txt.spm"},
        {false, series, "/d/a.mdt", "/d/a.mdt"},
        {true, own, "/d/a.SPM", "/d/a.SPM"},
        {true, own, "/d/a", "/d/a.spm"},
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
