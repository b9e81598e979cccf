#include "SystemInfo_win.h"

bool IsWindowsVersionAtLeast(DWORD major, DWORD minor, WORD servicePack)
{
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    info.dwMajorVersion = major;
    info.dwMinorVersion = minor;
    info.wServicePackMajor = servicePack;
    DWORDLONG mask = 0;
    mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&info, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask) != FALSE;
}

std::wstring LoadResourceString(UINT id)
{
    const wchar_t* text = nullptr;
    // With a zero length the call lends a pointer into the resource (not terminated).
    int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, length) : std::wstring();
}

void SetAppUserModelIdIfPossible(const wchar_t* id)
{
    using SetIdFunction = HRESULT(WINAPI*)(PCWSTR);
    HMODULE shell = GetModuleHandleW(L"shell32.dll");
    if (!shell)
        return;
    auto set = reinterpret_cast<SetIdFunction>(
        reinterpret_cast<void*>(GetProcAddress(shell, "SetCurrentProcessExplicitAppUserModelID")));
    if (set)
        set(id);
}
