// The launcher's global hotkeys end to end: register and unregister requests through the
// registered message, the ids stored at start-up, WM_HOTKEY launching the bound items and
// the corrupt fixed list.
#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "HotKeyList.h"
#include "LauncherProbe_win.h"
#include "RegistryStore_win.h"
#include "WinHandles.h"
#include "XNode.h"

namespace {
constexpr auto kStartTimeout = 20s;
constexpr auto kEndTimeout = 20s;
constexpr WPARAM kRegister = 0x10000001;
constexpr WPARAM kUnregister = 0x10000002;
constexpr LPARAM kModAltControl = MOD_ALT | MOD_CONTROL;

LPARAM Packed(UINT key, LPARAM modifiers = kModAltControl)
{
    return static_cast<LPARAM>(key) << 16 | modifiers;
}

CHotKeyTarget Binding(int key, int staleId)
{
    CHotKeyTarget t;
    t.modifiers = static_cast<int>(kModAltControl);
    t.virtualKey = key;
    t.keyText = L"Ctrl + Alt + " + std::wstring(1, static_cast<wchar_t>(key));
    t.hotKeyId = staleId;
    return t;
}

class LauncherHotKeys : public testing::Test {
protected:
    void SetUp() override
    {
        KillRunningLauncher();
        CleanLauncherUserState();
        launcher = folder.File(kLauncherFile);
        ASSERT_TRUE(CopyFileW((FolderOfThisProgram() + L"\\" + kLauncherFile).c_str(), launcher.c_str(), FALSE));
        // The store and the tree archives are read and written here with the core's own code.
        InstallPlatform(&platform, &store);
    }
    void TearDown() override
    {
        KillRunningLauncher();
        InstallPlatform(nullptr, nullptr);
        CleanLauncherUserState();
    }
    HWND StartFirst()
    {
        process = CProcess::Start(launcher, L"");
        return WaitForLauncherWindow(kStartTimeout);
    }
    void ExitLauncher()
    {
        CProcess second = CProcess::Start(launcher, L"/exit");
        EXPECT_TRUE(second.WaitForExit(kEndTimeout));
        EXPECT_TRUE(process.WaitForExit(kEndTimeout));
        EXPECT_TRUE(WaitForBlockGone(5s));
    }
    uint32_t Send(HWND window, WPARAM wParam, LPARAM lParam)
    {
        LRESULT result = 0x7777;
        EXPECT_TRUE(SendLauncher(window, wParam, lParam, result));
        return static_cast<uint32_t>(result);
    }

    CTestFolder folder;
    std::wstring launcher;
    CProcess process;
    CFakePlatform platform;
    CRegistryStore store{XIntReading::Lenient};
};

} // namespace

TEST_F(LauncherHotKeys, RequestsRegisterWithTheSmallestFreeIdAndRefuseTakenKeys)
{
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(Send(window, kRegister, Packed(VK_F9)), 0xFACE0001u);
    EXPECT_EQ(Send(window, kRegister, Packed(VK_F10)), 0xFACE0002u);
    EXPECT_EQ(Send(window, kRegister, Packed(VK_F11)), 0xFACE0003u);
    // The same combination again cannot be registered.
    EXPECT_EQ(Send(window, kRegister, Packed(VK_F10)), 0u);

    EXPECT_EQ(Send(window, kUnregister, 1), 0u);
    EXPECT_EQ(Send(window, kUnregister, 42), 0u); // unknown: ignored
    EXPECT_EQ(Send(window, kRegister, Packed(VK_F12)), 0xFACE0001u);
    EXPECT_EQ(Send(window, kRegister, Packed(VK_F9)), 0xFACE0004u); // F9 was released with id 1

    // A key the launcher holds cannot be taken by another program until it is released.
    HWND mine = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    EXPECT_FALSE(RegisterHotKey(mine, 1, static_cast<UINT>(kModAltControl), VK_F11));
    EXPECT_EQ(Send(window, kUnregister, 3), 0u);
    EXPECT_TRUE(RegisterHotKey(mine, 1, static_cast<UINT>(kModAltControl), VK_F11));
    // ...and the launcher is refused a key another program holds.
    EXPECT_EQ(Send(window, kRegister, Packed(VK_F11)), 0u);
    UnregisterHotKey(mine, 1);
    DestroyWindow(mine);

    ExitLauncher();
    // The exit released every key.
    HWND after = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    for (UINT key : {VK_F9, VK_F10, VK_F12}) {
        EXPECT_TRUE(RegisterHotKey(after, 1, static_cast<UINT>(kModAltControl), key)) << key;
        UnregisterHotKey(after, 1);
    }
    DestroyWindow(after);
}

