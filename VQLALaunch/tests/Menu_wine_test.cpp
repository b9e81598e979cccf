// The popup menus end to end: a menu opened by command 32832 appears, a text item chosen with
// the keyboard reaches the clipboard, the launcher's own commands run after the menu closed,
// an empty tree shows the own submenu alone, and a reload during tracking leaves the open
// menu as it was, a program item chosen with the keyboard starts, long labels are measured
// whole, "MenuPos" puts the commanded menu in its corner of the screen, a texture file of any
// size or content leaves a working menu; a thousand shows leave the launcher's objects and
// memory flat.
#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "FakePlatform.h"
#include "LauncherProbe_win.h"
#include "ProcessMemory_win.h"
#include "RegistryStore_win.h"
#include "XNode.h"

namespace {
constexpr auto kStartTimeout = 20s;
constexpr auto kEndTimeout = 20s;
constexpr auto kMenuTimeout = 10s;
constexpr UINT kOpenLeftMenu = 32832;
constexpr WPARAM kReload = 0x10000000;

HWND WaitForMenuWindow()
{
    HWND menu = nullptr;
    PollFor(kMenuTimeout, [&] {
        const auto windows = VisibleMenuWindows();
        menu = windows.empty() ? nullptr : windows.front();
        return menu != nullptr;
    });
    return menu;
}

bool WaitForMenusClosed()
{
    return PollFor(kMenuTimeout, [] { return VisibleMenuWindows().empty(); });
}

void PressKey(HWND menuWindow, UINT key)
{
    PostMessageW(menuWindow, WM_KEYDOWN, key, 1);
    PostMessageW(menuWindow, WM_KEYUP, key, 0xC0000001);
    Sleep(150);
}

struct CMenuCase {
    const char* name;
    DWORD drawType;
    int menuPos = -1; // stored only when not negative
};

class LauncherMenu : public testing::TestWithParam<CMenuCase> {
protected:
    void SetUp() override
    {
        KillRunningLauncher();
        CleanLauncherUserState();
        launcher = folder.File(kLauncherFile);
        ASSERT_TRUE(CopyFileW((FolderOfThisProgram() + L"\\" + kLauncherFile).c_str(), launcher.c_str(), FALSE));
        InstallPlatform(&platform, &store);
        WriteDword(kSettingsKey, L"H_Initialized", 1);
        WriteDword(kSettingsKey, L"ShowInternalLinks", 0);
        // The clicks of the foreground workaround would land on whatever the test shows.
        WriteDword(kSettingsKey, L"Win10Workaround", 0);
        WriteDword(kSettingsKey, L"Win10WorkaroundX", 0);
        WriteDword(kSettingsKey, L"DrawType", GetParam().drawType);
        if (GetParam().menuPos >= 0)
            WriteDword(kSettingsKey, L"MenuPos", static_cast<DWORD>(GetParam().menuPos));
        EmptyClipboardOfEveryone();
    }
    void TearDown() override
    {
        KillRunningLauncher();
        InstallPlatform(nullptr, nullptr);
        CleanLauncherUserState();
    }
    static void SaveLeftTree(const std::vector<std::wstring>& texts)
    {
        CXRoot left(kLeftMenuName, 1);
        for (size_t i = 0; i < texts.size(); ++i) {
            auto* item = new CXTextItem;
            item->text = texts[i];
            left.InsertChild(static_cast<int>(i), item);
        }
        ASSERT_TRUE(left.Save());
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

    CTestFolder folder;
    std::wstring launcher;
    CProcess process;
    CFakePlatform platform;
    CRegistryStore store{XIntReading::Lenient};
};

TEST_P(LauncherMenu, CommandOpensTheMenuAndAChosenTextItemReachesTheClipboard)
{
    SaveLeftTree({L"メニューで貼る文字", L"二番目"});
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);

