// The customizer end to end under Wine: the real program, with the real launcher beside it
// where a menu shows what the customizer wrote. Controls are driven through their messages
// (texts set with WM_SETTEXT reach the dialog as EN_CHANGE), focus changes and Alt+H with
// the real keyboard, answers to its message boxes through their buttons.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>

#include "ColorHls.h"
#include "FakePlatform.h"
#include "InstanceBlock_win.h"
#include "LauncherProbe_win.h"
#include "ODMSettings.h"
#include "Profiles.h"
#include "RegistryStore_win.h"
#include "Resource.h"
#include "SettingsProbe_win.h"
#include "XNode.h"

using namespace std::chrono_literals;

namespace {
constexpr auto kStartTimeout = 20s;
constexpr auto kEndTimeout = 20s;
constexpr UINT kOpenLeftMenu = 32832;
constexpr UINT kCustomizeCommand = 32819;
const wchar_t kCustomizerFile[] = L"Velquinランチャーカスタマイズツール.exe";
const wchar_t kDialogTitle[] = L"Velquinランチャー カスタマイズ";
const wchar_t kMessageTitle[] = L"Velquinランチャーカスタマイズ";
const std::wstring kProfilesKey = std::wstring(kProductKey) + L"\\Profiles";
const std::wstring kWindowPosKey = std::wstring(kProductKey) + L"\\WindowPos";

// Every control whose visibility follows the mode.
constexpr int kModeDependent[] = {
    IDC_FONT_LABEL, IDC_FONT_TEXT, IDC_FONT_BUTTON, IDC_COMPACT_WIDTH, IDC_PADDING_LABEL, IDC_PADDING_EACH,
    IDC_PADDING, IDC_PADDING_UNIT, IDC_SEPARATOR_LABEL, IDC_SEPARATOR_OF, IDC_SEPARATOR_HEIGHT, IDC_SEPARATOR_UNIT,
    IDC_EDGE_LABEL, IDC_HIGHLIGHT_EDGE, IDC_MARK_LABEL, IDC_SUBMENU_MARK, IDC_COLOR_TARGET, IDC_USE_TEXTURE,
    IDC_HUE_PICKER, IDC_LIGHTNESS_PICKER, IDC_COLOR_SAMPLE, IDC_ALPHA_LABEL, IDC_ALPHA_SLIDER, IDC_A_LABEL, IDC_A,
    IDC_R_LABEL, IDC_R, IDC_G_LABEL, IDC_G, IDC_B_LABEL, IDC_B, IDC_H_LABEL, IDC_H, IDC_S_LABEL, IDC_S,
    IDC_L_LABEL, IDC_L, IDC_HEX_LABEL, IDC_HEX, IDC_TEXTURE_LABEL, IDC_TEXTURE_FILE, IDC_TEXTURE_BUTTON,
    IDC_SHIFT_LABEL, IDC_SHIFT_X, IDC_SHIFT_Y, IDC_SHIFT_NOTE};

HWND CustomizerBlockWindow()
{
    return ReadInstanceWindow(kCustomizerBlockName);
}

void KillRunningCustomizer()
{
    HWND window = CustomizerBlockWindow();
    if (!window)
        return;
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
}

bool Shown(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowVisible(control) && IsWindowEnabled(control);
}

bool Hidden(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control && !IsWindowVisible(control) && !IsWindowEnabled(control);
}

std::wstring ItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

// The colour that covers most of a picture.
uint32_t CommonestColor(const std::vector<uint32_t>& pixels)
{
    std::map<uint32_t, size_t> counts;
    for (uint32_t pixel : pixels)
        ++counts[pixel & 0xFFFFFF];
    uint32_t best = 0;
    size_t most = 0;
    for (auto [color, count] : counts) {
        if (count > most) {
            most = count;
            best = color;
        }
    }
    return best;
}

class Customizer : public testing::Test {
protected:
    void SetUp() override
    {
        KillRunningCustomizer();
        KillRunningLauncher();
        CleanLauncherUserState();
        launcher = folder.File(kLauncherFile);
        customizer = folder.File(kCustomizerFile);
        for (const wchar_t* name : {kLauncherFile, kCustomizerFile})
            ASSERT_TRUE(CopyFileW((FolderOfThisProgram() + L"\\" + name).c_str(), folder.File(name).c_str(), FALSE));
        InstallPlatform(&platform, &store);
    }
    void TearDown() override
    {
        KillRunningCustomizer();
        KillRunningLauncher();
        InstallPlatform(nullptr, nullptr);
        CleanLauncherUserState();
    }

