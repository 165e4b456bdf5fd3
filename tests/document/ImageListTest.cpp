// The document's image list: names and lookups, the settings pair of each image, the
// follow-up images of File Open, and the views that hear of changes.
#include "DocumentFixture.h"

#include <functional>

#include "document/DocumentShared.h"
#include "platform/core/ProfileFile.h"
#include "presentation/ImageSettingsFiles.h"

namespace fs = std::filesystem;

TEST_F(DocumentTest, ImagesAreNamedByQuantityAndTwoDigitCounter)
{
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm", "Height Forward scan")));  // cut at its first blank
    ASSERT_TRUE(doc.AddImage(Spm("b.spm", " Lead"), 0));                    // a blank in front cuts nothing
    // A failed add leaves the counter for the next image.
    EXPECT_FALSE(doc.AddImage(Spm("broken.spm", TestHeader(2000, 3)), 0));
    EXPECT_FALSE(doc.AddImage((dir / "missing.spm").string(), 0));
    EXPECT_FALSE(doc.AddImage(Spm("unknown.xyz"), 0));
    ASSERT_TRUE(doc.AddImage(Spm("c.spm", "Phase"), 0));
    doc.m_nImageCounter = 98;
    ASSERT_TRUE(doc.AddImage(Spm("d.spm"), 0));
    ASSERT_TRUE(doc.AddImage(Spm("e.spm"), 0));
    EXPECT_EQ(ImageNames(doc), (Texts{"Height_01", " Lead_02", "Phase_03", "Height_99", "Height_100"}));
    ASSERT_EQ(prompt.messages.size(), 3u);
    prompt.messages[2].resize(std::string_view("Cannot open").size());
    EXPECT_EQ(prompt.messages, (Texts{"Image Header is broken\n" + (dir / "broken.spm").string() +
                                          "\nThe *.spm header gives 2000 x 3 points; this program reads 1 to 1024 points a side.",
                                      "Failed to open document.\n" + (dir / "missing.spm").string(), "Cannot open"}));
}

TEST_F(DocumentTest, OriginImagesGoByTheirQuantityWhileFreeAndLookupsCutTheNumber)
{
    CMDIDoc doc;
    EXPECT_EQ(doc.GetImageIndex("Height_01"), 1);
    ASSERT_TRUE(doc.OnOpenDocument(Origin("a.dat")));
    ASSERT_TRUE(doc.AddImage(Spm("b.spm", "Topography"), 0));
    ASSERT_TRUE(doc.AddImage(Origin("c.DAT"), 0));
    ASSERT_TRUE(doc.AddImage(Spm("d.spm", "Phase Forward"), 0));
    ASSERT_TRUE(doc.AddImage(Spm("e.spm"), 0));
    ASSERT_TRUE(doc.AddImage(Written("f.000", "Height Trace"), 0));  // only *.spm quantities are cut
    ASSERT_TRUE(doc.AddImage(Spm("g.spm", "ab"), 0));
    EXPECT_EQ(ImageNames(doc),
              (Texts{"Topography", "Topography_02", "Topography_03", "Phase_04", "Height_05", "Height Trace_06", "ab_07"}));
    const std::pair<const char*, int> cases[] = {
        {"Topography", 0},  // an exact name wins over an earlier cut one
        {"Topography_03", 2}, {"Phase", 3}, {"Height", 4},  // the first whose number is cut off
        {"ab", 6},          {"Height_0", 8},  // only whole three-character numbers are cut
        {"height_05", 8},   // case counts
        {"Topograph", 8},   {"Topogra", 0},   // "Topography" less three is "Topogra"
    };
    for (const auto& [name, index] : cases)
        EXPECT_EQ(doc.GetImageIndex(name), index) << name;
    EXPECT_EQ(doc.FindImage("Phase"), &doc.ImageList()[3]);
    EXPECT_EQ(doc.FindImage("Nothing"), nullptr);
}