    PostMessageW(window, WM_COMMAND, kOpenLeftMenu, 0);
    HWND menu = WaitForMenuWindow();
    ASSERT_NE(menu, nullptr);
    // Two items, a separator and the own submenu: menu handles are private to their process
    // here, so the menu's structure is the menu-building tests' concern and this one checks
    // it through the keyboard choices.

    PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RETURN);
    EXPECT_TRUE(WaitForMenusClosed());
    EXPECT_TRUE(PollFor(5s, [] { return ClipboardText() == L"メニューで貼る文字"; })) << ClipboardText();

    // A second show works the same way: everything of the first was released. A theme change
    // between the two makes the second open the theme anew.
    EmptyClipboardOfEveryone();
    SendMessageW(window, WM_THEMECHANGED, 0, 0);
    PostMessageW(window, WM_COMMAND, kOpenLeftMenu, 0);
    menu = WaitForMenuWindow();
    ASSERT_NE(menu, nullptr);
    PressKey(menu, VK_DOWN);
    PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RETURN);
    EXPECT_TRUE(WaitForMenusClosed());
    EXPECT_TRUE(PollFor(5s, [] { return ClipboardText() == L"二番目"; })) << ClipboardText();
    EXPECT_TRUE(FindMessageBoxes(process.Id()).empty());
    ExitLauncher();
}

TEST_P(LauncherMenu, EmptyTreeShowsTheOwnSubmenuAloneAndSettingsStartAfterTheMenuClosed)
{
    const std::wstring tool = folder.File(kSettingsToolFile);
    ASSERT_TRUE(CopyFileW((FolderOfThisProgram() + L"\\launcher_stand_in.exe").c_str(), tool.c_str(), FALSE));
    const std::wstring marker = tool + L".ran";
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);

    PostMessageW(window, WM_COMMAND, kOpenLeftMenu, 0);
    HWND menu = WaitForMenuWindow();
    ASSERT_NE(menu, nullptr);
    // The own submenu alone, first in the menu (the keyboard opens it with Down, Right).

    PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RIGHT);
    EXPECT_FALSE(FileExists(marker));
    HWND submenu = nullptr;
    PollFor(5s, [&] {
        for (HWND w : VisibleMenuWindows())
            if (w != menu)
                submenu = w;
        return submenu != nullptr;
    });
    ASSERT_NE(submenu, nullptr);
    PressKey(submenu, VK_RETURN);
    bool menuOpenWhenStarted = false;
    EXPECT_TRUE(PollFor(10s, [&] {
        if (FileExists(marker))
            return true;
        return false;
    }));
    // The tool is started from the posted command, once tracking has ended.
    menuOpenWhenStarted = !VisibleMenuWindows().empty();
    EXPECT_FALSE(menuOpenWhenStarted);
    ExitLauncher();
}

TEST_P(LauncherMenu, ReloadDuringTrackingLeavesTheOpenMenuAsItWas)
{
    SaveLeftTree({L"開いた時の文字"});
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);

    PostMessageW(window, WM_COMMAND, kOpenLeftMenu, 0);
    HWND menu = WaitForMenuWindow();
    ASSERT_NE(menu, nullptr);

    SaveLeftTree({L"入れ替えた文字"});
    LRESULT result = 0;
    ASSERT_TRUE(SendLauncher(window, kReload, 0x33, result));
    EXPECT_EQ(result, 1);
    // A second request while the menu is open only brings the menu's owner forward.
    PostMessageW(window, WM_COMMAND, kOpenLeftMenu, 0);
    Sleep(300);
    EXPECT_EQ(VisibleMenuWindows().size(), 1u);
    EXPECT_TRUE(IsWindowVisible(menu));

    PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RETURN);
    EXPECT_TRUE(WaitForMenusClosed());
    EXPECT_TRUE(PollFor(5s, [] { return ClipboardText() == L"開いた時の文字"; })) << ClipboardText();

    // The next menu shows the reloaded tree.
    EmptyClipboardOfEveryone();
    PostMessageW(window, WM_COMMAND, kOpenLeftMenu, 0);
    menu = WaitForMenuWindow();
    ASSERT_NE(menu, nullptr);
    PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RETURN);
    EXPECT_TRUE(WaitForMenusClosed());
    EXPECT_TRUE(PollFor(5s, [] { return ClipboardText() == L"入れ替えた文字"; })) << ClipboardText();
    ExitLauncher();
}

