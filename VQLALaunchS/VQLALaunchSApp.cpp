#include "VQLALaunchSApp.h"

#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include "ItemText.h"
#include "LauncherLink_win.h"
#include "MainDialog.h"
#include "Resource.h"
#include "Settings.h"
#include "SystemInfo_win.h"
#include "WinHandles.h"

UINT launcherMessage = 0;

namespace {
CVQLALaunchSApp* theApp = nullptr;

const wchar_t kOldSystem[] = L"このプログラムはWindows Vista以降で動作します。";
const wchar_t kLinksFolderVariable[] = L"VelquinLNKs";

void ShowAppMessage(const std::wstring& text)
{
    MessageBoxW(nullptr, text.c_str(), kToolAppName, MB_OK);
}
} // namespace

void CToolPlatform::NotifyTreeSaved(const CXRoot& root)
{
    // A root's id is its reload flag.
    PostReloadToLauncher(static_cast<uint32_t>(root.rootId));
}

CVQLALaunchSApp& App()
{
    return *theApp;
}

CVQLALaunchSApp::CVQLALaunchSApp()
{
    theApp = this;
    SetAppUserModelIdIfPossible(kToolAppUserModelId);
    launcherMessage = RegisterWindowMessageW(kLauncherMessageName);
    instanceMappingName = kSettingsToolBlockName;
    isWindows10OrLater = IsWindowsVersionAtLeast(10, 0, 0);
    platform.messageCaption = kToolAppName;
}

CVQLALaunchSApp::~CVQLALaunchSApp()
{
    InstallPlatform(nullptr, nullptr);
    if (theApp == this)
        theApp = nullptr;
}

bool CVQLALaunchSApp::StartLibraries()
{
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);
    // The framework's own part: the link control of the main dialog is not among the 0xFF.
    controls.dwICC = ICC_LINK_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);

    if (FAILED(OleInitialize(nullptr))) {
        ShowAppMessage(LoadResourceString(IDS_OLE_INIT_FAILED));
        return false;
    }
    oleStarted = true;

    if (!IsWindowsVersionAtLeast(6, 0, 0)) {
        ShowAppMessage(kOldSystem);
        return false;
    }
    return true;
}

void CVQLALaunchSApp::OpenStore()
{
    registryKeyName = kVendorKeyName;
    // Integers count only as REG_DWORD of four bytes or more; "TheSubMenuAccelerator" only
    // as REG_SZ. Each access creates the section it needs; failures fall back to defaults.
    store = std::make_unique<CRegistryStore>(XIntReading::Strict);
    InstallPlatform(&platform, store.get());
}

void CVQLALaunchSApp::ReadModulePath()
{
    wchar_t buffer[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    modulePath.assign(buffer, std::min<DWORD>(length, MAX_PATH));
    const size_t slash = modulePath.rfind(L'\\');
    moduleFolder = slash == std::wstring::npos ? std::wstring() : modulePath.substr(0, slash);
}

void CVQLALaunchSApp::MakeDataFolders()
{
    PWSTR path = nullptr;
    HRESULT hr = SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path);
    CCoTaskMemHandle owned(path);
    localAppDataFolder = SUCCEEDED(hr) && path ? std::wstring(path) : std::wstring();
    vendorDataFolder = JoinPath(localAppDataFolder, kVendorKeyName);
    productDataFolder = JoinPath(vendorDataFolder, kProfileName);
    linksFolder = JoinPath(productDataFolder, L"LNKs");
    CreateDirectoryW(vendorDataFolder.c_str(), nullptr);
    CreateDirectoryW(productDataFolder.c_str(), nullptr);
    CreateDirectoryW(linksFolder.c_str(), nullptr);
    platform.linksFolder = linksFolder;
}

void CVQLALaunchSApp::ApplyShowInternalLinks()
{
    const std::wstring name = SettingName(XSetting::ShowInternalLinks, isWindows10OrLater);
    showInternalLinks = Store().GetInt(kSectionSettings, name, 0);
    Store().SetInt(kSectionSettings, name, showInternalLinks);
    if (showInternalLinks)
        SetEnvironmentVariableW(kLinksFolderVariable, linksFolder.c_str());
}

bool CVQLALaunchSApp::StartUp()
{
    if (!StartLibraries())
        return false;

    if (imageListMan.Create(GetModuleHandleW(nullptr))) {
        platform.imageList = imageListMan.Handle();
        platform.iconIndexCallback = [this](bool isInternal, const std::wstring& path) {
            return imageListMan.GetIconIndex(isInternal, path);
        };
    }

    // Without a launcher nothing is made: no window, no folder, no registry value.
    if (!FindLauncherWindow()) {
        ShowAppMessage(kMessageNoLauncher);
        return false;
    }

    if (isWindows10OrLater) {
        // The library stays loaded; only the presence of the entry point is used.
        if (HMODULE shcore = LoadLibraryW(L"Shcore.dll"))
            scaleChangeProbe = GetProcAddress(shcore, "RegisterScaleChangeEvent");
    }

    OpenStore();
    ReadModulePath();
    MakeDataFolders();
    ApplyShowInternalLinks();
    // The command line (CommandLine()) changes nothing in this program.

    CMainDialog dialog;
    dialog.DoModal(nullptr);
    platform.mainWindow = nullptr;
    return false;
}

int CVQLALaunchSApp::ShutDown()
{
    if (oleStarted)
        OleUninitialize();
    oleStarted = false;
    const int exitCode = ExitProcessing();
    InstallPlatform(nullptr, nullptr);
    store.reset();
    return exitCode;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    CVQLALaunchSApp app;
    return app.Run(instance);
}
