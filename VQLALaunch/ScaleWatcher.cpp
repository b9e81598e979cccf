#include "ScaleWatcher.h"

#include "Ids.h"
#include "Platform.h"
#include "ScaleRestart.h"
#include "SettingsStore.h"

namespace {
const wchar_t kRestartOnScaleChange[] = L"RestartOnMonitorScaleChange";

// Through the generic function type, which converts to any other without a warning.
template <typename Fn> Fn Entry(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
} // namespace

bool CScaleApi::LookUp()
{
    HMODULE shcore = LoadLibraryW(L"Shcore.dll");
    if (!shcore)
        return false;
    getScaleFactorForMonitor = Entry<GetScaleFactorForMonitorFn>(shcore, "GetScaleFactorForMonitor");
    registerScaleChangeEvent = Entry<RegisterScaleChangeEventFn>(shcore, "RegisterScaleChangeEvent");
    unregisterScaleChangeEvent = Entry<UnregisterScaleChangeEventFn>(shcore, "UnregisterScaleChangeEvent");
    return Complete();
}

int ReadPrimaryScale(const CScaleApi& api)
{
    if (!api.getScaleFactorForMonitor)
        return 100;
    HMONITOR monitor = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    int scale = 0;
    const bool read = monitor && SUCCEEDED(api.getScaleFactorForMonitor(monitor, &scale));
    return ScaleOrDefault(read, scale);
}

DWORD WINAPI ScaleWatcher(void* argument)
{
    auto& context = *static_cast<CScaleWatcherContext*>(argument);
    const HANDLE events[2] = {context.scaleChangeEvent, context.quitEvent};
    // A null scale event (its creation failed) makes the wait fail: the watcher then ends.
    while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0) {
        const int scale = ReadPrimaryScale(*context.api);
        // The setting is read at each notification, so that switching it takes effect at once.
        const int setting = Store().GetInt(kSectionSettings, kRestartOnScaleChange, 1);
        const HWND window = context.mainWindow.load();
        if (ShouldRestartForScale(scale, context.startupScale, setting, window != nullptr))
            PostMessageW(window, WM_COMMAND, ID_RESTART, 0);
    }
    ReleaseSemaphore(context.watcherExitSemaphore, 1, nullptr);
    return 0;
}
