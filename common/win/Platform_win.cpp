#include "Platform_win.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>

#include "WinHandles.h"

namespace {

const wchar_t* NullIfEmpty(const std::wstring& text)
{
    return text.empty() ? nullptr : text.c_str();
}

// A shell-link object with the shortcut file loaded (read access), or nothing.
CComPtr<IShellLinkW> LoadShortcut(const std::wstring& lnkFile)
{
    CComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return {};
    CComPtr<IPersistFile> file;
    if (FAILED(link.QueryInterface(file)) || FAILED(file->Load(lnkFile.c_str(), STGM_READ)))
        return {};
    return link;
}

CCoTaskMemHandle ShortcutIdList(const std::wstring& lnkFile)
{
    CComPtr<IShellLinkW> link = LoadShortcut(lnkFile);
    if (!link)
        return {};
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(link->GetIDList(&list)))
        return {};
    return CCoTaskMemHandle(list);
}

} // namespace

std::wstring CWin32Platform::AnsiToWide(const std::string& bytes)
{
    if (bytes.empty())
        return {};
    int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring text(length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

unsigned CWin32Platform::CharType3(wchar_t unit)
{
    WORD type = 0;
    if (!GetStringTypeExW(LOCALE_USER_DEFAULT, CT_CTYPE3, &unit, 1, &type))
        return 0;
    unsigned flags = 0;
    if (type & C3_NONSPACING)
        flags |= kC3NonSpacing;
    if (type & C3_DIACRITIC)
        flags |= kC3Diacritic;
    if (type & C3_VOWELMARK)
        flags |= kC3VowelMark;
    if (type & C3_SYMBOL)
        flags |= kC3Symbol;
    if (type & C3_ALPHA)
        flags |= kC3Alpha;
    return flags;
}

bool CWin32Platform::GetEnvironment(const std::wstring& name, std::wstring& value)
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        DWORD length = GetEnvironmentVariableW(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            // 0 is both "not set" and "set to an empty text".
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND)
                return false;
            value.clear();
            return true;
        }
        if (length < buffer.size()) {
            value.assign(buffer.data(), length);
            return true;
        }
        // Too small: length is the size needed, terminator included. Ask again.
        buffer.assign(length, L'\0');
    }
}

std::wstring CWin32Platform::NewGuidString()
{
    GUID guid;
    if (FAILED(CoCreateGuid(&guid)))
        return {};
    wchar_t text[40] = {};
    int length = StringFromGUID2(guid, text, 40); // includes the terminator
    return length > 0 ? std::wstring(text, length - 1) : std::wstring();
}

bool CWin32Platform::ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& data)
{
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX / 2)
        return false;
    std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr))
            return false;
        if (read == 0)
            break; // the file shrank meanwhile
        done += read;
    }
    bytes.resize(done);
    data = std::move(bytes);
    return true;
}

