// The launcher end to end: real launcher processes started from a private folder, driven
// and observed through the instance block, the registered message, the registry, files
// and their message boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "LauncherProbe_win.h"
#include "MenuStore.h"
#include "WinHandles.h"
#include "XNode.h"

namespace {
const wchar_t kCorruptMessage[] = L"設定データが破損しています。";
const wchar_t kOtherProductKey[] = L"Software\\OfficeKestrahl\\OtherProduct";
constexpr auto kStartTimeout = 20s;
constexpr auto kEndTimeout = 20s;

// Stands in for a running launcher: owns the instance block with a window of this test that
// records every registered message it receives.
class CFakeRunningLauncher {
public:
    CFakeRunningLauncher()
    {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VQLALaunchTestFakeLauncher";
        RegisterClassExW(&wc);
        window = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                                 nullptr);
        block.reset(
            CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 8, L"OfficeKestrahl_Velquin_FM"));
        CMappedViewHandle view(MapViewOfFile(block.get(), FILE_MAP_ALL_ACCESS, 0, 0, 8));
        const uint64_t value = reinterpret_cast<uintptr_t>(window);
        memcpy(view.get(), &value, sizeof(value));
        received().clear();
    }
    ~CFakeRunningLauncher() { DestroyWindow(window); }

    void ReleaseBlock() { block.reset(); }
    // The registered messages that arrived so far, as (wParam, lParam).
    std::vector<std::pair<WPARAM, LPARAM>> Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        return received();
    }

private:
    static std::vector<std::pair<WPARAM, LPARAM>>& received()
    {
        static std::vector<std::pair<WPARAM, LPARAM>> list;
        return list;
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == LauncherMessage()) {
            received().emplace_back(wParam, lParam);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window = nullptr;
    CKernelHandle block;
};

class LauncherTest : public testing::Test {
protected:
    void SetUp() override
    {
        KillRunningLauncher();
        CleanLauncherUserState();
        launcher = folder.File(kLauncherFile);
        ASSERT_TRUE(CopyFileW((FolderOfThisProgram() + L"\\" + kLauncherFile).c_str(), launcher.c_str(), FALSE));
    }
    void TearDown() override
    {
        KillRunningLauncher();
        SetEnvironmentVariableW(L"VelquinUninstall", nullptr);
        CleanLauncherUserState();
    }

    CProcess Start(const std::wstring& arguments = L"") { return CProcess::Start(launcher, arguments); }
    // A first launcher, started and published.
    HWND StartFirst(CProcess& process)
    {
        process = Start();
        return WaitForLauncherWindow(kStartTimeout);
    }
    // Ends a launcher through a second start with "/exit".
    void ExitThroughSecondStart(CProcess& first)
    {
        CProcess second = Start(L"/exit");
        EXPECT_TRUE(second.WaitForExit(kEndTimeout));
        EXPECT_TRUE(first.WaitForExit(kEndTimeout));
        EXPECT_TRUE(WaitForBlockGone(5s));
    }

    CTestFolder folder;
    std::wstring launcher;
};

// A stored left tree with one item bound to a hotkey id, in the launcher's own archive form.
std::vector<uint8_t> TreeWithBoundItem()
{
    CXRoot root(kLeftMenuName, 1);
    auto* item = new CXItem;
    item->title = L"メモ帳";
    item->path = L"C:\\Windows\\notepad.exe";
    item->hotKey.modifiers = 2;
    item->hotKey.virtualKey = 'Q';
    item->hotKey.keyText = L"Ctrl + Q";
    item->hotKey.hotKeyId = 7;
    root.InsertChild(0, item);
    return WriteTreeArchive(root).value();
}

