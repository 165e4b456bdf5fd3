// The presentation file: the writer's exact text, round trips, version 1.2 files, the value
// gates, the cursor-count rules, the document's image list and the two save commands.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>

#include "document/SpmImage.h"
#include "presentation/PresentationFile.h"
#include "support/ScriptedPrompt.h"
#include "support/TestPaths.h"

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteLines(const fs::path& path, std::initializer_list<const char*> lines)
{
    std::ofstream out(path, std::ios::binary);
    for (const char* line : lines)
        out << line << "\r\n";
}

std::string CrLfLines(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\n";
    return text;
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

// A record with every field set at random, within the ranges the reader accepts.
CPresentationConfig RandomRecord(std::mt19937& random)
{
    auto real = [&](double low, double high) {
        return static_cast<float>(std::uniform_real_distribution<double>(low, high)(random));
    };
    auto integer = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    auto colour = [&]() { return static_cast<COLORREF>(random() & 0xFFFFFFu); };
    CPresentationConfig s;
    s.m_ImageName = "Height_01";
    s.m_ViewPersp = integer(0, 1);
    s.m_ZaxisVertical = integer(0, 1);
    s.m_Border = integer(0, 1);
    s.m_DrawAxiz = integer(0, 1);
    s.m_HightColorLine = integer(0, 1);
    s.m_EnadleSmooth = integer(0, 1);
    s.m_Z_Scale = real(0.1, 100.0);
    s.m_Tilt = real(0.0, 90.0);
    s.m_Angle = real(-360.0, 360.0);
    s.m_LightAngle = real(0.0, 360.0);
    s.m_LightHight = real(0.0, 2000.0);
    s.m_LightIntensity = real(0.0, 1.0);
    s.m_MatReflect = real(0.0, 1.0);
    s.m_MatEmiss = real(0.0, 1.0);
    s.m_EnablePolygon = integer(0, 1);
    s.m_EnablePolygonLight = integer(0, 1);
    s.m_EnablePolygonColor = integer(0, 1);
    s.m_BorderColor = colour();
    s.m_BackgroundColor = colour();
    s.m_XLineColor = colour();
    s.m_YLineColor = colour();
    s.m_PolygonColor = colour();
    s.m_DrawXYLine = integer(0, 3);
    s.m_XLineDecim = static_cast<std::int16_t>(integer(-5, 100));
    s.m_YLineDecim = static_cast<std::int16_t>(integer(0, 100));
    s.m_XLineShift = static_cast<std::int16_t>(integer(0, 100));
    s.m_YLineShift = static_cast<std::int16_t>(integer(-32768, 32767));
    s.m_XLineWidth = static_cast<std::int16_t>(integer(0, 100));
    s.m_YLineWidth = static_cast<std::int16_t>(integer(0, 100));
    s.m_NameOfImageForColor = "Phase_02";
    const int cursors = integer(1, 6);
    for (int i = 0; i < cursors; ++i)
        s.m_ColorCursors.push_back({colour(), real(-0.5, 1.5)});
    return s;
}

// Written with two decimals and read back into a float: half a hundredth plus the float's
// own resolution at that size.
void ExpectTwoDecimals(float read, float written)
{
    EXPECT_NEAR(read, written, 0.005 + 4.0 * std::numeric_limits<float>::epsilon() * std::fabs(written));
}

void ExpectSameRecord(const CPresentationConfig& read, const CPresentationConfig& written)
{
    EXPECT_EQ(read.m_ViewPersp, written.m_ViewPersp);
    EXPECT_EQ(read.m_ZaxisVertical, written.m_ZaxisVertical);
    EXPECT_EQ(read.m_Border, written.m_Border);
    EXPECT_EQ(read.m_DrawAxiz, written.m_DrawAxiz);
    EXPECT_EQ(read.m_HightColorLine, written.m_HightColorLine);
    EXPECT_EQ(read.m_EnadleSmooth, written.m_EnadleSmooth);
    ExpectTwoDecimals(read.m_Z_Scale, written.m_Z_Scale);
    ExpectTwoDecimals(read.m_Tilt, written.m_Tilt);
    ExpectTwoDecimals(read.m_Angle, written.m_Angle);
    ExpectTwoDecimals(read.m_LightAngle, written.m_LightAngle);
    ExpectTwoDecimals(read.m_LightHight, written.m_LightHight);
    ExpectTwoDecimals(read.m_LightIntensity, written.m_LightIntensity);
    ExpectTwoDecimals(read.m_MatReflect, written.m_MatReflect);
    ExpectTwoDecimals(read.m_MatEmiss, written.m_MatEmiss);
    EXPECT_EQ(read.m_EnablePolygon, written.m_EnablePolygon);
    EXPECT_EQ(read.m_EnablePolygonLight, written.m_EnablePolygonLight);
    EXPECT_EQ(read.m_EnablePolygonColor, written.m_EnablePolygonColor);
    EXPECT_EQ(read.m_BorderColor, written.m_BorderColor);
    EXPECT_EQ(read.m_BackgroundColor, written.m_BackgroundColor);
    EXPECT_EQ(read.m_XLineColor, written.m_XLineColor);
    EXPECT_EQ(read.m_YLineColor, written.m_YLineColor);
    EXPECT_EQ(read.m_PolygonColor, written.m_PolygonColor);
    EXPECT_EQ(read.m_DrawXYLine, written.m_DrawXYLine);
    EXPECT_EQ(read.m_XLineDecim, written.m_XLineDecim);
    EXPECT_EQ(read.m_YLineDecim, written.m_YLineDecim);
    EXPECT_EQ(read.m_XLineShift, written.m_XLineShift);
    EXPECT_EQ(read.m_YLineShift, written.m_YLineShift);
    EXPECT_EQ(read.m_XLineWidth, written.m_XLineWidth);
    EXPECT_EQ(read.m_YLineWidth, written.m_YLineWidth);
    EXPECT_EQ(read.m_NameOfImageForColor, written.m_NameOfImageForColor);
    ASSERT_EQ(read.m_ColorCursors.size(), written.m_ColorCursors.size());
    for (std::size_t i = 0; i < read.m_ColorCursors.size(); ++i) {
        EXPECT_EQ(read.m_ColorCursors[i].m_Color, written.m_ColorCursors[i].m_Color);
        ExpectTwoDecimals(read.m_ColorCursors[i].m_Position, written.m_ColorCursors[i].m_Position);
    }
    CPresentationConfig light = read;
    ComputeLightPosition(light);
    EXPECT_EQ(read.m_LightPosition, light.m_LightPosition);
}

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
        SetPresentationDefaults(k == kSettings2D ? ViewKind::View2D : ViewKind::View3D, pair[k]);
        pair[k].m_NameOfImageForColor = name;
        pair[k].m_ColorCursors = {{0, 0.0f}, {MakeColor(255, 255, 255), 1.0f}};
    }
    return pair;
}

} // namespace

