// Time from a menu request to a visible popup menu: the launcher with a menu of 2,000 entries
// whose paths are real files (each has a shell icon), nested in submenus, in each drawing
// mode, against a bare program that shows the same entries as plain text with
// TrackPopupMenu. A show is timed from posting WM_COMMAND 32832 to the owner's main window
// until a visible "#32768" window of that process exists; the menu is then closed with
// Escape. From one launcher start, the first show right after start (the icons still being
// looked up at idle time: the menu shows at once and gets them while it is open); from another
// start, left at rest until its start-up icon work was done, the first show with the icons known
// and five later shows, taken in turns with those of a bare program. The bare program alone:
// its first show right after start and five later. Medians over the repetitions.
// Usage: menu_bench [-v] [repetitions]   (exit code 0 when every run completed; -v shows each run)

#include <windows.h>
// Needs the types that windows.h declares.
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "BenchFigures.h"
#include "FolderTree_win.h"
#include "Ids.h"
#include "InstanceBlock_win.h"
#include "LauncherProbe_win.h"
#include "MenuStore.h"
#include "Platform_win.h"
#include "RegistryStore_win.h"
#include "SettingsStore.h"
#include "WinHandles.h"
#include "XNode.h"

namespace {
const wchar_t kLauncherFile[] = L"Velquinランチャー.exe";
const wchar_t kBareFile[] = L"menu_bench_bare.exe";
const wchar_t kBareClassName[] = L"VelquinMenuBenchBare";
const wchar_t kVendorKey[] = L"Software\\OfficeKestrahl";
constexpr auto kStartTimeout = std::chrono::seconds(60);
constexpr auto kShowTimeout = std::chrono::seconds(60);
constexpr DWORD kExitTimeoutMs = 10000;
constexpr int kDefaultRepetitions = 5;
// Shows after the first in each start: cheap, and their median steadies the figure.
constexpr int kLaterShows = 5;

// The menu: 20 entries at the top, then 20 submenus of 39 entries, a separator and two
// nested submenus of 30 entries each: 2,000 entries in 60 submenus.
constexpr int kTopItems = 20;
constexpr int kGroups = 20;
constexpr int kGroupItems = 39;
constexpr int kNestedPerGroup = 2;
constexpr int kNestedItems = 30;
// Every tenth entry opens a data file, the others a program or library of the system folder.
constexpr int kDataFileEvery = 10;
const wchar_t* const kDataKinds[] = {L"txt", L"ini", L"bmp", L"html", L"xml", L"log", L"csv", L"bat"};
constexpr int kDataFilesPerKind = 4;

bool verbose = false;

bool WriteFileBytes(const std::wstring& path, const void* data, size_t size)
{
    CFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

// ---- the menu ----

struct CMenuFiles {
    std::vector<std::wstring> system; // programs and libraries of the system folder
    std::vector<std::wstring> data;   // data files of several kinds in the bench's folder
};

void AddSystemFiles(const std::wstring& folder, const wchar_t* pattern, std::vector<std::wstring>& out)
{
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + L"\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            out.push_back(folder + L"\\" + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::optional<CMenuFiles> MakeMenuFiles(const std::wstring& dataFolder)
{
    CMenuFiles files;
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    // Programs first; then whatever else the system keeps, so that few paths repeat.
    AddSystemFiles(system, L"*.exe", files.system);
    AddSystemFiles(windows, L"*.exe", files.system);
    AddSystemFiles(system, L"*.cpl", files.system);
    AddSystemFiles(system, L"*.dll", files.system);
    for (const std::wstring& other : {std::wstring(windows) + L"\\syswow64", std::wstring(system) + L"\\drivers"})
        AddSystemFiles(other, L"*.*", files.system);
    const std::string content = "menu bench\r\n";
    for (const wchar_t* kind : kDataKinds) {
        for (int i = 0; i < kDataFilesPerKind; ++i) {
            const std::wstring path = dataFolder + L"\\データ" + std::to_wstring(i) + L"." + kind;
            if (!WriteFileBytes(path, content.data(), content.size()))
                return std::nullopt;
            files.data.push_back(path);
        }
    }
    if (files.system.empty())
        return std::nullopt;
    return files;
}

class CMenuMaker {
public:
    explicit CMenuMaker(const CMenuFiles& files) : files(files) {}

    void AddItems(CXParent& parent, int count)
    {
        for (int i = 0; i < count; ++i) {
            auto item = new CXItem;
            const int n = items++;
            const bool data = n % kDataFileEvery == kDataFileEvery - 1;
            const std::vector<std::wstring>& pool = data ? files.data : files.system;
            const int index = data ? n / kDataFileEvery : n - n / kDataFileEvery;
            item->path = pool[static_cast<size_t>(index) % pool.size()];
            item->title = L"項目 " + std::to_wstring(n) + L" " + item->path.substr(item->path.rfind(L'\\') + 1);
            if (n % 4 == 0)
                item->accelerator = std::wstring(1, static_cast<wchar_t>(L'A' + n % 26));
            parent.InsertChild(parent.children.size(), item);
        }
    }
    CXParent& AddSubmenu(CXParent& parent, const std::wstring& title)
    {
        auto submenu = new CXParent;
        submenu->title = title;
        parent.InsertChild(parent.children.size(), submenu);
        ++submenus;
        return *submenu;
    }
    void AddSeparator(CXParent& parent)
    {
        parent.InsertChild(parent.children.size(), new CXSeparator);
        ++separators;
    }

    const CMenuFiles& files;
    int items = 0;
    int submenus = 0;
    int separators = 0;
};

void BuildMenu(CMenuMaker& maker, CXRoot& root)
{
    maker.AddItems(root, kTopItems);
    for (int g = 0; g < kGroups; ++g) {
        CXParent& group = maker.AddSubmenu(root, L"フォルダ " + std::to_wstring(g));
        maker.AddItems(group, kGroupItems);
        maker.AddSeparator(group);
        for (int k = 0; k < kNestedPerGroup; ++k)
            maker.AddItems(maker.AddSubmenu(group, L"サブメニュー " + std::to_wstring(k)), kNestedItems);
    }
}

// The shape of the menu for the bare program, with the labels the launcher shows.
void DescribeShape(const CXParent& parent, std::wstring& out)
{
    for (const CXNode* child : parent.children) {
        if (const auto* submenu = XDynamicCast<CXParent>(child)) {
            out += L"+" + child->GetMenuText() + L"\n";
            DescribeShape(*submenu, out);
            out += L"-\n";
        } else if (XDynamicCast<CXItem>(child)) {
            out += L"*" + child->GetMenuText() + L"\n";
        } else if (XDynamicCast<CXSeparator>(child)) {
            out += L"=\n";
        }
    }
}

int DistinctPaths(const CMenuFiles& files, int items)
{
    const int data = items / kDataFileEvery;
    return static_cast<int>(std::min<size_t>(files.data.size(), static_cast<size_t>(data)) +
                            std::min<size_t>(files.system.size(), static_cast<size_t>(items - data)));
}

// ---- one show ----

// Asks the window manager for the menu class only: the search runs every millisecond while
// the program under measurement works, and should cost it as little as possible.
HWND VisibleMenuWindowOf(DWORD processId)
{
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, L"#32768", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

// Milliseconds from the request to the visible menu; the menu is closed again and the
// owner has gone back to its message loop when this returns.
std::optional<double> ShowOnce(HWND owner, DWORD processId)
{
    if (VisibleMenuWindowOf(processId))
        return std::nullopt;
    const auto start = Clock::now();
    PostMessageW(owner, WM_COMMAND, ID_FORCE_OPEN_MENU_LEFT, 0);
    HWND menu = nullptr;
    while (!(menu = VisibleMenuWindowOf(processId))) {
        if (Clock::now() - start > kShowTimeout || !IsWindow(owner))
            return std::nullopt;
        Sleep(1);
    }
    const double ms = Milliseconds(Clock::now() - start);
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(menu, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    const auto closing = Clock::now();
    bool cancelled = false;
    while (VisibleMenuWindowOf(processId)) {
        if (!cancelled && Clock::now() - closing > std::chrono::seconds(2)) {
            // A menu that missed the key still ends with the owner's cancel.
            PostMessageW(owner, WM_CANCELMODE, 0, 0);
            cancelled = true;
        }
        if (Clock::now() - closing > std::chrono::seconds(10))
            return std::nullopt;
        Sleep(5);
    }
    // Returns once the owner has finished its menu show (its release included).
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutW(owner, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &reply))
        return std::nullopt;
    return ms;
}

// The launcher's idle-time icon look-ups after start take about as long as this process
// takes to ask the shell for the same icons; the processor time of another process, which
// would tell when they are done, is not reported everywhere (Wine). So the rest before the
// shows with the icons known is twice that, plus two seconds.
double IconLookUpMs(const CMenuFiles& files, int items)
{
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const auto start = Clock::now();
    auto lookUp = [](const std::wstring& path) {
        SHFILEINFOW info = {};
        if (SHGetFileInfoW(path.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                           SHGFI_ICON | SHGFI_SYSICONINDEX | SHGFI_SMALLICON) &&
            info.hIcon)
            DestroyIcon(info.hIcon);
    };
    const size_t data = static_cast<size_t>(items / kDataFileEvery);
    for (size_t i = 0; i < std::min(files.data.size(), data); ++i)
        lookUp(files.data[i]);
    for (size_t i = 0; i < std::min(files.system.size(), static_cast<size_t>(items) - data); ++i)
        lookUp(files.system[i]);
    const double ms = Milliseconds(Clock::now() - start);
    if (SUCCEEDED(com))
        CoUninitialize();
    return ms;
}

DWORD RestAfterStartMs(double iconLookUpMs)
{
    return static_cast<DWORD>(2 * iconLookUpMs) + 2000;
}

std::optional<std::vector<double>> LaterShows(HWND owner, DWORD processId)
{
    std::vector<double> times;
    for (int i = 0; i < kLaterShows; ++i) {
        const std::optional<double> ms = ShowOnce(owner, processId);
        if (!ms)
            return std::nullopt;
        times.push_back(*ms);
    }
    return times;
}

// Later shows of two programs in turns, so that the load of the machine at the time weighs
// on both alike.
bool PairedLaterShows(HWND owner, DWORD processId, std::vector<double>& times, HWND otherOwner, DWORD otherProcessId,
                      std::vector<double>& otherTimes)
{
    for (int i = 0; i < kLaterShows; ++i) {
        const std::optional<double> ms = ShowOnce(owner, processId);
        const std::optional<double> otherMs = ms ? ShowOnce(otherOwner, otherProcessId) : std::nullopt;
        if (!otherMs)
            return false;
        times.push_back(*ms);
        otherTimes.push_back(*otherMs);
    }
    return true;
}

// ---- runs ----

struct CShows {
    std::vector<double> first, later, ready;
    // The bare program's later shows taken in turns with these later shows.
    std::vector<double> bareLater;
};

struct CLauncherSetup {
    CSettingsStore* store;
    const std::vector<uint8_t>* archive;
    int drawType;
};

// Every launcher run starts from the same store: the menu, the drawing mode, no foreground
// workaround (its clicks would land on the screen), menus at the top left corner.
bool StoreLauncherState(const CLauncherSetup& setup)
{
    DeleteKey(kVendorKey);
    CSettingsStore& store = *setup.store;
    store.SetBlob(kSectionSettings, std::wstring(kLeftMenuName) + L"_v3", *setup.archive);
    for (const wchar_t* name : {L"Win10Workaround", L"Win10WorkaroundX", L"ShowInternalLinks", L"MenuPos"})
        store.SetInt(kSectionSettings, name, 0);
    store.SetInt(kSectionSettings, L"H_Initialized", 1);
    store.SetInt(kSectionSettings, L"DrawType", setup.drawType);
    return store.GetBlob(kSectionSettings, std::wstring(kLeftMenuName) + L"_v3") == *setup.archive;
}

HWND WaitForLauncherWindow(const CProcess& child)
{
    const auto start = Clock::now();
    while (Clock::now() - start < kStartTimeout && child.IsRunning()) {
        if (HWND window = ReadInstanceWindow(kLauncherBlockName))
            return window;
        Sleep(1);
    }
    return nullptr;
}

HWND WaitForBareWindow(const CProcess& child)
{
    const auto start = Clock::now();
    while (Clock::now() - start < kStartTimeout && child.IsRunning()) {
        HWND window = FindWindowW(kBareClassName, nullptr);
        DWORD owner = 0;
        if (window && GetWindowThreadProcessId(window, &owner) && owner == child.Id())
            return window;
        Sleep(1);
    }
    return nullptr;
}

bool EndChild(CProcess& child, HWND window, UINT message, WPARAM wParam, const char* label)
{
    PostMessageW(window, message, wParam, 0);
    if (child.WaitForExit(std::chrono::milliseconds(kExitTimeoutMs)))
        return true;
    std::fprintf(stderr, "%s: did not end within %lu ms of being asked; killed\n", label, kExitTimeoutMs);
    return false;
}

// The bare program: its first show and the later ones.
bool RunBare(const std::wstring& exe, const std::wstring& shapeFile, CShows& shows, bool keep)
{
    CProcess child = CProcess::Start(exe, L"\"" + shapeFile + L"\"");
    if (!child.Started()) {
        std::fprintf(stderr, "bare: CreateProcessW failed (%lu)\n", GetLastError());
        return false;
    }
    HWND window = WaitForBareWindow(child);
    if (!window) {
        std::fprintf(stderr, "bare: no window (it reads its shape from the file named on its command line)\n");
        return false;
    }
    const std::optional<double> first = ShowOnce(window, child.Id());
    const std::optional<std::vector<double>> later = first ? LaterShows(window, child.Id()) : std::nullopt;
    EndChild(child, window, WM_CLOSE, 0, "bare");
    if (!later) {
        std::fprintf(stderr, "bare: the menu did not show or close\n");
        return false;
    }
    if (verbose)
        std::printf("bare: first %.1f ms, later %.1f ms (median of %d)\n", *first, Median(*later), kLaterShows);
    if (keep) {
        shows.first.push_back(*first);
        shows.later.insert(shows.later.end(), later->begin(), later->end());
    }
    return true;
}

// The launcher: the first show right after start, or (restMs > 0) the first show once the
// start-up icon work is done and the later shows. (Shows soon after a first one that looked
// up the icons are slowed by the shell's own work that follows for a while.)
struct CBareProgram {
    std::wstring exe;
    std::wstring shapeFile;
};

bool RunLauncher(const std::wstring& exe, const CLauncherSetup& setup, DWORD restMs, const CBareProgram& bare,
                 CShows& shows, bool keep)
{
    if (InstanceBlockExists(kLauncherBlockName)) {
        std::fprintf(stderr, "launcher: its block already exists: another instance runs\n");
        return false;
    }
    if (!StoreLauncherState(setup)) {
        std::fprintf(stderr, "launcher: the store could not be written\n");
        return false;
    }
    CProcess child = CProcess::Start(exe, L"");
    if (!child.Started()) {
        std::fprintf(stderr, "launcher: CreateProcessW failed (%lu)\n", GetLastError());
        return false;
    }
    HWND window = WaitForLauncherWindow(child);
    if (!window) {
        std::fprintf(stderr, "launcher: no instance block\n");
        return false;
    }
    const bool idleFirst = restMs > 0;
    // The bare program whose later shows take turns with the launcher's.
    CProcess bareChild;
    HWND bareWindow = nullptr;
    if (idleFirst) {
        bareChild = CProcess::Start(bare.exe, L"\"" + bare.shapeFile + L"\"");
        if (!bareChild.Started() || !(bareWindow = WaitForBareWindow(bareChild))) {
            std::fprintf(stderr, "bare: did not start\n");
            return false;
        }
    }
    Sleep(restMs);
    const std::optional<double> first = ShowOnce(window, child.Id());
    std::vector<double> later, bareLater;
    const bool paired =
        first && idleFirst && PairedLaterShows(window, child.Id(), later, bareWindow, bareChild.Id(), bareLater);
    const UINT launcherMessage = LauncherMessage();
    EndChild(child, window, launcherMessage, ID_FORCE_CLOSE, "launcher");
    if (bareWindow)
        EndChild(bareChild, bareWindow, WM_CLOSE, 0, "bare");
    if (!first || (idleFirst && !paired)) {
        std::fprintf(stderr, "launcher (mode %d): the menu did not show or close\n", setup.drawType);
        return false;
    }
    if (verbose) {
        if (idleFirst)
            std::printf("launcher mode %d: first show after %lu ms at rest %.1f ms, later %.1f ms, bare in turns "
                        "%.1f ms (medians of %d)\n",
                        setup.drawType, restMs, *first, Median(later), Median(bareLater), kLaterShows);
        else
            std::printf("launcher mode %d: first show right after start %.1f ms\n", setup.drawType, *first);
    }
    if (keep) {
        if (idleFirst) {
            shows.ready.push_back(*first);
            shows.later.insert(shows.later.end(), later.begin(), later.end());
            shows.bareLater.insert(shows.bareLater.end(), bareLater.begin(), bareLater.end());
        } else {
            shows.first.push_back(*first);
        }
    }
    return true;
}

struct CMode {
    int drawType;
    const char* label;
};
const CMode kModes[] = {
    {3, "mode 3 (system-drawn)"},
    {0, "mode 0 (theme)"},
    {1, "mode 1 (system colours)"},
    {2, "mode 2 (own colours)"},
};
// Against the bare program: the first show right after start, the later shows (and the first
// show once the icons are known).
constexpr double kFirstShowGoal = 3.0;
constexpr double kLaterShowGoal = 1.2;
constexpr int kModeCount = static_cast<int>(std::size(kModes));

void PrintCell(const std::vector<double>& values)
{
    if (values.empty()) {
        std::printf(" %24s", "-");
        return;
    }
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    std::printf(" %8.1f %7.1f %7.1f", Median(values), *low, *high);
}

void PrintRow(const char* label, const CShows& shows)
{
    std::printf("%-24s", label);
    PrintCell(shows.first);
    PrintCell(shows.later);
    PrintCell(shows.ready);
    std::printf("\n");
}

int Run(int repetitions)
{
    const std::wstring folder = FolderOfThisProgram();
    const std::wstring launcherExe = folder + L"\\" + kLauncherFile;
    const std::wstring bareExe = folder + L"\\" + kBareFile;
    if (InstanceBlockExists(kLauncherBlockName)) {
        std::fprintf(stderr, "a launcher is already running: end it first\n");
        return 1;
    }
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring work = std::wstring(temp) + L"velq-menu-bench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(work.c_str(), nullptr);
    const bool hadDataFolder = FolderExists(VendorDataFolder());

    CWin32Platform platform;
    CRegistryStore store(XIntReading::Lenient);
    InstallPlatform(&platform, &store);

    int code = 1;
    [&] {
        const std::optional<CMenuFiles> files = MakeMenuFiles(work);
        if (!files) {
            std::fprintf(stderr, "no files for the menu entries\n");
            return;
        }
        CXRoot root(kLeftMenuName, 1);
        CMenuMaker maker(*files);
        BuildMenu(maker, root);
        const auto archive = WriteTreeArchive(root);
        if (!archive) {
            std::fprintf(stderr, "the menu archive could not be made\n");
            return;
        }
        std::wstring shape;
        DescribeShape(root, shape);
        const std::wstring shapeFile = work + L"\\shape.txt";
        if (!WriteFileBytes(shapeFile, shape.data(), shape.size() * sizeof(wchar_t))) {
            std::fprintf(stderr, "the shape file could not be written\n");
            return;
        }
        std::printf("menu: %d entries with icons (%d distinct files: programs and libraries of the system folder, "
                    "%zu data files of %zu kinds), %d submenus, %d separators; archive %zu bytes\n",
                    maker.items, DistinctPaths(*files, maker.items), files->data.size(), std::size(kDataKinds),
                    maker.submenus, maker.separators, archive->size());

        const double iconMs = IconLookUpMs(*files, maker.items);
        std::printf("the shell's icons of the menu's files, asked for by this program: %.0f ms\n", iconMs);

        const CBareProgram bareProgram{bareExe, shapeFile};
        CShows bare;
        CShows launcher[kModeCount];
        // One unmeasured round first: the first start in a session pays for the system's
        // own first-time work (fonts, shell, registry hive).
        for (int round = -1; round < repetitions; ++round) {
            const bool keep = round >= 0;
            if (verbose)
                std::printf("[round %d]\n", round + 1);
            if (!RunBare(bareExe, shapeFile, bare, keep))
                return;
            for (int m = 0; m < kModeCount; ++m) {
                const int mode = (m + std::max(round, 0)) % kModeCount;
                const CLauncherSetup setup{&store, &*archive, kModes[mode].drawType};
                CShows cold;
                if (!RunLauncher(launcherExe, setup, 0, bareProgram, cold, true) ||
                    !RunLauncher(launcherExe, setup, RestAfterStartMs(iconMs), bareProgram, launcher[mode],
                                 keep))
                    return;
                if (keep)
                    launcher[mode].first.push_back(cold.first.back());
            }
        }

        std::printf("\nmilliseconds from the request to the visible menu, %d starts each, %d later shows per start "
                    "(median, min, max)\n",
                    repetitions, kLaterShows);
        std::printf("%-24s %24s %24s %24s\n", "", "first show after start", "later shows", "first show, icons known");
        PrintRow("bare (plain text)", bare);
        for (int m = 0; m < kModeCount; ++m)
            PrintRow(kModes[m].label, launcher[m]);

        const double bareFirst = Median(bare.first);
        std::printf("\nratio to the bare program (medians; first shows to its first show right after start, later "
                    "shows to its later shows taken in turns with them)\n");
        std::printf("goals: first show right after start within %.1fx, later shows within %.1fx\n", kFirstShowGoal,
                    kLaterShowGoal);
        std::printf("%-24s %18s %18s %18s\n", "", "first after start", "later shows", "icons known");
        auto printRatio = [](double ratio, double goal) {
            std::printf(" %9.2fx %-7s", ratio, ratio <= goal ? "met" : "missed");
        };
        for (int m = 0; m < kModeCount; ++m) {
            std::printf("%-24s", kModes[m].label);
            printRatio(Median(launcher[m].first) / bareFirst, kFirstShowGoal);
            printRatio(Median(launcher[m].later) / Median(launcher[m].bareLater), kLaterShowGoal);
            printRatio(Median(launcher[m].ready) / bareFirst, kLaterShowGoal);
            std::printf("\n");
        }
        code = 0;
    }();

    DeleteKey(kVendorKey);
    if (!hadDataFolder)
        DeleteFolderTree(VendorDataFolder());
    DeleteFolderTree(work);
    InstallPlatform(nullptr, nullptr);
    if (code != 0)
        std::fprintf(stderr, "menu benchmark incomplete\n");
    return code;
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
