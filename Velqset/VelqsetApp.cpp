#include "VelqsetApp.h"

#include <commctrl.h>
// GDI+ needs min/max and the COM types of ole2.h.
#include <ole2.h>
#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include "Profiles.h"
#include "Resource.h"
#include "SettingsStore.h"
#include "SystemInfo_win.h"
#include "VelqsetDialog.h"

namespace {
CVelqsetApp* theApp = nullptr;
} // namespace

CVelqsetApp& App()
{
    return *theApp;
}

int ShowCustomizerMessage(HWND owner, const std::wstring& text, UINT type)
{
    std::wstring title = LoadResourceString(IDS_MESSAGE_TITLE);
    if (title.empty())
        title = kCustomizerTitle;
    return MessageBoxW(owner, text.c_str(), title.c_str(), type);
}

CVelqsetApp::CVelqsetApp()
{
    theApp = this;
}

CVelqsetApp::~CVelqsetApp()
{
    if (theApp == this)
        theApp = nullptr;
}

bool CVelqsetApp::OpenProductKey()
{
    registryKeyName = kVendorKeyName;
    HKEY software = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_ALL_ACCESS, &software) != ERROR_SUCCESS)
        return false;
    CKeyHandle softwareKey(software);
    HKEY vendor = nullptr;
    if (RegCreateKeyExW(software, registryKeyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &vendor, nullptr) != ERROR_SUCCESS)
        return false;
    CKeyHandle vendorKey(vendor);
    HKEY product = nullptr;
    if (RegCreateKeyExW(vendor, kProfileName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &product, nullptr) != ERROR_SUCCESS)
        return false;
    productKey.reset(product);
    return true;
}

bool CVelqsetApp::StartUp()
{
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);
    Gdiplus::GdiplusStartupInput input;
    gdiplusStarted = Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr) == Gdiplus::Ok;

    if (!OpenProductKey()) {
        ShowCustomizerMessage(nullptr, kMessageNoRegistry);
        return false;
    }
    // The key stays open for the program's run; the store reaches its sections by path.
    store = std::make_unique<CRegistryStore>(XIntReading::Strict);
    CreateBuiltInProfilesOnce(*store);

    CVelqsetDialog dialog(*store);
    dialog.DoModal(nullptr);
    return false;
}

int CVelqsetApp::ShutDown()
{
    const int exitCode = ExitProcessing();
    if (gdiplusStarted)
        Gdiplus::GdiplusShutdown(gdiplusToken);
    gdiplusStarted = false;
    store.reset();
    productKey.reset();
    return exitCode;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    CVelqsetApp app;
    return app.Run(instance);
}
