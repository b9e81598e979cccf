#include "ImageListMan_win.h"

#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "FixedIcons.h"

namespace {
constexpr int kInitialCapacity = 6;
constexpr int kGrowth = 16;

const int kFixedIcons[CImageListMan::kFixedSlots] = {IDI_BLANK,     IDI_SUBMENU,  IDI_SUBMENU_OPEN,
                                                     IDI_SEPARATOR, IDI_NEW_ITEM, IDI_TEXT_ITEM};

bool EndsWithLnk(const std::wstring& path)
{
    return path.size() >= 4 && CompareStringOrdinal(path.c_str() + path.size() - 4, 4, L".lnk", 4, TRUE) == CSTR_EQUAL;
}

// The item identifier list of a shortcut file's target; null when any step fails.
CCoTaskMemHandle ShortcutTarget(const std::wstring& lnkFile)
{
    CComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return {};
    CComPtr<IPersistFile> file;
    if (FAILED(link.QueryInterface(file)) || FAILED(file->Load(lnkFile.c_str(), STGM_READ)))
        return {};
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(link->GetIDList(&list)))
        return {};
    return CCoTaskMemHandle(list);
}
} // namespace

bool CImageListMan::Create(HINSTANCE resources, bool deferFixedIcons)
{
    const int cx = GetSystemMetrics(SM_CXSMICON);
    const int cy = GetSystemMetrics(SM_CYSMICON);
    imageList.reset(ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, kInitialCapacity, kGrowth));
    if (!imageList)
        return false;
    ImageList_SetImageCount(imageList.get(), kGrowth);
    fixedIconModule = resources;
    iconWidth = cx;
    iconHeight = cy;
    fixedIconsLoaded = false;
    nextSlot = kFixedSlots;
    if (!deferFixedIcons)
        LoadFixedIcons();
    return true;
}

void CImageListMan::LoadFixedIcons()
{
    if (fixedIconsLoaded || !imageList)
        return;
    fixedIconsLoaded = true;
    if (!preparedIcons[0])
        PrepareFixedIcons();
    for (int slot = 0; slot < kFixedSlots; ++slot) {
        CIconHandle icon = std::move(preparedIcons[static_cast<size_t>(slot)]);
        if (icon)
            ImageList_ReplaceIcon(imageList.get(), slot, icon.get());
    }
}

void CImageListMan::PrepareFixedIcons()
{
    for (int slot = 0; slot < kFixedSlots; ++slot) {
        preparedIcons[static_cast<size_t>(slot)].reset(static_cast<HICON>(
            LoadImageW(fixedIconModule, MAKEINTRESOURCEW(kFixedIcons[slot]), IMAGE_ICON, iconWidth, iconHeight,
                       LR_DEFAULTCOLOR)));
    }
}

int CImageListMan::GetIconIndex(bool isInternal, const std::wstring& path)
{
    if (auto found = slotOfPath.find(path); found != slotOfPath.end())
        return found->second;
    int slot = 0;
    if (isInternal && EndsWithLnk(path))
        slot = AddIconOfIdList(path);
    if (slot == 0)
        slot = AddIconOfPath(path);
    // A failure is remembered too: the shell is not asked again for this path.
    slotOfPath.emplace(path, slot);
    return slot;
}

int CImageListMan::AddIconOfIdList(const std::wstring& lnkFile)
{
    CCoTaskMemHandle list = ShortcutTarget(lnkFile);
    if (!list)
        return 0;
    return AddIconOfShellItem(static_cast<LPCWSTR>(list.get()), SHGFI_PIDL);
}

int CImageListMan::AddIconOfPath(const std::wstring& path)
{
    return AddIconOfShellItem(path.c_str(), 0);
}

int CImageListMan::AddIconOfShellItem(LPCWSTR item, UINT flags)
{
    // The shell's index first: an icon already held (files of one kind, programs with the
    // default icon) is not copied out of the shell's list again.
    SHFILEINFOW info = {};
    ++shellQueries;
    const auto systemList = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(item, FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags | SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (!systemList)
        return 0;
    if (auto found = slotOfShellIcon.find(info.iIcon); found != slotOfShellIcon.end())
        return found->second;
    CIconHandle icon(ImageList_GetIcon(systemList, info.iIcon, ILD_NORMAL));
    if (!icon)
        return 0;
    return AddShellIcon(icon.get(), info.iIcon);
}

int CImageListMan::AddShellIcon(HICON icon, int systemIndex)
{
    if (auto found = slotOfShellIcon.find(systemIndex); found != slotOfShellIcon.end())
        return found->second;
    const int slot = nextSlot++;
    if (ImageList_GetImageCount(imageList.get()) < nextSlot)
        ImageList_SetImageCount(imageList.get(), static_cast<UINT>((nextSlot + kGrowth - 1) / kGrowth * kGrowth));
    ImageList_ReplaceIcon(imageList.get(), slot, icon);
    slotOfShellIcon.emplace(systemIndex, slot);
    return slot;
}