TEST_P(LauncherMenu, AProgramItemChosenWithTheKeyboardStartsTheProgram)
{
    const std::wstring program = folder.File(L"選ばれるプログラム.exe");
    ASSERT_TRUE(CopyFileW((FolderOfThisProgram() + L"\\launcher_stand_in.exe").c_str(), program.c_str(), FALSE));
    const std::wstring marker = program + L".ran";
    {
        CXRoot left(kLeftMenuName, 1);
        auto* text = new CXTextItem;
        text->text = L"先頭の文字";
        left.InsertChild(0, text);
        auto* item = new CXItem;
        item->title = L"プログラム";
        item->path = program;
        item->parameters = L"/選択 二番目";
        item->workingFolder = folder.Path();
        left.InsertChild(1, item);
        ASSERT_TRUE(left.Save());
    }
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);

    PostMessageW(window, WM_COMMAND, kOpenLeftMenu, 0);
    HWND menu = WaitForMenuWindow();
    ASSERT_NE(menu, nullptr);
    PressKey(menu, VK_DOWN);
    PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RETURN);
    EXPECT_TRUE(WaitForMenusClosed());
    ASSERT_TRUE(PollFor(10s, [&] { return FileExists(marker); }));
    // The stand-in writes its argument text: the item's own parameters reached it.
    std::wstring arguments;
    EXPECT_TRUE(PollFor(5s,
                        [&] {
                            HANDLE file = CreateFileW(marker.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                      OPEN_EXISTING, 0, nullptr);
                            if (file == INVALID_HANDLE_VALUE)
                                return false;
                            wchar_t buffer[256] = {};
                            DWORD read = 0;
                            ReadFile(file, buffer, sizeof(buffer) - sizeof(wchar_t), &read, nullptr);
                            CloseHandle(file);
                            arguments.assign(buffer, read / sizeof(wchar_t));
                            return arguments.find(L"/選択 二番目") != std::wstring::npos;
                        }))
        << "arguments: " << testing::PrintToString(arguments);
    // The first entry, a text item, was not the one carried out.
    EXPECT_NE(ClipboardText(), L"先頭の文字");
    EXPECT_TRUE(process.IsRunning());
    EXPECT_TRUE(FindMessageBoxes(process.Id()).empty());
    ExitLauncher();
}

TEST_P(LauncherMenu, LongLabelsWidenTheMenuByTheirWholeLength)
{
    // Labels of 60, 120 and 180 letters: each step adds the same width, as long as every
    // label is measured whole (the widest stays within the screen).
    HWND window = nullptr;
    std::vector<LONG> widths;
    for (int letters : {60, 120, 180}) {
        CXRoot left(kLeftMenuName, 1);
        auto* item = new CXItem;
        item->title = std::wstring(static_cast<size_t>(letters), L'l');
        left.InsertChild(0, item);
        ASSERT_TRUE(left.Save());
        if (!window) {
            window = StartFirst();
            ASSERT_NE(window, nullptr);
        } else {
            LRESULT result = 0;
            ASSERT_TRUE(SendLauncher(window, kReload, 1, result));
        }
        PostMessageW(window, WM_COMMAND, kOpenLeftMenu, 0);
        HWND menu = WaitForMenuWindow();
        ASSERT_NE(menu, nullptr);
        RECT r = {};
        GetWindowRect(menu, &r);
        widths.push_back(r.right - r.left);
        PressKey(menu, VK_ESCAPE);
        ASSERT_TRUE(WaitForMenusClosed());
        // The launcher has finished the show before the next request.
        DWORD_PTR reply = 0;
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &reply);
    }
    const LONG firstStep = widths[1] - widths[0];
    const LONG secondStep = widths[2] - widths[1];
    EXPECT_GT(firstStep, 100) << widths[0] << " " << widths[1] << " " << widths[2];
    EXPECT_NEAR(secondStep, firstStep, firstStep / 5) << widths[0] << " " << widths[1] << " " << widths[2];
    ExitLauncher();
}

