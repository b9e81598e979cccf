// A drop of 1,000 files from another program (this one, as a file manager offering CF_HDROP
// through OLE) into the settings tool's list of an empty menu: the time from DoDragDrop until
// it returns, by when the tool has read the data, titled every file by its display name,
// inserted the rows, looked up their icons and stored the menu; against what that costs at
// the least, measured in this process in the same run: the shell's display name of every
// file asked in a loop, plus one save of the resulting archive. The pointer is put on the list
// with SetCursorPos and the drop source releases as soon as the tool has accepted the data, so
// no real pointer is involved. The launcher is a stand-in window of this process in the
// launcher's block (StandInLauncher_win.h). Every round starts the tool anew on an empty menu.
// Usage: settings_drop_bench [-v] [repetitions]   (exit code 0 when every run completed)

#include <windows.h>
// Needs the types that windows.h declares.
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "../../VQLALaunch/bench/BenchFigures.h"
#include "DragSource_win.h"
#include "FolderTree_win.h"
#include "ImageListMan_win.h"
#include "InstanceBlock_win.h"
#include "LauncherProbe_win.h"
#include "MenuStore.h"
#include "Platform_win.h"
#include "RegistryStore_win.h"
#include "Resource.h"
#include "Settings.h"
#include "SettingsProbe_win.h"
#include "SettingsStore.h"
#include "StandInLauncher_win.h"
#include "WinHandles.h"

