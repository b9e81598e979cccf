#include "MainDialog.h"

#include "DropRules.h"
#include "HotKeyDialog.h"
#include "InstanceBlock_win.h"
#include "LauncherLink_win.h"
#include "LinkPurge_win.h"
#include "MenuStore.h"
#include "OleDragSource_win.h"
#include "Resource.h"
#include "SentRecord.h"
#include "Settings.h"
#include "SettingsDialog.h"
#include "SettingsStore.h"
#include "VQLALaunchSApp.h"

namespace {
// The controls shown only while the two clicks have menus of their own.
constexpr int kLowerGroupControls[] = {IDC_RIGHT_CAPTION,  IDC_RIGHT_TREE,    IDC_RIGHT_BREADCRUMB, IDC_RIGHT_LIST,
                                       IDC_EXIT_POS_LABEL, IDC_EXIT_POS_LEFT, IDC_EXIT_POS_RIGHT,   IDC_EXIT_POS_BOTH};

const wchar_t* const kPlacementNames[] = {L"left", L"top", L"right", L"bottom"};

struct CPaletteEntry {
    const wchar_t* text;
    int image;
};
constexpr CPaletteEntry kPaletteEntries[] = {{L"新しい項目", 4}, {L"サブメニュー", 1}, {L"仕切り", 3}};

void Place(HWND control, const CLayoutRect& rect)
{
    MoveWindow(control, rect.x, rect.y, rect.cx, rect.cy, FALSE);
}

RECT ClientRectOf(HWND dialog, HWND control)
{
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
} // namespace

CMainDialog::CMainDialog() : CXDialog(IDD_MAIN)
{
    // A menu that cannot be read is reported and shown empty; its stored value stays as it
    // is until the user edits that menu. The items' icons are looked up by the views as
    // their entries are first drawn.
    leftRoot.Load();
    rightRoot.Load();
    LoadHotKeys(fixedHotKeys);
    LoadValues();
}

void CMainDialog::LoadValues()
{
    CSettingsStore& store = Store();
    const bool win10 = App().isWindows10OrLater;
    auto read = [&](XSetting setting, int fallback) {
        return store.GetInt(kSectionSettings, SettingName(setting, win10), fallback);
    };
    menuPos = read(XSetting::MenuPos, 3);
    exitPos = read(XSetting::ExitPos, 2);
    showHotKey = read(XSetting::ShowHotKey, 1);
    separate = read(XSetting::Separate, 0);
    win10Workaround = read(XSetting::Win10Workaround, 1);
    win10WorkaroundRetryCount = read(XSetting::Win10WorkaroundRetryCount, 3);
    avoidTaskBar = read(XSetting::AvoidTaskBar, 0);
    restartOnMonitorScaleChange = read(XSetting::RestartOnMonitorScaleChange, 1);
    subMenuAccelerator = store.GetString(kSectionSettings, SettingName(XSetting::TheSubMenuAccelerator, win10), L"M");
}

INT_PTR CMainDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        if (layoutReady)
            Layout();
        return TRUE;
    case WM_CLOSE:
        OnClose();
        return TRUE;
    case WM_SYSCOLORCHANGE:
        for (CGroup& group : groups) {
            SendMessageW(group.tree.Handle(), message, wParam, lParam);
            SendMessageW(group.list.Handle(), message, wParam, lParam);
        }
        SendMessageW(palette.Handle(), message, wParam, lParam);
        palette.SetBackground(GetSysColor(COLOR_BTNFACE));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SEPARATE:
            if (HIWORD(wParam) == BN_CLICKED)
                OnSeparateClicked();
            return TRUE;
        case IDC_EXIT_POS_LEFT:
        case IDC_EXIT_POS_RIGHT:
        case IDC_EXIT_POS_BOTH:
            if (HIWORD(wParam) == BN_CLICKED)
                OnExitPosClicked();
            return TRUE;
        case IDC_HOTKEY_SETTINGS:
            OnHotKeySettings();
            return TRUE;
        case IDC_DETAIL_SETTINGS:
            OnDetailSettings();
            return TRUE;
        default:
            break;
        }
        break;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.idFrom == IDC_PALETTE && (header.code == LVN_BEGINDRAG || header.code == LVN_BEGINRDRAG)) {
            OnPaletteBeginDrag();
            return TRUE;
        }
        break;
    }
    case UM_NODES_CHANGED:
        return SetResult(OnNodesChanged(wParam, lParam));
    case UM_SHOW_PARENT: {
        const int group = GroupOfControl(static_cast<int>(wParam));
        CXRoot& root = group == 1 ? rightRoot : leftRoot;
        auto* node = reinterpret_cast<CXNode*>(lParam);
        if (group >= 0 && TreeHolds(root, node))
            ShowInGroup(group, XDynamicCast<CXParent>(node));
        return SetResult(0);
    }
    case UM_DRAG_NODES:
        return SetResult(OnDragNodes(wParam, lParam));
    case UM_IS_PALETTE_DRAG:
        return SetResult(paletteDragActive ? 1 : 0);
    case UM_SELECT_NODE:
        OnSelectNode(wParam, lParam);
        return SetResult(0);
    case UM_PURGE_LINKS:
        PurgeLinks();
        return SetResult(1);
    default:
        if (launcherMessage && message == launcherMessage) {
            // The launcher's exit command closes the tool; nothing else of the protocol is ours.
            if (static_cast<uint32_t>(wParam) == kLauncherExitCommand)
                PostMessageW(Handle(), WM_CLOSE, 0, 0);
            return TRUE;
        }
        break;
    }
    return CXDialog::DialogProc(message, wParam, lParam);
}