TEST_F(LauncherTest, FirstStartPublishesItsWindowAndPreparesStoreAndFolders)
{
    CProcess first;
    HWND window = StartFirst(first);
    ASSERT_NE(window, nullptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(owner, first.Id());
    EXPECT_FALSE(IsWindowVisible(window));

    EXPECT_TRUE(KeyExists(kSettingsKey));
    DWORD value = 99;
    EXPECT_TRUE(ReadDword(kSettingsKey, L"H_Initialized", value));
    EXPECT_EQ(value, 1u);
    value = 99;
    EXPECT_TRUE(ReadDword(kSettingsKey, L"ShowInternalLinks", value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(FolderExists(ProductDataFolder() + L"\\LNKs"));

    // Reload requests answer 1, whatever the flags.
    for (LPARAM flags : {0x33, 0x01, 0x02, 0x10, 0x20, 0x00}) {
        LRESULT result = 0;
        ASSERT_TRUE(SendLauncher(window, 0x10000000, flags, result));
        EXPECT_EQ(result, 1) << flags;
    }
    ExitThroughSecondStart(first);
    EXPECT_EQ(first.ExitCode(), 0u);
    // An ordinary exit keeps the settings.
    EXPECT_TRUE(KeyExists(kSettingsKey));
}

TEST_F(LauncherTest, FirstStartTakesOverTheEarlierEditionsKey)
{
    const std::wstring old = L"Software\\OfficeKestrahl\\VQLALaunch";
    WriteDword(old + L"\\Settings", L"Separate", 1);
    WriteDword(old + L"\\Settings", L"MenuPos", 0);
    WriteDword(old + L"\\WindowPos", L"Left", 123);

    CProcess first;
    ASSERT_NE(StartFirst(first), nullptr);
    DWORD value = 99;
    EXPECT_TRUE(ReadDword(kSettingsKey, L"Separate", value));
    EXPECT_EQ(value, 1u);
    EXPECT_TRUE(ReadDword(kSettingsKey, L"MenuPos", value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(ReadDword(std::wstring(kProductKey) + L"\\WindowPos", L"Left", value));
    EXPECT_EQ(value, 123u);
    EXPECT_TRUE(ReadDword(kSettingsKey, L"H_Initialized", value));
    EXPECT_EQ(value, 1u);
    // The old key is only read.
    EXPECT_TRUE(ReadDword(old + L"\\Settings", L"Separate", value));
    ExitThroughSecondStart(first);
}

TEST_F(LauncherTest, SecondStartPostsTheCommandOfItsSwitchAndLeavesTheStoreAlone)
{
    struct Case {
        const wchar_t* arguments;
        WPARAM command; // 0: nothing posted
    };
    const Case cases[] = {
        {L"/exit", 32826},
        {L"/cleanup", 32828},
        {L"/setting", 32772},
        {L"/leftmenu", 32832},
        {L"/rightmenu", 32833},
        {L"/setting /exit", 32826},
        {L"/rightmenu /leftmenu", 32832},
        {L"/exitnow", 32826},
        {L"", 0},
        {L"/Exit", 0},
        {L"/SETTING", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.arguments)));
        CleanLauncherUserState();
        WriteDword(kSettingsKey, L"H_Initialized", 1);
        WriteDword(kSettingsKey, L"ShowInternalLinks", 0);
        WriteBinary(kSettingsKey, L"MenuData_1_v3", TreeWithBoundItem());
        const CRegistrySnapshot before = SnapshotRegistry(kVendorKey);

        CFakeRunningLauncher running;
        CProcess second = Start(c.arguments);
        ASSERT_TRUE(second.WaitForExit(kEndTimeout));
        EXPECT_EQ(second.ExitCode(), 0u);
        const auto received = running.Pump();
        if (c.command) {
            ASSERT_EQ(received.size(), 1u);
            EXPECT_EQ(received[0].first, c.command);
            EXPECT_EQ(received[0].second, 0);
        } else {
            EXPECT_TRUE(received.empty());
        }
        if (c.command == 32828) {
            // The second start cleans up after itself too.
            EXPECT_FALSE(KeyExists(kVendorKey));
        } else {
            // Nothing loaded, registered or saved: the running launcher's stored ids stay.
            EXPECT_EQ(SnapshotRegistry(kVendorKey), before);
        }
    }
}

TEST_F(LauncherTest, ExitFromASecondStartEndsTheRunningLauncher)
{
    CProcess first;
    ASSERT_NE(StartFirst(first), nullptr);
    ExitThroughSecondStart(first);
    EXPECT_EQ(first.ExitCode(), 0u);
}

TEST_F(LauncherTest, FirstStartWithExitPublishesAndEnds)
{
    CProcess only = Start(L"/exit");
    ASSERT_TRUE(only.WaitForExit(kEndTimeout));
    EXPECT_EQ(only.ExitCode(), 0u);
    EXPECT_FALSE(LauncherBlockExists());
    // No clean-up without "/cleanup".
    EXPECT_TRUE(KeyExists(kSettingsKey));
}

TEST_F(LauncherTest, SettingStartsTheSettingsToolBesideTheLauncher)
{
    const std::wstring tool = folder.File(kSettingsToolFile);
    ASSERT_TRUE(CopyFileW((FolderOfThisProgram() + L"\\launcher_stand_in.exe").c_str(), tool.c_str(), FALSE));
    const std::wstring marker = tool + L".ran";

    CProcess first;
    HWND window = StartFirst(first);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(FileExists(marker));
    // Through the registered message only the whole value is a command: these carry the
    // settings command (32772 = 0x8004) in their low 16 bits and start nothing.
    for (WPARAM wParam : {WPARAM(0x20008004), WPARAM(0x00018004), (WPARAM(1) << 32) | 0x8004}) {
        LRESULT result = 0;
        EXPECT_TRUE(SendLauncher(window, wParam, 0, result));
    }
    Sleep(1500);
    EXPECT_FALSE(FileExists(marker));
    CProcess second = Start(L"/setting");
    EXPECT_TRUE(second.WaitForExit(kEndTimeout));
    bool started = false;
    for (int i = 0; i < 200 && !started; ++i, Sleep(50))
        started = FileExists(marker);
    EXPECT_TRUE(started);
    EXPECT_TRUE(first.IsRunning());
    DeleteFileW(marker.c_str());

    // "/exit" is searched first: the launcher ends and the tool is not started.
    CProcess third = Start(L"/setting /exit");
    EXPECT_TRUE(third.WaitForExit(kEndTimeout));
    EXPECT_TRUE(first.WaitForExit(kEndTimeout));
    Sleep(500);
    EXPECT_FALSE(FileExists(marker));
}

TEST_F(LauncherTest, CleanupRemovesTheProductButNotOtherProducts)
{
    WriteDword(kOtherProductKey, L"Kept", 5);
    CProcess first;
    ASSERT_NE(StartFirst(first), nullptr);
    // Something of the user's in the data folder, nested.
    const std::wstring links = ProductDataFolder() + L"\\LNKs";
    CreateDirectoryW((links + L"\\sub").c_str(), nullptr);
    HANDLE file =
        CreateFileW((links + L"\\sub\\{X}.lnk").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);

    CProcess second = Start(L"/cleanup");
    EXPECT_TRUE(second.WaitForExit(kEndTimeout));
    EXPECT_TRUE(first.WaitForExit(kEndTimeout));
    EXPECT_FALSE(KeyExists(kProductKey));
    DWORD value = 0;
    EXPECT_TRUE(ReadDword(kOtherProductKey, L"Kept", value));
    EXPECT_EQ(value, 5u);
    EXPECT_FALSE(FolderExists(ProductDataFolder()));
}

TEST_F(LauncherTest, VelquinUninstallNoKeepsEverythingAtCleanup)
{
    struct Case {
        const wchar_t* value; // null: not set
        bool kept;
    };
    const Case cases[] = {{L"NO", true},   {L"no", true},   {L"nO", true},
                          {L"yes", false}, {L"NO ", false}, {nullptr, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? testing::PrintToString(std::wstring(c.value)) : "not set");
        CleanLauncherUserState();
        SetEnvironmentVariableW(L"VelquinUninstall", c.value);
        CProcess only = Start(L"/cleanup");
        ASSERT_TRUE(only.WaitForExit(kEndTimeout));
        EXPECT_EQ(KeyExists(kSettingsKey), c.kept);
        EXPECT_EQ(FolderExists(ProductDataFolder() + L"\\LNKs"), c.kept);
        if (!c.kept) {
            // The vendor key and folder go too when nothing else is in them.
            EXPECT_FALSE(KeyExists(kVendorKey));
            EXPECT_FALSE(FolderExists(VendorDataFolder()));
        }
    }
    SetEnvironmentVariableW(L"VelquinUninstall", nullptr);

    // The running launcher told to clean up obeys its own environment.
    SetEnvironmentVariableW(L"VelquinUninstall", L"no");
    CProcess first;
    ASSERT_NE(StartFirst(first), nullptr);
    SetEnvironmentVariableW(L"VelquinUninstall", nullptr);
    HWND window = WaitForLauncherWindow(1s);
    PostMessageW(window, LauncherMessage(), 32828, 0);
    EXPECT_TRUE(first.WaitForExit(kEndTimeout));
    EXPECT_TRUE(KeyExists(kSettingsKey));
    EXPECT_TRUE(FolderExists(ProductDataFolder()));
}

TEST_F(LauncherTest, CorruptMenuArchiveIsReportedAndTheLauncherRunsWithAnEmptyTree)
{
    WriteDword(kSettingsKey, L"H_Initialized", 1);
    const std::vector<uint8_t> corrupt = {0x00, 0x01, 0xFF, 0xFE, 0xFF, 0x09, 'C', 0x00};
    WriteBinary(kSettingsKey, L"MenuData_1_v3", corrupt);
    CProcess first = Start();
    CFoundBox box = WaitForMessageBox(first.Id(), kStartTimeout);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, kCorruptMessage);
    DismissMessageBox(box.window);

    HWND window = WaitForLauncherWindow(kStartTimeout);
    ASSERT_NE(window, nullptr);
    LRESULT result = 0;
    ASSERT_TRUE(SendLauncher(window, 0x10000000, 0x10, result));
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(first.IsRunning());
    EXPECT_TRUE(FindMessageBoxes(first.Id()).empty());
    // The empty tree is what the launcher stored back.
    CXRoot empty(kLeftMenuName, 1);
    const auto stored = SnapshotRegistry(kSettingsKey);
    ASSERT_EQ(stored.count(L"|MenuData_1_v3"), 1u);
    EXPECT_EQ(stored.at(L"|MenuData_1_v3").data, WriteTreeArchive(empty).value());
    // The bytes it could not read are kept beside it, for salvaging.
    ASSERT_EQ(stored.count(L"|MenuData_1_corrupt"), 1u);
    EXPECT_EQ(stored.at(L"|MenuData_1_corrupt").data, corrupt);
    EXPECT_EQ(stored.count(L"|MenuData_2_corrupt"), 0u);
    ExitThroughSecondStart(first);
}

TEST_F(LauncherTest, HostileMessagesLeaveItRunningAndTheStoreUnchanged)
{
    CProcess first;
    // 32832 and 32833 open real menus under the flood; without the foreground clicks every
    // request stays short.
    WriteDword(kSettingsKey, L"Win10Workaround", 0);
    WriteDword(kSettingsKey, L"Win10WorkaroundX", 0);
    HWND window = StartFirst(first);
    ASSERT_NE(window, nullptr);
    Sleep(500);
    const CRegistrySnapshot before = SnapshotRegistry(kVendorKey);

    // Commands that end the launcher, restart it or start other programs are left out;
    // everything else goes, ids of the launcher's commands included.
    const WORD excluded[] = {32773, 32821, 32826, 32828, 32772, 32819, 32813, 32815, 32816, 32817, 32822};
    auto allowed = [&](WPARAM wParam) {
        for (WORD id : excluded)
            if (LOWORD(wParam) == id)
                return false;
        return true;
    };
    std::mt19937 random(20240611);
    const WPARAM interesting[] = {0x10000000, 0x10000001, 0x10000002, 32798, 32832, 32833, 0, 1, 0xFFFFFFFF};
    int sent = 0;
    while (sent < 12000) {
        WPARAM wParam = (random() % 3 == 0) ? interesting[random() % std::size(interesting)] : WPARAM(random());
        LPARAM lParam = (random() % 2) ? LPARAM(random()) : LPARAM(random() % 0x40);
        UINT message = 0;
        switch (sent % 4) {
        case 0:
            message = WM_COMMAND;
            lParam = 0;
            break;
        case 1:
            message = LauncherMessage();
            break;
        case 2:
            // Hotkey ids (this launcher has no bindings, so none is registered): negative,
            // zero, small, large and wider than an int.
            message = WM_HOTKEY;
            if (random() % 2)
                wParam = WPARAM(int(random() % 64) - 8);
            else if (random() % 4 == 0)
                wParam = (WPARAM(random()) << 32) | (random() % 64);
            break;
        case 3:
            // A registered message whose value holds a command id with anything above it,
            // the commands that would end the launcher or start programs included: only the
            // whole value is a command, so none of them may act.
            message = LauncherMessage();
            wParam = WPARAM(excluded[random() % std::size(excluded)]) | (WPARAM(1 + random() % 0xFFFF) << 16);
            if (random() % 4 == 0)
                wParam = WPARAM(excluded[random() % std::size(excluded)]) | (WPARAM(1 + random() % 0xFF) << 32);
            break;
        }
        // Whole command ids (the first two kinds) leave out what would end the launcher.
        if (sent % 4 < 2 && !allowed(wParam))
            continue;
        DWORD_PTR reply = 0;
        ASSERT_TRUE(SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 10000, &reply))
            << "message " << sent;
        ++sent;
    }
    EXPECT_TRUE(first.IsRunning());
    LRESULT result = 0;
    ASSERT_TRUE(SendLauncher(window, 0x10000000, 0x33, result));
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(FindMessageBoxes(first.Id()).empty());
    EXPECT_EQ(SnapshotRegistry(kVendorKey), before);
    ExitThroughSecondStart(first);
}

struct CFrameSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindFrameWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<CFrameSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (owner == search->processId && std::wstring(name) == L"VQLALaunchMainFrame") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The hidden main window a launcher process has made so far, if any.
HWND FrameWindowOf(DWORD processId)
{
    CFrameSearch search = {processId, nullptr};
    EnumWindows(FindFrameWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A launcher that ends while a second one starts: the second either carries its command to
// the one that ran and ends, or it becomes a whole launcher (its trees loaded and stored);
// never a launcher holding the block with a window that loaded nothing.
TEST_F(LauncherTest, ALauncherEndingWhileAnotherStartsLeavesNoHollowLauncher)
{
    using namespace std::chrono;
    // One round: the running launcher lets go of its block `delay` after the second start.
    int tookOver = 0;
    auto round = [&](milliseconds delay) {
        SCOPED_TRACE(delay.count());
        CleanLauncherUserState();
        CFakeRunningLauncher old;
        CProcess second = Start(L"/leftmenu");
        Sleep(static_cast<DWORD>(delay.count()));
        old.ReleaseBlock();
        if (second.WaitForExit(3s)) {
            EXPECT_EQ(old.Pump(), (std::vector<std::pair<WPARAM, LPARAM>>{{32832, 0}}));
            EXPECT_FALSE(LauncherBlockExists());
            return;
        }
        ++tookOver;
        HWND window = WaitForLauncherWindow(kStartTimeout);
        ASSERT_NE(window, nullptr);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        EXPECT_EQ(owner, second.Id());
        EXPECT_TRUE(old.Pump().empty());
        EXPECT_EQ(SnapshotRegistry(kSettingsKey).count(L"|MenuData_1_v3"), 1u) << "a launcher that loaded nothing";
        ExitThroughSecondStart(second);
    };

    // When an undisturbed second start shows its window (or ends unseen): the look at the
    // block comes shortly before, the claim shortly after.
    auto windowSeen = [&] {
        CleanLauncherUserState();
        CFakeRunningLauncher old;
        const auto begin = steady_clock::now();
        CProcess second = Start(L"/leftmenu");
        while (!FrameWindowOf(second.Id()) && second.IsRunning() && steady_clock::now() - begin < kStartTimeout)
            ;
        const auto seen = duration_cast<milliseconds>(steady_clock::now() - begin);
        EXPECT_TRUE(second.WaitForExit(10s));
        return seen;
    };
    std::vector<milliseconds> seen = {windowSeen(), windowSeen(), windowSeen()};
    std::sort(seen.begin(), seen.end());
    const milliseconds shown = std::min(seen[1], milliseconds(2000));

    // Releases in small steps over the latter part of the time up to that moment (a release
    // much earlier only lets the start become the launcher, at a few seconds a round), so that
    // some fall between the start's look at the block and its claim if the two are apart.
    // Start-up times vary, so each step gets a random offset within it.
    std::mt19937 random(20261211);
    constexpr int kStepMs = 6;
    for (auto at = shown * 2 / 5; at < shown + milliseconds(2 * kStepMs); at += milliseconds(kStepMs))
        round(at + milliseconds(random() % kStepMs));
    RecordProperty("took_over", tookOver);
}

TEST_F(LauncherTest, RestartWaitsForTheOldLauncherToLetGo)
{
    {
        CFakeRunningLauncher old;
        CProcess restarted = Start(L"/restart");
        Sleep(1500);
        EXPECT_TRUE(restarted.IsRunning());
        old.ReleaseBlock();
        HWND window = WaitForLauncherWindow(kStartTimeout);
        ASSERT_NE(window, nullptr);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        EXPECT_EQ(owner, restarted.Id());
        EXPECT_TRUE(old.Pump().empty());
        ExitThroughSecondStart(restarted);
    }
    {
        // An old launcher that does not end within 5 seconds: the new one gives up quietly.
        CFakeRunningLauncher old;
        const DWORD start = GetTickCount();
        CProcess restarted = Start(L"/restart");
        ASSERT_TRUE(restarted.WaitForExit(kEndTimeout));
        EXPECT_GE(GetTickCount() - start, 4900u);
        EXPECT_TRUE(old.Pump().empty());
    }
}
} // namespace
