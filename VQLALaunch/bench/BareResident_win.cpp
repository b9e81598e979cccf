// The yardstick of the launcher benchmark: the least a resident program of this kind does.
// A hidden top-level window, one notification icon and the 8-byte instance block holding
// the window handle, published last as the launcher does; WM_CLOSE ends it. With
// "/shellicon" it also asks the shell for its own file's icon once.

#include <windows.h>
// Needs the types that windows.h declares.
#include <shellapi.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <iterator>

#include "BenchNames.h"
#include "WinHandles.h"

namespace {
const wchar_t kClassName[] = L"VelquinBenchBare";
constexpr UINT kIconId = 1;
constexpr UINT kIconMessage = WM_APP + 3;

NOTIFYICONDATAW IconData(HWND window)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = kIconId;
    return data;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        NOTIFYICONDATAW data = IconData(window);
        Shell_NotifyIconW(NIM_DELETE, &data);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass))
        return 1;
    // Never shown.
    HWND window = CreateWindowExW(0, kClassName, L"bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                                  nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;

    NOTIFYICONDATAW data = IconData(window);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kIconMessage;
    data.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(data.szTip, L"bare", static_cast<int>(std::size(data.szTip)));
    Shell_NotifyIconW(NIM_ADD, &data);

    if (std::wcsstr(GetCommandLineW(), kBareShellIconSwitch)) {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        SHFILEINFOW info = {};
        if (SHGetFileInfoW(self, FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON))
            DestroyIcon(info.hIcon);
    }

    CKernelHandle block(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 8, kBareBlockName));
    if (!block)
        return 1;
    CMappedViewHandle view(MapViewOfFile(block.get(), FILE_MAP_ALL_ACCESS, 0, 0, 8));
    if (!view)
        return 1;
    const uint64_t value = reinterpret_cast<uintptr_t>(window);
    std::memcpy(view.get(), &value, sizeof(value));

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
