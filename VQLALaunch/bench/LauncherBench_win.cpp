// Start-up time and idle memory of the resident launcher with both menus at their largest
// storable size, against a bare resident program (hidden window, notification icon,
// instance block). Each start is timed from CreateProcessW until its instance block can be
// opened; after a second of idle the process's private bytes are read, then it is closed
// the way its users close it. The launcher also runs with empty menus, to separate what the
// menus cost; runs rotate between the three; medians are shown.
// Usage: launcher_bench [-v] [repetitions]   (exit code 0 when every run completed; -v shows each run)

#include <windows.h>
// These need the types that windows.h declares.
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "../../bench/LargestTree.h"
#include "BenchFigures.h"
#include "BenchNames.h"
#include "FolderTree_win.h"
#include "Ids.h"
#include "InstanceBlock_win.h"
#include "LauncherProbe_win.h"
#include "Platform_win.h"
#include "ProcessMemory_win.h"
#include "RegistryStore_win.h"
#include "SettingsStore.h"
#include "WinHandles.h"

namespace {
const wchar_t kLauncherFile[] = L"Velquinランチャー.exe";
const wchar_t kVendorKey[] = L"Software\\OfficeKestrahl";
constexpr DWORD kIdleMs = 1000;
constexpr auto kStartTimeout = std::chrono::seconds(60);
constexpr DWORD kExitTimeoutMs = 10000;
constexpr int kDefaultRepetitions = 10;
bool verbose = false;
bool privateBytesByRegions = false;

struct CRunResult {
    double startupMs = 0;
    double privateBytes = 0;
    double workingSet = 0;
    bool killed = false; // did not end when asked
};

struct CProgram {
    const char* label;
    std::wstring exe;
    std::wstring arguments;
    const wchar_t* blockName;
    UINT closeMessage;
    WPARAM closeWParam;
};

// The two menus as the launcher finds them in the store: the largest tree as both.
struct CMenuArchives {
    std::vector<uint8_t> left, right;
    int nodes = 0;
};

std::optional<CMenuArchives> BuildArchives()
{
    CMenuArchives archives;
    CXRoot left(kLeftMenuName), right(kRightMenuName);
    archives.nodes = largest_tree::BuildLargestTree(left);
    largest_tree::BuildLargestTree(right);
    auto leftBytes = WriteTreeArchive(left);
    auto rightBytes = WriteTreeArchive(right);
    if (!leftBytes || !rightBytes)
        return std::nullopt;
    archives.left = std::move(*leftBytes);
    archives.right = std::move(*rightBytes);
    return archives;
}

// Each launcher run starts from the same store: nothing but the two archives.
bool StoreArchives(CSettingsStore& store, const CMenuArchives& archives)
{
    DeleteKey(kVendorKey);
    store.SetBlob(kSectionSettings, std::wstring(kLeftMenuName) + L"_v3", archives.left);
    store.SetBlob(kSectionSettings, std::wstring(kRightMenuName) + L"_v3", archives.right);
    return store.GetBlob(kSectionSettings, std::wstring(kLeftMenuName) + L"_v3") == archives.left &&
           store.GetBlob(kSectionSettings, std::wstring(kRightMenuName) + L"_v3") == archives.right;
}

// What the launcher itself does with the archives before it can publish: both menus read
// from the registry and parsed (without the icons and hotkeys it then adds).
bool ReadBackArchives(CSettingsStore& store, CMenuArchives& archives)
{
    auto left = store.GetBlob(kSectionSettings, std::wstring(kLeftMenuName) + L"_v3");
    auto right = store.GetBlob(kSectionSettings, std::wstring(kRightMenuName) + L"_v3");
    if (!left || !right)
        return false;
    archives.left = std::move(*left);
    archives.right = std::move(*right);
    return true;
}

double ArchiveLoadMs()
{
    CXRoot left(kLeftMenuName), right(kRightMenuName);
    const auto start = Clock::now();
    const bool loaded = left.Load() && right.Load();
    const double ms = Milliseconds(Clock::now() - start);
    return loaded && !left.children.empty() && !right.children.empty() ? ms : -1;
}

// What keeps a program from ending (a message box, most likely), for the report.
BOOL CALLBACK PrintWindowOf(HWND window, LPARAM processId)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != static_cast<DWORD>(processId) || !IsWindowVisible(window))
        return TRUE;
    wchar_t className[64] = {}, text[512] = {};
    GetClassNameW(window, className, 64);
    GetDlgItemTextW(window, 0xFFFF, text, 512);
    std::fprintf(stderr, "  visible window of class %ls: %ls\n", className, text);
    return TRUE;
}

