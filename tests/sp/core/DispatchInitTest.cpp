#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <tuple>

#include "sp/sp.h"

namespace {

// Every test leaves the dispatch index at 0, where the program keeps it.
class SpDispatchInit : public ::testing::Test {
protected:
    void TearDown() override { spDispatchIndex = 0; }
};

// The column of every processor code that has one.
int ExpectedColumn(int code)
{
    static const std::map<int, int> columns = {
        {5, 1}, {16, 1}, {17, 1}, {64, 1}, {6, 2},  {7, 2},  {9, 2},
        {65, 2}, {8, 3}, {10, 3}, {32, 3}, {66, 3}, {33, 4}, {34, 4},
    };
    const auto it = columns.find(code);
    return it == columns.end() ? -1 : it->second;
}

TEST_F(SpDispatchInit, InitCpuFollowsTheCodeTable)
{
    // Codes -1 to 4 are known processors without a column of their own (column 0); any other
    // code without a column leaves the index alone and gives warning 21.
    for (int code = -300; code <= 300; ++code) {
        spDispatchIndex = 3;
        const int column = ExpectedColumn(code);
        const bool known = column >= 0 || (code >= -1 && code <= 4);
        EXPECT_EQ(spStaticInitCpu(code), known ? spStsNoErr : spStsUnknownCpuWarn) << code;
        EXPECT_EQ(spDispatchIndex, known ? std::max(column, 0) : 3) << code;
    }
}

TEST_F(SpDispatchInit, InitSetsTheIndexEvenWhenNotIdentified)
{
    struct Case {
        int code;
        bool identified;
        spStatus status;
        int column;
    };
    for (const Case& c : {Case{65, false, spStsNoCpuidWarn, 2}, Case{33, true, spStsNoErr, 4},
                          Case{11, true, spStsNoErr, 0}, Case{0, false, spStsNoCpuidWarn, 0}}) {
        spDispatchIndex = 3;
        EXPECT_EQ(spStaticInitFrom(c.code, c.identified), c.status) << c.code;
        EXPECT_EQ(spDispatchIndex, c.column) << c.code; // unknown codes take column 0
    }
}

TEST_F(SpDispatchInit, InitOnTheRunningProcessor)
{
    const spStatus expected = spCpuVendorCheck() == 1 ? spStsNoErr : spStsNoCpuidWarn;
    EXPECT_EQ(spStaticInit(), expected);
    EXPECT_EQ(spDispatchIndex, std::max(ExpectedColumn(spGetCpuType()), 0));
}

TEST_F(SpDispatchInit, VersionRecordOfEachColumn)
{
    const char codes[spDispatchColumns][4] = {"px", "a6", "w7", "t7", "v8"};
    const spLibVersion* generic = spGetLibVersion_px();
    const char* columnDate = spGetLibVersionRow[1]()->buildDate;
    std::set<const spLibVersion*> records;
    for (int column = 0; column < spDispatchColumns; ++column) {
        spDispatchIndex = column;
        const spLibVersion* v = spGetLibVersion();
        ASSERT_EQ(v, spGetLibVersionRow[column]());
        records.insert(v);
        EXPECT_EQ(std::memcmp(v->cpuCode, codes[column], 4), 0) << column; // two zero bytes
        EXPECT_NE(std::strstr(v->libraryName, codes[column]), nullptr) << v->libraryName;
        EXPECT_EQ(std::tie(v->major, v->minor, v->build1, v->build2),
                  std::tie(generic->major, generic->minor, generic->build1, generic->build2));
        EXPECT_EQ(v->versionText, generic->versionText); // one shared text
        if (column >= 1) {
            EXPECT_EQ(v->buildDate, columnDate);
        }
    }
    EXPECT_EQ(records.size(), 5u);
    EXPECT_STRNE(generic->buildDate, columnDate);
}

} // namespace
