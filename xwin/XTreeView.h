#pragma once
// A tree-view control of a dialog: its messages as calls, nothing more.

#include <string>

#include "XSubclassWnd.h"

class CXTreeView : public CXSubclassWnd {
public:
    HTREEITEM InsertItem(HTREEITEM parent, HTREEITEM after, const std::wstring& text, LPARAM data, int image,
                         bool bold) const
    {
        TVINSERTSTRUCTW insert = {};
        insert.hParent = parent;
        insert.hInsertAfter = after;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
        insert.item.pszText = const_cast<wchar_t*>(text.c_str());
        insert.item.lParam = data;
        insert.item.iImage = image;
        insert.item.iSelectedImage = image;
        insert.item.stateMask = TVIS_BOLD;
        insert.item.state = bold ? TVIS_BOLD : 0;
        return reinterpret_cast<HTREEITEM>(
            SendMessageW(Handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    // Text, data, boldness and both images of an existing item.
    void SetItem(HTREEITEM item, const std::wstring& text, LPARAM data, int image, bool bold) const
    {
        TVITEMW tv = {};
        tv.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
        tv.hItem = item;
        tv.pszText = const_cast<wchar_t*>(text.c_str());
        tv.lParam = data;
        tv.iImage = image;
        tv.iSelectedImage = image;
        tv.stateMask = TVIS_BOLD;
        tv.state = bold ? TVIS_BOLD : 0;
        SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    }
    void SetImages(HTREEITEM item, int image) const
    {
        TVITEMW tv = {};
        tv.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        tv.hItem = item;
        tv.iImage = image;
        tv.iSelectedImage = image;
        SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    }
    LPARAM ItemData(HTREEITEM item) const
    {
        TVITEMW tv = {};
        tv.mask = TVIF_HANDLE | TVIF_PARAM;
        tv.hItem = item;
        return SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)) ? tv.lParam : 0;
    }
    UINT ItemState(HTREEITEM item, UINT mask) const
    {
        return static_cast<UINT>(SendMessageW(Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), mask));
    }
    HTREEITEM NextItem(HTREEITEM item, UINT relation) const
    {
        return reinterpret_cast<HTREEITEM>(
            SendMessageW(Handle(), TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM Root() const { return NextItem(nullptr, TVGN_ROOT); }
    HTREEITEM FirstChild(HTREEITEM item) const { return NextItem(item, TVGN_CHILD); }
    HTREEITEM NextSibling(HTREEITEM item) const { return NextItem(item, TVGN_NEXT); }
    HTREEITEM Caret() const { return NextItem(nullptr, TVGN_CARET); }
    bool Select(HTREEITEM item, UINT how = TVGN_CARET) const
    {
        return SendMessageW(Handle(), TVM_SELECTITEM, how, reinterpret_cast<LPARAM>(item)) != 0;
    }
    void Expand(HTREEITEM item, UINT action) const
    {
        SendMessageW(Handle(), TVM_EXPAND, action, reinterpret_cast<LPARAM>(item));
    }
    void DeleteItem(HTREEITEM item) const { SendMessageW(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)); }
    void DeleteAllItems() const { SendMessageW(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }
    HTREEITEM HitTest(POINT point, UINT& flags) const
    {
        TVHITTESTINFO hit = {};
        hit.pt = point;
        auto item = reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        flags = hit.flags;
        return item;
    }
    // The rectangle of the item's whole row (textOnly: of its label).
    bool ItemRect(HTREEITEM item, RECT& rect, bool textOnly = false) const
    {
        *reinterpret_cast<HTREEITEM*>(&rect) = item;
        return SendMessageW(Handle(), TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(&rect)) != 0;
    }
    HWND EditLabel(HTREEITEM item) const
    {
        return reinterpret_cast<HWND>(SendMessageW(Handle(), TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item)));
    }
    HWND EditControl() const { return reinterpret_cast<HWND>(SendMessageW(Handle(), TVM_GETEDITCONTROL, 0, 0)); }
    void SetImageList(HIMAGELIST list) const
    {
        SendMessageW(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(list));
    }
};
