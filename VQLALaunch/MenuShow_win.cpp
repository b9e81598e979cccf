// The popup menus: the request (anchor, foreground workaround), the build of one menu show
// from clones of the tree, tracking, dispatch of the chosen command and the release.
#include <windows.h>
// Needs the types of windows.h.
#include <shellapi.h>

#include <memory>

#include "ForegroundWorkaround_win.h"
#include "Ids.h"
#include "MainFrame.h"
#include "MenuBuild.h"
#include "OdmRenderer_win.h"

namespace {
#ifdef _WIN64
static_assert(sizeof(APPBARDATA) == 48);
#endif
static_assert(sizeof(TPMPARAMS) == 20);

void BringForward(HWND owner)
{
    SetForegroundWindow(GetLastActivePopup(owner));
}
} // namespace

void CMainFrame::RequestMenu(bool byHotkey, bool right)
{
    BringForward(Handle());
    if (menuRequestBusy)
        return;
    menuRequestBusy = 1;
    CMenuAnchor anchor;
    if (byHotkey) {
        anchor = HotKeyMenuAnchor(behaviour.menuPos, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    } else {
        POINT cursor = {};
        GetCursorPos(&cursor);
        anchor = CursorMenuAnchor(cursor.x, cursor.y);
    }
    menuAnchor = {anchor.x, anchor.y};
    menuCorner = anchor.corner;
    menuIsRight = right ? 1 : 0;
    ++menuRequests;
    if (behaviour.win10Workaround)
        RunForegroundWorkaround(behaviour.win10WorkaroundRetryCount);
    PostMessageW(Handle(), WM_SHOW_PREPARED_MENU, 0, 0);
    menuRequestBusy = 0;
}

HMENU CMainFrame::NewPopup()
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return nullptr;
    openMenus.emplace_back(menu);
    MENUINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIM_BACKGROUND;
    info.hbrBack = PopupBackgroundBrush();
    SetMenuInfo(menu, &info);
    return menu;
}

HMENU CMainFrame::BuildPopup(const CXParent& node, const std::shared_ptr<CODMCommonItem>& common, HDC dc,
                             SIZE checkMark)
{
    HMENU menu = NewPopup();
    if (!menu)
        return nullptr;
    const bool ownerDrawn = odm.drawType != 3;
    for (const CXNode* child : node.children) {
        if (const auto* parent = XDynamicCast<CXParent>(child)) {
            HMENU submenu = BuildPopup(*parent, std::make_shared<CODMCommonItem>(), dc, checkMark);
            if (!submenu)
                continue;
            AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu), child->GetMenuText().c_str());
            if (ownerDrawn)
                AttachODMItem(menu, common, -1);
        } else if (const auto* item = XDynamicCast<CXItem>(child)) {
            const UINT id = kFirstItemCommand + static_cast<UINT>(itemSlots.size());
            std::unique_ptr<CXItem> clone(static_cast<CXItem*>(item->Clone()));
            const std::wstring label = LabelWithHotKey(clone->GetMenuText(), clone->hotKey, behaviour.showHotKey);
            itemSlots.push_back(std::move(clone));
            AppendMenuW(menu, MF_STRING, id, label.c_str());
            if (!ownerDrawn) {
                // An item's bitmap is its icon on the menu colour: entries with the same icon
                // share one, which spares thousands of bitmaps in large menus.
                HBITMAP bitmap = nullptr;
                if (auto found = itemBitmaps.find(item->imageIndex); found != itemBitmaps.end())
                    bitmap = found->second.get();
                else if ((bitmap = static_cast<HBITMAP>(item->CreateMenuBitmap(dc, checkMark.cx, checkMark.cy))))
                    itemBitmaps.emplace(item->imageIndex, CBitmapHandle(bitmap));
                if (bitmap)
                    SetMenuItemBitmaps(menu, id, MF_BYCOMMAND, bitmap, bitmap);
            } else {
                AttachODMItem(menu, common, item->imageIndex);
            }
        } else if (XDynamicCast<CXSeparator>(child)) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            if (ownerDrawn)
                AttachODMItem(menu, common, -1);
        }
    }
    return menu;
}