bool CWin32Platform::WriteWholeFile(const std::wstring& path, const void* bytes, size_t size)
{
    CFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    auto p = static_cast<const uint8_t*>(bytes);
    size_t done = 0;
    while (done < size) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.get(), p + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

void CWin32Platform::ShowMessage(const std::wstring& text)
{
    HWND owner = (mainWindow && IsWindow(mainWindow)) ? mainWindow : nullptr;
    MessageBoxW(owner, text.c_str(), messageCaption.c_str(), MB_OK);
}

int CWin32Platform::IconIndexFor(bool isInternal, const std::wstring& path)
{
    return iconIndexCallback ? iconIndexCallback(isInternal, path) : 0;
}

bool CWin32Platform::ShellExecuteIdList(const std::wstring& lnkFile, const std::wstring& parameters,
                                        const std::wstring& folder, int show)
{
    CCoTaskMemHandle list = ShortcutIdList(lnkFile);
    if (!list)
        return false;
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_IDLIST | SEE_MASK_FLAG_NO_UI;
    info.lpParameters = NullIfEmpty(parameters);
    info.lpDirectory = NullIfEmpty(folder);
    info.nShow = show;
    info.lpIDList = list.get();
    return ShellExecuteExW(&info) != FALSE;
}

intptr_t CWin32Platform::ShellOpen(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder,
                                   int show)
{
    HINSTANCE result =
        ShellExecuteW(nullptr, nullptr, file.c_str(), NullIfEmpty(parameters), NullIfEmpty(folder), show);
    return reinterpret_cast<intptr_t>(result);
}

bool CWin32Platform::CopyTextToClipboard(const std::wstring& text)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    CGlobalHandle block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, bytes));
    if (!block)
        return false;
    void* target = GlobalLock(block.get());
    if (!target)
        return false;
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(block.get());

    if (!mainWindow || !IsWindow(mainWindow))
        return false;
    // Another program (a clipboard viewer, a program reading what was just copied) may hold
    // the clipboard for a moment: the copy waits that moment out instead of being lost.
    constexpr int kOpenAttempts = 20;
    constexpr DWORD kOpenRetryMs = 10;
    bool opened = OpenClipboard(mainWindow);
    for (int attempt = 1; !opened && attempt < kOpenAttempts; ++attempt) {
        Sleep(kOpenRetryMs);
        opened = OpenClipboard(mainWindow);
    }
    if (!opened)
        return false;
    EmptyClipboard();
    bool stored = SetClipboardData(CF_UNICODETEXT, block.get()) != nullptr;
    if (stored)
        block.release(); // the clipboard owns it now
    CloseClipboard();
    return stored;
}

bool CWin32Platform::GetShellDisplayName(const std::wstring& path, std::wstring& name)
{
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_DISPLAYNAME))
        return false;
    name = info.szDisplayName;
    return true;
}

bool CWin32Platform::GetShortcutTargetDisplayName(const std::wstring& lnkFile, std::wstring& name)
{
    CCoTaskMemHandle list = ShortcutIdList(lnkFile);
    if (!list)
        return false;
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(static_cast<LPCWSTR>(list.get()), 0, &info, sizeof(info), SHGFI_PIDL | SHGFI_DISPLAYNAME))
        return false;
    name = info.szDisplayName;
    return true;
}

bool CWin32Platform::ReadShortcut(const std::wstring& lnkFile, CShortcutInfo& info)
{
    CComPtr<IShellLinkW> link = LoadShortcut(lnkFile);
    if (!link)
        return false;
    CShortcutInfo result;
    CComPtr<IShellLinkDataList> dataList;
    DWORD flags = 0;
    if (SUCCEEDED(link.QueryInterface(dataList)) && SUCCEEDED(dataList->GetFlags(&flags))) {
        result.flagsKnown = true;
        result.flags = flags;
    }
    // The flags go out whatever follows: an administrator shortcut whose later fields cannot
    // be read is still told apart from one that cannot be read at all.
    info.flagsKnown = result.flagsKnown;
    info.flags = result.flags;
    wchar_t target[MAX_PATH] = {};
    wchar_t arguments[1024] = {};
    wchar_t folder[MAX_PATH] = {};
    int show = SW_SHOWNORMAL;
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) || FAILED(link->GetArguments(arguments, 1024)) ||
        FAILED(link->GetWorkingDirectory(folder, MAX_PATH)) || FAILED(link->GetShowCmd(&show)))
        return false;
    result.target = target;
    result.arguments = arguments;
    result.workingFolder = folder;
    result.showCommand = show;
    info = std::move(result);
    return true;
}

XBitmap CWin32Platform::CreateMenuBitmap(XDeviceContext dc, int cx, int cy, int imageIndex)
{
    HDC target = static_cast<HDC>(dc);
    CBitmapHandle bitmap(CreateCompatibleBitmap(target, cx, cy));
    if (!bitmap)
        return nullptr;
    CMemoryDCHandle memory(CreateCompatibleDC(target));
    if (!memory)
        return nullptr;
    {
        CSelectObject select(memory.get(), bitmap.get());
        RECT all = {0, 0, cx, cy};
        FillRect(memory.get(), &all, GetSysColorBrush(COLOR_MENU));
        if (imageList && imageIndex >= 0)
            ImageList_DrawEx(imageList, imageIndex, memory.get(), 0, 0, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_NORMAL);
    }
    return bitmap.release();
}
