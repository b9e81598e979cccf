// Drives the settings tool for a picture of its main dialog or of one of the dialogs it opens
// (scripts/screenshots.sh): seeds a demonstration menu as each of the two menus and
// "Separate", starts private copies of the launcher and the tool, selects an entry inside a
// submenu of the left tree so that the list and the breadcrumb show that submenu, opens the
// dialog asked for, prints that window's screen rectangle as "left top right bottom" and
// keeps it open until the file named on the command line exists (the script has taken its
// picture).
//
// Usage: settings_screenshot_driver.exe SHOT DONEFILE, SHOT one of main, main-separate,
// hotkeys, hotkey-input, settings, file-item, text-item, submenu.
#include <windows.h>
// Needs the types that windows.h declares.
#include <commctrl.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "InstanceBlock_win.h"
#include "LauncherProbe_win.h"
#include "MenuStore.h"
#include "Resource.h"
#include "SampleTree.h"
#include "SettingsProbe_win.h"
#include "XNode.h"

namespace {
// Where the entry to select sits: the left menu's fifth entry is the submenu "管理ツール",
// whose second entry is selected.
constexpr int kSubmenuPosition = 4;
constexpr int kSelectedPosition = 1;

// The picture asked for: the main dialog, or a dialog opened from it (a button, or a command
// of the list's context menu on one of its rows, or a row's "設定" of the hotkey settings).
struct CShot {
    const wchar_t* name;
    DWORD separate;
    int button; // of the main dialog; 0: none
    int row;    // of the left list, with command
    UINT command;
    const wchar_t* title; // of the dialog to picture; null: the main dialog
    int inputButton;      // of that dialog, opening the hotkey input; 0: none
};
constexpr CShot kShots[] = {
    {L"main", 0, 0, -1, 0, nullptr, 0},
    {L"main-separate", 1, 0, -1, 0, nullptr, 0},
    {L"hotkeys", 0, IDC_HOTKEY_SETTINGS, -1, 0, L"ホットキー設定", 0},
    {L"hotkey-input", 0, IDC_HOTKEY_SETTINGS, -1, 0, L"ホットキー設定", IDC_HOTKEY_LEFT_MENU_SET},
    {L"settings", 0, IDC_DETAIL_SETTINGS, -1, 0, L"詳細設定", 0},
    {L"file-item", 0, 0, 2, ID_PROPERTIES, L"ファイル指定", 0},
    {L"text-item", 0, 0, 4, ID_PROPERTIES, L"テキストコピー項目の指定", 0},
    {L"submenu", 0, 0, 5, ID_PROPERTIES, L"サブメニュー", 0},
};

CXItem* WithHotKey(CXItem* item, UINT modifiers, UINT key, const wchar_t* keyText)
{
    item->hotKey.modifiers = modifiers;
    item->hotKey.virtualKey = key;
    item->hotKey.keyText = keyText;
    return item;
}

CXItem* WithAccelerator(CXItem* item, const wchar_t* accelerator)
{
    item->accelerator = accelerator;
    return item;
}

CXTextItem* TextToCopy(const wchar_t* summary, const wchar_t* text)
{
    auto* item = new CXTextItem;
    item->summary = summary;
    item->text = text;
    return item;
}

void Fill(CXRoot& root, const std::vector<CXNode*>& children)
{
    for (size_t i = 0; i < children.size(); ++i)
        root.InsertChild(i, children[i]);
}

// Programs of Wine's own C:\windows (their icons show), a submenu with a nested one, separators,
// texts to copy, accelerators and hotkeys.
void BuildLeftMenu(CXRoot& left)
{
    CXItem* hosts = WithAccelerator(NewItem(L"hosts を編集", L"C:\\windows\\notepad.exe"), L"H");
    hosts->hotKey.modifiers = MOD_CONTROL | MOD_SHIFT;
    hosts->hotKey.virtualKey = 'H';
    hosts->hotKey.keyText = L"Ctrl + Shift + H";
    hosts->expandEnvironment = 0;
    hosts->parameters = L"C:\\windows\\system32\\drivers\\etc\\hosts";
    hosts->workingFolder = L"C:\\windows\\system32\\drivers\\etc";
    Fill(left,
         {
             WithHotKey(NewItem(L"メモ帳", L"C:\\windows\\notepad.exe"), MOD_CONTROL | MOD_ALT, 'N', L"Ctrl + Alt + N"),
             WithAccelerator(NewItem(L"エクスプローラー", L"C:\\windows\\explorer.exe"), L"E"),
             NewItem(L"コマンド プロンプト", L"C:\\windows\\system32\\cmd.exe"),
             new CXSeparator,
             NewSubmenu(
                 L"管理ツール",
                 {
                     WithAccelerator(NewItem(L"レジストリ エディター", L"C:\\windows\\regedit.exe"), L"R"),
                     WithHotKey(NewItem(L"タスク マネージャー", L"C:\\windows\\system32\\taskmgr.exe"),
                                MOD_CONTROL | MOD_ALT, 'T', L"Ctrl + Alt + T"),
                     hosts,
                     new CXSeparator,
                     TextToCopy(L"定型文: 受付のご連絡", L"お問い合わせを受け付けました。\r\n担当者よりご連絡します。"),
                     NewSubmenu(L"その他", {NewItem(L"Wine の設定", L"C:\\windows\\system32\\winecfg.exe")}),
                 }),
             new CXSeparator,
             TextToCopy(L"署名を貼り付け", L"オフィス・ケストラール 営業部\r\n電話 03-0000-0000"),
         });
}

void BuildRightMenu(CXRoot& right)
{
    Fill(right, {
                    WithAccelerator(NewItem(L"Windows フォルダー", L"C:\\windows"), L"W"),
                    NewItem(L"システム フォルダー", L"C:\\windows\\system32"),
                    new CXSeparator,
                    NewSubmenu(L"よく使う文", {TextToCopy(L"挨拶", L"いつもお世話になっております。"),
                                               TextToCopy(L"結び", L"よろしくお願いいたします。")}),
                    WithHotKey(NewItem(L"マインスイーパー", L"C:\\windows\\system32\\winemine.exe"),
                               MOD_CONTROL | MOD_ALT, 'M', L"Ctrl + Alt + M"),
                });
}

// The archives of both menus, built with the portable core's fake platform.
bool BuildArchives(std::vector<uint8_t>& left, std::vector<uint8_t>& right)
{
    CFakeEnvironment environment;
    CXRoot leftRoot(kLeftMenuName, 1), rightRoot(kRightMenuName, 2);
    BuildLeftMenu(leftRoot);
    BuildRightMenu(rightRoot);
    auto leftBytes = WriteTreeArchive(leftRoot);
    auto rightBytes = WriteTreeArchive(rightRoot);
    if (!leftBytes || !rightBytes)
        return false;
    left = std::move(*leftBytes);
    right = std::move(*rightBytes);
    return true;
}

void SeedStore(const std::vector<uint8_t>& left, const std::vector<uint8_t>& right, DWORD separate)
{
    WriteDword(kSettingsKey, L"H_Initialized", 1);
    WriteDword(kSettingsKey, L"ShowInternalLinks", 0);
    WriteDword(kSettingsKey, L"ShowHotKey", 1);
    // The synthesised clicks of the foreground workaround would land on the picture.
    WriteDword(kSettingsKey, L"Win10Workaround", 0);
    WriteDword(kSettingsKey, L"Win10WorkaroundX", 0);
    WriteDword(kSettingsKey, L"Separate", separate);
    WriteBinary(kSettingsKey, L"MenuData_1_v3", left);
    WriteBinary(kSettingsKey, L"MenuData_2_v3", right);
    // Larger than the template, as a user would make it, so that the trees and the columns
    // show whole titles and paths.
    const std::wstring windowPos = std::wstring(kProductKey) + L"\\WindowPos";
    WriteDword(windowPos, L"left", 0);
    WriteDword(windowPos, L"top", 0);
    WriteDword(windowPos, L"right", 900);
    WriteDword(windowPos, L"bottom", 560);
}

HTREEITEM NextItem(HWND tree, HTREEITEM item, UINT relation)
{
    // The relation and the item handle are plain values: the message needs no marshalling.
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM ChildAt(HWND tree, HTREEITEM parent, int position)
{
    HTREEITEM item = NextItem(tree, parent, TVGN_CHILD);
    for (int i = 0; i < position && item; ++i)
        item = NextItem(tree, item, TVGN_NEXT);
    return item;
}

int Fail(const char* what)
{
    std::fprintf(stderr, "settings screenshot driver: %s\n", what);
    std::fflush(stderr);
    return 1;
}

// Makes the picture's window active, as after a click on it: on a display without a window
// manager Wine leaves its caption drawn as inactive.
void Activate(HWND window)
{
    SetForegroundWindow(window);
    Sleep(500);
    if (GetForegroundWindow() == window)
        SendMessageW(window, WM_NCACTIVATE, TRUE, 0);
    Sleep(300);
}

// The dialog of the shot opened from the main dialog; null when it did not show.
HWND OpenShotDialog(const CShot& shot, HWND dialog, DWORD toolProcess)
{
    if (shot.button) {
        // Posted: the click runs the dialog modally.
        PostMessageW(GetDlgItem(dialog, shot.button), BM_CLICK, 0, 0);
    } else {
        HWND list = GetDlgItem(dialog, IDC_LEFT_LIST);
        if (!SelectListRows(list, {shot.row}))
            return nullptr;
        PostMessageW(list, WM_COMMAND, shot.command, 0);
    }
    HWND opened = WaitForDialog(toolProcess, shot.title, 20s);
    if (!opened || !shot.inputButton)
        return opened;
    PostMessageW(GetDlgItem(opened, shot.inputButton), BM_CLICK, 0, 0);
    HWND input = WaitForDialog(toolProcess, L"ホットキー入力", 20s);
    if (input) {
        // A combination being entered.
        SendMessageW(GetDlgItem(input, IDC_HOTKEY_INPUT), HKM_SETHOTKEY, MAKEWORD(VK_F2, HOTKEYF_CONTROL | HOTKEYF_ALT),
                     0);
    }
    return input;
}

int Run(const CShot& shot, const std::wstring& doneFile)
{
    std::vector<uint8_t> left, right;
    if (!BuildArchives(left, right))
        return Fail("the menus cannot be written");
    CTestFolder folder;
    for (const wchar_t* file : {kLauncherFile, kSettingsToolFile}) {
        if (!CopyFileW((FolderOfThisProgram() + L"\\" + file).c_str(), folder.File(file).c_str(), FALSE))
            return Fail("the programs cannot be copied");
    }
    SeedStore(left, right, shot.separate);

    CProcess launcher = CProcess::Start(folder.File(kLauncherFile), L"");
    if (!WaitForLauncherWindow(20s))
        return Fail("the launcher did not start");
    // The launcher registers the items' hotkeys at start; the tool then shows them as registered.
    Sleep(1000);

    CProcess tool = CProcess::Start(folder.File(kSettingsToolFile), L"");
    HWND dialog = nullptr;
    PollFor(20s, [&] {
        dialog = ReadInstanceWindow(kSettingsToolBlockName);
        return dialog && IsWindowVisible(dialog);
    });
    if (!dialog || !IsWindowVisible(dialog))
        return Fail("the settings tool shows no dialog");

    HWND tree = GetDlgItem(dialog, IDC_LEFT_TREE);
    HTREEITEM submenu = ChildAt(tree, NextItem(tree, nullptr, TVGN_ROOT), kSubmenuPosition);
    HTREEITEM entry = submenu ? ChildAt(tree, submenu, kSelectedPosition) : nullptr;
    if (!entry)
        return Fail("the submenu's entry is not in the left tree");
    SetForegroundWindow(dialog);
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(submenu));
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(entry));
    // The focus to the tree, as after a click on the entry.
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tree), TRUE);
    Sleep(500);

    HWND pictured = dialog;
    if (shot.title) {
        pictured = OpenShotDialog(shot, dialog, tool.Id());
        if (!pictured)
            return Fail("the dialog to picture did not show");
    }
    Activate(pictured);

    RECT rect = {};
    GetWindowRect(pictured, &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
    std::fflush(stdout);
    PollFor(60s, [&] { return FileExists(doneFile); });

    // The main dialog's close ends the dialogs it runs too.
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    if (!tool.WaitForExit(20s))
        tool.Kill();
    CProcess exit = CProcess::Start(folder.File(kLauncherFile), L"/exit");
    exit.WaitForExit(20s);
    if (!launcher.WaitForExit(20s))
        launcher.Kill();
    return 0;
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    const CShot* shot = nullptr;
    for (const CShot& known : kShots) {
        if (argc >= 3 && std::wstring(argv[1]) == known.name)
            shot = &known;
    }
    if (!shot)
        return Fail("usage: settings_screenshot_driver SHOT DONEFILE (main, main-separate, hotkeys, hotkey-input, "
                    "settings, file-item, text-item, submenu)");
    KillRunningLauncher();
    CleanLauncherUserState();
    const int result = Run(*shot, argv[2]);
    KillRunningLauncher();
    CleanLauncherUserState();
    return result;
}
