// The presentation file: the writer's exact text, round trips, version 1.2 files, the value
// gates, the document's image list and the two save commands.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <tuple>

#include "image/SpmImage.h"
#include "presentation/ImageSettingsFiles.h"
#include "presentation/PaletteFile.h"
#include "presentation/PresentationFile.h"
#include "support/CommaDecimalLocale.h"
#include "support/ScriptedPrompt.h"
#include "support/TestPaths.h"
#include "tests/presentation/TestFiles.h"

namespace fs = std::filesystem;

namespace {

std::string CrLfLines(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
}

void WriteLines(const fs::path& path, std::initializer_list<const char*> lines)
{
    WriteBytes(path, CrLfLines(lines));
}

// A record with default fields belonging to the image `name`.
CPresentationConfig RecordNamed(std::string name)
{
    CPresentationConfig settings;
    settings.m_ImageName = std::move(name);
    return settings;
}

CPresentationConfig PhaseRecord3D()
{
    CPresentationConfig settings;
    settings.m_ImageName = "Phase_02";
    SetPresentationDefaults(ViewKind::View3D, settings);
    settings.m_NameOfImageForColor = "Phase_02";
    settings.m_ColorCursors = {{MakeColor(128, 128, 128), 0.05f}, {MakeColor(255, 255, 255), 0.95f}};
    return settings;
}

const std::string kPhaseRecord3DText = CrLfLines({
    "[Introduction]", "Ver=2.1",
    "[Phase_02_Presentation3D]", "BackgroundColor=200,200,200", "Border=1",
    "BorderColor=128,128,128", "Z_Scale=30.00", "Tilt=60.00", "Angle=50.00", "ViewPersp=1",
    "ZaxisVertical=0", "DrawAxiz=1", "EnablePolygon=1", "EnablePolygonColor=0",
    "EnablePolygonLight=1", "DrawXYLine=3", "NameOfImageForColor=Phase_02",
    "[Phase_02_Light3D]", "EnadleSmooth=1", "LightAngle=230.00", "LightHight=1200.00",
    "LightIntensity=0.74",
    "[Phase_02_Material3D]", "MatEmiss=0.00", "MatReflect=0.06", "PolygonColor=255,255,255",
    "[Phase_02_XYLine3D]", "XLineDecim=3", "XLineShift=0", "XLineWidth=2",
    "XLineColor=0,0,0", "YLineDecim=3", "YLineShift=0", "YLineWidth=2", "YLineColor=0,0,0",
    "HightColorLine=0",
    "[Phase_02_ColorCursor3D]", "NofCursor=2", "Position[0]=0.05", "Color[0]=128,128,128",
    "Position[1]=0.95", "Color[1]=255,255,255",
});

// A 2D record of Height_01 whose every key holds a value of its own, none of them a default.
const std::string kEveryKeyText = CrLfLines({
    "[Introduction]", "Ver=2.1",
    "[Height_01_Presentation2D]", "BackgroundColor=1,2,3", "Border=4", "BorderColor=4,5,6",
    "Z_Scale=12.34", "Tilt=45.25", "Angle=-123.45", "ViewPersp=2", "ZaxisVertical=3", "DrawAxiz=5",
    "EnablePolygon=6", "EnablePolygonColor=7", "EnablePolygonLight=8", "DrawXYLine=9",
    "NameOfImageForColor=Phase_02",
    "[Height_01_Light2D]", "EnadleSmooth=10", "LightAngle=359.99", "LightHight=1999.99",
    "LightIntensity=0.33",
    "[Height_01_Material2D]", "MatEmiss=0.12", "MatReflect=0.98", "PolygonColor=7,8,9",
    "[Height_01_XYLine2D]", "XLineDecim=-5", "XLineShift=17", "XLineWidth=12", "XLineColor=10,11,12",
    "YLineDecim=13", "YLineShift=-32768", "YLineWidth=14", "YLineColor=13,14,15", "HightColorLine=11",
    "[Height_01_ColorCursor2D]", "NofCursor=3", "Position[0]=-0.50", "Color[0]=255,0,0",
    "Position[1]=0.25", "Color[1]=0,255,0", "Position[2]=1.50", "Color[2]=0,0,255",
});

CSpmImage ImageAt(const fs::path& path)
{
    CSpmImage image;
    image.m_strPath = path.string();
    return image;
}

SettingsPair PairNamed(const std::string& name)
{
    SettingsPair pair;
    for (int k : {kSettings2D, kSettings3D}) {
        pair[k].m_ImageName = name;
        SetPresentationDefaults(ViewKindForSettingsIndex(k), pair[k]);
    }
    return pair;
}

} // namespace

