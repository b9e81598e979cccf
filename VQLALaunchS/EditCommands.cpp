#include "EditCommands.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "CommonCtrl.h"
#include "EditRules.h"
#include "ItemDialogs.h"
#include "LauncherLink_win.h"
#include "MenuStore.h"
#include "OleDragSource_win.h"
#include "Resource.h"
#include "SentRecord.h"
#include "VQLALaunchSApp.h"
#include "ViewRules.h"
#include "WinHandles.h"
#include "XNode.h"

namespace {
HWND DialogOf(const CEditView& view)
{
    return GetParent(view.window);
}

void SendNotice(const CEditView& view, const CChangeNotice& notice)
{
    CSentRecord<CChangeNotice> sent(notice);
    SendMessageW(DialogOf(view), UM_NODES_CHANGED, static_cast<WPARAM>(GetDlgCtrlID(view.window)), sent.Param());
}

void SendRangeNotice(const CEditView& view, XNoticeKind kind, CXParent& parent, int index, int count)
{
    CChangeNotice notice;
    notice.kind = kind;
    notice.parent = &parent;
    notice.index = index;
    notice.count = count;
    SendNotice(view, notice);
}

void SendRemovedNotice(const CEditView& view, CXParent& parent, const std::vector<CXNode*>& nodes)
{
    CChangeNotice notice;
    notice.kind = XNoticeKind::Removed;
    notice.parent = &parent;
    notice.nodes = nodes;
    SendNotice(view, notice);
}

int PositionIn(const CXParent& parent, const CXNode* node)
{
    const auto found = std::find(parent.children.begin(), parent.children.end(), node);
    return found == parent.children.end() ? -1 : static_cast<int>(found - parent.children.begin());
}

// Saves a menu that has just received node at its parent; when the store cannot take it
// (the menu would grow too large; the message has been shown) the node goes again, so that
// the views never show what was not stored.
bool SaveWithNewNode(CXParent& parent, CXNode* node)
{
    if (parent.SaveTree())
        return true;
    parent.RemoveChildren({node});
    delete node;
    return false;
}

// An edited item shows the icon of its new file; only its own is looked up again.
void RefreshItemImage(CXItem& item)
{
    item.imageIndex = -1;
    item.UpdateImages();
}

// The item's dialog; IDOK when it wrote the item.
INT_PTR RunItemDialog(HWND owner, CXItem& item, bool expandAtOpen)
{
    if (auto* textItem = XDynamicCast<CXTextItem>(&item))
        return CTextItemInfoDialog(*textItem).DoModal(owner);
    return CProgInfoDialog(item, expandAtOpen).DoModal(owner);
}

void RunProperties(const CEditView& view, bool expandAtOpen)
{
    CXNode* node = view.common.SelectedNode();
    CXParent* parent = node ? node->GetParent() : nullptr;
    if (!parent)
        return;
    HWND dialog = DialogOf(view);
    if (auto* item = XDynamicCast<CXItem>(node)) {
        if (RunItemDialog(dialog, *item, expandAtOpen) != IDOK)
            return;
        RefreshItemImage(*item);
    } else if (auto* submenu = XDynamicCast<CXParent>(node)) {
        if (CSubmenuInfoDialog(*submenu).DoModal(dialog) != IDOK)
            return;
    } else {
        return; // a separator has no properties
    }
    parent->SaveTree();
    SendRangeNotice(view, XNoticeKind::Changed, *parent, PositionIn(*parent, node), 1);
}

void DeleteSelection(const CEditView& view)
{
    std::vector<CXNode*> nodes;
    CXParent* source = view.common.CollectSelection(nodes);
    if (!source || nodes.empty())
        return;
    HWND dialog = DialogOf(view);
    const std::wstring question = DeleteQuestion(nodes);
    if (MessageBoxW(dialog, question.c_str(), kToolAppName, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    view.common.BeforeDelete(nodes);
    for (CXItem* item : ActiveBindingsIn(nodes))
        UnregisterBinding(item->hotKey);
    source->RemoveChildren(nodes);
    source->SaveTree();
    SendRemovedNotice(view, *source, nodes);
    SendMessageW(dialog, UM_PURGE_LINKS, 0, 0);
    for (CXNode* node : nodes)
        delete node;
}
} // namespace

void ShowContextMenu(const CEditView& view, POINT screenPoint)
{
    if (screenPoint.x == -1 && screenPoint.y == -1) {
        screenPoint = {0, 0};
        ClientToScreen(view.window, &screenPoint);
    }
    const int count = view.common.SelectedCount();
    const CContextMenuState state = ContextMenuStateOf(count, count == 1 ? view.common.SelectedNode() : nullptr);

    CMenuHandle menu(
        LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(view.isList ? IDR_LIST_MENU : IDR_TREE_MENU)));
    HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup)
        return;
    const auto enable = [popup](int command, bool enabled) {
        EnableMenuItem(popup, static_cast<UINT>(command), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    };
    enable(ID_RENAME, state.rename);
    enable(ID_DELETE, state.remove);
    enable(ID_LAUNCH, state.launch);
    enable(ID_EXPAND_SHORTCUT, state.expandShortcut);
    enable(ID_PROPERTIES, state.properties);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, 0, view.window, nullptr);
}

