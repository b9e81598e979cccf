#pragma once
// What the settings tool's end-to-end tests use to read and drive the tool's windows from
// another process: its instance block and dialog, the texts, images and states of its tree
// and list views, the breadcrumb's links, in-place renames, screen pictures and real clicks.
// Wine passes the common controls' pointers unchanged to the other process, so every
// message that carries one gets memory allocated in the process that owns the control.

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// Caption of the tool's message boxes, and the title of its dialog.
inline constexpr wchar_t kToolBoxCaption[] = L"Velquinランチャー設定";
inline constexpr wchar_t kToolDialogTitle[] = L"Velquinランチャー Version 3.2.0.0";

// The window in the tool's block "OfficeKestrahl_VelquinUI_FM"; null without the block.
HWND ToolBlockWindow();
// Kills whatever tool still keeps the block (test clean-up).
void KillRunningTool();
// The visible top-level windows of a process.
std::vector<HWND> VisibleWindowsOf(DWORD processId);
// The tool's visible main dialog of that process, once it shows (null on time-out).
HWND WaitForToolDialog(DWORD processId, std::chrono::milliseconds timeout);
// A dialog (class "#32770") of that process with this title, once it shows (null on time-out).
HWND WaitForDialog(DWORD processId, const std::wstring& title,
                   std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Lets the thread of a window finish what it is doing: true once it answered a WM_NULL.
bool RoundTrip(HWND window);

// Text through WM_GETTEXT, which is marshalled between processes.
std::wstring WindowText(HWND window);
// A binary value of HKEY_CURRENT_USER; false when it is missing or of another type.
bool ReadBinary(const std::wstring& keyPath, const wchar_t* name, std::vector<uint8_t>& bytes);

// Memory in the process that owns a window, freed with this object.
class CRemoteMemory {
public:
    CRemoteMemory(HWND window, size_t size);
    ~CRemoteMemory();
    CRemoteMemory(const CRemoteMemory&) = delete;
    CRemoteMemory& operator=(const CRemoteMemory&) = delete;

    explicit operator bool() const { return address != nullptr; }
    // The address as the other process sees it, plus offset.
    LPARAM At(size_t offset = 0) const { return reinterpret_cast<LPARAM>(static_cast<char*>(address) + offset); }
    bool Write(const void* data, size_t bytes, size_t offset = 0) const;
    bool Read(void* data, size_t bytes, size_t offset = 0) const;

private:
    HANDLE process = nullptr;
    void* address = nullptr;
    size_t size = 0;
};

// One item of a tree view as it shows.
struct CTreeEntry {
    HTREEITEM item = nullptr;
    int depth = 0; // 0 for the top-level items
    std::wstring text;
    int image = -1;
    int selectedImage = -1;
    bool bold = false;
    bool expanded = false;
};
// Every item of a tree view depth first in display order, collapsed branches included.
std::vector<CTreeEntry> ReadTree(HWND tree);
HTREEITEM SelectedTreeItem(HWND tree);
// The rectangle of an item's row or, with textOnly, of its label (client coordinates).
bool TreeItemRect(HWND tree, HTREEITEM item, bool textOnly, RECT& rect);

// One row of a report list: the texts of its first six columns and its image.
struct CListRow {
    std::array<std::wstring, 6> texts;
    int image = -1;
};
std::vector<CListRow> ReadListRows(HWND list);
std::vector<std::wstring> ListTitles(HWND list);
// A row's rectangle in the list's client coordinates.
bool ListRowRect(HWND list, int row, RECT& rect);
// Makes exactly these rows of a list selected, the first of them focused.
bool SelectListRows(HWND list, std::initializer_list<int> rows);

// A point of a SysLink control (client coordinates) on its link `index`, found through the
// control's own hit test; false when no point of the control is on that link.
bool FindLinkPoint(HWND link, int index, POINT& point);

// A click of the real pointer at a point of the screen: xdotool on the session's X display,
// started as a Unix program (Wine runs those directly). True when it ran.
bool RealClick(POINT screenPoint);
// A double click of the real pointer at a point of the screen.
bool RealDoubleClick(POINT screenPoint);
// Real keys on the session's X display (xdotool key syntax, such as "Escape" or "ctrl+k").
bool RealKeys(const std::wstring& keys);
// A drag of the real pointer: the button (1 left, 3 right) pressed at from, the pointer moved
// past the drag threshold and on to `to`, where it rests for `rest` and the button is released;
// keys (xdotool names such as "ctrl") are held down from the start of the drag to the end.
// xdotool runs on its own: the caller watches the effect.
bool RealDrag(POINT from, POINT to, int button = 1, const std::wstring& keys = L"",
              std::chrono::milliseconds rest = std::chrono::milliseconds(1000));
// The real pointer's button pressed at a point and held; and, in a second step, the pointer
// moved to a point, resting there a moment, and the button released. For a drag that another
// program (a test itself) runs between the two steps.
bool RealPress(POINT screenPoint, int button = 1);
bool RealMoveAndRelease(POINT screenPoint, int button = 1);
// A real click at a point of a window, once that window's dialog is the foreground window
// (only then do real keys reach it).
bool RealClickInto(HWND window, POINT screenPoint);

// Renames in place as the user does: a list row through its label edit ended with Enter;
// a tree item through a click on the selected item, which arms the tool's rename, and
// the tree's own label edit ended at once. False when no edit opened.
bool RenameListRow(HWND list, int row, const std::wstring& title);
bool RenameTreeItem(HWND tree, HTREEITEM item, const std::wstring& title);

// The screen's pixels of a rectangle as 0x00RRGGBB, row by row; empty when unreadable.
std::vector<uint32_t> CaptureScreen(const RECT& rect);
