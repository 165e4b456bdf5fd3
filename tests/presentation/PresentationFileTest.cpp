// Presentation records and their file: the defaults of each kind (pinned by the writer's
// exact text), the default palette, round trips of every key, the sections a reader picks,
// the value gates, the document's image list and the two save commands.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "image/SpmImage.h"
#include "presentation/ImageSettingsFiles.h"
#include "presentation/PaletteFile.h"
#include "presentation/PresentationFile.h"
#include "support/CommaDecimalLocale.h"
#include "support/ScriptedPrompt.h"
#include "support/TestPaths.h"

namespace fs = std::filesystem;

namespace {

// Lines separated by '|' in the source become lines closed by CR LF.
std::string CrLf(std::string_view words)
{
    std::string text;
    for (char c : words)
        text += c == '|' ? std::string("\r\n") : std::string(1, c);
    return text + "\r\n";
}

CPresentationConfig Record(std::string name, ViewKind kind = ViewKind::View2D)
{
    CPresentationConfig settings;
    settings.m_ImageName = std::move(name);
    SetPresentationDefaults(kind, settings);
    return settings;
}

CPresentationConfig PhaseRecord3D()
{
    CPresentationConfig settings = Record("Phase_02", ViewKind::View3D);
    settings.m_NameOfImageForColor = "Phase_02";
    settings.m_ColorCursors = {{MakeColor(128, 128, 128), 0.05f}, {MakeColor(255, 255, 255), 0.95f}};
    return settings;
}

// The record holds the 3D defaults: the text pins every default value as well.
const std::string kPhaseRecord3DText = CrLf(
    "[Introduction]|Ver=2.1|[Phase_02_Presentation3D]|BackgroundColor=200,200,200|Border=1|"
    "BorderColor=128,128,128|Z_Scale=30.00|Tilt=60.00|Angle=50.00|ViewPersp=1|ZaxisVertical=0|DrawAxiz=1|"
    "EnablePolygon=1|EnablePolygonColor=0|EnablePolygonLight=1|DrawXYLine=3|NameOfImageForColor=Phase_02|"
    "[Phase_02_Light3D]|EnadleSmooth=1|LightAngle=230.00|LightHight=1200.00|LightIntensity=0.74|"
    "[Phase_02_Material3D]|MatEmiss=0.00|MatReflect=0.06|PolygonColor=255,255,255|[Phase_02_XYLine3D]|"
    "XLineDecim=3|XLineShift=0|XLineWidth=2|XLineColor=0,0,0|YLineDecim=3|YLineShift=0|YLineWidth=2|"
    "YLineColor=0,0,0|HightColorLine=0|[Phase_02_ColorCursor3D]|NofCursor=2|Position[0]=0.05|"
    "Color[0]=128,128,128|Position[1]=0.95|Color[1]=255,255,255");

// A 2D record of Height_01 whose every key holds a value of its own, none of them a default.
const std::string kEveryKeyText = CrLf(
    "[Introduction]|Ver=2.1|[Height_01_Presentation2D]|BackgroundColor=1,2,3|Border=4|BorderColor=4,5,6|"
    "Z_Scale=12.34|Tilt=45.25|Angle=-123.45|ViewPersp=2|ZaxisVertical=3|DrawAxiz=5|EnablePolygon=6|"
    "EnablePolygonColor=7|EnablePolygonLight=8|DrawXYLine=9|NameOfImageForColor=Phase_02|[Height_01_Light2D]|"
    "EnadleSmooth=10|LightAngle=359.99|LightHight=1999.99|LightIntensity=0.33|[Height_01_Material2D]|"
    "MatEmiss=0.12|MatReflect=0.98|PolygonColor=7,8,9|[Height_01_XYLine2D]|XLineDecim=-5|XLineShift=17|"
    "XLineWidth=12|XLineColor=10,11,12|YLineDecim=13|YLineShift=-32768|YLineWidth=14|YLineColor=13,14,15|"
    "HightColorLine=11|[Height_01_ColorCursor2D]|NofCursor=3|Position[0]=-0.50|Color[0]=255,0,0|"
    "Position[1]=0.25|Color[1]=0,255,0|Position[2]=1.50|Color[2]=0,0,255");

CSpmImage ImageAt(const fs::path& path)
{
    CSpmImage image;
    image.m_strPath = path.string();
    return image;
}

SettingsPair PairNamed(const std::string& name)
{
    return {Record(name, ViewKind::View2D), Record(name, ViewKind::View3D)};
}

}  // namespace

