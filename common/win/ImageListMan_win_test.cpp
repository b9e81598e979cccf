#include <gtest/gtest.h>

#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "ImageListMan_win.h"
#include "WinHandles.h"

namespace {

// Opaque pixels in an image of the list: 0 for an empty slot.
int OpaquePixels(HIMAGELIST list, int slot)
{
    IMAGEINFO info = {};
    if (!ImageList_GetImageInfo(list, slot, &info))
        return -1;
    const int cx = info.rcImage.right - info.rcImage.left;
    const int cy = info.rcImage.bottom - info.rcImage.top;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    CMemoryDCHandle dc(CreateCompatibleDC(nullptr));
    CBitmapHandle bitmap(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        return -1;
    // Drawn over two backgrounds: a pixel that changes with the background is transparent.
    std::vector<uint32_t> over[2];
    const uint32_t backgrounds[2] = {0x00000000, 0x00FFFFFF};
    for (int pass = 0; pass < 2; ++pass) {
        CSelectObject select(dc.get(), bitmap.get());
        auto* pixels = static_cast<uint32_t*>(bits);
        std::fill(pixels, pixels + cx * cy, backgrounds[pass]);
        ImageList_Draw(list, slot, dc.get(), 0, 0, ILD_TRANSPARENT);
        GdiFlush();
        over[pass].assign(pixels, pixels + cx * cy);
    }
    int opaque = 0;
    for (size_t i = 0; i < over[0].size(); ++i)
        opaque += (over[0][i] & 0xFFFFFF) == (over[1][i] & 0xFFFFFF);
    return opaque;
}

std::wstring TempFolder()
{
    wchar_t buffer[MAX_PATH];
    GetTempPathW(MAX_PATH, buffer);
    std::wstring folder = std::wstring(buffer) + L"imagelistman_test";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void WriteTextFile(const std::wstring& path, const char* text)
{
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), text, static_cast<DWORD>(strlen(text)), &written, nullptr);
}

std::wstring SystemProgram(const wchar_t* name)
{
    wchar_t buffer[MAX_PATH];
    GetSystemDirectoryW(buffer, MAX_PATH);
    return std::wstring(buffer) + L"\\" + name;
}

class ImageListMan : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(cache.Create(GetModuleHandleW(nullptr)));
        folder = TempFolder();
    }
    void TearDown() override { CoUninitialize(); }
    HICON SomeIcon() { return LoadIconW(nullptr, IDI_APPLICATION); }

    CImageListMan cache;
    std::wstring folder;
};

} // namespace

