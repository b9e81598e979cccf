// Drag and drop end to end, with the real launcher and the real pointer: entries moved and
// copied between the two lists (a copy loses its hotkey, a move keeps it), the right button's
// drop menu, a submenu refused inside itself; and data of another program (this test, as the
// drag source with OLE between the processes): files from a file manager, an Internet
// shortcut offered as a virtual file, plain text; and a new entry from the palette whose
// dialog is cancelled.
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <thread>

#include "DragSource_win.h"
#include "MenuStore.h"
#include "SettingsToolTest_win.h"
#include "WinHandles.h"

namespace {
const wchar_t kFileItemTitle[] = L"ファイル指定";

class CTestDropSource : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (riid == IID_IUnknown || riid == IID_IDropSource) {
            *object = static_cast<IDropSource*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override
    {
        if (escape)
            return DRAGDROP_S_CANCEL;
        return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

std::vector<uint8_t> Utf16Z(const std::wstring& text)
{
    std::vector<uint8_t> bytes = Utf16Bytes(text);
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

// A FILEGROUPDESCRIPTORW with these names.
std::vector<uint8_t> FileGroup(const std::vector<std::wstring>& names)
{
    std::vector<uint8_t> bytes(sizeof(UINT) + names.size() * sizeof(FILEDESCRIPTORW), 0);
    *reinterpret_cast<UINT*>(bytes.data()) = static_cast<UINT>(names.size());
    auto* descriptors = reinterpret_cast<FILEDESCRIPTORW*>(bytes.data() + sizeof(UINT));
    for (size_t i = 0; i < names.size(); ++i)
        lstrcpynW(descriptors[i].cFileName, names[i].c_str(), MAX_PATH);
    return bytes;
}

// A "Shell IDList Array" of one parent list and its children.
std::vector<uint8_t> IdListArray(LPCITEMIDLIST parent, std::initializer_list<LPCITEMIDLIST> children)
{
    std::vector<LPCITEMIDLIST> lists = {parent};
    lists.insert(lists.end(), children);
    std::vector<uint8_t> bytes(sizeof(UINT) * (lists.size() + 1), 0);
    *reinterpret_cast<UINT*>(bytes.data()) = static_cast<UINT>(children.size());
    for (size_t i = 0; i < lists.size(); ++i) {
        reinterpret_cast<UINT*>(bytes.data())[i + 1] = static_cast<UINT>(bytes.size());
        const auto* first = reinterpret_cast<const uint8_t*>(lists[i]);
        bytes.insert(bytes.end(), first, first + ILGetSize(lists[i]));
    }
    return bytes;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.emplace_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::wstring ShellDisplayName(const std::wstring& path)
{
    SHFILEINFOW info = {};
    SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_DISPLAYNAME);
    return info.szDisplayName;
}

LRESULT CALLBACK SourceWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

class SettingsToolDragDrop : public SettingsToolTest {
protected:
    void SetUp() override
    {
        SettingsToolTest::SetUp();
        oleReady = SUCCEEDED(OleInitialize(nullptr));
    }
    void TearDown() override
    {
        if (sourceWindow)
            DestroyWindow(sourceWindow);
        SettingsToolTest::TearDown();
        if (oleReady)
            OleUninitialize();
    }

    // The launcher with these menus, both shown ("Separate"), and the tool.
    void Open(std::initializer_list<CXNode*> left, std::initializer_list<CXNode*> right)
    {
        ASSERT_TRUE(SaveMenu(kLeftMenuName, left));
        ASSERT_TRUE(SaveMenu(kRightMenuName, right));
        WriteDword(kSettingsKey, L"Separate", 1);
        ASSERT_NE(StartLauncher(), nullptr);
        main = StartTool(process);
        ASSERT_NE(main, nullptr);
        upper = GetDlgItem(main, kUpperList);
        lower = GetDlgItem(main, kLowerList);
        ASSERT_TRUE(IsWindowVisible(lower));
    }
    // A screen point in a list row's upper half (a drop there goes before the row).
    POINT RowPoint(HWND list, int row)
    {
        RECT rect = {};
        EXPECT_TRUE(ListRowRect(list, row, rect));
        POINT point = {rect.left + 40, rect.top + (rect.bottom - rect.top) / 3};
        ClientToScreen(list, &point);
        return point;
    }
    // A screen point of a list below its rows (its end).
    POINT BelowRows(HWND list)
    {
        RECT client = {};
        GetClientRect(list, &client);
        POINT point = {client.left + 60, client.bottom - 12};
        ClientToScreen(list, &point);
        return point;
    }
    // The stored menu's top-level titles, once they are these (a drop saves after the pointer
    // is released).
    testing::AssertionResult StoredBecomes(const wchar_t* name, const std::vector<std::wstring>& titles)
    {
        if (PollFor(15s, [&] { return RoundTrip(main) && StoredTitles(name) == titles; }))
            return testing::AssertionSuccess();
        return testing::AssertionFailure()
               << "stored " << testing::PrintToString(StoredTitles(name)) << ", shown "
               << testing::PrintToString(ListTitles(upper)) << " / " << testing::PrintToString(ListTitles(lower));
    }
    // This test as another program's drag source: the button pressed over a window of its own,
    // then DoDragDrop while the pointer moves to `to` and the button is released there.
    DWORD DragFromHere(CTestDataObject& data, POINT to, DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_LINK)
    {
        if (!sourceWindow) {
            WNDCLASSW windowClass = {};
            windowClass.lpfnWndProc = SourceWindowProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"VelqDragSourceTest";
            windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
            RegisterClassW(&windowClass);
            sourceWindow = CreateWindowExW(WS_EX_TOPMOST, L"VelqDragSourceTest", L"source", WS_POPUP | WS_VISIBLE, 0, 0,
                                           60, 60, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        }
        if (!sourceWindow || !RealPress({30, 30}))
            return DROPEFFECT_NONE;
        const bool pressed = PollFor(5s, [] {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
            return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
        });
        if (!pressed || !RealMoveAndRelease(to))
            return DROPEFFECT_NONE;
        CTestDropSource source;
        DWORD effect = DROPEFFECT_NONE;
        const HRESULT result = DoDragDrop(&data, &source, allowed, &effect);
        return result == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
    }

    // A drop from here whose answer brings a message box: the box is read and dismissed from a
    // thread of its own while the drop is still being answered. The drop's effect and the text.
    std::pair<DWORD, std::wstring> DropWithMessage(CTestDataObject& data, POINT to,
                                                   std::chrono::milliseconds timeout = 30s)
    {
        std::wstring message;
        std::thread reader([&] {
            const CFoundBox box = WaitForMessageBox(process.Id(), timeout, kToolBoxCaption);
            message = box.text;
            if (box.window)
                DismissMessageBox(box.window);
        });
        const DWORD effect = DragFromHere(data, to);
        reader.join();
        return {effect, message};
    }

    bool oleReady = false;
    HWND sourceWindow = nullptr;
    CProcess process;
    HWND main = nullptr;
    HWND upper = nullptr;
    HWND lower = nullptr;
};

CXItem* WithHotKey(CXItem* item, UINT key, const wchar_t* name)
{
    item->hotKey = CtrlAlt(key, name);
    return item;
}

// A move keeps the hotkey and its registration, a copy (Ctrl held) gets none; the target's
// menu is saved, and for a move the source's too.
TEST_F(SettingsToolDragDrop, EntriesMoveAndCopyBetweenTheListsWithTheirHotKeys)
{
    ASSERT_TRUE(oleReady);
    ASSERT_NO_FATAL_FAILURE(
        Open({WithHotKey(NewItem(L"メモ帳", L"", L"notepad.exe"), 'N', L"N"), NewItem(L"電卓", L"", L"calc.exe")},
             {NewItem(L"右", L"", L"winemine.exe")}));
    // The launcher registered the binding at its start; the tool read the id.
    const int32_t id = StoredMenu(kLeftMenuName)->children.empty()
                           ? -1
                           : XDynamicCast<CXItem>(StoredMenu(kLeftMenuName)->children[0])->hotKey.hotKeyId;

    ASSERT_TRUE(RealDrag(RowPoint(upper, 0), BelowRows(lower)));
    ASSERT_TRUE(StoredBecomes(kLeftMenuName, {L"電卓"}));
    ASSERT_TRUE(StoredBecomes(kRightMenuName, {L"右", L"メモ帳"}));
    {
        const auto right = StoredMenu(kRightMenuName);
        const auto* moved = XDynamicCast<CXItem>(right->children[1]);
        ASSERT_NE(moved, nullptr);
        EXPECT_EQ(moved->hotKey.virtualKey, 'N');
        EXPECT_EQ(moved->hotKey.hotKeyId, id);
        EXPECT_EQ(moved->path, L"notepad.exe");
    }
    EXPECT_EQ(ListTitles(upper), std::vector<std::wstring>{L"電卓"});
    EXPECT_EQ(ListTitles(lower), (std::vector<std::wstring>{L"右", L"メモ帳"}));

    // Copied back with Ctrl held, before the first row: the copy has no hotkey.
    ASSERT_TRUE(RealDrag(RowPoint(lower, 1), RowPoint(upper, 0), 1, L"ctrl"));
    ASSERT_TRUE(StoredBecomes(kLeftMenuName, {L"メモ帳", L"電卓"}));
    EXPECT_EQ(StoredTitles(kRightMenuName), (std::vector<std::wstring>{L"右", L"メモ帳"}));
    const auto left = StoredMenu(kLeftMenuName);
    const auto* copy = XDynamicCast<CXItem>(left->children[0]);
    ASSERT_NE(copy, nullptr);
    EXPECT_FALSE(copy->hotKey.HasKey());
    EXPECT_EQ(copy->hotKey.hotKeyId, -1);
    EXPECT_EQ(XDynamicCast<CXItem>(StoredMenu(kRightMenuName)->children[1])->hotKey.virtualKey, 'N');
    CloseTool(process, main);
}

// A move within one list reorders the menu, and the launcher's next menu follows.
TEST_F(SettingsToolDragDrop, AMoveWithinAListReordersTheMenu)
{
    ASSERT_TRUE(oleReady);
    ASSERT_NO_FATAL_FAILURE(
        Open({NewText(L"一", L"", L"いち"), NewText(L"二", L"", L"に"), NewText(L"三", L"", L"さん")}, {}));
    ASSERT_TRUE(RealDrag(RowPoint(upper, 2), RowPoint(upper, 0)));
    ASSERT_TRUE(StoredBecomes(kLeftMenuName, {L"三", L"一", L"二"}));
    EXPECT_EQ(ListTitles(upper), (std::vector<std::wstring>{L"三", L"一", L"二"}));
    EXPECT_EQ(TextOfFirstEntry(kOpenLeftMenu), L"さん");
    CloseTool(process, main);
}

// In a tree: the middle of a collapsed submenu takes the entry at its end (and the tree opens
// the submenu to show it); resting there opens the submenu, and an open submenu takes
// nothing into itself: the entry goes before it.
TEST_F(SettingsToolDragDrop, ACollapsedSubmenuOfTheTreeTakesEntriesAndOpensOnHover)
{
    ASSERT_TRUE(oleReady);
    ASSERT_NO_FATAL_FAILURE(Open({NewText(L"一", L"", L"いち"), NewText(L"二", L"", L"に"),
                                  NewSubmenu(L"箱", {NewText(L"中", L"", L"なか")})},
                                 {NewText(L"右", L"", L"みぎ")}));
    HWND tree = GetDlgItem(main, kUpperTree);
    const auto boxEntry = [&] {
        for (const CTreeEntry& entry : ReadTree(tree)) {
            if (entry.text == L"箱")
                return entry;
        }
        return CTreeEntry{};
    };
    const auto boxMiddle = [&] {
        RECT rect = {};
        EXPECT_TRUE(TreeItemRect(tree, boxEntry().item, true, rect));
        POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ClientToScreen(tree, &point);
        return point;
    };
    ASSERT_NE(boxEntry().item, nullptr);
    ASSERT_FALSE(boxEntry().expanded);

    // A short rest: the submenu stays closed and takes the entry at its end.
    ASSERT_TRUE(RealDrag(RowPoint(upper, 0), boxMiddle(), 1, L"", 400ms));
    ASSERT_TRUE(StoredBecomes(kLeftMenuName, {L"二", L"箱"}));
    {
        const auto left = StoredMenu(kLeftMenuName);
        const auto* box = XDynamicCast<CXParent>(left->children[1]);
        ASSERT_NE(box, nullptr);
        ASSERT_EQ(box->children.size(), 2u);
        EXPECT_EQ(box->children[0]->GetTitle(), L"中");
        EXPECT_EQ(box->children[1]->GetTitle(), L"一");
    }
    EXPECT_EQ(TextOfFirstEntry(kOpenLeftMenu), L"に");
    // The tree shows where the entry went.
    EXPECT_TRUE(boxEntry().expanded);

    // Closed again, then a long rest from the other menu's list: the submenu opens, and the
    // entry goes before it.
    SendMessageW(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(boxEntry().item));
    ASSERT_FALSE(boxEntry().expanded);
    ASSERT_TRUE(RealDrag(RowPoint(lower, 0), boxMiddle(), 1, L"", 3000ms));
    ASSERT_TRUE(StoredBecomes(kLeftMenuName, {L"二", L"右", L"箱"}));
    ASSERT_TRUE(StoredBecomes(kRightMenuName, {}));
    EXPECT_TRUE(boxEntry().expanded);
    EXPECT_EQ(StoredMenu(kLeftMenuName)->children.size(), 3u);
    CloseTool(process, main);
}

TEST_F(SettingsToolDragDrop, TheRightButtonAsksAndMovesOnItsMoveCommand)
{
    ASSERT_TRUE(oleReady);
    ASSERT_NO_FATAL_FAILURE(Open({NewItem(L"一", L"", L"a.exe"), NewItem(L"二", L"", L"b.exe")}, {}));
    ASSERT_TRUE(RealDrag(RowPoint(upper, 0), BelowRows(lower), 3));
    std::vector<HWND> menus;
    ASSERT_TRUE(PollFor(10s, [&] { return !(menus = VisibleMenuWindows()).empty(); }));
    ASSERT_TRUE(RealKeys(L"m"));
    ASSERT_TRUE(StoredBecomes(kRightMenuName, {L"一"}));
    ASSERT_TRUE(StoredBecomes(kLeftMenuName, {L"二"}));
    CloseTool(process, main);
}

TEST_F(SettingsToolDragDrop, ASubmenuIsRefusedInsideItself)
{
    ASSERT_TRUE(oleReady);
    ASSERT_NO_FATAL_FAILURE(Open(
        {NewSubmenu(L"外", {NewSubmenu(L"内", {NewItem(L"葉", L"", L"x.exe")})}), NewItem(L"後", L"", L"y.exe")}, {}));
    const CRegistrySnapshot before = SnapshotRegistry(kSettingsKey);
    HWND tree = GetDlgItem(main, kUpperTree);
    // Both submenus open, so that the inner one's row can be aimed at.
    std::vector<CTreeEntry> entries = ReadTree(tree);
    ASSERT_GE(entries.size(), 4u);
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(entries[1].item));
    entries = ReadTree(tree);
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(entries[2].item));
    RECT outer = {}, inner = {};
    ASSERT_TRUE(TreeItemRect(tree, entries[1].item, true, outer));
    ASSERT_TRUE(TreeItemRect(tree, entries[2].item, true, inner));
    POINT from = {(outer.left + outer.right) / 2, (outer.top + outer.bottom) / 2};
    POINT to = {(inner.left + inner.right) / 2, inner.top + 2};
    ClientToScreen(tree, &from);
    ClientToScreen(tree, &to);
    ASSERT_TRUE(RealDrag(from, to));
    // The drag ends with the release; nothing may have come of it.
    Sleep(3000);
    ASSERT_TRUE(RoundTrip(main));
    EXPECT_EQ(SnapshotRegistry(kSettingsKey), before);
    const std::vector<CTreeEntry> after = ReadTree(tree);
    ASSERT_EQ(after.size(), entries.size());
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].text, entries[i].text) << i;
        EXPECT_EQ(after[i].depth, entries[i].depth) << i;
    }
    CloseTool(process, main);
}

