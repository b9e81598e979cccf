#pragma once
// A platform for tests: records what the portable code asks of the system and answers
// from fields the test sets. Files live in memory, keyed by their full path.

#include <map>
#include <string>
#include <vector>

#include "Platform.h"
#include "SettingsStore.h"

class CFakePlatform : public CPlatform {
public:
    CFakePlatform();
    ~CFakePlatform() override;

    std::wstring AnsiToWide(const std::string& bytes) override;
    unsigned CharType3(wchar_t unit) override;
    bool GetEnvironment(const std::wstring& name, std::wstring& value) override;
    std::wstring LinksFolder() override { return linksFolder; }
    std::wstring NewGuidString() override;
    bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& data) override;
    bool WriteWholeFile(const std::wstring& path, const void* bytes, size_t size) override;
    void ShowMessage(const std::wstring& text) override { messages.push_back(text); }
    int IconIndexFor(bool isInternal, const std::wstring& path) override;
    bool ShellExecuteIdList(const std::wstring& lnkFile, const std::wstring& parameters, const std::wstring& folder,
                            int show) override;
    intptr_t ShellOpen(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder,
                       int show) override;
    bool CopyTextToClipboard(const std::wstring& text) override;
    bool GetShellDisplayName(const std::wstring& path, std::wstring& name) override;
    bool GetShortcutTargetDisplayName(const std::wstring& lnkFile, std::wstring& name) override;
    bool ReadShortcut(const std::wstring& lnkFile, CShortcutInfo& info) override;
    XBitmap CreateMenuBitmap(XDeviceContext dc, int cx, int cy, int imageIndex) override;
    void NotifyTreeSaved(const CXRoot& root) override { savedTrees.push_back(root.name); }

    // Answers.
    std::wstring linksFolder = L"C:\\Users\\u\\AppData\\Local\\OfficeKestrahl\\Velquinランチャー\\LNKs";
    std::map<std::wstring, std::wstring> environment;
    std::map<std::wstring, std::vector<uint8_t>> files;
    bool failFileWrites = false;
    std::map<std::wstring, int> icons; // path -> index; others get 0
    std::map<std::wstring, std::wstring> displayNames;
    std::map<std::wstring, std::wstring> shortcutTargetNames;
    std::map<std::wstring, CShortcutInfo> shortcuts;
    // Shortcuts that load and give their flags, while a later field cannot be read.
    std::map<std::wstring, CShortcutInfo> partlyReadableShortcuts;
    bool idListLaunchSucceeds = false;
    intptr_t shellExecuteResult = 42;
    bool clipboardAvailable = true;
    std::vector<std::wstring> guids; // handed out in order; generated after that

    // Record of calls.
    struct Launch {
        bool throughIdList;
        std::wstring file, parameters, folder;
        int show;
    };
    std::vector<Launch> launches;
    std::vector<std::wstring> clipboard;
    std::vector<std::wstring> messages;
    std::vector<std::wstring> savedTrees;
    std::vector<std::pair<bool, std::wstring>> iconRequests;

private:
    size_t guidCounter = 0;
};

// Installs a fake platform and an in-memory store for the lifetime of a test.
class CFakeEnvironment {
public:
    explicit CFakeEnvironment(XIntReading reading = XIntReading::Lenient);
    ~CFakeEnvironment();
    CFakePlatform platform;
    CMemoryStore store;
};

// Bytes of a UTF-16LE string, and code page 932 bytes of a text (test data).
std::vector<uint8_t> Utf16Bytes(const std::wstring& text);
std::string ToCp932(const std::wstring& text);
std::wstring FromCp932(const std::string& bytes);
