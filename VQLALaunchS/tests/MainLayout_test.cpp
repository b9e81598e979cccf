#include "MainLayout.h"

#include <gtest/gtest.h>

namespace {

// Metrics as the template gives them at some dialog-unit size: caption at (8, 65), 112 × 16,
// tree 150 wide starting 16 below the caption's top.
const CLayoutMetrics kMetrics{65, 8, 112, 16, 150, 16};

TEST(MainLayout, OneMenuFillsTheHeight)
{
    const CMainLayout layout = ComputeMainLayout(kMetrics, 1000, 600, false);
    EXPECT_STREQ(layout.upperCaption, L"左右クリックメニュー");
    EXPECT_FALSE(layout.lowerShown);
    // treeW = max(1000 / 5, 150) = 200; avail = 600 - 65 = 535.
    EXPECT_EQ(layout.upperTree, (CLayoutRect{8, 81, 200, 535 - 8 - 16}));
    EXPECT_EQ(layout.upperBreadcrumb, (CLayoutRect{216, 65, 1000 - 24 - 200, 16}));
    EXPECT_EQ(layout.upperList, (CLayoutRect{216, 81, 776, 511}));
}

TEST(MainLayout, SeparateMenusShareTheHeight)
{
    const CMainLayout layout = ComputeMainLayout(kMetrics, 1000, 600, true);
    EXPECT_STREQ(layout.upperCaption, L"左クリックメニュー");
    EXPECT_TRUE(layout.lowerShown);
    // half = 535 / 2 = 267.
    EXPECT_EQ(layout.upperTree, (CLayoutRect{8, 81, 200, 267 - 24}));
    EXPECT_EQ(layout.upperList, (CLayoutRect{216, 81, 776, 243}));
    EXPECT_EQ(layout.lowerCaption, (CLayoutRect{8, 65 + 267, 112, 16}));
    EXPECT_EQ(layout.lowerTree, (CLayoutRect{8, 65 + 267 + 16, 200, 243}));
    EXPECT_EQ(layout.lowerBreadcrumb, (CLayoutRect{216, 332, 776, 16}));
    EXPECT_EQ(layout.lowerList, (CLayoutRect{216, 348, 776, 243}));
}

TEST(MainLayout, TheTreeKeepsItsTemplateWidthInANarrowWindow)
{
    struct Case {
        int width;
        int treeWidth;
    } cases[] = {{300, 150}, {750, 150}, {754, 150}, {755, 151}, {1280, 256}, {0, 150}};
    for (const Case& c : cases) {
        const CMainLayout layout = ComputeMainLayout(kMetrics, c.width, 400, true);
        EXPECT_EQ(layout.upperTree.cx, c.treeWidth) << c.width;
        EXPECT_EQ(layout.lowerTree.cx, c.treeWidth) << c.width;
        EXPECT_EQ(layout.upperList.x, c.treeWidth + 16) << c.width;
        EXPECT_EQ(layout.upperList.cx, c.width - 24 - c.treeWidth) << c.width;
    }
}

TEST(MainLayout, StoredPlacementNeedsTenUnitsOneWay)
{
    struct Case {
        int left, top, right, bottom;
        bool usable;
    } cases[] = {
        {-1, -1, -1, -1, false},     // nothing stored
        {100, 100, 109, 109, false}, // 9 × 9
        {100, 100, 110, 100, true},  // wide enough
        {100, 100, 100, 110, true},  // high enough
        {0, 0, 598, 371, true},
        {500, 500, 100, 100, false}, // reversed
        {INT32_MIN, 0, INT32_MAX, 0, true},
        {INT32_MAX, 0, INT32_MIN, 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsStoredPlacementUsable(c.left, c.top, c.right, c.bottom), c.usable)
            << c.left << "," << c.top << "," << c.right << "," << c.bottom;
}

} // namespace
