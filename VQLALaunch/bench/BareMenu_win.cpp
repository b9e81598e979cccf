// The yardstick of the menu benchmark: the least a program does to show a popup menu of a
// given shape. It reads the shape once at start (a text file named on the command line, one
// entry a line: "*label" an entry, "=" a separator, "+label" a submenu whose entries follow
// up to its "-" line), and on WM_COMMAND 32832 builds the whole menu as plain text entries,
// tracks it with TrackPopupMenu at (4, 4) and destroys it. WM_CLOSE ends it.
// Usage: menu_bench_bare SHAPE-FILE

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ReadUtf16File_win.h"
#include "WinHandles.h"

namespace {
// The benchmark finds this program's window by its class.
const wchar_t kClassName[] = L"VelquinMenuBenchBare";
constexpr WPARAM kOpenMenuCommand = 32832;
constexpr UINT kFirstItemCommand = 40000;
// TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, as the launcher tracks its menus.
constexpr UINT kTrackFlags = 0x182;

struct CEntry {
    enum Kind { Item, Separator, Submenu } kind = Item;
    std::wstring label;
    std::vector<CEntry> children;
};

CEntry shape;

// Lines separated by LF; false when the nesting does not close.
bool ParseShape(const std::wstring& text, CEntry& root)
{
    root = CEntry{CEntry::Submenu, L"", {}};
    std::vector<CEntry*> open = {&root};
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty())
            continue;
        const std::wstring label = line.substr(1);
        switch (line[0]) {
        case L'*':
            open.back()->children.push_back({CEntry::Item, label, {}});
            break;
        case L'=':
            open.back()->children.push_back({CEntry::Separator, L"", {}});
            break;
        case L'+':
            open.back()->children.push_back({CEntry::Submenu, label, {}});
            open.push_back(&open.back()->children.back());
            break;
        case L'-':
            if (open.size() < 2)
                return false;
            open.pop_back();
            break;
        default:
            return false;
        }
    }
    return open.size() == 1;
}

HMENU BuildPopup(const CEntry& node, UINT& nextId)
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return nullptr;
    for (const CEntry& child : node.children) {
        switch (child.kind) {
        case CEntry::Item:
            AppendMenuW(menu, MF_STRING, nextId++, child.label.c_str());
            break;
        case CEntry::Separator:
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            break;
        case CEntry::Submenu:
            if (HMENU submenu = BuildPopup(child, nextId))
                AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu), child.label.c_str());
            break;
        }
    }
    return menu;
}

void ShowMenu(HWND window)
{
    SetForegroundWindow(window);
    UINT nextId = kFirstItemCommand;
    CMenuHandle menu(BuildPopup(shape, nextId));
    if (!menu)
        return;
    TrackPopupMenu(menu.get(), kTrackFlags, 4, 4, 0, window, nullptr);
    PostMessageW(window, WM_NULL, 0, 0);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kOpenMenuCommand) {
            ShowMenu(window);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int)
{
    const std::wstring shapeFile = ShapeFileArgument(arguments);
    if (shapeFile.empty() || !ParseShape(ReadUtf16File(shapeFile), shape) || shape.children.empty())
        return 2;
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass))
        return 1;
    // Never shown, like the launcher's main window.
    HWND window = CreateWindowExW(0, kClassName, L"bare menu", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 100,
                                  100, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
