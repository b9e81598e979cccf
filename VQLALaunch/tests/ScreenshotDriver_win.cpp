// Drives one launcher for a picture of its open menu (scripts/screenshots.sh): seeds a
// demonstration menu and the look to draw it with, starts a private copy of the launcher,
// opens the menu through the registered message, walks into a submenu so that selections
// show, prints the screen rectangle the open menus cover as "left top right bottom" and keeps
// them open until the file named on the command line exists (the script has taken its picture).
//
// Usage: launcher_screenshot_driver.exe DRAWTYPE DONEFILE [TEXTUREFILE]
//        launcher_screenshot_driver.exe profile:N DONEFILE   (the look of built-in profile N)
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "LauncherProbe_win.h"
#include "ODMSettings.h"
#include "Profiles.h"
#include "RegistryStore_win.h"
#include "SampleTree.h"
#include "XNode.h"

namespace {
constexpr WPARAM kOpenLeftMenu = 32832;

void PressKey(HWND menuWindow, UINT key)
{
    PostMessageW(menuWindow, WM_KEYDOWN, key, 1);
    PostMessageW(menuWindow, WM_KEYUP, key, 0xC0000001);
    Sleep(250);
}

bool SaveDemonstrationMenu(const std::wstring& launcher)
{
    CXRoot left(kLeftMenuName, 1);
    CXItem* notepad = NewItem(L"メモ帳", L"C:\\windows\\notepad.exe");
    notepad->hotKey.modifiers = MOD_CONTROL | MOD_ALT;
    notepad->hotKey.virtualKey = 'N';
    notepad->hotKey.keyText = L"Ctrl + Alt + N";
    auto* signature = new CXTextItem;
    signature->summary = L"署名を貼り付け";
    signature->text = L"オフィス・ケストラール 営業部\r\n電話 03-0000-0000";
    const std::vector<CXNode*> top = {
        notepad,
        NewItem(L"コマンド プロンプト", L"C:\\windows\\system32\\cmd.exe"),
        new CXSeparator,
        NewSubmenu(L"管理ツール",
                   {NewItem(L"レジストリ エディター", L"C:\\windows\\regedit.exe"),
                    NewItem(L"タスク マネージャー", L"C:\\windows\\system32\\taskmgr.exe"), new CXSeparator,
                    NewSubmenu(L"その他", {NewItem(L"Wine の設定", L"C:\\windows\\system32\\winecfg.exe")})}),
        NewItem(L"Velquinランチャー", launcher.c_str()),
        NewItem(L"Windows フォルダー", L"C:\\windows"),
        new CXSeparator,
        signature,
    };
    for (size_t i = 0; i < top.size(); ++i)
        left.InsertChild(i, top[i]);
    return left.Save();
}

void SeedLook(DWORD drawType, const std::wstring& texture)
{
    WriteDword(kSettingsKey, L"H_Initialized", 1);
    WriteDword(kSettingsKey, L"ShowInternalLinks", 0);
    WriteDword(kSettingsKey, L"ShowHotKey", 1);
    // The synthesised clicks of the foreground workaround would land on the picture.
    WriteDword(kSettingsKey, L"Win10Workaround", 0);
    WriteDword(kSettingsKey, L"Win10WorkaroundX", 0);
    WriteDword(kSettingsKey, L"DrawType", drawType);
    // A face every Japanese system has; the session maps it to IPAPGothic.
    WriteString(kSettingsKey, L"OwnerDrawFontName", L"MS UI Gothic");
    WriteDword(kSettingsKey, L"OwnerDrawFontSize", 100);
    WriteDword(kSettingsKey, L"OwnerDrawPadding", 2);
    WriteDword(kSettingsKey, L"OwnerDrawHighlightEdge", 2);
    WriteDword(kSettingsKey, L"CustomCOlorHighlightEdge", 0x3C9BE8);
    if (!texture.empty()) {
        WriteDword(kSettingsKey, L"OwnerDrawUseTexture", 1);
        WriteString(kSettingsKey, L"OwnerDrawTextureFile", texture);
        WriteDword(kSettingsKey, L"OwnerDrawAlphaHighlight", 160);
    }
}

// A built-in profile as the customizer loads it, in the pictures' font.
void SeedProfile(size_t index)
{
    SeedLook(kDrawCustomColor, L"");
    CRegistryStore store{XIntReading::Strict};
    SaveODMSettings(store, BuiltInProfiles()[index].settings);
    WriteString(kSettingsKey, L"OwnerDrawFontName", L"MS UI Gothic");
    WriteDword(kSettingsKey, L"OwnerDrawFontSize", 100);
    WriteDword(kSettingsKey, L"OwnerDrawPadding", 2);
}

int Fail(const char* what)
{
    std::fprintf(stderr, "screenshot driver: %s\n", what);
    std::fflush(stderr);
    return 1;
}

int Run(const std::wstring& look, const std::wstring& doneFile, const std::wstring& texture)
{
    CTestFolder folder;
    const std::wstring launcher = folder.File(kLauncherFile);
    if (!CopyFileW((FolderOfThisProgram() + L"\\" + kLauncherFile).c_str(), launcher.c_str(), FALSE))
        return Fail("the launcher cannot be copied");
    const std::wstring profilePrefix = L"profile:";
    if (look.starts_with(profilePrefix)) {
        const size_t index = static_cast<size_t>(_wtoi(look.c_str() + profilePrefix.size()));
        if (index >= BuiltInProfiles().size())
            return Fail("no such built-in profile");
        SeedProfile(index);
    } else {
        SeedLook(static_cast<DWORD>(_wtoi(look.c_str())), texture);
    }
    if (!SaveDemonstrationMenu(launcher))
        return Fail("the menu cannot be saved");

    CProcess process = CProcess::Start(launcher, L"");
    HWND window = WaitForLauncherWindow(20s);
    if (!window)
        return Fail("the launcher did not start");
    // Let the launcher register the hotkey and settle before the menu opens.
    Sleep(1000);
    PostMessageW(window, LauncherMessage(), kOpenLeftMenu, 0);
    HWND menu = nullptr;
    PollFor(10s, [&] {
        const auto windows = VisibleMenuWindows();
        menu = windows.empty() ? nullptr : windows.front();
        return menu != nullptr;
    });
    if (!menu)
        return Fail("no menu appeared");
    // Down to "管理ツール" (the separator is skipped), into it, and onto its second entry.
    for (int i = 0; i < 3; ++i)
        PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RIGHT);
    for (HWND w : VisibleMenuWindows())
        if (w != menu)
            PressKey(w, VK_DOWN);
    Sleep(500);

    RECT all = {};
    for (HWND w : VisibleMenuWindows()) {
        RECT r = {};
        GetWindowRect(w, &r);
        UnionRect(&all, &all, &r);
    }
    std::printf("%ld %ld %ld %ld\n", all.left, all.top, all.right, all.bottom);
    std::fflush(stdout);
    PollFor(60s, [&] { return FileExists(doneFile); });

    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(window, WM_CANCELMODE, 0, 0);
    CProcess exit = CProcess::Start(launcher, L"/exit");
    exit.WaitForExit(20s);
    if (!process.WaitForExit(20s))
        process.Kill();
    return 0;
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return Fail("usage: launcher_screenshot_driver DRAWTYPE|profile:N DONEFILE [TEXTUREFILE]");
    CFakePlatform platform;
    CRegistryStore store{XIntReading::Lenient};
    InstallPlatform(&platform, &store);
    KillRunningLauncher();
    CleanLauncherUserState();
    const int result = Run(argv[1], argv[2], argc > 3 ? argv[3] : L"");
    KillRunningLauncher();
    InstallPlatform(nullptr, nullptr);
    CleanLauncherUserState();
    return result;
}