std::optional<CRunResult> RunOnce(const CProgram& program)
{
    if (InstanceBlockExists(program.blockName)) {
        std::fprintf(stderr, "%s: its block already exists: another instance runs\n", program.label);
        return std::nullopt;
    }
    const auto start = Clock::now();
    CProcess child = CProcess::Start(program.exe, program.arguments);
    if (!child.Started()) {
        std::fprintf(stderr, "%s: CreateProcessW failed (%lu)\n", program.label, GetLastError());
        return std::nullopt;
    }
    CKernelHandle block;
    while (!(block = CKernelHandle(OpenFileMappingW(FILE_MAP_READ, FALSE, program.blockName)))) {
        if (!child.IsRunning() || Clock::now() - start > kStartTimeout) {
            std::fprintf(stderr, "%s: no instance block\n", program.label);
            return std::nullopt;
        }
        Sleep(1);
    }
    CRunResult result;
    result.startupMs = Milliseconds(Clock::now() - start);
    if (verbose)
        std::printf("%s: start-up %.1f ms\n", program.label, result.startupMs);

    HWND window = nullptr;
    {
        CMappedViewHandle view(MapViewOfFile(block.get(), FILE_MAP_READ, 0, 0, kInstanceBlockSize));
        if (view)
            window = WindowFromBlockBytes(view.get());
    }
    // Ours must not keep the block alive after the program ends.
    block.reset();

    Sleep(kIdleMs);
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    const bool measured =
        GetProcessMemoryInfo(child.Handle(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters)) &&
        child.IsRunning();
    result.privateBytes = static_cast<double>(counters.PrivateUsage);
    if (result.privateBytes == 0) {
        privateBytesByRegions = true;
        result.privateBytes = CommittedPrivateBytes(child.Handle());
    }
    if (verbose)
        std::printf("%s: private %.0f KiB, working set %.0f KiB\n", program.label, result.privateBytes / 1024,
                    static_cast<double>(counters.WorkingSetSize) / 1024);
    result.workingSet = static_cast<double>(counters.WorkingSetSize);

    PostMessageW(window, program.closeMessage, program.closeWParam, 0);
    if (!child.WaitForExit(std::chrono::milliseconds(kExitTimeoutMs))) {
        // Its figures stand; the hang is counted and reported.
        std::fprintf(stderr, "%s: did not end within %lu ms of being asked (window %s); killed\n", program.label,
                     kExitTimeoutMs, IsWindow(window) ? "still there" : "gone");
        EnumWindows(PrintWindowOf, static_cast<LPARAM>(GetProcessId(child.Handle())));
        result.killed = true;
    }
    if (!measured) {
        std::fprintf(stderr, "%s: memory not readable (%lu)\n", program.label, GetLastError());
        return std::nullopt;
    }
    return result;
}

struct CSeries {
    std::vector<double> startup, privateBytes, workingSet;
    int killed = 0;
    void Add(const CRunResult& r)
    {
        killed += r.killed ? 1 : 0;
        startup.push_back(r.startupMs);
        privateBytes.push_back(r.privateBytes);
        workingSet.push_back(r.workingSet);
    }
};

void PrintRow(const char* label, const CSeries& s)
{
    const auto [minStart, maxStart] = std::minmax_element(s.startup.begin(), s.startup.end());
    std::printf("%-22s %4zu %10.1f %8.1f %8.1f %12.0f %12.0f\n", label, s.startup.size(), Median(s.startup), *minStart,
                *maxStart, Median(s.privateBytes) / 1024, Median(s.workingSet) / 1024);
}

