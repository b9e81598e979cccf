// The property dialogs of menu entries end to end, with the real launcher: opened from the
// lists' "プロパティ" and "ショートカットを展開", their fields shown and written back on OK
// only, the menu stored and shown by the launcher; a per-item hotkey registered at OK, moved
// to another combination, refused without a launcher; real shortcuts expanded (an unreadable
// one refused with its message); an internal link's file fields; the text-copy item's
// long text in an internal file and its missing file; a submenu's title and accelerator.
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "LauncherProtocol.h"
#include "SettingsToolTest_win.h"
#include "WinHandles.h"

namespace {
constexpr UINT kProperties = 32784;
constexpr UINT kExpandShortcut = 32804;
const wchar_t kFileItemTitle[] = L"ファイル指定";
const wchar_t kTextItemTitle[] = L"テキストコピー項目の指定";
const wchar_t kSubmenuTitle[] = L"サブメニュー";
const wchar_t kInputTitle[] = L"ホットキー入力";

// The controls of the property dialogs.
enum XItemControl : int {
    kExpandEnvironment = 1003,
    kFile = 1006,
    kBrowseFile = 1007,
    kParameters = 1008,
    kBrowseFolder = 1009,
    kFolder = 1010,
    kTitle = 1011,
    kHotKeyText = 1012,
    kShow = 1022,
    kExpand = 1023,
    kHotKeySet = 1025,
    kHotKeyClear = 1026,
    kAccelerator = 1069,
    kCopyText = 1071,
    kInputField = 1035,
};
constexpr int kFileControls[] = {kFile,         kBrowseFile, kParameters,        kFolder,
                                 kBrowseFolder, kShow,       kExpandEnvironment, kExpand};

// A shortcut saved through the shell's own object.
bool MakeShortcut(const std::wstring& file, const std::wstring& target, const std::wstring& arguments,
                  const std::wstring& folder, int show)
{
    CComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return false;
    link->SetPath(target.c_str());
    link->SetArguments(arguments.c_str());
    link->SetWorkingDirectory(folder.c_str());
    link->SetShowCmd(show);
    CComPtr<IPersistFile> persist;
    return SUCCEEDED(link.QueryInterface(persist)) && SUCCEEDED(persist->Save(file.c_str(), TRUE));
}

// Whether someone holds the combination: this test cannot take it then.
bool Held(UINT modifiers, UINT key)
{
    if (!RegisterHotKey(nullptr, 0x7F11, modifiers, key))
        return true;
    UnregisterHotKey(nullptr, 0x7F11);
    return false;
}

bool Enabled(HWND dialog, int controlId)
{
    return IsWindowEnabled(GetDlgItem(dialog, controlId)) != FALSE;
}

class SettingsToolItems : public SettingsToolTest {
protected:
    void SetUp() override
    {
        SettingsToolTest::SetUp();
        comReady = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }
    void TearDown() override
    {
        SettingsToolTest::TearDown();
        if (comReady)
            CoUninitialize();
    }

