#pragma once
// What the settings tool needs of a launcher, inside the benchmark's own process: a window
// on a thread of its own, published in the launcher's instance block, that notes when a
// reload request arrives. The real launcher would reload both menus at their largest on
// every request and take processor time from the tool under measurement.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <thread>

#include "../../VQLALaunch/bench/BenchFigures.h"
#include "WinHandles.h"

class CStandInLauncher {
public:
    CStandInLauncher() = default;
    CStandInLauncher(const CStandInLauncher&) = delete;
    CStandInLauncher& operator=(const CStandInLauncher&) = delete;
    ~CStandInLauncher() { Stop(); }

    // False when the window could not be made or another launcher holds the block.
    bool Start();
    void Stop();

    // Reload requests so far, and the arrival time and flags of the last one.
    int Reloads() const { return reloads.load(); }
    Clock::time_point LastReloadTime() const { return Clock::time_point(Clock::duration(lastReloadTicks.load())); }
    uint32_t LastReloadFlags() const { return lastReloadFlags.load(); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Serve(HANDLE ready);

    std::thread thread;
    std::atomic<HWND> window{nullptr};
    std::atomic<bool> published{false};
    UINT launcherMessage = 0;
    std::atomic<int> reloads{0};
    std::atomic<Clock::rep> lastReloadTicks{0};
    std::atomic<uint32_t> lastReloadFlags{0};
};
