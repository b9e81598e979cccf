// The hotkey settings end to end, with the real launcher: a fixed binding set is registered
// at the launcher, stored with the launcher's id and used by it; a combination set again on
// its own row and one held by another program; a removal without a binding still saved and
// announced; the two option lists written at once; Enter and Escape kept from the input's
// buttons; no launcher; a corrupt stored list.
#include "HotKeyList.h"
#include "LauncherProtocol.h"
#include "SettingsToolTest_win.h"

namespace {
constexpr int kHotKeySettingsButton = 1025;
constexpr int kMenuPosList = 1045;
constexpr int kShowHotKeyList = 1046;
constexpr int kInputField = 1035;
constexpr WPARAM kUnregister = 0x10000002;
constexpr UINT kControlAlt = HOTKEYF_CONTROL | HOTKEYF_ALT;
const wchar_t kHotKeyDialogTitle[] = L"ホットキー設定";
const wchar_t kInputDialogTitle[] = L"ホットキー入力";

// A row of the dialog, top to bottom: the binding's index and its display, "設定", "削除".
struct CRow {
    int index;
    int text;
    int set;
    int clear;
};
constexpr CRow kRows[] = {
    {0, 1026, 1024, 1025}, {1, 1027, 1028, 1029}, {2, 1030, 1031, 1032}, {7, 1050, 1051, 1052},
    {3, 1033, 1034, 1035}, {4, 1036, 1037, 1038}, {5, 1039, 1040, 1041}, {6, 1042, 1043, 1044},
};
const CRow& RowOf(int index)
{
    for (const CRow& row : kRows) {
        if (row.index == index)
            return row;
    }
    return kRows[0];
}

const std::wstring kCtrlAltF7 = Combination({VK_CONTROL, VK_MENU, VK_F7});

bool ReadList(CFixedHotKeys& list)
{
    std::vector<uint8_t> bytes;
    return ReadBinary(kSettingsKey, kHotKeyListValue, bytes) && ReadHotKeyList(bytes, list);
}

// Whether someone else holds the combination: this test cannot take it.
bool Held(UINT modifiers, UINT key)
{
    if (!RegisterHotKey(nullptr, 0x7F10, modifiers, key))
        return true;
    UnregisterHotKey(nullptr, 0x7F10);
    return false;
}

std::vector<std::wstring> ListItems(HWND list)
{
    std::vector<std::wstring> items;
    const auto count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        if (SendMessageW(list, CB_GETLBTEXTLEN, i, 0) < 127)
            SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    return items;
}

class SettingsToolHotKeys : public SettingsToolTest {
protected:
    // The launcher with a left menu to show, the tool and its hotkey settings open.
    void Open()
    {
        ASSERT_TRUE(SaveMenu(kLeftMenuName, {NewItem(L"メモ帳", L"", L"notepad.exe")}));
        ASSERT_NE(StartLauncher(), nullptr);
        main = StartTool(process);
        ASSERT_NE(main, nullptr);
        ASSERT_NO_FATAL_FAILURE(OpenHotKeyDialog());
    }
    void OpenHotKeyDialog()
    {
        // Posted: the button's click runs the dialog modally.
        PostMessageW(GetDlgItem(main, kHotKeySettingsButton), BM_CLICK, 0, 0);
        dialog = WaitForDialog(process.Id(), kHotKeyDialogTitle);
        ASSERT_NE(dialog, nullptr);
        RoundTrip(dialog);
    }
    void CloseHotKeyDialog()
    {
        PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        EXPECT_TRUE(PollFor(10s, [&] { return !IsWindow(dialog); }));
        RoundTrip(main);
    }
    HWND OpenInput(int index)
    {
        PostMessageW(GetDlgItem(dialog, RowOf(index).set), BM_CLICK, 0, 0);
        HWND input = WaitForDialog(process.Id(), kInputDialogTitle);
        if (input)
            RoundTrip(input);
        return input;
    }
    // Enters a combination in the input through the field's value and clicks "OK"; false
    // when the input did not open or close or the row was not shown anew. The row's text is
    // the last thing a setting changes, after the launcher's answer, the save and the notice.
    bool Enter(int index, UINT key, UINT flags)
    {
        HWND text = GetDlgItem(dialog, RowOf(index).text);
        const wchar_t* const unshown = L"-";
        SendMessageW(text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(unshown));
        HWND input = OpenInput(index);
        if (!input)
            return false;
        SendMessageW(GetDlgItem(input, kInputField), HKM_SETHOTKEY, MAKEWORD(key, flags), 0);
        PostMessageW(GetDlgItem(input, IDOK), BM_CLICK, 0, 0);
        return PollFor(10s, [&] { return !IsWindow(input) && WindowText(text) != unshown; });
    }
    void Clear(int index)
    {
        SendMessageW(GetDlgItem(dialog, RowOf(index).clear), BM_CLICK, 0, 0);
        RoundTrip(dialog);
    }
    std::wstring Shown(int index) { return WindowText(GetDlgItem(dialog, RowOf(index).text)); }
    // A user's choice in a drop-down list: the selection, then its notice.
    void Choose(int listId, int item)
    {
        HWND list = GetDlgItem(dialog, listId);
        SendMessageW(list, CB_SETCURSEL, item, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
    // The launcher's answer to the pressing of a hotkey id: the menu it opens (closed again)
    // and its rectangle; false when it opens none.
    bool LauncherShowsMenuFor(int id, RECT& shown, std::chrono::milliseconds wait = 10s)
    {
        PostMessageW(launcherWindow, WM_HOTKEY, id, 0);
        // The launcher shows the menu from a message it posts itself.
        std::vector<HWND> menus;
        if (!PollFor(wait, [&] { return !(menus = VisibleMenuWindows()).empty(); }))
            return false;
        GetWindowRect(menus.front(), &shown);
        PostKey(menus.front(), VK_ESCAPE);
        PollFor(10s, [] { return VisibleMenuWindows().empty(); });
        RoundTrip(launcherWindow);
        return true;
    }
    void NoBoxes() { EXPECT_TRUE(FindMessageBoxes(process.Id(), kToolBoxCaption).empty()); }

    CProcess process;
    HWND main = nullptr;
    HWND dialog = nullptr;
};

TEST_F(SettingsToolHotKeys, OpensWithItsRowsAndOptions)
{
    WriteDword(kSettingsKey, L"MenuPos", 1);
    WriteDword(kSettingsKey, L"ShowHotKey", 5);
    ASSERT_NO_FATAL_FAILURE(Open());
    for (const CRow& row : kRows) {
        SCOPED_TRACE(row.index);
        HWND text = GetDlgItem(dialog, row.text);
        // The label stands just before its display.
        EXPECT_EQ(WindowText(GetWindow(text, GW_HWNDPREV)), FixedHotKeyLabel(row.index));
        EXPECT_EQ(WindowText(text), L"");
        EXPECT_TRUE(GetWindowLongW(text, GWL_STYLE) & ES_READONLY);
        EXPECT_EQ(WindowText(GetDlgItem(dialog, row.set)), L"設定");
        EXPECT_EQ(WindowText(GetDlgItem(dialog, row.clear)), L"削除");
    }
    HWND menuPos = GetDlgItem(dialog, kMenuPosList);
    HWND showHotKey = GetDlgItem(dialog, kShowHotKeyList);
    EXPECT_EQ(ListItems(menuPos), (std::vector<std::wstring>{L"プライマリ画面左上", L"プライマリ画面左下",
                                                             L"プライマリ画面右上", L"プライマリ画面右下"}));
    EXPECT_EQ(ListItems(showHotKey), (std::vector<std::wstring>{L"しない", L"する"}));
    EXPECT_EQ(SendMessageW(menuPos, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageW(showHotKey, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDCANCEL)), L"閉じる");
    CloseHotKeyDialog();
    // Closing stored nothing.
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadBinary(kSettingsKey, kHotKeyListValue, bytes));
    DWORD value = 0;
    EXPECT_TRUE(ReadDword(kSettingsKey, L"ShowHotKey", value));
    EXPECT_EQ(value, 5u);
    NoBoxes();
    CloseTool(process, main);
    ExitLauncher();
}

TEST_F(SettingsToolHotKeys, ASetBindingIsTheLaunchersAndSettingItAgainSucceeds)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    std::wstring keyText;
    int firstId = -1;
    for (const char* round : {"first", "the same again"}) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(Enter(0, VK_F7, kControlAlt));
        CFixedHotKeys stored;
        ASSERT_TRUE(ReadList(stored));
        const CHotKeyTarget& binding = stored[0];
        EXPECT_EQ(binding.modifiers, MOD_CONTROL | MOD_ALT);
        EXPECT_EQ(binding.virtualKey, VK_F7);
        EXPECT_EQ(binding.keyText, kCtrlAltF7);
        EXPECT_GT(binding.hotKeyId, 0);
        EXPECT_EQ(Shown(0), L"○ " + binding.keyText);
        for (int other = 1; other < kFixedHotKeyCount; ++other) {
            EXPECT_FALSE(stored[static_cast<size_t>(other)].HasKey()) << other;
            EXPECT_EQ(Shown(other), L"") << other;
        }
        EXPECT_TRUE(Held(MOD_CONTROL | MOD_ALT, VK_F7));
        // The launcher read the list again: the id opens its left menu.
        RECT shown = {};
        EXPECT_TRUE(LauncherShowsMenuFor(binding.hotKeyId, shown));
        // The old id was released first: the launcher gives the smallest free one again.
        if (firstId != -1) {
            EXPECT_EQ(binding.hotKeyId, firstId);
        }
        firstId = binding.hotKeyId;
    }
    // The stored id is the launcher's registration of the combination.
    LRESULT result = 0;
    ASSERT_TRUE(SendLauncher(launcherWindow, kUnregister, firstId, result));
    EXPECT_FALSE(Held(MOD_CONTROL | MOD_ALT, VK_F7));
    NoBoxes();
    CloseHotKeyDialog();
    CloseTool(process, main);
    ExitLauncher();
}

