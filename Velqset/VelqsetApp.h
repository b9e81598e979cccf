#pragma once
// The customizer's application object: the product key, GDI+, the built-in profiles and the
// modal run of the dialog.

#include <windows.h>

#include <memory>
#include <string>

#include "RegistryStore_win.h"
#include "WinHandles.h"
#include "XWinApp.h"

inline constexpr wchar_t kCustomizerTitle[] = L"Velquinランチャーカスタマイズ";
inline constexpr wchar_t kMessageNoRegistry[] = L"レジストリを開けません。";

class CVelqsetApp : public CXWinApp {
public:
    CVelqsetApp();
    ~CVelqsetApp() override;

    bool StartUp() override;
    int ShutDown() override;

    // Every value the customizer reads or writes: integers only as REG_DWORD, texts only as
    // REG_SZ (a value of another type counts as absent).
    CSettingsStore& Settings() { return *store; }

    std::wstring registryKeyName;

private:
    bool OpenProductKey();

    CKeyHandle productKey;
    std::unique_ptr<CRegistryStore> store;
    ULONG_PTR gdiplusToken = 0;
    bool gdiplusStarted = false;
};

CVelqsetApp& App();
// A message box of the customizer, owned by the dialog while it is open.
int ShowCustomizerMessage(HWND owner, const std::wstring& text, UINT type = MB_OK);
