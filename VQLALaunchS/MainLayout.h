#pragma once
// Where the main dialog's controls go when its size or the "Separate" box changes, from six
// metrics measured once on the dialog as the template lays it out.

#include <string>

struct CLayoutMetrics {
    int labelTop = 0; // top of the upper caption (label 1015), client coordinates
    int margin = 0;   // its left edge
    int labelWidth = 0;
    int labelHeight = 0;
    int treeMinWidth = 0; // width of the upper tree as the template has it
    int labelGap = 0;     // top of the upper tree minus top of the caption
};

struct CLayoutRect {
    int x = 0, y = 0, cx = 0, cy = 0;
    bool operator==(const CLayoutRect&) const = default;
};

struct CMainLayout {
    const wchar_t* upperCaption = L""; // text of label 1015
    CLayoutRect upperTree, upperBreadcrumb, upperList;
    bool lowerShown = false; // the lower group and the placement radios
    CLayoutRect lowerCaption, lowerTree, lowerBreadcrumb, lowerList;
};

// W × H is the client size; with separate both menus share the height, otherwise only
// the upper one is shown, under the caption "左右クリックメニュー".
CMainLayout ComputeMainLayout(const CLayoutMetrics& metrics, int width, int height, bool separate);

// A stored window rectangle is used only when it is wider or higher than 9 units.
bool IsStoredPlacementUsable(int left, int top, int right, int bottom);
