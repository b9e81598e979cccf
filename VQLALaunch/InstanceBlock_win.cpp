#include "InstanceBlock_win.h"

#include <cstring>

#include "WinHandles.h"

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
