// The lists' editing commands end to end, with the real launcher: insertions at the selection
// or the end (a cancelled item dialog inserts nothing), renaming, deleting with the question
// (an active hotkey released at the launcher), launching (a text copied, a missing program's
// reason shown), the keyboard's context menu and a double click into a submenu.
#include "SettingsToolTest_win.h"

namespace {
constexpr UINT kInsertItem = 32780;
constexpr UINT kInsertSubmenu = 32776;
constexpr UINT kInsertSeparator = 32781;
constexpr UINT kRename = 32796;
constexpr UINT kDelete = 32782;
constexpr UINT kLaunch = 32783;
constexpr int kFileField = 1006;
const wchar_t kFileItemTitle[] = L"ファイル指定";

bool Held(UINT modifiers, UINT key)
{
    if (!RegisterHotKey(nullptr, 0x7F12, modifiers, key))
        return true;
    UnregisterHotKey(nullptr, 0x7F12);
    return false;
}

class SettingsToolCommands : public SettingsToolTest {
protected:
    void Open(std::initializer_list<CXNode*> left)
    {
        ASSERT_TRUE(SaveMenu(kLeftMenuName, left));
        ASSERT_NE(StartLauncher(), nullptr);
        main = StartTool(process);
        ASSERT_NE(main, nullptr);
        list = GetDlgItem(main, kUpperList);
    }
    // A command of the list's context menu on these rows, as the menu sends it.
    void Command(UINT command, std::initializer_list<int> rows)
    {
        ASSERT_TRUE(SelectListRows(list, rows));
        PostMessageW(list, WM_COMMAND, command, 0);
    }
    // The question or message now showing: its text, answered with this button.
    std::wstring Answer(int button)
    {
        const CFoundBox box = WaitForMessageBox(process.Id(), 10s, kToolBoxCaption);
        if (!box.window)
            return L"(no box)";
        PostMessageW(box.window, WM_COMMAND, button, 0);
        PollFor(5s, [&] { return !IsWindow(box.window); });
        return box.text;
    }
    bool Settled() { return RoundTrip(main) && RoundTrip(main); }
    // The list's label editor once it opens, given this text and ended with Enter.
    bool TypeTitle(const wchar_t* title)
    {
        HWND edit = nullptr;
        if (!PollFor(10s,
                     [&] { return (edit = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETEDITCONTROL, 0, 0))); }))
            return false;
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title));
        PostKey(edit, VK_RETURN);
        return true;
    }

    CProcess process;
    HWND main = nullptr;
    HWND list = nullptr;
};

TEST_F(SettingsToolCommands, InsertionsGoBeforeTheSelectionOrToTheEnd)
{
    ASSERT_NO_FATAL_FAILURE(
        Open({NewItem(L"一", L"", L"a.exe"), NewItem(L"二", L"", L"b.exe"), NewItem(L"三", L"", L"c.exe")}));
    Command(kInsertSeparator, {2});
    ASSERT_TRUE(PollFor(10s, [&] { return Settled() && StoredMenu(kLeftMenuName)->children.size() == 4; }));
    EXPECT_TRUE(StoredMenu(kLeftMenuName)->children[2]->IsKindOf<CXSeparator>());
    EXPECT_EQ(ListTitles(list).size(), 4u);

    // A cancelled item dialog inserts nothing and stores nothing.
    const CRegistrySnapshot before = SnapshotRegistry(kSettingsKey);
    Command(kInsertItem, {});
    HWND dialog = WaitForDialog(process.Id(), kFileItemTitle);
    ASSERT_NE(dialog, nullptr);
    PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(PollFor(10s, [&] { return !IsWindow(dialog); }));
    ASSERT_TRUE(Settled());
    EXPECT_EQ(SnapshotRegistry(kSettingsKey), before);
    EXPECT_EQ(ListTitles(list).size(), 4u);

    // Without a selection the new item goes to the end.
    Command(kInsertItem, {});
    dialog = WaitForDialog(process.Id(), kFileItemTitle);
    ASSERT_NE(dialog, nullptr);
    SendMessageW(GetDlgItem(dialog, kFileField), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"C:\\windows\\notepad.exe"));
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(PollFor(10s, [&] { return !IsWindow(dialog); }));
    ASSERT_TRUE(PollFor(10s, [&] { return Settled() && StoredMenu(kLeftMenuName)->children.size() == 5; }));
    const auto stored = StoredMenu(kLeftMenuName);
    const auto* added = XDynamicCast<CXItem>(stored->children[4]);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->path, L"C:\\windows\\notepad.exe");
    EXPECT_FALSE(added->title.empty());

    // A new submenu opens its title for typing at once.
    Command(kInsertSubmenu, {0});
    ASSERT_TRUE(TypeTitle(L"新しい箱"));
    ASSERT_TRUE(PollFor(10s, [&] { return Settled() && StoredTitles(kLeftMenuName).front() == L"新しい箱"; }));
    EXPECT_TRUE(StoredMenu(kLeftMenuName)->children[0]->IsKindOf<CXParent>());
    CloseTool(process, main);
}