TEST(PresentationDefaults, KindsDifferInLightColourAndPaletteAndKeepNamesAndPalette)
{
    CPresentationConfig settings2D;
    settings2D.m_Tilt = 5.0f;
    settings2D.m_LightAngle = 90.0f;
    settings2D.m_ImageName = "Height_01";
    settings2D.m_ColorCursors = {{MakeColor(1, 2, 3), 0.5f}};
    SetPresentationDefaults(ViewKind::View2D, settings2D);
    EXPECT_EQ(std::tie(settings2D.m_EnablePolygonLight, settings2D.m_EnablePolygonColor), std::tuple(0, 1));
    EXPECT_EQ(settings2D.m_Tilt, 60.0f);
    EXPECT_EQ(settings2D.m_ImageName, "Height_01");
    EXPECT_EQ(settings2D.m_ColorCursors.size(), 1u);
    // The light position from 230 degrees, with 6.28 for two pi (2 pi would give -766.04).
    EXPECT_NEAR(settings2D.m_LightPosition[0], -764.73, 0.01);
    EXPECT_NEAR(settings2D.m_LightPosition[1], -644.35, 0.01);
    EXPECT_EQ(settings2D.m_LightPosition[2], -1200.0f);
    EXPECT_EQ(ViewKindForSettingsIndex(1), ViewKind::View3D);
    // The default palette spans the automatic range within the whole one; a flat image has
    // no range to divide by.
    const std::vector<ColorCursor> cursors = DefaultColorCursors(ViewKind::View2D, {10.0, 30.0}, {12.0, 27.0});
    ASSERT_EQ(cursors.size(), 2u);
    EXPECT_EQ(cursors[0].m_Color, MakeColor(0, 0, 0));
    EXPECT_FLOAT_EQ(cursors[0].m_Position, 0.1f);
    EXPECT_FLOAT_EQ(cursors[1].m_Position, 0.85f);
    EXPECT_EQ(DefaultColorCursors(ViewKind::View3D, {4, 4}, {4, 4}),
              (std::vector<ColorCursor>{{MakeColor(128, 128, 128), 0.0f}, {MakeColor(255, 255, 255), 1.0f}}));
}

TEST(PresentationFile, WriterTextAndRoundTripsOfEveryKeyAlsoUnderACommaDecimalLocale)
{
    ScratchDir dir;
    ASSERT_TRUE(WriteCnf((dir / "p.cnf").string(), ViewKind::View3D, PhaseRecord3D()));
    EXPECT_EQ(FileText(dir / "p.cnf"), kPhaseRecord3DText);
    // A field the reader skipped would write its default back, one it misplaced would land
    // under another key.
    WriteFile(dir / "in.cnf", kEveryKeyText);
    CPresentationConfig read = Record("Height_01");
    ASSERT_EQ(ReadCnf((dir / "in.cnf").string(), ViewKind::View2D, read), FileReadResult::Read);
    ASSERT_TRUE(WriteCnf((dir / "out.cnf").string(), ViewKind::View2D, read));
    EXPECT_EQ(FileText(dir / "out.cnf"), kEveryKeyText);
    EXPECT_EQ(read.m_YLineShift, -32768);

    // Under a comma-decimal locale the same bytes, and they read back.
    const std::vector<ColorCursor> palette = {{MakeColor(1, 2, 3), 0.25f}, {MakeColor(4, 5, 6), 0.75f}};
    ASSERT_TRUE(WritePaletteFile((dir / "c.plt").string(), palette));
    CPresentationConfig back = Record("Phase_02");
    std::vector<ColorCursor> paletteRead;
    {
        CommaDecimalLocale locale;
        SPM_REQUIRE_COMMA_LOCALE(locale);
        ASSERT_TRUE(WriteCnf((dir / "de.cnf").string(), ViewKind::View3D, PhaseRecord3D()));
        ASSERT_TRUE(WritePaletteFile((dir / "de.plt").string(), palette));
        ReadCnf((dir / "de.cnf").string(), ViewKind::View3D, back);
        ReadPaletteFile((dir / "de.plt").string(), paletteRead);
    }
    EXPECT_EQ(FileText(dir / "de.cnf"), kPhaseRecord3DText);
    EXPECT_EQ(FileText(dir / "de.plt"), FileText(dir / "c.plt"));
    EXPECT_FLOAT_EQ(back.m_LightIntensity, 0.74f);
    EXPECT_EQ(paletteRead, palette);
}

