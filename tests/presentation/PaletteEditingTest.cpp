// The palette panel's mouse logic: strip positions, picking, dragging limits and the menu.
#include <gtest/gtest.h>

#include <tuple>

#include "presentation/PaletteEditing.h"

namespace {

constexpr COLORREF kRed = MakeColor(255, 0, 0);
constexpr COLORREF kGreen = MakeColor(0, 255, 0);
constexpr COLORREF kBlue = MakeColor(0, 0, 255);

std::vector<ColorCursor> Three() { return {{kRed, 0.2f}, {kGreen, 0.5f}, {kBlue, 0.8f}}; }

} // namespace

TEST(PaletteEditing, StripPositionRunsFromTopToBottomClamped)
{
    // Strip client from y = 40, 200 pixels high.
    const std::tuple<int, double> cases[] = {
        {40, 1.0}, {240, 0.0}, {140, 0.5}, {190, 0.25}, {0, 1.0}, {400, 0.0}};
    for (const auto& [y, position] : cases)
        EXPECT_DOUBLE_EQ(StripPosition(y, 40, 200), position) << y;
    EXPECT_EQ(StripPosition(10, 0, 0), 0.0);
    EXPECT_DOUBLE_EQ(PickTolerance(10, 200), 0.05);
}

TEST(PaletteEditing, PickTakesTheLastCursorWithinTheTolerance)
{
    const std::vector<ColorCursor> close = {{kRed, 0.5f}, {kGreen, 0.52f}, {kBlue, 0.9f}};
    EXPECT_EQ(PickCursor(close, 0.51, 0.05), 1u);
    EXPECT_EQ(PickCursor(close, 0.46, 0.05), 0u);
    EXPECT_EQ(PickCursor(close, 0.7, 0.05), 3u);
    EXPECT_EQ(PickCursor(close, 0.95, 0.05), 3u);  // the bounds themselves do not count
}

TEST(PaletteEditing, DragStopsShortOfTheNeighboursAndTheEnds)
{
    // (cursor, pointer position, resulting position)
    const std::tuple<std::size_t, double, float> cases[] = {
        {1, 0.9, 0.79f}, {1, 0.1, 0.21f}, {1, 0.6, 0.6f},
        {2, 1.0, 0.99f}, {0, 0.0, 0.01f}, {0, 0.6, 0.49f}};
    for (const auto& [index, pointer, expected] : cases) {
        std::vector<ColorCursor> cursors = Three();
        EXPECT_TRUE(DragCursor(cursors, index, pointer));
        EXPECT_FLOAT_EQ(cursors[index].m_Position, expected) << index << " " << pointer;
        EXPECT_EQ(cursors[index].m_Color, Three()[index].m_Color);
    }
    std::vector<ColorCursor> cursors = Three();
    EXPECT_FALSE(DragCursor(cursors, 3, 0.5));
    EXPECT_EQ(cursors, Three());
}

TEST(PaletteEditing, DragKeepsFilePositionsOutsideTheRangeClamped)
{
    // A file placed the neighbours beyond 1: the dragged cursor stays within 0..1.
    std::vector<ColorCursor> cursors = {{kRed, 1.2f}, {kGreen, 0.5f}, {kBlue, 1.5f}};
    EXPECT_TRUE(DragCursor(cursors, 1, 0.3));
    EXPECT_FLOAT_EQ(cursors[1].m_Position, 1.0f);
    // Neighbours closer than two gaps: the cursor stays.
    cursors = {{kRed, 0.5f}, {kGreen, 0.505f}, {kBlue, 0.51f}};
    EXPECT_TRUE(DragCursor(cursors, 1, 0.9));
    EXPECT_FLOAT_EQ(cursors[1].m_Position, 0.505f);
}

TEST(PaletteEditing, MenuOffersDeleteOnAMarkAndAddBetweenMarks)
{
    const CursorMenu onMark = BuildCursorMenu(Three(), 0.52, 0.05);
    EXPECT_EQ(onMark.commands, (std::vector<PaletteCommand>{kCmdDelCursor, kCmdChangeColor}));
    EXPECT_EQ(onMark.selected, 1u);
    const CursorMenu between = BuildCursorMenu(Three(), 0.35, 0.05);
    EXPECT_EQ(between.commands, (std::vector<PaletteCommand>{kCmdAddCursor}));
    EXPECT_EQ(between.selected, 3u);
}

TEST(PaletteEditing, AddedCursorLandsBeforeTheFirstAboveIt)
{
    std::vector<ColorCursor> cursors = Three();
    EXPECT_EQ(AddCursorColor(cursors, 0.35), kGreen);
    AddCursor(cursors, 0.35, kBlue);
    ASSERT_EQ(cursors.size(), 4u);
    EXPECT_EQ(cursors[1], (ColorCursor{kBlue, 0.35f}));
    EXPECT_EQ(AddCursorColor(cursors, 0.95), kBlue);
    AddCursor(cursors, 0.95, kRed);
    EXPECT_EQ(cursors.back(), (ColorCursor{kRed, 0.95f}));
    std::vector<ColorCursor> empty;
    EXPECT_EQ(AddCursorColor(empty, 0.5), MakeColor(0, 0, 0));
    AddCursor(empty, 0.5, kGreen);
    EXPECT_EQ(empty, (std::vector<ColorCursor>{{kGreen, 0.5f}}));
}
