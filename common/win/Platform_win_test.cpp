#include <gtest/gtest.h>

#include <shlobj.h>
#include <shobjidl.h>

#include <cwctype>
#include <future>
#include <thread>

#include "Platform_win.h"
#include "WinHandles.h"

namespace {

bool RunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::wstring TempPath(const std::wstring& name)
{
    wchar_t folder[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, folder);
    return std::wstring(folder) + name;
}

class PlatformWinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!RunningUnderWine())
            GTEST_SKIP() << "these tests use the clipboard and files of a throwaway Wine prefix";
        comReady = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }
    void TearDown() override
    {
        if (comReady)
            CoUninitialize();
    }
    CWin32Platform platform;
    bool comReady = false;
};

TEST_F(PlatformWinTest, AnsiTextOfTheJapaneseCodePage)
{
    ASSERT_EQ(GetACP(), 932u);
    const struct {
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {"", L""},
        {"abc", L"abc"},
        {"\x83\x81\x83\x43\x83\x8A\x83\x49", L"メイリオ"},
        {"\x8A\xBF\x8E\x9A\x31", L"漢字1"},
        {"\xB1", L"\xFF71"}, // half-width katakana A
        {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform.AnsiToWide(c.bytes), c.text);
}

TEST_F(PlatformWinTest, CharType3TellsMarksFromLetters)
{
    const struct {
        wchar_t unit;
        unsigned set;
        unsigned clear;
    } cases[] = {
        {L'a', kC3Alpha, kC3NonSpacing | kC3VowelMark}, {L'\x30A2', kC3Alpha, kC3NonSpacing}, // katakana A
        {L'\x0301', kC3NonSpacing, kC3Alpha},                                                 // combining acute accent
        {L'\x3099', kC3NonSpacing, kC3Alpha}, // combining voiced sound mark
        {L'+', kC3Symbol, kC3Alpha | kC3NonSpacing},
    };
    for (const auto& c : cases) {
        unsigned flags = platform.CharType3(c.unit);
        EXPECT_EQ(flags & c.set, c.set) << std::hex << static_cast<unsigned>(c.unit) << " flags " << flags;
        EXPECT_EQ(flags & c.clear, 0u) << std::hex << static_cast<unsigned>(c.unit) << " flags " << flags;
    }
}

TEST_F(PlatformWinTest, GuidStringsInRegistryForm)
{
    const std::wstring first = platform.NewGuidString();
    const std::wstring second = platform.NewGuidString();
    EXPECT_NE(first, second);
    for (const std::wstring& g : {first, second}) {
        ASSERT_EQ(g.size(), 38u);
        EXPECT_EQ(g.front(), L'{');
        EXPECT_EQ(g.back(), L'}');
        for (size_t i = 1; i < 37; ++i) {
            if (i == 9 || i == 14 || i == 19 || i == 24)
                EXPECT_EQ(g[i], L'-') << i;
            else
                EXPECT_TRUE((g[i] >= L'0' && g[i] <= L'9') || (g[i] >= L'A' && g[i] <= L'F')) << i;
        }
    }
}

TEST_F(PlatformWinTest, FilesAreWrittenWholeAndTruncated)
{
    const std::wstring path = TempPath(L"velq_platform_test.bin");
    const std::vector<uint8_t> longer = {0x41, 0, 0x42, 0, 0, 0xFF, 0x30, 0x42};
    const std::vector<uint8_t> shorter = {7};
    std::vector<uint8_t> read;

    ASSERT_TRUE(platform.WriteWholeFile(path, longer.data(), longer.size()));
    ASSERT_TRUE(platform.ReadWholeFile(path, read));
    EXPECT_EQ(read, longer);

    ASSERT_TRUE(platform.WriteWholeFile(path, shorter.data(), shorter.size()));
    ASSERT_TRUE(platform.ReadWholeFile(path, read));
    EXPECT_EQ(read, shorter);

    ASSERT_TRUE(platform.WriteWholeFile(path, nullptr, 0));
    ASSERT_TRUE(platform.ReadWholeFile(path, read));
    EXPECT_TRUE(read.empty());

    DeleteFileW(path.c_str());
    read = {1};
    EXPECT_FALSE(platform.ReadWholeFile(path, read));
    EXPECT_EQ(read, std::vector<uint8_t>{1}); // untouched on failure
    EXPECT_FALSE(platform.WriteWholeFile(TempPath(L"no_such_folder\\x.bin"), shorter.data(), shorter.size()));
}

std::wstring ClipboardText(HWND window)
{
    if (!OpenClipboard(window))
        return L"<not opened>";
    std::wstring text = L"<no text>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto p = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

TEST_F(PlatformWinTest, ClipboardCopyNeedsTheMainWindow)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"main", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);

    platform.mainWindow = window;
    for (const std::wstring& text : {std::wstring(L"コピーするテキスト\r\n2行目"), std::wstring(5000, L'x')}) {
        ASSERT_TRUE(platform.CopyTextToClipboard(text));
        EXPECT_EQ(ClipboardText(window), text);
    }

    // Without a window nothing reaches the clipboard.
    const std::wstring before = ClipboardText(window);
    platform.mainWindow = nullptr;
    EXPECT_FALSE(platform.CopyTextToClipboard(L"lost"));
    DestroyWindow(window);
    platform.mainWindow = window; // a handle that is no longer a window
    EXPECT_FALSE(platform.CopyTextToClipboard(L"lost too"));
    EXPECT_EQ(ClipboardText(nullptr), before);
}

