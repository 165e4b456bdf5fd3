// *.flt files through the profile-file layer.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "fourier/FilterFile.h"
#include "platform/core/ProfileFile.h"
#include "support/TestPaths.h"

namespace {

TEST(FilterFile, DefaultFilterWritesTheKeysInOrder)
{
    ScratchDir dir;
    const std::string path = (dir / "d.flt").string();
    ASSERT_TRUE(WriteFilterFile(path, DefaultPrimitives()));
    std::string expected = "[Introduction]\r\nVer=1.0\r\n[FilterPrimitive]\r\nNofPrimitive=2\r\n";
    const char* values[2][8] = {{"0", "0", "4", "0.30", "1.00", "1.00", "0.00", "0.00"},
                                {"0", "1", "20", "0.03", "1.00", "50.00", "0.70", "0.00"}};
    const char* keys[8] = {"Type", "LoPass", "Oder", "Cutoff", "Xcomp", "Ycomp", "Shift", "Angle"};
    for (int i = 0; i < 2; ++i)
        for (int k = 0; k < 8; ++k)
            expected += std::string(keys[k]) + "[" + std::to_string(i) + "]=" + values[i][k] + "\r\n";
    EXPECT_EQ(ProfileFile::Load(path).Text(), expected);
    const FilterFileRead read = ReadFilterFile(path);
    EXPECT_EQ(read.list, DefaultPrimitives());
    EXPECT_FALSE(read.limited);
}

TEST(FilterFile, RoundTripKeepsTwoDecimals)
{
    ScratchDir dir;
    const std::string path = (dir / "r.flt").string();
    const FilterPrimitive p{1, 1, 7, 0.1234, 1.5, 2.456, 0.777, 45};
    ASSERT_TRUE(WriteFilterFile(path, {p, p, p, p, p}));
    ASSERT_TRUE(WriteFilterFile(path, {p}));  // keys 1 to 4 stay, the count reads 1
    const std::vector<FilterPrimitive> read = ReadFilterFile(path).list;
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0], (FilterPrimitive{1, 1, 7, 0.12, 1.5, 2.46, 0.78, 45}));
}

TEST(FilterFile, ChosenPathGetsTheExtension)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a/name.flt", "a/name.flt"},     {"a/name", "a/name.flt"},
        {"a/name.FLT", "a/name.FLT.flt"}, {"a.b/name", "a.b/name.flt"},
        {"a/name.txt", "a/name.txt.flt"},
    };
    for (const auto& [chosen, written] : cases)
        EXPECT_EQ(FilterFilePath(chosen), written);
}

// Hand-written files: counts out of range read as nothing, values clamp to the controls and
// the read says so.
TEST(FilterFile, BadValuesAreBounded)
{
    ScratchDir dir;
    const std::pair<std::string, std::size_t> counts[] = {
        {"-3", 0}, {"4000000000", 0}, {"", 0}, {"1.9", 1}, {"100", 0}, {"99.9", 99}};
    for (const auto& [count, expected] : counts) {
        const std::string path = (dir / "c.flt").string();
        std::ofstream(path, std::ios::trunc) << "[FilterPrimitive]\nNofPrimitive=" << count
                                             << "\nType[0]=1.9\nOder[0]=-5\nCutoff[0]=7\nAngle[0]=45.00\n"
                                                "Xcomp[0]=0\nShift[0]=x0.5\n";
        const FilterFileRead read = ReadFilterFile(path);
        ASSERT_EQ(read.list.size(), expected) << count;
        EXPECT_EQ(read.limited, expected > 0);
        // Only a count above the longest filter is refused with a reason.
        EXPECT_EQ(read.tooLong, count == "4000000000" || count == "100") << count;
        if (expected == 1) {
            EXPECT_EQ(read.list[0], (FilterPrimitive{0, 1, 0, 1.0, 1.0, 1.0, 0.5, 45}));
        }
    }
    EXPECT_TRUE(ReadFilterFile((dir / "missing.flt").string()).list.empty());
    // One value beyond its control is enough to be told; a high-pass code other than 1 is not
    // beyond anything.
    const std::pair<const char*, bool> values[] = {
        {"Oder[0]=101", true}, {"Oder[0]=-1", true},     {"Angle[0]=361", true}, {"Angle[0]=-1", true},
        {"Cutoff[0]=1.01", true}, {"Shift[0]=2.5", true}, {"Ycomp[0]=100", true}, {"Shift[0]=0.125", true},
        {"LoPass[0]=7", false},   {"Angle[0]=360", false}, {"Shift[0]=2.00", false},
    };
    for (const auto& [line, limited] : values) {
        const std::string path = (dir / "v.flt").string();
        // The first of two equal keys is the one read.
        std::ofstream(path, std::ios::trunc) << "[FilterPrimitive]\nNofPrimitive=1\n" << line
                                             << "\nCutoff[0]=0.5\nXcomp[0]=1\nYcomp[0]=1\n";
        EXPECT_EQ(ReadFilterFile(path).limited, limited) << line;
    }
}

// Whatever a field is given, the dialog holds a value inside its control's range that a
// filter file brings back unchanged; inside the range only the third decimal on goes.
TEST(FilterFile, HeldValuesComeBackFromAFileUnchanged)
{
    struct Field {
        FilterField field;
        double min, max;
        double FilterPrimitive::*member;
    };
    const Field fields[] = {{FilterField::kCutoff, 0.01, 1.0, &FilterPrimitive::Cutoff},
                            {FilterField::kXcomp, 1.0, 99.9, &FilterPrimitive::Xcomp},
                            {FilterField::kYcomp, 1.0, 99.9, &FilterPrimitive::Ycomp},
                            {FilterField::kShift, 0.0, 2.0, &FilterPrimitive::Shift}};
    ScratchDir dir;
    const auto expectRoundTrip = [&dir](const std::vector<FilterPrimitive>& list) {
        const std::string path = (dir / "held.flt").string();
        ASSERT_TRUE(WriteFilterFile(path, list));
        const FilterFileRead read = ReadFilterFile(path);
        EXPECT_EQ(read.list, list);
        EXPECT_FALSE(read.limited);
    };
    std::mt19937 random(14);
    for (const Field& f : fields) {
        std::vector<double> values = {f.min, f.max, f.min - 0.5, f.max + 0.5, -1e9, 1e9, 0.0};
        for (int i = 0; i < 60; ++i)
            values.push_back(std::uniform_real_distribution<double>(f.min - 1.0, f.max + 1.0)(random));
        std::vector<FilterPrimitive> list;
        for (double value : values) {
            const double held = HeldValue(f.field, value);
            EXPECT_GE(held, f.min);
            EXPECT_LE(held, f.max);
            EXPECT_EQ(HeldValue(f.field, held), held);
            if (value >= f.min && value <= f.max) {
                EXPECT_NEAR(held, value, 0.005 + 1e-12);
            }
            FilterPrimitive p = ClampToControls({});
            p.*f.member = held;
            list.push_back(p);
        }
        expectRoundTrip(list);
    }
    std::vector<FilterPrimitive> ends;
    for (std::int32_t angle : {-1, 0, 360, 361})
        for (std::uint32_t order : {0u, 100u, 101u})
            ends.push_back(ClampToControls(FilterPrimitive{1, 1, order, 0.3, 1.0, 1.0, 0.0, angle}));
    expectRoundTrip(ends);
}

TEST(FilterFile, FailedWriteIsReported)
{
    ScratchDir dir;
    EXPECT_FALSE(WriteFilterFile((dir / "no" / "such.flt").string(), DefaultPrimitives()));
}

} // namespace
