// The bootstrap as a program: packed at test time with the child program of
// PayloadChild_win.cpp, started, its message boxes found, read and dismissed.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Bootstrap.h"
#include "PayloadWriter.h"

namespace {

std::wstring OwnFolder()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.resize(folder.find_last_of(L'\\') + 1);
    return folder;
}

bool LoadFile(const std::wstring& path, std::vector<uint8_t>& bytes)
{
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER size;
    GetFileSizeEx(f, &size);
    bytes.resize(size_t(size.QuadPart));
    DWORD n = 0;
    BOOL ok = bytes.empty() || ReadFile(f, bytes.data(), DWORD(bytes.size()), &n, nullptr);
    CloseHandle(f);
    return ok && n == bytes.size();
}

bool SaveFile(const std::wstring& path, const std::vector<uint8_t>& bytes)
{
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD n = 0;
    BOOL ok = WriteFile(f, bytes.data(), DWORD(bytes.size()), &n, nullptr);
    CloseHandle(f);
    return ok && n == bytes.size();
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring TempFolder()
{
    wchar_t t[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, t);
    return t;
}

std::wstring ExtractionFolder()
{
    return TempFolder() + kBootstrapFolderName;
}

void EmptyExtractionFolder()
{
    std::wstring folder = ExtractionFolder();
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
}

struct CMessageBox {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    int buttons = 0;
};

struct CSearch {
    DWORD process;
    CMessageBox box;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    auto box = reinterpret_cast<CMessageBox*>(param);
    wchar_t className[64] = {};
    GetClassNameW(child, className, 64);
    wchar_t text[1024] = {};
    GetWindowTextW(child, text, 1024);
    if (lstrcmpiW(className, L"Button") == 0) {
        ++box->buttons;
    } else if (lstrcmpiW(className, L"Static") == 0 && text[0] != 0) {
        box->text = text;
    }
    return TRUE;
}

BOOL CALLBACK FindBox(HWND window, LPARAM param)
{
    auto search = reinterpret_cast<CSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window)) {
        return TRUE;
    }
    search->box.window = window;
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, 256);
    search->box.caption = caption;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&search->box));
    return FALSE;
}

class CBootstrapRun {
public:
    explicit CBootstrapRun(const std::wstring& exe)
    {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + exe + L"\"";
        started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &info) != FALSE;
        error = started ? 0 : GetLastError();
    }
    ~CBootstrapRun()
    {
        if (started) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(info.hProcess, 1);
            }
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }

    // The first visible top-level window of the process, within the time-out.
    CMessageBox WaitForMessageBox(DWORD timeoutMs)
    {
        for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
            CSearch search{info.dwProcessId, {}};
            EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
            if (search.box.window != nullptr && !search.box.text.empty()) {
                return search.box;
            }
            if (WaitForSingleObject(info.hProcess, 50) == WAIT_OBJECT_0) {
                break;
            }
        }
        return {};
    }

    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr)
    {
        if (WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0) {
            return false;
        }
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        if (exitCode) {
            *exitCode = code;
        }
        return true;
    }

    bool Running() { return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; }

    bool started = false;
    DWORD error = 0;
    PROCESS_INFORMATION info = {};
};

void Dismiss(const CMessageBox& box)
{
    HWND ok = GetDlgItem(box.window, IDOK);
    PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
}

bool WaitForFile(const std::wstring& path, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        if (Exists(path)) {
            return true;
        }
        Sleep(50);
    }
    return false;
}

