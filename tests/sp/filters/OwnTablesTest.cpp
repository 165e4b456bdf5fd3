// Each processor column's workers look their kernels up in that column's own tables. Columns
// 2 to 4 run one code and give the same bits, so no comparison of results would notice a
// worker reading another column's tables; the addresses do. The test program is linked with
// spTablesOf wrapped (tests/CMakeLists.txt), and the wrapper notes every table it hands out.
#include <gtest/gtest.h>

#include <vector>

#include "FilterTestSupport.h"
#include "sp/filters/spColumn1Tables.h"

namespace {

// The tables handed out while a test listens.
std::vector<const spColumnTables*>* g_reached = nullptr;

} // namespace

extern "C" {
const spColumnTables& __real__Z10spTablesOfi(int column);
const spColumnTables& __wrap__Z10spTablesOfi(int column)
{
    const spColumnTables& tables = __real__Z10spTablesOfi(column);
    if (g_reached != nullptr)
        g_reached->push_back(&tables);
    return tables;
}
}

namespace {

// Whether `t` is column C's own: column 1's built tables; for columns 2 to 4 the tables whose
// slots hold that column's instances of the kernels (one-channel floats of the highpass 5x5
// and the horizontal Sobel's row differences).
template <int C>
bool Own(const spColumnTables* t)
{
    if constexpr (C == 1) {
        return t == &spColumn1Tables();
    } else {
        using Col = spColumnTraits<C>;
        return t->hipass5x5.combine[8] == &spColHipass5<spF32, Col, 1, false> &&
               t->sobelHoriz.rowDiff[spKtF32] == &spRowPairDiff<spF32, Col>;
    }
}

template <int C>
void ExpectWorkersReachOwnTables()
{
    const float pixels[25] = {}; // one pixel and its border of two
    float out = 1.0f;
    const spVariantFrame frame{pixels + 12, 20, &out, 4, 1, 1};
    for (std::size_t op = 0; op < AllFilterOps().size(); ++op) {
        std::vector<const spColumnTables*> reached;
        g_reached = &reached;
        const int form = AllFilterOps()[op].name == "Gauss5x5" ? 1 : 0;
        const spStatus status = WorkerOf(C, op)(frame, {spKtF32, 1, form});
        g_reached = nullptr;
        ASSERT_EQ(status, spStsNoErr);
        ASSERT_FALSE(reached.empty()) << AllFilterOps()[op].name << " column " << C;
        for (const spColumnTables* t : reached)
            EXPECT_TRUE(Own<C>(t)) << AllFilterOps()[op].name << " of column " << C
                                   << " reached another column's tables";
    }
}

TEST(SpVariantTables, EachColumnsWorkersReachThatColumnsOwnTables)
{
    // The instances tell the columns apart.
    EXPECT_FALSE(Own<3>(&spTablesOf(4)));
    EXPECT_FALSE(Own<4>(&spTablesOf(3)));
    EXPECT_FALSE(Own<2>(&spTablesOf(3)));
    ExpectWorkersReachOwnTables<1>();
    ExpectWorkersReachOwnTables<2>();
    ExpectWorkersReachOwnTables<3>();
    ExpectWorkersReachOwnTables<4>();
}

} // namespace