    // The launcher with this left menu, and the tool.
    void Open(std::initializer_list<CXNode*> left)
    {
        ASSERT_TRUE(SaveMenu(kLeftMenuName, left));
        ASSERT_NE(StartLauncher(), nullptr);
        main = StartTool(process);
        ASSERT_NE(main, nullptr);
        list = GetDlgItem(main, kUpperList);
    }
    // A row's dialog through a command of the list's context menu, once it shows.
    HWND OpenRow(int row, const wchar_t* title, UINT command = kProperties)
    {
        if (!SelectListRows(list, {row}))
            return nullptr;
        // Posted as the menu does: the command runs the dialog modally.
        PostMessageW(list, WM_COMMAND, command, 0);
        return WaitForDialog(process.Id(), title);
    }
    void Press(HWND dialog, int button) { PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0); }
    // The dialog closed and the command that ran it finished (saved and told the views).
    bool Closed(HWND dialog)
    {
        return PollFor(10s, [&] { return !IsWindow(dialog); }) && RoundTrip(main);
    }
    std::wstring Text(HWND dialog, int controlId) { return WindowText(GetDlgItem(dialog, controlId)); }
    void SetText(HWND dialog, int controlId, const std::wstring& text)
    {
        SendMessageW(GetDlgItem(dialog, controlId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // A combination through the hotkey input of "設定(&H)"; false when the input did not
    // open or close.
    bool EnterHotKey(HWND dialog, UINT key, UINT flags)
    {
        Press(dialog, kHotKeySet);
        HWND input = WaitForDialog(process.Id(), kInputTitle);
        if (!input)
            return false;
        SendMessageW(GetDlgItem(input, kInputField), HKM_SETHOTKEY, MAKEWORD(key, flags), 0);
        Press(input, IDOK);
        return PollFor(10s, [&] { return !IsWindow(input); }) && RoundTrip(dialog);
    }
    // The one box of the tool now showing: its text, dismissed.
    std::wstring NextBox()
    {
        const CFoundBox box = WaitForMessageBox(process.Id(), 10s, kToolBoxCaption);
        if (!box.window)
            return L"(no box)";
        DismissMessageBox(box.window);
        PollFor(5s, [&] { return !IsWindow(box.window); });
        return box.text;
    }
    void NoBoxes() { EXPECT_TRUE(FindMessageBoxes(process.Id(), kToolBoxCaption).empty()); }
    std::unique_ptr<CXRoot> Stored() { return StoredMenu(kLeftMenuName); }
    CXItem* StoredItem(CXRoot& root, size_t index)
    {
        return index < root.children.size() ? XDynamicCast<CXItem>(root.children[index]) : nullptr;
    }

    bool comReady = false;
    CProcess process;
    HWND main = nullptr;
    HWND list = nullptr;
};

TEST_F(SettingsToolItems, FileItemShowsItsFieldsAndOkStoresThem)
{
    CXItem* seed = NewItem(L"メモ帳", L"N", L"%SystemRoot%\\notepad.exe");
    seed->parameters = L"/a";
    seed->workingFolder = L"C:\\windows";
    seed->showCommand = 2;
    seed->expandEnvironment = 0;
    ASSERT_NO_FATAL_FAILURE(Open({seed, NewItem(L"次", L"", L"calc.exe")}));
    HWND dialog = OpenRow(0, kFileItemTitle);
    ASSERT_NE(dialog, nullptr);

    EXPECT_EQ(Text(dialog, kTitle), L"メモ帳");
    EXPECT_EQ(Text(dialog, kAccelerator), L"N");
    EXPECT_EQ(Text(dialog, kFile), L"%SystemRoot%\\notepad.exe");
    EXPECT_EQ(Text(dialog, kParameters), L"/a");
    EXPECT_EQ(Text(dialog, kFolder), L"C:\\windows");
    HWND sizes = GetDlgItem(dialog, kShow);
    EXPECT_EQ(SendMessageW(sizes, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageW(sizes, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(IsDlgButtonChecked(dialog, kExpandEnvironment), BST_UNCHECKED);
    EXPECT_EQ(Text(dialog, kHotKeyText), L"");
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog, kHotKeyText), GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, kExpand)), L"ショートカットを展開(&L)");
    // Offered only while the file name ends in ".lnk", in any case.
    EXPECT_FALSE(Enabled(dialog, kExpand));
    SetText(dialog, kFile, L"C:\\x\\a.LNK");
    EXPECT_TRUE(Enabled(dialog, kExpand));
    SetText(dialog, kFile, L"C:\\windows\\system32\\calc.exe");
    EXPECT_FALSE(Enabled(dialog, kExpand));

    SetText(dialog, kTitle, L"電卓");
    SetText(dialog, kAccelerator, L"C");
    SetText(dialog, kParameters, L"/b");
    SetText(dialog, kFolder, L"C:\\");
    SendMessageW(sizes, CB_SETCURSEL, 1, 0);
    SendMessageW(GetDlgItem(dialog, kExpandEnvironment), BM_SETCHECK, BST_CHECKED, 0);
    Press(dialog, IDOK);
    ASSERT_TRUE(Closed(dialog));
    NoBoxes();

    const auto root = Stored();
    const CXItem* item = StoredItem(*root, 0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->title, L"電卓");
    EXPECT_EQ(item->accelerator, L"C");
    EXPECT_EQ(item->path, L"C:\\windows\\system32\\calc.exe");
    EXPECT_EQ(item->parameters, L"/b");
    EXPECT_EQ(item->workingFolder, L"C:\\");
    EXPECT_EQ(item->showCommand, 1);
    EXPECT_EQ(item->expandEnvironment, 1);
    EXPECT_EQ(ListTitles(list), (std::vector<std::wstring>{L"電卓", L"次"}));
    EXPECT_EQ(ReadListRows(list)[0].texts[1], L"(C)");
    CloseTool(process, main);
}

TEST_F(SettingsToolItems, CancelAndARefusedEmptyFileNameLeaveTheStoreAsItWas)
{
    ASSERT_NO_FATAL_FAILURE(Open({NewItem(L"メモ帳", L"", L"notepad.exe")}));
    const CRegistrySnapshot before = SnapshotRegistry(kSettingsKey);

    HWND dialog = OpenRow(0, kFileItemTitle);
    ASSERT_NE(dialog, nullptr);
    SetText(dialog, kTitle, L"変えた");
    Press(dialog, IDCANCEL);
    ASSERT_TRUE(Closed(dialog));

    dialog = OpenRow(0, kFileItemTitle);
    ASSERT_NE(dialog, nullptr);
    // The dialog shows the item, not what the cancelled one held.
    EXPECT_EQ(Text(dialog, kTitle), L"メモ帳");
    SetText(dialog, kFile, L"");
    Press(dialog, IDOK);
    EXPECT_EQ(NextBox(), L"ファイル名欄は必須です。");
    ASSERT_TRUE(RoundTrip(dialog));
    EXPECT_TRUE(IsWindowVisible(dialog));
    Press(dialog, IDCANCEL);
    ASSERT_TRUE(Closed(dialog));

    EXPECT_EQ(SnapshotRegistry(kSettingsKey), before);
    EXPECT_EQ(ListTitles(list), std::vector<std::wstring>{L"メモ帳"});
    CloseTool(process, main);
}

// The binding of an item is registered at OK, not before; a new combination releases the old
// one at the launcher, and the launcher uses what is stored.
TEST_F(SettingsToolItems, ItemHotKeyIsRegisteredAtOkAndMovedToANewCombination)
{
    constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;
    if (Held(kCtrlAlt, VK_F8) || Held(kCtrlAlt, VK_F9))
        GTEST_SKIP() << "Ctrl+Alt+F8 or F9 is held on this display";
    WriteDword(kSettingsKey, L"ShowHotKey", 1);
    ASSERT_NO_FATAL_FAILURE(Open({NewText(L"挨拶", L"こんにちは", L"こんにちは")}));
    const CMenuPicture without = MenuPicture(kOpenLeftMenu);

    HWND dialog = OpenRow(0, kTextItemTitle);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(EnterHotKey(dialog, VK_F8, HOTKEYF_CONTROL | HOTKEYF_ALT));
    const std::wstring f8 = Combination({VK_CONTROL, VK_MENU, VK_F8});
    EXPECT_EQ(Text(dialog, kHotKeyText), f8);
    EXPECT_FALSE(Held(kCtrlAlt, VK_F8)) << "registered before OK";
    Press(dialog, IDOK);
    ASSERT_TRUE(Closed(dialog));
    NoBoxes();
    EXPECT_TRUE(Held(kCtrlAlt, VK_F8));

    auto root = Stored();
    const CXItem* item = StoredItem(*root, 0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->hotKey.virtualKey, static_cast<int32_t>(VK_F8));
    EXPECT_EQ(item->hotKey.modifiers, static_cast<int32_t>(kCtrlAlt));
    EXPECT_EQ(item->hotKey.keyText, f8);
    const int32_t id = item->hotKey.hotKeyId;
    EXPECT_GT(id, 0);
    EXPECT_EQ(ReadListRows(list)[0].texts[2], L"○ " + f8);
    // The launcher's next menu shows the combination, and the id copies the text.
    EXPECT_NE(MenuPicture(kOpenLeftMenu), without);
    EmptyClipboardOfEveryone();
    PostMessageW(launcherWindow, WM_HOTKEY, static_cast<WPARAM>(id), 0);
    std::wstring copied;
    EXPECT_TRUE(PollFor(10s, [&] { return (copied = ClipboardText()) == L"こんにちは"; })) << copied;

    dialog = OpenRow(0, kTextItemTitle);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Text(dialog, kHotKeyText), f8);
    ASSERT_TRUE(EnterHotKey(dialog, VK_F9, HOTKEYF_CONTROL | HOTKEYF_ALT));
    Press(dialog, IDOK);
    ASSERT_TRUE(Closed(dialog));
    EXPECT_FALSE(Held(kCtrlAlt, VK_F8));
    EXPECT_TRUE(Held(kCtrlAlt, VK_F9));
    root = Stored();
    item = StoredItem(*root, 0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->hotKey.virtualKey, static_cast<int32_t>(VK_F9));
    EXPECT_GT(item->hotKey.hotKeyId, 0);

    // The same combination chosen again keeps its registration.
    dialog = OpenRow(0, kTextItemTitle);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(EnterHotKey(dialog, VK_F9, HOTKEYF_CONTROL | HOTKEYF_ALT));
    Press(dialog, IDOK);
    ASSERT_TRUE(Closed(dialog));
    const int32_t kept = item->hotKey.hotKeyId;
    root = Stored();
    item = StoredItem(*root, 0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->hotKey.hotKeyId, kept);
    EXPECT_EQ(ReadListRows(list)[0].texts[2], L"○ " + Combination({VK_CONTROL, VK_MENU, VK_F9}));

    // "削除(&X)" and OK release it.
    dialog = OpenRow(0, kTextItemTitle);
    ASSERT_NE(dialog, nullptr);
    Press(dialog, kHotKeyClear);
    EXPECT_TRUE(PollFor(10s, [&] { return Text(dialog, kHotKeyText).empty(); }));
    EXPECT_TRUE(Held(kCtrlAlt, VK_F9)) << "released before OK";
    Press(dialog, IDOK);
    ASSERT_TRUE(Closed(dialog));
    EXPECT_FALSE(Held(kCtrlAlt, VK_F9));
    root = Stored();
    item = StoredItem(*root, 0);
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->hotKey.HasKey());
    CloseTool(process, main);
}

