// The detailed settings dialog end to end, with the real launcher and the real tool: the
// boxes and the effort edit write their values under this system's names and make the
// launcher reload, the accelerator reaches the launcher's next menu (an empty one too),
// opening and closing without a change writes and sends nothing, and a reopened dialog
// shows what was last set.
#include "SettingsToolTest_win.h"

namespace {
constexpr int kDetailSettings = 1024;
constexpr int kWorkaround = 1048;
constexpr int kRetryCount = 1049;
constexpr int kAvoidTaskBar = 1050;
constexpr int kRestartOnScaleChange = 1051;
constexpr int kAccelerator = 1070;
const wchar_t kSettingsTitle[] = L"詳細設定";
const std::wstring kAcceleratorName = L"TheSubMenuAccelerator";

// The tool declares every system up to Windows 10 in its manifest and so is told the real
// version, which RtlGetVersion reports whatever this program declares.
bool SystemIsWindows10OrLater()
{
    using CGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto get = reinterpret_cast<CGetVersion>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    return get && get(&info) == 0 && info.dwMajorVersion >= 10;
}

// What the tool looks for before it offers the restart on a scale change.
bool SystemHasScaleChangeProbe()
{
    if (!SystemIsWindows10OrLater())
        return false;
    HMODULE shcore = LoadLibraryW(L"Shcore.dll");
    return shcore && GetProcAddress(shcore, "RegisterScaleChangeEvent");
}

std::wstring Suffixed(const wchar_t* name, bool win10)
{
    return std::wstring(name) + (win10 ? L"X" : L"");
}

CRegValue Dword(DWORD value)
{
    CRegValue v;
    v.type = kRegDword;
    const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
    v.data.assign(bytes, bytes + sizeof(value));
    return v;
}

CRegValue Sz(const std::wstring& text)
{
    CRegValue v;
    v.type = kRegSz;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.c_str());
    v.data.assign(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
    return v;
}

// The values that differ between two snapshots of "Settings", by name; a value that went
// away shows as an empty CRegValue.
std::map<std::wstring, CRegValue> Changes(const CRegistrySnapshot& before, const CRegistrySnapshot& after)
{
    std::map<std::wstring, CRegValue> changed;
    for (const auto& [key, value] : after) {
        const auto old = before.find(key);
        if (old == before.end() || !(old->second == value))
            changed[key.substr(key.find(L'|') + 1)] = value;
    }
    for (const auto& [key, value] : before) {
        if (!after.count(key))
            changed[key.substr(key.find(L'|') + 1)] = CRegValue{};
    }
    return changed;
}

std::string Describe(const std::map<std::wstring, CRegValue>& values)
{
    std::string text;
    for (const auto& [name, value] : values)
        text += testing::PrintToString(name) + " type " + std::to_string(value.type) + " " +
                testing::PrintToString(value.data) + "; ";
    return text;
}

// A child of a dialog showing this text.
HWND ChildWithText(HWND dialog, const std::wstring& text)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (WindowText(child) == text)
            return child;
    }
    return nullptr;
}

class SettingsDialogTest : public SettingsToolTest {
protected:
    // The launcher with both menus empty, its next menu holding only its own submenu, and
    // the tool's main dialog.
    void StartBoth()
    {
        ASSERT_NE(StartLauncher(), nullptr);
        mainDialog = StartTool(toolProcess);
        ASSERT_NE(mainDialog, nullptr);
    }
    // Opens the detailed settings as button 1024 does; its window once shown, or null.
    HWND OpenSettings()
    {
        // Posted: the click runs the dialog's modal loop and would not return meanwhile.
        PostMessageW(GetDlgItem(mainDialog, kDetailSettings), BM_CLICK, 0, 0);
        return WaitForDialog(toolProcess.Id(), kSettingsTitle, kStartTimeout);
    }
    // Waits for the dialog to go; the main dialog takes input again.
    void ExpectClosed(HWND settings)
    {
        EXPECT_TRUE(PollFor(kEndTimeout, [&] { return !IsWindow(settings); }));
        RoundTrip(mainDialog);
        EXPECT_TRUE(IsWindowEnabled(mainDialog));
    }
    void Close(HWND settings)
    {
        SendMessageW(GetDlgItem(settings, IDCANCEL), BM_CLICK, 0, 0);
        ExpectClosed(settings);
    }
    void SetAcceleratorBehindTheToolsBack(const std::wstring& text)
    {
        store.SetString(kSectionSettings, kAcceleratorName, text);
    }

