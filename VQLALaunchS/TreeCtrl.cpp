#include "TreeCtrl.h"

#include <windowsx.h>

#include <algorithm>

#include "DropRules.h"
#include "EditCommands.h"
#include "Resource.h"
#include "SentRecord.h"
#include "VQLALaunchSApp.h"
#include "WorkaroundTreeEdit.h"
#include "XWnd.h"

void CVQLATreeCtrl::Fill(CXRoot* menu)
{
    root = menu;
    DeleteAllItems();
    rootItem = nullptr;
    if (!root)
        return;
    // The items' icons are looked up as their entries are first drawn (TVN_GETDISPINFO).
    SetImageList(App().imageListMan.Handle());
    rootItem = InsertItem(TVI_ROOT, TVI_LAST, root->GetTitle(), reinterpret_cast<LPARAM>(root), 1, true);
    RefreshImage(rootItem);
    InsertChildren(root, rootItem, 0, static_cast<int>(root->children.size()), true, false);
}

void CVQLATreeCtrl::InsertChildren(CXParent* parent, HTREEITEM parentItem, int first, int count, bool expand,
                                   bool select)
{
    HTREEITEM after = TVI_FIRST;
    if (first > 0) {
        after = FirstChild(parentItem);
        for (int i = 1; i < first && after; ++i)
            after = NextSibling(after);
        if (!after)
            after = TVI_LAST;
    }
    HTREEITEM inserted = nullptr;
    {
        CXRedrawPause pause(Handle());
        inserted = InsertItems(parent, parentItem, after, first, count);
    }
    if (expand && count > 0) {
        Expand(parentItem, TVE_EXPAND);
        RefreshImage(parentItem);
    }
    if (select && inserted)
        Select(inserted);
}

HTREEITEM CVQLATreeCtrl::InsertItems(CXParent* parent, HTREEITEM parentItem, HTREEITEM after, int first, int count)
{
    HTREEITEM inserted = nullptr;
    for (int i = first; i < first + count && i < static_cast<int>(parent->children.size()); ++i) {
        CXNode* child = parent->children[static_cast<size_t>(i)];
        auto* submenu = XDynamicCast<CXParent>(child);
        HTREEITEM item = InsertItem(parentItem, after, child->GetTitle(), reinterpret_cast<LPARAM>(child),
                                    EntryImageOf(*child), submenu != nullptr);
        if (!item)
            break;
        if (submenu)
            InsertItems(submenu, item, TVI_FIRST, 0, static_cast<int>(submenu->children.size()));
        after = item;
        inserted = item;
    }
    return inserted;
}

