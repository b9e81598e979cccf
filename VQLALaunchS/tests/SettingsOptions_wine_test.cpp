// The settings tool end to end, with the real launcher: "Separate" and the right menu's
// hotkeys, the kept column widths and window rectangle, the purge of unreferenced link files
// on every way of closing, a corrupt stored menu, and the tool started by the launcher.
#include "MenuStore.h"
#include "SettingsToolTest_win.h"

namespace {
const wchar_t kCorrupt[] = L"設定データが破損しています。";

bool ReadSetting(const wchar_t* name, DWORD& value)
{
    return ReadDword(kSettingsKey, name, value);
}

std::vector<std::wstring> HotKeyColumn(HWND list)
{
    std::vector<std::wstring> texts;
    for (const CListRow& row : ReadListRows(list))
        texts.push_back(row.texts[2]);
    return texts;
}

// Whether this test could take the key: false while another program holds it.
bool KeyIsFree(UINT key)
{
    if (!RegisterHotKey(nullptr, 0x7F00, MOD_CONTROL | MOD_ALT, key))
        return false;
    UnregisterHotKey(nullptr, 0x7F00);
    return true;
}

using SettingsToolOptions = SettingsToolTest;

TEST_F(SettingsToolOptions, SeparateRegistersTheRightMenusKeysAndUntickingHidesTheLowerGroup)
{
    // F6 is held by this test: the launcher is refused it.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, VK_F6));
    ASSERT_TRUE(SaveMenu(kLeftMenuName, {NewText(L"", L"左", L"左の文字")}));
    auto* free = NewText(L"", L"右", L"右の文字");
    free->hotKey = CtrlAlt(VK_F7, L"F7");
    auto* taken = NewItem(L"取られたキー");
    taken->hotKey = CtrlAlt(VK_F6, L"F6");
    ASSERT_TRUE(SaveMenu(kRightMenuName, {free, taken, NewItem(L"キーなし")}));
    WriteDword(kSettingsKey, L"Separate", 0);
    WriteDword(kSettingsKey, L"ExitPos", 1);
    ASSERT_NE(StartLauncher(), nullptr);
    CProcess process;
    HWND dialog = StartTool(process);
    ASSERT_NE(dialog, nullptr);
    HWND box = GetDlgItem(dialog, kSeparate);
    HWND lowerList = GetDlgItem(dialog, kLowerList);

    struct State {
        DWORD separate;
        const wchar_t* caption;
        const wchar_t* freeKeyText;
        const wchar_t* rightMenuText; // the first entry of the menu of the right click
    };
    const State unticked = {0, L"左右クリックメニュー", L"× Ctrl + Alt + F7", L"左の文字"};
    const State ticked = {1, L"左クリックメニュー", L"○ Ctrl + Alt + F7", L"右の文字"};
    auto check = [&](const State& state) {
        DWORD value = 99;
        EXPECT_TRUE(PollFor(5s, [&] { return ReadSetting(L"Separate", value) && value == state.separate; }));
        EXPECT_EQ(value, state.separate);
        EXPECT_TRUE(ReadSetting(L"ExitPos", value));
        EXPECT_EQ(value, 1u);
        EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), state.separate ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(WindowText(GetDlgItem(dialog, kUpperCaption)), state.caption);
        for (int id : kLowerGroup)
            EXPECT_EQ(IsWindowVisible(GetDlgItem(dialog, id)) != FALSE, state.separate != 0) << id;
        EXPECT_EQ(HotKeyColumn(lowerList), (std::vector<std::wstring>{state.freeKeyText, L"× Ctrl + Alt + F6", L""}));
        // Registered at the launcher exactly while ticked.
        EXPECT_EQ(KeyIsFree(VK_F7), state.separate == 0);
        // The launcher reloaded the behaviour: the right click has its own menu while ticked.
        EXPECT_EQ(TextOfFirstEntry(kOpenRightMenu), state.rightMenuText);
        EXPECT_EQ(TextOfFirstEntry(kOpenLeftMenu), L"左の文字");
    };
    {
        SCOPED_TRACE("at the start");
        check(unticked);
    }
    SendMessageW(box, BM_CLICK, 0, 0);
    {
        SCOPED_TRACE("ticked");
        check(ticked);
    }
    SendMessageW(box, BM_CLICK, 0, 0);
    {
        SCOPED_TRACE("unticked again");
        check(unticked);
    }
    EXPECT_TRUE(FindMessageBoxes(process.Id(), kToolBoxCaption).empty());
    CloseTool(process, dialog);
    ExitLauncher();
    UnregisterHotKey(nullptr, 1);
}