TEST_F(DocumentTest, EachImageGetsASettingsPairAndOnlyTheFirstKeepsItsFilesColourSource)
{
    const std::string cnf = "[Height_01_Presentation2D]\r\nNameOfImageForColor=Phase_07\r\n"
                            "[Height_02_Presentation3D]\r\nNameOfImageForColor=Height_01\r\n"
                            "[Height_02_Presentation2D]\r\nTilt=45\r\n";
    WriteFile(dir / "a.cnf", cnf);
    WriteFile(dir / "b.cnf", cnf);
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm")));
    ASSERT_TRUE(doc.AddImage(Spm("b.spm"), 0));
    const SettingsPair& first = *doc.ImageList()[0].m_pSettings;
    const SettingsPair& added = *doc.ImageList()[1].m_pSettings;
    EXPECT_EQ(first[kSettings2D].m_NameOfImageForColor, "Phase_07");
    EXPECT_EQ(first[kSettings3D].m_NameOfImageForColor, "Height_01");
    for (const CPresentationConfig& record : added) {
        EXPECT_EQ(record.m_ImageName, "Height_02");
        EXPECT_EQ(record.m_NameOfImageForColor, "Height_02");
    }
    EXPECT_EQ(std::tie(added[kSettings2D].m_EnablePolygonLight, added[kSettings3D].m_EnablePolygonLight),
              std::tuple(0, 1));
    // The added image's own sections were read under its name.
    EXPECT_EQ(added[kSettings2D].m_Tilt, 45.0f);
    EXPECT_EQ(first[kSettings2D].m_Tilt, 60.0f);

    // Loading a record keeps the image's range and clears the first two selected points.
    const CSpmImage& image = *doc.m_pCurImage;
    const auto range = std::tuple(image.m_dMin, image.m_dMax);
    doc.m_ptSel1 = {3, 4};
    doc.m_ptSel2 = {5, 6};
    doc.m_ptSel3 = {7, 8};
    doc.m_bSel1Set = doc.m_bSel2Set = doc.m_bSel3Set = 1;
    CPresentationConfig record;
    doc.LoadImageSettings(SettingsPlaceOf(image.m_strPath), ViewKind::View2D, record);
    EXPECT_EQ(std::tuple(image.m_dMin, image.m_dMax), range);
    EXPECT_EQ(std::tie(doc.m_ptSel1.x, doc.m_ptSel2.y, doc.m_bSel1Set, doc.m_bSel2Set), std::tuple(0, 0, 0, 0));
    EXPECT_EQ(std::tie(doc.m_ptSel3.x, doc.m_bSel3Set), std::tuple(7, 1));
}

TEST_F(DocumentTest, CompanionsOfSeriesAndMdtFilesAndListedImages)
{
    CMDIDoc doc;
    const std::string mdt = TwoFrameMdt("scan.mdt");
    ASSERT_TRUE(doc.OnOpenDocument(mdt));
    ASSERT_EQ(doc.CompanionImagePath(), mdt);
    ASSERT_TRUE(doc.AddImage(mdt, 1));
    EXPECT_EQ(ImageNames(doc), (Texts{"Height_01", "Height_02"}));
    EXPECT_EQ(doc.ImageList()[1].m_pImage->m_pData, doc.ImageList()[0].m_pImage->m_pData);
    // Image 1 of a series file that has none fails silently and keeps the counter; the
    // companion is judged by the image loaded last.
    const std::string series = Written("scan.003");
    ASSERT_TRUE(doc.AddImage(series, 0));
    EXPECT_EQ(doc.CompanionImagePath(), doc.ImageList()[0].m_pImage->m_strPath);
    EXPECT_FALSE(doc.AddImage(series, 1));
    EXPECT_EQ(doc.m_nImageCounter, 3);
    fs::copy_file(mdt, dir / "upper.MDT");
    for (const std::string& path : {(dir / "upper.MDT").string(), Spm("a.spm"), Origin("a.dat")}) {
        ASSERT_TRUE(doc.AddImage(path, 0));
        EXPECT_EQ(doc.CompanionImagePath(), std::nullopt) << path;
    }
    EXPECT_EQ(CMDIDoc().CompanionImagePath(), std::nullopt);

    // Further images listed in the first image's presentation file, from its folder, in the
    // sections of its own: scan.003 shares the file.
    EXPECT_TRUE(doc.ListedImagePaths().empty());
    WriteFile(dir / "scan.cnf", "[.mdt:AddImage]\r\nNofImage=3\r\nImage[0]=a.spm\r\nImage[1]=x\r\nImage[2]=a.dat\r\n");
    EXPECT_EQ(doc.ListedImagePaths(), (Texts{(dir / "a.spm").string(), (dir / "a.dat").string()}));
    EXPECT_TRUE(prompt.messages.empty());

    // Of a list saved by a document like this one, only what the document does not hold yet
    // (the same file under any spelling and the same number) comes back, each image once;
    // a file of one image has no image 1.
    WriteFile(dir / "scan.cnf", "[.mdt:AddImage]\r\nNofImage=9\r\nImage[0]=scan.mdt\r\nImageIndex[0]=1\r\n"
                                "Image[1]=./a.spm\r\nImage[2]=b.spm\r\nImage[3]=scan.003\r\nImageIndex[3]=1\r\n"
                                "Image[4]=b.spm\r\nImage[5]=scan.mdt\r\nImageIndex[5]=2\r\nImage[6]=scan.mdt\r\n"
                                "Image[7]=c.spm\r\nImageIndex[7]=1\r\nImage[8]=a.dat\r\nImageIndex[8]=3\r\n");
    std::vector<std::pair<std::string, int>> listed;
    for (const ListedImage& image : doc.ListedImages())
        listed.emplace_back(image.m_strPath, image.m_nIndexInFile);
    EXPECT_EQ(listed, (std::vector<std::pair<std::string, int>>{
                          {(dir / "b.spm").string(), 0}, {series, 1}, {mdt, 2}}));
}

