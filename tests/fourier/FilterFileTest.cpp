// *.flt files through the profile-file layer.
#include <gtest/gtest.h>

#include <fstream>

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
    EXPECT_EQ(ReadFilterFile(path), DefaultPrimitives());
}

TEST(FilterFile, RoundTripKeepsTwoDecimals)
{
    ScratchDir dir;
    const std::string path = (dir / "r.flt").string();
    const FilterPrimitive p{1, 1, 7, 0.1234, 1.5, 2.456, 0.777, 45};
    ASSERT_TRUE(WriteFilterFile(path, {p, p, p, p, p}));
    ASSERT_TRUE(WriteFilterFile(path, {p}));  // keys 1 to 4 stay, the count reads 1
    const std::vector<FilterPrimitive> read = ReadFilterFile(path);
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

// Hand-written files: counts out of range read as nothing, values clamp to the controls.
TEST(FilterFile, BadValuesAreBounded)
{
    ScratchDir dir;
    const std::pair<std::string, std::size_t> counts[] = {
        {"-3", 0}, {"4000000000", 0}, {"", 0}, {"1.9", 1}};
    for (const auto& [count, expected] : counts) {
        const std::string path = (dir / "c.flt").string();
        std::ofstream(path, std::ios::trunc) << "[FilterPrimitive]\nNofPrimitive=" << count
                                             << "\nType[0]=1.9\nOder[0]=-5\nCutoff[0]=7\nAngle[0]=45.00\n"
                                                "Xcomp[0]=0\nShift[0]=x0.5\n";
        const std::vector<FilterPrimitive> read = ReadFilterFile(path);
        ASSERT_EQ(read.size(), expected) << count;
        if (expected == 1) {
            EXPECT_EQ(read[0], (FilterPrimitive{0, 1, 0, 1.0, 1.0, 1.0, 0.5, 45}));
        }
    }
    EXPECT_TRUE(ReadFilterFile((dir / "missing.flt").string()).empty());
}

TEST(FilterFile, FailedWriteIsReported)
{
    ScratchDir dir;
    EXPECT_FALSE(WriteFilterFile((dir / "no" / "such.flt").string(), DefaultPrimitives()));
}

} // namespace