TEST_F(SettingsToolItems, AChangedHotKeyWithoutALauncherStaysOpenAndStoresNothing)
{
    ASSERT_NO_FATAL_FAILURE(Open({NewItem(L"メモ帳", L"", L"notepad.exe")}));
    HWND dialog = OpenRow(0, kFileItemTitle);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(EnterHotKey(dialog, 'Q', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
    // Gone without a word: a launcher that exits closes the tool with it.
    launcherProcess.Kill();
    ASSERT_TRUE(WaitForBlockGone(5s));
    const CRegistrySnapshot before = SnapshotRegistry(kSettingsKey);
    Press(dialog, IDOK);
    EXPECT_EQ(NextBox(), L"常駐部と通信できません。");
    ASSERT_TRUE(RoundTrip(dialog));
    EXPECT_TRUE(IsWindowVisible(dialog));
    Press(dialog, IDCANCEL);
    ASSERT_TRUE(Closed(dialog));
    EXPECT_EQ(SnapshotRegistry(kSettingsKey), before);
    CloseTool(process, main);
}

// "ショートカットを展開" of the context menu expands at once, into the dialog only; OK stores it.
TEST_F(SettingsToolItems, ExpandingARealShortcutFillsTheDialogAndOkStoresIt)
{
    ASSERT_TRUE(comReady);
    const std::wstring lnk = folder.File(L"エディタ.lnk");
    ASSERT_TRUE(
        MakeShortcut(lnk, L"C:\\windows\\notepad.exe", L"/x \"a b\"", L"C:\\windows\\system32", SW_SHOWMINNOACTIVE));
    CXItem* seed = NewItem(L"エディタ.lnk", L"E", lnk);
    seed->showCommand = 2;
    ASSERT_NO_FATAL_FAILURE(Open({seed}));
    const CRegistrySnapshot before = SnapshotRegistry(kSettingsKey);

    HWND dialog = OpenRow(0, kFileItemTitle, kExpandShortcut);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(PollFor(10s, [&] { return RoundTrip(dialog) && Text(dialog, kParameters) == L"/x \"a b\""; }));
    NoBoxes();
    EXPECT_EQ(Text(dialog, kTitle), L"エディタ");
    EXPECT_EQ(Text(dialog, kAccelerator), L"E");
    EXPECT_EQ(_wcsicmp(Text(dialog, kFile).c_str(), L"C:\\windows\\notepad.exe"), 0) << Text(dialog, kFile);
    EXPECT_EQ(Text(dialog, kFolder), L"C:\\windows\\system32");
    EXPECT_EQ(SendDlgItemMessageW(dialog, kShow, CB_GETCURSEL, 0, 0), 0);
    EXPECT_FALSE(Enabled(dialog, kExpand));
    // Only the dialog changed so far.
    EXPECT_EQ(SnapshotRegistry(kSettingsKey), before);
    Press(dialog, IDOK);
    ASSERT_TRUE(Closed(dialog));

    const auto root = Stored();
    const CXItem* item = StoredItem(*root, 0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->title, L"エディタ");
    EXPECT_EQ(_wcsicmp(item->path.c_str(), L"C:\\windows\\notepad.exe"), 0);
    EXPECT_EQ(item->parameters, L"/x \"a b\"");
    EXPECT_EQ(item->workingFolder, L"C:\\windows\\system32");
    EXPECT_EQ(item->showCommand, 0);
    CloseTool(process, main);
}

// Wine's shell link reports no run-as flag, so the administrator's message is shown by the
// tests of the item operation; a file that is no shortcut at all gives the general message.
TEST_F(SettingsToolItems, AnUnreadableShortcutShowsItsMessageAndTheFieldsStay)
{
    const std::wstring lnk = folder.File(L"壊れた.lnk");
    ASSERT_TRUE(WriteFileBytes(lnk, {'n', 'o', ' ', 'l', 'i', 'n', 'k'}));
    CXItem* seed = NewItem(L"壊れた", L"", lnk);
    seed->parameters = L"/p";
    ASSERT_NO_FATAL_FAILURE(Open({seed}));
    const CRegistrySnapshot before = SnapshotRegistry(kSettingsKey);
    HWND dialog = OpenRow(0, kFileItemTitle);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(Enabled(dialog, kExpand));
    Press(dialog, kExpand);
    EXPECT_EQ(NextBox(), L"ショートカットから情報を取り出せません。");
    ASSERT_TRUE(RoundTrip(dialog));
    NoBoxes();
    EXPECT_EQ(Text(dialog, kFile), lnk);
    EXPECT_EQ(Text(dialog, kParameters), L"/p");
    EXPECT_EQ(Text(dialog, kTitle), L"壊れた");
    Press(dialog, IDCANCEL);
    ASSERT_TRUE(Closed(dialog));
    EXPECT_EQ(SnapshotRegistry(kSettingsKey), before);
    CloseTool(process, main);
}

// An internal link shows its target's name; its file fields take input only where internal
// links are shown, and OK never changes the stored path.
TEST_F(SettingsToolItems, AnInternalLinkKeepsItsPath)
{
    ASSERT_TRUE(comReady);
    const std::wstring name = L"{0F0E0D0C-0B0A-0908-0706-050403020100}.lnk";
    const std::wstring stored = std::wstring(L"%VelquinLNKs%\\") + name;
    for (int shown : {0, 1}) {
        SCOPED_TRACE(shown);
        CXItem* seed = NewItem(L"内部", L"", stored);
        seed->isInternal = 1;
        ASSERT_NO_FATAL_FAILURE(Open({seed}));
        ASSERT_TRUE(FolderExists(ProductDataFolder() + L"\\LNKs"));
        ASSERT_TRUE(MakeShortcut(ProductDataFolder() + L"\\LNKs\\" + name, L"C:\\windows\\notepad.exe", L"", L"",
                                 SW_SHOWNORMAL));
        if (shown) {
            // The tool reads the value when it starts.
            CloseTool(process, main);
            WriteDword(kSettingsKey, L"ShowInternalLinks", 1);
            main = StartTool(process);
            ASSERT_NE(main, nullptr);
            list = GetDlgItem(main, kUpperList);
        }
        HWND dialog = OpenRow(0, kFileItemTitle);
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(Text(dialog, kFile).empty());
        EXPECT_NE(Text(dialog, kFile), stored);
        for (int control : kFileControls)
            EXPECT_EQ(Enabled(dialog, control), shown != 0) << control;
        EXPECT_TRUE(Enabled(dialog, kTitle));
        SetText(dialog, kTitle, L"内部リンク");
        if (shown)
            SetText(dialog, kFile, L"C:\\other.exe");
        Press(dialog, IDOK);
        ASSERT_TRUE(Closed(dialog));
        const auto root = Stored();
        const CXItem* item = StoredItem(*root, 0);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->title, L"内部リンク");
        EXPECT_EQ(item->path, stored);
        EXPECT_EQ(item->isInternal, 1);
        CloseTool(process, main);
        KillRunningLauncher();
    }
}

TEST_F(SettingsToolItems, TextItemStoresALongTextInAnInternalFileAndKeepsAnEmptyTitle)
{
    ASSERT_NO_FATAL_FAILURE(Open({NewText(L"短い", L"abc", L"abc")}));
    HWND dialog = OpenRow(0, kTextItemTitle);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Text(dialog, kTitle), L"短い");
    EXPECT_EQ(Text(dialog, kCopyText), L"abc");
    EXPECT_EQ(SendDlgItemMessageW(dialog, kCopyText, EM_GETLIMITTEXT, 0, 0), 0x4000000);
    EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog, kCopyText), GWL_STYLE) & ES_MULTILINE);
    std::wstring longText;
    for (int line = 0; line < 40; ++line)
        longText += L"行" + std::to_wstring(line) + L" の文章です。\r\n";
    SetText(dialog, kTitle, L"");
    SetText(dialog, kCopyText, longText);
    Press(dialog, IDOK);
    ASSERT_TRUE(Closed(dialog));
    NoBoxes();

    const auto root = Stored();
    const auto* item = XDynamicCast<CXTextItem>(root->children.empty() ? nullptr : root->children[0]);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->title, L"");
    EXPECT_EQ(item->isInternal, 1);
    EXPECT_TRUE(item->text.empty());
    std::vector<uint8_t> bytes;
    const std::wstring file = ProductDataFolder() + L"\\LNKs\\" + item->path.substr(item->path.rfind(L'\\') + 1);
    ASSERT_TRUE(ReadFileBytes(file, bytes)) << std::string(file.begin(), file.end());
    EXPECT_EQ(bytes, Utf16Bytes(longText));
    // The list shows the automatic title.
    EXPECT_EQ(ListTitles(list)[0].rfind(L"「行0 の文章です。", 0), 0u) << ListTitles(list)[0].size();
    EXPECT_EQ(TextOfFirstEntry(kOpenLeftMenu), longText);
    CloseTool(process, main);
}

