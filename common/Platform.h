#pragma once
// What the portable code needs from the operating system. Programs install the Windows
// implementation at start; tests install a fake. Nothing here includes windows.h.

#include <cstdint>
#include <string>
#include <vector>

#include "XNode.h"

class CSettingsStore;

// Character type flags of CT_CTYPE3, as the platform reports them.
enum : unsigned {
    kC3NonSpacing = 0x0001,
    kC3Diacritic = 0x0002,
    kC3VowelMark = 0x0004,
    kC3Symbol = 0x0008,
    kC3Alpha = 0x8000,
};

// What a shortcut file says about its target.
struct CShortcutInfo {
    bool flagsKnown = false; // the data-list flags could be read
    uint32_t flags = 0;      // SLDF_*
    std::wstring target;     // raw, not expanded
    std::wstring arguments;
    std::wstring workingFolder;
    int showCommand = 1; // SW_* value
};

inline constexpr uint32_t kLinkRunAsUser = 0x2000;   // SLDF_RUNAS_USER
inline constexpr uint32_t kLinkHasDarwinId = 0x1000; // SLDF_HAS_DARWINID

class CPlatform {
public:
    virtual ~CPlatform() = default;

    // Text of the system's ANSI code page (932 on Japanese systems) as UTF-16.
    virtual std::wstring AnsiToWide(const std::string& bytes) = 0;
    // CT_CTYPE3 flags of one UTF-16 unit for the user's default locale.
    virtual unsigned CharType3(wchar_t unit) = 0;

    virtual bool GetEnvironment(const std::wstring& name, std::wstring& value) = 0;
    // The internal-links folder (…\OfficeKestrahl\Velquinランチャー\LNKs).
    virtual std::wstring LinksFolder() = 0;
    // A new GUID in registry form: 38 characters, braces, upper-case hex.
    virtual std::wstring NewGuidString() = 0;
    virtual bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& data) = 0;
    // Creates or truncates the file.
    virtual bool WriteWholeFile(const std::wstring& path, const void* bytes, size_t size) = 0;

    // Message box with the running program's name as caption and an OK button.
    virtual void ShowMessage(const std::wstring& text) = 0;

    // Index in the shared image list for a path (already expanded).
    virtual int IconIndexFor(bool isInternal, const std::wstring& path) = 0;
    // Opens a shortcut through its item identifier list; false when any step fails.
    virtual bool ShellExecuteIdList(const std::wstring& lnkFile, const std::wstring& parameters,
                                    const std::wstring& folder, int show) = 0;
    // ShellExecuteW with the default verb; returns its result code (above 32: success).
    virtual intptr_t ShellOpen(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder,
                               int show) = 0;
    // CF_UNICODETEXT on the main window's clipboard; false without a main window.
    virtual bool CopyTextToClipboard(const std::wstring& text) = 0;
    virtual bool GetShellDisplayName(const std::wstring& path, std::wstring& name) = 0;
    // Display name of the target of a shortcut file (through its identifier list).
    virtual bool GetShortcutTargetDisplayName(const std::wstring& lnkFile, std::wstring& name) = 0;
    // False when the shortcut cannot be loaded or one of its fields cannot be read; the flags
    // are given even then when they could be read (flagsKnown), so that a caller can tell why.
    virtual bool ReadShortcut(const std::wstring& lnkFile, CShortcutInfo& info) = 0;
    virtual XBitmap CreateMenuBitmap(XDeviceContext dc, int cx, int cy, int imageIndex) = 0;

    // A tree was stored: the settings tool tells the launcher, the launcher refreshes.
    virtual void NotifyTreeSaved(const CXRoot& root) { (void)root; }
};

// The process-wide platform and settings store. Both must be installed before use.
CPlatform& Platform();
CSettingsStore& Store();
void InstallPlatform(CPlatform* platform, CSettingsStore* store);
