#include "ListCtrl.h"

#include <windowsx.h>

#include "DropRules.h"
#include "EditCommands.h"
#include "EditRules.h"
#include "ListLabelEdit.h"
#include "Resource.h"
#include "SentRecord.h"
#include "SettingsStore.h"
#include "VQLALaunchSApp.h"
#include "XWnd.h"

void CVQLAListCtrl::PrepareColumns()
{
    AddExtendedStyle(LVS_EX_FULLROWSELECT);
    if (!dropTarget)
        dropTarget = CVQLAOleDropTarget::Register(Handle(), *this);
    int averageCharWidth = 8;
    if (HDC dc = GetDC(Handle())) {
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics = {};
        if (GetTextMetricsW(dc, &metrics))
            averageCharWidth = metrics.tmAveCharWidth;
        SelectObject(dc, old);
        ReleaseDC(Handle(), dc);
    }
    const auto& columns = ListColumns();
    for (int i = 0; i < kListColumnCount; ++i) {
        const int width = Store().GetInt(kSectionWindowPos, ColumnWidthValueName(listName, i),
                                         averageCharWidth * columns[static_cast<size_t>(i)].defaultChars);
        InsertColumn(i, columns[static_cast<size_t>(i)].heading, width);
    }
    columnsPrepared = true;
    if (HWND header = ListView_GetHeader(Handle())) {
        RECT rect = {};
        if (GetWindowRect(header, &rect))
            headerHeight = rect.bottom - rect.top;
    }
    SetImageList(App().imageListMan.Handle(), LVSIL_SMALL);
}

namespace {
// Beyond this many rows a removal fills the list again: under Wine each deleted row of a long
// list costs milliseconds (ten thousand took 43 s).
constexpr size_t kRowsRemovedOneByOne = 64;
} // namespace

void CVQLAListCtrl::ShowParent(CXParent* parent)
{
    if (parent == shownParent)
        return;
    shownParent = parent;
    DeleteAllItems();
    if (!parent)
        return;
    // The items' icons are looked up as their rows are first drawn (LVN_GETDISPINFO).
    SetImageList(App().imageListMan.Handle(), LVSIL_SMALL);
    CXRedrawPause pause(Handle());
    for (int i = 0; i < static_cast<int>(parent->children.size()); ++i)
        FillRow(i, false);
}

void CVQLAListCtrl::FillRow(int row, bool selected)
{
    if (!shownParent || row < 0 || row >= static_cast<int>(shownParent->children.size()))
        return;
    InsertRow(row, shownParent->children[static_cast<size_t>(row)], selected ? LVIS_SELECTED | LVIS_FOCUSED : 0);
}

void CVQLAListCtrl::InsertRow(int row, CXNode* child, UINT state)
{
    const auto texts = RowTexts(*child);
    const int index = InsertItem(row, texts[0], EntryImageOf(*child), reinterpret_cast<LPARAM>(child));
    if (index < 0)
        return;
    if (child->IsKindOf<CXItem>()) {
        for (int column = 1; column < kListColumnCount; ++column)
            SetItemText(index, column, texts[static_cast<size_t>(column)]);
    }
    if (state)
        SetItemState(index, state, LVIS_SELECTED | LVIS_FOCUSED);
}

int CVQLAListCtrl::RowOf(const CXNode* node) const
{
    const int count = ItemCount();
    for (int row = 0; row < count; ++row) {
        if (NodeOfRow(row) == node)
            return row;
    }
    return -1;
}

void CVQLAListCtrl::ClearSelection()
{
    for (int row = NextItem(-1, LVNI_SELECTED); row >= 0; row = NextItem(row, LVNI_SELECTED))
        SetItemState(row, 0, LVIS_SELECTED);
}