TEST(PresentationFile, WriterProducesTheExactText)
{
    // The record holds the 3D defaults: the text pins every default value as well.
    ScratchDir dir;
    ASSERT_TRUE(WriteCnf((dir / "p.cnf").string(), ViewKind::View3D, PhaseRecord3D()));
    EXPECT_EQ(ReadBytes(dir / "p.cnf"), kPhaseRecord3DText);
}

TEST(PresentationFile, CommaDecimalLocaleWritesTheSameBytes)
{
    ScratchDir dir;
    const std::vector<ColorCursor> palette = {{MakeColor(1, 2, 3), 0.25f}, {MakeColor(4, 5, 6), 0.75f}};
    ASSERT_TRUE(WritePaletteFile((dir / "c.plt").string(), palette));
    CPresentationConfig read = RecordNamed("Phase_02");
    std::vector<ColorCursor> paletteRead;
    {
        CommaDecimalLocale locale;
        SPM_REQUIRE_COMMA_LOCALE(locale);
        ASSERT_TRUE(WriteCnf((dir / "p.cnf").string(), ViewKind::View3D, PhaseRecord3D()));
        ASSERT_TRUE(WritePaletteFile((dir / "p.plt").string(), palette));
        ReadCnf((dir / "p.cnf").string(), ViewKind::View3D, read);
        ReadPaletteFile((dir / "p.plt").string(), paletteRead);
    }
    EXPECT_EQ(ReadBytes(dir / "p.cnf"), kPhaseRecord3DText);
    EXPECT_EQ(ReadBytes(dir / "p.plt"), ReadBytes(dir / "c.plt"));
    EXPECT_FLOAT_EQ(read.m_LightIntensity, 0.74f);
    EXPECT_EQ(paletteRead, palette);
}

TEST(PresentationFile, RoundTripKeepsEveryField)
{
    // A field the reader skipped would write its default back, one it misplaced would land
    // under another key.
    ScratchDir dir;
    WriteBytes(dir / "in.cnf", kEveryKeyText);
    CPresentationConfig read = RecordNamed("Height_01");
    ASSERT_EQ(ReadCnf((dir / "in.cnf").string(), ViewKind::View2D, read), FileReadResult::Read);
    ASSERT_TRUE(WriteCnf((dir / "out.cnf").string(), ViewKind::View2D, read));
    EXPECT_EQ(ReadBytes(dir / "out.cnf"), kEveryKeyText);
    EXPECT_EQ(read.m_Tilt, 45.25f);
    EXPECT_EQ(read.m_YLineShift, -32768);
    EXPECT_EQ(read.m_PolygonColor, MakeColor(7, 8, 9));
    EXPECT_EQ(read.m_ColorCursors.front(), (ColorCursor{MakeColor(255, 0, 0), -0.5f}));
}

TEST(PresentationFile, ReaderFindsTheRecordByImageKindAndVersion)
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
        WriteBytes(path, std::string("[Introduction]\r\nVer=") + version + "\r\n" + sections);
        CPresentationConfig read = RecordNamed(image);
        ReadCnf(path.string(), kind, read);
        EXPECT_EQ(read.m_Tilt, tilt) << version << " " << image << " " << ViewKindText(kind);
    }
}

TEST(PresentationFile, ZScaleAndTiltOutsideTheirRangesAreIgnored)
{
    ScratchDir dir;
    const fs::path path = dir / "g.cnf";
    // Z_Scale and Tilt as written, then as read (30 and 60 are the defaults).
    const std::tuple<const char*, const char*, float, float> cases[] = {
        {"150", "-1", 30.0f, 60.0f}, {"0.05", "90.5", 30.0f, 60.0f}, {"0.1", "90", 0.1f, 90.0f},
        {"100", "0", 100.0f, 0.0f},  {"100.01", "45.5", 30.0f, 45.5f}};
    for (const auto& [zScale, tilt, readZ, readTilt] : cases) {
        WriteBytes(path, std::string("[H_Presentation2D]\r\nZ_Scale=") + zScale + "\r\nTilt=" + tilt);
        CPresentationConfig read = RecordNamed("H");
        ReadCnf(path.string(), ViewKind::View2D, read);
        EXPECT_EQ(read.m_Z_Scale, readZ) << zScale;
        EXPECT_EQ(read.m_Tilt, readTilt) << tilt;
    }
}