// Files from a file manager become items titled by the shell, in the order offered, and no
// link files; an Internet shortcut offered as a virtual file gets its own .url file with the
// browser's bytes; plain text becomes a text-copy item, a URL an item of its own.
TEST_F(SettingsToolDragDrop, OtherProgramsDataBecomesEntries)
{
    ASSERT_TRUE(oleReady);
    ASSERT_NO_FATAL_FAILURE(Open({}, {}));
    const std::wstring links = ProductDataFolder() + L"\\LNKs";
    std::vector<std::wstring> files;
    for (const wchar_t* name : {L"一.txt", L"二.txt", L"三.txt"}) {
        files.push_back(folder.File(name));
        ASSERT_TRUE(WriteFileBytes(files.back(), {'x'}));
    }
    {
        CTestDataObject data;
        data.Offer(CF_HDROP, FileList(files));
        EXPECT_EQ(DragFromHere(data, BelowRows(upper)), static_cast<DWORD>(DROPEFFECT_LINK));
    }
    const std::vector<std::wstring> titles = {ShellDisplayName(files[0]), ShellDisplayName(files[1]),
                                              ShellDisplayName(files[2])};
    ASSERT_TRUE(StoredBecomes(kLeftMenuName, titles));
    {
        const auto left = StoredMenu(kLeftMenuName);
        for (size_t i = 0; i < files.size(); ++i) {
            const auto* item = XDynamicCast<CXItem>(left->children[i]);
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->path, files[i]);
            EXPECT_EQ(item->isInternal, 0);
        }
    }
    EXPECT_TRUE(FilesIn(links).empty());

    const std::string url = "[InternetShortcut]\r\nURL=https://example.com/\r\n";
    {
        CTestDataObject data;
        data.Offer(RegisterClipboardFormatW(CFSTR_FILEDESCRIPTORW), FileGroup({L"例のページ.url"}));
        data.Offer(RegisterClipboardFormatW(CFSTR_FILECONTENTS), std::vector<uint8_t>(url.begin(), url.end()), 0);
        EXPECT_EQ(DragFromHere(data, BelowRows(upper)), static_cast<DWORD>(DROPEFFECT_LINK));
    }
    std::vector<std::wstring> withUrl = titles;
    withUrl.push_back(L"例のページ");
    ASSERT_TRUE(StoredBecomes(kLeftMenuName, withUrl));
    {
        const auto left = StoredMenu(kLeftMenuName);
        const auto* item = XDynamicCast<CXItem>(left->children[3]);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->isInternal, 1);
        const std::vector<std::wstring> made = FilesIn(links);
        ASSERT_EQ(made.size(), 1u);
        EXPECT_EQ(item->path, L"%VelquinLNKs%\\" + made[0]);
        EXPECT_EQ(made[0].size(), 38u + 4u) << std::string(made[0].begin(), made[0].end());
        EXPECT_EQ(made[0].substr(38), L".url");
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadFileBytes(links + L"\\" + made[0], bytes));
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), url);
    }

    {
        CTestDataObject data;
        data.Offer(CF_UNICODETEXT, Utf16Z(L"貼り付ける文"));
        EXPECT_EQ(DragFromHere(data, BelowRows(lower)), static_cast<DWORD>(DROPEFFECT_LINK));
    }
    // Stored with an empty title: the list shows the automatic one.
    ASSERT_TRUE(StoredBecomes(kRightMenuName, {L""}));
    EXPECT_EQ(ListTitles(lower), std::vector<std::wstring>{L"「貼り付ける文」をコピー"});
    EXPECT_EQ(TextOfFirstEntry(kOpenRightMenu), L"貼り付ける文");

    // A URL as a browser offers it beside its text: the URL wins over the text.
    {
        CTestDataObject data;
        data.Offer(RegisterClipboardFormatW(CFSTR_INETURLW), Utf16Z(L"https://example.com/docs"));
        data.Offer(CF_UNICODETEXT, Utf16Z(L"リンクの文字"));
        EXPECT_EQ(DragFromHere(data, BelowRows(lower)), static_cast<DWORD>(DROPEFFECT_LINK));
    }
    ASSERT_TRUE(StoredBecomes(kRightMenuName, {L"", L"https://example.com/docs"}));
    const auto right = StoredMenu(kRightMenuName);
    const auto* page = XDynamicCast<CXItem>(right->children[1]);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->path, L"https://example.com/docs");
    EXPECT_EQ(page->isInternal, 0);
    CloseTool(process, main);
}

