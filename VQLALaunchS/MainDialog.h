#pragma once
// The settings tool's main window (dialog 310): both menus side by side as tree, breadcrumb
// and detail list, the palette of new entries, "Separate" and the place of the launcher's
// own submenu. It owns the working copies of both menus, of the fixed hotkeys and of the
// behaviour values, and relays every change of a menu to that menu's three views.

#include <array>
#include <vector>

#include "HotKeyList.h"
#include "LinkCtrl.h"
#include "ListCtrl.h"
#include "MainLayout.h"
#include "TreeCtrl.h"
#include "WinHandles.h"
#include "XDialog.h"
#include "XListView.h"
#include "XNode.h"

class CMainDialog : public CXDialog {
public:
    // Loads both menus, the fixed hotkeys and the behaviour values.
    CMainDialog();

    CXRoot leftRoot{kLeftMenuName, 1};
    CXRoot rightRoot{kRightMenuName, 2};
    CKernelHandle instanceBlock;
    CFixedHotKeys fixedHotKeys;
    int menuPos = 3;
    int exitPos = 2;
    int showHotKey = 1;
    int separate = 0;
    int win10Workaround = 1;
    int win10WorkaroundRetryCount = 3;
    int avoidTaskBar = 0;
    int restartOnMonitorScaleChange = 1;
    std::wstring subMenuAccelerator = L"M";
    bool layoutReady = false;
    CLayoutMetrics layout;
    std::vector<CXNode*> draggedNodes;
    bool paletteDragActive = false;

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnInitDialog() override;
    // Enter: the dialog has no default action.
    void OnOK() override {}
    void OnCancel() override;

private:
    // One menu's views; group 0 is the upper (left menu), group 1 the lower (right menu).
    struct CGroup {
        CVQLATreeCtrl tree;
        CVQLAListCtrl list;
        CVQLALinkCtrl breadcrumb;
    };

    void LoadValues();
    // False when another settings tool runs: it is brought forward and this one cancels.
    bool BecomeTheInstance();
    void MeasureLayout();
    void PreparePalette();
    void PrepareViews();
    void ApplyStoredPlacement();
    void Layout();
    void ShowInGroup(int group, CXParent* parent);

    void OnSeparateClicked();
    void OnExitPosClicked();
    void OnClose();
    LRESULT OnNodesChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnDragNodes(WPARAM wParam, LPARAM lParam);
    void OnSelectNode(WPARAM wParam, LPARAM lParam);
    void PurgeLinks();
    void StorePlacement();
    // The buttons of the hotkey and detailed settings and the palette's drag start; the
    // settings dialogs and drag and drop fill them.
    void OnHotKeySettings();
    void OnDetailSettings();
    void OnPaletteBeginDrag();

    std::array<CGroup, 2> groups;
    CXListView palette;
    // Set once this dialog holds the instance block; a second start that only brought the
    // first one forward keeps nothing (placement, column widths) and purges nothing.
    bool isTheInstance = false;
};