    // The launcher's next menu, its only entry the own submenu: whether this key opens it.
    // Each answer comes from a menu state that stays, so a passing check never waits out
    // a time-out.
    void ExpectKeyOpensTheSubmenu(wchar_t key, bool opens)
    {
        SCOPED_TRACE(testing::Message() << "key " << static_cast<char>(key));
        PostMessageW(launcherWindow, LauncherMessage(), kOpenLeftMenu, 0);
        HWND menu = nullptr;
        ASSERT_TRUE(PollFor(10s, [&] {
            const auto windows = VisibleMenuWindows();
            menu = windows.size() == 1 ? windows.front() : nullptr;
            return menu != nullptr;
        }));
        PostMessageW(menu, WM_CHAR, key, 1);
        if (opens) {
            EXPECT_TRUE(PollFor(10s, [] { return VisibleMenuWindows().size() == 2; }));
            PostKey(menu, VK_ESCAPE);
            PostKey(menu, VK_ESCAPE);
        } else {
            // A key that opened the submenu would leave the menu open after one Escape.
            PostKey(menu, VK_ESCAPE);
        }
        const bool closed = PollFor(10s, [] { return VisibleMenuWindows().empty(); });
        EXPECT_TRUE(closed) << (opens ? "" : "the key opened the submenu");
        if (!closed) {
            for (int i = 0; i < 3; ++i)
                PostKey(menu, VK_ESCAPE);
            PollFor(10s, [] { return VisibleMenuWindows().empty(); });
        }
        RoundTrip(launcherWindow);
    }

    const bool win10 = SystemIsWindows10OrLater();
    const bool hasProbe = SystemHasScaleChangeProbe();
    CProcess toolProcess;
    HWND mainDialog = nullptr;
};

