#pragma once
// The platform services on Win32. The program fills the fields it knows (links folder,
// message caption, main window, image list) once they exist.

#include <windows.h>
// These need the types that windows.h declares.
#include <commctrl.h>
#include <shellapi.h>

#include <functional>

#include "Platform.h"

class CWin32Platform : public CPlatform {
public:
    std::wstring AnsiToWide(const std::string& bytes) override;
    unsigned CharType3(wchar_t unit) override;
    // Values of any length are returned whole.
    bool GetEnvironment(const std::wstring& name, std::wstring& value) override;
    std::wstring LinksFolder() override { return linksFolder; }
    std::wstring NewGuidString() override;
    bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& data) override;
    bool WriteWholeFile(const std::wstring& path, const void* bytes, size_t size) override;
    void ShowMessage(const std::wstring& text) override;
    int IconIndexFor(bool isInternal, const std::wstring& path) override;
    // COM must be initialised on the calling thread for the shell-link operations.
    bool ShellExecuteIdList(const std::wstring& lnkFile, const std::wstring& parameters, const std::wstring& folder,
                            int show) override;
    intptr_t ShellOpen(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder,
                          int show) override;
    bool CopyTextToClipboard(const std::wstring& text) override;
    bool GetShellDisplayName(const std::wstring& path, std::wstring& name) override;
    bool GetShortcutTargetDisplayName(const std::wstring& lnkFile, std::wstring& name) override;
    bool ReadShortcut(const std::wstring& lnkFile, CShortcutInfo& info) override;
    // The caller owns the bitmap.
    XBitmap CreateMenuBitmap(XDeviceContext dc, int cx, int cy, int imageIndex) override;

    std::wstring linksFolder;
    std::wstring messageCaption;    // the running program's name
    HWND mainWindow = nullptr;      // owner of the clipboard and of message boxes
    HIMAGELIST imageList = nullptr; // drawn into menu bitmaps once set
    // The icon cache answers here once it exists; until then every path gets the blank slot 0.
    std::function<int(bool isInternal, const std::wstring& path)> iconIndexCallback;
};