// A shell object without a file of its own (a Control Panel applet) gets a shortcut in the
// internal-links folder, named by a new GUID.
TEST_F(SettingsToolDragDrop, AShellObjectWithoutAFileBecomesAnInternalShortcut)
{
    ASSERT_TRUE(oleReady);
    LPITEMIDLIST panel = nullptr;
    ASSERT_HRESULT_SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_CONTROLS, &panel));
    CComPtr<IShellFolder> desktop, folder;
    ASSERT_HRESULT_SUCCEEDED(SHGetDesktopFolder(desktop.put()));
    ASSERT_HRESULT_SUCCEEDED(desktop->BindToObject(panel, nullptr, IID_IShellFolder, folder.put_void()));
    CComPtr<IEnumIDList> applets;
    ASSERT_EQ(folder->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, applets.put()), S_OK);
    LPITEMIDLIST applet = nullptr;
    ASSERT_EQ(applets->Next(1, &applet, nullptr), S_OK);
    SFGAOF attributes = SFGAO_CANLINK | SFGAO_FILESYSTEM;
    LPCITEMIDLIST child = applet;
    ASSERT_HRESULT_SUCCEEDED(folder->GetAttributesOf(1, &child, &attributes));
    ASSERT_EQ(attributes, static_cast<SFGAOF>(SFGAO_CANLINK));
    STRRET shown = {};
    wchar_t* name = nullptr;
    ASSERT_HRESULT_SUCCEEDED(folder->GetDisplayNameOf(applet, SHGDN_NORMAL, &shown));
    ASSERT_HRESULT_SUCCEEDED(StrRetToStrW(&shown, applet, &name));
    const std::wstring title = name;
    CoTaskMemFree(name);

    ASSERT_NO_FATAL_FAILURE(Open({}, {}));
    const std::wstring links = ProductDataFolder() + L"\\LNKs";
    {
        CTestDataObject data;
        data.Offer(RegisterClipboardFormatW(CFSTR_SHELLIDLIST), IdListArray(panel, {applet}));
        EXPECT_EQ(DragFromHere(data, BelowRows(upper)), static_cast<DWORD>(DROPEFFECT_LINK));
    }
    ILFree(applet);
    ILFree(panel);
    ASSERT_TRUE(StoredBecomes(kLeftMenuName, {title}));
    const auto left = StoredMenu(kLeftMenuName);
    const auto* item = XDynamicCast<CXItem>(left->children[0]);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->isInternal, 1);
    const std::vector<std::wstring> made = FilesIn(links);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].size(), 38u + 4u);
    EXPECT_EQ(made[0].substr(38), L".lnk");
    EXPECT_EQ(item->path, L"%VelquinLNKs%\\" + made[0]);
    CloseTool(process, main);
}