TEST(PresentationFile, WriterProducesTheExactText)
{
    ScratchDir dir;
    ASSERT_TRUE(WriteCnf((dir / "p.cnf").string(), ViewKind::View3D, PhaseRecord3D()));
    EXPECT_EQ(ReadBytes(dir / "p.cnf"), kPhaseRecord3DText);
}

TEST(PresentationFile, CommaDecimalLocaleWritesTheSameBytes)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed; the comma-decimal run is skipped";
    char printed[16];
    std::snprintf(printed, sizeof printed, "%.2f", 0.5);
    ScratchDir dir;
    const bool written = WriteCnf((dir / "p.cnf").string(), ViewKind::View3D, PhaseRecord3D());
    CPresentationConfig read = RecordNamed("Phase_02");
    ReadCnf((dir / "p.cnf").string(), ViewKind::View3D, read);
    std::setlocale(LC_ALL, previous.c_str());
    ASSERT_STREQ(printed, "0,50") << "the locale must really write decimal commas";
    ASSERT_TRUE(written);
    EXPECT_EQ(ReadBytes(dir / "p.cnf"), kPhaseRecord3DText);
    EXPECT_FLOAT_EQ(read.m_LightIntensity, 0.74f);
}

TEST(PresentationFile, RoundTripKeepsEveryField)
{
    ScratchDir dir;
    std::mt19937 random(11);
    for (int i = 0; i < 50; ++i) {
        const CPresentationConfig written = RandomRecord(random);
        const ViewKind kind = i % 2 ? ViewKind::View3D : ViewKind::View2D;
        const std::string path = (dir / "r.cnf").string();
        ASSERT_TRUE(WriteCnf(path, kind, written));
        CPresentationConfig read = PhaseRecord3D();
        read.m_ImageName = written.m_ImageName;
        EXPECT_EQ(ReadCnf(path, kind, read), FileReadResult::Read);
        SCOPED_TRACE(i);
        ExpectSameRecord(read, written);
    }
}