TEST(PresentationFile, ValuesAreTakenAsTheyStandAndIntegersTruncated)
{
    ScratchDir dir;
    const fs::path path = dir / "v.cnf";
    WriteLines(path, {"[H_Presentation3D]", "DrawXYLine=7.9", "Border=-2.5", "Angle=725",
                      "[H_Light3D]", "LightAngle=90", "LightHight=500", "[H_XYLine3D]", "XLineDecim=70000"});
    CPresentationConfig read = RecordNamed("H");
    ReadCnf(path.string(), ViewKind::View3D, read);
    EXPECT_EQ(read.m_DrawXYLine, 7);
    EXPECT_EQ(read.m_Border, -2);
    EXPECT_EQ(read.m_Angle, 725.0f);
    EXPECT_EQ(read.m_XLineDecim, static_cast<std::int16_t>(70000 - 65536));
    // The light position follows the angle read: 90 degrees is a quarter of 6.28 radians.
    EXPECT_NEAR(read.m_LightPosition[0], 1000.0 * std::sin(1.57), 1e-3);
    EXPECT_EQ(read.m_LightPosition[2], -500.0f);
    // Untouched fields keep their values.
    EXPECT_EQ(read.m_Tilt, 60.0f);
    EXPECT_EQ(read.m_XLineWidth, 2);
}

TEST(PresentationFile, MissingFileChangesNothing)
{
    ScratchDir dir;
    CPresentationConfig read = PhaseRecord3D();
    read.m_Tilt = 1.5f;
    EXPECT_EQ(ReadCnf((dir / "none.cnf").string(), ViewKind::View3D, read), FileReadResult::Missing);
    EXPECT_EQ(read.m_Tilt, 1.5f);
    EXPECT_EQ(read.m_ColorCursors, PhaseRecord3D().m_ColorCursors);
}

TEST(PresentationFileCommands, SaveImageConfigWritesBothRecords)
{
    ScratchDir dir;
    const CSpmImage image = ImageAt(dir / "scan.v2" / "a.001");
    fs::create_directory(dir / "scan.v2");
    SettingsPair pair = PairNamed("Height_01");
    pair[kSettings3D].m_Angle = 77.0f;
    ScriptedPrompt prompt;
    ASSERT_TRUE(SaveImageConfig(image, pair));
    EXPECT_TRUE(prompt.messages.empty());
    const ProfileFile profile = ProfileFile::Load((dir / "scan.v2" / "a.cnf").string());
    EXPECT_EQ(profile.GetString("Height_01_Presentation2D", "Angle"), "50.00");
    EXPECT_EQ(profile.GetString("Height_01_Presentation3D", "Angle"), "77.00");
    EXPECT_EQ(profile.GetString("Height_01_Presentation3D", "EnablePolygonLight"), "1");
    EXPECT_EQ(profile.GetString("AddImage", "NofImage", "none"), "none");
}

TEST(PresentationFileCommands, FailedSavesAreReported)
{
    ScratchDir dir;
    ScriptedPrompt prompt;
    EXPECT_FALSE(SaveImageConfig(ImageAt(dir / "missing" / "a.spm"), PairNamed("Height_01")));
    EXPECT_FALSE(SaveImageConfig(ImageAt(dir / "b.spm"), PairNamed("Height\n[Evil]_01")));
    EXPECT_FALSE(fs::exists(dir / "b.cnf"));
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{"Unable to open file for writing",
                                                         "Unable to open file for writing"}));
}