bool CMainDialog::OnInitDialog()
{
    if (!BecomeTheInstance())
        return true;
    App().SetMessageOwner(Handle());

    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (auto [which, metricX, metricY] :
         {std::tuple{ICON_BIG, SM_CXICON, SM_CYICON}, std::tuple{ICON_SMALL, SM_CXSMICON, SM_CYSMICON}}) {
        HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, GetSystemMetrics(metricX),
                                 GetSystemMetrics(metricY), LR_SHARED);
        SendMessageW(Handle(), WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }

    MeasureLayout();
    PreparePalette();
    PrepareViews();
    groups[0].tree.Fill(&leftRoot);
    groups[1].tree.Fill(&rightRoot);
    ShowInGroup(0, &leftRoot);
    ShowInGroup(1, &rightRoot);

    wchar_t caption[256] = {};
    GetWindowTextW(Handle(), caption, 256);
    SetWindowTextW(Handle(), (std::wstring(caption) + L" Version " + kToolVersion).c_str());

    CheckDlgButton(Handle(), IDC_SEPARATE, separate ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), IDC_EXIT_POS_LEFT, exitPos == 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), IDC_EXIT_POS_RIGHT, exitPos == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), IDC_EXIT_POS_BOTH, exitPos == 2 ? BST_CHECKED : BST_UNCHECKED);

    ApplyStoredPlacement();
    Layout();
    return true;
}

bool CMainDialog::BecomeTheInstance()
{
    if (BecomeInstanceOrBringOtherForward(App().instanceMappingName.c_str(), Handle(), instanceBlock)) {
        isTheInstance = true;
        return true;
    }
    PostMessageW(Handle(), WM_COMMAND, IDCANCEL, 0);
    return false;
}

void CMainDialog::MeasureLayout()
{
    const RECT label = ClientRectOf(Handle(), Item(IDC_LEFT_CAPTION));
    const RECT tree = ClientRectOf(Handle(), Item(IDC_LEFT_TREE));
    layout.labelTop = label.top;
    layout.margin = label.left;
    layout.labelWidth = label.right - label.left;
    layout.labelHeight = label.bottom - label.top;
    layout.treeMinWidth = tree.right - tree.left;
    layout.labelGap = tree.top - label.top;
    layoutReady = true;
}