// A value the user set between two hundredths (a light intensity typed to the thousandth, an
// angle a drag left, a palette cursor dragged) comes back from its file as it was; one of two
// decimals or fewer is written as it always was.
TEST(PresentationFile, ValuesBetweenHundredthsComeBackAsTheyWere)
{
    using Field = float CPresentationConfig::*;
    const std::tuple<Field, float, const char*> cases[] = {
        {&CPresentationConfig::m_LightIntensity, 0.125f, "LightIntensity=0.125"},
        {&CPresentationConfig::m_Angle, 57.300003f, "Angle=57.300003"},
        {&CPresentationConfig::m_MatEmiss, 0.001f, "MatEmiss=0.001"},
        {&CPresentationConfig::m_Z_Scale, 12.55f, "Z_Scale=12.55\r"},
        {&CPresentationConfig::m_Tilt, 45.5f, "Tilt=45.50\r"},
        {&CPresentationConfig::m_LightHight, 1000.0f, "LightHight=1000.00\r"},
    };
    ScratchDir dir;
    CPresentationConfig record = PhaseRecord3D();
    for (const auto& [field, value, text] : cases)
        record.*field = value;
    record.m_ColorCursors = {{MakeColor(1, 2, 3), 0.333f}, {MakeColor(4, 5, 6), 0.75f}};
    const std::string path = (dir / "fine.cnf").string();
    ASSERT_TRUE(WriteCnf(path, ViewKind::View3D, record));
    const std::string written = FileText(path);
    CPresentationConfig back = Record("Phase_02", ViewKind::View3D);
    ASSERT_EQ(ReadCnf(path, ViewKind::View3D, back), FileReadResult::Read);
    for (const auto& [field, value, text] : cases) {
        EXPECT_NE(written.find(text), std::string::npos) << text;
        EXPECT_EQ(back.*field, value) << text;
    }
    EXPECT_EQ(back.m_ColorCursors, record.m_ColorCursors);
    EXPECT_TRUE(SameStoredSettings(back, record));
    CPresentationConfig nudged = record;
    nudged.m_LightIntensity = 0.126f;
    EXPECT_FALSE(SameStoredSettings(nudged, record));
}