TEST(PresentationFileCommands, DocumentConfigsAndImageList)
{
    ScratchDir dir;
    fs::create_directory(dir / "other");
    const CSpmImage a = ImageAt(dir / "a.000"), b = ImageAt(dir / "b.spm"), c = ImageAt(dir / "other" / "c.mdt");
    const SettingsPair pa = PairNamed("Height_01"), pb = PairNamed("Height_02"), pc = PairNamed("Topography_03");
    const std::vector<ImageSettingsRef> images = {{a, pa}, {b, pb}, {c, pc}};
    ScriptedPrompt prompt;
    ASSERT_TRUE(SaveDocImageConfigs(images));
    EXPECT_TRUE(prompt.messages.empty());

    const ProfileFile first = ProfileFile::Load((dir / "a.cnf").string());
    EXPECT_EQ(first.GetString("AddImage", "NofImage"), "2");
    EXPECT_EQ(first.GetString("AddImage", "Image[0]"), "b.spm");
    EXPECT_EQ(first.GetString("AddImage", "Image[1]"), "c.mdt");
    EXPECT_EQ(first.GetString("Height_01_XYLine3D", "XLineWidth"), "2");
    const ProfileFile second = ProfileFile::Load((dir / "b.cnf").string());
    EXPECT_EQ(second.GetString("Height_02_Light2D", "LightHight"), "1200.00");
    EXPECT_EQ(second.GetString("AddImage", "NofImage", "none"), "none") << "only the first image lists";
    EXPECT_EQ(ProfileFile::Load((dir / "other" / "c.cnf").string())
                  .GetString("Topography_03_Material3D", "MatReflect"),
              "0.06");
    // An image of another folder is listed by its bare name, so it is looked for beside the
    // first image.
    EXPECT_EQ(ReadDocImageList((dir / "a.000").string()),
              (std::vector<std::string>{(dir / "b.spm").string(), (dir / "c.mdt").string()}));

    // A document of one image leaves an earlier list as it was.
    const std::vector<ImageSettingsRef> single = {{a, pa}};
    ASSERT_TRUE(SaveDocImageConfigs(single));
    EXPECT_EQ(ProfileFile::Load((dir / "a.cnf").string()).GetString("AddImage", "NofImage"), "2");
}

TEST(PresentationFileCommands, StopsAtTheFirstFileThatCannotBeWritten)
{
    ScratchDir dir;
    const CSpmImage a = ImageAt(dir / "a.spm"), lost = ImageAt(dir / "gone" / "b.spm"), c = ImageAt(dir / "c.spm");
    const SettingsPair pair = PairNamed("Height_01");
    const std::vector<ImageSettingsRef> images = {{a, pair}, {lost, pair}, {c, pair}};
    ScriptedPrompt prompt;
    EXPECT_FALSE(SaveDocImageConfigs(images));
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Unable to open file for writing"});
    EXPECT_TRUE(fs::exists(dir / "a.cnf"));
    EXPECT_FALSE(fs::exists(dir / "c.cnf"));
}

TEST(DocImageList, ReaderSkipsShortAndMissingEntries)
{
    ScratchDir dir;
    WriteLines(dir / "first.cnf", {"[AddImage]", "NofImage=4", "Image[0]=x", "Image[1]=b.spm",
                                   "Image[3]='c d.spm'"});
    EXPECT_EQ(ReadDocImageList((dir / "first.spm").string()),
              (std::vector<std::string>{(dir / "b.spm").string(), (dir / "c d.spm").string()}));
    WriteLines(dir / "first.cnf", {"[AddImage]", "NofImage=99999999", "Image[0]=b.spm"});
    EXPECT_TRUE(ReadDocImageList((dir / "first.spm").string()).empty());
    EXPECT_TRUE(ReadDocImageList((dir / "nothing.spm").string()).empty());
}

TEST(DocImageList, WriterListsTheFurtherImagesByFileName)
{
    ScratchDir dir;
    ASSERT_TRUE(WriteDocImageList({(dir / "a.000").string()}));
    EXPECT_FALSE(fs::exists(dir / "a.cnf"));
    ASSERT_TRUE(WriteDocImageList({(dir / "a.000").string(), "C:\\data\\b.spm", "/x/y/c.mdt"}));
    EXPECT_EQ(ReadBytes(dir / "a.cnf"),
              CrLfLines({"[AddImage]", "NofImage=2", "Image[0]=b.spm", "Image[1]=c.mdt"}));
    EXPECT_FALSE(WriteDocImageList({(dir / "none" / "a.000").string(), "b.spm"}));
}