    // The dialog of a customizer started now, once it shows; null when none showed.
    HWND StartCustomizer(CProcess& process)
    {
        process = CProcess::Start(customizer, L"");
        HWND dialog = WaitForDialog(process.Id(), kDialogTitle, kStartTimeout);
        if (dialog)
            RoundTrip(dialog);
        return dialog;
    }
    void CloseCustomizer(CProcess& process, HWND dialog)
    {
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(process.WaitForExit(kEndTimeout));
    }
    // Text into an edit as if typed: the dialog sees EN_CHANGE.
    static void Type(HWND dialog, int id, const std::wstring& text)
    {
        SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        RoundTrip(dialog);
    }
    // Posted: a click may open a message box. The caller waits for its effect.
    static void Click(HWND dialog, int id)
    {
        PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    }
    // Chooses a list entry as the user does: the dialog sees CBN_SELCHANGE.
    static void Choose(HWND dialog, int id, int index)
    {
        HWND list = GetDlgItem(dialog, id);
        SendMessageW(list, CB_SETCURSEL, index, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
    // The customizer's message box, answered with a button; its text.
    std::wstring Answer(const CProcess& process, int button)
    {
        const CFoundBox box = WaitForMessageBox(process.Id(), 10s, kMessageTitle);
        if (!box.window)
            return L"(no message box)";
        PostMessageW(box.window, WM_COMMAND, button, 0);
        PollFor(10s, [&] { return !IsWindow(box.window); });
        return box.text;
    }

    DWORD SettingsDword(const wchar_t* name)
    {
        DWORD value = 0xDEADBEEF;
        ReadDword(kSettingsKey, name, value);
        return value;
    }

    // A launcher showing the stored menus drawn by itself in the stored mode.
    HWND StartLauncher()
    {
        WriteDword(kSettingsKey, L"H_Initialized", 1);
        WriteDword(kSettingsKey, L"ShowInternalLinks", 0);
        WriteDword(kSettingsKey, L"Win10Workaround", 0);
        WriteDword(kSettingsKey, L"Win10WorkaroundX", 0);
        CXRoot root(kLeftMenuName, 1);
        for (const wchar_t* title : {L"メモ帳", L"電卓", L"ペイント", L"コマンド プロンプト"}) {
            auto* item = new CXItem;
            item->title = title;
            item->path = L"C:\\windows\\notepad.exe";
            root.InsertChild(root.children.size(), item);
        }
        EXPECT_TRUE(root.Save());
        launcherProcess = CProcess::Start(launcher, L"");
        launcherWindow = WaitForLauncherWindow(kStartTimeout);
        return launcherWindow;
    }
    // The pixels of the launcher's left menu once it is drawn completely; closed again.
    std::vector<uint32_t> LeftMenuPixels()
    {
        PostMessageW(launcherWindow, WM_COMMAND, kOpenLeftMenu, 0);
        HWND menu = nullptr;
        PollFor(10s, [&] {
            const auto windows = VisibleMenuWindows();
            menu = windows.empty() ? nullptr : windows.front();
            return menu != nullptr;
        });
        if (!menu)
            return {};
        RECT r = {};
        GetWindowRect(menu, &r);
        std::vector<uint32_t> pixels, previous;
        PollFor(5s, [&] {
            previous = std::move(pixels);
            pixels = CaptureScreen(r);
            return !pixels.empty() && pixels == previous;
        });
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageW(menu, WM_KEYUP, VK_ESCAPE, 0xC0000001);
        PollFor(10s, [] { return VisibleMenuWindows().empty(); });
        RoundTrip(launcherWindow);
        return pixels;
    }

    CTestFolder folder;
    std::wstring launcher;
    std::wstring customizer;
    CProcess launcherProcess;
    HWND launcherWindow = nullptr;
    CFakePlatform platform;
    CRegistryStore store{XIntReading::Strict};
};
} // namespace

TEST_F(Customizer, AFirstStartCreatesTheFiveProfilesAndNoLaterStartCreatesThemAgain)
{
    CProcess process;
    HWND dialog = StartCustomizer(process);
    ASSERT_TRUE(dialog);
    std::vector<std::wstring> names = ReadProfileNames(store);
    std::sort(names.begin(), names.end());
    std::vector<std::wstring> expected = {L"黒", L"黒板", L"白", L"紺", L"アンバー"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    EXPECT_EQ(SettingsDword(kProfileSetInitializedValue), 1u);
    for (const CBuiltInProfile& builtIn : BuiltInProfiles()) {
        const std::optional<CODMSettings> stored = ReadProfile(store, builtIn.name);
        ASSERT_TRUE(stored) << builtIn.name.size();
        EXPECT_TRUE(*stored == builtIn.settings);
    }
    // Nothing was loaded: the box is empty and only the save button waits for a name.
    EXPECT_EQ(ItemText(dialog, IDC_PROFILE), L"");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_PROFILE_LOAD)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_PROFILE_SAVE)));
    CloseCustomizer(process, dialog);

    for (const CBuiltInProfile& builtIn : BuiltInProfiles())
        DeleteProfile(store, builtIn.name);
    dialog = StartCustomizer(process);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(ReadProfileNames(store).empty());
    CloseCustomizer(process, dialog);
}