TEST(PresentationFile, BothKindsAndSeveralImagesShareAFile)
{
    ScratchDir dir;
    const std::string path = (dir / "shared.cnf").string();
    CPresentationConfig height2D = PhaseRecord3D();
    height2D.m_ImageName = "Height_01";
    height2D.m_Tilt = 12.0f;
    CPresentationConfig phase3D = PhaseRecord3D();
    phase3D.m_Tilt = 34.0f;
    ASSERT_TRUE(WriteCnf(path, ViewKind::View2D, height2D));
    ASSERT_TRUE(WriteCnf(path, ViewKind::View3D, phase3D));

    CPresentationConfig read = RecordNamed("Height_01");
    ReadCnf(path, ViewKind::View2D, read);
    EXPECT_EQ(read.m_Tilt, 12.0f);
    ReadCnf(path, ViewKind::View3D, read);  // no Height_01 3D sections: nothing changes
    EXPECT_EQ(read.m_Tilt, 12.0f);
    read.m_ImageName = "Phase_02";
    ReadCnf(path, ViewKind::View3D, read);
    EXPECT_EQ(read.m_Tilt, 34.0f);
}

TEST(PresentationFile, VersionOnePointTwoFilesHaveNoImagePrefix)
{
    ScratchDir dir;
    const fs::path path = dir / "old.cnf";
    WriteLines(path, {"[Introduction]", "Ver=1.2", "[Presentation2D]", "Tilt=11",
                      "[Height_01_Presentation2D]", "Tilt=22", "Angle=33"});
    CPresentationConfig read = RecordNamed("Height_01");
    ReadCnf(path.string(), ViewKind::View2D, read);
    EXPECT_EQ(read.m_Tilt, 11.0f);
    EXPECT_EQ(read.m_Angle, 50.0f);

    WriteLines(path, {"[Introduction]", "Ver=2.1", "[Presentation2D]", "Tilt=11",
                      "[Height_01_Presentation2D]", "Tilt=22"});
    ReadCnf(path.string(), ViewKind::View2D, read);
    EXPECT_EQ(read.m_Tilt, 22.0f);
}

TEST(PresentationFile, ZScaleAndTiltOutsideTheirRangesAreIgnored)
{
    ScratchDir dir;
    const fs::path path = dir / "g.cnf";
    struct Case {
        const char* zScale;
        const char* tilt;
        float expectedZ;
        float expectedTilt;
    };
    const Case cases[] = {{"150", "-1", 30.0f, 60.0f},  {"0.05", "90.5", 30.0f, 60.0f},
                          {"0.1", "90", 0.1f, 90.0f},   {"100", "0", 100.0f, 0.0f},
                          {"100.01", "45.5", 30.0f, 45.5f}};
    for (const Case& c : cases) {
        WriteLines(path, {"[H_Presentation2D]", (std::string("Z_Scale=") + c.zScale).c_str(),
                          (std::string("Tilt=") + c.tilt).c_str()});
        CPresentationConfig read = RecordNamed("H");
        ReadCnf(path.string(), ViewKind::View2D, read);
        EXPECT_EQ(read.m_Z_Scale, c.expectedZ) << c.zScale;
        EXPECT_EQ(read.m_Tilt, c.expectedTilt) << c.tilt;
    }
}