TEST_F(SettingsToolOptions, ColumnWidthsAndTheWindowRectangleSurviveARestart)
{
    ASSERT_NE(StartLauncher(), nullptr);
    CProcess process;
    HWND dialog = StartTool(process);
    ASSERT_NE(dialog, nullptr);
    RECT unplaced = {};
    GetWindowRect(dialog, &unplaced);
    const wchar_t* const lists[] = {L"Left", L"Right"};
    const wchar_t* const columns[] = {L"Title", L"Accel", L"HotKey", L"FileName", L"Parameter", L"Directory"};
    auto widths = [&](HWND shown) {
        std::map<std::wstring, DWORD> read;
        for (int l = 0; l < 2; ++l) {
            HWND list = GetDlgItem(shown, l == 0 ? kUpperList : kLowerList);
            for (int c = 0; c < 6; ++c)
                read[std::wstring(L"ColWidth") + lists[l] + columns[c]] =
                    static_cast<DWORD>(SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0));
        }
        return read;
    };
    ASSERT_TRUE(SendMessageW(GetDlgItem(dialog, kUpperList), LVM_SETCOLUMNWIDTH, 3, 123));
    ASSERT_TRUE(SendMessageW(GetDlgItem(dialog, kLowerList), LVM_SETCOLUMNWIDTH, 0, 77));
    ASSERT_TRUE(SetWindowPos(dialog, nullptr, 40, 50, 640, 480, SWP_NOZORDER | SWP_NOACTIVATE));
    RoundTrip(dialog);
    const std::map<std::wstring, DWORD> set = widths(dialog);
    ASSERT_EQ(set.at(L"ColWidthLeftFileName"), 123u);
    ASSERT_EQ(set.at(L"ColWidthRightTitle"), 77u);
    CloseTool(process, dialog);

    for (const auto& [name, width] : set) {
        DWORD stored = 0;
        EXPECT_TRUE(ReadDword(kWindowPosKey, name.c_str(), stored)) << testing::PrintToString(name);
        EXPECT_EQ(stored, width) << testing::PrintToString(name);
    }
    const std::pair<const wchar_t*, DWORD> rectangle[] = {
        {L"left", 40}, {L"top", 50}, {L"right", 680}, {L"bottom", 530}};
    for (const auto& [name, value] : rectangle) {
        DWORD stored = 0;
        EXPECT_TRUE(ReadDword(kWindowPosKey, name, stored)) << testing::PrintToString(std::wstring(name));
        EXPECT_EQ(stored, value) << testing::PrintToString(std::wstring(name));
    }

    // A stored rectangle is used when it is wider or higher than 9; the system keeps a window
    // with a caption from getting narrower than its minimum, so that width is not compared.
    struct Case {
        const char* name;
        RECT stored; // written before the start, unless empty
        RECT shown;
        bool compareWidth;
    };
    const Case cases[] = {
        {"as it was closed", {}, {40, 50, 680, 530}, true},
        {"narrow but high: used", {300, 200, 305, 600}, {300, 200, 305, 600}, false},
        {"narrow and low: ignored", {300, 200, 305, 205}, unplaced, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.stored.right != 0) {
            WriteDword(kWindowPosKey, L"left", static_cast<DWORD>(c.stored.left));
            WriteDword(kWindowPosKey, L"top", static_cast<DWORD>(c.stored.top));
            WriteDword(kWindowPosKey, L"right", static_cast<DWORD>(c.stored.right));
            WriteDword(kWindowPosKey, L"bottom", static_cast<DWORD>(c.stored.bottom));
        }
        dialog = StartTool(process);
        ASSERT_NE(dialog, nullptr);
        RECT shown = {};
        GetWindowRect(dialog, &shown);
        const std::string text = std::to_string(shown.left) + "," + std::to_string(shown.top) + "-" +
                                 std::to_string(shown.right) + "," + std::to_string(shown.bottom);
        EXPECT_EQ(shown.left, c.shown.left) << text;
        EXPECT_EQ(shown.top, c.shown.top) << text;
        EXPECT_EQ(shown.bottom, c.shown.bottom) << text;
        if (c.compareWidth) {
            EXPECT_EQ(shown.right, c.shown.right) << text;
        }
        EXPECT_EQ(widths(dialog), set);
        CloseTool(process, dialog);
    }
    ExitLauncher();
}