namespace {
constexpr int kFiles = 1000;
constexpr int kDefaultRepetitions = 5;
constexpr double kGoal = 1.5;
constexpr auto kStartTimeout = std::chrono::seconds(60);
// The longest a drop may take before the source gives up.
constexpr auto kDropTimeout = std::chrono::seconds(120);
constexpr DWORD kExitTimeoutMs = 20000;
constexpr UINT kQueryTimeoutMs = 10000;
bool verbose = false;

std::wstring LeftMenuValue()
{
    return std::wstring(kLeftMenuName) + L"_v3";
}

// Files as a user selects them in a file manager: one folder, numbered names, a few bytes each.
std::optional<std::vector<std::wstring>> MakeFiles(const CTestFolder& folder)
{
    std::vector<std::wstring> files;
    for (int i = 1; i <= kFiles; ++i) {
        wchar_t name[64];
        swprintf(name, 64, L"資料 %04d.txt", i);
        const std::wstring path = folder.File(name);
        CFileHandle file(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !WriteFile(file.get(), "text", 4, &written, nullptr))
            return std::nullopt;
        files.push_back(path);
    }
    return files;
}

// ---- what the drop costs at the least, in this process ----

struct CBaseline {
    double displayNamesMs = -1;
    double saveMs = -1;
};

CBaseline MeasureBaseline(CWin32Platform& platform, const std::vector<std::wstring>& files)
{
    CBaseline baseline;
    CXRoot left(kLeftMenuName, 1);
    std::vector<std::wstring> titles(files.size());
    auto start = Clock::now();
    for (size_t i = 0; i < files.size(); ++i) {
        if (!platform.GetShellDisplayName(files[i], titles[i]))
            return baseline;
    }
    baseline.displayNamesMs = Milliseconds(Clock::now() - start);
    for (size_t i = 0; i < files.size(); ++i) {
        auto* item = new CXItem;
        item->path = files[i];
        item->title = titles[i];
        left.InsertChild(left.children.size(), item);
    }
    start = Clock::now();
    const bool saved = left.Save();
    baseline.saveMs = saved ? Milliseconds(Clock::now() - start) : -1;
    return baseline;
}

// What looking up an icon for every file would add; the tool looks them up as rows are drawn.
double IconLookUpMs(const std::vector<std::wstring>& files)
{
    CImageListMan images;
    if (!images.Create(GetModuleHandleW(nullptr)))
        return -1;
    const auto start = Clock::now();
    for (const std::wstring& file : files)
        images.GetIconIndex(false, file);
    return Milliseconds(Clock::now() - start);
}

// ---- the drop ----

// Drops as soon as the target has shown that it takes the data (the feedback after its
// DragEnter names an effect); cancels when that does not happen in time.
class CAcceptedDropSource : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (riid == IID_IUnknown || riid == IID_IDropSource) {
            *object = static_cast<IDropSource*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override
    {
        if (escape || Clock::now() - start > kDropTimeout)
            return DRAGDROP_S_CANCEL;
        return accepted ? DRAGDROP_S_DROP : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override
    {
        if (effect != DROPEFFECT_NONE && !accepted) {
            accepted = true;
            acceptedAt = Clock::now();
        }
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }

    Clock::time_point start = Clock::now();
    bool accepted = false;
    Clock::time_point acceptedAt;
};

struct CDrop {
    double acceptedMs = 0; // the tool has read the data and answered its DragEnter
    double doneMs = 0;     // DoDragDrop has returned: rows inserted, menu stored
};

bool QueryCount(HWND window, UINT message, int& count)
{
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutW(window, message, 0, 0, SMTO_NORMAL, kQueryTimeoutMs, &reply))
        return false;
    count = static_cast<int>(reply);
    return true;
}

// The number of top-level entries of the stored left menu; -1 when it cannot be read.
int StoredEntries()
{
    std::vector<uint8_t> bytes;
    CXRoot root(kLeftMenuName, 1);
    if (!ReadBinary(kSettingsKey, LeftMenuValue().c_str(), bytes) || !ReadTreeArchive(root, bytes))
        return -1;
    return static_cast<int>(root.children.size());
}

std::optional<CDrop> DropOnce(const std::wstring& toolExe, const std::vector<uint8_t>& fileList)
{
    CProcess tool = CProcess::Start(toolExe, L"");
    HWND dialog = nullptr;
    const bool shown = PollFor(kStartTimeout, [&] {
        dialog = ReadInstanceWindow(kSettingsToolBlockName);
        return dialog && IsWindowVisible(dialog) && RoundTrip(dialog);
    });
    HWND list = shown ? GetDlgItem(dialog, IDC_LEFT_LIST) : nullptr;
    if (!list || !IsWindowVisible(list)) {
        std::fprintf(stderr, "the settings tool showed no list\n");
        return std::nullopt;
    }
    RECT client = {};
    GetClientRect(list, &client);
    POINT point = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    ClientToScreen(list, &point);
    SetForegroundWindow(dialog);
    SetCursorPos(point.x, point.y);
    if (WindowFromPoint(point) != list) {
        std::fprintf(stderr, "the pointer is not over the tool's list\n");
        return std::nullopt;
    }

    CTestDataObject data;
    data.Offer(CF_HDROP, fileList);
    CAcceptedDropSource source;
    DWORD effect = DROPEFFECT_NONE;
    const auto start = Clock::now();
    source.start = start;
    const HRESULT result = DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect);
    const auto done = Clock::now();

    // Checked once the clock has stopped: every file a row and a stored entry.
    int rows = -1;
    QueryCount(list, LVM_GETITEMCOUNT, rows);
    const int stored = StoredEntries();
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    if (!tool.WaitForExit(std::chrono::milliseconds(kExitTimeoutMs))) {
        std::fprintf(stderr, "the settings tool did not end; killed\n");
        tool.Kill();
        return std::nullopt;
    }
    if (result != DRAGDROP_S_DROP || rows != kFiles || stored != kFiles) {
        std::fprintf(stderr, "drop: result 0x%08lx, effect %lu, %d rows, %d stored entries (of %d files)\n",
                     static_cast<unsigned long>(result), effect, rows, stored, kFiles);
        return std::nullopt;
    }
    CDrop drop;
    drop.acceptedMs = Milliseconds(source.acceptedAt - start);
    drop.doneMs = Milliseconds(done - start);
    if (verbose)
        std::printf("drop: accepted %.1f ms, done %.1f ms\n", drop.acceptedMs, drop.doneMs);
    return drop;
}

