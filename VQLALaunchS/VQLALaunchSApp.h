#pragma once
// The settings tool's application object: start-up checks, the data folders, the store and
// the modal run of the main dialog.

#include <windows.h>

#include <memory>
#include <string>

#include "ImageListMan_win.h"
#include "LauncherProtocol.h"
#include "Platform_win.h"
#include "RegistryStore_win.h"
#include "XWinApp.h"

inline constexpr wchar_t kToolAppName[] = L"Velquinランチャー設定";
inline constexpr wchar_t kToolAppUserModelId[] = L"Velquin.AppID.NoVersion";
inline constexpr wchar_t kToolVersion[] = L"3.2.0.0";
inline constexpr wchar_t kMessageNoLauncher[] = L"常駐部と通信できません。";

// The number of "OfficeKestrahl_Velquin_Message" in this process.
extern UINT launcherMessage;

// The platform of the tool: a saved menu tells the launcher to reload it.
class CToolPlatform : public CWin32Platform {
public:
    void NotifyTreeSaved(const CXRoot& root) override;
};

class CVQLALaunchSApp : public CXWinApp {
public:
    CVQLALaunchSApp();
    ~CVQLALaunchSApp() override;

    bool StartUp() override;
    int ShutDown() override;

    // The owner of the program's message boxes and clipboard (the main dialog).
    void SetMessageOwner(HWND window) { platform.mainWindow = window; }
    HWND MessageOwner() const { return platform.mainWindow; }

    bool isWindows10OrLater = false;
    std::wstring moduleFolder;
    std::wstring modulePath;
    std::wstring registryKeyName;
    std::wstring localAppDataFolder;
    std::wstring vendorDataFolder;
    std::wstring productDataFolder;
    std::wstring linksFolder;
    int showInternalLinks = 0;
    // Set when the main dialog receives WM_CLOSE; an editing dialog that returns afterwards
    // leaves its results alone.
    bool closingRequested = false;
    std::wstring instanceMappingName;
    // RegisterScaleChangeEvent of Shcore.dll, where the system has it (Windows 10 and later).
    FARPROC scaleChangeProbe = nullptr;
    CImageListMan imageListMan;

private:
    bool StartLibraries();
    void OpenStore();
    void ReadModulePath();
    void MakeDataFolders();
    void ApplyShowInternalLinks();

    std::unique_ptr<CRegistryStore> store;
    CToolPlatform platform;
    bool oleStarted = false;
};

CVQLALaunchSApp& App();
