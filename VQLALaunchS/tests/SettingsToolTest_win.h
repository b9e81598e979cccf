#pragma once
// The fixture of the settings tool's end-to-end tests: a private folder with copies of the
// launcher and the tool side by side (the launcher starts the tool from its own folder),
// menus seeded in the store before the launcher starts, the tool's start and close, and
// what the launcher's menus show.

#include <gtest/gtest.h>

#include <memory>

#include "FakePlatform.h"
#include "LauncherProbe_win.h"
#include "RegistryStore_win.h"
#include "SettingsProbe_win.h"
#include "XNode.h"

inline constexpr auto kStartTimeout = 20s;
inline constexpr auto kEndTimeout = 20s;
inline constexpr UINT kOpenLeftMenu = 32832;
inline constexpr UINT kOpenRightMenu = 32833;
inline constexpr WPARAM kReload = 0x10000000;
inline const std::wstring kWindowPosKey = std::wstring(kProductKey) + L"\\WindowPos";

// The controls of the main dialog.
enum XToolControl : int {
    kUpperList = 1000,
    kLowerList = 1001,
    kUpperTree = 1004,
    kLowerTree = 1005,
    kPalette = 1006,
    kExitPosLeft = 1007,
    kExitPosRight = 1008,
    kExitPosBoth = 1009,
    kSeparate = 1014,
    kUpperCaption = 1015,
    kLowerCaption = 1016,
    kExitPosLabel = 1018,
    kUpperBreadcrumb = 1021,
    kLowerBreadcrumb = 1022,
};
// What only shows while the two clicks have menus of their own.
inline constexpr int kLowerGroup[] = {kLowerCaption, kLowerTree,   kLowerBreadcrumb, kLowerList,
                                      kExitPosLabel, kExitPosLeft, kExitPosRight,    kExitPosBoth};

// Menu nodes for the seeds.
inline CHotKeyTarget CtrlAlt(UINT key, const std::wstring& keyName)
{
    CHotKeyTarget binding;
    binding.modifiers = MOD_CONTROL | MOD_ALT;
    binding.virtualKey = static_cast<int32_t>(key);
    binding.keyText = L"Ctrl + Alt + " + keyName;
    binding.hotKeyId = -1;
    return binding;
}

inline CXItem* NewItem(const std::wstring& title, const std::wstring& accelerator = L"", const std::wstring& path = L"")
{
    auto* item = new CXItem;
    item->title = title;
    item->accelerator = accelerator;
    item->path = path;
    return item;
}

inline CXTextItem* NewText(const std::wstring& title, const std::wstring& summary, const std::wstring& text)
{
    auto* item = new CXTextItem;
    item->title = title;
    item->summary = summary;
    item->text = text;
    return item;
}

inline CXParent* NewSubmenu(const std::wstring& title, std::initializer_list<CXNode*> children)
{
    auto* submenu = new CXParent;
    submenu->title = title;
    for (CXNode* child : children)
        submenu->InsertChild(submenu->children.size(), child);
    return submenu;
}

// Stores a menu ("MenuData_1" with id 1 or "MenuData_2" with id 2) with the core's own code.
inline bool SaveMenu(const wchar_t* name, std::initializer_list<CXNode*> children)
{
    CXRoot root(name, name == std::wstring(kLeftMenuName) ? 1 : 2);
    for (CXNode* child : children)
        root.InsertChild(root.children.size(), child);
    return root.Save();
}

// The stored menu as the core reads it back; empty (no children) when it cannot be read.
inline std::unique_ptr<CXRoot> StoredMenu(const wchar_t* name)
{
    auto root = std::make_unique<CXRoot>(name, name == std::wstring(kLeftMenuName) ? 1 : 2);
    root->Load();
    return root;
}

// The titles of a stored menu's top level as the stored records hold them.
inline std::vector<std::wstring> StoredTitles(const wchar_t* name)
{
    std::vector<std::wstring> titles;
    const auto root = StoredMenu(name);
    for (CXNode* child : root->children) {
        if (auto* item = XDynamicCast<CXItem>(child))
            titles.push_back(item->title);
        else if (auto* submenu = XDynamicCast<CXParent>(child))
            titles.push_back(submenu->title);
        else
            titles.push_back(child->GetTitle());
    }
    return titles;
}

// A file with these bytes, made anew.
inline bool WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

// A whole file's bytes; false when it cannot be read.
inline bool ReadFileBytes(const std::wstring& path, std::vector<uint8_t>& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes.resize(static_cast<size_t>(GetFileSize(file, nullptr)));
    DWORD read = 0;
    const bool ok = bytes.empty() || ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    return ok && read == bytes.size();
}

// A picture of an open menu: its size and its pixels.
struct CMenuPicture {
    LONG width = 0;
    LONG height = 0;
    std::vector<uint32_t> pixels;
    bool operator==(const CMenuPicture&) const = default;
};