TEST(PresentationFile, ValuesAreTakenAsTheyStandAndIntegersTruncated)
{
    ScratchDir dir;
    const fs::path path = dir / "v.cnf";
    WriteLines(path, {"[H_Presentation3D]", "DrawXYLine=7.9", "Border=-2.5", "Angle=725",
                      "BackgroundColor=1,2,3", "NameOfImageForColor=Other_03",
                      "[H_Light3D]", "LightAngle=90", "LightHight=500",
                      "[H_XYLine3D]", "XLineDecim=70000", "YLineShift=-3", "XLineColor=9,8,7"});
    CPresentationConfig read = RecordNamed("H");
    ReadCnf(path.string(), ViewKind::View3D, read);
    EXPECT_EQ(read.m_DrawXYLine, 7);
    EXPECT_EQ(read.m_Border, -2);
    EXPECT_EQ(read.m_Angle, 725.0f);
    EXPECT_EQ(read.m_BackgroundColor, MakeColor(1, 2, 3));
    EXPECT_EQ(read.m_NameOfImageForColor, "Other_03");
    EXPECT_EQ(read.m_XLineDecim, static_cast<std::int16_t>(70000 - 65536));
    EXPECT_EQ(read.m_YLineShift, -3);
    EXPECT_EQ(read.m_XLineColor, MakeColor(9, 8, 7));
    // The light position follows the angle read: 90 degrees is a quarter of 6.28 radians.
    EXPECT_NEAR(read.m_LightPosition[0], 1000.0 * std::sin(1.57), 1e-3);
    EXPECT_NEAR(read.m_LightPosition[1], 1000.0 * std::cos(1.57), 1e-3);
    EXPECT_EQ(read.m_LightPosition[2], -500.0f);
    EXPECT_EQ(read.m_LightPosition[3], 1.0f);
    // Untouched fields keep their values.
    EXPECT_EQ(read.m_Tilt, 60.0f);
    EXPECT_EQ(read.m_XLineWidth, 2);
}

TEST(PresentationFile, CursorCountRules)
{
    ScratchDir dir;
    const fs::path path = dir / "c.cnf";
    const std::vector<ColorCursor> original = {{MakeColor(1, 1, 1), 0.2f}, {MakeColor(2, 2, 2), 0.8f}};
    auto readCursors = [&](std::initializer_list<const char*> lines) {
        WriteLines(path, lines);
        CPresentationConfig read = RecordNamed("H");
        read.m_ColorCursors = original;
        ReadCnf(path.string(), ViewKind::View2D, read);
        return read.m_ColorCursors;
    };
    EXPECT_EQ(readCursors({"[H_ColorCursor2D]", "NofCursor=0", "Position[0]=0.5"}), original);
    EXPECT_EQ(readCursors({"[H_ColorCursor2D]", "Position[0]=0.5"}), original);
    EXPECT_EQ(readCursors({"[H_ColorCursor2D]", "NofCursor=", "Position[0]=0.5"}), original);
    EXPECT_EQ(readCursors({"[H_ColorCursor2D]", "NofCursor=-3"}), original);
    EXPECT_EQ(readCursors({"[H_ColorCursor2D]", "NofCursor=99999999"}), original);
    const std::vector<ColorCursor> three = {
        {MakeColor(10, 20, 30), 0.25f}, {MakeColor(40, 50, 60), 0.75f}, {MakeColor(0, 0, 0), 0.0f}};
    EXPECT_EQ(readCursors({"[H_ColorCursor2D]", "NofCursor=3", "Position[0]=0.25",
                           "Color[0]=10,20,30", "Position[1]=0.75", "Color[1]=40,50,60"}),
              three);
    // Read in file order, not sorted; an empty value reads as 0 and black.
    const std::vector<ColorCursor> unsorted = {{MakeColor(0, 0, 0), 0.9f}, {MakeColor(0, 0, 0), 0.0f}};
    EXPECT_EQ(readCursors({"[H_ColorCursor2D]", "NofCursor=2.7", "Position[0]=0.9", "Color[0]=",
                           "Position[1]=", "Color[1]=0"}),
              unsorted);
}

