#include "VQLALaunchApp.h"

#include <commctrl.h>
#include <objbase.h>
#include <ole2.h>
#include <shlobj.h>
#include <shobjidl.h>
// GDI+ needs min/max and the COM types above.
#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <optional>

#include "FolderTree_win.h"
#include "Ids.h"
#include "InstanceBlock_win.h"
#include "ItemText.h"
#include "MainFrame.h"
#include "Settings.h"
#include "SystemInfo_win.h"

UINT launcherMessage = 0;

namespace {
CVQLALaunchApp* theApp = nullptr;

const wchar_t kOldSystem[] = L"このプログラムはWindows Vista以降で動作します。";
const wchar_t kLinksFolderVariable[] = L"VelquinLNKs";
const wchar_t kUninstallVariable[] = L"VelquinUninstall";
constexpr DWORD kRestartWaitMs = 5000;
constexpr DWORD kRestartPollMs = 100;

void ShowAppMessage(const std::wstring& text)
{
    MessageBoxW(nullptr, text.c_str(), kAppName, MB_OK);
}

std::optional<std::wstring> ReadUninstallVariable()
{
    wchar_t buffer[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(kUninstallVariable, buffer, MAX_PATH);
    if (length == 0) {
        if (GetLastError() == ERROR_ENVVAR_NOT_FOUND)
            return std::nullopt;
        return std::wstring();
    }
    if (length >= MAX_PATH)
        return std::nullopt; // does not fit the buffer, so it is not "NO"
    return std::wstring(buffer, length);
}
} // namespace

CVQLALaunchApp& App()
{
    return *theApp;
}

CVQLALaunchApp::CVQLALaunchApp()
{
    theApp = this;
    SetAppUserModelIdIfPossible(kAppUserModelId);
    launcherMessage = RegisterWindowMessageW(kLauncherMessageName);
    instanceMappingName = kLauncherBlockName;
    startupScale = 100;
    isWindows10OrLater = IsWindowsVersionAtLeast(10, 0, 0) ? 1 : 0;
    platform.messageCaption = kAppName;
}

CVQLALaunchApp::~CVQLALaunchApp()
{
    frame.reset();
    InstallPlatform(nullptr, nullptr);
    if (theApp == this)
        theApp = nullptr;
}

HWND CVQLALaunchApp::MainWindowHandle() const
{
    return frame ? frame->Handle() : nullptr;
}

bool CVQLALaunchApp::StartLibraries()
{
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);

    if (FAILED(OleInitialize(nullptr))) {
        ShowAppMessage(LoadResourceString(IDS_OLE_INIT_FAILED));
        return false;
    }
    oleStarted = true;

    // No control containers here, so there is nothing to enable for them.
    Gdiplus::GdiplusStartupInput input; // version 1, no debug callback, background thread on
    gdiplusStarted = Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr) == Gdiplus::Ok;

    if (!IsWindowsVersionAtLeast(6, 0, 0)) {
        ShowAppMessage(kOldSystem);
        return false;
    }
    return true;
}

void CVQLALaunchApp::ReadModulePath()
{
    wchar_t buffer[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    modulePath.assign(buffer, std::min<DWORD>(length, MAX_PATH));
    const size_t slash = modulePath.rfind(L'\\');
    moduleFolder = slash == std::wstring::npos ? std::wstring() : modulePath.substr(0, slash);
}

void CVQLALaunchApp::MakeDataFolders()
{
    PWSTR path = nullptr;
    HRESULT hr = SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path);
    CCoTaskMemHandle owned(path);
    localAppDataFolder = SUCCEEDED(hr) && path ? std::wstring(path) : std::wstring();
    vendorDataFolder = JoinPath(localAppDataFolder, kVendorKeyName);
    productDataFolder = JoinPath(vendorDataFolder, kAppName);
    linksFolder = JoinPath(productDataFolder, L"LNKs");
    // An existing folder is the normal case.
    CreateDirectoryW(vendorDataFolder.c_str(), nullptr);
    CreateDirectoryW(productDataFolder.c_str(), nullptr);
    CreateDirectoryW(linksFolder.c_str(), nullptr);
    platform.linksFolder = linksFolder;
}

