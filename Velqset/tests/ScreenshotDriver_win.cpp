// Drives one customizer for a picture of its dialog (scripts/screenshots.sh): seeds the look
// it shows, starts the customizer from this program's folder, prints the dialog's screen
// rectangle as "left top right bottom" and keeps it open until the file named on the command
// line exists (the script has taken its picture).
//
// Usage: customizer_screenshot_driver.exe mode0|mode2|mode2-texture|mode3 DONEFILE [TEXTUREFILE]
#include <windows.h>

#include <cstdio>
#include <string>

#include "LauncherProbe_win.h"
#include "ODMSettings.h"
#include "SettingsProbe_win.h"

using namespace std::chrono_literals;

namespace {
const wchar_t kCustomizerFile[] = L"Velquinランチャーカスタマイズツール.exe";
const wchar_t kDialogTitle[] = L"Velquinランチャー カスタマイズ";

int Fail(const char* what)
{
    std::fprintf(stderr, "customizer screenshot driver: %s\n", what);
    std::fflush(stderr);
    return 1;
}

int Run(const std::wstring& shot, const std::wstring& doneFile, const std::wstring& texture)
{
    const int drawType = shot == L"mode0" ? kDrawTheme : shot == L"mode3" ? kDrawBySystem : kDrawCustomColor;
    WriteDword(kSettingsKey, L"DrawType", static_cast<DWORD>(drawType));
    WriteString(kSettingsKey, L"OwnerDrawFontName", L"MS UI Gothic");
    WriteDword(kSettingsKey, L"OwnerDrawFontSize", 105);
    WriteDword(kSettingsKey, L"OwnerDrawFontWeight", 700);
    WriteDword(kSettingsKey, L"CustomColorBack", 0x354F01);
    if (shot == L"mode2-texture") {
        WriteDword(kSettingsKey, L"OwnerDrawUseTexture", 1);
        WriteString(kSettingsKey, L"OwnerDrawTextureFile", texture);
    }

    CProcess process = CProcess::Start(FolderOfThisProgram() + L"\\" + kCustomizerFile, L"");
    HWND dialog = WaitForDialog(process.Id(), kDialogTitle, 20s);
    if (!dialog)
        return Fail("the customizer did not show");
    RoundTrip(dialog);
    SetWindowPos(dialog, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE);
    Sleep(700);
    RECT r = {};
    GetWindowRect(dialog, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    std::fflush(stdout);
    PollFor(60s, [&] { return FileExists(doneFile); });
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    if (!process.WaitForExit(20s))
        process.Kill();
    return 0;
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return Fail("usage: customizer_screenshot_driver mode0|mode2|mode2-texture|mode3 DONEFILE [TEXTUREFILE]");
    CleanLauncherUserState();
    const int result = Run(argv[1], argv[2], argc > 3 ? argv[3] : L"");
    CleanLauncherUserState();
    return result;
}