int Run(int repetitions)
{
    const std::wstring folder = FolderOfThisProgram();
    const UINT launcherMessage = LauncherMessage();
    const CProgram launcher{"launcher",    folder + L"\\" + kLauncherFile, L"", kLauncherBlockName, launcherMessage,
                            ID_FORCE_CLOSE};
    const CProgram bare{"bare", folder + L"\\" + kBareFile, L"", kBareBlockName, WM_CLOSE, 0};
    const CProgram bareWithIcon{"bare", folder + L"\\" + kBareFile, kBareShellIconSwitch, kBareBlockName, WM_CLOSE, 0};
    if (InstanceBlockExists(kLauncherBlockName)) {
        std::fprintf(stderr, "a launcher is already running: end it first\n");
        return 1;
    }

    CWin32Platform platform;
    CRegistryStore store(XIntReading::Lenient);
    InstallPlatform(&platform, &store);

    std::optional<CMenuArchives> archives = BuildArchives();
    if (!archives || !StoreArchives(store, *archives)) {
        std::fprintf(stderr, "the menu archives could not be written\n");
        DeleteKey(kVendorKey);
        return 1;
    }
    std::printf("menus: %d nodes each; archives %zu and %zu bytes (limit %zu)\n", archives->nodes,
                archives->left.size(), archives->right.size(), kMaxArchiveSize);

    std::vector<double> loads;
    for (int i = 0; i < repetitions; ++i)
        loads.push_back(ArchiveLoadMs());
    const double archiveLoad = Median(loads);

    const bool hadDataFolder = FolderExists(VendorDataFolder());
    // The launcher with empty menus too, to tell what the menus cost from what the launcher
    // costs without them.
    // The bare program once more, asking the shell for one file icon as the launcher does
    // for its own: what the shell's icon lists cost every program that shows a file's icon.
    enum { kBare, kBareShellIcon, kLauncher, kEmptyLauncher, kKinds };
    const CProgram* programs[kKinds] = {&bare, &bareWithIcon, &launcher, &launcher};
    const char* labels[kKinds] = {"bare resident", "bare + one shell icon", "launcher (max menus)",
                                  "launcher (no menus)"};
    CSeries series[kKinds];
    bool complete = archiveLoad >= 0;
    // One unmeasured round first: the first start in a session pays for the system's own
    // first-time work (fonts, shell, registry hive). The order rotates from round to round,
    // so that no program always follows the same one.
    for (int round = -1; round < repetitions && complete; ++round) {
        for (int step = 0; step < kKinds && complete; ++step) {
            const int kind = (step + round + kKinds) % kKinds;
            if (kind == kLauncher)
                complete = StoreArchives(store, *archives);
            else if (kind == kEmptyLauncher)
                DeleteKey(kVendorKey);
            if (verbose)
                std::printf("[%s]\n", labels[kind]);
            const std::optional<CRunResult> result = complete ? RunOnce(*programs[kind]) : std::nullopt;
            complete = result.has_value();
            // From then on the menus are stored as a launcher leaves them, with the ids it
            // registered: the state every later start of the launcher finds.
            if (complete && round < 0 && kind == kLauncher)
                complete = ReadBackArchives(store, *archives);
            if (complete && round >= 0)
                series[kind].Add(*result);
        }
    }

    DeleteKey(kVendorKey);
    if (!hadDataFolder)
        DeleteFolderTree(VendorDataFolder());
    InstallPlatform(nullptr, nullptr);
    if (!complete) {
        std::fprintf(stderr, "launcher benchmark incomplete\n");
        return 1;
    }

    std::printf("\n%-22s %4s %10s %8s %8s %12s %12s\n", "program", "runs", "start ms", "min", "max", "private KiB",
                "working KiB");
    for (int kind = 0; kind < kKinds; ++kind)
        PrintRow(labels[kind], series[kind]);
    for (int kind = 0; kind < kKinds; ++kind) {
        if (series[kind].killed)
            std::printf("%s: %d of %d runs did not end when asked and were killed\n", labels[kind], series[kind].killed,
                        repetitions);
    }
    if (privateBytesByRegions)
        std::printf("(private KiB: committed private regions, as the system does not report PrivateUsage)\n");
    std::printf("archive load (both menus, registry + parse): %.1f ms median of %d\n\n", archiveLoad, repetitions);

    const CSeries& bareRuns = series[kBare];
    const CSeries& launcherRuns = series[kLauncher];
    const double bareStart = Median(bareRuns.startup);
    const double launcherStart = Median(launcherRuns.startup);
    const double startRatio = launcherStart / (bareStart + archiveLoad);
    const double memoryRatio = Median(launcherRuns.privateBytes) / Median(bareRuns.privateBytes);
    std::printf("start-up / bare:                  %.2fx\n", launcherStart / bareStart);
    std::printf("start-up / (bare + archive load): %.2fx  (goal <= 1.5x: %s)\n", startRatio,
                startRatio <= 1.5 ? "met" : "missed");
    std::printf("private bytes / bare:             %.2fx  (goal <= 1.5x: %s)\n", memoryRatio,
                memoryRatio <= 1.5 ? "met" : "missed");
    std::printf("working set / bare:               %.2fx\n",
                Median(launcherRuns.workingSet) / Median(bareRuns.workingSet));
    // Where the private bytes go: the shell's icon lists, then the two menus in memory.
    const double shellIconBytes = Median(series[kBareShellIcon].privateBytes);
    const double emptyLauncherBytes = Median(series[kEmptyLauncher].privateBytes);
    std::printf("private bytes, launcher (no menus) / (bare + one shell icon): %.2fx\n",
                emptyLauncherBytes / shellIconBytes);
    std::printf("private KiB of the shell's icon lists: %.0f; of both menus at their largest: %.0f\n",
                (shellIconBytes - Median(bareRuns.privateBytes)) / 1024,
                (Median(launcherRuns.privateBytes) - emptyLauncherBytes) / 1024);
    return 0;
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    const CBenchArguments arguments = ReadBenchArguments(argc, argv, kDefaultRepetitions);
    const int repetitions = arguments.repetitions;
    verbose = arguments.verbose;
    const int code = Run(repetitions);
    std::fflush(stdout);
    return code;
}
