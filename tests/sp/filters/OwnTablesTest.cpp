// Each processor column's workers look their kernels up in that column's own tables, and every
// slot of a column's tables holds that column's kernel. Columns 2 to 4 run one code and give
// the same bits, so no comparison of results would notice a worker reading another column's
// tables, or a slot holding another column's kernel; the addresses do. Each column has its own
// instance of every kernel, so no kernel may sit in the tables of two columns.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "FilterTestSupport.h"
#include "TablesWrap.h"
#include "sp/filters/spColumn1Tables.h"

namespace {

// A filled slot of one column's tables whose kernel the tables of another column hold.
struct Foreign {
    std::size_t slot;
    int column;
};

std::vector<Foreign> ForeignSlots(const spColumnTables& t, int column)
{
    const std::vector<KernelSlot> mine = SlotsOf(t);
    std::vector<Foreign> found;
    for (int other = 1; other <= 4; ++other) {
        if (other == column)
            continue;
        const std::vector<KernelSlot> theirs = SlotsOf(RealTablesOf(other));
        const std::set<KernelSlot> held(theirs.begin(), theirs.end());
        for (std::size_t k = 0; k < mine.size(); ++k)
            if (mine[k] != nullptr && held.count(mine[k]) != 0)
                found.push_back({k, other});
    }
    return found;
}

// Whether `t` is column C's own: column 1's built tables, or for columns 2 to 4 the tables that
// name that column's instances (one-channel floats of the highpass 5x5 and the horizontal
// Sobel's row differences); in both, no slot holds a kernel of another column's tables.
template <int C>
bool Own(const spColumnTables* t)
{
    if (!ForeignSlots(*t, C).empty())
        return false;
    if constexpr (C == 1) {
        return t == &spColumn1Tables();
    } else {
        using Col = spColumnTraits<C>;
        return t->hipass5x5.combine[8] == &spColHipass5<spF32, Col, 1, false> &&
               t->sobelHoriz.rowDiff[spKtF32] == &spRowPairDiff<spF32, Col>;
    }
}

TEST(SpVariantTables, NoSlotOfAColumnHoldsAKernelOfAnotherColumnsTables)
{
    for (int column = 1; column <= 4; ++column)
        for (const Foreign& f : ForeignSlots(RealTablesOf(column), column))
            ADD_FAILURE() << "the kernel in slot " << f.slot << " of column " << column
                          << " sits in column " << f.column << "'s tables as well";
}

template <int C>
void ExpectWorkersReachOwnTables()
{
    const float pixels[25] = {}; // one pixel and its border of two
    float out = 1.0f;
    const spVariantFrame frame{pixels + 12, 20, &out, 4, 1, 1};
    for (std::size_t op = 0; op < AllFilterOps().size(); ++op) {
        TablesListener listener;
        ASSERT_EQ(WorkerOf(C, op)(frame, {spKtF32, 1, FormOf(AllFilterOps()[op])}), spStsNoErr);
        ASSERT_FALSE(listener.reached.empty()) << AllFilterOps()[op].name << " column " << C;
        for (const spColumnTables* t : listener.reached)
            EXPECT_TRUE(Own<C>(t)) << AllFilterOps()[op].name << " of column " << C
                                   << " reached another column's tables";
    }
}

TEST(SpVariantTables, EachColumnsWorkersReachThatColumnsOwnTables)
{
    // The instances tell the columns apart.
    EXPECT_FALSE(Own<3>(&RealTablesOf(4)));
    EXPECT_FALSE(Own<4>(&RealTablesOf(3)));
    EXPECT_FALSE(Own<2>(&RealTablesOf(3)));
    ExpectWorkersReachOwnTables<1>();
    ExpectWorkersReachOwnTables<2>();
    ExpectWorkersReachOwnTables<3>();
    ExpectWorkersReachOwnTables<4>();
}

} // namespace