TEST_F(Customizer, ASecondCustomizerBringsTheFirstForwardAndEnds)
{
    CProcess first;
    HWND dialog = StartCustomizer(first);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(CustomizerBlockWindow(), dialog);
    CProcess second = CProcess::Start(customizer, L"");
    ASSERT_TRUE(second.WaitForExit(kEndTimeout));
    EXPECT_TRUE(first.IsRunning());
    EXPECT_EQ(CustomizerBlockWindow(), dialog);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(GetForegroundWindow(), dialog);
    CloseCustomizer(first, dialog);
    EXPECT_FALSE(CustomizerBlockWindow());
}

TEST_F(Customizer, TypedHexColourIsStoredAtOnceAndTheLaunchersNextMenuDrawsIt)
{
    WriteDword(kSettingsKey, L"DrawType", kDrawCustomColor);
    ASSERT_TRUE(StartLauncher());
    const std::vector<uint32_t> before = LeftMenuPixels();
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(CommonestColor(before), 0x2B2B2Bu);

    CProcess process;
    HWND dialog = StartCustomizer(process);
    ASSERT_TRUE(dialog);
    ASSERT_EQ(SendMessageW(GetDlgItem(dialog, IDC_COLOR_TARGET), CB_GETCURSEL, 0, 0), 0);
    Type(dialog, IDC_HEX, L"#014F35");
    DWORD back = 0;
    ASSERT_TRUE(ReadDword(kSettingsKey, L"CustomColorBack", back));
    EXPECT_EQ(back, 0x00354F01u);
    EXPECT_EQ(ItemText(dialog, IDC_R), L"1");
    EXPECT_EQ(ItemText(dialog, IDC_G), L"79");
    EXPECT_EQ(ItemText(dialog, IDC_B), L"53");
    // H, L, S derived from what was typed, R, G, B left as typed.
    EXPECT_EQ(ItemText(dialog, IDC_H), L"107");
    EXPECT_EQ(ItemText(dialog, IDC_L), L"38");
    EXPECT_EQ(ItemText(dialog, IDC_S), L"234");
    EXPECT_EQ(ItemText(dialog, IDC_HEX), L"#014F35");

    // The launcher reads the values before every menu: no message between the programs.
    EXPECT_EQ(CommonestColor(LeftMenuPixels()), 0x014F35u);

    // Another target keeps the background; its own colour is what shows then.
    Choose(dialog, IDC_COLOR_TARGET, kColorText);
    EXPECT_EQ(ItemText(dialog, IDC_HEX), L"#FFFFFF");
    Type(dialog, IDC_HEX, L"  # 12ab zz");
    EXPECT_EQ(SettingsDword(L"CustomColorText"), 0x00AB1200u);
    EXPECT_EQ(SettingsDword(L"CustomColorBack"), 0x00354F01u);
    CloseCustomizer(process, dialog);
}