// The clipboard opened by another thread for `holdMs`, from when this returns.
class CClipboardHolder {
public:
    explicit CClipboardHolder(DWORD holdMs)
        : thread([this, holdMs] {
              held = OpenClipboard(nullptr) != FALSE;
              opened.set_value();
              Sleep(holdMs);
              if (held)
                  CloseClipboard();
          })
    {
        opened.get_future().wait();
    }
    ~CClipboardHolder() { thread.join(); }
    bool held = false;

private:
    std::promise<void> opened;
    std::thread thread;
};

TEST_F(PlatformWinTest, ClipboardHeldForAMomentStillTakesTheCopy)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"main", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    platform.mainWindow = window;
    {
        CClipboardHolder holder(60);
        ASSERT_TRUE(holder.held);
        EXPECT_TRUE(platform.CopyTextToClipboard(L"待ってから貼る"));
    }
    EXPECT_EQ(ClipboardText(window), L"待ってから貼る");

    // Held for longer than the copy waits: it fails and the clipboard keeps what it had.
    {
        CClipboardHolder holder(1500);
        ASSERT_TRUE(holder.held);
        EXPECT_FALSE(platform.CopyTextToClipboard(L"lost"));
    }
    EXPECT_EQ(ClipboardText(window), L"待ってから貼る");
    DestroyWindow(window);
}

TEST_F(PlatformWinTest, ShellExecuteOfAMissingFileFails)
{
    const std::wstring missing = TempPath(L"velq_no_such_program_4711.exe");
    EXPECT_LE(platform.ShellOpen(missing, L"", L"", SW_SHOWNORMAL), 32);
    EXPECT_LE(platform.ShellOpen(missing, L"/x", TempPath(L""), SW_SHOWNORMAL), 32);
    EXPECT_FALSE(platform.ShellExecuteIdList(TempPath(L"velq_no_such_link.lnk"), L"", L"", SW_SHOWNORMAL));
}

TEST_F(PlatformWinTest, EnvironmentValuesOfAnyLength)
{
    const wchar_t* name = L"VELQ_PLATFORM_TEST";
    for (size_t length : {0u, 1u, 258u, 259u, 260u, 261u, 1000u, 32766u}) {
        std::wstring expected;
        for (size_t i = 0; i < length; ++i)
            expected.push_back(static_cast<wchar_t>(L'a' + i % 26));
        ASSERT_TRUE(SetEnvironmentVariableW(name, expected.c_str()));
        std::wstring value = L"stale";
        EXPECT_TRUE(platform.GetEnvironment(name, value)) << length;
        EXPECT_EQ(value.size(), expected.size());
        EXPECT_TRUE(value == expected) << length;
    }
    SetEnvironmentVariableW(name, nullptr);
    std::wstring value = L"kept";
    EXPECT_FALSE(platform.GetEnvironment(name, value));
    EXPECT_EQ(value, L"kept");
}