// A window's pixels as the screen shows them (0x00RRGGBB), row by row.
struct CWindowPixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

std::optional<CWindowPixels> CaptureWindow(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    CWindowPixels shot{r.right - r.left, r.bottom - r.top, {}};
    if (shot.width <= 0 || shot.height <= 0)
        return std::nullopt;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool read = false;
    if (dib && bits) {
        HGDIOBJ old = SelectObject(memory, dib);
        if (BitBlt(memory, 0, 0, shot.width, shot.height, screen, r.left, r.top, SRCCOPY)) {
            const auto* pixels = static_cast<const uint32_t*>(bits);
            shot.pixels.assign(pixels, pixels + static_cast<size_t>(shot.width) * shot.height);
            read = true;
        }
        SelectObject(memory, old);
    }
    if (dib)
        DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return read ? std::optional(std::move(shot)) : std::nullopt;
}

COLORREF PixelColour(uint32_t p)
{
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

// How many pixels of the icon column (the first 24 pixels inside the border) differ from
// the column's most common colour, its background.
size_t IconColumnInk(HWND menu)
{
    const std::optional<CWindowPixels> shot = CaptureWindow(menu);
    if (!shot)
        return 0;
    std::vector<uint32_t> column;
    for (int y = 3; y < shot->height - 3; ++y) {
        for (int x = 3; x < std::min(shot->width, 27); ++x)
            column.push_back(shot->pixels[static_cast<size_t>(y) * shot->width + x] & 0xFFFFFF);
    }
    if (column.empty())
        return 0;
    std::vector<uint32_t> sorted = column;
    std::sort(sorted.begin(), sorted.end());
    uint32_t background = sorted[0];
    size_t best = 0;
    for (size_t i = 0; i < sorted.size();) {
        size_t j = i;
        while (j < sorted.size() && sorted[j] == sorted[i])
            ++j;
        if (j - i > best) {
            best = j - i;
            background = sorted[i];
        }
        i = j;
    }
    return column.size() - best;
}

// A menu opened right after start shows at once, before the shell has given the icons; they
// come while it stays open, without the user doing anything.
TEST_P(LauncherMenu, IconsLookedUpAfterTheMenuOpenedAppearInTheOpenMenu)
{
    CXRoot left(kLeftMenuName, 1);
    // First a submenu of many libraries, whose icons keep the launcher's idle-time look-ups
    // busy past the moment the menu opens; then the programs of the menu's own entries.
    auto* many = new CXParent;
    many->title = L"多数";
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW(L"C:\\windows\\system32\\*.dll", &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        auto* item = new CXItem;
        item->title = found.cFileName;
        item->path = std::wstring(L"C:\\windows\\system32\\") + found.cFileName;
        many->InsertChild(static_cast<int>(many->children.size()), item);
    } while (many->children.size() < 400 && FindNextFileW(search, &found));
    FindClose(search);
    left.InsertChild(0, many);
    const wchar_t* programs[] = {L"C:\\windows\\system32\\notepad.exe", L"C:\\windows\\regedit.exe",
                                 L"C:\\windows\\system32\\winecfg.exe", L"C:\\windows\\explorer.exe",
                                 L"C:\\windows\\system32\\cmd.exe"};
    for (const wchar_t* path : programs) {
        auto* item = new CXItem;
        item->title = path;
        item->path = path;
        left.InsertChild(static_cast<int>(left.children.size()), item);
    }
    ASSERT_TRUE(left.Save());
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_COMMAND, kOpenLeftMenu, 0);
    HWND menu = WaitForMenuWindow();
    ASSERT_NE(menu, nullptr);
    // The own submenu's icon and the separator give about 250 pixels of ink; five program
    // icons of 16 by 16 pixels some 700 more.
    size_t ink = 0;
    EXPECT_TRUE(PollFor(10s, [&] { return (ink = IconColumnInk(menu)) > 600; })) << ink << " pixels";
    PressKey(menu, VK_ESCAPE);
    EXPECT_TRUE(WaitForMenusClosed());
    EXPECT_TRUE(process.IsRunning());
    ExitLauncher();
}