class BootstrapWine : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadFile(OwnFolder() + L"VelqInst1a.exe", bootstrap));
        ASSERT_TRUE(LoadFile(OwnFolder() + L"payload_child.exe", child));
        work = TempFolder() + L"velq-bootstrap-test";
        CreateDirectoryW(work.c_str(), nullptr);
        CreateDirectoryW(ExtractionFolder().c_str(), nullptr);
        EmptyExtractionFolder();
        SetEnvironmentVariableW(L"VELQ_CHILD_HOLD", nullptr);
    }

    // Packs the bootstrap with the given tags; data[i] are the files' contents.
    std::wstring Pack(const std::wstring& name, const std::vector<CPackData>& data, const std::vector<CPackTag>& tags)
    {
        std::vector<uint8_t> container;
        std::string error;
        EXPECT_TRUE(BuildPayloadContainer(bootstrap, data, tags, 0, container, error)) << error;
        std::wstring path = work + L"\\" + name;
        EXPECT_TRUE(SaveFile(path, container));
        lastContainer = container;
        return path;
    }

    static CPackData Data(const std::vector<uint8_t>& bytes, uint64_t time = 0x01D9A0B0C0D0E0F0ull)
    {
        CPackData d;
        d.bytes = bytes;
        d.lastWriteTime = time;
        d.attributes = 0x2020;
        return d;
    }

    static std::vector<uint8_t> Filler(size_t size, uint8_t seed)
    {
        std::vector<uint8_t> v(size);
        for (size_t i = 0; i < size; ++i) {
            v[i] = uint8_t(i * 31 + seed + (i >> 8));
        }
        return v;
    }

    std::vector<uint8_t> bootstrap, child, lastContainer;
    std::wstring work;
};

const std::wstring kLauncher = L"Velquinランチャー.exe";

} // namespace

