#pragma once
// The detail list of one submenu (controls 1000 and 1001): one row per child with its
// accelerator, hotkey, file, parameters and working folder. Column widths are kept in the
// store as "ColWidth" + list name + column key.

#include <string>

#include "CommonCtrl.h"
#include "OleDropTarget_win.h"
#include "ViewRules.h"
#include "XListView.h"

class CVQLAListCtrl : public CXListView, public CVQLACommonCtrl, public CVQLAOleDropTargetWnd {
public:
    // Columns with their stored widths, full-row selection and the shared image list.
    void PrepareColumns();
    void ShowParent(CXParent* parent);

    void BeforeDelete(const std::vector<CXNode*>& nodes) override;
    int SelectedCount() override;
    CXNode* SelectedNode() override;
    CXParent* CollectSelection(std::vector<CXNode*>& nodes) override;
    void BeginRename(CXNode* node) override;

    bool OnReflectedNotify(NMHDR& header, LRESULT& result) override;

    // A drop always lands among the shown submenu's children, at the insert mark.
    DWORD DragEnter(XDataKind kind, CXParent& incoming, DWORD effect, DWORD keys, POINT point) override;
    DWORD DragOver(XDataKind kind, CXParent& incoming, DWORD effect, DWORD keys, POINT point) override;
    DWORD Drop(XDataKind kind, CXParent& incoming, DWORD suggested, DWORD allowed, POINT point) override;
    void DragLeave() override;

    CXParent* shownParent = nullptr;
    std::wstring listName; // "Left" or "Right"
    int headerHeight = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CXNode* NodeOfRow(int row) const { return reinterpret_cast<CXNode*>(ItemData(row)); }
    int RowOf(const CXNode* node) const;
    void FillRow(int row, bool selected);
    // A row for this node at `row`, with these of LVIS_SELECTED | LVIS_FOCUSED.
    void InsertRow(int row, CXNode* child, UINT state);
    void ApplyNotice(const CChangeNotice& notice, bool own);
    void ClearSelection();
    void StoreColumnWidths();
    HWND Dialog() const { return GetParent(Handle()); }

    void OnEndLabelEdit(const NMLVDISPINFOW& info);
    // Menu 313 and its commands; a double click opens a submenu or launches an item.
    void OnContextMenu(POINT screenPoint);
    void OnCommand(int command);
    void OnDoubleClick(const NMITEMACTIVATE& click);
    // The insertion position at a point, the mark shown there; negative for none.
    int InsertMarkAt(POINT point);
    void RemoveInsertMark();

    bool columnsPrepared = false;
    bool labelEditCancelled = false;
    CVQLAOleDropTarget* dropTarget = nullptr;
    bool insertValid = false;
};