TEST_F(Customizer, ColourEditsClampWhatIsTypedAndRewriteItWhenTheFocusLeaves)
{
    WriteDword(kSettingsKey, L"DrawType", kDrawCustomColor);
    CProcess process;
    HWND dialog = StartCustomizer(process);
    ASSERT_TRUE(dialog);
    HWND red = GetDlgItem(dialog, IDC_R);
    RECT r = {};
    GetWindowRect(red, &r);
    ASSERT_TRUE(RealClickInto(dialog, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
    Type(dialog, IDC_R, L"300");
    // The colour uses 255 at once; the edit keeps what was typed while it has the focus.
    EXPECT_EQ(SettingsDword(L"CustomColorBack") & 0xFF, 0xFFu);
    EXPECT_EQ(ItemText(dialog, IDC_R), L"300");
    EXPECT_EQ(ItemText(dialog, IDC_HEX), L"#FF2B2B");
    ASSERT_TRUE(RealKeys(L"Tab"));
    EXPECT_TRUE(PollFor(5s, [&] { return ItemText(dialog, IDC_R) == L"255"; })) << ItemText(dialog, IDC_R);

    // A hue typed beyond its range is 239; R, G, B follow from H, L, S.
    Type(dialog, IDC_H, L"999");
    EXPECT_EQ(ItemText(dialog, IDC_H), L"999");
    const CRgbColor rgb = HlsToRgb(239, std::stoi(ItemText(dialog, IDC_L)), std::stoi(ItemText(dialog, IDC_S)));
    EXPECT_EQ(SettingsDword(L"CustomColorBack"), static_cast<DWORD>(rgb.r | rgb.g << 8 | rgb.b << 16));
    EXPECT_EQ(ItemText(dialog, IDC_R), std::to_wstring(rgb.r));
    EXPECT_EQ(ItemText(dialog, IDC_G), std::to_wstring(rgb.g));
    EXPECT_EQ(ItemText(dialog, IDC_B), std::to_wstring(rgb.b));
    CloseCustomizer(process, dialog);
}

TEST_F(Customizer, LoadingAProfileWritesEveryValueAndTheLaunchersNextMenuDrawsIt)
{
    ASSERT_TRUE(StartLauncher());
    CProcess process;
    HWND dialog = StartCustomizer(process);
    ASSERT_TRUE(dialog);
    Type(dialog, IDC_PROFILE, L"黒板");
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_PROFILE, CBN_EDITCHANGE), 0);
    ASSERT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_PROFILE_LOAD)));
    Click(dialog, IDC_PROFILE_LOAD);
    EXPECT_TRUE(PollFor(5s, [&] { return !store.GetString(kSectionSettings, kLastLoadProfileValue, L"").empty(); }));
    RoundTrip(dialog);

    CODMSettings stored;
    LoadODMSettings(store, stored);
    const CODMSettings& kokuban = BuiltInProfiles()[1].settings;
    EXPECT_TRUE(stored == kokuban);
    EXPECT_EQ(store.GetString(kSectionSettings, kLastLoadProfileValue, L""), L"黒板");
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_DRAW_CUSTOM), BST_CHECKED);
    EXPECT_EQ(ItemText(dialog, IDC_HEX), L"#014F35");
    EXPECT_EQ(CommonestColor(LeftMenuPixels()), 0x014F35u);
    CloseCustomizer(process, dialog);

    // With nothing changed since, the next start shows the profile's name.
    dialog = StartCustomizer(process);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(ItemText(dialog, IDC_PROFILE), L"黒板");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_PROFILE_DELETE)));
    CloseCustomizer(process, dialog);
    // After any change, it stays empty.
    WriteDword(kSettingsKey, L"OwnerDrawFontWeight", 700);
    dialog = StartCustomizer(process);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(ItemText(dialog, IDC_PROFILE), L"");
    CloseCustomizer(process, dialog);
}