TEST_F(SettingsToolHotKeys, ACombinationHeldElsewhereShowsACrossAndRemovingClearsIt)
{
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, VK_F6));
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(Enter(7, VK_F6, kControlAlt));
    const std::wstring ctrlAltF6 = Combination({VK_CONTROL, VK_MENU, VK_F6});
    EXPECT_EQ(Shown(7), L"× " + ctrlAltF6);
    CFixedHotKeys stored;
    ASSERT_TRUE(ReadList(stored));
    EXPECT_EQ(stored[7].virtualKey, VK_F6);
    EXPECT_EQ(stored[7].modifiers, MOD_CONTROL | MOD_ALT);
    EXPECT_EQ(stored[7].keyText, ctrlAltF6);
    EXPECT_EQ(stored[7].hotKeyId, -1);
    NoBoxes();

    Clear(7);
    EXPECT_EQ(Shown(7), L"");
    ASSERT_TRUE(ReadList(stored));
    EXPECT_EQ(stored[7], CHotKeyTarget());
    NoBoxes();
    CloseHotKeyDialog();
    CloseTool(process, main);
    ExitLauncher();
    UnregisterHotKey(nullptr, 1);
}

TEST_F(SettingsToolHotKeys, RemovingARowWithoutABindingStillStoresAndAnnouncesTheList)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(Enter(0, VK_F7, kControlAlt));
    CFixedHotKeys toolList;
    ASSERT_TRUE(ReadList(toolList));
    const int id = toolList[0].hotKeyId;
    ASSERT_GT(id, 0);

    // Behind the tool's back the store gets an empty list and an older value, and the
    // launcher forgets the binding.
    std::vector<uint8_t> empty;
    ASSERT_TRUE(WriteHotKeyList(CFixedHotKeys{}, empty));
    WriteBinary(kSettingsKey, kHotKeyListValue, empty);
    WriteBinary(kSettingsKey, kOldHotKeyListValue, empty);
    LRESULT result = 0;
    ASSERT_TRUE(SendLauncher(launcherWindow, kReload, kReloadFixedHotKeys, result));
    // Only a fault can show a menu here; a slow launcher could merely hide one.
    RECT shown = {};
    ASSERT_FALSE(LauncherShowsMenuFor(id, shown, 2s));

    Clear(1);
    EXPECT_EQ(Shown(1), L"");
    CFixedHotKeys stored;
    ASSERT_TRUE(ReadList(stored));
    EXPECT_EQ(stored, toolList);
    std::vector<uint8_t> old;
    EXPECT_FALSE(ReadBinary(kSettingsKey, kOldHotKeyListValue, old));
    // Told to reload, the launcher knows the binding again.
    EXPECT_TRUE(LauncherShowsMenuFor(id, shown));
    NoBoxes();
    CloseHotKeyDialog();
    CloseTool(process, main);
    ExitLauncher();
}