INSTANTIATE_TEST_SUITE_P(DrawTypes, LauncherMenu,
                         testing::Values(CMenuCase{"SystemDrawn", 3}, CMenuCase{"CustomColours", 2},
                                         CMenuCase{"Theme", 0}),
                         [](const testing::TestParamInfo<CMenuCase>& info) { return std::string(info.param.name); });
} // namespace

namespace {
// An 8000 by 8000 pixel bitmap file: 1 bit per pixel with a two-colour palette, so that
// the file stays at 8 MB; every row is padded to 4 bytes.
std::vector<uint8_t> HugeBitmapFile()
{
    constexpr uint32_t kSide = 8000;
    constexpr uint32_t kRowBytes = (kSide + 31) / 32 * 4;
    constexpr uint32_t kPixelOffset = 14 + 40 + 8;
    const uint32_t fileSize = kPixelOffset + kRowBytes * kSide;
    std::vector<uint8_t> bytes(fileSize, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, fileSize);
    put32(10, kPixelOffset);
    put32(14, 40); // BITMAPINFOHEADER
    put32(18, kSide);
    put32(22, kSide);
    bytes[26] = 1; // planes
    bytes[28] = 1; // bits per pixel
    put32(34, kRowBytes * kSide);
    put32(46, 2); // colours used
    put32(54, 0x00204080);
    put32(58, 0x00F0E0C0);
    // A pattern rather than one colour: a stripe every 8 pixels.
    for (uint32_t row = 0; row < kSide; ++row)
        for (uint32_t b = 0; b < kRowBytes; ++b)
            bytes[kPixelOffset + row * kRowBytes + b] = (row / 8) % 2 ? 0xF0 : 0x0F;
    return bytes;
}

// A 2 by 2 pixel 24-bit bitmap file.
std::vector<uint8_t> SmallBitmapFile()
{
    // The header's 54 bytes in rows of 18, then the pixels.
    // clang-format off
    return {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0,  0,
            2,   0,   0,  0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0,  0, 16, 0,
            0,   0,   0,  0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0,  0,
            // two rows of two pixels, each row padded to four bytes
            0,   0,   255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    // clang-format on
}

// The share of a window's pixels, as the screen shows them, that have one of the colours;
// negative when the screen cannot be read.
double ShareOfColours(HWND window, const std::vector<COLORREF>& colours)
{
    const std::optional<CWindowPixels> shot = CaptureWindow(window);
    if (!shot)
        return -1;
    size_t matching = 0;
    for (const uint32_t p : shot->pixels) {
        if (std::find(colours.begin(), colours.end(), PixelColour(p)) != colours.end())
            ++matching;
    }
    return static_cast<double>(matching) / static_cast<double>(shot->pixels.size());
}

struct CTextureCase {
    const char* name;
    std::vector<uint8_t> bytes;
    // Colours of the image, of which the open menu must show many; none for files that
    // give no texture.
    std::vector<COLORREF> colours;
};

class LauncherMenuTexture : public LauncherMenu {};

TEST_P(LauncherMenuTexture, AnyTextureFileStillGivesAWorkingMenu)
{
    const std::vector<CTextureCase> files = {
        {"missing", {}, {}},
        {"empty", {}, {}},
        {"corrupt", {'B', 'M', 1, 2, 3, 4, 5}, {}},
        {"small", SmallBitmapFile(), {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(0, 255, 255)}},
        {"huge", HugeBitmapFile(), {RGB(0x20, 0x40, 0x80), RGB(0xC0, 0xE0, 0xF0)}}};
    SaveLeftTree({L"テクスチャ付き"});
    WriteDword(kSettingsKey, L"OwnerDrawUseTexture", 1);
    WriteDword(kSettingsKey, L"OwnerDrawHighlightEdge", 2);
    for (const auto& [name, bytes, colours] : files) {
        SCOPED_TRACE(name);
        const std::wstring path = folder.File(L"texture_" + std::wstring(name, name + strlen(name)) + L".bmp");
        if (std::string(name) != "missing") {
            HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            ASSERT_NE(file, INVALID_HANDLE_VALUE);
            DWORD written = 0;
            if (!bytes.empty())
                WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            CloseHandle(file);
        }
        HKEY key = nullptr;
        ASSERT_EQ(
            RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
        RegSetValueExW(key, L"OwnerDrawTextureFile", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);

        HWND window = StartFirst();
        ASSERT_NE(window, nullptr);
        EmptyClipboardOfEveryone();
        PostMessageW(window, WM_COMMAND, kOpenLeftMenu, 0);
        HWND menu = WaitForMenuWindow();
        ASSERT_NE(menu, nullptr);
        if (!colours.empty()) {
            // Nothing selected yet: the entries and the frame show the image itself, apart
            // from the text and the system's border (close to half of so small a menu).
            double share = 0;
            PollFor(5s, [&] { return (share = ShareOfColours(menu, colours)) > 0.3; });
            EXPECT_GT(share, 0.3) << "share of the image's colours in the menu";
        }
        PressKey(menu, VK_DOWN);
        PressKey(menu, VK_RETURN);
        EXPECT_TRUE(WaitForMenusClosed());
        EXPECT_TRUE(PollFor(5s, [] { return ClipboardText() == L"テクスチャ付き"; })) << ClipboardText();
        EXPECT_TRUE(process.IsRunning());
        EXPECT_TRUE(FindMessageBoxes(process.Id()).empty());
        ExitLauncher();
    }
}

INSTANTIATE_TEST_SUITE_P(CustomColours, LauncherMenuTexture, testing::Values(CMenuCase{"CustomColours", 2}),
                         [](const testing::TestParamInfo<CMenuCase>& info) { return std::string(info.param.name); });

// The commanded menu opens at the "MenuPos" corner of the primary screen, 4 pixels in from
// both edges, and extends into the screen from there.
class LauncherMenuCorner : public LauncherMenu {};

TEST_P(LauncherMenuCorner, CommandedMenuSitsInTheCornerOfMenuPos)
{
    SaveLeftTree({L"隅に出るメニュー", L"二番目の項目", L"三番目の項目"});
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    // The cursor is elsewhere: the command must not place the menu at the cursor.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);

    PostMessageW(window, WM_COMMAND, kOpenLeftMenu, 0);
    HWND menu = WaitForMenuWindow();
    ASSERT_NE(menu, nullptr);
    RECT r = {};
    ASSERT_TRUE(GetWindowRect(menu, &r));
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    const int pos = GetParam().menuPos;
    const bool right = pos == 2 || pos == 3;
    const bool bottom = pos == 1 || pos == 3;
    EXPECT_EQ(right ? r.right : r.left, right ? w - 4 : 4)
        << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
    EXPECT_EQ(bottom ? r.bottom : r.top, bottom ? h - 4 : 4)
        << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
    // A real menu, not a sliver at the corner.
    EXPECT_GT(r.right - r.left, 20);
    EXPECT_GT(r.bottom - r.top, 40);

    PressKey(menu, VK_ESCAPE);
    EXPECT_TRUE(WaitForMenusClosed());
    ExitLauncher();
}

// Each corner in another drawing mode: the owner-drawn sizes must place as well as the system's.
INSTANTIATE_TEST_SUITE_P(MenuPos, LauncherMenuCorner,
                         testing::Values(CMenuCase{"TopLeftSystemDrawn", 3, 0},
                                         CMenuCase{"BottomLeftCustomColours", 2, 1}, CMenuCase{"TopRightTheme", 0, 2},
                                         CMenuCase{"BottomRightSystemColours", 1, 3}),
                         [](const testing::TestParamInfo<CMenuCase>& info) { return std::string(info.param.name); });
} // namespace

namespace {
// With the foreground workaround on, the commanded menu still opens and takes the keyboard;
// the workaround's windows are gone by then and the cursor is back where it was.
class LauncherMenuWorkaround : public LauncherMenu {};

TEST_P(LauncherMenuWorkaround, MenuOpensAfterTheWorkaroundWhichLeavesNothingBehind)
{
    for (const wchar_t* name :
         {L"Win10Workaround", L"Win10WorkaroundX", L"Win10WorkaroundRetryCount", L"Win10WorkaroundRetryCountX"})
        WriteDword(kSettingsKey, name, std::wcsstr(name, L"Count") ? 2 : 1);
    SaveLeftTree({L"回避策の後で貼る文字"});
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);
    const POINT cursor = {301, 203};
    ASSERT_TRUE(SetCursorPos(cursor.x, cursor.y));

    PostMessageW(window, WM_COMMAND, kOpenLeftMenu, 0);
    HWND menu = WaitForMenuWindow();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(FindWindowW(L"VQLALaunchMoment", nullptr), nullptr);
    EXPECT_EQ(FindWindowW(L"VQLALaunchJustStaying", nullptr), nullptr);
    POINT now = {};
    ASSERT_TRUE(GetCursorPos(&now));
    // The way back goes through absolute input coordinates: a pixel of rounding.
    EXPECT_LE(std::abs(now.x - cursor.x), 1) << now.x;
    EXPECT_LE(std::abs(now.y - cursor.y), 1) << now.y;

    PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RETURN);
    EXPECT_TRUE(WaitForMenusClosed());
    EXPECT_TRUE(PollFor(5s, [] { return ClipboardText() == L"回避策の後で貼る文字"; })) << ClipboardText();
    ExitLauncher();
}

INSTANTIATE_TEST_SUITE_P(CustomColours, LauncherMenuWorkaround, testing::Values(CMenuCase{"CustomColours", 2}),
                         [](const testing::TestParamInfo<CMenuCase>& info) { return std::string(info.param.name); });
} // namespace