TEST_F(PlatformWinTest, ShortcutFieldsAreReadRaw)
{
    ASSERT_TRUE(comReady);
    const std::wstring lnk = TempPath(L"velq_platform_test.lnk");
    {
        CComPtr<IShellLinkW> link;
        ASSERT_HRESULT_SUCCEEDED(
            CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void()));
        ASSERT_HRESULT_SUCCEEDED(link->SetPath(L"C:\\windows\\notepad.exe"));
        ASSERT_HRESULT_SUCCEEDED(link->SetArguments(L"/a \"b c\""));
        ASSERT_HRESULT_SUCCEEDED(link->SetWorkingDirectory(L"C:\\windows"));
        ASSERT_HRESULT_SUCCEEDED(link->SetShowCmd(SW_SHOWMAXIMIZED));
        CComPtr<IPersistFile> file;
        ASSERT_HRESULT_SUCCEEDED(link.QueryInterface(file));
        ASSERT_HRESULT_SUCCEEDED(file->Save(lnk.c_str(), TRUE));
    }
    CShortcutInfo info;
    ASSERT_TRUE(platform.ReadShortcut(lnk, info));
    EXPECT_TRUE(std::equal(info.target.begin(), info.target.end(), L"C:\\windows\\notepad.exe",
                           [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); }))
        << std::string(info.target.begin(), info.target.end());
    EXPECT_EQ(info.arguments, L"/a \"b c\"");
    EXPECT_EQ(info.workingFolder, L"C:\\windows");
    // The show command is not checked: Wine's shell link keeps SW_SHOWNORMAL after loading a
    // file that stores another one.
    EXPECT_EQ(info.flags & (kLinkRunAsUser | kLinkHasDarwinId), 0u);

    std::wstring name;
    EXPECT_TRUE(platform.GetShortcutTargetDisplayName(lnk, name));
    EXPECT_FALSE(name.empty());
    name.clear();
    EXPECT_TRUE(platform.GetShellDisplayName(lnk, name));
    EXPECT_FALSE(name.empty());

    DeleteFileW(lnk.c_str());
    EXPECT_FALSE(platform.ReadShortcut(lnk, info));
    EXPECT_FALSE(platform.GetShortcutTargetDisplayName(lnk, name));
    EXPECT_FALSE(platform.GetShellDisplayName(lnk, name));
}

TEST_F(PlatformWinTest, MenuBitmapIsFilledWithTheMenuColour)
{
    CWindowDCHandle screen(nullptr);
    ASSERT_TRUE(screen);
    CBitmapHandle bitmap(static_cast<HBITMAP>(platform.CreateMenuBitmap(screen.get(), 13, 11, 0)));
    ASSERT_TRUE(bitmap);
    BITMAP info = {};
    ASSERT_TRUE(GetObjectW(bitmap.get(), sizeof(info), &info));
    EXPECT_EQ(info.bmWidth, 13);
    EXPECT_EQ(info.bmHeight, 11);
    CMemoryDCHandle memory(CreateCompatibleDC(screen.get()));
    CSelectObject select(memory.get(), bitmap.get());
    EXPECT_EQ(GetPixel(memory.get(), 0, 0), GetSysColor(COLOR_MENU));
    EXPECT_EQ(GetPixel(memory.get(), 12, 10), GetSysColor(COLOR_MENU));
}

TEST_F(PlatformWinTest, MenuBitmapCarriesTheImageOfTheSharedList)
{
    CWindowDCHandle screen(nullptr);
    const COLORREF red = RGB(255, 0, 0);
    ASSERT_NE(red, GetSysColor(COLOR_MENU));
    CImageListHandle list(ImageList_Create(16, 16, ILC_COLOR24, 1, 1));
    ASSERT_TRUE(list);
    {
        CBitmapHandle image(CreateCompatibleBitmap(screen.get(), 16, 16));
        CMemoryDCHandle memory(CreateCompatibleDC(screen.get()));
        {
            CSelectObject select(memory.get(), image.get());
            CBrushHandle brush(CreateSolidBrush(red));
            RECT all = {0, 0, 16, 16};
            FillRect(memory.get(), &all, brush.get());
        }
        ASSERT_EQ(ImageList_Add(list.get(), image.get(), nullptr), 0);
    }
    platform.imageList = list.get();

    const struct {
        int imageIndex;
        COLORREF expected;
    } cases[] = {{0, red}, {-1, GetSysColor(COLOR_MENU)}};
    for (const auto& c : cases) {
        CBitmapHandle bitmap(static_cast<HBITMAP>(platform.CreateMenuBitmap(screen.get(), 16, 16, c.imageIndex)));
        ASSERT_TRUE(bitmap);
        CMemoryDCHandle memory(CreateCompatibleDC(screen.get()));
        CSelectObject select(memory.get(), bitmap.get());
        EXPECT_EQ(GetPixel(memory.get(), 0, 0), c.expected) << c.imageIndex;
        EXPECT_EQ(GetPixel(memory.get(), 15, 15), c.expected) << c.imageIndex;
    }
}

TEST_F(PlatformWinTest, IconIndexComesFromTheProgramsCache)
{
    EXPECT_EQ(platform.IconIndexFor(false, L"C:\\x.txt"), 0);
    std::vector<std::pair<bool, std::wstring>> asked;
    platform.iconIndexCallback = [&](bool isInternal, const std::wstring& path) {
        asked.emplace_back(isInternal, path);
        return 9;
    };
    EXPECT_EQ(platform.IconIndexFor(true, L"C:\\y.lnk"), 9);
    EXPECT_EQ(asked, (std::vector<std::pair<bool, std::wstring>>{{true, L"C:\\y.lnk"}}));
}

} // namespace