void CMainDialog::PreparePalette()
{
    palette.AttachItem(Handle(), IDC_PALETTE);
    palette.SetBackground(GetSysColor(COLOR_BTNFACE));
    palette.SetImageList(App().imageListMan.Handle(), LVSIL_SMALL);
    int index = 0;
    for (const CPaletteEntry& entry : kPaletteEntries)
        palette.InsertItem(index++, entry.text, entry.image, 0);
}

void CMainDialog::PrepareViews()
{
    const int ids[2][3] = {{IDC_LEFT_TREE, IDC_LEFT_LIST, IDC_LEFT_BREADCRUMB},
                           {IDC_RIGHT_TREE, IDC_RIGHT_LIST, IDC_RIGHT_BREADCRUMB}};
    groups[0].list.listName = L"Left";
    groups[1].list.listName = L"Right";
    for (int g = 0; g < 2; ++g) {
        groups[g].tree.AttachItem(Handle(), ids[g][0]);
        groups[g].list.AttachItem(Handle(), ids[g][1]);
        groups[g].breadcrumb.AttachItem(Handle(), ids[g][2]);
        groups[g].tree.PrepareDropTarget();
        groups[g].list.PrepareColumns();
    }
}

void CMainDialog::ShowInGroup(int group, CXParent* parent)
{
    groups[group].list.ShowParent(parent);
    groups[group].breadcrumb.ShowPath(parent);
}

void CMainDialog::ApplyStoredPlacement()
{
    int stored[4];
    for (int i = 0; i < 4; ++i)
        stored[i] = Store().GetInt(kSectionWindowPos, kPlacementNames[i], -1);
    if (!IsStoredPlacementUsable(stored[0], stored[1], stored[2], stored[3]))
        return;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    GetWindowPlacement(Handle(), &placement);
    placement.showCmd = SW_SHOW;
    placement.rcNormalPosition = {stored[0], stored[1], stored[2], stored[3]};
    SetWindowPlacement(Handle(), &placement);
}

void CMainDialog::StorePlacement()
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(Handle(), &placement))
        return;
    const RECT& r = placement.rcNormalPosition;
    const int values[4] = {r.left, r.top, r.right, r.bottom};
    for (int i = 0; i < 4; ++i)
        Store().SetInt(kSectionWindowPos, kPlacementNames[i], values[i]);
}

