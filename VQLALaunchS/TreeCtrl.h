#pragma once
// The tree of one whole menu (controls 1004 and 1005 of the main dialog). It is filled once
// and then follows the menu through change notices; a click on a submenu's icon opens or
// closes it (the tree has no expand buttons), and a second click on the selected entry
// renames it.

#include "CommonCtrl.h"
#include "OleDropTarget_win.h"
#include "ViewRules.h"
#include "XTreeView.h"

class CVQLATreeCtrl : public CXTreeView, public CVQLACommonCtrl, public CVQLAOleDropTargetWnd {
public:
    void Fill(CXRoot* menu);
    // The node's item, searched depth first from the root item; null when it is not shown.
    HTREEITEM FindItem(const CXNode* node) const;
    // Makes the node's item the caret; nothing when it is not shown.
    void SelectNode(const CXNode* node);

    void BeforeDelete(const std::vector<CXNode*>& nodes) override;
    int SelectedCount() override;
    CXNode* SelectedNode() override;
    CXParent* CollectSelection(std::vector<CXNode*>& nodes) override;
    void BeginRename(CXNode* node) override;

    bool OnReflectedNotify(NMHDR& header, LRESULT& result) override;

    // Registers the tree as a drop target.
    void PrepareDropTarget();
    // A drop lands before or after an entry, or into a collapsed submenu's middle; hovering
    // over a submenu's row opens or closes it once.
    DWORD DragEnter(XDataKind kind, CXParent& incoming, DWORD effect, DWORD keys, POINT point) override;
    DWORD DragOver(XDataKind kind, CXParent& incoming, DWORD effect, DWORD keys, POINT point) override;
    DWORD Drop(XDataKind kind, CXParent& incoming, DWORD suggested, DWORD allowed, POINT point) override;
    void DragLeave() override;

    CXRoot* root = nullptr;
    HTREEITEM rootItem = nullptr;
    bool renameArmed = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static CXNode* NodeOf(LPARAM data) { return reinterpret_cast<CXNode*>(data); }
    CXNode* NodeOfItem(HTREEITEM item) const { return item ? NodeOf(ItemData(item)) : nullptr; }
    void InsertChildren(CXParent* parent, HTREEITEM parentItem, int first, int count, bool expand, bool select);
    // The items of children first..first+count-1 after `after`, with everything below them;
    // the last one inserted.
    HTREEITEM InsertItems(CXParent* parent, HTREEITEM parentItem, HTREEITEM after, int first, int count);
    void ApplyNotice(const CChangeNotice& notice, bool own);
    // Image 2 while a submenu's item is expanded, 1 while collapsed; redrawn at once.
    void RefreshImage(HTREEITEM item);
    HWND Dialog() const { return GetParent(Handle()); }

    CVQLAOleDropTarget* dropTarget = nullptr;
    HTREEITEM hoverItem = nullptr;
    bool hoverToggled = false;
    DWORD hoverStart = 0;

    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnRButtonDown(WPARAM wParam, LPARAM lParam);
    void OnSelectionChanged(const NMTREEVIEWW& change);
    bool OnBeginLabelEdit(const NMTVDISPINFOW& info);
    void OnEndLabelEdit(const NMTVDISPINFOW& info);
    // Menu 317; its commands come back as WM_COMMAND.
    void OnContextMenu(POINT screenPoint);
    void OnBeginDrag(const NMTREEVIEWW& start);
    // Where a drop at the point lands (the submenu and the position in it), with the insert
    // mark or the drop highlight shown; false where nothing may be dropped.
    bool DropTargetAt(POINT point, CXParent*& target, int& position);
    void ClearDropFeedback();
};