TEST_F(ImageListMan, StartsWithSixteenImagesAndTheFixedIconsInTheFirstSix)
{
    HIMAGELIST list = cache.Handle();
    EXPECT_EQ(ImageList_GetImageCount(list), 16);
    EXPECT_EQ(cache.NextSlot(), 6);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    EXPECT_EQ(cx, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(cy, GetSystemMetrics(SM_CYSMICON));
    EXPECT_EQ(OpaquePixels(list, 0), 0); // the blank mark
    for (int slot = 1; slot < 6; ++slot)
        EXPECT_GT(OpaquePixels(list, slot), 8) << slot;
}

TEST_F(ImageListMan, DeferredFixedIconsArriveWithTheFirstLoadAndOnlyThen)
{
    CImageListMan deferred;
    ASSERT_TRUE(deferred.Create(GetModuleHandleW(nullptr), true));
    EXPECT_EQ(ImageList_GetImageCount(deferred.Handle()), 16);
    // Until then the fixed slots are as unfilled as the list's last one.
    const int unfilled = OpaquePixels(deferred.Handle(), 15);
    for (int slot = 0; slot < 6; ++slot)
        EXPECT_EQ(OpaquePixels(deferred.Handle(), slot), unfilled) << slot;
    ASSERT_NE(unfilled, OpaquePixels(cache.Handle(), 0));
    // A shell icon taken before the fixed ones still goes after their slots.
    EXPECT_EQ(deferred.AddShellIcon(SomeIcon(), 100), 6);

    deferred.LoadFixedIcons();
    deferred.LoadFixedIcons();
    for (int slot = 0; slot < 6; ++slot)
        EXPECT_EQ(OpaquePixels(deferred.Handle(), slot), OpaquePixels(cache.Handle(), slot)) << slot;
    EXPECT_GT(OpaquePixels(deferred.Handle(), 6), 8);
    EXPECT_EQ(deferred.NextSlot(), 7);
}

TEST_F(ImageListMan, FixedIconsPreparedOnAnotherThreadGoInWithTheLoad)
{
    CImageListMan deferred;
    ASSERT_TRUE(deferred.Create(GetModuleHandleW(nullptr), true));
    const int unfilled = OpaquePixels(deferred.Handle(), 15);
    std::thread worker([&] { deferred.PrepareFixedIcons(); });
    worker.join();
    // Preparing leaves the list alone.
    for (int slot = 0; slot < 6; ++slot)
        EXPECT_EQ(OpaquePixels(deferred.Handle(), slot), unfilled) << slot;
    deferred.LoadFixedIcons();
    for (int slot = 0; slot < 6; ++slot)
        EXPECT_EQ(OpaquePixels(deferred.Handle(), slot), OpaquePixels(cache.Handle(), slot)) << slot;
}

TEST_F(ImageListMan, ShellIconsTakeNewSlotsOnceAndGrowTheListBySixteen)
{
    struct Step {
        int systemIndex;
        int slot;
        int count; // images in the list afterwards
    } steps[] = {
        {100, 6, 16},  {100, 6, 16},  {101, 7, 16},  {102, 8, 16},  {103, 9, 16},  {104, 10, 16}, {105, 11, 16},
        {106, 12, 16}, {107, 13, 16}, {108, 14, 16}, {109, 15, 16}, {110, 16, 32}, {101, 7, 32},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(cache.AddShellIcon(SomeIcon(), s.systemIndex), s.slot) << s.systemIndex;
        EXPECT_EQ(ImageList_GetImageCount(cache.Handle()), s.count) << s.systemIndex;
    }
    EXPECT_GT(OpaquePixels(cache.Handle(), 16), 8);
    for (int i = 0; i < 16; ++i)
        cache.AddShellIcon(SomeIcon(), 200 + i); // slots 17..32: the last one needs 48
    EXPECT_EQ(cache.NextSlot(), 33);
    EXPECT_EQ(ImageList_GetImageCount(cache.Handle()), 48);
}

TEST_F(ImageListMan, FilesOfOneTypeShareASlotAndEachPathIsAskedOnce)
{
    const std::wstring a = folder + L"\\a.txt";
    const std::wstring b = folder + L"\\b.txt";
    WriteTextFile(a, "a");
    WriteTextFile(b, "b");
    int slotA = cache.GetIconIndex(false, a);
    int slotB = cache.GetIconIndex(false, b);
    EXPECT_GE(slotA, 6);
    EXPECT_EQ(slotA, slotB);
    EXPECT_EQ(cache.NextSlot(), 7);
    EXPECT_EQ(cache.ShellQueries(), 2);

    EXPECT_EQ(cache.GetIconIndex(false, a), slotA);
    EXPECT_EQ(cache.ShellQueries(), 2);

    // The map compares exactly: another spelling asks again and ends in the same slot.
    std::wstring upper = folder + L"\\A.TXT";
    EXPECT_EQ(cache.GetIconIndex(false, upper), slotA);
    EXPECT_EQ(cache.ShellQueries(), 3);
}

TEST_F(ImageListMan, MissingFileGetsTheBlankSlotAndIsNotAskedAgain)
{
    const std::wstring missing = folder + L"\\no such folder\\nothing.exe";
    EXPECT_EQ(cache.GetIconIndex(false, missing), 0);
    int asked = cache.ShellQueries();
    EXPECT_EQ(cache.GetIconIndex(false, missing), 0);
    EXPECT_EQ(cache.GetIconIndex(true, missing), 0);
    EXPECT_EQ(cache.ShellQueries(), asked);
    EXPECT_EQ(cache.NextSlot(), 6);
}

TEST_F(ImageListMan, SlotsAreEqualExactlyWhenTheShellIconsAre)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring copy = folder + L"\\copy.exe";
    const std::wstring text = folder + L"\\c.txt";
    ASSERT_TRUE(CopyFileW(self, copy.c_str(), FALSE));
    WriteTextFile(text, "c");
    const std::wstring paths[] = {self, copy, text, folder, SystemProgram(L"notepad.exe"), SystemProgram(L"cmd.exe")};

    std::vector<int> shellIndex, slot;
    for (const std::wstring& path : paths) {
        SHFILEINFOW info = {};
        ASSERT_TRUE(SHGetFileInfoW(path.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                                   SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
        shellIndex.push_back(info.iIcon);
        slot.push_back(cache.GetIconIndex(false, path));
        EXPECT_GE(slot.back(), 6);
    }
    for (size_t i = 0; i < slot.size(); ++i) {
        for (size_t j = 0; j < slot.size(); ++j)
            EXPECT_EQ(slot[i] == slot[j], shellIndex[i] == shellIndex[j]) << i << " " << j;
    }
    std::sort(shellIndex.begin(), shellIndex.end());
    const int distinct = static_cast<int>(std::unique(shellIndex.begin(), shellIndex.end()) - shellIndex.begin());
    EXPECT_GE(distinct, 2);
    EXPECT_EQ(cache.NextSlot(), 6 + distinct);
}

TEST_F(ImageListMan, InternalShortcutShowsItsTargetsIcon)
{
    const std::wstring target = SystemProgram(L"notepad.exe");
    const std::wstring lnk = folder + L"\\note.LNK";
    {
        CComPtr<IShellLinkW> link;
        ASSERT_HRESULT_SUCCEEDED(
            CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void()));
        link->SetPath(target.c_str());
        CComPtr<IPersistFile> file;
        ASSERT_HRESULT_SUCCEEDED(link.QueryInterface(file));
        ASSERT_HRESULT_SUCCEEDED(file->Save(lnk.c_str(), TRUE));
    }
    int throughLink = cache.GetIconIndex(true, lnk);
    EXPECT_GE(throughLink, 6);
    EXPECT_EQ(cache.ShellQueries(), 1); // the identifier list answered; the file itself was not asked
    EXPECT_EQ(cache.GetIconIndex(false, target), throughLink);
}