void CVQLAListCtrl::ApplyNotice(const CChangeNotice& notice, bool own)
{
    if (!ListTakesNotice(notice, shownParent))
        return;
    CXRedrawPause pause(Handle());
    switch (notice.kind) {
    case XNoticeKind::Changed:
        if (own)
            ClearSelection();
        SetImageList(App().imageListMan.Handle(), LVSIL_SMALL);
        for (int row = notice.index; row < notice.index + notice.count; ++row) {
            DeleteItem(row);
            FillRow(row, own);
        }
        break;
    case XNoticeKind::Inserted:
        if (own)
            ClearSelection();
        SetImageList(App().imageListMan.Handle(), LVSIL_SMALL);
        for (int row = notice.index; row < notice.index + notice.count; ++row)
            FillRow(row, own);
        break;
    case XNoticeKind::Removed: {
        std::vector<CXNode*> rows;
        for (int row = 0; row < ItemCount(); ++row)
            rows.push_back(NodeOfRow(row));
        const std::vector<int> removed = RowsToRemove(rows, notice.nodes);
        if (removed.size() <= kRowsRemovedOneByOne) {
            for (int row : removed)
                DeleteItem(row);
            break;
        }
        // Many rows: the list is filled again with the others, which keep their selection.
        std::vector<std::pair<CXNode*, UINT>> kept;
        size_t next = removed.size(); // `removed` runs from the last row to the first
        for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
            if (next > 0 && removed[next - 1] == row) {
                --next;
                continue;
            }
            kept.emplace_back(rows[static_cast<size_t>(row)], ItemState(row, LVIS_SELECTED | LVIS_FOCUSED));
        }
        DeleteAllItems();
        for (size_t row = 0; row < kept.size(); ++row)
            InsertRow(static_cast<int>(row), kept[row].first, kept[row].second);
        break;
    }
    case XNoticeKind::HotKeysChanged:
        for (int row = 0; row < ItemCount(); ++row) {
            if (auto* item = XDynamicCast<CXItem>(NodeOfRow(row)))
                SetItemText(row, 2, HotKeyColumnText(item->hotKey));
        }
        break;
    }
}

void CVQLAListCtrl::StoreColumnWidths()
{
    // A list whose columns were never made (a second start that ended at once) has no
    // widths to keep.
    if (!columnsPrepared)
        return;
    for (int i = 0; i < kListColumnCount; ++i)
        Store().SetInt(kSectionWindowPos, ColumnWidthValueName(listName, i), ColumnWidth(i));
}

void CVQLAListCtrl::BeforeDelete(const std::vector<CXNode*>& nodes)
{
    (void)nodes; // the list never shows what it deletes
}

int CVQLAListCtrl::SelectedCount()
{
    return CXListView::SelectedCount();
}

CXNode* CVQLAListCtrl::SelectedNode()
{
    if (CXListView::SelectedCount() != 1)
        return nullptr;
    const int row = NextItem(-1, LVNI_SELECTED);
    return row >= 0 ? NodeOfRow(row) : nullptr;
}

CXParent* CVQLAListCtrl::CollectSelection(std::vector<CXNode*>& nodes)
{
    nodes.clear();
    for (int row = NextItem(-1, LVNI_SELECTED); row >= 0; row = NextItem(row, LVNI_SELECTED))
        nodes.push_back(NodeOfRow(row));
    return nodes.empty() ? nullptr : shownParent;
}

void CVQLAListCtrl::BeginRename(CXNode* node)
{
    const int row = RowOf(node);
    if (row < 0)
        return;
    SetFocus(Handle());
    EditLabel(row);
}

LRESULT CVQLAListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_NODES_CHANGED:
        if (const CChangeNotice* notice = CSentRecord<CChangeNotice>::Accept(lParam))
            ApplyNotice(*notice, static_cast<int>(wParam) == ControlId());
        return 0;
    case WM_CONTEXTMENU:
        OnContextMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_COMMAND:
        // A menu command; the label editor's notifications go on to the list.
        if (lParam == 0 && HIWORD(wParam) == 0) {
            OnCommand(LOWORD(wParam));
            return 0;
        }
        return Default(message, wParam, lParam);
    case UM_EDIT_NEW_NODE: {
        // Posted: the node is taken only while it is one of the rows' nodes.
        auto* node = reinterpret_cast<CXNode*>(lParam);
        if (node && RowOf(node) >= 0)
            EditNewNode({Handle(), *this, true}, node);
        return 0;
    }
    case WM_DESTROY:
        StoreColumnWidths();
        if (dropTarget) {
            dropTarget->Revoke();
            dropTarget = nullptr;
        }
        return Default(message, wParam, lParam);
    default:
        return Default(message, wParam, lParam);
    }
}

