#include "MainLayout.h"

#include <algorithm>

CMainLayout ComputeMainLayout(const CLayoutMetrics& m, int width, int height, bool separate)
{
    CMainLayout layout;
    const int treeW = std::max(width / 5, m.treeMinWidth);
    const int avail = height - m.labelTop;
    const int listX = treeW + 2 * m.margin;
    const int listW = width - 3 * m.margin - treeW;
    const int groupHeight = separate ? avail / 2 : avail;
    const int paneHeight = groupHeight - m.margin - m.labelGap;

    layout.upperCaption = separate ? L"左クリックメニュー" : L"左右クリックメニュー";
    layout.upperTree = {m.margin, m.labelTop + m.labelGap, treeW, paneHeight};
    layout.upperBreadcrumb = {listX, m.labelTop, listW, m.labelHeight};
    layout.upperList = {listX, m.labelTop + m.labelGap, listW, paneHeight};
    layout.lowerShown = separate;
    if (separate) {
        const int top = m.labelTop + groupHeight;
        layout.lowerCaption = {m.margin, top, m.labelWidth, m.labelHeight};
        layout.lowerTree = {m.margin, top + m.labelGap, treeW, paneHeight};
        layout.lowerBreadcrumb = {listX, top, listW, m.labelHeight};
        layout.lowerList = {listX, top + m.labelGap, listW, paneHeight};
    }
    return layout;
}

bool IsStoredPlacementUsable(int left, int top, int right, int bottom)
{
    // In 64 bits: stored values are any 32-bit numbers.
    return static_cast<long long>(right) - left > 9 || static_cast<long long>(bottom) - top > 9;
}