TEST_F(SettingsDialogTest, BoxesWriteTheirValuesUnderThisSystemsNamesAndTheLauncherReloads)
{
    ASSERT_NO_FATAL_FAILURE(StartBoth());
    HWND settings = OpenSettings();
    ASSERT_NE(settings, nullptr);
    HWND retry = GetDlgItem(settings, kRetryCount);
    HWND restart = GetDlgItem(settings, kRestartOnScaleChange);
    // As the launcher started: the workaround off, the rest at the defaults.
    EXPECT_EQ(SendMessageW(GetDlgItem(settings, kWorkaround), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(WindowText(retry), L"3");
    EXPECT_FALSE(IsWindowEnabled(retry));
    EXPECT_EQ(SendMessageW(GetDlgItem(settings, kAvoidTaskBar), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(restart, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(IsWindowVisible(restart) != FALSE, hasProbe);
    EXPECT_EQ(IsWindowEnabled(restart) != FALSE, hasProbe);
    EXPECT_EQ(WindowText(GetDlgItem(settings, kAccelerator)), L"M");

    struct Step {
        const char* name;
        int box;
        const wchar_t* value;
        bool suffixed;
        DWORD stored;
        bool reloads;
        bool openMenu; // not while the workaround is on: its clicks would land on the dialogs
    };
    std::vector<Step> steps = {
        {"workaround on", kWorkaround, L"Win10Workaround", true, 1, true, false},
        {"workaround off", kWorkaround, L"Win10Workaround", true, 0, true, true},
        {"taskbar avoided", kAvoidTaskBar, L"AvoidTaskBar", false, 1, true, true},
        {"taskbar no longer avoided", kAvoidTaskBar, L"AvoidTaskBar", false, 0, true, true},
    };
    if (hasProbe) {
        steps.push_back({"no restart", kRestartOnScaleChange, L"RestartOnMonitorScaleChange", false, 0, false, true});
        steps.push_back(
            {"restart again", kRestartOnScaleChange, L"RestartOnMonitorScaleChange", false, 1, false, true});
    }
    // The launcher holds "M". Before each click the test stores an accelerator of its own:
    // the launcher's next menu answers to it only when the click made the launcher reload.
    wchar_t held = L'M';
    wchar_t marker = L'Q';
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        SetAcceleratorBehindTheToolsBack(std::wstring(1, marker));
        const CRegistrySnapshot before = SnapshotRegistry(kSettingsKey);
        SendMessageW(GetDlgItem(settings, step.box), BM_CLICK, 0, 0);
        RoundTrip(settings);
        const std::wstring name = Suffixed(step.value, step.suffixed && win10);
        const auto changes = Changes(before, SnapshotRegistry(kSettingsKey));
        EXPECT_EQ(changes, (std::map<std::wstring, CRegValue>{{name, Dword(step.stored)}})) << Describe(changes);
        EXPECT_EQ(SendMessageW(GetDlgItem(settings, step.box), BM_GETCHECK, 0, 0),
                  step.stored ? BST_CHECKED : BST_UNCHECKED);
        if (step.box == kWorkaround) {
            // The effort follows the box; its text and stored count stay.
            EXPECT_EQ(IsWindowEnabled(retry) != FALSE, step.stored != 0);
            EXPECT_EQ(WindowText(retry), L"3");
        }
        if (step.reloads)
            held = marker;
        if (step.openMenu) {
            ExpectKeyOpensTheSubmenu(held, true);
            if (held != marker)
                ExpectKeyOpensTheSubmenu(marker, false);
        }
        ++marker;
    }
    Close(settings);
    EXPECT_TRUE(FindMessageBoxes(toolProcess.Id(), kToolBoxCaption).empty());
    CloseTool(toolProcess, mainDialog);
    ExitLauncher();
}

TEST_F(SettingsDialogTest, EffortTypedKeyByKeyIsReadClampedAndStoredWhenItChanges)
{
    ASSERT_NO_FATAL_FAILURE(StartBoth());
    HWND settings = OpenSettings();
    ASSERT_NE(settings, nullptr);
    HWND retry = GetDlgItem(settings, kRetryCount);
    const std::wstring name = Suffixed(L"Win10WorkaroundRetryCount", win10);
    // The edit stays disabled with the workaround off, so that the launcher's menus can be
    // opened without the workaround's clicks; its change handler does not look at the box,
    // and WM_SETTEXT reports a change as a keystroke does.
    struct Step {
        const wchar_t* text;
        int stored; // 0: nothing written, nothing sent
    };
    const Step steps[] = {
        {L"2", 2},  {L"25", 10}, {L"250", 0}, {L"25", 0}, {L"", 1},   {L"-", 0},
        {L"-3", 0}, {L"5", 5},   {L"0", 1},   {L"7x", 7}, {L"07", 0}, {L"99999999999999999999", 10},
    };
    wchar_t held = L'M';
    wchar_t marker = L'A';
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(step.text)));
        SetAcceleratorBehindTheToolsBack(std::wstring(1, marker));
        const CRegistrySnapshot before = SnapshotRegistry(kSettingsKey);
        SendMessageW(retry, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(step.text));
        RoundTrip(settings);
        const auto changes = Changes(before, SnapshotRegistry(kSettingsKey));
        if (step.stored)
            EXPECT_EQ(changes, (std::map<std::wstring, CRegValue>{{name, Dword(step.stored)}})) << Describe(changes);
        else
            EXPECT_TRUE(changes.empty()) << Describe(changes);
        // Never corrected: a 0 shows as typed.
        EXPECT_EQ(WindowText(retry), step.text);
        if (step.stored)
            held = marker;
        ExpectKeyOpensTheSubmenu(held, true);
        ++marker;
    }

    // Typed while the box is ticked, as the user does.
    SendMessageW(GetDlgItem(settings, kWorkaround), BM_CLICK, 0, 0);
    ASSERT_TRUE(IsWindowEnabled(retry));
    SendMessageW(retry, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"4"));
    RoundTrip(settings);
    DWORD stored = 0;
    EXPECT_TRUE(ReadDword(kSettingsKey, name.c_str(), stored));
    EXPECT_EQ(stored, 4u);
    SendMessageW(GetDlgItem(settings, kWorkaround), BM_CLICK, 0, 0);
    Close(settings);
    CloseTool(toolProcess, mainDialog);
    ExitLauncher();
}