namespace {
// What the launcher holds of the system: GDI and USER objects, kernel handles and its private
// memory. Zero stands for "not reported".
struct CLauncherResources {
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    DWORD handles = 0;
    SIZE_T privateBytes = 0;
};

// Wine reports neither GUI object counts nor PrivateUsage of other processes; the committed
// private regions are counted instead where PrivateUsage reads zero.
CLauncherResources MeasureLauncher(DWORD processId)
{
    CLauncherResources measured;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process)
        return measured;
    measured.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    measured.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    GetProcessHandleCount(process, &measured.handles);
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters)))
        measured.privateBytes = counters.PrivateUsage;
    if (measured.privateBytes == 0)
        measured.privateBytes = CommittedPrivateBytes(process);
    CloseHandle(process);
    return measured;
}

// Polls every 5 ms: the repeated shows below would spend most of their time asleep otherwise.
template <typename Predicate> bool PollQuickly(std::chrono::milliseconds timeout, Predicate done)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (done())
            return true;
        Sleep(5);
    }
    return done();
}

class LauncherMenuRepeated : public LauncherMenu {
protected:
    // Opens the menu through the registered message and closes it with Escape; false when
    // it did not open or did not close. A request that arrives while the previous menu's
    // tracking is still winding up is ignored by the launcher: it is sent again.
    bool ShowAndDismiss(HWND window)
    {
        HWND menu = nullptr;
        for (int attempt = 0; attempt < 3 && !menu; ++attempt) {
            PostMessageW(window, LauncherMessage(), kOpenLeftMenu, 0);
            PollQuickly(2s, [&] {
                const auto windows = VisibleMenuWindows();
                menu = windows.empty() ? nullptr : windows.front();
                return menu != nullptr;
            });
        }
        if (!menu)
            return false;
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageW(menu, WM_KEYUP, VK_ESCAPE, 0xC0000001);
        if (PollQuickly(2s, [] { return VisibleMenuWindows().empty(); }))
            return true;
        // A menu that missed the key still ends with the owner's cancel.
        PostMessageW(window, WM_CANCELMODE, 0, 0);
        return PollQuickly(2s, [] { return VisibleMenuWindows().empty(); });
    }
};

