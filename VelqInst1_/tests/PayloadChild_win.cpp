// Stands in for the installer in the bootstrap tests: started from the extraction folder,
// it leaves "started.txt" beside itself, waits while the named event in VELQ_CHILD_HOLD
// is not set (at most a minute), then leaves "finished.txt" and ends.

#include <windows.h>

#include <string>

namespace {

void Leave(const std::wstring& folder, const wchar_t* name, const std::wstring& text)
{
    HANDLE f = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD n;
        WriteFile(f, text.data(), DWORD(text.size() * sizeof(wchar_t)), &n, nullptr);
        CloseHandle(f);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.resize(folder.find_last_of(L'\\') + 1);

    Leave(folder, L"started.txt", std::wstring(self) + L"|" + commandLine);
    wchar_t eventName[200] = {};
    if (GetEnvironmentVariableW(L"VELQ_CHILD_HOLD", eventName, 200) > 0) {
        HANDLE hold = OpenEventW(SYNCHRONIZE, FALSE, eventName);
        if (hold != nullptr) {
            WaitForSingleObject(hold, 60000);
            CloseHandle(hold);
        }
    }
    Leave(folder, L"finished.txt", L"done");
    return 0;
}