TEST_F(SettingsDialogTest, AcceleratorReachesTheLaunchersNextMenuAndAnEmptyOneIsKeptAsNoKey)
{
    ASSERT_NO_FATAL_FAILURE(StartBoth());
    HWND settings = OpenSettings();
    ASSERT_NE(settings, nullptr);
    HWND edit = GetDlgItem(settings, kAccelerator);
    ExpectKeyOpensTheSubmenu(L'M', true);

    struct Step {
        const wchar_t* text;
        std::vector<wchar_t> opening;
        std::vector<wchar_t> notOpening;
    };
    // The launcher takes the first character only, and a space is no key.
    const Step steps[] = {
        {L"Q", {L'Q', L'q'}, {L'M'}}, {L"", {}, {L'Q', L'M'}},   {L"x", {L'X'}, {L'Q'}},
        {L"xyz", {L'X'}, {L'Y'}},     {L" K", {}, {L'K', L'X'}}, {L"m", {L'M'}, {L'K'}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(step.text)));
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(step.text));
        RoundTrip(settings);
        const auto all = SnapshotRegistry(kSettingsKey);
        const auto found = all.find(L"|" + kAcceleratorName);
        ASSERT_NE(found, all.end()) << "deleted";
        EXPECT_EQ(found->second, Sz(step.text));
        for (wchar_t key : step.opening)
            ExpectKeyOpensTheSubmenu(key, true);
        for (wchar_t key : step.notOpening)
            ExpectKeyOpensTheSubmenu(key, false);
    }
    // The same text again is no change: nothing is written, nothing sent.
    SetAcceleratorBehindTheToolsBack(L"R");
    const CRegistrySnapshot before = SnapshotRegistry(kSettingsKey);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"m"));
    RoundTrip(settings);
    EXPECT_EQ(SnapshotRegistry(kSettingsKey), before);
    ExpectKeyOpensTheSubmenu(L'M', true);
    ExpectKeyOpensTheSubmenu(L'R', false);
    Close(settings);
    CloseTool(toolProcess, mainDialog);
    ExitLauncher();
}

