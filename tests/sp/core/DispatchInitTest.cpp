#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "sp/sp.h"

namespace {

// Every test leaves the dispatch index at 0, where the program keeps it.
class SpDispatchInit : public ::testing::Test {
protected:
    void TearDown() override { spDispatchIndex = 0; }
};

int ExpectedColumn(int code)
{
    for (int c : {5, 16, 17, 64})
        if (code == c)
            return 1;
    for (int c : {6, 7, 9, 65})
        if (code == c)
            return 2;
    for (int c : {8, 10, 32, 66})
        if (code == c)
            return 3;
    if (code == 33 || code == 34)
        return 4;
    return -1;
}

TEST_F(SpDispatchInit, InitCpuFollowsTheCodeTable)
{
    for (int code = -300; code <= 300; ++code) {
        spDispatchIndex = 3;
        const spStatus status = spStaticInitCpu(code);
        const int column = ExpectedColumn(code);
        if (column >= 0) {
            EXPECT_EQ(status, spStsNoErr) << code;
            EXPECT_EQ(spDispatchIndex, column) << code;
        } else if (code >= -1 && code <= 4) {
            EXPECT_EQ(status, spStsNoErr) << code;
            EXPECT_EQ(spDispatchIndex, 0) << code;
        } else {
            EXPECT_EQ(status, spStsUnknownCpuWarn) << code;
            EXPECT_EQ(spDispatchIndex, 3) << code; // left as it was
        }
    }
}

TEST_F(SpDispatchInit, NamedCases)
{
    EXPECT_EQ(spStaticInitCpu(34), spStsNoErr);
    EXPECT_EQ(spDispatchIndex, 4);
    EXPECT_EQ(spStaticInitCpu(11), spStsUnknownCpuWarn);
    EXPECT_EQ(spStaticInitCpu(67), spStsUnknownCpuWarn);
    EXPECT_EQ(spDispatchIndex, 4);
    EXPECT_EQ(spStaticInitCpu(-1), spStsNoErr);
    EXPECT_EQ(spDispatchIndex, 0);
}

TEST_F(SpDispatchInit, InitSetsTheIndexEvenWhenNotIdentified)
{
    EXPECT_EQ(spStaticInitFrom(65, false), spStsNoCpuidWarn);
    EXPECT_EQ(spDispatchIndex, 2);
    EXPECT_EQ(spStaticInitFrom(33, true), spStsNoErr);
    EXPECT_EQ(spDispatchIndex, 4);
    EXPECT_EQ(spStaticInitFrom(11, true), spStsNoErr); // unknown codes take column 0
    EXPECT_EQ(spDispatchIndex, 0);
    spDispatchIndex = 2;
    EXPECT_EQ(spStaticInitFrom(0, false), spStsNoCpuidWarn);
    EXPECT_EQ(spDispatchIndex, 0);
}

TEST_F(SpDispatchInit, InitOnTheRunningProcessor)
{
    const spStatus expected = spCpuVendorCheck() == 1 ? spStsNoErr : spStsNoCpuidWarn;
    EXPECT_EQ(spStaticInit(), expected);
    const int column = ExpectedColumn(spGetCpuType());
    EXPECT_EQ(spDispatchIndex, column < 0 ? 0 : column);
}

TEST_F(SpDispatchInit, VersionRecordOfEachColumn)
{
    const char* codes[spDispatchColumns] = {"px", "a6", "w7", "t7", "v8"};
    std::set<const spLibVersion*> records;
    const spLibVersion* generic = spGetLibVersion_px();
    for (int column = 0; column < spDispatchColumns; ++column) {
        spDispatchIndex = column;
        const spLibVersion* v = spGetLibVersion();
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v, spGetLibVersionRow[column]());
        records.insert(v);
        EXPECT_EQ(std::memcmp(v->cpuCode, codes[column], 2), 0) << column;
        EXPECT_EQ(v->cpuCode[2], '\0');
        EXPECT_EQ(v->cpuCode[3], '\0');
        EXPECT_NE(std::strstr(v->libraryName, codes[column]), nullptr) << v->libraryName;
        EXPECT_EQ(v->major, generic->major);
        EXPECT_EQ(v->minor, generic->minor);
        EXPECT_EQ(v->build1, generic->build1);
        EXPECT_EQ(v->build2, generic->build2);
        EXPECT_EQ(v->versionText, generic->versionText); // one shared text
        if (column >= 2) {
            EXPECT_EQ(v->buildDate, spGetLibVersionRow[1]()->buildDate);
        }
    }
    EXPECT_EQ(records.size(), 5u);
    EXPECT_STRNE(generic->buildDate, spGetLibVersionRow[1]()->buildDate);
    spDispatchIndex = 0;
    EXPECT_EQ(spGetLibVersion(), generic);
    EXPECT_EQ(std::memcmp(generic->cpuCode, "px", 3), 0);
}

} // namespace