// An image added from another folder comes back through the saved list as that file, not
// one of its name beside the first image; once the list is saved, nothing is left to ask.
TEST_F(DocumentTest, AnImageAddedFromAnotherFolderComesBackThroughTheSavedList)
{
    for (const char* folder : {"A/deep", "B"})
        fs::create_directories(dir / folder);
    fs::create_directory_symlink(dir / "A" / "deep", dir / "link");
    const struct {
        const char* first;
        const char* added;
        const char* decoy;   // where a bare name would look
        const char* stored;  // what the list holds
    } cases[] = {
        {"A/scan.spm", "B/other.spm", "A/other.spm", "../B/other.spm"},
        {"A/scan.spm", "A/deep/other.spm", "A/other.spm", "deep/other.spm"},
        {"A/deep/scan.spm", "A/other.spm", "A/deep/other.spm", "../other.spm"},
        // The link's ".." is the parent of its target, as the system resolves it.
        {"link/scan.spm", "B/other.spm", "link/other.spm", "../../B/other.spm"},
        {"A/scan.spm", "A/ lead.spm", "A/lead.spm", "\" lead.spm\""},
        // A backslash is part of a name here, not a folder's end.
        {"A/scan\\1.spm", "A/other.spm", "A/scan\\other.spm", "other.spm"},
    };
    for (const auto& c : cases) {
        const std::string first = Spm(c.first), added = Spm(c.added, "Added");
        Spm(c.decoy, "Decoy");
        CMDIDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(first));
        ASSERT_TRUE(doc.AddImage(added, 0));
        EXPECT_TRUE(doc.IsImageListModified()) << c.added;
        ASSERT_TRUE(doc.SaveImageList());
        EXPECT_FALSE(doc.IsImageListModified()) << c.added;
        EXPECT_EQ(ProfileFile::Load(PresentationFilePath(first)).Text(),
                  "[.spm:AddImage]\r\nNofImage=1\r\nImage[0]=" + std::string(c.stored) + "\r\n");

        CMDIDoc again;
        ASSERT_TRUE(again.OnOpenDocument(first));
        const std::vector<ListedImage> listed = again.ListedImages();
        ASSERT_EQ(listed.size(), 1u) << c.added;
        ASSERT_TRUE(again.AddImage(listed[0].m_strPath, listed[0].m_nIndexInFile));
        EXPECT_TRUE(SameFile(again.ImageList()[1].m_pImage->m_strPath, added)) << listed[0].m_strPath;
        EXPECT_EQ(ImageNames(again), (Texts{"Height_01", "Added_02"}));
        EXPECT_FALSE(again.IsImageListModified()) << c.added;
        fs::remove(PresentationFilePath(first));
    }
    EXPECT_TRUE(prompt.messages.empty());
}

// An image reached through a link to its file comes back under the link's name, in a folder
// as the system resolves it: its presentation file and its save in place lie beside the link.
TEST_F(DocumentTest, AListedImageReachedThroughALinkComesBackUnderTheLink)
{
    fs::create_directories(dir / "A");
    fs::create_directories(dir / "B");
    const std::string first = Spm("A/scan.spm"), target = Spm("B/real.spm", "Added");
    for (const char* link : {"A/alias.spm", "B/alias.spm"}) {
        fs::create_symlink(target, dir / link);
        const std::string added = (dir / link).string();
        CMDIDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(first));
        ASSERT_TRUE(doc.AddImage(added, 0));
        ASSERT_TRUE(doc.SaveImageList());
        CMDIDoc again;
        ASSERT_TRUE(again.OnOpenDocument(first));
        const std::vector<ListedImage> listed = again.ListedImages();
        ASSERT_EQ(listed.size(), 1u) << link;
        EXPECT_EQ(fs::path(listed[0].m_strPath).filename(), "alias.spm") << listed[0].m_strPath;
        EXPECT_TRUE(SameFile(fs::path(listed[0].m_strPath).parent_path().string(), fs::path(added).parent_path().string()))
            << listed[0].m_strPath;
        ASSERT_TRUE(again.AddImage(listed[0].m_strPath, listed[0].m_nIndexInFile));
        EXPECT_FALSE(again.IsImageListModified()) << link;
        fs::remove(PresentationFilePath(first));
        fs::remove(dir / link);
    }
    EXPECT_TRUE(prompt.messages.empty());
}