bool RunCommonCommand(const CEditView& view, int command)
{
    switch (command) {
    case ID_RENAME: {
        CXNode* node = view.common.SelectedNode();
        if (node && node->GetParent() && (node->IsKindOf<CXItem>() || node->IsKindOf<CXParent>()))
            view.common.BeginRename(node);
        return true;
    }
    case ID_DELETE:
        DeleteSelection(view);
        return true;
    case ID_LAUNCH:
        LaunchNode(DialogOf(view), view.common.SelectedNode());
        return true;
    case ID_EXPAND_SHORTCUT:
        if (IsShortcutItem(view.common.SelectedNode()))
            RunProperties(view, true);
        return true;
    case ID_PROPERTIES:
        RunProperties(view, false);
        return true;
    default:
        return false;
    }
}

void InsertNewItem(const CEditView& view, CXParent& parent, int position, bool textItem)
{
    std::unique_ptr<CXItem> item(textItem ? new CXTextItem : new CXItem);
    if (RunItemDialog(DialogOf(view), *item, false) != IDOK)
        return;
    CXItem* inserted = item.release();
    parent.InsertChild(static_cast<size_t>(position), inserted);
    inserted->UpdateImages();
    if (SaveWithNewNode(parent, inserted))
        SendRangeNotice(view, XNoticeKind::Inserted, parent, position, 1);
}

void InsertNewSubmenu(const CEditView& view, CXParent& parent, int position)
{
    auto* submenu = new CXParent;
    parent.InsertChild(static_cast<size_t>(position), submenu);
    if (!SaveWithNewNode(parent, submenu))
        return;
    SendRangeNotice(view, XNoticeKind::Inserted, parent, position, 1);
    view.common.BeginRename(submenu);
}

void InsertNewSeparator(const CEditView& view, CXParent& parent, int position)
{
    auto* separator = new CXSeparator;
    parent.InsertChild(static_cast<size_t>(position), separator);
    if (SaveWithNewNode(parent, separator))
        SendRangeNotice(view, XNoticeKind::Inserted, parent, position, 1);
}

void LaunchNode(HWND owner, CXNode* node)
{
    auto* item = XDynamicCast<CXItem>(node);
    if (!item)
        return;
    std::wstring error;
    if (!item->Execute(&error) && !error.empty())
        MessageBoxW(owner, error.c_str(), kToolAppName, MB_OK);
}

void DragSelection(const CEditView& view)
{
    std::vector<CXNode*> nodes;
    CXParent* source = view.common.CollectSelection(nodes);
    if (!source || nodes.empty())
        return;
    std::optional<std::vector<uint8_t>> block;
    {
        CXParent container;
        for (CXNode* node : nodes) {
            if (CXNode* copy = node->Clone())
                container.InsertChild(container.children.size(), copy);
        }
        block = SaveToTransfer(container);
    }
    if (!block)
        return;
    HWND dialog = DialogOf(view);
    {
        CSentRecord<std::vector<CXNode*>> dragged(nodes);
        SendMessageW(dialog, UM_DRAG_NODES, 0, dragged.Param());
    }
    const DWORD effect = RunInternalDrag(*block, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    SendMessageW(dialog, UM_DRAG_NODES, 1, 0);
    if (effect != DROPEFFECT_MOVE)
        return;
    // The drop has inserted and saved the copies; the nodes are only taken out here.
    source->RemoveChildren(nodes);
    SendRemovedNotice(view, *source, nodes);
    source->SaveTree();
}

void EditNewNode(const CEditView& view, CXNode* node)
{
    CXParent* parent = node ? node->GetParent() : nullptr;
    if (!parent)
        return;
    const int position = PositionIn(*parent, node);
    if (position < 0)
        return;
    if (auto* item = XDynamicCast<CXItem>(node)) {
        const bool accepted = RunItemDialog(DialogOf(view), *item, false) == IDOK;
        // The tool is closing: what the dialog did is neither shown nor stored.
        if (App().closingRequested)
            return;
        if (accepted) {
            RefreshItemImage(*item);
            SendRangeNotice(view, XNoticeKind::Changed, *parent, position, 1);
        } else {
            // Only taken out, not destroyed: a message about the node still on its way then
            // finds it in no menu and does nothing.
            parent->RemoveChildren({node});
            SendRemovedNotice(view, *parent, {node});
        }
        parent->SaveTree();
    } else if (node->IsKindOf<CXParent>()) {
        view.common.BeginRename(node);
    }
}
