#pragma once
// The launcher's application object: start-up, the single-instance rule, the command
// switches and the exit clean-up.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "ImageListMan_win.h"
#include "LaunchSwitch.h"
#include "LauncherProtocol.h"
#include "Platform_win.h"
#include "RegistryStore_win.h"
#include "ScaleWatcher.h"
#include "WinHandles.h"
#include "XWinApp.h"

class CInstanceClaim;
class CMainFrame;

inline constexpr wchar_t kAppName[] = L"Velquinランチャー";
inline constexpr wchar_t kAppUserModelId[] = L"Velquin.AppID.NoVersion";
inline constexpr wchar_t kCleanupMutexName[] = L"VQLALaunch_cleanup_mutex";

// The number of "OfficeKestrahl_Velquin_Message" in this process.
extern UINT launcherMessage;

class CVQLALaunchApp : public CXWinApp {
public:
    CVQLALaunchApp();
    ~CVQLALaunchApp() override;

    bool StartUp() override;
    int ShutDown() override;

    CMainFrame* MainFrame() const { return frame.get(); }
    HWND MainWindowHandle() const;
    CWin32Platform& Win32Platform() { return platform; }

    int isWindows10OrLater = 0;
    std::wstring moduleFolder;
    std::wstring modulePath;
    int cleanupRequested = 0;
    CKernelHandle instanceMapping;
    std::wstring registryKeyName;
    std::wstring localAppDataFolder;
    std::wstring vendorDataFolder;
    std::wstring productDataFolder;
    std::wstring linksFolder;
    int showInternalLinks = 0;
    bool scaleApiAvailable = false;
    CKernelHandle scaleChangeEvent;
    bool scaleEventRegistered = false;
    uintptr_t scaleEventCookie = 0;
    int startupScale = 100;
    int watcherThreadCount = 0;
    CKernelHandle quitEvent;
    CKernelHandle watcherExitSemaphore;
    std::wstring instanceMappingName;
    // The shared icon image list, created before the main window.
    CImageListMan imageListMan;
    // The Shcore entry points, and what the watcher thread reads.
    CScaleApi scaleApi;
    CScaleWatcherContext scaleWatcherContext;

private:
    bool StartLibraries();
    void ReadModulePath();
    void MakeDataFolders();
    void ApplyShowInternalLinks();
    bool CreateMainWindow(bool anotherLauncherRuns);
    bool WaitForOldLauncher();
    // False when another launcher runs: this start has posted its command and ends.
    bool PublishInstance(CInstanceClaim& claim, XLaunchSwitch launchSwitch);
    void LookUpScaleApi();
    void CreateImageList();
    void StartScaleWatching();
    void StopScaleWatching();
    void RunExitCleanup();

    std::unique_ptr<CRegistryStore> store;
    CWin32Platform platform;
    std::unique_ptr<CMainFrame> frame;
    ULONG_PTR gdiplusToken = 0;
    bool gdiplusStarted = false;
    bool oleStarted = false;
};

CVQLALaunchApp& App();