// What decides whether an edit changed a record is what its file would hold: every key the
// writer writes, each left out of the file in turn, gives a record that differs; what the file
// never holds does not count.
TEST(PresentationFile, StoredSettingsDifferByEveryKeyOfTheFileAndNothingElse)
{
    ScratchDir dir;
    const auto read = [&dir](const std::string& text) {
        WriteFile(dir / "r.cnf", text);
        CPresentationConfig record = Record("Height_01");
        ReadCnf((dir / "r.cnf").string(), ViewKind::View2D, record);
        return record;
    };
    const CPresentationConfig every = read(kEveryKeyText);
    EXPECT_TRUE(SameStoredSettings(every, read(kEveryKeyText)));
    int keys = 0;
    for (std::size_t at = kEveryKeyText.find("Ver=2.1\r\n") + 9; at < kEveryKeyText.size();) {
        const std::size_t end = kEveryKeyText.find("\r\n", at) + 2;
        if (kEveryKeyText[at] != '[') {
            const std::string line = kEveryKeyText.substr(at, end - at);
            EXPECT_FALSE(SameStoredSettings(every, read(kEveryKeyText.substr(0, at) + kEveryKeyText.substr(end))))
                << line;
            ++keys;
        }
        at = end;
    }
    EXPECT_EQ(keys, 37);
    CPresentationConfig derived = every;
    derived.m_pColorTable.assign(300, MakeColor(1, 2, 3));
    derived.m_LightPosition[0] += 1.0f;
    derived.m_ImageName = "Other_02";
    EXPECT_TRUE(SameStoredSettings(every, derived));
}

TEST(PresentationFile, ReaderFindsTheRecordByImageKindAndVersionAndGatesValues)
{
    ScratchDir dir;
    const fs::path path = dir / "shared.cnf";
    const char* sections = "[Presentation2D]\r\nTilt=11\r\n[Height_01_Presentation2D]\r\nTilt=22\r\n"
                           "[Height_01_Presentation3D]\r\nTilt=33\r\n[Phase_02_Presentation2D]\r\nTilt=44\r\n";
    // Version, image, kind and the tilt read (60 when no section matches).
    const std::tuple<const char*, const char*, ViewKind, float> cases[] = {
        {"2.1", "Height_01", ViewKind::View2D, 22.0f}, {"2.1", "Height_01", ViewKind::View3D, 33.0f},
        {"2.1", "Phase_02", ViewKind::View2D, 44.0f},  {"2.1", "Phase_02", ViewKind::View3D, 60.0f},
        {"1.2", "Height_01", ViewKind::View2D, 11.0f}, {"1.2", "Height_01", ViewKind::View3D, 60.0f},
    };
    for (const auto& [version, image, kind, tilt] : cases) {
        WriteFile(path, std::string("[Introduction]\r\nVer=") + version + "\r\n" + sections);
        CPresentationConfig read = Record(image);
        ReadCnf(path.string(), kind, read);
        EXPECT_EQ(read.m_Tilt, tilt) << version << " " << image << " " << ViewKindText(kind);
    }
    // Z_Scale and Tilt as written, then as read (30 and 60 are the defaults): both ends of
    // the ranges the configuration panel takes count, and nothing beyond them.
    const std::tuple<const char*, const char*, float, float> gates[] = {
        {"150", "-1", 150.0f, 60.0f}, {"0.05", "360.5", 30.0f, 60.0f}, {"0.1", "360", 0.1f, 360.0f},
        {"1000", "0", 1000.0f, 0.0f}, {"1000.01", "120", 30.0f, 120.0f}};
    for (const auto& [zScale, tilt, readZ, readTilt] : gates) {
        WriteFile(path, std::string("[H_Presentation2D]\r\nZ_Scale=") + zScale + "\r\nTilt=" + tilt);
        CPresentationConfig read = Record("H");
        ReadCnf(path.string(), ViewKind::View2D, read);
        EXPECT_EQ(std::tie(read.m_Z_Scale, read.m_Tilt), std::tie(readZ, readTilt)) << zScale << " " << tilt;
    }
    // Integers are truncated, 16-bit ones stop at their limits; the light follows the angle read.
    WriteFile(path, CrLf("[H_Presentation3D]|DrawXYLine=7.9|Border=-2.5|[H_Light3D]|LightAngle=90|LightHight=500|"
                         "[H_XYLine3D]|XLineDecim=70000"));
    CPresentationConfig read = Record("H");
    ReadCnf(path.string(), ViewKind::View3D, read);
    EXPECT_EQ(std::tie(read.m_DrawXYLine, read.m_Border, read.m_XLineWidth), std::tuple(7, -2, 2));
    EXPECT_EQ(read.m_XLineDecim, 32767);
    EXPECT_NEAR(read.m_LightPosition[0], 1000.0 * std::sin(1.57), 1e-3);  // a quarter of 6.28
    EXPECT_EQ(read.m_LightPosition[2], -500.0f);
    read.m_Tilt = 1.5f;
    EXPECT_EQ(ReadCnf((dir / "none.cnf").string(), ViewKind::View3D, read), FileReadResult::Missing);
    EXPECT_EQ(read.m_Tilt, 1.5f);
}