// Every round finds the same store: nothing but the tool's defaults.
bool ResetStore(CSettingsStore& store)
{
    DeleteKey(kVendorKey);
    store.SetInt(kSectionSettings, SettingName(XSetting::Separate, false), 0);
    return StoredEntries() == -1;
}

void PrintRow(const char* label, const std::vector<double>& values)
{
    if (values.empty())
        return;
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    std::printf("%-34s %4zu %10.1f %8.1f %8.1f\n", label, values.size(), Median(values), *low, *high);
}

int Run(int repetitions)
{
    if (InstanceBlockExists(kLauncherBlockName) || InstanceBlockExists(kSettingsToolBlockName)) {
        std::fprintf(stderr, "a launcher or a settings tool is already running: end it first\n");
        return 1;
    }
    CWin32Platform platform;
    CRegistryStore store(XIntReading::Lenient);
    InstallPlatform(&platform, &store);
    const bool hadDataFolder = FolderExists(VendorDataFolder());
    CTestFolder work;
    const std::optional<std::vector<std::wstring>> files = MakeFiles(work);
    CStandInLauncher launcher;
    if (!files || !launcher.Start()) {
        std::fprintf(stderr, "the files or the stand-in launcher could not be made\n");
        InstallPlatform(nullptr, nullptr);
        return 1;
    }
    const std::vector<uint8_t> fileList = FileList(*files);
    const std::wstring toolExe = FolderOfThisProgram() + L"\\" + kSettingsToolFile;

    std::vector<double> accepted, done, displayNames, saves;
    bool complete = true;
    // One unmeasured round first: the first drop of a session pays for OLE's and the shell's
    // first-time work in both processes.
    for (int round = -1; round < repetitions && complete; ++round) {
        complete = ResetStore(store);
        const CBaseline baseline = complete ? MeasureBaseline(platform, *files) : CBaseline{};
        complete = complete && baseline.displayNamesMs >= 0 && baseline.saveMs >= 0 && ResetStore(store);
        const std::optional<CDrop> drop = complete ? DropOnce(toolExe, fileList) : std::nullopt;
        complete = drop.has_value();
        if (complete && round >= 0) {
            displayNames.push_back(baseline.displayNamesMs);
            saves.push_back(baseline.saveMs);
            accepted.push_back(drop->acceptedMs);
            done.push_back(drop->doneMs);
        }
    }
    const double icons = complete ? IconLookUpMs(*files) : -1;

    launcher.Stop();
    DeleteKey(kVendorKey);
    if (!hadDataFolder)
        DeleteFolderTree(VendorDataFolder());
    InstallPlatform(nullptr, nullptr);
    if (!complete) {
        std::fprintf(stderr, "drop benchmark incomplete\n");
        return 1;
    }

    std::printf("%d files dropped into the list of an empty menu\n\n", kFiles);
    std::printf("%-34s %4s %10s %8s %8s\n", "", "runs", "ms", "min", "max");
    PrintRow("drop: data read and accepted", accepted);
    PrintRow("drop: rows shown and menu stored", done);
    PrintRow("in this process: display names", displayNames);
    PrintRow("in this process: save of the menu", saves);
    std::printf("in this process, once: icon look-ups of all the files %.1f ms (the tool asks only for the rows it\n"
                "                draws)\n\n",
                icons);
    const double baseline = Median(displayNames) + Median(saves);
    const double ratio = Median(done) / baseline;
    std::printf("drop / (display names + save):    %.2fx  (goal <= %.1fx: %s)\n", ratio, kGoal,
                ratio <= kGoal ? "met" : "missed");
    return 0;
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    const CBenchArguments arguments = ReadBenchArguments(argc, argv, kDefaultRepetitions);
    verbose = arguments.verbose;
    // DoDragDrop needs OLE; the platform's shell calls run in the same apartment, as in the tool.
    const bool ole = SUCCEEDED(OleInitialize(nullptr));
    const int code = ole ? Run(arguments.repetitions) : 1;
    if (ole)
        OleUninitialize();
    std::fflush(stdout);
    return code;
}