TEST_F(Customizer, ChoosingAProfileFromTheListLoadsItAtOnce)
{
    CProcess process;
    HWND dialog = StartCustomizer(process);
    ASSERT_TRUE(dialog);
    HWND combo = GetDlgItem(dialog, IDC_PROFILE);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    RoundTrip(dialog);
    ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 5);
    // The list's own keyboard moves the selection and tells the dialog.
    HWND edit = GetWindow(combo, GW_CHILD);
    PostMessageW(edit, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(edit, WM_KEYUP, VK_DOWN, 0xC0000001);
    std::wstring chosen;
    ASSERT_TRUE(PollFor(5s, [&] {
        chosen = store.GetString(kSectionSettings, kLastLoadProfileValue, L"");
        return !chosen.empty();
    }));
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ(ItemText(dialog, IDC_PROFILE), chosen);
    const std::optional<CODMSettings> profile = ReadProfile(store, chosen);
    ASSERT_TRUE(profile);
    CODMSettings stored;
    LoadODMSettings(store, stored);
    EXPECT_TRUE(stored == *profile);
    CloseCustomizer(process, dialog);
}

TEST_F(Customizer, SavingOverAProfileAsksFirstAndDeletingAsksAboutTheTypedName)
{
    CODMSettings kuro;
    kuro.padding = 2;
    WriteDword(kSettingsKey, kProfileSetInitializedValue, 1);
    WriteProfile(store, L"kuro", kuro);
    CProcess process;
    HWND dialog = StartCustomizer(process);
    ASSERT_TRUE(dialog);
    Type(dialog, IDC_PADDING, L"7");
    EXPECT_EQ(SettingsDword(L"OwnerDrawPadding"), 7u);

    Type(dialog, IDC_PROFILE, L"KURO");
    Click(dialog, IDC_PROFILE_SAVE);
    EXPECT_EQ(Answer(process, IDNO), L"KUROを上書きしますか？");
    ASSERT_TRUE(ReadProfile(store, L"kuro"));
    EXPECT_EQ(ReadProfile(store, L"kuro")->padding, 2);

    Click(dialog, IDC_PROFILE_SAVE);
    EXPECT_EQ(Answer(process, IDYES), L"KUROを上書きしますか？");
    RoundTrip(dialog);
    EXPECT_EQ(ReadProfileNames(store), std::vector<std::wstring>{L"KURO"});
    ASSERT_TRUE(ReadProfile(store, L"KURO"));
    EXPECT_EQ(ReadProfile(store, L"KURO")->padding, 7);
    EXPECT_EQ(store.GetString(kSectionSettings, kLastLoadProfileValue, L""), L"KURO");

    Type(dialog, IDC_PROFILE, L"kuro");
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_PROFILE, CBN_EDITCHANGE), 0);
    Click(dialog, IDC_PROFILE_DELETE);
    EXPECT_EQ(Answer(process, IDYES), L"kuroを削除しますか？");
    RoundTrip(dialog);
    EXPECT_TRUE(ReadProfileNames(store).empty());
    EXPECT_EQ(ItemText(dialog, IDC_PROFILE), L"");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_PROFILE_DELETE)));
    EXPECT_EQ(store.GetString(kSectionSettings, kLastLoadProfileValue, L""), L"KURO");
    CloseCustomizer(process, dialog);
}