bool CVQLAListCtrl::OnReflectedNotify(NMHDR& header, LRESULT& result)
{
    switch (header.code) {
    case LVN_BEGINLABELEDITW: {
        const auto& info = reinterpret_cast<NMLVDISPINFOW&>(header);
        const bool allowed = ListMayRename(NodeOfRow(info.item.iItem));
        if (allowed)
            CListLabelEdit::AttachTo(EditControl(), labelEditCancelled);
        // TRUE refuses the edit.
        result = allowed ? FALSE : TRUE;
        return true;
    }
    case LVN_GETDISPINFOW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
        if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) {
            if (CXNode* node = NodeOfRow(item.iItem)) {
                item.iImage = DisplayedImageOf(*node);
                item.mask |= LVIF_DI_SETITEM; // kept by the list: asked once per row
            }
        }
        result = 0;
        return true;
    }
    case LVN_ENDLABELEDITW:
        OnEndLabelEdit(reinterpret_cast<NMLVDISPINFOW&>(header));
        // The row already shows the node's title through the notice: a text-copy item
        // renamed to nothing shows its automatic title, not the empty text typed.
        result = FALSE;
        return true;
    case NM_DBLCLK:
        OnDoubleClick(reinterpret_cast<NMITEMACTIVATE&>(header));
        result = 0;
        return true;
    case LVN_BEGINDRAG:
    case LVN_BEGINRDRAG:
        DragSelection({Handle(), *this, true});
        result = 0;
        return true;
    default:
        return false;
    }
}

void CVQLAListCtrl::OnEndLabelEdit(const NMLVDISPINFOW& info)
{
    std::wstring text;
    if (info.item.pszText)
        text = info.item.pszText;
    else if (labelEditCancelled || GetWindowTextLengthW(EditControl()) != 0)
        return; // cancelled; an edit ended with an empty text may come without a text too
    if (!shownParent)
        return;
    const int row = info.item.iItem;
    CXNode* node = row >= 0 && row < ItemCount() ? NodeOfRow(row) : nullptr;
    // The model, then the store (the launcher is told), then the views.
    if (node) {
        node->SetTitle(text);
        shownParent->SaveTree();
    }
    CChangeNotice notice;
    notice.kind = XNoticeKind::Changed;
    notice.parent = shownParent;
    notice.index = row;
    notice.count = 1;
    CSentRecord<CChangeNotice> sent(notice);
    SendMessageW(Dialog(), UM_NODES_CHANGED, ControlId(), sent.Param());
}

void CVQLAListCtrl::OnContextMenu(POINT screenPoint)
{
    ShowContextMenu({Handle(), *this, true}, screenPoint);
}

void CVQLAListCtrl::OnCommand(int command)
{
    const CEditView view{Handle(), *this, true};
    if (RunCommonCommand(view, command) || !shownParent)
        return;
    const int position = InsertPosition(NextItem(-1, LVNI_SELECTED), ItemCount());
    switch (command) {
    case ID_INSERT_ITEM:
        InsertNewItem(view, *shownParent, position, false);
        break;
    case ID_INSERT_TEXT_ITEM:
        InsertNewItem(view, *shownParent, position, true);
        break;
    case ID_INSERT_SUBMENU:
        InsertNewSubmenu(view, *shownParent, position);
        break;
    case ID_INSERT_SEPARATOR:
        InsertNewSeparator(view, *shownParent, position);
        break;
    default:
        break;
    }
}

