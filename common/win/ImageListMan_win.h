#pragma once
// The process-wide image list of menu icons: six fixed marks, then the shell's icons of the
// items' files, each fetched once per path and stored once per shell icon.

#include <windows.h>

#include <array>
#include <string>
#include <unordered_map>

#include "WinHandles.h"

class CImageListMan {
public:
    static constexpr int kFixedSlots = 6;

    CImageListMan() = default;
    CImageListMan(const CImageListMan&) = delete;
    CImageListMan& operator=(const CImageListMan&) = delete;
    virtual ~CImageListMan() = default;

    // Creates the list at the small-icon size with slots 0-5 kept for the fixed icons, and
    // loads them from the module's resources now, or with deferFixedIcons at the first
    // LoadFixedIcons (loading them is a noticeable part of a resident program's start).
    // False when the list cannot be created.
    bool Create(HINSTANCE resources, bool deferFixedIcons = false);
    // Loads the fixed icons into slots 0-5 unless they are there already.
    void LoadFixedIcons();
    // Loads the fixed icons from the resources without touching the list, on any thread
    // (loading them is most of LoadFixedIcons' time); LoadFixedIcons, called after that
    // thread has ended, then only puts them in.
    void PrepareFixedIcons();

    // Slot of the icon of a file (path already expanded, not empty); 0 when the shell has
    // none. Internal shortcut files show the icon of what they point to.
    int GetIconIndex(bool isInternal, const std::wstring& path);
    // Slot holding a copy of the icon that the shell knows under systemIndex.
    int AddShellIcon(HICON icon, int systemIndex);

    HIMAGELIST Handle() const { return imageList.get(); }
    int NextSlot() const { return nextSlot; }
    // How often the shell was asked for an icon; every path is asked at most once.
    int ShellQueries() const { return shellQueries; }

private:
    int AddIconOfIdList(const std::wstring& lnkFile);
    int AddIconOfPath(const std::wstring& path);
    // item is a path, or an identifier list with SHGFI_PIDL in flags.
    int AddIconOfShellItem(LPCWSTR item, UINT flags);

    CImageListHandle imageList;
    HINSTANCE fixedIconModule = nullptr;
    int iconWidth = 16;
    int iconHeight = 16;
    bool fixedIconsLoaded = false;
    std::array<CIconHandle, kFixedSlots> preparedIcons;
    int nextSlot = kFixedSlots;
    std::unordered_map<int, int> slotOfShellIcon;
    std::unordered_map<std::wstring, int> slotOfPath;
    int shellQueries = 0;
};