TEST_F(Customizer, ACorruptProfileLoadsNothingAndChangesNothing)
{
    WriteDword(kSettingsKey, kProfileSetInitializedValue, 1);
    std::vector<uint8_t> bytes = SerializeProfile(BuiltInProfiles()[2].settings);
    bytes.resize(bytes.size() - 3);
    WriteBinary(kProfilesKey, EncodeProfileName(L"壊れた").c_str(), bytes);
    CProcess process;
    HWND dialog = StartCustomizer(process);
    ASSERT_TRUE(dialog);
    const CRegistrySnapshot before = SnapshotRegistry(kProductKey);
    Type(dialog, IDC_PROFILE, L"壊れた");
    Click(dialog, IDC_PROFILE_LOAD);
    EXPECT_EQ(Answer(process, IDOK), L"プロファイルをロードできません。");
    EXPECT_EQ(SnapshotRegistry(kProductKey), before);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_DRAW_THEME), BST_CHECKED);
    CloseCustomizer(process, dialog);
}

TEST_F(Customizer, TheModeDecidesWhichControlsShow)
{
    WriteDword(kSettingsKey, L"DrawType", 7);
    CProcess process;
    HWND dialog = StartCustomizer(process);
    ASSERT_TRUE(dialog);
    for (int id : {IDC_DRAW_THEME, IDC_DRAW_SYSCOLOR, IDC_DRAW_CUSTOM, IDC_DRAW_SYSTEM})
        EXPECT_EQ(IsDlgButtonChecked(dialog, id), BST_UNCHECKED) << id;
    for (int id : kModeDependent)
        EXPECT_TRUE(Hidden(dialog, id)) << id;
    EXPECT_TRUE(Shown(dialog, IDC_PROFILE));
    // The stored value stays until a mode is chosen.
    EXPECT_EQ(SettingsDword(L"DrawType"), 7u);

    Click(dialog, IDC_DRAW_CUSTOM);
    EXPECT_TRUE(PollFor(5s, [&] { return SettingsDword(L"DrawType") == 2u; }));
    // The click's handling ends with the visibility, after the write.
    RoundTrip(dialog);
    for (int id : {IDC_FONT_TEXT, IDC_HIGHLIGHT_EDGE, IDC_COLOR_TARGET, IDC_USE_TEXTURE, IDC_HUE_PICKER,
                   IDC_LIGHTNESS_PICKER, IDC_HEX, IDC_R})
        EXPECT_TRUE(Shown(dialog, id)) << id;
    for (int id : {IDC_TEXTURE_FILE, IDC_ALPHA_SLIDER, IDC_A, IDC_SHIFT_X})
        EXPECT_TRUE(Hidden(dialog, id)) << id;

    // The texture takes the pickers' place; the offsets show with Alt+H.
    Choose(dialog, IDC_USE_TEXTURE, 1);
    EXPECT_EQ(SettingsDword(L"OwnerDrawUseTexture"), 1u);
    for (int id : {IDC_HUE_PICKER, IDC_LIGHTNESS_PICKER, IDC_R, IDC_H, IDC_HEX, IDC_SHIFT_X, IDC_SHIFT_NOTE})
        EXPECT_TRUE(Hidden(dialog, id)) << id;
    for (int id : {IDC_TEXTURE_FILE, IDC_TEXTURE_BUTTON, IDC_COLOR_SAMPLE})
        EXPECT_TRUE(Shown(dialog, id)) << id;
    RECT frame = {};
    GetWindowRect(GetDlgItem(dialog, IDC_FONT_TEXT), &frame);
    ASSERT_TRUE(RealClickInto(dialog, POINT{frame.left + 4, frame.top + 4}));
    ASSERT_TRUE(RealKeys(L"alt+h"));
    EXPECT_TRUE(PollFor(5s, [&] { return Shown(dialog, IDC_SHIFT_X); }));
    EXPECT_TRUE(Shown(dialog, IDC_SHIFT_NOTE));
    Type(dialog, IDC_SHIFT_X, L"-4");
    EXPECT_EQ(static_cast<int>(SettingsDword(L"TextureShiftX")), -4);

    // The selected background over a texture has its opacity; other targets have none.
    Choose(dialog, IDC_COLOR_TARGET, kColorHighlightBack);
    EXPECT_TRUE(Shown(dialog, IDC_ALPHA_SLIDER));
    EXPECT_TRUE(Shown(dialog, IDC_A));
    EXPECT_EQ(ItemText(dialog, IDC_A), L"128");
    EXPECT_EQ(ItemText(dialog, IDC_HEX), L"#80414141");
    Type(dialog, IDC_HEX, L"#40FF0000");
    EXPECT_EQ(SettingsDword(L"OwnerDrawAlphaHighlight"), 0x40u);
    EXPECT_EQ(SettingsDword(L"CustomColorHighlightBack"), 0x000000FFu);
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, IDC_ALPHA_SLIDER), TBM_GETPOS, 0, 0), 0x40);
    Choose(dialog, IDC_COLOR_TARGET, kColorHighlightText);
    EXPECT_TRUE(Hidden(dialog, IDC_ALPHA_SLIDER));
    EXPECT_TRUE(Hidden(dialog, IDC_A));
    CloseCustomizer(process, dialog);
}