void CVQLALaunchApp::ApplyShowInternalLinks()
{
    // Written back at once, so that the value always exists afterwards.
    const std::wstring name = SettingName(XSetting::ShowInternalLinks, isWindows10OrLater != 0);
    showInternalLinks = Store().GetInt(kSectionSettings, name, 0);
    Store().SetInt(kSectionSettings, name, showInternalLinks);
    if (showInternalLinks)
        SetEnvironmentVariableW(kLinksFolderVariable, linksFolder.c_str());
}

bool CVQLALaunchApp::WaitForOldLauncher()
{
    const DWORD start = GetTickCount();
    while (InstanceBlockExists(instanceMappingName.c_str())) {
        if (GetTickCount() - start >= kRestartWaitMs)
            return false;
        Sleep(kRestartPollMs);
    }
    return true;
}

bool CVQLALaunchApp::CreateMainWindow(bool anotherLauncherRuns)
{
    frame = std::make_unique<CMainFrame>(anotherLauncherRuns);
    mainWindow = frame.get();
    if (!frame->CreateFrame()) {
        mainWindow = nullptr;
        return false;
    }
    return true;
}

bool CVQLALaunchApp::PublishInstance(CInstanceClaim& claim, XLaunchSwitch launchSwitch)
{
    switch (claim.Result()) {
    case XPublish::Published:
        claim.Publish(MainWindowHandle(), instanceMapping);
        return true;
    case XPublish::Unavailable: // unreachable for others, but this start still serves as the launcher
        return true;
    case XPublish::AnotherRuns:
        break;
    }
    // The running launcher may still be making its window: it claimed the block first.
    if (HWND running = claim.OtherWindow(kRestartWaitMs)) {
        if (unsigned command = SwitchCommand(launchSwitch))
            PostMessageW(running, launcherMessage, command, 0);
    }
    if (launchSwitch == XLaunchSwitch::Cleanup)
        cleanupRequested = 1;
    return false;
}

void CVQLALaunchApp::LookUpScaleApi()
{
    // The entry points exist from Windows 10 on; older systems never load the library.
    if (isWindows10OrLater)
        scaleApiAvailable = scaleApi.LookUp();
}

void CVQLALaunchApp::CreateImageList()
{
    // The fixed icons are loaded after start-up, with the launcher's own icon.
    if (!imageListMan.Create(GetModuleHandleW(nullptr), true))
        return;
    platform.imageList = imageListMan.Handle();
    platform.iconIndexCallback = [this](bool isInternal, const std::wstring& path) {
        return imageListMan.GetIconIndex(isInternal, path);
    };
}

