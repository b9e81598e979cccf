#include <gtest/gtest.h>

#include <atomic>

#include "Ids.h"
#include "Platform_win.h"
#include "ScaleWatcher.h"
#include "SettingsStore.h"
#include "WinHandles.h"

namespace {

// The scale the fake entry point reports; the watcher reads it on its own thread.
std::atomic<int> reportedScale{100};
std::atomic<bool> readFails{false};
CKernelHandle scaleRead; // set after each read

HRESULT WINAPI FakeGetScaleFactorForMonitor(HMONITOR, int* scale)
{
    *scale = reportedScale.load();
    SetEvent(scaleRead.get());
    return readFails ? E_FAIL : S_OK;
}

class ScaleWatcherThread : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallPlatform(&platform, &store);
        api.getScaleFactorForMonitor = FakeGetScaleFactorForMonitor;
        scaleRead.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        scaleEvent.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        quit.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        semaphore.reset(CreateSemaphoreW(nullptr, 0, 100, nullptr));
        context.api = &api;
        context.scaleChangeEvent = scaleEvent.get();
        context.quitEvent = quit.get();
        context.watcherExitSemaphore = semaphore.get();
        context.startupScale = 100;
        context.mainWindow = window;
        reportedScale = 100;
        readFails = false;
        thread.reset(CreateThread(nullptr, 0, ScaleWatcher, &context, 0, nullptr));
        ASSERT_TRUE(thread);
    }
    void TearDown() override
    {
        if (thread) {
            SetEvent(quit.get());
            WaitForSingleObject(thread.get(), 5000);
        }
        DestroyWindow(window);
        InstallPlatform(nullptr, nullptr);
    }

    // Signals a scale change and counts the restart commands posted for it.
    int Notify(int scale)
    {
        reportedScale = scale;
        SetEvent(scaleEvent.get());
        EXPECT_EQ(WaitForSingleObject(scaleRead.get(), 5000), WAIT_OBJECT_0);
        Sleep(200); // the post follows the read at once
        int restarts = 0;
        MSG msg;
        while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_COMMAND && msg.wParam == ID_RESTART && msg.lParam == 0)
                ++restarts;
        }
        return restarts;
    }

    CWin32Platform platform;
    CMemoryStore store;
    CScaleApi api;
    HWND window = nullptr;
    CKernelHandle scaleEvent, quit, semaphore, thread;
    CScaleWatcherContext context;
};

} // namespace

TEST_F(ScaleWatcherThread, PostsRestartWhileTheScaleDiffersFromTheStart)
{
    EXPECT_EQ(Notify(125), 1);
    EXPECT_EQ(Notify(125), 1); // a refused restart is asked again at the next notification
    EXPECT_EQ(Notify(100), 0); // back at the start value
}

TEST_F(ScaleWatcherThread, SettingIsReadAtEachNotification)
{
    store.SetInt(kSectionSettings, L"RestartOnMonitorScaleChange", 0);
    EXPECT_EQ(Notify(150), 0);
    store.SetInt(kSectionSettings, L"RestartOnMonitorScaleChange", 1);
    EXPECT_EQ(Notify(150), 1);
}

TEST_F(ScaleWatcherThread, FailedReadCountsAsStartScale)
{
    readFails = true;
    EXPECT_EQ(Notify(175), 0);
}

TEST_F(ScaleWatcherThread, QuitEventEndsTheThreadAndReleasesTheSemaphoreOnce)
{
    SetEvent(quit.get());
    EXPECT_EQ(WaitForSingleObject(semaphore.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(semaphore.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    thread.reset();
}

TEST(ScaleApi, MissingEntryPointReadsOneHundred)
{
    CScaleApi none;
    EXPECT_FALSE(none.Complete());
    EXPECT_EQ(ReadPrimaryScale(none), 100);
    // Whatever this system offers, the look-up answers consistently and a read gives a scale.
    CScaleApi system;
    const bool found = system.LookUp();
    EXPECT_EQ(found, system.Complete());
    EXPECT_GE(ReadPrimaryScale(system), 100);
}