TEST_F(SettingsToolHotKeys, OptionChoicesAreStoredAndAnnouncedAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(Enter(0, VK_F7, kControlAlt));
    CFixedHotKeys stored;
    ASSERT_TRUE(ReadList(stored));
    const int id = stored[0].hotKeyId;
    ASSERT_GT(id, 0);
    const LONG width = GetSystemMetrics(SM_CXSCREEN);
    const LONG height = GetSystemMetrics(SM_CYSCREEN);

    struct Case {
        int menuPos;
        int showHotKey;
        POINT corner; // the menu's corner at the anchor
    } const cases[] = {
        {0, 0, {4, 4}},
        {2, 1, {width - 4, 4}},
        {1, 0, {4, height - 4}},
        {3, 1, {width - 4, height - 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.menuPos);
        Choose(kMenuPosList, c.menuPos);
        Choose(kShowHotKeyList, c.showHotKey);
        DWORD value = 99;
        EXPECT_TRUE(ReadDword(kSettingsKey, L"MenuPos", value));
        EXPECT_EQ(value, static_cast<DWORD>(c.menuPos));
        EXPECT_TRUE(ReadDword(kSettingsKey, L"ShowHotKey", value));
        EXPECT_EQ(value, static_cast<DWORD>(c.showHotKey));
        // The launcher took the new corner.
        RECT menu = {};
        ASSERT_TRUE(LauncherShowsMenuFor(id, menu));
        EXPECT_EQ(c.corner.x == 4 ? menu.left : menu.right, c.corner.x);
        EXPECT_EQ(c.corner.y == 4 ? menu.top : menu.bottom, c.corner.y);
    }
    // The main dialog keeps the values: the dialog opens with them again.
    CloseHotKeyDialog();
    ASSERT_NO_FATAL_FAILURE(OpenHotKeyDialog());
    EXPECT_EQ(SendDlgItemMessageW(dialog, kMenuPosList, CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(SendDlgItemMessageW(dialog, kShowHotKeyList, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Shown(0), L"○ " + kCtrlAltF7);
    NoBoxes();
    CloseHotKeyDialog();
    CloseTool(process, main);
    ExitLauncher();
}

TEST_F(SettingsToolHotKeys, EnterAndEscapeGoToTheFieldAndNeitherConfirmNorCancel)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    HWND input = OpenInput(2);
    ASSERT_NE(input, nullptr);
    HWND field = GetDlgItem(input, kInputField);
    RECT r = {};
    GetWindowRect(field, &r);
    ASSERT_TRUE(RealClickInto(field, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}));

    for (const wchar_t* key : {L"Return", L"Escape", L"Tab"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(key)));
        // The field forgets its combination on any key it gets: that shows the key arrived.
        SendMessageW(field, HKM_SETHOTKEY, MAKEWORD(VK_F5, HOTKEYF_SHIFT), 0);
        ASSERT_TRUE(RealKeys(key));
        PollFor(5s, [&] {
            return !IsWindow(input) || SendMessageW(field, HKM_GETHOTKEY, 0, 0) == 0 ||
                   !FindMessageBoxes(process.Id(), kToolBoxCaption).empty();
        });
        ASSERT_TRUE(IsWindow(input));
        EXPECT_EQ(SendMessageW(field, HKM_GETHOTKEY, 0, 0), 0);
        NoBoxes();
    }
    // A combination typed reaches the field and is taken with a click on "OK".
    ASSERT_TRUE(RealKeys(L"ctrl+shift+k"));
    EXPECT_TRUE(PollFor(5s, [&] {
        return SendMessageW(field, HKM_GETHOTKEY, 0, 0) == MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    }));
    PostMessageW(GetDlgItem(input, IDOK), BM_CLICK, 0, 0);
    const std::wstring shown = L"○ " + Combination({VK_CONTROL, VK_SHIFT, 'K'});
    // The row's text comes last, after the save.
    EXPECT_TRUE(PollFor(10s, [&] { return !IsWindow(input) && Shown(2) == shown; }));
    EXPECT_EQ(Shown(2), shown);
    CFixedHotKeys stored;
    ASSERT_TRUE(ReadList(stored));
    EXPECT_EQ(stored[2].modifiers, MOD_CONTROL | MOD_SHIFT);
    EXPECT_EQ(stored[2].virtualKey, 'K');
    NoBoxes();
    CloseHotKeyDialog();
    CloseTool(process, main);
    ExitLauncher();
}

TEST_F(SettingsToolHotKeys, AnEmptyInputIsRefusedAndCancelChangesNothing)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    std::vector<uint8_t> before;
    ASSERT_TRUE(ReadBinary(kSettingsKey, kHotKeyListValue, before));
    HWND input = OpenInput(1);
    ASSERT_NE(input, nullptr);
    PostMessageW(GetDlgItem(input, IDOK), BM_CLICK, 0, 0);
    const CFoundBox box = WaitForMessageBox(process.Id(), 10s, kToolBoxCaption);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, L"キーを入力してください。\r\n\r\n入らないキーもあります。あしからずご了承ください。");
    EXPECT_EQ(GetWindow(box.window, GW_OWNER), input);
    DismissMessageBox(box.window);
    ASSERT_TRUE(PollFor(5s, [&] { return FindMessageBoxes(process.Id(), kToolBoxCaption).empty(); }));
    RoundTrip(input);
    ASSERT_TRUE(IsWindow(input));

    SendMessageW(GetDlgItem(input, kInputField), HKM_SETHOTKEY, MAKEWORD(VK_F8, kControlAlt), 0);
    PostMessageW(GetDlgItem(input, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(PollFor(10s, [&] { return !IsWindow(input); }));
    RoundTrip(dialog);
    EXPECT_EQ(Shown(1), L"");
    std::vector<uint8_t> after;
    ASSERT_TRUE(ReadBinary(kSettingsKey, kHotKeyListValue, after));
    EXPECT_EQ(after, before);
    EXPECT_FALSE(Held(MOD_CONTROL | MOD_ALT, VK_F8));
    CloseHotKeyDialog();
    CloseTool(process, main);
    ExitLauncher();
}

TEST_F(SettingsToolHotKeys, WithoutTheLauncherSettingChangesNothingAndRemovingStillStores)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(Enter(0, VK_F7, kControlAlt));
    launcherProcess.Kill();
    ASSERT_TRUE(WaitForBlockGone(10s));
    std::vector<uint8_t> before;
    ASSERT_TRUE(ReadBinary(kSettingsKey, kHotKeyListValue, before));

    for (int index : {0, 1}) {
        SCOPED_TRACE(index);
        const std::wstring shown = Shown(index);
        HWND input = OpenInput(index);
        ASSERT_NE(input, nullptr);
        SendMessageW(GetDlgItem(input, kInputField), HKM_SETHOTKEY, MAKEWORD(VK_F8, kControlAlt), 0);
        PostMessageW(GetDlgItem(input, IDOK), BM_CLICK, 0, 0);
        const CFoundBox box = WaitForMessageBox(process.Id(), 10s, kToolBoxCaption);
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, L"常駐部と通信できません。");
        DismissMessageBox(box.window);
        ASSERT_TRUE(PollFor(5s, [&] { return FindMessageBoxes(process.Id(), kToolBoxCaption).empty(); }));
        RoundTrip(dialog);
        EXPECT_EQ(Shown(index), shown);
        std::vector<uint8_t> after;
        ASSERT_TRUE(ReadBinary(kSettingsKey, kHotKeyListValue, after));
        EXPECT_EQ(after, before);
    }
    EXPECT_EQ(Shown(0), L"○ " + kCtrlAltF7);

    Clear(0);
    EXPECT_EQ(Shown(0), L"");
    CFixedHotKeys stored;
    ASSERT_TRUE(ReadList(stored));
    EXPECT_EQ(stored[0], CHotKeyTarget());
    NoBoxes();
    CloseHotKeyDialog();
    CloseTool(process, main);
}

