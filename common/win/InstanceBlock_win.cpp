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

XPublish PublishInstanceWindow(const wchar_t* name, HWND window, CKernelHandle& block, HWND& other)
{
    other = nullptr;
    CKernelHandle created(
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kInstanceBlockSize, name));
    if (!created)
        return XPublish::Unavailable;
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    CMappedViewHandle view(MapViewOfFile(created.get(), FILE_MAP_ALL_ACCESS, 0, 0, kInstanceBlockSize));
    if (existed) {
        if (view)
            other = WindowFromBlockBytes(view.get());
        return XPublish::AnotherRuns;
    }
    if (view)
        WriteInstanceWindow(view.get(), window);
    block = std::move(created);
    return XPublish::Published;
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