TEST_F(SettingsToolOptions, EveryWayOfClosingPurgesTheUnreferencedLinkFilesOnly)
{
    const std::wstring referenced = L"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";
    const std::wstring referencedRight = L"{11111111-2222-3333-4444-555555555555}";
    auto* left = NewItem(L"リンク", L"", L"%VelquinLNKs%\\" + referenced + L".lnk");
    left->isInternal = 1;
    // Upper and lower case name the same file.
    auto* right = NewItem(L"右のリンク", L"", L"%VelquinLNKs%\\{11111111-2222-3333-4444-555555555555}.url");
    right->isInternal = 1;
    ASSERT_TRUE(SaveMenu(kLeftMenuName, {NewSubmenu(L"中", {left})}));
    ASSERT_TRUE(SaveMenu(kRightMenuName, {right}));
    ASSERT_NE(StartLauncher(), nullptr);
    const std::wstring links = ProductDataFolder() + L"\\LNKs\\";
    ASSERT_TRUE(FolderExists(links));

    struct File {
        std::wstring name;
        bool kept;
    };
    const File files[] = {
        {referenced + L".lnk", true},
        {L"{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}.txt", true}, // the GUID of a referenced file
        {L"{11111111-2222-3333-4444-555555555555}.url", true},
        {L"{22222222-3333-4444-5555-666666666666}.lnk", false},
        {L"{33333333-4444-5555-6666-777777777777}", false},
        {L"{44444444-5555-6666-7777-888888888888}.lnk.bak", false},
        {L"notes.txt", true},
        {L"x{22222222-3333-4444-5555-666666666666}.lnk", true},
        {L"{55555555-6666-7777-8888-99999999999}.lnk", true}, // one digit short: no GUID
    };
    const std::wstring folderName = L"{66666666-7777-8888-9999-AAAAAAAAAAAA}";

    enum class XClose { DialogClose, LauncherExitMessage, LauncherExitSwitch };
    const std::pair<const char*, XClose> ways[] = {{"WM_CLOSE", XClose::DialogClose},
                                                   {"the launcher's exit message", XClose::LauncherExitMessage},
                                                   {"the launcher's /exit", XClose::LauncherExitSwitch}};
    for (const auto& [name, way] : ways) {
        SCOPED_TRACE(name);
        for (const File& file : files)
            ASSERT_TRUE(WriteFileBytes(links + file.name, {'x'}));
        CreateDirectoryW((links + folderName).c_str(), nullptr);
        CProcess process;
        HWND dialog = StartTool(process);
        ASSERT_NE(dialog, nullptr);
        // Nothing goes before the tool closes.
        for (const File& file : files)
            EXPECT_TRUE(FileExists(links + file.name)) << testing::PrintToString(file.name);
        switch (way) {
        case XClose::DialogClose:
            PostMessageW(dialog, WM_CLOSE, 0, 0);
            break;
        case XClose::LauncherExitMessage:
            PostMessageW(dialog, LauncherMessage(), 32773, 0);
            break;
        case XClose::LauncherExitSwitch:
            ExitLauncher();
            break;
        }
        ASSERT_TRUE(process.WaitForExit(kEndTimeout));
        for (const File& file : files)
            EXPECT_EQ(FileExists(links + file.name), file.kept) << testing::PrintToString(file.name);
        EXPECT_TRUE(FolderExists(links + folderName));
    }
}