void CVQLAListCtrl::OnDoubleClick(const NMITEMACTIVATE& click)
{
    if (click.iItem < 0 || click.iItem >= ItemCount())
        return;
    CXNode* node = NodeOfRow(click.iItem);
    if (node && node->IsKindOf<CXParent>())
        PostMessageW(Dialog(), UM_SELECT_NODE, ControlId(), reinterpret_cast<LPARAM>(node));
    else if (node && node->IsKindOf<CXItem>())
        LaunchNode(Dialog(), node);
}

int CVQLAListCtrl::InsertMarkAt(POINT point)
{
    const int rows = ItemCount();
    if (rows == 0)
        return 0;
    LVINSERTMARK mark = {};
    mark.cbSize = sizeof mark;
    SendMessageW(Handle(), LVM_INSERTMARKHITTEST, reinterpret_cast<WPARAM>(&point), reinterpret_cast<LPARAM>(&mark));
    // The rows lie one below the other: below the last row is after it, and within a row its
    // lower half is after it (Wine's hit test measures across the row and finds nothing
    // below the rows).
    RECT row = {LVIR_BOUNDS, 0, 0, 0};
    if (SendMessageW(Handle(), LVM_GETITEMRECT, rows - 1, reinterpret_cast<LPARAM>(&row)) && point.y >= row.bottom) {
        mark.iItem = rows - 1;
        mark.dwFlags = LVIM_AFTER;
    } else if (mark.iItem >= 0) {
        row = {LVIR_BOUNDS, 0, 0, 0};
        if (SendMessageW(Handle(), LVM_GETITEMRECT, mark.iItem, reinterpret_cast<LPARAM>(&row)))
            mark.dwFlags = point.y >= (row.top + row.bottom) / 2 ? LVIM_AFTER : 0;
    }
    SendMessageW(Handle(), LVM_SETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
    return ListInsertPosition(rows, mark.iItem, (mark.dwFlags & LVIM_AFTER) != 0);
}

void CVQLAListCtrl::RemoveInsertMark()
{
    LVINSERTMARK mark = {};
    mark.cbSize = sizeof mark;
    mark.iItem = -1;
    SendMessageW(Handle(), LVM_SETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
}

DWORD CVQLAListCtrl::DragEnter(XDataKind kind, CXParent& incoming, DWORD effect, DWORD keys, POINT point)
{
    (void)incoming;
    (void)keys;
    insertValid = false;
    if (!shownParent)
        return DROPEFFECT_NONE;
    if (kind == XDataKind::Internal && !SendMessageW(Dialog(), UM_DRAG_NODES, 2, reinterpret_cast<LPARAM>(shownParent)))
        return DROPEFFECT_NONE;
    insertValid = true;
    return InsertMarkAt(point) < 0 ? DROPEFFECT_NONE : effect;
}

DWORD CVQLAListCtrl::DragOver(XDataKind kind, CXParent& incoming, DWORD effect, DWORD keys, POINT point)
{
    (void)kind;
    (void)incoming;
    (void)keys;
    return insertValid && InsertMarkAt(point) >= 0 ? effect : DROPEFFECT_NONE;
}

DWORD CVQLAListCtrl::Drop(XDataKind kind, CXParent& incoming, DWORD suggested, DWORD allowed, POINT point)
{
    (void)kind;
    if (!insertValid || !shownParent || !dropTarget) {
        RemoveInsertMark();
        return DROPEFFECT_NONE;
    }
    const int position = InsertMarkAt(point);
    RemoveInsertMark();
    if (position < 0)
        return DROPEFFECT_NONE;
    const DWORD effect = dropTarget->ChooseDropEffect(suggested, allowed, point);
    if (effect == DROPEFFECT_NONE)
        return DROPEFFECT_NONE;
    return InsertDropped(Handle(), effect, incoming, *shownParent, position) ? effect : DROPEFFECT_NONE;
}

void CVQLAListCtrl::DragLeave()
{
    RemoveInsertMark();
}