TEST_F(BootstrapWine, ExtractsTheX64SetStartsItsFirstFileAndWaitsForIt)
{
    std::vector<uint8_t> x64Data = Filler(150000, 1), x86Data = Filler(1000, 2);
    const uint64_t time = 0x01DA123456789ABCull;
    std::wstring exe =
        Pack(L"normal.exe", {Data(child, time), Data(x64Data, time + 10), Data(x86Data)},
             {{L"#x86", {{L"VelqInst2.exe", 0}, {kLauncher, 2}}}, {L"#x64", {{L"VelqInst2.exe", 0}, {kLauncher, 1}}}});
    HANDLE hold = CreateEventW(nullptr, TRUE, FALSE, L"VelqBootstrapTestHold");
    ASSERT_NE(hold, nullptr);
    SetEnvironmentVariableW(L"VELQ_CHILD_HOLD", L"VelqBootstrapTestHold");

    CBootstrapRun first(exe);
    ASSERT_TRUE(first.started) << "CreateProcessW error " << first.error;
    const std::wstring folder = ExtractionFolder() + L"\\";
    ASSERT_TRUE(WaitForFile(folder + L"started.txt", 30000));
    EXPECT_TRUE(first.Running()) << "the bootstrap waits for the installer";

    // The x64 set, with its times.
    std::vector<uint8_t> extracted;
    ASSERT_TRUE(LoadFile(folder + kLauncher, extracted));
    EXPECT_EQ(extracted, x64Data);
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    ASSERT_TRUE(GetFileAttributesExW((folder + kLauncher).c_str(), GetFileExInfoStandard, &attributes));
    EXPECT_EQ(uint64_t(attributes.ftLastWriteTime.dwHighDateTime) << 32 | attributes.ftLastWriteTime.dwLowDateTime,
              time + 10);
    std::vector<uint8_t> startedText;
    ASSERT_TRUE(LoadFile(folder + L"started.txt", startedText));
    std::wstring startedBy(reinterpret_cast<const wchar_t*>(startedText.data()), startedText.size() / 2);
    EXPECT_NE(startedBy.find(L"VelqInst2.exe|"), std::wstring::npos) << "started without arguments";

    // A second bootstrap ends at once, silently.
    CBootstrapRun second(exe);
    ASSERT_TRUE(second.started);
    CMessageBox box = second.WaitForMessageBox(3000);
    EXPECT_EQ(box.window, nullptr) << "unexpected message: caption " << box.caption.size();
    DWORD code = 1;
    EXPECT_TRUE(second.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(first.Running());
    EXPECT_FALSE(Exists(folder + L"finished.txt"));

    SetEvent(hold);
    EXPECT_TRUE(first.WaitForExit(30000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(Exists(folder + L"finished.txt"));
    CloseHandle(hold);
}

TEST_F(BootstrapWine, FailuresShowTheirMessageAndStartNothing)
{
    const std::wstring folder = ExtractionFolder() + L"\\";
    struct Case {
        const char* what;
        std::wstring exe;
        std::wstring message;
        std::vector<std::wstring> extracted; // files left in the extraction folder
    };
    std::vector<Case> cases;

    cases.push_back({"only #x86 on 64-bit Windows",
                     Pack(L"only-x86.exe", {Data(child)}, {{L"#x86", {{L"VelqInst2.exe", 0}}}}),
                     L"このインストーラーではこのコンピューターにインストールできません。\r\n64bit版のインストーラーを"
                     L"ご利用ください。",
                     {}});

    {
        std::vector<uint8_t> data = Filler(200000, 3);
        std::vector<CPackData> files = {Data(child), Data(data)};
        std::vector<CPackTag> tags = {{L"#x64", {{L"VelqInst2.exe", 0}, {kLauncher, 1}}}};
        std::vector<uint8_t> container;
        std::string error;
        ASSERT_TRUE(BuildPayloadContainer(bootstrap, files, tags, 0, container, error));
        container[bootstrap.size() + child.size() + 100000] ^= 0x55;
        std::wstring exe = work + L"\\corrupt-second.exe";
        ASSERT_TRUE(SaveFile(exe, container));
        cases.push_back(
            {"second file corrupted", exe, L"インストーラーが壊れています。", {L"VelqInst2.exe", kLauncher}});
    }

    {
        std::wstring exe = work + L"\\no-payload.exe";
        ASSERT_TRUE(SaveFile(exe, bootstrap));
        cases.push_back({"no payload", exe, L"インストーラーが壊れています。", {}});
    }

    cases.push_back({"tag without files",
                     Pack(L"empty-tag.exe", {Data(child)}, {{L"#x64", {}}, {L"#x86", {{L"VelqInst2.exe", 0}}}}),
                     L"このインストーラーではこのコンピューターにインストールできません。\r\n64bit版のインストーラーを"
                     L"ご利用ください。",
                     {}});

    cases.push_back(
        {"old file still in use",
         Pack(L"busy.exe", {Data(child), Data(Filler(10, 4))}, {{L"#x64", {{L"VelqInst2.exe", 0}, {kLauncher, 1}}}}),
         L"テンポラリフォルダに書き込めません。",
         {L"VelqInst2.exe", kLauncher}});

    for (Case& k : cases) {
        EmptyExtractionFolder();
        HANDLE busy = INVALID_HANDLE_VALUE;
        if (std::string(k.what) == "old file still in use") {
            busy = CreateFileW((folder + kLauncher).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            ASSERT_NE(busy, INVALID_HANDLE_VALUE);
        }
        CBootstrapRun run(k.exe);
        ASSERT_TRUE(run.started) << k.what;
        CMessageBox box = run.WaitForMessageBox(30000);
        ASSERT_NE(box.window, nullptr) << k.what;
        EXPECT_EQ(box.caption, L"Velquinランチャーインストーラー") << k.what;
        EXPECT_EQ(box.text, k.message) << k.what;
        EXPECT_EQ(box.buttons, 1) << k.what;
        Dismiss(box);
        DWORD code = 1;
        EXPECT_TRUE(run.WaitForExit(10000, &code)) << k.what;
        EXPECT_EQ(code, 0u) << k.what;
        if (busy != INVALID_HANDLE_VALUE) {
            CloseHandle(busy);
        }
        EXPECT_FALSE(Exists(folder + L"started.txt")) << k.what;
        for (const std::wstring& name : {std::wstring(L"VelqInst2.exe"), kLauncher}) {
            bool expected = false;
            for (const std::wstring& e : k.extracted) {
                expected = expected || e == name;
            }
            EXPECT_EQ(Exists(folder + name), expected) << k.what;
        }
    }
}