// A drop that would make the menu larger than the store takes: the message, and neither the
// store nor the views keep the new entry.
TEST_F(SettingsToolDragDrop, ADropThatWouldMakeTheMenuTooLargeIsTakenBack)
{
    ASSERT_TRUE(oleReady);
    const std::wstring longPath = L"C:\\" + std::wstring(2000, L'x') + L".exe";
    const std::wstring dropped = folder.File(std::wstring(150, L'd') + L".txt");
    ASSERT_TRUE(WriteFileBytes(dropped, {'x'}));
    // Entries up to just below the limit (large ones, then small ones to fill the rest): the
    // dropped file's entry no longer fits.
    std::vector<std::wstring> paths;
    {
        CXRoot probe(kLeftMenuName, 1);
        const auto fits = [&](const std::wstring& path, size_t limit) {
            probe.InsertChild(probe.children.size(), NewItem(L"項目", L"", path));
            const auto bytes = WriteTreeArchive(probe);
            if (bytes && bytes->size() <= limit) {
                paths.push_back(path);
                return true;
            }
            CXNode* last = probe.children.back();
            probe.RemoveChildren({last});
            delete last;
            return false;
        };
        while (fits(longPath, kMaxArchiveSize - 5000)) {
        }
        while (fits(L"C:\\" + std::wstring(100, L's') + L".exe", kMaxArchiveSize - 250)) {
        }
    }
    const size_t count = paths.size();
    ASSERT_GT(count, 100u);
    const auto storeFull = [&] {
        CXRoot left(kLeftMenuName, 1);
        for (size_t i = 0; i < count; ++i)
            left.InsertChild(i, NewItem(L"項目", L"", paths[i]));
        return left.Save();
    };
    ASSERT_NO_FATAL_FAILURE(Open({}, {}));
    // Open stored an empty left menu; the full one is stored instead and the tool restarted.
    CloseTool(process, main);
    ASSERT_TRUE(storeFull());
    main = StartTool(process);
    ASSERT_NE(main, nullptr);
    upper = GetDlgItem(main, kUpperList);
    ASSERT_EQ(ListTitles(upper).size(), count);
    const CRegistrySnapshot before = SnapshotRegistry(kSettingsKey);

    CTestDataObject data;
    data.Offer(CF_HDROP, FileList({dropped}));
    const auto [effect, message] = DropWithMessage(data, BelowRows(upper));
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(message, L"項目が多すぎてセーブできません。");
    ASSERT_TRUE(RoundTrip(main));
    EXPECT_EQ(SnapshotRegistry(kSettingsKey), before);
    EXPECT_EQ(ListTitles(upper).size(), count);
    EXPECT_EQ(ReadTree(GetDlgItem(main, kUpperTree)).size(), count + 1);
    CloseTool(process, main);
}