HTREEITEM CVQLATreeCtrl::FindItem(const CXNode* node) const
{
    if (!rootItem || !node)
        return nullptr;
    // Depth first, without recursion: a menu may be nested deeply.
    std::vector<HTREEITEM> pending{rootItem};
    while (!pending.empty()) {
        HTREEITEM item = pending.back();
        pending.pop_back();
        if (NodeOfItem(item) == node)
            return item;
        std::vector<HTREEITEM> children;
        for (HTREEITEM child = FirstChild(item); child; child = NextSibling(child))
            children.push_back(child);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return nullptr;
}

void CVQLATreeCtrl::SelectNode(const CXNode* node)
{
    if (HTREEITEM item = FindItem(node))
        Select(item);
}

void CVQLATreeCtrl::RefreshImage(HTREEITEM item)
{
    if (!item || !XDynamicCast<CXParent>(NodeOfItem(item)))
        return;
    SetImages(item, (ItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED) ? 2 : 1);
    RECT rect;
    if (ItemRect(item, rect))
        InvalidateRect(Handle(), &rect, TRUE);
    UpdateWindow(Handle());
}

void CVQLATreeCtrl::ApplyNotice(const CChangeNotice& notice, bool own)
{
    if (!NoticeConcernsTree(notice, root))
        return;
    HTREEITEM parentItem = FindItem(notice.parent);
    if (!parentItem)
        return;
    switch (notice.kind) {
    case XNoticeKind::Changed: {
        HTREEITEM item = FirstChild(parentItem);
        for (int i = 0; i < notice.index && item; ++i)
            item = NextSibling(item);
        for (int i = 0; i < notice.count && item; ++i, item = NextSibling(item)) {
            const size_t position = static_cast<size_t>(notice.index + i);
            if (position >= notice.parent->children.size())
                break;
            CXNode* child = notice.parent->children[position];
            SetItem(item, child->GetTitle(), reinterpret_cast<LPARAM>(child), EntryImageOf(*child),
                    child->IsKindOf<CXParent>());
        }
        if (own && notice.count > 0) {
            Expand(parentItem, TVE_EXPAND);
            RefreshImage(parentItem);
        }
        break;
    }
    case XNoticeKind::Inserted:
        InsertChildren(notice.parent, parentItem, notice.index, notice.count, own, own);
        break;
    case XNoticeKind::Removed: {
        std::vector<HTREEITEM> items;
        std::vector<CXNode*> shown;
        for (HTREEITEM child = FirstChild(parentItem); child; child = NextSibling(child)) {
            items.push_back(child);
            shown.push_back(NodeOfItem(child));
        }
        if (RemovalEmptiesItem(shown, notice.nodes)) {
            Expand(parentItem, TVE_COLLAPSE);
            RefreshImage(parentItem);
        }
        CXRedrawPause pause(Handle());
        for (int row : RowsToRemove(shown, notice.nodes))
            DeleteItem(items[static_cast<size_t>(row)]);
        break;
    }
    case XNoticeKind::HotKeysChanged:
        break;
    }
}

void CVQLATreeCtrl::BeforeDelete(const std::vector<CXNode*>& nodes)
{
    if (nodes.size() != 1)
        return;
    auto* submenu = XDynamicCast<CXParent>(nodes.front());
    if (submenu && submenu->GetParent())
        SendMessageW(Dialog(), UM_SHOW_PARENT, ControlId(), reinterpret_cast<LPARAM>(submenu->GetParent()));
}

int CVQLATreeCtrl::SelectedCount()
{
    return Caret() ? 1 : 0;
}

CXNode* CVQLATreeCtrl::SelectedNode()
{
    return NodeOfItem(Caret());
}

CXParent* CVQLATreeCtrl::CollectSelection(std::vector<CXNode*>& nodes)
{
    nodes.clear();
    CXNode* node = SelectedNode();
    if (!node || !node->GetParent())
        return nullptr;
    nodes.push_back(node);
    return node->GetParent();
}

void CVQLATreeCtrl::BeginRename(CXNode* node)
{
    HTREEITEM item = FindItem(node);
    if (!item)
        return;
    renameArmed = true;
    SetFocus(Handle());
    EditLabel(item);
}

LRESULT CVQLATreeCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_NODES_CHANGED:
        if (const CChangeNotice* notice = CSentRecord<CChangeNotice>::Accept(lParam))
            ApplyNotice(*notice, static_cast<int>(wParam) == ControlId());
        return 0;
    case WM_LBUTTONDOWN:
        return OnLButtonDown(wParam, lParam);
    case WM_RBUTTONDOWN:
        return OnRButtonDown(wParam, lParam);
    case WM_CONTEXTMENU:
        OnContextMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_DESTROY:
        if (dropTarget) {
            dropTarget->Revoke();
            dropTarget = nullptr;
        }
        return Default(message, wParam, lParam);
    case WM_COMMAND:
        // A menu command; the label editor's notifications go on to the tree.
        if (lParam == 0 && HIWORD(wParam) == 0) {
            RunCommonCommand({Handle(), *this, false}, LOWORD(wParam));
            return 0;
        }
        return Default(message, wParam, lParam);
    case UM_EDIT_NEW_NODE: {
        // Posted: the node is taken only while it lies in this tree's menu.
        auto* node = reinterpret_cast<CXNode*>(lParam);
        if (root && node && node != root && TreeHolds(*root, node))
            EditNewNode({Handle(), *this, false}, node);
        return 0;
    }
    default:
        return Default(message, wParam, lParam);
    }
}

