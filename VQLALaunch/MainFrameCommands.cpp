// The launcher's own commands: tools, shell folders, web page, refresh, exit and restart.
#include "MainFrame.h"

#include <shellapi.h>
#include <shlobj.h>

#include "Ids.h"
#include "ItemText.h"
#include "SkipRecursive.h"
#include "VQLALaunchApp.h"

namespace {
const wchar_t kSettingsToolFile[] = L"Velquinランチャー設定ツール.exe";
const wchar_t kCustomizerFile[] = L"Velquinランチャーカスタマイズツール.exe";
const wchar_t kHomePage[] = L"https://velquin.example/launcher/";
const wchar_t kVersionText[] = L"3.2.0.0";
const wchar_t kCloseWindowsFirst[] = L"Velquinランチャーのウィンドウを閉じてから行ってください。";
} // namespace

LRESULT CMainFrame::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // Commands come from menus and accelerators (codes 0 and 1), and from other programs
    // through the registered message with lParam 0. Control notifications carry other codes.
    const unsigned code = HIWORD(wParam);
    if (code > 1 && lParam != 0)
        return Default(WM_COMMAND, wParam, lParam);
    if (!RunCommand(LOWORD(wParam)))
        return Default(WM_COMMAND, wParam, lParam);
    return 0;
}

bool CMainFrame::RunCommand(unsigned id)
{
    switch (id) {
    case ID_SETTINGS:
        OnSettings();
        return true;
    case ID_CUSTOMIZE:
        OnCustomize();
        return true;
    case ID_OPEN_START_MENU_USER:
        OnOpenKnownFolder(FOLDERID_StartMenu);
        return true;
    case ID_OPEN_START_MENU_COMMON:
        OnOpenKnownFolder(FOLDERID_CommonStartMenu);
        return true;
    case ID_OPEN_STARTUP_USER:
        OnOpenKnownFolder(FOLDERID_Startup);
        return true;
    case ID_OPEN_STARTUP_COMMON:
        OnOpenKnownFolder(FOLDERID_CommonStartup);
        return true;
    case ID_HOME_PAGE:
        OnHomePage();
        return true;
    case ID_REFRESH:
        OnRefresh();
        return true;
    case ID_APP_EXIT:
        OnAppExit();
        return true;
    case ID_RESTART:
        OnRestart();
        return true;
    case ID_FORCE_CLOSE:
        OnForceClose();
        return true;
    case ID_DELETE_SETTINGS_AND_CLOSE:
        OnDeleteSettingsAndClose();
        return true;
    case ID_FORCE_OPEN_MENU_LEFT:
        RequestMenu(true, false);
        return true;
    case ID_FORCE_OPEN_MENU_RIGHT:
        RequestMenu(true, true);
        return true;
    default:
        return false;
    }
}

void CMainFrame::StartProgramBeside(const wchar_t* fileName)
{
    // The tools make sure themselves that only one of each runs.
    const std::wstring path = JoinPath(App().moduleFolder, fileName);
    ShellExecuteW(nullptr, nullptr, path.c_str(), nullptr, nullptr, SW_SHOW);
}

void CMainFrame::OnSettings()
{
    CSkipRecursiveObject guard(settingsGuard);
    if (guard.IsFirst())
        StartProgramBeside(kSettingsToolFile);
}

void CMainFrame::OnCustomize()
{
    CSkipRecursiveObject guard(customizeGuard);
    if (guard.IsFirst())
        StartProgramBeside(kCustomizerFile);
}

void CMainFrame::OnOpenKnownFolder(const KNOWNFOLDERID& folder)
{
    PWSTR path = nullptr;
    HRESULT hr = SHGetKnownFolderPath(folder, 0, nullptr, &path);
    CCoTaskMemHandle owned(path);
    if (FAILED(hr) || !path)
        return;
    ShellExecuteW(nullptr, nullptr, path, nullptr, nullptr, SW_SHOW);
}

void CMainFrame::OnHomePage()
{
    CSkipRecursiveObject guard(homePageGuard);
    if (!guard.IsFirst())
        return;
    const std::wstring address = std::wstring(kHomePage) + L"?ver=" + kVersionText;
    ShellExecuteW(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOW);
}

void CMainFrame::OnRefresh()
{
    CSkipRecursiveObject guard(refreshGuard);
    if (guard.IsFirst())
        refreshPending = 1;
}

HWND CMainFrame::BringOwnPopupForward()
{
    HWND popup = GetLastActivePopup(Handle());
    if (!popup || popup == Handle())
        return nullptr;
    SetForegroundWindow(popup);
    MessageBeep(0xFFFFFFFF); // the simple beep
    return popup;
}

void CMainFrame::OnAppExit()
{
    if (BringOwnPopupForward())
        return;
    Destroy();
}

void CMainFrame::OnRestart()
{
    if (HWND popup = BringOwnPopupForward()) {
        MessageBoxW(popup, kCloseWindowsFirst, kAppName, MB_OK);
        return;
    }
    // The new launcher waits until this one has given up its instance block.
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOASYNC;
    info.lpFile = App().modulePath.c_str();
    info.lpParameters = L"/restart";
    info.nShow = SW_SHOW;
    ShellExecuteExW(&info);
    Destroy();
}

void CMainFrame::OnForceClose()
{
    BringOwnPopupForward();
    Destroy();
}

void CMainFrame::OnDeleteSettingsAndClose()
{
    App().cleanupRequested = 1;
    OnForceClose();
}
