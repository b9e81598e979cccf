#pragma once
// Committed private memory of another process, region by region. Wine leaves PrivateUsage
// of other processes at zero; this is what that figure counts on Windows (less the
// copy-on-write pages of images, which every program has alike).

#include <windows.h>

inline SIZE_T CommittedPrivateBytes(HANDLE process)
{
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* address = nullptr;
    while (VirtualQueryEx(process, address, &region, sizeof(region)) == sizeof(region)) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}