TEST_F(LauncherHotKeys, StartUpStoresTheIdsOfTheRunningLauncherAndHotKeysLaunchItems)
{
    // The stand-in program leaves "<its path>.ran" when it runs.
    const std::wstring program = folder.File(L"marker.exe");
    ASSERT_TRUE(CopyFileW((FolderOfThisProgram() + L"\\launcher_stand_in.exe").c_str(), program.c_str(), FALSE));

    CFixedHotKeys fixed;
    fixed[kHotKeyLeftMenu] = Binding('L', 77); // stale ids from an earlier run
    fixed[kHotKeySettings] = Binding('S', 78);
    ASSERT_TRUE(SaveHotKeys(fixed));
    {
        CXRoot left(kLeftMenuName, 1);
        auto* submenu = new CXParent;
        left.InsertChild(0, submenu);
        auto* item = new CXItem;
        item->path = program;
        item->hotKey = Binding('P', 9);
        submenu->InsertChild(0, item);
        auto* text = new CXTextItem;
        text->text = L"ホットキーで貼る文字";
        text->hotKey = Binding('T', -1);
        left.InsertChild(1, text);
        ASSERT_TRUE(left.Save());
        CXRoot right(kRightMenuName, 2);
        auto* rightItem = new CXItem;
        rightItem->path = program;
        rightItem->hotKey = Binding('R', 5);
        right.InsertChild(0, rightItem);
        ASSERT_TRUE(right.Save());
    }
    WriteDword(kSettingsKey, L"Separate", 0);

    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);

    CFixedHotKeys storedFixed;
    ASSERT_TRUE(LoadHotKeys(storedFixed));
    EXPECT_EQ(storedFixed[kHotKeyLeftMenu].hotKeyId, 1);
    EXPECT_EQ(storedFixed[kHotKeySettings].hotKeyId, 2);
    EXPECT_EQ(storedFixed[kHotKeyRightMenu].hotKeyId, -1);
    CXRoot left(kLeftMenuName, 1), right(kRightMenuName, 2);
    ASSERT_TRUE(left.Load());
    ASSERT_TRUE(right.Load());
    CXItem* programItem = FindItemByHotKeyId(left, 3);
    CXItem* textItem = FindItemByHotKeyId(left, 4);
    ASSERT_NE(programItem, nullptr);
    ASSERT_NE(textItem, nullptr);
    EXPECT_EQ(programItem->path, program);
    EXPECT_TRUE(XDynamicCast<CXTextItem>(textItem));
    // One menu for both clicks: the right tree is not registered.
    ASSERT_EQ(right.children.size(), 1u);
    EXPECT_EQ(static_cast<CXItem*>(right.children[0])->hotKey.hotKeyId, -1);
    // The launcher really holds the keys under those ids: the same keys are refused now.
    EXPECT_EQ(Send(window, kRegister, Packed('L')), 0u);
    EXPECT_EQ(Send(window, kRegister, Packed('T')), 0u);
    EXPECT_EQ(Send(window, kRegister, Packed('R')), 0xFACE0005u);

    // A second start leaves the stored ids alone.
    CProcess second = CProcess::Start(launcher, L"");
    EXPECT_TRUE(second.WaitForExit(kEndTimeout));
    CFixedHotKeys afterSecond;
    ASSERT_TRUE(LoadHotKeys(afterSecond));
    EXPECT_EQ(afterSecond, storedFixed);

    EmptyClipboardOfEveryone();
    PostMessageW(window, WM_HOTKEY, 4, MAKELPARAM(kModAltControl, 'T'));
    EXPECT_TRUE(PollFor(10s, [] { return ClipboardText() == L"ホットキーで貼る文字"; }));

    const std::wstring marker = program + L".ran";
    PostMessageW(window, WM_HOTKEY, 3, MAKELPARAM(kModAltControl, 'P'));
    EXPECT_TRUE(PollFor(10s, [&] { return FileExists(marker); }));

    // An id bound to nothing does nothing, and the launcher keeps serving.
    PostMessageW(window, WM_HOTKEY, 99, 0);
    EXPECT_EQ(Send(window, 0x10000000, 0x20), 1u);
    EXPECT_TRUE(FindMessageBoxes(process.Id()).empty());

    // Ids the launcher does not hold: -1 of the records without a key (the right menu's), 0,
    // the stale stored ones, and the left menu's id with higher bits set. No menu opens.
    for (WPARAM id : {static_cast<WPARAM>(-1), WPARAM(0), WPARAM(77), WPARAM(5), (WPARAM(1) << 32) | 1}) {
        PostMessageW(window, WM_HOTKEY, id, 0);
        EXPECT_FALSE(PollFor(1s, [] { return !VisibleMenuWindows().empty(); })) << std::hex << id;
    }
    // The left menu's own id opens it.
    PostMessageW(window, WM_HOTKEY, 1, MAKELPARAM(kModAltControl, 'L'));
    std::vector<HWND> menus;
    EXPECT_TRUE(PollFor(10s, [&] { return !(menus = VisibleMenuWindows()).empty(); }));
    for (HWND menu : menus)
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PollFor(10s, [] { return VisibleMenuWindows().empty(); }));
    ExitLauncher();
}

TEST_F(LauncherHotKeys, CorruptFixedListIsReportedOnceAndReset)
{
    // Count 8, then a record that breaks off in its key text.
    WriteBinary(kSettingsKey, L"HotKey_v3", {0, 8, 0, 0, 0, 0, 2, 0, 0, 0, 0x4C, 0, 0, 0, 0xFF, 0xFE, 0xFF, 9});
    process = CProcess::Start(launcher, L"");
    CFoundBox box = WaitForMessageBox(process.Id(), kStartTimeout);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, L"ホットキー設定が破損しています。");
    DismissMessageBox(box.window);

    HWND window = WaitForLauncherWindow(kStartTimeout);
    ASSERT_NE(window, nullptr);
    Sleep(500);
    EXPECT_TRUE(FindMessageBoxes(process.Id()).empty());
    // Stored again at start-up: eight records without keys.
    CFixedHotKeys stored;
    stored[0] = Binding('X', 3);
    ASSERT_TRUE(LoadHotKeys(stored));
    EXPECT_EQ(stored, CFixedHotKeys{});
    EXPECT_TRUE(platform.messages.empty());
    ExitLauncher();
}