TEST_F(SettingsDialogTest, OpeningAndClosingWithoutAChangeWritesAndSendsNothing)
{
    ASSERT_NO_FATAL_FAILURE(StartBoth());
    // The launcher holds "M"; a reload would make it take "R".
    SetAcceleratorBehindTheToolsBack(L"R");
    enum class XClose { CloseButton, PostedEscape, CloseBox, RealEscape };
    const std::pair<const char*, XClose> ways[] = {{"閉じる", XClose::CloseButton},
                                                   {"Escape through the dialog's loop", XClose::PostedEscape},
                                                   {"the close box", XClose::CloseBox},
                                                   {"Escape on the keyboard", XClose::RealEscape}};
    for (const auto& [name, way] : ways) {
        SCOPED_TRACE(name);
        const CRegistrySnapshot before = SnapshotRegistry(kProductKey);
        HWND settings = OpenSettings();
        ASSERT_NE(settings, nullptr);
        EXPECT_FALSE(IsWindowEnabled(mainDialog));
        switch (way) {
        case XClose::CloseButton:
            SendMessageW(GetDlgItem(settings, IDCANCEL), BM_CLICK, 0, 0);
            break;
        case XClose::PostedEscape:
            PostKey(settings, VK_ESCAPE);
            break;
        case XClose::CloseBox:
            PostMessageW(settings, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case XClose::RealEscape: {
            // A real key reaches a window of Wine only once a real click gave it the focus.
            HWND label = ChildWithText(settings, L"ガンバリ度");
            ASSERT_NE(label, nullptr);
            RECT r = {};
            GetWindowRect(label, &r);
            ASSERT_TRUE(RealClickInto(settings, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
            ASSERT_TRUE(RealKeys(L"Escape"));
            break;
        }
        }
        ExpectClosed(settings);
        EXPECT_EQ(SnapshotRegistry(kProductKey), before);
        ExpectKeyOpensTheSubmenu(L'M', true);
        ExpectKeyOpensTheSubmenu(L'R', false);
    }
    CloseTool(toolProcess, mainDialog);
    ExitLauncher();
}

TEST_F(SettingsDialogTest, StoredValuesOfThisSystemShowAndAReopenedDialogShowsWhatWasLastSet)
{
    ASSERT_NE(StartLauncher(), nullptr);
    // The launcher has read its values; it does not read these until a reload, and no menu
    // opens here.
    WriteDword(kSettingsKey, Suffixed(L"Win10Workaround", win10).c_str(), 1);
    WriteDword(kSettingsKey, Suffixed(L"Win10WorkaroundRetryCount", win10).c_str(), 7);
    WriteDword(kSettingsKey, Suffixed(L"Win10WorkaroundRetryCount", !win10).c_str(), 4);
    WriteDword(kSettingsKey, L"AvoidTaskBar", 1);
    WriteDword(kSettingsKey, L"RestartOnMonitorScaleChange", 0);
    SetAcceleratorBehindTheToolsBack(L"Z");
    mainDialog = StartTool(toolProcess);
    ASSERT_NE(mainDialog, nullptr);

    struct Shown {
        bool workaround;
        const wchar_t* retry;
        bool avoidTaskBar;
        bool restart;
        const wchar_t* accelerator;
    };
    auto expectShown = [&](HWND settings, const Shown& shown) {
        EXPECT_EQ(SendMessageW(GetDlgItem(settings, kWorkaround), BM_GETCHECK, 0, 0),
                  shown.workaround ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(settings, kRetryCount)) != FALSE, shown.workaround);
        EXPECT_EQ(WindowText(GetDlgItem(settings, kRetryCount)), shown.retry);
        EXPECT_EQ(SendMessageW(GetDlgItem(settings, kAvoidTaskBar), BM_GETCHECK, 0, 0),
                  shown.avoidTaskBar ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(SendMessageW(GetDlgItem(settings, kRestartOnScaleChange), BM_GETCHECK, 0, 0),
                  shown.restart ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(WindowText(GetDlgItem(settings, kAccelerator)), shown.accelerator);
    };
    HWND settings = OpenSettings();
    ASSERT_NE(settings, nullptr);
    {
        SCOPED_TRACE("as stored");
        expectShown(settings, {true, L"7", true, false, L"Z"});
    }
    SendMessageW(GetDlgItem(settings, kWorkaround), BM_CLICK, 0, 0);
    SendMessageW(GetDlgItem(settings, kAvoidTaskBar), BM_CLICK, 0, 0);
    if (hasProbe)
        SendMessageW(GetDlgItem(settings, kRestartOnScaleChange), BM_CLICK, 0, 0);
    SendMessageW(GetDlgItem(settings, kRetryCount), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"0"));
    SendMessageW(GetDlgItem(settings, kAccelerator), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    Close(settings);
    // What was set, not what was typed: the 0 was stored as 1.
    const Shown set = {false, L"1", false, hasProbe, L""};
    settings = OpenSettings();
    ASSERT_NE(settings, nullptr);
    {
        SCOPED_TRACE("reopened");
        expectShown(settings, set);
    }
    Close(settings);
    CloseTool(toolProcess, mainDialog);
    DWORD other = 0;
    EXPECT_TRUE(ReadDword(kSettingsKey, Suffixed(L"Win10WorkaroundRetryCount", !win10).c_str(), other));
    EXPECT_EQ(other, 4u) << "the other system's name was touched";

    mainDialog = StartTool(toolProcess);
    ASSERT_NE(mainDialog, nullptr);
    settings = OpenSettings();
    ASSERT_NE(settings, nullptr);
    {
        SCOPED_TRACE("in a new tool");
        expectShown(settings, set);
    }
    Close(settings);
    CloseTool(toolProcess, mainDialog);
    ExitLauncher();
}
} // namespace

namespace {
TEST_F(SettingsDialogTest, TheLaunchersExitClosesTheToolWithTheDialogOpen)
{
    StartBoth();
    struct Case {
        const char* name;
        bool byExitCommand; // the registered message with the exit command; otherwise WM_CLOSE
    };
    for (const Case& c : {Case{"WM_CLOSE", false}, Case{"exit command", true}}) {
        SCOPED_TRACE(c.name);
        if (!mainDialog) {
            mainDialog = StartTool(toolProcess);
            ASSERT_NE(mainDialog, nullptr);
        }
        HWND settings = OpenSettings();
        ASSERT_NE(settings, nullptr);
        if (c.byExitCommand)
            PostMessageW(mainDialog, LauncherMessage(), 32773, 0);
        else
            PostMessageW(mainDialog, WM_CLOSE, 0, 0);
        // Nobody closes the detailed settings: the tool ends with both dialogs.
        EXPECT_TRUE(toolProcess.WaitForExit(kEndTimeout));
        EXPECT_FALSE(IsWindow(settings));
        mainDialog = nullptr;
    }
    ExitLauncher();
}
} // namespace
