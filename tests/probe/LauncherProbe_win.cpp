#include "LauncherProbe_win.h"

#include <shlobj.h>

#include <atomic>
#include <thread>

#include "InstanceBlock_win.h"
#include "WinHandles.h"

namespace {
const wchar_t kBlockName[] = L"OfficeKestrahl_Velquin_FM";

template <typename Predicate> bool PollUntil(std::chrono::milliseconds timeout, Predicate done)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        Sleep(50);
    }
}

HWND ReadBlockWindow()
{
    return ReadInstanceWindow(kBlockName);
}

void Snapshot(HKEY key, const std::wstring& path, CRegistrySnapshot& out)
{
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384;
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        CRegValue value;
        value.type = type;
        value.data.resize(size);
        nameLength = 16384;
        RegEnumValueW(key, i, name, &nameLength, nullptr, &type, value.data.data(), &size);
        value.data.resize(size);
        out[path + L"|" + name] = value;
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        CKeyHandle sub;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, sub.put()) == ERROR_SUCCESS)
            Snapshot(sub.get(), path + L"\\" + name, out);
    }
}
} // namespace

std::wstring FolderOfThisProgram()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.rfind(L'\\'));
}

CTestFolder::CTestFolder()
{
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path = std::wstring(temp) + L"vqla-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(counter.fetch_add(1));
    DeleteFolderTree(path);
    CreateDirectoryW(path.c_str(), nullptr);
}

CTestFolder::~CTestFolder()
{
    DeleteFolderTree(path);
}

bool FileExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring VendorDataFolder()
{
    PWSTR path = nullptr;
    SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path);
    CCoTaskMemHandle owned(path);
    return std::wstring(path ? path : L"") + L"\\OfficeKestrahl";
}

std::wstring ProductDataFolder()
{
    return VendorDataFolder() + L"\\Velquinランチャー";
}

CProcess::CProcess(CProcess&& other) noexcept
    : process(std::exchange(other.process, nullptr)), id(std::exchange(other.id, 0))
{
}

CProcess& CProcess::operator=(CProcess&& other) noexcept
{
    if (this != &other) {
        Kill();
        process = std::exchange(other.process, nullptr);
        id = std::exchange(other.id, 0);
    }
    return *this;
}

CProcess::~CProcess()
{
    Kill();
}

CProcess CProcess::Start(const std::wstring& exe, const std::wstring& arguments)
{
    CProcess result;
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &info)) {
        CloseHandle(info.hThread);
        result.process = info.hProcess;
        result.id = info.dwProcessId;
    }
    return result;
}

bool CProcess::WaitForExit(std::chrono::milliseconds timeout) const
{
    return process && WaitForSingleObject(process, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

bool CProcess::IsRunning() const
{
    return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

DWORD CProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (process)
        GetExitCodeProcess(process, &code);
    return code;
}

void CProcess::Kill()
{
    if (!process)
        return;
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
    process = nullptr;
}

UINT LauncherMessage()
{
    return RegisterWindowMessageW(L"OfficeKestrahl_Velquin_Message");
}

bool LauncherBlockExists()
{
    CKernelHandle block(OpenFileMappingW(FILE_MAP_READ, FALSE, kBlockName));
    return static_cast<bool>(block);
}

HWND WaitForLauncherWindow(std::chrono::milliseconds timeout)
{
    HWND window = nullptr;
    PollUntil(timeout, [&] {
        window = ReadBlockWindow();
        return window != nullptr;
    });
    return window;
}

bool WaitForBlockGone(std::chrono::milliseconds timeout)
{
    return PollUntil(timeout, [] { return !LauncherBlockExists(); });
}

void KillRunningLauncher()
{
    HWND window = ReadBlockWindow();
    DWORD id = 0;
    if (window && GetWindowThreadProcessId(window, &id) && id) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (process) {
            TerminateProcess(process, 99);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
    WaitForBlockGone(5s);
}

bool SendLauncher(HWND window, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutW(window, LauncherMessage(), wParam, lParam, SMTO_NORMAL, 10000, &reply))
        return false;
    result = static_cast<LRESULT>(reply);
    return true;
}

namespace {
struct BoxSearch {
    DWORD processId;
    const wchar_t* caption;
    std::vector<CFoundBox> boxes;
};

BOOL CALLBACK CollectMessageBox(HWND window, LPARAM lParam)
{
    auto& search = *reinterpret_cast<BoxSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    // The text of a window of this very process is asked of its thread, which may be busy
    // (in a drag, waiting for the other program): only the other process's windows are read.
    if (owner != search.processId)
        return TRUE;
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, 256);
    if (std::wstring(className) == L"#32770" && std::wstring(caption) == search.caption) {
        wchar_t text[1024] = {};
        // The message text of a message box is its static control 0xFFFF.
        GetDlgItemTextW(window, 0xFFFF, text, 1024);
        search.boxes.push_back({window, text});
    }
    return TRUE;
}
} // namespace

std::vector<CFoundBox> FindMessageBoxes(DWORD processId, const wchar_t* caption)
{
    BoxSearch search{processId, caption, {}};
    EnumWindows(CollectMessageBox, reinterpret_cast<LPARAM>(&search));
    return search.boxes;
}

CFoundBox WaitForMessageBox(DWORD processId, std::chrono::milliseconds timeout, const wchar_t* caption)
{
    CFoundBox found;
    PollUntil(timeout, [&] {
        auto boxes = FindMessageBoxes(processId, caption);
        if (boxes.empty())
            return false;
        found = boxes.front();
        return true;
    });
    return found;
}

void DismissMessageBox(HWND box)
{
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

CRegistrySnapshot SnapshotRegistry(const std::wstring& keyPath)
{
    CRegistrySnapshot result;
    CKeyHandle key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS)
        Snapshot(key.get(), L"", result);
    return result;
}

bool KeyExists(const std::wstring& keyPath)
{
    CKeyHandle key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

void DeleteKey(const std::wstring& keyPath)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, keyPath.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, keyPath.c_str());
}

bool ReadDword(const std::wstring& keyPath, const wchar_t* name, DWORD& value)
{
    DWORD size = sizeof(value);
    DWORD type = 0;
    return RegGetValueW(HKEY_CURRENT_USER, keyPath.c_str(), name, RRF_RT_ANY, &type, &value, &size) == ERROR_SUCCESS &&
           type == REG_DWORD;
}

void WriteDword(const std::wstring& keyPath, const wchar_t* name, DWORD value)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, keyPath.c_str(), name, REG_DWORD, &value, sizeof(value));
}

void WriteString(const std::wstring& keyPath, const wchar_t* name, const std::wstring& text)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, keyPath.c_str(), name, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void WriteBinary(const std::wstring& keyPath, const wchar_t* name, const std::vector<uint8_t>& bytes)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, keyPath.c_str(), name, REG_BINARY, bytes.data(),
                    static_cast<DWORD>(bytes.size()));
}

std::wstring ClipboardText()
{
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void EmptyClipboardOfEveryone()
{
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

namespace {
BOOL CALLBACK CollectMenuWindow(HWND window, LPARAM list)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) == L"#32768" && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}
} // namespace

std::vector<HWND> VisibleMenuWindows()
{
    std::vector<HWND> found;
    EnumWindows(CollectMenuWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CleanLauncherUserState()
{
    DeleteKey(kVendorKey);
    DeleteFolderTree(ProductDataFolder());
    RemoveDirectoryW(VendorDataFolder().c_str());
}