void CMainFrame::AppendOwnSubmenu(HMENU treeMenu, const std::shared_ptr<CODMCommonItem>& treeCommon)
{
    HMENU submenu = NewPopup();
    if (!submenu)
        return;
    const bool ownerDrawn = odm.drawType != 3;
    const auto own = std::make_shared<CODMCommonItem>();
    for (const COwnMenuRow& row : OwnMenuRows()) {
        if (!row.command) {
            AppendMenuW(submenu, MF_SEPARATOR, 0, nullptr);
        } else {
            std::wstring label = row.label;
            if (row.hotKey >= 0)
                label = LabelWithHotKey(label, fixedHotKeys[row.hotKey], behaviour.showHotKey);
            AppendMenuW(submenu, MF_STRING, row.command, label.c_str());
        }
        if (ownerDrawn)
            AttachODMItem(submenu, own, -1);
    }
    if (GetMenuItemCount(treeMenu) > 0) {
        AppendMenuW(treeMenu, MF_SEPARATOR, 0, nullptr);
        if (ownerDrawn)
            AttachODMItem(treeMenu, own, -1);
    }
    const std::wstring title = OwnSubmenuText(behaviour.theSubMenuAccelerator);
    AppendMenuW(treeMenu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu), title.c_str());
    if (!ownerDrawn) {
        const int position = GetMenuItemCount(treeMenu) - 1;
        SetMenuItemBitmaps(treeMenu, static_cast<UINT>(position), MF_BYPOSITION, ownIconBitmap.get(),
                           ownIconBitmap.get());
    } else {
        AttachODMItem(treeMenu, treeCommon, ownIconIndex);
    }
}

void CMainFrame::ShowMenu()
{
    SetForegroundWindow(Handle());
    if (menuBusy) {
        BringForward(Handle());
        return;
    }
    menuBusy = 1;
    BeginODMMenu();

    const bool right = menuIsRight != 0;
    const bool ownShown = OwnSubmenuShown(behaviour.separate, behaviour.exitPos, right);
    refreshPending = 0;
    CXRoot& tree = UsesRightTree(behaviour.separate, right) ? rightRoot : leftRoot;
    tree.UpdateTreeImages();

    const LONG checkMarkSize = GetMenuCheckMarkDimensions();
    const SIZE checkMark = {LOWORD(checkMarkSize), HIWORD(checkMarkSize)};
    HMENU menu = nullptr;
    const auto treeCommon = std::make_shared<CODMCommonItem>();
    {
        CWindowDCHandle dc(Handle());
        menu = BuildPopup(tree, treeCommon, dc.get(), checkMark);
    }
    if (menu && ownShown)
        AppendOwnSubmenu(menu, treeCommon);
    if (odm.drawType != 3)
        MeasureODMItems();

    BringForward(Handle());
    UINT chosen = 0;
    if (menu) {
        if (behaviour.avoidTaskBar) {
            APPBARDATA query = {};
            query.cbSize = sizeof(query);
            SHAppBarMessage(ABM_QUERYPOS, &query);
            const UINT flags = MenuTrackFlags(menuCorner, true, query.uEdge);
            APPBARDATA taskbar = {};
            taskbar.cbSize = sizeof(taskbar);
            SHAppBarMessage(ABM_GETTASKBARPOS, &taskbar);
            TPMPARAMS params = {};
            params.cbSize = sizeof(params);
            params.rcExclude = taskbar.rc;
            chosen = static_cast<UINT>(TrackPopupMenuEx(menu, flags, menuAnchor.x, menuAnchor.y, Handle(), &params));
        } else {
            const UINT flags = MenuTrackFlags(menuCorner, false, 0);
            chosen = static_cast<UINT>(TrackPopupMenu(menu, flags, menuAnchor.x, menuAnchor.y, 0, Handle(), nullptr));
        }
    }
    PostMessageW(GetLastActivePopup(Handle()), WM_NULL, 0, 0);

    switch (ClassifyMenuResult(chosen, itemSlots.size())) {
    case XMenuResult::Item:
        // A failed launch is not reported here; the settings tool shows the reason.
        itemSlots[chosen - kFirstItemCommand]->Execute(nullptr);
        break;
    case XMenuResult::Command:
        PostMessageW(Handle(), WM_COMMAND, chosen, 0);
        break;
    case XMenuResult::None:
        break;
    }
    ReleaseMenuShow();
}

void CMainFrame::ReleaseMenuShow()
{
    EndODMMenu();
    itemSlots.clear();
    // Submenus are taken out before their parent goes, so that every menu is destroyed once.
    for (CMenuHandle& menu : openMenus) {
        while (GetMenuItemCount(menu.get()) > 0)
            RemoveMenu(menu.get(), 0, MF_BYPOSITION);
    }
    openMenus.clear();
    itemBitmaps.clear();
    menuBusy = 0;
}
