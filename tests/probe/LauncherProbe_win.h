#pragma once
// What the launcher's end-to-end tests use to drive real launcher processes: a private
// folder with a copy of the launcher, process starts, the instance block, the registered
// message, the store and the launcher's message boxes.

#include <windows.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "FolderTree_win.h"
#include "SettingsStore.h"

inline constexpr wchar_t kLauncherFile[] = L"Velquinランチャー.exe";
inline constexpr wchar_t kSettingsToolFile[] = L"Velquinランチャー設定ツール.exe";
inline constexpr wchar_t kVendorKey[] = L"Software\\OfficeKestrahl";
inline constexpr wchar_t kProductKey[] = L"Software\\OfficeKestrahl\\Velquinランチャー";
inline constexpr wchar_t kSettingsKey[] = L"Software\\OfficeKestrahl\\Velquinランチャー\\Settings";

using namespace std::chrono_literals;

// A folder of this test program's own, removed with everything in it at the end.
class CTestFolder {
public:
    CTestFolder();
    ~CTestFolder();
    const std::wstring& Path() const { return path; }
    std::wstring File(const std::wstring& name) const { return path + L"\\" + name; }

private:
    std::wstring path;
};

std::wstring FolderOfThisProgram();
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);

// Polls every 50 ms until done() holds or the time is up; returns the last answer.
template <typename Predicate> bool PollFor(std::chrono::milliseconds timeout, Predicate done)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (done())
            return true;
        Sleep(50);
    }
    return done();
}

// The session's clipboard text (CF_UNICODETEXT), and emptying it whoever owns it.
std::wstring ClipboardText();
void EmptyClipboardOfEveryone();

// The popup menu windows of the system class "#32768" that are visible.
std::vector<HWND> VisibleMenuWindows();

// The launcher's data folders of this user.
std::wstring ProductDataFolder();
std::wstring VendorDataFolder();
// The store and the data folders of this user removed, as before a first start.
void CleanLauncherUserState();

class CProcess {
public:
    CProcess() = default;
    CProcess(CProcess&& other) noexcept;
    CProcess& operator=(CProcess&& other) noexcept;
    ~CProcess(); // a process still running is killed
    static CProcess Start(const std::wstring& exe, const std::wstring& arguments);
    bool WaitForExit(std::chrono::milliseconds timeout) const;
    bool IsRunning() const;
    DWORD ExitCode() const;
    DWORD Id() const { return id; }
    HANDLE Handle() const { return process; }
    bool Started() const { return process != nullptr; }
    void Kill();

private:
    HANDLE process = nullptr;
    DWORD id = 0;
};

UINT LauncherMessage();
// The window in the launcher's block, once the block exists (null on time-out).
HWND WaitForLauncherWindow(std::chrono::milliseconds timeout);
bool LauncherBlockExists();
bool WaitForBlockGone(std::chrono::milliseconds timeout);
// Kills whatever launcher still keeps the block (test clean-up).
void KillRunningLauncher();
// SendMessageTimeoutW; false on time-out or a dead window.
bool SendLauncher(HWND window, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Message boxes of one process with a caption: the launcher's "Velquinランチャー" unless said.
inline constexpr wchar_t kLauncherCaption[] = L"Velquinランチャー";
struct CFoundBox {
    HWND window = nullptr;
    std::wstring text;
};
std::vector<CFoundBox> FindMessageBoxes(DWORD processId, const wchar_t* caption = kLauncherCaption);
// Waits for a box of that process, up to the time-out.
CFoundBox WaitForMessageBox(DWORD processId, std::chrono::milliseconds timeout,
                            const wchar_t* caption = kLauncherCaption);
void DismissMessageBox(HWND box);

// Every value below a key of HKEY_CURRENT_USER, by "subkey path|value name".
using CRegistrySnapshot = std::map<std::wstring, CRegValue>;
CRegistrySnapshot SnapshotRegistry(const std::wstring& keyPath);
bool KeyExists(const std::wstring& keyPath);
void DeleteKey(const std::wstring& keyPath);
bool ReadDword(const std::wstring& keyPath, const wchar_t* name, DWORD& value);
void WriteDword(const std::wstring& keyPath, const wchar_t* name, DWORD value);
// REG_SZ with its terminating NUL.
void WriteString(const std::wstring& keyPath, const wchar_t* name, const std::wstring& text);
void WriteBinary(const std::wstring& keyPath, const wchar_t* name, const std::vector<uint8_t>& bytes);
