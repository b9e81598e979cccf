// The popup menus: the request (anchor, foreground workaround), the build of one menu show
// from clones of the tree, tracking, dispatch of the chosen command and the release.
#include <windows.h>
// Needs the types of windows.h.
#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <memory>

#include "ForegroundWorkaround_win.h"
#include "ImageListMan_win.h"
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

// The popup windows of this thread's menu being shown, with their menus.
struct COpenPopups {
    std::vector<std::pair<HWND, HMENU>> shown;
    HWND WindowOf(HMENU menu) const
    {
        for (const auto& [window, popup] : shown) {
            if (popup == menu)
                return window;
        }
        return nullptr;
    }
};

BOOL CALLBACK CollectOpenPopup(HWND window, LPARAM context)
{
    wchar_t name[16] = {};
    if (IsWindowVisible(window) && GetClassNameW(window, name, static_cast<int>(std::size(name))) &&
        wcscmp(name, L"#32768") == 0) {
        auto* popups = reinterpret_cast<COpenPopups*>(context);
        popups->shown.emplace_back(window, reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0)));
    }
    return TRUE;
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

HMENU CMainFrame::BuildMenus(const CMenuPlan& plan, HDC dc, SIZE checkMark)
{
    const bool ownerDrawn = odm.drawType != kDrawBySystem;
    std::vector<HMENU> menus;
    std::vector<std::shared_ptr<CODMCommonItem>> commons;
    for (size_t i = 0; i < plan.popups.size(); ++i) {
        menus.push_back(NewPopup());
        if (ownerDrawn)
            commons.push_back(std::make_shared<CODMCommonItem>());
    }
    slotPlaces.assign(plan.itemSlots.size(), CSlotPlace{});
    // Each entry goes in with one call, its owner-drawn record or its bitmap included: large
    // menus have thousands of entries.
    for (size_t i = 0; i < plan.popups.size(); ++i) {
        HMENU menu = menus[i];
        if (!menu)
            continue;
        UINT position = 0;
        for (const CMenuEntry& entry : plan.popups[i].entries) {
            MENUITEMINFOW info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE;
            HBITMAP bitmap = nullptr;
            switch (entry.kind) {
            case XMenuEntryKind::Separator:
                info.fType = MFT_SEPARATOR;
                break;
            case XMenuEntryKind::Popup: {
                HMENU submenu = menus[static_cast<size_t>(entry.popup)];
                if (!submenu)
                    continue;
                info.fMask |= MIIM_SUBMENU | MIIM_ID;
                info.hSubMenu = submenu;
                // As AppendMenu gives a popup entry: the submenu's handle as its id.
                info.wID = static_cast<UINT>(reinterpret_cast<UINT_PTR>(submenu));
                if (entry.ownSubmenu && !ownerDrawn)
                    bitmap = ownIconBitmap.get();
                if (entry.ownSubmenu && entry.imageIndex < 0)
                    ownEntryPending = {menu, position};
                break;
            }
            case XMenuEntryKind::Item:
                info.fMask |= MIIM_ID;
                info.wID = entry.id;
                if (!ownerDrawn)
                    bitmap = ItemBitmap(*plan.itemSlots[static_cast<size_t>(entry.slot)], dc, checkMark);
                break;
            case XMenuEntryKind::Command:
                info.fMask |= MIIM_ID;
                info.wID = entry.id;
                break;
            }
            if (entry.kind != XMenuEntryKind::Separator) {
                info.fMask |= MIIM_STRING;
                info.dwTypeData = const_cast<wchar_t*>(entry.text.c_str());
            }
            if (ownerDrawn) {
                AttachODMItem(info, commons[static_cast<size_t>(entry.commonOf)], entry.text, entry.imageIndex);
            } else if (bitmap) {
                info.fMask |= MIIM_CHECKMARKS;
                info.hbmpChecked = bitmap;
                info.hbmpUnchecked = bitmap;
            }
            if (InsertMenuItemW(menu, position, TRUE, &info)) {
                if (entry.kind == XMenuEntryKind::Item)
                    slotPlaces[static_cast<size_t>(entry.slot)] = {menu, position};
                ++position;
            }
        }
    }
    return menus.empty() ? nullptr : menus.front();
}

HBITMAP CMainFrame::ItemBitmap(const CXItem& item, HDC dc, SIZE checkMark)
{
    // An item's bitmap is its icon on the menu colour: entries with the same icon share one,
    // which spares thousands of bitmaps in large menus.
    if (auto found = itemBitmaps.find(item.imageIndex); found != itemBitmaps.end())
        return found->second.get();
    auto bitmap = static_cast<HBITMAP>(item.CreateMenuBitmap(dc, checkMark.cx, checkMark.cy));
    if (bitmap)
        itemBitmaps.emplace(item.imageIndex, CBitmapHandle(bitmap));
    return bitmap;
}