TEST_F(SettingsToolCommands, RenameAndDeleteWithTheQuestionAndTheHotKeyReleased)
{
    constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;
    if (Held(kCtrlAlt, 'J'))
        GTEST_SKIP() << "Ctrl+Alt+J is held on this display";
    CXItem* bound = NewItem(L"結び", L"", L"b.exe");
    bound->hotKey = CtrlAlt('J', L"J");
    ASSERT_NO_FATAL_FAILURE(Open(
        {NewItem(L"一", L"", L"a.exe"), NewSubmenu(L"箱", {bound, NewItem(L"中", L"", L"c.exe")}), new CXSeparator}));
    // The launcher registered the binding at its start.
    EXPECT_TRUE(Held(kCtrlAlt, 'J'));

    Command(kRename, {0});
    ASSERT_TRUE(TypeTitle(L"壱"));
    ASSERT_TRUE(PollFor(10s, [&] { return Settled() && StoredTitles(kLeftMenuName).front() == L"壱"; }));

    const CRegistrySnapshot before = SnapshotRegistry(kSettingsKey);
    Command(kDelete, {0, 1});
    EXPECT_EQ(Answer(IDNO), L"2個の項目とその下のすべての項目を削除します。よろしいですか？");
    ASSERT_TRUE(Settled());
    EXPECT_EQ(SnapshotRegistry(kSettingsKey), before);

    Command(kDelete, {2});
    EXPECT_EQ(Answer(IDNO), L"1個の項目を削除します。よろしいですか？");

    Command(kDelete, {0, 1});
    EXPECT_EQ(Answer(IDYES), L"2個の項目とその下のすべての項目を削除します。よろしいですか？");
    ASSERT_TRUE(PollFor(10s, [&] { return Settled() && StoredMenu(kLeftMenuName)->children.size() == 1; }));
    EXPECT_TRUE(StoredMenu(kLeftMenuName)->children[0]->IsKindOf<CXSeparator>());
    EXPECT_EQ(ListTitles(list).size(), 1u);
    EXPECT_FALSE(Held(kCtrlAlt, 'J'));
    CloseTool(process, main);
}

TEST_F(SettingsToolCommands, LaunchCopiesATextAndShowsWhyAProgramDidNotStart)
{
    ASSERT_NO_FATAL_FAILURE(
        Open({NewText(L"", L"合言葉", L"合言葉"), NewItem(L"無い", L"", L"C:\\nowhere\\missing.exe")}));
    EmptyClipboardOfEveryone();
    Command(kLaunch, {0});
    std::wstring copied;
    EXPECT_TRUE(PollFor(10s, [&] { return (copied = ClipboardText()) == L"合言葉"; })) << copied;
    Command(kLaunch, {1});
    const std::wstring reason = Answer(IDOK);
    EXPECT_EQ(reason.rfind(L"起動できません。", 0), 0u) << std::string(reason.begin(), reason.end());
    CloseTool(process, main);
}

TEST_F(SettingsToolCommands, TheKeyboardsMenuOpensAtTheListsCornerAndADoubleClickOpensASubmenu)
{
    ASSERT_NO_FATAL_FAILURE(
        Open({NewSubmenu(L"箱", {NewItem(L"中身", L"", L"a.exe")}), NewItem(L"外", L"", L"b.exe")}));
    ASSERT_TRUE(SelectListRows(list, {1}));
    PostMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
    std::vector<HWND> menus;
    ASSERT_TRUE(PollFor(10s, [&] { return !(menus = VisibleMenuWindows()).empty(); }));
    RECT shown = {};
    GetWindowRect(menus.front(), &shown);
    POINT corner = {0, 0};
    ClientToScreen(list, &corner);
    EXPECT_EQ(shown.left, corner.x);
    EXPECT_EQ(shown.top, corner.y);
    PostKey(menus.front(), VK_ESCAPE);
    ASSERT_TRUE(PollFor(10s, [] { return VisibleMenuWindows().empty(); }));

    RECT row = {};
    ASSERT_TRUE(ListRowRect(list, 0, row));
    POINT point = {row.left + 30, (row.top + row.bottom) / 2};
    ClientToScreen(list, &point);
    ASSERT_TRUE(RealDoubleClick(point));
    EXPECT_TRUE(
        PollFor(10s, [&] { return RoundTrip(main) && ListTitles(list) == std::vector<std::wstring>{L"中身"}; }));
    CloseTool(process, main);
}

} // namespace