LRESULT CVQLATreeCtrl::OnLButtonDown(WPARAM wParam, LPARAM lParam)
{
    UINT flags = 0;
    HTREEITEM item = HitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, flags);
    if (item) {
        if (item == Caret()) {
            renameArmed = true;
        } else {
            renameArmed = false;
            Select(item);
        }
        if ((flags & TVHT_ONITEMICON) && XDynamicCast<CXParent>(NodeOfItem(item))) {
            Expand(item, TVE_TOGGLE);
            RefreshImage(item);
            return 0;
        }
    }
    return Default(WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT CVQLATreeCtrl::OnRButtonDown(WPARAM wParam, LPARAM lParam)
{
    UINT flags = 0;
    if (HTREEITEM item = HitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, flags))
        Select(item);
    return Default(WM_RBUTTONDOWN, wParam, lParam);
}

bool CVQLATreeCtrl::OnReflectedNotify(NMHDR& header, LRESULT& result)
{
    switch (header.code) {
    case TVN_SELCHANGEDW:
        OnSelectionChanged(reinterpret_cast<NMTREEVIEWW&>(header));
        result = 0;
        return true;
    case TVN_GETDISPINFOW: {
        TVITEMW& item = reinterpret_cast<NMTVDISPINFOW&>(header).item;
        if (item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE)) {
            if (CXNode* node = NodeOf(item.lParam)) {
                item.iImage = item.iSelectedImage = DisplayedImageOf(*node);
                item.mask |= TVIF_DI_SETITEM; // kept by the tree: asked once per entry
            }
        }
        result = 0;
        return true;
    }
    case TVN_ITEMEXPANDEDW:
        RefreshImage(reinterpret_cast<NMTREEVIEWW&>(header).itemNew.hItem);
        result = 0;
        return true;
    case NM_RCLICK:
        SendMessageW(Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()),
                     static_cast<LPARAM>(GetMessagePos()));
        result = 1;
        return true;
    case TVN_BEGINLABELEDITW:
        // TRUE refuses the edit.
        result = OnBeginLabelEdit(reinterpret_cast<NMTVDISPINFOW&>(header)) ? FALSE : TRUE;
        return true;
    case TVN_ENDLABELEDITW:
        OnEndLabelEdit(reinterpret_cast<NMTVDISPINFOW&>(header));
        // The item already shows the node's title through the notice: a text-copy item
        // renamed to nothing shows its automatic title, not the empty text typed.
        result = FALSE;
        return true;
    case TVN_BEGINDRAGW:
    case TVN_BEGINRDRAGW:
        OnBeginDrag(reinterpret_cast<NMTREEVIEWW&>(header));
        result = 0;
        return true;
    default:
        return false;
    }
}

void CVQLATreeCtrl::OnSelectionChanged(const NMTREEVIEWW& change)
{
    CXNode* node = NodeOfItem(change.itemNew.hItem);
    if (CXParent* shown = ShownParentOfSelection(node))
        PostMessageW(Dialog(), UM_SHOW_PARENT, ControlId(), reinterpret_cast<LPARAM>(shown));
}

bool CVQLATreeCtrl::OnBeginLabelEdit(const NMTVDISPINFOW& info)
{
    if (!renameArmed || !TreeMayRename(NodeOfItem(info.item.hItem)))
        return false;
    CWorkaroundTreeEdit::AttachTo(EditControl());
    return true;
}

void CVQLATreeCtrl::OnEndLabelEdit(const NMTVDISPINFOW& info)
{
    if (!info.item.pszText)
        return;
    CXNode* node = NodeOfItem(info.item.hItem);
    CXParent* parent = node ? node->GetParent() : nullptr;
    if (!parent)
        return;
    const auto found = std::find(parent->children.begin(), parent->children.end(), node);
    if (found == parent->children.end())
        return;
    // The model, then the store (the launcher is told), then the views.
    node->SetTitle(info.item.pszText);
    if (root)
        root->SaveTree();
    CChangeNotice notice;
    notice.kind = XNoticeKind::Changed;
    notice.parent = parent;
    notice.index = static_cast<int>(found - parent->children.begin());
    notice.count = 1;
    CSentRecord<CChangeNotice> sent(notice);
    SendMessageW(Dialog(), UM_NODES_CHANGED, ControlId(), sent.Param());
}

void CVQLATreeCtrl::OnContextMenu(POINT screenPoint)
{
    ShowContextMenu({Handle(), *this, false}, screenPoint);
}