TEST_F(SettingsToolItems, ATextItemWhoseFileIsMissingOpensEmptyAndWritesNothingBeforeOk)
{
    CXTextItem* seed = NewText(L"消えた", L"...", L"");
    seed->isInternal = 1;
    seed->path = L"%VelquinLNKs%\\{11111111-2222-3333-4444-555555555555}.lnk";
    ASSERT_NO_FATAL_FAILURE(Open({seed}));
    const CRegistrySnapshot before = SnapshotRegistry(kSettingsKey);
    HWND dialog = OpenRow(0, kTextItemTitle);
    ASSERT_NE(dialog, nullptr);
    NoBoxes();
    EXPECT_EQ(Text(dialog, kCopyText), L"");
    EXPECT_EQ(Text(dialog, kTitle), L"消えた");
    Press(dialog, IDCANCEL);
    ASSERT_TRUE(Closed(dialog));
    EXPECT_EQ(SnapshotRegistry(kSettingsKey), before);

    dialog = OpenRow(0, kTextItemTitle);
    ASSERT_NE(dialog, nullptr);
    SetText(dialog, kCopyText, L"新しい");
    Press(dialog, IDOK);
    ASSERT_TRUE(Closed(dialog));
    const auto root = Stored();
    const auto* item = XDynamicCast<CXTextItem>(root->children.empty() ? nullptr : root->children[0]);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->isInternal, 0);
    EXPECT_EQ(item->text, L"新しい");
    CloseTool(process, main);
}