void CVQLALaunchApp::StartScaleWatching()
{
    watcherExitSemaphore.reset(CreateSemaphoreW(nullptr, 0, 100, nullptr));
    quitEvent.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    startupScale = ReadPrimaryScale(scaleApi);
    if (!scaleApiAvailable)
        return;
    scaleChangeEvent.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    DWORD_PTR cookie = 0;
    if (scaleChangeEvent && SUCCEEDED(scaleApi.registerScaleChangeEvent(scaleChangeEvent.get(), &cookie))) {
        scaleEventCookie = cookie;
        scaleEventRegistered = true;
    }
    // Started even without a registration: it then only waits for the quit event.
    scaleWatcherContext.api = &scaleApi;
    scaleWatcherContext.scaleChangeEvent = scaleChangeEvent.get();
    scaleWatcherContext.quitEvent = quitEvent.get();
    scaleWatcherContext.watcherExitSemaphore = watcherExitSemaphore.get();
    scaleWatcherContext.startupScale = startupScale;
    scaleWatcherContext.mainWindow = MainWindowHandle();
    // It only waits, reads one value and posts: the program's default stack would be
    // reserved (and, on some systems, committed) for nothing.
    constexpr SIZE_T kWatcherStack = 256 * 1024;
    CKernelHandle thread(CreateThread(nullptr, kWatcherStack, ScaleWatcher, &scaleWatcherContext,
                                      STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (thread)
        ++watcherThreadCount;
}

void CVQLALaunchApp::StopScaleWatching()
{
    if (scaleEventRegistered)
        scaleApi.unregisterScaleChangeEvent(scaleEventCookie);
    scaleEventRegistered = false;
    if (quitEvent) {
        SetEvent(quitEvent.get());
        for (int i = 0; i < watcherThreadCount; ++i)
            WaitForSingleObject(watcherExitSemaphore.get(), INFINITE);
    }
    watcherThreadCount = 0;
}

bool CVQLALaunchApp::StartUp()
{
    if (!StartLibraries())
        return false;

    LookUpScaleApi();
    CreateImageList();

    registryKeyName = kVendorKeyName;
    store = std::make_unique<CRegistryStore>(XIntReading::Lenient);
    InstallPlatform(&platform, store.get());

    ReadModulePath();
    Store().MigrateFromEarlierEdition();
    MakeDataFolders();
    ApplyShowInternalLinks();

    // The switch is read, and a restart waits for the old launcher, before the main window
    // exists: a restarted launcher then registers its hotkeys after the old one has let go
    // of them. The block is claimed before the window is made, so the claim alone decides
    // what the window becomes: a start that finds another launcher running makes a window
    // that only carries its command (it neither loads nor registers hotkeys nor saves the
    // trees, so the stored ids stay those of the running launcher), and a launcher that ends
    // meanwhile can no longer leave the block to a window that loaded nothing.
    const XLaunchSwitch launchSwitch = FindLaunchSwitch(CommandLine());
    if (launchSwitch == XLaunchSwitch::Restart && !WaitForOldLauncher()) {
        CloseToolWindows();
        return false;
    }
    CInstanceClaim claim(instanceMappingName.c_str());
    if (!CreateMainWindow(claim.Result() == XPublish::AnotherRuns))
        return false;

    if (!PublishInstance(claim, launchSwitch))
        return false;

    CloseToolWindows();

    if (launchSwitch == XLaunchSwitch::Exit)
        return false;
    if (launchSwitch == XLaunchSwitch::Cleanup) {
        cleanupRequested = 1;
        return false;
    }

    StartScaleWatching();
    return true;
}

int CVQLALaunchApp::ShutDown()
{
    StopScaleWatching();
    instanceMapping.reset();

    if (gdiplusStarted)
        Gdiplus::GdiplusShutdown(gdiplusToken);
    gdiplusStarted = false;
    if (oleStarted)
        OleUninitialize();
    oleStarted = false;

    // Two launchers ending at once (a "/cleanup" start and the one it told to clean up)
    // take turns here.
    CKernelHandle mutex(CreateMutexW(nullptr, FALSE, kCleanupMutexName));
    if (mutex)
        WaitForSingleObject(mutex.get(), INFINITE);

    const int exitCode = ExitProcessing();
    if (UninstallVetoesCleanup(ReadUninstallVariable()))
        cleanupRequested = 0;
    if (cleanupRequested)
        RunExitCleanup();

    if (mutex)
        ReleaseMutex(mutex.get());
    return exitCode;
}

void CVQLALaunchApp::RunExitCleanup()
{
    if (store)
        store->RemoveStore();
    if (!productDataFolder.empty())
        DeleteFolderTree(productDataFolder);
    if (!vendorDataFolder.empty())
        RemoveDirectoryW(vendorDataFolder.c_str());
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    CVQLALaunchApp app;
    return app.Run(instance);
}