TEST_F(SettingsToolOptions, CorruptStoredMenuIsReportedOnceShownEmptyAndLeftAsItIs)
{
    ASSERT_TRUE(SaveMenu(kLeftMenuName, {NewItem(L"左の項目")}));
    ASSERT_TRUE(SaveMenu(kRightMenuName, {NewItem(L"右の項目")}));
    const auto good = SnapshotRegistry(kSettingsKey);
    std::vector<uint8_t> whole;
    {
        CXRoot three(kLeftMenuName, 1);
        for (const wchar_t* title : {L"一", L"二", L"三"})
            three.InsertChild(three.children.size(), NewItem(title, L"", L"C:\\どこか\\プログラム.exe"));
        whole = WriteTreeArchive(three).value();
    }
    // The launcher reads the stores before they break: it would report and replace them.
    ASSERT_NE(StartLauncher(), nullptr);

    struct Case {
        const char* name;
        const wchar_t* value;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"garbage on the left", L"MenuData_1_v3", {0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x01, 0x02}},
        {"cut off on the left", L"MenuData_1_v3",
         std::vector<uint8_t>(whole.begin(), whole.begin() + whole.size() / 2)},
        {"garbage on the right", L"MenuData_2_v3", {0x00, 0x01, 0xFF, 0xFE, 0xFF, 0x09, 'C', 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool left = std::wstring(c.value) == L"MenuData_1_v3";
        for (const wchar_t* name : {L"MenuData_1_v3", L"MenuData_2_v3"})
            WriteBinary(kSettingsKey, name, good.at(std::wstring(L"|") + name).data);
        WriteBinary(kSettingsKey, c.value, c.bytes);

        CProcess process = CProcess::Start(tool, L"");
        const CFoundBox box = WaitForMessageBox(process.Id(), kStartTimeout, kToolBoxCaption);
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, kCorrupt);
        // Before the dialog.
        EXPECT_EQ(VisibleWindowsOf(process.Id()), std::vector<HWND>{box.window});
        DismissMessageBox(box.window);
        HWND dialog = WaitForToolDialog(process.Id(), kStartTimeout);
        ASSERT_NE(dialog, nullptr);
        RoundTrip(dialog);
        EXPECT_TRUE(FindMessageBoxes(process.Id(), kToolBoxCaption).empty()) << "reported more than once";

        HWND brokenTree = GetDlgItem(dialog, left ? kUpperTree : kLowerTree);
        HWND brokenList = GetDlgItem(dialog, left ? kUpperList : kLowerList);
        HWND intactTree = GetDlgItem(dialog, left ? kLowerTree : kUpperTree);
        const std::vector<CTreeEntry> broken = ReadTree(brokenTree);
        ASSERT_EQ(broken.size(), 1u);
        EXPECT_EQ(broken[0].text, L"メニュー");
        EXPECT_TRUE(ReadListRows(brokenList).empty());
        EXPECT_EQ(ReadTree(intactTree).size(), 2u);

        std::vector<uint8_t> stored;
        EXPECT_TRUE(ReadBinary(kSettingsKey, c.value, stored));
        EXPECT_EQ(stored, c.bytes);
        // A copy is kept beside it, for salvaging.
        std::vector<uint8_t> copy;
        EXPECT_TRUE(ReadBinary(kSettingsKey, left ? L"MenuData_1_corrupt" : L"MenuData_2_corrupt", copy));
        EXPECT_EQ(copy, c.bytes);
        CloseTool(process, dialog);
        stored.clear();
        EXPECT_TRUE(ReadBinary(kSettingsKey, c.value, stored));
        EXPECT_EQ(stored, c.bytes) << "changed by the close";
    }
    ExitLauncher();
}

TEST_F(SettingsToolOptions, TheLauncherStartsTheRealToolFromItsFolder)
{
    ASSERT_NE(StartLauncher(), nullptr);
    struct Case {
        const char* name;
        bool throughSwitch; // "/setting" of a second launcher; otherwise the registered message
    };
    for (const Case& c : {Case{"command 32772", false}, Case{"/setting", true}}) {
        SCOPED_TRACE(c.name);
        if (c.throughSwitch) {
            CProcess second = CProcess::Start(launcher, L"/setting");
            EXPECT_TRUE(second.WaitForExit(kEndTimeout));
        } else {
            PostMessageW(launcherWindow, LauncherMessage(), 32772, 0);
        }
        HWND dialog = nullptr;
        ASSERT_TRUE(PollFor(kStartTimeout, [&] {
            dialog = ToolBlockWindow();
            return dialog && IsWindowVisible(dialog);
        }));
        EXPECT_EQ(WindowText(dialog), kToolDialogTitle);
        DWORD id = 0;
        GetWindowThreadProcessId(dialog, &id);
        CKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, id));
        ASSERT_TRUE(process);
        wchar_t path[MAX_PATH] = {};
        DWORD length = MAX_PATH;
        ASSERT_TRUE(QueryFullProcessImageNameW(process.get(), 0, path, &length));
        EXPECT_EQ(CompareStringOrdinal(path, -1, tool.c_str(), -1, TRUE), CSTR_EQUAL)
            << testing::PrintToString(std::wstring(path));
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForSingleObject(process.get(), 20000), WAIT_OBJECT_0);
    }
    ExitLauncher();
}
} // namespace