void CMainDialog::Layout()
{
    RECT client = {};
    GetClientRect(Handle(), &client);
    const CMainLayout placed = ComputeMainLayout(layout, client.right, client.bottom, separate != 0);
    SetDlgItemTextW(Handle(), IDC_LEFT_CAPTION, placed.upperCaption);
    Place(Item(IDC_LEFT_TREE), placed.upperTree);
    Place(Item(IDC_LEFT_BREADCRUMB), placed.upperBreadcrumb);
    Place(Item(IDC_LEFT_LIST), placed.upperList);
    if (placed.lowerShown) {
        Place(Item(IDC_RIGHT_CAPTION), placed.lowerCaption);
        Place(Item(IDC_RIGHT_TREE), placed.lowerTree);
        Place(Item(IDC_RIGHT_BREADCRUMB), placed.lowerBreadcrumb);
        Place(Item(IDC_RIGHT_LIST), placed.lowerList);
    }
    for (int id : kLowerGroupControls)
        ShowWindow(Item(id), placed.lowerShown ? SW_SHOW : SW_HIDE);
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CMainDialog::OnSeparateClicked()
{
    separate = IsDlgButtonChecked(Handle(), IDC_SEPARATE) == BST_CHECKED ? 1 : 0;
    Store().SetInt(kSectionSettings, SettingName(XSetting::Separate, App().isWindows10OrLater), separate);
    PostReloadToLauncher(kReloadBehaviour);
    // The right menu's item hotkeys count only while the clicks have menus of their own.
    ForEachItemBelow(rightRoot, [this](CXItem& item) {
        if (!item.hotKey.HasKey())
            return;
        if (separate && item.hotKey.hotKeyId == -1) {
            if (HWND launcher = FindLauncherWindow())
                RegisterBinding(launcher, item.hotKey);
        } else if (!separate && item.hotKey.hotKeyId != -1) {
            UnregisterBinding(item.hotKey);
        }
    });
    CChangeNotice notice;
    notice.kind = XNoticeKind::HotKeysChanged;
    notice.parent = &rightRoot;
    CSentRecord<CChangeNotice> sent(notice);
    SendMessageW(groups[1].list.Handle(), UM_NODES_CHANGED, IDC_SEPARATE, sent.Param());
    Layout();
}

void CMainDialog::OnExitPosClicked()
{
    exitPos = IsDlgButtonChecked(Handle(), IDC_EXIT_POS_LEFT) == BST_CHECKED    ? 0
              : IsDlgButtonChecked(Handle(), IDC_EXIT_POS_RIGHT) == BST_CHECKED ? 1
                                                                                : 2;
    Store().SetInt(kSectionSettings, SettingName(XSetting::ExitPos, App().isWindows10OrLater), exitPos);
    PostReloadToLauncher(kReloadBehaviour);
}

LRESULT CMainDialog::OnNodesChanged(WPARAM wParam, LPARAM lParam)
{
    const int group = GroupOfControl(static_cast<int>(wParam));
    if (group < 0 || !CSentRecord<CChangeNotice>::Accept(lParam))
        return 0;
    // The view that made the change gets its own notice too and knows it by the id.
    for (HWND view : {groups[group].tree.Handle(), groups[group].breadcrumb.Handle(), groups[group].list.Handle()})
        SendMessageW(view, UM_NODES_CHANGED, wParam, lParam);
    return 0;
}

LRESULT CMainDialog::OnDragNodes(WPARAM wParam, LPARAM lParam)
{
    switch (wParam) {
    case 0:
        if (const auto* nodes = CSentRecord<std::vector<CXNode*>>::Accept(lParam))
            draggedNodes = *nodes;
        return 0;
    case 1:
        draggedNodes.clear();
        return 0;
    case 2: {
        auto* candidate = reinterpret_cast<CXNode*>(lParam);
        if (!TreeHolds(leftRoot, candidate) && !TreeHolds(rightRoot, candidate))
            return 0;
        return IsValidDropTarget(XDynamicCast<CXParent>(candidate), draggedNodes) ? 1 : 0;
    }
    default:
        return 0;
    }
}

void CMainDialog::OnSelectNode(WPARAM wParam, LPARAM lParam)
{
    const int group = GroupOfControl(static_cast<int>(wParam));
    if (group >= 0)
        groups[group].tree.SelectNode(reinterpret_cast<const CXNode*>(lParam));
}

void CMainDialog::PurgeLinks()
{
    PurgeUnreferencedLinks(App().linksFolder, leftRoot, rightRoot);
}

void CMainDialog::OnClose()
{
    App().closingRequested = true;
    OnCancel();
}

void CMainDialog::OnCancel()
{
    if (isTheInstance) {
        SendMessageW(Handle(), UM_PURGE_LINKS, 0, 0);
        StorePlacement();
    }
    instanceBlock.reset();
    EndDialog(IDCANCEL);
}

void CMainDialog::OnHotKeySettings()
{
    CHotKeyDialog dialog(*this);
    dialog.DoModal(Handle());
}

void CMainDialog::OnDetailSettings()
{
    CSettingsDialog dialog(*this);
    dialog.DoModal(Handle());
}

void CMainDialog::OnPaletteBeginDrag()
{
    InternalDragFormat();
    const int selected = palette.NextItem(-1, LVNI_SELECTED);
    std::optional<std::vector<uint8_t>> block;
    {
        CXParent container;
        CXNode* node = selected == 0   ? static_cast<CXNode*>(new CXItem)
                       : selected == 1 ? static_cast<CXNode*>(new CXParent)
                       : selected == 2 ? static_cast<CXNode*>(new CXSeparator)
                                       : nullptr;
        if (!node)
            return;
        container.InsertChild(0, node);
        block = SaveToTransfer(container);
    }
    if (!block)
        return;
    // Only copied: the drop side makes the entry and opens it for editing.
    paletteDragActive = true;
    RunInternalDrag(*block, DROPEFFECT_COPY);
    paletteDragActive = false;
}