// Large drops: 10,000 files make a menu the store cannot take, and all of them are taken back
// after the message; a text of 10 MB becomes one entry whose text lives in an internal file.
TEST_F(SettingsToolDragDrop, LargeDropsAreTakenWholeOrNotAtAll)
{
    ASSERT_TRUE(oleReady);
    // In folders of a hundred: Wine makes each new file of a folder look through the folder.
    std::vector<std::wstring> files;
    for (int i = 0; i < 10000; ++i) {
        const std::wstring subfolder = folder.File(L"束" + std::to_wstring(i / 100));
        if (i % 100 == 0) {
            ASSERT_TRUE(CreateDirectoryW(subfolder.c_str(), nullptr));
        }
        wchar_t name[64];
        swprintf(name, 64, L"\\大量に落とすファイル %05d.txt", i);
        files.push_back(subfolder + name);
        ASSERT_TRUE(WriteFileBytes(files.back(), {'x'}));
    }
    // Every path is stored in UTF-16: the paths alone pass the limit.
    ASSERT_GT(files.size() * files.front().size() * 2, kMaxArchiveSize);
    ASSERT_NO_FATAL_FAILURE(Open({NewItem(L"既存", L"", L"a.exe")}, {}));
    const CRegistrySnapshot before = SnapshotRegistry(kSettingsKey);
    {
        CTestDataObject data;
        data.Offer(CF_HDROP, FileList(files));
        // The tool asks the shell for every file's display name while the drag enters.
        const auto [effect, message] = DropWithMessage(data, BelowRows(upper), 180s);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
        EXPECT_EQ(message, L"項目が多すぎてセーブできません。");
    }
    ASSERT_TRUE(RoundTrip(main));
    EXPECT_EQ(SnapshotRegistry(kSettingsKey), before);
    EXPECT_EQ(ListTitles(upper), std::vector<std::wstring>{L"既存"});
    EXPECT_EQ(ReadTree(GetDlgItem(main, kUpperTree)).size(), 2u);

    const std::wstring links = ProductDataFolder() + L"\\LNKs";
    std::wstring text;
    for (int line = 0; text.size() < 5000000; ++line)
        text += L"長い文の" + std::to_wstring(line) + L"行目\r\n";
    text.resize(5000000); // 10 MB in UTF-16
    {
        CTestDataObject data;
        data.Offer(CF_UNICODETEXT, Utf16Z(text));
        EXPECT_EQ(DragFromHere(data, BelowRows(upper)), static_cast<DWORD>(DROPEFFECT_LINK));
    }
    ASSERT_TRUE(StoredBecomes(kLeftMenuName, {L"既存", L""}));
    const auto left = StoredMenu(kLeftMenuName);
    const auto* entry = XDynamicCast<CXTextItem>(left->children[1]);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->isInternal, 1);
    EXPECT_TRUE(entry->text.empty());
    const std::vector<std::wstring> made = FilesIn(links);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(entry->path, L"%VelquinLNKs%\\" + made[0]);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(links + L"\\" + made[0], bytes));
    EXPECT_TRUE(bytes == Utf16Bytes(text)) << bytes.size() << " bytes in the internal file";
    CloseTool(process, main);
}

