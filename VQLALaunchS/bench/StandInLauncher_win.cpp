#include "StandInLauncher_win.h"

#include "InstanceBlock_win.h"
#include "LauncherProbe_win.h"

namespace {
const wchar_t kClassName[] = L"VelquinSettingsBenchLauncher";
constexpr DWORD kReadyTimeoutMs = 10000;
} // namespace

bool CStandInLauncher::Start()
{
    if (thread.joinable())
        return published;
    launcherMessage = LauncherMessage();
    CKernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!ready)
        return false;
    thread = std::thread([this, event = ready.get()] { Serve(event); });
    WaitForSingleObject(ready.get(), kReadyTimeoutMs);
    return published;
}

void CStandInLauncher::Stop()
{
    if (!thread.joinable())
        return;
    if (HWND w = window.load())
        PostMessageW(w, WM_CLOSE, 0, 0);
    thread.join();
}

// The window, its block and the message loop live on this thread; the block is given up
// when the loop ends.
void CStandInLauncher::Serve(HANDLE ready)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
    // Never shown, like the launcher's main window.
    HWND created = CreateWindowExW(0, kClassName, L"stand-in launcher", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                   CW_USEDEFAULT, 100, 100, nullptr, nullptr, instance, this);
    CKernelHandle block;
    HWND other = nullptr;
    if (created && PublishInstanceWindow(kLauncherBlockName, created, block, other) == XPublish::Published) {
        window = created;
        published = true;
    }
    SetEvent(ready);
    if (!published) {
        if (created)
            DestroyWindow(created);
        return;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    window = nullptr;
}

LRESULT CALLBACK CStandInLauncher::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<CStandInLauncher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == self->launcherMessage) {
        // The time first: the flags and the count tell the reader it is there.
        if (static_cast<uint32_t>(wParam) == kLauncherReload) {
            self->lastReloadTicks = Clock::now().time_since_epoch().count();
            self->lastReloadFlags = static_cast<uint32_t>(lParam);
            ++self->reloads;
        }
        // A register request is refused (0 carries no reply tag), as by a launcher whose keys
        // are all taken.
        return 0;
    }
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