TEST_P(LauncherMenuRepeated, ManyShowsLeaveObjectsAndMemoryFlat)
{
    // A thousand shows take about twenty seconds under Wine.
    constexpr int kShows = 1000;
    constexpr int kWarmUp = 20;
    const std::wstring texture = folder.File(L"texture.bmp");
    {
        const auto bytes = SmallBitmapFile();
        HANDLE file = CreateFileW(texture.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"OwnerDrawTextureFile", 0, REG_SZ, reinterpret_cast<const BYTE*>(texture.c_str()),
                   static_cast<DWORD>((texture.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    WriteDword(kSettingsKey, L"OwnerDrawUseTexture", 1);
    WriteDword(kSettingsKey, L"OwnerDrawHighlightEdge", 2);
    SaveLeftTree({L"一番目", L"二番目", L"三番目"});
    HWND window = StartFirst();
    ASSERT_NE(window, nullptr);

    // The first shows fill the caches (icons, texture, the memory bitmap) that stay.
    for (int i = 0; i < kWarmUp; ++i)
        ASSERT_TRUE(ShowAndDismiss(window)) << "warm-up show " << i;
    const CLauncherResources before = MeasureLauncher(process.Id());
    for (int i = 0; i < kShows; ++i)
        ASSERT_TRUE(ShowAndDismiss(window)) << "show " << i;
    const CLauncherResources after = MeasureLauncher(process.Id());

    std::printf("GDI %lu -> %lu, USER %lu -> %lu, handles %lu -> %lu, private %llu KB -> %llu KB\n", before.gdiObjects,
                after.gdiObjects, before.userObjects, after.userObjects, before.handles, after.handles,
                static_cast<unsigned long long>(before.privateBytes / 1024),
                static_cast<unsigned long long>(after.privateBytes / 1024));
    // One object left behind per show would add a thousand; a few come and go with the system.
    // A launcher with windows and a notification icon holds some of each, so zero means the
    // figure is not reported (Wine).
    if (before.gdiObjects == 0 && before.userObjects == 0) {
        std::printf("GDI and USER object counts are not reported here: not compared\n");
    } else {
        EXPECT_LE(after.gdiObjects, before.gdiObjects + 10) << before.gdiObjects << " -> " << after.gdiObjects;
        EXPECT_LE(after.userObjects, before.userObjects + 10) << before.userObjects << " -> " << after.userObjects;
    }
    if (before.handles != 0) {
        EXPECT_LE(after.handles, before.handles + 10) << before.handles << " -> " << after.handles;
    }
    // One menu's worth of memory per show (its bitmap alone is tens of kilobytes) would add
    // tens of megabytes.
    ASSERT_GT(before.privateBytes, 0u) << "no memory figure of the launcher";
    EXPECT_LE(after.privateBytes, before.privateBytes + 2 * 1024 * 1024)
        << before.privateBytes << " -> " << after.privateBytes;
    ExitLauncher();
}

INSTANTIATE_TEST_SUITE_P(CustomColours, LauncherMenuRepeated, testing::Values(CMenuCase{"CustomColours", 2}),
                         [](const testing::TestParamInfo<CMenuCase>& info) { return std::string(info.param.name); });
} // namespace
