// Processor identification (CPUID words to features and a processor code), the dispatch
// column each code selects, the dispatch table and the version record of each column.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <set>
#include <tuple>

#include "sp/core/spDispatchTable.h"
#include "sp/sp.h"
#include "sp/transforms/spDft2D.h"
#include "sp/transforms/spDftPlan.h"
#include "sp/transforms/spFft2D.h"

namespace {

constexpr std::uint32_t kMmx = 1u << 23, kSse = 1u << 25, kSse2 = 1u << 26, kHtt = 1u << 28;
constexpr std::uint32_t kSse3 = 1u << 0, kSsse3 = 1u << 9;

// A processor of the given family with two logical processors and leaf 4 as its last leaf.
spCpuidWords Words(std::uint32_t family, std::uint32_t edx, std::uint32_t ecx, bool longMode,
                   const char* vendor = "GenuineIntel")
{
    spCpuidWords w;
    w.maxLeaf = 4;
    std::memcpy(&w.vendorEbx, vendor, 4);
    std::memcpy(&w.vendorEdx, vendor + 4, 4);
    std::memcpy(&w.vendorEcx, vendor + 8, 4);
    w.leaf1Eax = family << 8;
    w.leaf1Ebx = 2u << 16;
    w.leaf1Edx = edx;
    w.leaf1Ecx = ecx;
    w.maxExtendedLeaf = 0x80000008u;
    w.ext1Edx = longMode ? 1u << 29 : 0;
    return w;
}

// The sixteen words of the record, in their order; every one is written.
std::array<std::uint32_t, 16> Decode(const spCpuidWords& w)
{
    spCpuFeatures f;
    std::memset(&f, 0xFF, sizeof f);
    spDecodeCpuFeatures(w, &f);
    std::array<std::uint32_t, 16> words;
    std::memcpy(words.data(), &f, sizeof f);
    return words;
}

int TypeOf(const spCpuidWords& w)
{
    spCpuFeatures f;
    spDecodeCpuFeatures(w, &f);
    return spCpuTypeOf(f, spIsMatchedVendor(w));
}

int ExpectedColumn(int code)
{
    static const std::map<int, int> columns = {{5, 1},  {16, 1}, {17, 1}, {64, 1}, {6, 2},
                                               {7, 2},  {9, 2},  {65, 2}, {8, 3},  {10, 3},
                                               {32, 3}, {66, 3}, {33, 4}, {34, 4}};
    const auto it = columns.find(code);
    return it == columns.end() ? -1 : it->second;
}

// A dispatch row as the table stores it, with its name and generic routine.
template <class Fn>
std::tuple<const char*, spRoutine, spDispatchTableRow> Row(const char* name, const spDispatchRow<Fn>& row, Fn* generic)
{
    spDispatchTableRow columns{};
    for (int c = 0; c < spDispatchColumns; ++c)
        columns[static_cast<std::size_t>(c)] = reinterpret_cast<spRoutine>(row[c]);
    return {name, reinterpret_cast<spRoutine>(generic), columns};
}

// Every test leaves the dispatch index at 0, where the program keeps it.
class SpDispatch : public testing::Test {
protected:
    void TearDown() override { spDispatchIndex = 0; }
};

}  // namespace