bool CMainFrame::UpdateShownMenuImages(std::chrono::steady_clock::time_point deadline)
{
    COpenPopups open;
    EnumThreadWindows(GetCurrentThreadId(), CollectOpenPopup, reinterpret_cast<LPARAM>(&open));
    std::vector<HWND> changed;
    auto repaint = [&] {
        for (HWND window : changed)
            InvalidateRect(window, nullptr, FALSE);
    };
    const LONG checkMarkSize = GetMenuCheckMarkDimensions();
    const SIZE checkMark = {LOWORD(checkMarkSize), HIWORD(checkMarkSize)};
    CWindowDCHandle dc(Handle());
    auto changedWindow = [&](HWND window) {
        if (window && std::find(changed.begin(), changed.end(), window) == changed.end())
            changed.push_back(window);
    };
    if (startUpImagesDone && ownEntryPending.menu) {
        SetEntryImage(ownEntryPending, ownIconIndex, ownIconBitmap.get());
        changedWindow(open.WindowOf(ownEntryPending.menu));
        ownEntryPending = {};
    }
    if (fixedIconsCameDuringMenu) {
        // Entries of the fixed icons were drawn before those icons were in the list; the
        // system-drawn mode's bitmaps of them are made again.
        fixedIconsCameDuringMenu = false;
        if (odm.drawType == kDrawBySystem) {
            for (int fixed = 0; fixed < CImageListMan::kFixedSlots; ++fixed)
                itemBitmaps.erase(fixed);
            for (size_t slot = 0; slot < itemSlots.size(); ++slot) {
                const int index = itemSlots[slot]->imageIndex;
                if (slotPlaces[slot].menu && index >= 0 && index < CImageListMan::kFixedSlots)
                    ShowItemImage(slotPlaces[slot], *itemSlots[slot], dc.get(), checkMark);
            }
        }
        for (const auto& [window, menu] : open.shown)
            changedWindow(window);
    }
    // First the entries of the open popups, then the others.
    for (const bool openOnes : {true, false}) {
        for (size_t slot = 0; slot < itemSlots.size(); ++slot) {
            CXItem& item = *itemSlots[slot];
            const CSlotPlace& place = slotPlaces[slot];
            if (item.imageIndex >= 0 || !place.menu)
                continue;
            HWND window = open.WindowOf(place.menu);
            if ((window != nullptr) != openOnes)
                continue;
            if (std::chrono::steady_clock::now() >= deadline) {
                repaint();
                return false;
            }
            item.UpdateImages();
            ShowItemImage(place, item, dc.get(), checkMark);
            changedWindow(window);
        }
    }
    repaint();
    return true;
}

void CMainFrame::ShowItemImage(const CSlotPlace& place, const CXItem& item, HDC dc, SIZE checkMark)
{
    const bool ownerDrawn = odm.drawType != kDrawBySystem;
    SetEntryImage(place, item.imageIndex, !ownerDrawn && dc ? ItemBitmap(item, dc, checkMark) : nullptr);
}

void CMainFrame::SetEntryImage(const CSlotPlace& place, int imageIndex, HBITMAP bitmap)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    if (odm.drawType != kDrawBySystem) {
        info.fMask = MIIM_DATA;
        if (GetMenuItemInfoW(place.menu, place.position, TRUE, &info) && info.dwItemData)
            reinterpret_cast<CODMItem*>(info.dwItemData)->imageIndex = imageIndex;
        return;
    }
    if (!bitmap)
        return;
    info.fMask = MIIM_CHECKMARKS;
    info.hbmpChecked = bitmap;
    info.hbmpUnchecked = bitmap;
    SetMenuItemInfoW(place.menu, place.position, TRUE, &info);
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
    // Icons not known yet are looked up while the menu is shown (UpdateShownMenuImages).
    CXRoot& tree = UsesRightTree(behaviour.separate, right) ? rightRoot : leftRoot;

    const LONG checkMarkSize = GetMenuCheckMarkDimensions();
    const SIZE checkMark = {LOWORD(checkMarkSize), HIWORD(checkMarkSize)};
    CMenuBuildOptions options;
    options.ownSubmenu = ownShown;
    options.showHotKey = behaviour.showHotKey;
    options.subMenuAccelerator = behaviour.theSubMenuAccelerator;
    options.ownIconIndex = ownIconIndex;
    CMenuPlan plan = BuildMenuPlan(tree, fixedHotKeys, options);
    HMENU menu = nullptr;
    {
        CWindowDCHandle dc(Handle());
        menu = BuildMenus(plan, dc.get(), checkMark);
    }
    itemSlots = std::move(plan.itemSlots);
    if (odm.drawType != kDrawBySystem)
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
    slotPlaces.clear();
    ownEntryPending = {};
    fixedIconsCameDuringMenu = false;
    itemBitmaps.clear();
    menuBusy = 0;
}