// Numbers beyond what a field holds: an integer stops at its type's limits, a float key
// beyond the float range leaves its field as it was (a default here) and a cursor position
// reads as an absent one, so the light and the palette stay finite.
TEST(PresentationFile, NumbersBeyondTheirFieldsAreHeldOrLeft)
{
    ScratchDir dir;
    const fs::path path = dir / "big.cnf";
    const std::string huge(41, '9');
    using Field = double (*)(const CPresentationConfig&);
    const struct {
        const char* group;
        const char* key;
        std::string value;
        Field field;
        double read;
    } cases[] = {
        {"Presentation", "DrawXYLine", huge, [](const CPresentationConfig& r) { return double(r.m_DrawXYLine); }, 2147483647.0},
        {"Presentation", "Border", "-" + huge, [](const CPresentationConfig& r) { return double(r.m_Border); }, -2147483648.0},
        {"XYLine", "XLineShift", "-70000", [](const CPresentationConfig& r) { return double(r.m_XLineShift); }, -32768.0},
        {"XYLine", "YLineWidth", huge, [](const CPresentationConfig& r) { return double(r.m_YLineWidth); }, 32767.0},
        {"Light", "LightAngle", huge, [](const CPresentationConfig& r) { return double(r.m_LightAngle); }, 230.0},
        {"Light", "LightHight", "-" + huge, [](const CPresentationConfig& r) { return double(r.m_LightHight); }, 1200.0},
        {"Light", "LightIntensity", huge, [](const CPresentationConfig& r) { return double(r.m_LightIntensity); }, 0.74f},
        {"Material", "MatEmiss", "-" + huge, [](const CPresentationConfig& r) { return double(r.m_MatEmiss); }, 0.0},
        {"Presentation", "Angle", huge, [](const CPresentationConfig& r) { return double(r.m_Angle); }, 50.0},
        // The largest float itself is taken.
        {"Presentation", "Angle", "340282346638528859811704183484516925440",
         [](const CPresentationConfig& r) { return double(r.m_Angle); }, double(std::numeric_limits<float>::max())},
        {"ColorCursor", "Position[1]", huge, [](const CPresentationConfig& r) { return double(r.m_ColorCursors.at(1).m_Position); }, 0.0},
        {"ColorCursor", "Position[0]", "-" + huge, [](const CPresentationConfig& r) { return double(r.m_ColorCursors.at(0).m_Position); }, 0.0},
    };
    for (const auto& c : cases) {
        WriteFile(path, std::string("[H_") + c.group + "3D]\r\n" + c.key + "=" + c.value + "\r\n[H_ColorCursor3D]\r\nNofCursor=2\r\n");
        CPresentationConfig read = Record("H", ViewKind::View3D);
        ReadCnf(path.string(), ViewKind::View3D, read);
        EXPECT_EQ(c.field(read), c.read) << c.key << "=" << c.value;
        for (const float at : read.m_LightPosition)
            EXPECT_TRUE(std::isfinite(at)) << c.key << "=" << c.value;
    }
    // The same in a palette file.
    WriteFile(dir / "big.plt", "[ColorCursor]\r\nNofCursor=1\r\nPosition[0]=" + huge + "\r\nColor[0]=1,2,3\r\n");
    std::vector<ColorCursor> palette;
    ReadPaletteFile((dir / "big.plt").string(), palette);
    EXPECT_EQ(palette, (std::vector<ColorCursor>{{MakeColor(1, 2, 3), 0.0f}}));
}

