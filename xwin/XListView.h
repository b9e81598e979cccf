#pragma once
// A list-view control of a dialog: its messages as calls, nothing more.

#include <string>

#include "XSubclassWnd.h"

class CXListView : public CXSubclassWnd {
public:
    int ItemCount() const { return static_cast<int>(SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0)); }
    int InsertItem(int index, const std::wstring& text, int image, LPARAM data) const
    {
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = index;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        item.iImage = image;
        item.lParam = data;
        return static_cast<int>(SendMessageW(Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    void SetItemText(int index, int subItem, const std::wstring& text) const
    {
        LVITEMW item = {};
        item.iSubItem = subItem;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(Handle(), LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
    }
    std::wstring ItemText(int index, int subItem) const
    {
        std::wstring text(1024, L'\0');
        LVITEMW item = {};
        item.iSubItem = subItem;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        const auto length = SendMessageW(Handle(), LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
        text.resize(static_cast<size_t>(length));
        return text;
    }
    LPARAM ItemData(int index) const
    {
        LVITEMW item = {};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        return SendMessageW(Handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
    }
    UINT ItemState(int index, UINT mask) const
    {
        return static_cast<UINT>(SendMessageW(Handle(), LVM_GETITEMSTATE, index, mask));
    }
    void SetItemState(int index, UINT state, UINT mask) const
    {
        LVITEMW item = {};
        item.state = state;
        item.stateMask = mask;
        SendMessageW(Handle(), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    }
    int NextItem(int start, UINT flags) const
    {
        return static_cast<int>(SendMessageW(Handle(), LVM_GETNEXTITEM, start, MAKELPARAM(flags, 0)));
    }
    int SelectedCount() const { return static_cast<int>(SendMessageW(Handle(), LVM_GETSELECTEDCOUNT, 0, 0)); }
    void DeleteItem(int index) const { SendMessageW(Handle(), LVM_DELETEITEM, index, 0); }
    void DeleteAllItems() const { SendMessageW(Handle(), LVM_DELETEALLITEMS, 0, 0); }
    int InsertColumn(int index, const std::wstring& heading, int width) const
    {
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.pszText = const_cast<wchar_t*>(heading.c_str());
        column.cx = width;
        column.iSubItem = index;
        return static_cast<int>(SendMessageW(Handle(), LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column)));
    }
    int ColumnWidth(int index) const { return static_cast<int>(SendMessageW(Handle(), LVM_GETCOLUMNWIDTH, index, 0)); }
    void SetImageList(HIMAGELIST list, int which) const
    {
        SendMessageW(Handle(), LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(list));
    }
    void AddExtendedStyle(DWORD style) const { SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, style, style); }
    HWND EditControl() const { return reinterpret_cast<HWND>(SendMessageW(Handle(), LVM_GETEDITCONTROL, 0, 0)); }
    HWND EditLabel(int index) const { return reinterpret_cast<HWND>(SendMessageW(Handle(), LVM_EDITLABELW, index, 0)); }
    void SetBackground(COLORREF colour) const
    {
        SendMessageW(Handle(), LVM_SETBKCOLOR, 0, colour);
        SendMessageW(Handle(), LVM_SETTEXTBKCOLOR, 0, colour);
    }
};