TEST(PresentationFile, AShorterPaletteLeavesTheOldCursorKeysBehind)
{
    ScratchDir dir;
    const std::string path = (dir / "s.cnf").string();
    CPresentationConfig settings = PhaseRecord3D();
    settings.m_ColorCursors.assign(4, ColorCursor{MakeColor(9, 9, 9), 0.5f});
    ASSERT_TRUE(WriteCnf(path, ViewKind::View2D, settings));
    settings.m_ColorCursors.resize(1);
    ASSERT_TRUE(WriteCnf(path, ViewKind::View2D, settings));
    const ProfileFile profile = ProfileFile::Load(path);
    EXPECT_EQ(profile.GetString("Phase_02_ColorCursor2D", "NofCursor"), "1");
    EXPECT_EQ(profile.GetString("Phase_02_ColorCursor2D", "Color[3]"), "9,9,9");
    CPresentationConfig read = PhaseRecord3D();
    ReadCnf(path, ViewKind::View2D, read);
    EXPECT_EQ(read.m_ColorCursors.size(), 1u);
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
    const CSpmImage a = ImageAt(dir / "a.000");
    const CSpmImage b = ImageAt(dir / "b.spm");
    const CSpmImage c = ImageAt(dir / "other" / "c.mdt");
    const SettingsPair pa = PairNamed("Height_01");
    const SettingsPair pb = PairNamed("Height_02");
    const SettingsPair pc = PairNamed("Topography_03");
    const std::vector<ImageSettingsRef> images = {{a, pa}, {b, pb}, {c, pc}};
    ScriptedPrompt prompt;
    ASSERT_TRUE(SaveDocImageConfigs(images));
    EXPECT_TRUE(prompt.messages.empty());

    const ProfileFile first = ProfileFile::Load((dir / "a.cnf").string());
    EXPECT_EQ(first.GetString("AddImage", "NofImage"), "2");
    EXPECT_EQ(first.GetString("AddImage", "Image[0]"), "b.spm");
    EXPECT_EQ(first.GetString("AddImage", "Image[1]"), "c.mdt");
    EXPECT_EQ(first.GetString("Height_01_XYLine3D", "XLineWidth"), "2");
    EXPECT_EQ(ProfileFile::Load((dir / "b.cnf").string()).GetString("Height_02_Light2D", "LightHight"),
              "1200.00");
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
    const CSpmImage a = ImageAt(dir / "a.spm");
    const CSpmImage lost = ImageAt(dir / "gone" / "b.spm");
    const CSpmImage c = ImageAt(dir / "c.spm");
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
    WriteLines(dir / "first.cnf", {"[AddImage]", "NofImage=0", "Image[0]=b.spm"});
    EXPECT_TRUE(ReadDocImageList((dir / "first.spm").string()).empty());
    EXPECT_TRUE(ReadDocImageList((dir / "nothing.spm").string()).empty());
    WriteLines(dir / "first.cnf", {"[AddImage]", "NofImage=99999999", "Image[0]=b.spm"});
    EXPECT_TRUE(ReadDocImageList((dir / "first.spm").string()).empty());
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
