#include "InstanceBlock_win.h"

#include <cstring>

bool InstanceBlockExists(const wchar_t* name)
{
    CKernelHandle block(OpenFileMappingW(FILE_MAP_READ, FALSE, name));
    return static_cast<bool>(block);
}

HWND WindowFromBlockBytes(const void* view)
{
    uint64_t value = 0;
    std::memcpy(&value, view, sizeof(value));
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

void WriteInstanceWindow(void* view, HWND window)
{
    const uint64_t value = reinterpret_cast<uintptr_t>(window);
    std::memcpy(view, &value, sizeof(value));
}

HWND ReadInstanceWindow(const wchar_t* name)
{
    CKernelHandle block(OpenFileMappingW(FILE_MAP_READ, FALSE, name));
    if (!block)
        return nullptr;
    CMappedViewHandle view(MapViewOfFile(block.get(), FILE_MAP_READ, 0, 0, kInstanceBlockSize));
    if (!view)
        return nullptr;
    return WindowFromBlockBytes(view.get());
}

CInstanceClaim::CInstanceClaim(const wchar_t* name)
{
    created.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kInstanceBlockSize, name));
    if (!created)
        return;
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    view.reset(MapViewOfFile(created.get(), FILE_MAP_ALL_ACCESS, 0, 0, kInstanceBlockSize));
    result = existed ? XPublish::AnotherRuns : XPublish::Published;
}

HWND CInstanceClaim::OtherWindow(DWORD timeoutMs) const
{
    if (result != XPublish::AnotherRuns || !view)
        return nullptr;
    // Holding the block open keeps its bytes readable even if its owner ends meanwhile.
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = WindowFromBlockBytes(view.get()))
            return window;
        if (GetTickCount() - start >= timeoutMs)
            return nullptr;
        Sleep(20);
    }
}

void CInstanceClaim::Publish(HWND window, CKernelHandle& block)
{
    if (result != XPublish::Published)
        return;
    if (view)
        WriteInstanceWindow(view.get(), window);
    view.reset();
    block = std::move(created);
}

XPublish PublishInstanceWindow(const wchar_t* name, HWND window, CKernelHandle& block, HWND& other)
{
    CInstanceClaim claim(name);
    other = claim.OtherWindow(0);
    claim.Publish(window, block);
    return claim.Result();
}

bool BecomeInstanceOrBringOtherForward(const wchar_t* name, HWND window, CKernelHandle& block)
{
    HWND other = nullptr;
    if (PublishInstanceWindow(name, window, block, other) != XPublish::AnotherRuns)
        return true;
    if (other) {
        // A minimised window would only flash its taskbar button.
        if (IsIconic(other))
            ShowWindowAsync(other, SW_RESTORE);
        SetForegroundWindow(other);
    }
    return false;
}

void CloseToolWindows()
{
    for (const wchar_t* name : {kCustomizerBlockName, kSettingsToolBlockName}) {
        CKernelHandle block(OpenFileMappingW(FILE_MAP_READ, FALSE, name));
        if (!block)
            continue;
        CMappedViewHandle view(MapViewOfFile(block.get(), FILE_MAP_READ, 0, 0, kInstanceBlockSize));
        if (view)
            PostMessageW(WindowFromBlockBytes(view.get()), WM_CLOSE, 0, 0);
    }
}