// A listed image whose number cannot be an image of any file is skipped; a number that
// can comes back as it was written.
TEST(PresentationFileCommands, ImageListSkipsNumbersThatNameNoImage)
{
    ScratchDir dir;
    WriteFile(dir / "a.cnf", CrLf("[AddImage]|NofImage=6|Image[0]=b.000|ImageIndex[0]=9999999999|Image[1]=c.000|"
                                  "ImageIndex[1]=-1|Image[2]=d.000|ImageIndex[2]=2147483647|Image[3]=e.000|"
                                  "ImageIndex[3]=2147483648|Image[4]=f.mdt|ImageIndex[4]=3.9|Image[5]=g.spm"));
    std::vector<std::pair<std::string, int>> listed;
    for (const ListedImage& image : ReadDocImages(ImageSettingsPlace((dir / "a.000").string(), true)))
        listed.emplace_back(fs::path(image.m_strPath).filename().string(), image.m_nIndexInFile);
    EXPECT_EQ(listed, (std::vector<std::pair<std::string, int>>{{"d.000", 2147483647}, {"f.mdt", 3}, {"g.spm", 0}}));
}

TEST(PresentationFile, LoadImageSettingsPutsTheImagesFileOverTheDefaults)
{
    ScratchDir dir;
    const std::string imagePath = (dir / "scan.007").string();
    CPresentationConfig settings;
    settings.m_ImageName = "Height_01";
    settings.m_Tilt = 3.0f;
    const SettingsPlace place = ImageSettingsPlace(imagePath, true);
    LoadImageSettings(place, ViewKind::View3D, {0.0, 100.0}, {20.0, 90.0}, settings);
    EXPECT_EQ(std::tie(settings.m_Tilt, settings.m_EnablePolygonLight), std::tuple(60.0f, 1));
    EXPECT_EQ(settings.m_ColorCursors,
              (std::vector<ColorCursor>{{MakeColor(128, 128, 128), 0.2f}, {MakeColor(255, 255, 255), 0.9f}}));
    WriteFile(dir / "scan.cnf", CrLf("[Height_01_Presentation3D]|Tilt=45|[Height_01_ColorCursor3D]|NofCursor=1|"
                                     "Position[0]=0.5|Color[0]=1,2,3"));
    LoadImageSettings(place, ViewKind::View3D, {0.0, 100.0}, {20.0, 90.0}, settings);
    EXPECT_EQ(std::tie(settings.m_Tilt, settings.m_Angle), std::tuple(45.0f, 50.0f));
    EXPECT_EQ(settings.m_ColorCursors, (std::vector<ColorCursor>{{MakeColor(1, 2, 3), 0.5f}}));
}