TEST(SpCpuDecode, FieldsComeFromTheirWordsBitsAndLeaves)
{
    spCpuidWords w = Words(6, kMmx | kSse | kSse2 | kHtt | 0x10, kSse3 | kSsse3, true);
    w.leaf1Eax = 0x000206AB;  // family 6, model 10, stepping 11; extended fields ignored
    w.leaf2Eax = 0x76036301;
    w.leaf2Edx = 0x00FF0000;
    w.leaf4Eax = 0x1C004121;  // 7 more cores in bits 26..31
    // family, stepping, model, 0, EDX, leaf 2 EAX and EDX, MMX, 0, SSE, SSE2, HTT, SSE3,
    // 64-bit, SSSE3, cores.
    EXPECT_EQ(Decode(w), (std::array<std::uint32_t, 16>{6, 11, 0xA, 0, w.leaf1Edx, 0x76036301, 0x00FF0000, 1, 0,
                                                         1, 1, 1, 1, 1, 1, 8}));
    // One logical processor is no hyper-threading; leaves not offered are not read.
    w = Words(15, kHtt, 0, true);
    w.leaf1Ebx = 1u << 16;
    w.maxLeaf = 3;
    w.leaf4Eax = 0xFC000000u;
    w.maxExtendedLeaf = 0x80000000u;
    EXPECT_EQ(Decode(w), (std::array<std::uint32_t, 16>{15, 0, 0, 0, kHtt, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
}

TEST(SpCpuDecode, VendorAndEveryProcessorCodeOfTheDecisionTable)
{
    spCpuidWords swapped = Words(6, 0, 0, false);
    std::swap(swapped.vendorEdx, swapped.vendorEcx);  // leaf 0 gives EBX, EDX, ECX
    EXPECT_TRUE(spIsMatchedVendor(Words(6, 0, 0, false)));
    EXPECT_FALSE(spIsMatchedVendor(swapped));
    EXPECT_FALSE(spIsMatchedVendor(spCpuidWords{}));
    const char* amd = "AuthenticAMD";
    spCpuidWords oneLogical = Words(15, kSse2 | kHtt, 0, true);
    oneLogical.leaf1Ebx = 1u << 16;
    const std::pair<spCpuidWords, int> cases[] = {
        {Words(5, 0, 0, false), 1},  {Words(5, kMmx, 0, false), 2},  {Words(6, 0, 0, false), 3},
        {Words(6, kMmx, 0, false), 4}, {Words(6, kMmx | kSse, 0, false), 5}, {Words(6, kSse | kSse2, 0, false), 9},
        {Words(6, kSse2, kSse3, false), 10}, {Words(6, kSse2, kSse3 | kSsse3, true), 33},
        {Words(6, kSse, kSsse3, true), 5}, {Words(7, kSse | kSse2, kSse3 | kSsse3, true), 16},
        {Words(15, kSse, kSse3, true), 17}, {Words(15, kSse2 | kHtt, 0, true), 7}, {oneLogical, 6},
        {Words(15, kSse2, 0, true), 6}, {Words(15, kSse2, kSse3, false), 8}, {Words(15, kSse2, kSse3, true), 32},
        {Words(15, kSse2, kSse3 | kSsse3, true), 33}, {Words(4, kSse | kSse2, 0, false), 65},
        {Words(6, 0, kSsse3, true, amd), 33}, {Words(6, kSse2, kSse3, true, amd), 66},
        {Words(15, kSse | kSse2, 0, true, amd), 65}, {Words(6, kSse, 0, false, amd), 64},
        {Words(6, kMmx, 0, false, amd), 0},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(TypeOf(cases[i].first), cases[i].second) << "case " << i;
}

TEST(SpCpuDecode, RunningProcessorAgreesWithItsDecodedWords)
{
    ASSERT_EQ(spCpuidAvailable(), 1);  // every 64-bit processor has CPUID
    const spCpuidWords w = spReadCpuidWords();
    EXPECT_EQ(spGetCpuType(), TypeOf(w));
    EXPECT_EQ(spCpuVendorCheck(), spIsMatchedVendor(w) ? 1 : 0);
    EXPECT_EQ(spCpuidMaxLeaf(), w.maxLeaf);
    // Facts of every 64-bit processor pin down that each flag reads its own bit.
    EXPECT_EQ((std::array{spHasTsc(), spHasMmx(), spHasSse(), spHasSse2(), spHas64BitExt()}),
              (std::array{1, 1, 1, 1, 1}));
    EXPECT_EQ(spHasSse3(), __builtin_cpu_supports("sse3") ? 1 : 0);
    EXPECT_EQ(spHasSsse3(), __builtin_cpu_supports("ssse3") ? 1 : 0);
    EXPECT_GE(spCoresPerPackage(), 1);
    const std::uint64_t t0 = spReadTsc();
    EXPECT_GE(spReadTsc(), t0);
}

TEST_F(SpDispatch, InitFollowsTheCodeTable)
{
    // Codes -1 to 4 are known processors without a column of their own (column 0); any other
    // code without a column leaves the index alone and warns.
    for (int code = -300; code <= 300; ++code) {
        spDispatchIndex = 3;
        const int column = ExpectedColumn(code);
        const bool known = column >= 0 || (code >= -1 && code <= 4);
        EXPECT_EQ(spStaticInitCpu(code), known ? spStsNoErr : spStsUnknownCpuWarn) << code;
        EXPECT_EQ(spDispatchIndex, known ? std::max(column, 0) : 3) << code;
    }
    // Without identification the index is still set, to column 0 for unknown codes.
    const std::tuple<int, bool, spStatus, int> fromCases[] = {
        {65, false, spStsNoCpuidWarn, 2}, {33, true, spStsNoErr, 4}, {11, true, spStsNoErr, 0}};
    for (const auto& [code, identified, status, column] : fromCases) {
        spDispatchIndex = 3;
        EXPECT_EQ(spStaticInitFrom(code, identified), status) << code;
        EXPECT_EQ(spDispatchIndex, column) << code;
    }
    EXPECT_EQ(spStaticInit(), spCpuVendorCheck() == 1 ? spStsNoErr : spStsNoCpuidWarn);
    EXPECT_EQ(spDispatchIndex, std::max(ExpectedColumn(spGetCpuType()), 0));
}

TEST_F(SpDispatch, VersionRecordOfEachColumn)
{
    const char codes[spDispatchColumns][4] = {"px", "a6", "w7", "t7", "v8"};
    const spLibVersion* generic = spGetLibVersion_px();
    std::set<const spLibVersion*> records;
    for (int column = 0; column < spDispatchColumns; ++column) {
        spDispatchIndex = column;
        const spLibVersion* v = spGetLibVersion();
        ASSERT_EQ(v, spGetLibVersionRow[column]());
        records.insert(v);
        EXPECT_EQ(std::memcmp(v->cpuCode, codes[column], 4), 0) << column;  // two zero bytes
        EXPECT_NE(std::strstr(v->libraryName, codes[column]), nullptr) << v->libraryName;
        EXPECT_EQ(std::tie(v->major, v->minor, v->build1, v->build2),
                  std::tie(generic->major, generic->minor, generic->build1, generic->build2));
        EXPECT_EQ(v->versionText, generic->versionText);
        // The processor columns were built a day before the generic one.
        EXPECT_STREQ(v->buildDate, column == 0 ? "Mar 15 2024" : "Mar 14 2024");
    }
    EXPECT_EQ(records.size(), 5u);
}

TEST(SpDispatchTable, RowsInTheirFixedOrderHoldEveryColumnAndTheGenericRoutineFirst)
{
#define SP_ROW(name) Row(#name, name##Row, name##_px)
    const std::tuple<const char*, spRoutine, spDispatchTableRow> rows[spDispatchRoutines] = {
        SP_ROW(spDft2DFree),     SP_ROW(spDft2DInverse),    SP_ROW(spDft2DForward),     SP_ROW(spDft2DInitAlloc),
        SP_ROW(spFft2DFree),     SP_ROW(spFft2DInverse),    SP_ROW(spFft2DForward),     SP_ROW(spFft2DInitAlloc),
        SP_ROW(spFilterGauss),   SP_ROW(spFilterLaplace),   SP_ROW(spFilterLowpass),    SP_ROW(spFilterHipass),
        SP_ROW(spFilterSharpen), SP_ROW(spFilterSobelVert), SP_ROW(spFilterSobelHoriz), SP_ROW(spDftFree),
        SP_ROW(spDftInverse),    SP_ROW(spDftForward),      SP_ROW(spDftInitAlloc),     SP_ROW(spGetLibVersion),
    };
#undef SP_ROW
    for (std::size_t i = 0; i < spDispatchRoutines; ++i) {
        const auto& [name, generic, columns] = rows[i];
        EXPECT_EQ(spDispatchTable[i], columns) << name;
        EXPECT_EQ(columns[0], generic) << name;
    }
    auto version = reinterpret_cast<spGetLibVersionFn*>(spDispatchTable[19][0]);
    EXPECT_EQ(version(), spGetLibVersion_px());
}