TEST_F(SettingsToolItems, SubmenuDialogStoresTitleAndAccelerator)
{
    ASSERT_NO_FATAL_FAILURE(Open({NewSubmenu(L"道具", {NewItem(L"メモ帳", L"", L"notepad.exe")})}));
    HWND dialog = OpenRow(0, kSubmenuTitle);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Text(dialog, kTitle), L"道具");
    EXPECT_EQ(Text(dialog, kAccelerator), L"");
    SetText(dialog, kTitle, L"ツール");
    SetText(dialog, kAccelerator, L"T");
    Press(dialog, IDOK);
    ASSERT_TRUE(Closed(dialog));
    const auto root = Stored();
    const auto* submenu = XDynamicCast<CXParent>(root->children.empty() ? nullptr : root->children[0]);
    ASSERT_NE(submenu, nullptr);
    EXPECT_EQ(submenu->title, L"ツール");
    EXPECT_EQ(submenu->accelerator, L"T");
    ASSERT_EQ(submenu->children.size(), 1u);
    EXPECT_EQ(ListTitles(list), std::vector<std::wstring>{L"ツール"});
    const std::vector<CTreeEntry> tree = ReadTree(GetDlgItem(main, kUpperTree));
    ASSERT_GE(tree.size(), 2u);
    EXPECT_EQ(tree[1].text, L"ツール");
    CloseTool(process, main);
}

} // namespace
