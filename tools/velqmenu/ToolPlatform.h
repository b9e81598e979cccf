#pragma once
// The platform of the command-line tool: it only converts old ANSI strings of archives.
// Everything else is inert; in particular no message box ever appears, because the tool
// reports its own errors on standard error.

#include "Platform.h"

class CToolPlatform : public CPlatform {
public:
    // Code page 932 (natively through iconv; on Windows the system's ANSI code page).
    std::wstring AnsiToWide(const std::string& bytes) override;
    unsigned CharType3(wchar_t) override { return 0; }
    bool GetEnvironment(const std::wstring&, std::wstring&) override { return false; }
    std::wstring LinksFolder() override { return {}; }
    std::wstring NewGuidString() override { return {}; }
    bool ReadWholeFile(const std::wstring&, std::vector<uint8_t>&) override { return false; }
    bool WriteWholeFile(const std::wstring&, const void*, size_t) override { return false; }
    void ShowMessage(const std::wstring&) override {}
    int IconIndexFor(bool, const std::wstring&) override { return 0; }
    bool ShellExecuteIdList(const std::wstring&, const std::wstring&, const std::wstring&, int) override
    {
        return false;
    }
    intptr_t ShellOpen(const std::wstring&, const std::wstring&, const std::wstring&, int) override { return 0; }
    bool CopyTextToClipboard(const std::wstring&) override { return false; }
    bool GetShellDisplayName(const std::wstring&, std::wstring&) override { return false; }
    bool GetShortcutTargetDisplayName(const std::wstring&, std::wstring&) override { return false; }
    bool ReadShortcut(const std::wstring&, CShortcutInfo&) override { return false; }
    XBitmap CreateMenuBitmap(XDeviceContext, int, int, int) override { return nullptr; }
};
