// VelqInst1a: the bootstrap installer on Windows. The run itself is in Bootstrap.cpp.

#include <windows.h>

#include <shellapi.h>

#include "Bootstrap.h"
#include "PayloadFile_win.h"

namespace {

constexpr DWORD kPathChars = 260;

class CWinBootstrapSystem : public CBootstrapSystem {
public:
    bool IsWindows7OrLater() override
    {
        OSVERSIONINFOEXW version = {};
        version.dwOSVersionInfoSize = sizeof version;
        version.dwMajorVersion = 6;
        version.dwMinorVersion = 1;
        version.wServicePackMajor = 0;
        DWORDLONG condition = 0;
        condition = VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
        condition = VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
        condition = VerSetConditionMask(condition, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
        return VerifyVersionInfoW(&version, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, condition) !=
               FALSE;
    }

    bool AcquireSingleRunMutex(const std::wstring& name) override
    {
        // Never closed: the mutex is held until the process ends.
        HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
        return mutex != nullptr && WaitForSingleObject(mutex, 0) == WAIT_OBJECT_0;
    }

    bool Is64BitWindows() override
    {
#ifdef _WIN64
        // Only the test build is 64-bit, and a 64-bit process runs on 64-bit Windows only.
        return true;
#else
        using TIsWow64Process = BOOL(WINAPI*)(HANDLE, PBOOL);
        HMODULE kernel = GetModuleHandleW(L"kernel32");
        auto isWow64Process =
            kernel
                ? reinterpret_cast<TIsWow64Process>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
                : nullptr;
        BOOL wow64 = FALSE;
        if (isWow64Process == nullptr || !isWow64Process(GetCurrentProcess(), &wow64)) {
            return false;
        }
        return wow64 != FALSE;
#endif
    }

    std::unique_ptr<CPayloadSource> OpenOwnFile() override
    {
        wchar_t path[kPathChars + 1] = {};
        DWORD n = GetModuleFileNameW(nullptr, path, kPathChars);
        if (n == 0 || n >= kPathChars) {
            return nullptr;
        }
        HANDLE file =
            CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        return std::make_unique<CWinPayloadSource>(file);
    }

    std::wstring TemporaryFolder() override
    {
        wchar_t path[kPathChars + 1] = {};
        DWORD n = GetTempPathW(kPathChars, path);
        return n > 0 && n < kPathChars ? std::wstring(path, n) : std::wstring();
    }

    void CreateFolder(const std::wstring& path) override
    {
        CreateDirectoryW(path.c_str(), nullptr);
    }

    CPayloadFolder& Files() override
    {
        return files;
    }

    bool StartAndWait(const std::wstring& path) override
    {
        SHELLEXECUTEINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC; // 0x140
        info.hwnd = nullptr;
        info.lpVerb = nullptr;
        info.lpFile = path.c_str();
        info.lpParameters = nullptr;
        info.lpDirectory = nullptr;
        info.nShow = SW_SHOW;
        if (!ShellExecuteExW(&info)) {
            return false;
        }
        if (info.hProcess != nullptr) {
            WaitForSingleObject(info.hProcess, INFINITE);
            CloseHandle(info.hProcess);
        }
        return true;
    }

    void ShowMessage(const std::wstring& text) override
    {
        MessageBoxW(nullptr, text.c_str(), kBootstrapCaption, MB_OK);
    }

private:
    CWinPayloadFolder files;
};

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    CWinBootstrapSystem system;
    RunBootstrap(system);
    return 0;
}