// The system's names of the keys joined as the hotkey field shows a combination (Windows
// says "Ctrl", Wine "Control").
inline std::wstring Combination(std::initializer_list<UINT> keys)
{
    std::wstring text;
    for (UINT key : keys) {
        wchar_t name[64] = {};
        GetKeyNameTextW(static_cast<LONG>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC) << 16), name, 64);
        text += (text.empty() ? L"" : L" + ") + std::wstring(name);
    }
    return text;
}

inline void PostKey(HWND window, UINT key)
{
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

class SettingsToolTest : public testing::Test {
protected:
    void SetUp() override
    {
        KillRunningTool();
        KillRunningLauncher();
        CleanLauncherUserState();
        launcher = folder.File(kLauncherFile);
        tool = folder.File(kSettingsToolFile);
        for (const wchar_t* name : {kLauncherFile, kSettingsToolFile})
            ASSERT_TRUE(CopyFileW((FolderOfThisProgram() + L"\\" + name).c_str(), folder.File(name).c_str(), FALSE));
        // The menus are stored and read back here with the core's own code.
        InstallPlatform(&platform, &store);
    }
    void TearDown() override
    {
        KillRunningTool();
        KillRunningLauncher();
        InstallPlatform(nullptr, nullptr);
        CleanLauncherUserState();
    }

    // A launcher without first-start questions and foreground clicks, its menus drawn by
    // the system, started with what the store holds.
    HWND StartLauncher()
    {
        WriteDword(kSettingsKey, L"H_Initialized", 1);
        WriteDword(kSettingsKey, L"ShowInternalLinks", 0);
        WriteDword(kSettingsKey, L"Win10Workaround", 0);
        WriteDword(kSettingsKey, L"Win10WorkaroundX", 0);
        WriteDword(kSettingsKey, L"DrawType", 3);
        launcherProcess = CProcess::Start(launcher, L"");
        launcherWindow = WaitForLauncherWindow(kStartTimeout);
        return launcherWindow;
    }
    void ExitLauncher()
    {
        CProcess second = CProcess::Start(launcher, L"/exit");
        EXPECT_TRUE(second.WaitForExit(kEndTimeout));
        EXPECT_TRUE(launcherProcess.WaitForExit(kEndTimeout));
        EXPECT_TRUE(WaitForBlockGone(5s));
    }
    // A tool started and showing its dialog, its views filled; null when no dialog showed.
    HWND StartTool(CProcess& process)
    {
        process = CProcess::Start(tool, L"");
        HWND dialog = WaitForToolDialog(process.Id(), kStartTimeout);
        if (dialog)
            RoundTrip(dialog);
        return dialog;
    }
    void CloseTool(CProcess& process, HWND dialog)
    {
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(process.WaitForExit(kEndTimeout));
    }
    // Makes the launcher read the stored menus again, as the tool's saves do.
    void ReloadLauncher()
    {
        LRESULT result = 0;
        ASSERT_TRUE(SendLauncher(launcherWindow, kReload, 0x33, result));
    }

    // The menu the launcher opens on a command, once drawn completely; closed again.
    CMenuPicture MenuPicture(UINT command)
    {
        CMenuPicture picture;
        HWND menu = OpenMenu(command);
        if (!menu)
            return picture;
        RECT r = {};
        GetWindowRect(menu, &r);
        picture.width = r.right - r.left;
        picture.height = r.bottom - r.top;
        std::vector<uint32_t> previous;
        PollFor(5s, [&] {
            previous = std::move(picture.pixels);
            picture.pixels = CaptureScreen(r);
            return !picture.pixels.empty() && picture.pixels == previous;
        });
        PostKey(menu, VK_ESCAPE);
        PollFor(10s, [] { return VisibleMenuWindows().empty(); });
        RoundTrip(launcherWindow);
        return picture;
    }
    // Chooses the first entry of the menu the launcher opens on a command: the text of a
    // text item there reaches the clipboard.
    std::wstring TextOfFirstEntry(UINT command)
    {
        EmptyClipboardOfEveryone();
        HWND menu = OpenMenu(command);
        if (!menu)
            return L"(no menu)";
        PostKey(menu, VK_DOWN);
        Sleep(150);
        PostKey(menu, VK_RETURN);
        PollFor(10s, [] { return VisibleMenuWindows().empty(); });
        std::wstring text;
        PollFor(5s, [&] { return !(text = ClipboardText()).empty(); });
        RoundTrip(launcherWindow);
        return text;
    }

    CTestFolder folder;
    std::wstring launcher;
    std::wstring tool;
    CProcess launcherProcess;
    HWND launcherWindow = nullptr;
    CFakePlatform platform;
    CRegistryStore store{XIntReading::Lenient};

private:
    HWND OpenMenu(UINT command)
    {
        PostMessageW(launcherWindow, WM_COMMAND, command, 0);
        HWND menu = nullptr;
        PollFor(10s, [&] {
            const auto windows = VisibleMenuWindows();
            menu = windows.empty() ? nullptr : windows.front();
            return menu != nullptr;
        });
        return menu;
    }
};