TEST_F(SettingsToolHotKeys, ACorruptStoredListIsReportedOnceAndTheDialogStartsEmpty)
{
    ASSERT_NE(StartLauncher(), nullptr);
    // Written after the launcher's start, which stores its own list: complete records with
    // keys, then the last one broken off.
    CFixedHotKeys list;
    for (size_t i = 0; i < list.size(); ++i) {
        list[i] = CtrlAlt(VK_F1 + static_cast<UINT>(i), L"F" + std::to_wstring(i + 1));
        list[i].hotKeyId = static_cast<int32_t>(i + 1);
    }
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(WriteHotKeyList(list, bytes));
    bytes.resize(bytes.size() - 3);
    CFixedHotKeys check;
    ASSERT_FALSE(ReadHotKeyList(bytes, check));
    WriteBinary(kSettingsKey, kHotKeyListValue, bytes);

    process = CProcess::Start(tool, L"");
    const CFoundBox box = WaitForMessageBox(process.Id(), kStartTimeout, kToolBoxCaption);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, L"ホットキー設定が破損しています。");
    DismissMessageBox(box.window);
    main = WaitForToolDialog(process.Id(), kStartTimeout);
    ASSERT_NE(main, nullptr);
    RoundTrip(main);
    NoBoxes();
    ASSERT_NO_FATAL_FAILURE(OpenHotKeyDialog());
    for (const CRow& row : kRows)
        EXPECT_EQ(Shown(row.index), L"") << row.index;
    NoBoxes();
    CloseHotKeyDialog();
    CloseTool(process, main);
    ExitLauncher();
}

} // namespace