TEST(PresentationFileCommands, DocumentConfigsBothRecordsAndTheImageListOfTheFirstImage)
{
    ScratchDir dir;
    fs::create_directory(dir / "other");
    const CSpmImage a = ImageAt(dir / "a.000"), b = ImageAt(dir / "b.spm"), c = ImageAt(dir / "other" / "c.mdt");
    SettingsPair pa = PairNamed("Height_01");
    pa[kSettings3D].m_Angle = 77.0f;
    const SettingsPair pb = PairNamed("Height_02"), pc = PairNamed("Topography_03");
    ScriptedPrompt prompt;
    const auto own = [](const CSpmImage& image) { return ImageSettingsPlace(image.m_strPath, true); };
    ASSERT_TRUE(SaveImageConfig({b, pb, own(b)}));
    EXPECT_EQ(ProfileFile::Load((dir / "b.cnf").string()).GetString(".spm:Height_02_Light2D", "LightHight"), "1200.00");
    const std::vector<ImageSettingsRef> images = {{a, pa, own(a)}, {b, pb, own(b)}, {c, pc, own(c)}};
    ASSERT_EQ(SaveDocImageConfigs(images), images.size());
    EXPECT_TRUE(prompt.messages.empty());
    const ProfileFile first = ProfileFile::Load((dir / "a.cnf").string());
    EXPECT_EQ(first.GetString(".000:Height_01_Presentation2D", "Angle"), "50.00");
    EXPECT_EQ(first.GetString(".000:Height_01_Presentation3D", "Angle"), "77.00");
    EXPECT_EQ(ProfileFile::Load((dir / "other" / "c.cnf").string()).GetString(".mdt:Topography_03_XYLine3D", "XLineWidth"), "2");
    // Only the first image lists the others, by their paths from its folder.
    EXPECT_EQ(ProfileFile::Load((dir / "b.cnf").string()).GetString(".spm:AddImage", "NofImage", "none"), "none");
    EXPECT_EQ(first.GetString(".000:AddImage", "Image[1]"), "other/c.mdt");
    EXPECT_EQ(ReadDocImageList(own(a)),
              (std::vector<std::string>{(dir / "b.spm").string(), (dir / "other" / "c.mdt").string()}));
    WriteFile(dir / "c.cnf", CrLf("[AddImage]|NofImage=4|Image[0]=x|Image[1]=b.spm|Image[3]='c d.spm'"));
    EXPECT_EQ(ReadDocImageList(ImageSettingsPlace((dir / "c.spm").string(), true)),
              (std::vector<std::string>{(dir / "b.spm").string(), (dir / "c d.spm").string()}));
    // A document of one image leaves an earlier list as it was.
    ASSERT_EQ(SaveDocImageConfigs(std::vector<ImageSettingsRef>{{a, pa, own(a)}}), 1u);
    EXPECT_EQ(ProfileFile::Load((dir / "a.cnf").string()).GetString(".000:AddImage", "NofImage"), "2");
    const std::string w = (dir / "w.000").string();
    ASSERT_TRUE(WriteDocImageList(ImageSettingsPlace(w, true), std::vector<ListedImage>{{w}, {(dir / "b.spm").string()},
                                                           {(dir / "other" / "c.mdt").string()}}));
    EXPECT_EQ(FileText(dir / "w.cnf"), CrLf("[.000:AddImage]|NofImage=2|Image[0]=b.spm|Image[1]=other/c.mdt"));
    const std::string v = (dir / "v.000").string();
    ASSERT_TRUE(WriteDocImageList(ImageSettingsPlace(v, true), std::vector<ListedImage>{{v}}));
    EXPECT_FALSE(fs::exists(dir / "v.cnf"));
}

TEST(PresentationFileCommands, SavesStopAtTheFirstFileThatCannotBeWritten)
{
    ScratchDir dir;
    const CSpmImage a = ImageAt(dir / "a.spm"), lost = ImageAt(dir / "gone" / "b.spm"), c = ImageAt(dir / "c.spm");
    const SettingsPair pair = PairNamed("Height_01");
    ScriptedPrompt prompt;
    // Only the images before the failure count as written.
    const auto own = [](const CSpmImage& image) { return ImageSettingsPlace(image.m_strPath, true); };
    EXPECT_EQ(SaveDocImageConfigs(std::vector<ImageSettingsRef>{{a, pair, own(a)}, {lost, pair, own(lost)}, {c, pair, own(c)}}), 1u);
    EXPECT_TRUE(fs::exists(dir / "a.cnf"));
    EXPECT_FALSE(fs::exists(dir / "c.cnf"));
    const CSpmImage d = ImageAt(dir / "d.spm");
    EXPECT_FALSE(SaveImageConfig({d, PairNamed("Height\n[Evil]_01"), own(d)}));
    EXPECT_FALSE(fs::exists(dir / "d.cnf"));
    const std::string none = (dir / "none" / "a.000").string();
    EXPECT_FALSE(WriteDocImageList(ImageSettingsPlace(none, true), std::vector<ListedImage>{{none}, {"b.spm"}}));
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{
                                   "Unable to open file for writing",
                                   "Unable to save the 2D settings of Height\n[Evil]_01 in d.cnf: the image's name is "
                                   "part of their section names, and a section name cannot hold a line break."}));
}