void CVQLATreeCtrl::OnBeginDrag(const NMTREEVIEWW& start)
{
    // The entry under the pointer is the one dragged, whichever was selected before.
    if (start.itemNew.hItem && start.itemNew.hItem != Caret())
        Select(start.itemNew.hItem);
    DragSelection({Handle(), *this, false});
}

void CVQLATreeCtrl::PrepareDropTarget()
{
    if (!dropTarget)
        dropTarget = CVQLAOleDropTarget::Register(Handle(), *this);
}

void CVQLATreeCtrl::ClearDropFeedback()
{
    SendMessageW(Handle(), TVM_SETINSERTMARK, FALSE, 0);
    SendMessageW(Handle(), TVM_SELECTITEM, TVGN_DROPHILITE, 0);
}

bool CVQLATreeCtrl::DropTargetAt(POINT point, CXParent*& target, int& position)
{
    UINT flags = 0;
    HTREEITEM item = HitTest(point, flags);
    CXNode* node = NodeOfItem(item);
    RECT rect = {};
    const bool hasRect = item && ItemRect(item, rect);

    // Hovering: a second over a row's upper three quarters opens or closes its submenu, once.
    if (item && item == hoverItem) {
        if (hasRect && HoverTogglesNow(point.y, rect.top, rect.bottom, hoverToggled, GetTickCount() - hoverStart)) {
            if (XDynamicCast<CXParent>(node)) {
                ClearDropFeedback();
                Expand(item, TVE_TOGGLE);
                RefreshImage(item);
                ItemRect(item, rect);
            }
            hoverToggled = true;
        }
    } else {
        hoverItem = item;
        hoverToggled = false;
        hoverStart = GetTickCount();
    }

    target = nullptr;
    position = 0;
    if (!item || !node || !hasRect) {
        ClearDropFeedback();
        return false;
    }
    auto* submenu = XDynamicCast<CXParent>(node);
    const bool expanded = (ItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
    const XTreeDropZone zone = TreeDropZoneOf(point.y, rect.top, rect.bottom, submenu != nullptr, expanded);
    target = zone == XTreeDropZone::Into ? submenu : node->GetParent();
    if (!target || !SendMessageW(Dialog(), UM_DRAG_NODES, 2, reinterpret_cast<LPARAM>(target))) {
        target = nullptr;
        ClearDropFeedback();
        return false;
    }
    position = TreeInsertPosition(zone, *target, node);
    if (zone == XTreeDropZone::Into) {
        SendMessageW(Handle(), TVM_SETINSERTMARK, FALSE, 0);
        SendMessageW(Handle(), TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(item));
    } else {
        SendMessageW(Handle(), TVM_SELECTITEM, TVGN_DROPHILITE, 0);
        SendMessageW(Handle(), TVM_SETINSERTMARK, zone == XTreeDropZone::After ? TRUE : FALSE,
                     reinterpret_cast<LPARAM>(item));
    }
    return true;
}

DWORD CVQLATreeCtrl::DragEnter(XDataKind kind, CXParent& incoming, DWORD effect, DWORD keys, POINT point)
{
    hoverItem = nullptr;
    hoverToggled = false;
    return DragOver(kind, incoming, effect, keys, point);
}

DWORD CVQLATreeCtrl::DragOver(XDataKind kind, CXParent& incoming, DWORD effect, DWORD keys, POINT point)
{
    (void)kind;
    (void)incoming;
    (void)keys;
    CXParent* target = nullptr;
    int position = 0;
    return DropTargetAt(point, target, position) ? effect : DROPEFFECT_NONE;
}

DWORD CVQLATreeCtrl::Drop(XDataKind kind, CXParent& incoming, DWORD suggested, DWORD allowed, POINT point)
{
    (void)kind;
    CXParent* target = nullptr;
    int position = 0;
    const bool found = DropTargetAt(point, target, position);
    DragLeave();
    if (!found || !target || !dropTarget)
        return DROPEFFECT_NONE;
    const DWORD effect = dropTarget->ChooseDropEffect(suggested, allowed, point);
    if (effect == DROPEFFECT_NONE)
        return DROPEFFECT_NONE;
    return InsertDropped(Handle(), effect, incoming, *target, position) ? effect : DROPEFFECT_NONE;
}

void CVQLATreeCtrl::DragLeave()
{
    hoverItem = nullptr;
    ClearDropFeedback();
}