// Data that lies or cannot be read makes no entry and changes nothing stored.
TEST_F(SettingsToolDragDrop, DataThatLiesOrCannotBeReadMakesNoEntry)
{
    ASSERT_TRUE(oleReady);
    ASSERT_NO_FATAL_FAILURE(Open({NewItem(L"既存", L"", L"a.exe")}, {}));
    const CRegistrySnapshot before = SnapshotRegistry(kSettingsKey);
    const UINT idLists = RegisterClipboardFormatW(CFSTR_SHELLIDLIST);
    const UINT descriptors = RegisterClipboardFormatW(CFSTR_FILEDESCRIPTORW);
    std::vector<uint8_t> outside = {1, 0, 0, 0, 0x00, 0x10, 0, 0, 0x00, 0x20, 0, 0, 0, 0};
    std::vector<uint8_t> claimsFive = FileGroup({L"一つだけ.url"});
    claimsFive[0] = 5;
    struct Case {
        const char* name;
        std::vector<std::pair<UINT, std::vector<uint8_t>>> formats;
    } cases[] = {
        {"an IDList array whose offsets point outside", {{idLists, outside}}},
        {"a descriptor claiming more files than it holds, without contents", {{descriptors, claimsFive}}},
        {"an Internet shortcut whose contents cannot be had", {{descriptors, FileGroup({L"例.url"})}}},
        {"an empty text", {{CF_UNICODETEXT, {0, 0}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestDataObject data;
        for (const auto& [format, bytes] : c.formats)
            data.Offer(format, bytes);
        EXPECT_EQ(DragFromHere(data, BelowRows(upper)), static_cast<DWORD>(DROPEFFECT_NONE));
        ASSERT_TRUE(RoundTrip(main));
        EXPECT_EQ(ListTitles(upper), std::vector<std::wstring>{L"既存"});
    }
    EXPECT_EQ(SnapshotRegistry(kSettingsKey), before);
    EXPECT_TRUE(FindMessageBoxes(process.Id(), kToolBoxCaption).empty());
    CloseTool(process, main);
}

// An Internet shortcut whose file cannot be written: the message, and no entry.
TEST_F(SettingsToolDragDrop, AnUnwritableLinksFolderGivesItsMessageAndNoEntry)
{
    ASSERT_TRUE(oleReady);
    ASSERT_NO_FATAL_FAILURE(Open({}, {}));
    const std::wstring links = ProductDataFolder() + L"\\LNKs";
    // A file where the folder was: nothing can be made inside it.
    ASSERT_TRUE(RemoveDirectoryW(links.c_str()));
    ASSERT_TRUE(WriteFileBytes(links, {'x'}));
    const CRegistrySnapshot before = SnapshotRegistry(kSettingsKey);
    const std::string url = "[InternetShortcut]\r\nURL=https://example.com/\r\n";
    CTestDataObject data;
    data.Offer(RegisterClipboardFormatW(CFSTR_FILEDESCRIPTORW), FileGroup({L"例.url"}));
    data.Offer(RegisterClipboardFormatW(CFSTR_FILECONTENTS), std::vector<uint8_t>(url.begin(), url.end()), 0);
    const auto [effect, message] = DropWithMessage(data, BelowRows(upper));
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(message, L"内部ショートカットファイルを作れません。");
    ASSERT_TRUE(RoundTrip(main));
    EXPECT_TRUE(ListTitles(upper).empty());
    EXPECT_EQ(SnapshotRegistry(kSettingsKey), before);
    CloseTool(process, main);
    DeleteFileW(links.c_str());
}

TEST_F(SettingsToolDragDrop, ANewEntryFromThePaletteOpensItsDialogAndCancelTakesItOutAgain)
{
    ASSERT_TRUE(oleReady);
    ASSERT_NO_FATAL_FAILURE(Open({NewItem(L"既存", L"", L"a.exe")}, {}));
    HWND palette = GetDlgItem(main, kPalette);
    RECT first = {};
    ASSERT_TRUE(ListRowRect(palette, 0, first));
    // On the entry's icon, near its top: Wine's hit test of a list-style view takes only the
    // upper part of an entry's rectangle.
    POINT from = {first.left + 8, first.top + 3};
    ClientToScreen(palette, &from);
    ASSERT_TRUE(RealDrag(from, BelowRows(upper)));
    HWND dialog = WaitForDialog(process.Id(), kFileItemTitle, 15s);
    ASSERT_NE(dialog, nullptr) << testing::PrintToString(ListTitles(upper));
    EXPECT_EQ(ListTitles(upper).size(), 2u);
    PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(PollFor(10s, [&] { return !IsWindow(dialog); }));
    ASSERT_TRUE(PollFor(10s, [&] { return RoundTrip(main) && ListTitles(upper).size() == 1; }));
    EXPECT_EQ(StoredTitles(kLeftMenuName), std::vector<std::wstring>{L"既存"});
    CloseTool(process, main);
}

} // namespace
