// The yardstick of the settings benchmark: the least a program does to show what the settings
// tool shows at start. It reads a shape file once (SettingsBenchNames.h), then runs a modal
// dialog of the tool's size with the tool's two trees and two detail lists (the same control
// ids) and fills them in WM_INITDIALOG, as the tool does: every entry of the menu in each
// tree below a root item (submenus bold, the root expanded), the root's children as rows of
// each list, the six fixed marks as image list. The dialog's handle goes into a block of the
// bare program's own first, as the tool publishes its block first; WM_CLOSE ends it.
// Usage: settings_bench_bare SHAPE-FILE

#include <windows.h>
// Needs the types that windows.h declares.
#include <commctrl.h>

#include <string>
#include <vector>

#include "../../VQLALaunch/bench/ReadUtf16File_win.h"
#include "BareDialog.h"
#include "FixedIcons.h"
#include "InstanceBlock_win.h"
#include "Resource.h"
#include "SettingsBenchNames.h"
#include "WinHandles.h"

namespace {
constexpr int kFixedIcons[] = {IDI_BLANK, IDI_SUBMENU, IDI_SUBMENU_OPEN, IDI_SEPARATOR, IDI_NEW_ITEM, IDI_TEXT_ITEM};
constexpr int kOpenSubmenuSlot = 2;

struct CShapeLine {
    wchar_t kind = 0;
    int slot = 0;
    std::vector<std::wstring> texts; // the title, or a row's columns, or a column's width and heading
};

struct CShape {
    std::vector<CShapeLine> lines;
};

CShape shape;
CImageListHandle images;
CKernelHandle block;

std::vector<std::wstring> SplitAtTabs(const std::wstring& text)
{
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        const size_t tab = text.find(L'\t', start);
        parts.push_back(text.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
        if (tab == std::wstring::npos)
            return parts;
        start = tab + 1;
    }
}

// Lines separated by LF; false when the nesting does not close or a line is not understood.
bool ParseShape(const std::wstring& text, CShape& out)
{
    int open = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty())
            continue;
        CShapeLine parsed;
        parsed.kind = line[0];
        switch (parsed.kind) {
        case kShapeSubmenu:
        case kShapeEntry:
        case kShapeRow:
            if (line.size() < 2 || line[1] < L'0' || line[1] > L'5' || (parsed.kind == kShapeEntry && open == 0))
                return false;
            parsed.slot = line[1] - L'0';
            parsed.texts = SplitAtTabs(line.substr(2));
            open += parsed.kind == kShapeSubmenu ? 1 : 0;
            break;
        case kShapeEnd:
            if (--open < 0)
                return false;
            break;
        case kShapeColumn:
            parsed.texts = SplitAtTabs(line.substr(1));
            break;
        default:
            return false;
        }
        out.lines.push_back(std::move(parsed));
    }
    return open == 0;
}

HTREEITEM InsertTreeItem(HWND tree, HTREEITEM parent, const CShapeLine& line)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    insert.item.pszText = const_cast<wchar_t*>(line.texts[0].c_str());
    insert.item.iImage = line.slot;
    insert.item.iSelectedImage = line.slot;
    insert.item.stateMask = TVIS_BOLD;
    insert.item.state = line.kind == kShapeSubmenu ? TVIS_BOLD : 0;
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void FillTree(HWND tree)
{
    SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images.get()));
    std::vector<HTREEITEM> open;
    HTREEITEM root = nullptr;
    for (const CShapeLine& line : shape.lines) {
        switch (line.kind) {
        case kShapeSubmenu: {
            HTREEITEM item = InsertTreeItem(tree, open.empty() ? TVI_ROOT : open.back(), line);
            root = root ? root : item;
            open.push_back(item);
            break;
        }
        case kShapeEntry:
            InsertTreeItem(tree, open.back(), line);
            break;
        case kShapeEnd:
            open.pop_back();
            break;
        default:
            break;
        }
    }
    if (!root)
        return;
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    TVITEMW item = {};
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = root;
    item.iImage = kOpenSubmenuSlot;
    item.iSelectedImage = kOpenSubmenuSlot;
    SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

int AverageCharWidth(HWND control)
{
    int width = 8;
    if (HDC dc = GetDC(control)) {
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics = {};
        if (GetTextMetricsW(dc, &metrics))
            width = metrics.tmAveCharWidth;
        SelectObject(dc, old);
        ReleaseDC(control, dc);
    }
    return width;
}

void FillList(HWND list)
{
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images.get()));
    const int charWidth = AverageCharWidth(list);
    int columns = 0, rows = 0;
    for (const CShapeLine& line : shape.lines) {
        if (line.kind == kShapeColumn && line.texts.size() == 2) {
            LVCOLUMNW column = {};
            column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            column.fmt = LVCFMT_LEFT;
            column.pszText = const_cast<wchar_t*>(line.texts[1].c_str());
            column.cx = charWidth * _wtoi(line.texts[0].c_str());
            column.iSubItem = columns;
            SendMessageW(list, LVM_INSERTCOLUMNW, columns++, reinterpret_cast<LPARAM>(&column));
        } else if (line.kind == kShapeRow) {
            LVITEMW item = {};
            item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
            item.iItem = rows;
            item.pszText = const_cast<wchar_t*>(line.texts[0].c_str());
            item.iImage = line.slot;
            item.lParam = rows;
            const int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
            ++rows;
            for (size_t sub = 1; index >= 0 && sub < line.texts.size(); ++sub) {
                LVITEMW text = {};
                text.iSubItem = static_cast<int>(sub);
                text.pszText = const_cast<wchar_t*>(line.texts[sub].c_str());
                SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&text));
            }
        }
    }
}

bool MakeImageList()
{
    const int cx = GetSystemMetrics(SM_CXSMICON);
    const int cy = GetSystemMetrics(SM_CYSMICON);
    images.reset(ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 6, 16));
    if (!images)
        return false;
    for (int id : kFixedIcons) {
        CIconHandle icon(static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR)));
        ImageList_AddIcon(images.get(), icon.get());
    }
    return true;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        HWND other = nullptr;
        if (PublishInstanceWindow(kBareDialogBlockName, dialog, block, other) != XPublish::Published) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        for (int id : {IDC_LEFT_TREE, IDC_RIGHT_TREE})
            FillTree(GetDlgItem(dialog, id));
        for (int id : {IDC_LEFT_LIST, IDC_RIGHT_LIST})
            FillList(GetDlgItem(dialog, id));
        return TRUE;
    }
    case WM_CLOSE:
        block.reset();
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}
} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int)
{
    const std::wstring shapeFile = ShapeFileArgument(arguments);
    if (shapeFile.empty() || !ParseShape(ReadUtf16File(shapeFile), shape) || shape.lines.empty())
        return 2;
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES;
    InitCommonControlsEx(&controls);
    if (!MakeImageList())
        return 1;
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_BARE_DIALOG), nullptr, DialogProc, 0);
    return result == 0 ? 0 : 1;
}