// A path that no profile value can hold (a line break, or too long for the reader) is left
// out of the list, which says so, and is not offered: the list never names another file.
TEST_F(DocumentTest, AnImageTheListCannotNameIsLeftOutAndNotOffered)
{
    const std::string longFolder = std::string(200, 'x') + "/" + std::string(60, 'y');
    for (const std::string& folder : {std::string("A"), std::string("B"), std::string("line\nbreak"), longFolder})
        fs::create_directories(dir / folder);
    const std::string first = Spm("A/scan.spm"), kept = Spm("B/kept.spm");
    const Texts lost = {Spm("line\nbreak/a.spm"), Spm(longFolder + "/b.spm")};
    CMDIDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(first));
    for (const std::string& path : lost) {
        EXPECT_EQ(ListedImageName(first, path), std::nullopt) << path;
        ASSERT_TRUE(doc.AddImage(path, 0));
    }
    EXPECT_FALSE(doc.IsImageListModified());
    ASSERT_TRUE(doc.AddImage(kept, 0));
    EXPECT_TRUE(doc.IsImageListModified());
    ASSERT_TRUE(doc.SaveImageList());
    EXPECT_FALSE(doc.IsImageListModified());
    EXPECT_EQ(ProfileFile::Load(PresentationFilePath(first)).Text(), "[.spm:AddImage]\r\nNofImage=1\r\nImage[0]=../B/kept.spm\r\n");
    Texts messages;
    for (const std::string& path : lost)
        messages.push_back("The image list of scan.spm cannot keep " + path +
                           ": its path holds a line break or is too long for the list. Add it again after "
                           "opening scan.spm.");
    EXPECT_EQ(prompt.messages, messages);
    // Saving every image's settings writes the list as well, and says the same.
    prompt.messages.clear();
    doc.OnFILESaveDocCondig("Height_01");
    EXPECT_EQ(prompt.messages, messages);
    EXPECT_FALSE(doc.IsImageListModified());
}

namespace {

struct RecordingView : IDocumentView {
    RecordingView(int id, std::vector<std::tuple<int, int, const CMDIChildFrame*>>& log) : id(id), log(log) {}
    void OnUpdate(int hint, const CMDIChildFrame* frame) override
    {
        log.emplace_back(id, hint, frame);
        if (onUpdate)
            onUpdate();
    }
    int id;
    std::vector<std::tuple<int, int, const CMDIChildFrame*>>& log;
    std::function<void()> onUpdate;
};

}  // namespace

TEST(ViewUpdate, EveryViewButTheSenderHearsHintAndFrameAndClosedViewsHearNoMore)
{
    std::vector<std::tuple<int, int, const CMDIChildFrame*>> log;
    RecordingView a{1, log}, b{2, log}, c{3, log};
    CMDIDoc doc;
    for (RecordingView* view : {&a, &b, &c, &b})  // registered once only
        doc.AddView(view);
    // Distinct addresses stand for distinct frames; the core never looks behind them.
    alignas(16) static const char tag[16] = {};
    const auto* frame = reinterpret_cast<const CMDIChildFrame*>(tag);
    doc.UpdateAllViews(&b, kHintColors, frame);
    a.onUpdate = [&] { doc.RemoveView(&b); };  // a view closed during an update
    doc.UpdateAllViews(nullptr, kHintRepaint, nullptr);
    doc.RemoveView(&a);
    doc.UpdateAllViews(nullptr, kHintInitial, nullptr);
    EXPECT_EQ(log, (std::vector<std::tuple<int, int, const CMDIChildFrame*>>{
                       {1, 4, frame}, {3, 4, frame}, {1, 6, nullptr}, {3, 6, nullptr}, {3, 0, nullptr}}));
}
