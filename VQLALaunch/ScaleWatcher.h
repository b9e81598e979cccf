#pragma once
// The display-scale watcher: a thread that waits for the system's scale-change signal and
// posts the restart command when the primary monitor's scale differs from the one at start.
// The Shcore entry points exist from Windows 10 on; without them nothing is watched.

#include <windows.h>

#include <atomic>

// The three Shcore entry points, looked up once and never unloaded.
struct CScaleApi {
    using GetScaleFactorForMonitorFn = HRESULT(WINAPI*)(HMONITOR monitor, int* scale);
    using RegisterScaleChangeEventFn = HRESULT(WINAPI*)(HANDLE event, DWORD_PTR* cookie);
    using UnregisterScaleChangeEventFn = HRESULT(WINAPI*)(DWORD_PTR cookie);

    GetScaleFactorForMonitorFn getScaleFactorForMonitor = nullptr;
    RegisterScaleChangeEventFn registerScaleChangeEvent = nullptr;
    UnregisterScaleChangeEventFn unregisterScaleChangeEvent = nullptr;

    // Loads "Shcore.dll" and looks the three up; true when all three were found.
    bool LookUp();
    bool Complete() const { return getScaleFactorForMonitor && registerScaleChangeEvent && unregisterScaleChangeEvent; }
};

// Scale of the monitor holding the point (0, 0), else of the primary one, in percent; 100
// when the entry point is missing or the call fails.
int ReadPrimaryScale(const CScaleApi& api);

// What the watcher thread reads. Everything is set before the thread starts and outlives it.
struct CScaleWatcherContext {
    const CScaleApi* api = nullptr;
    HANDLE scaleChangeEvent = nullptr;
    HANDLE quitEvent = nullptr;
    HANDLE watcherExitSemaphore = nullptr;
    int startupScale = 100;
    std::atomic<HWND> mainWindow{nullptr};
};

// The thread procedure (argument: a CScaleWatcherContext). Ends when the quit event is set,
// releasing watcherExitSemaphore once; returns 0.
DWORD WINAPI ScaleWatcher(void* context);