TEST_F(Customizer, TheLauncherOpensItFromItsFolderAndClosesItAtExitKeepingThePosition)
{
    ASSERT_TRUE(StartLauncher());
    PostMessageW(launcherWindow, LauncherMessage(), kCustomizeCommand, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(PollFor(kStartTimeout, [&] { return (dialog = CustomizerBlockWindow()) && IsWindowVisible(dialog); }));
    DWORD processId = 0;
    GetWindowThreadProcessId(dialog, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    ASSERT_TRUE(process);
    wchar_t image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    ASSERT_TRUE(QueryFullProcessImageNameW(process, 0, image, &size));
    EXPECT_EQ(CompareStringOrdinal(image, -1, customizer.c_str(), -1, TRUE), CSTR_EQUAL) << size;
    SetWindowPos(dialog, nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RoundTrip(dialog);

    CProcess exit = CProcess::Start(launcher, L"/exit");
    EXPECT_TRUE(exit.WaitForExit(kEndTimeout));
    EXPECT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
    CloseHandle(process);
    DWORD left = 0, top = 0;
    ASSERT_TRUE(ReadDword(kWindowPosKey, L"custleft", left));
    ASSERT_TRUE(ReadDword(kWindowPosKey, L"custtop", top));
    EXPECT_EQ(left, 123u);
    EXPECT_EQ(top, 77u);

    // The next start puts it there; no stored position or 0x80000000 leaves it where the
    // system puts it.
    CProcess next;
    dialog = StartCustomizer(next);
    ASSERT_TRUE(dialog);
    RECT r = {};
    GetWindowRect(dialog, &r);
    EXPECT_EQ(r.left, 123);
    EXPECT_EQ(r.top, 77);
    CloseCustomizer(next, dialog);
    WriteDword(kWindowPosKey, L"custleft", 0x80000000u);
    dialog = StartCustomizer(next);
    ASSERT_TRUE(dialog);
    GetWindowRect(dialog, &r);
    EXPECT_FALSE(r.left == 123 && r.top == 77);
    CloseCustomizer(next, dialog);
}
