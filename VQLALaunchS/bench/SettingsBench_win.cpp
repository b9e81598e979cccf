// Start-up of the settings tool with both menus at their largest storable size and
// "Separate" on, against a bare dialog program that shows the same entries in a dialog of
// the tool's size with two trees and two detail lists; and the time a rename in that menu
// takes to be stored and announced. A start is timed from CreateProcessW until the program's
// dialog is visible and its views hold everything: each tree every entry of its menu below
// the root item, each list a row for every child of the root (TVM_GETCOUNT and
// LVM_GETITEMCOUNT, which carry no pointers across processes). The tool also runs with no
// menus, to separate what the menus cost; runs rotate between the three; medians are shown.
// A rename is timed from the Return key posted to the label edit of a list row until the
// stored left menu holds other bytes and the reload request has reached the launcher. The
// launcher is a stand-in window of this process in the launcher's block (StandInLauncher_win.h).
// Usage: settings_bench [-v] [repetitions]   (exit code 0 when every run completed; -v shows each run)

#include <windows.h>
// Needs the types that windows.h declares.
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "../../VQLALaunch/bench/BenchFigures.h"
#include "../../bench/LargestTree.h"
#include "FolderTree_win.h"
#include "ImageListMan_win.h"
#include "InstanceBlock_win.h"
#include "LauncherProbe_win.h"
#include "Platform_win.h"
#include "RegistryStore_win.h"
#include "Resource.h"
#include "Settings.h"
#include "SettingsBenchNames.h"
#include "SettingsStore.h"
#include "StandInLauncher_win.h"
#include "ViewRules.h"
#include "WinHandles.h"

namespace {
// The caption of the settings tool's message boxes.
const wchar_t kToolCaption[] = L"Velquinランチャー設定";
constexpr auto kStartTimeout = std::chrono::seconds(120);
constexpr auto kRenameTimeout = std::chrono::seconds(30);
constexpr DWORD kExitTimeoutMs = 20000;
constexpr UINT kQueryTimeoutMs = 10000;
constexpr int kDefaultRepetitions = 5;
// Renames in one start of the tool after an unmeasured first one, each of another row.
constexpr int kRenames = 9;
constexpr double kStartGoal = 1.5;
constexpr double kRenameGoalMs = 50;
bool verbose = false;

// The marks of the fixed image-list slots the bare dialog gives each kind of entry.
constexpr int kSlotBlank = 0, kSlotSubmenu = 1, kSlotSeparator = 3, kSlotTextItem = 5;

std::wstring LeftMenuValue()
{
    return std::wstring(kLeftMenuName) + L"_v3";
}
std::wstring RightMenuValue()
{
    return std::wstring(kRightMenuName) + L"_v3";
}

// ---- the menus and the bare dialog's shape ----

struct CMenus {
    std::vector<uint8_t> left, right;
    int nodes = 0;    // entries below the root, in each menu
    int rootRows = 0; // children of the root, in each menu
};

int CountEntries(const CXParent& parent)
{
    int count = 0;
    for (const CXNode* child : parent.children) {
        ++count;
        if (const auto* submenu = XDynamicCast<CXParent>(child))
            count += CountEntries(*submenu);
    }
    return count;
}

std::optional<CMenus> BuildMenus()
{
    CMenus menus;
    CXRoot left(kLeftMenuName, 1), right(kRightMenuName, 2);
    largest_tree::BuildLargestTree(left);
    largest_tree::BuildLargestTree(right);
    // Counted here: the views are checked against what the tree holds.
    menus.nodes = CountEntries(left);
    menus.rootRows = static_cast<int>(left.children.size());
    auto leftBytes = WriteTreeArchive(left);
    auto rightBytes = WriteTreeArchive(right);
    if (!leftBytes || !rightBytes)
        return std::nullopt;
    menus.left = std::move(*leftBytes);
    menus.right = std::move(*rightBytes);
    return menus;
}

wchar_t SlotOf(const CXNode& node)
{
    int slot = kSlotBlank;
    if (node.IsKindOf<CXParent>())
        slot = kSlotSubmenu;
    else if (node.IsKindOf<CXSeparator>())
        slot = kSlotSeparator;
    else if (node.IsKindOf<CXTextItem>())
        slot = kSlotTextItem;
    return static_cast<wchar_t>(L'0' + slot);
}

void DescribeTree(const CXNode& node, std::wstring& out)
{
    if (const auto* submenu = XDynamicCast<CXParent>(&node)) {
        out += std::wstring(1, kShapeSubmenu) + SlotOf(node) + node.GetTitle() + L"\n";
        for (const CXNode* child : submenu->children)
            DescribeTree(*child, out);
        out += std::wstring(1, kShapeEnd) + L"\n";
    } else {
        out += std::wstring(1, kShapeEntry) + SlotOf(node) + node.GetTitle() + L"\n";
    }
}

// The tool's tree, its list of the root's children and the list's columns, as the tool
// shows them.
std::wstring DescribeShape(const CXRoot& root)
{
    std::wstring out;
    for (const CListColumn& column : ListColumns())
        out += std::wstring(1, kShapeColumn) + std::to_wstring(column.defaultChars) + L"\t" + column.heading + L"\n";
    DescribeTree(root, out);
    for (const CXNode* child : root.children) {
        const auto texts = RowTexts(*child);
        out += std::wstring(1, kShapeRow) + SlotOf(*child) + texts[0];
        // The tool fills the other columns of an item's row only.
        if (child->IsKindOf<CXItem>()) {
            for (size_t column = 1; column < texts.size(); ++column)
                out += L"\t" + texts[column];
        }
        out += L"\n";
    }
    return out;
}

bool WriteShapeFile(const std::wstring& path, const CMenus& menus)
{
    CXRoot root(kLeftMenuName, 1);
    if (!ReadTreeArchive(root, menus.left))
        return false;
    const std::wstring shape = DescribeShape(root);
    CFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD size = static_cast<DWORD>(shape.size() * sizeof(wchar_t));
    DWORD written = 0;
    return file && WriteFile(file.get(), shape.data(), size, &written, nullptr) && written == size;
}

// Every start of the tool finds the same store: the two menus (or none) and "Separate" on;
// no window placement, no column widths.
bool StoreToolState(CSettingsStore& store, const CMenus* menus)
{
    DeleteKey(kVendorKey);
    store.SetInt(kSectionSettings, SettingName(XSetting::Separate, false), 1);
    if (!menus)
        return true;
    store.SetBlob(kSectionSettings, LeftMenuValue(), menus->left);
    store.SetBlob(kSectionSettings, RightMenuValue(), menus->right);
    return store.GetBlob(kSectionSettings, LeftMenuValue()) == menus->left &&
           store.GetBlob(kSectionSettings, RightMenuValue()) == menus->right;
}

// What the tool does with the store before its dialog: both menus read and parsed.
double ArchiveLoadMs()
{
    CXRoot left(kLeftMenuName, 1), right(kRightMenuName, 2);
    const auto start = Clock::now();
    const bool loaded = left.Load() && right.Load();
    const double ms = Milliseconds(Clock::now() - start);
    return loaded && !left.children.empty() && !right.children.empty() ? ms : -1;
}

// What the tool asks the shell before its dialog: the icon of every item's file, once per
// path. Measured once, before any run, as the shell is then as fresh as in a new process.
double IconLookUpMs(CWin32Platform& platform, int& queries)
{
    CXRoot left(kLeftMenuName, 1), right(kRightMenuName, 2);
    CImageListMan images;
    if (!left.Load() || !right.Load() || !images.Create(GetModuleHandleW(nullptr)))
        return -1;
    platform.iconIndexCallback = [&images](bool isInternal, const std::wstring& path) {
        return images.GetIconIndex(isInternal, path);
    };
    const auto start = Clock::now();
    left.UpdateTreeImages();
    right.UpdateTreeImages();
    const double ms = Milliseconds(Clock::now() - start);
    platform.iconIndexCallback = nullptr;
    queries = images.ShellQueries();
    return ms;
}

// What the tool does after a rename, in this process: the left menu written as an archive
// and stored.
double MenuSaveMs(int attempt)
{
    CXRoot left(kLeftMenuName, 1);
    if (!left.Load() || left.children.empty())
        return -1;
    left.children.front()->SetTitle(L"保存の計測 " + std::to_wstring(attempt));
    const auto start = Clock::now();
    const bool saved = left.Save();
    const double ms = Milliseconds(Clock::now() - start);
    return saved ? ms : -1;
}

// ---- one start ----

struct CProgram {
    const char* label;
    std::wstring exe;
    std::wstring arguments;
    const wchar_t* blockName;
};

// What the views hold once filled: items of each tree (the root item included), rows of each list.
struct CFilled {
    int treeItems = 0;
    int rows = 0;
};

bool QueryCount(HWND dialog, int id, UINT message, int& count)
{
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutW(GetDlgItem(dialog, id), message, 0, 0, SMTO_NORMAL, kQueryTimeoutMs, &reply))
        return false;
    count = static_cast<int>(reply);
    return true;
}

bool IsFilled(HWND dialog, const CFilled& expected)
{
    int count = 0;
    for (int id : {IDC_LEFT_TREE, IDC_RIGHT_TREE}) {
        if (!QueryCount(dialog, id, TVM_GETCOUNT, count) || count < expected.treeItems)
            return false;
    }
    for (int id : {IDC_LEFT_LIST, IDC_RIGHT_LIST}) {
        if (!QueryCount(dialog, id, LVM_GETITEMCOUNT, count) || count < expected.rows)
            return false;
    }
    return true;
}

void ReportWhatShows(const CProgram& program, const CProcess& child, HWND dialog = nullptr)
{
    if (dialog) {
        int counts[4] = {-1, -1, -1, -1};
        QueryCount(dialog, IDC_LEFT_TREE, TVM_GETCOUNT, counts[0]);
        QueryCount(dialog, IDC_RIGHT_TREE, TVM_GETCOUNT, counts[1]);
        QueryCount(dialog, IDC_LEFT_LIST, LVM_GETITEMCOUNT, counts[2]);
        QueryCount(dialog, IDC_RIGHT_LIST, LVM_GETITEMCOUNT, counts[3]);
        std::fprintf(stderr, "%s: dialog %s; trees hold %d and %d items, lists %d and %d rows\n", program.label,
                     IsWindowVisible(dialog) ? "visible" : "hidden", counts[0], counts[1], counts[2], counts[3]);
    }
    for (const CFoundBox& box : FindMessageBoxes(child.Id(), kToolCaption))
        std::fprintf(stderr, "%s: message box: %ls\n", program.label, box.text.c_str());
}

// A started program that shows its dialog; it is closed (and its end awaited) by End.
struct CStarted {
    CProcess process;
    HWND dialog = nullptr;
    double readyMs = 0;
};

std::optional<CStarted> Start(const CProgram& program, const CFilled& expected)
{
    if (InstanceBlockExists(program.blockName)) {
        std::fprintf(stderr, "%s: its block already exists: another instance runs\n", program.label);
        return std::nullopt;
    }
    CStarted started;
    const auto start = Clock::now();
    started.process = CProcess::Start(program.exe, program.arguments);
    if (!started.process.Started()) {
        std::fprintf(stderr, "%s: CreateProcessW failed (%lu)\n", program.label, GetLastError());
        return std::nullopt;
    }
    // The block is published first; the dialog shows once it is filled, and the counts are
    // asked only then, when the program answers at once.
    while (!started.dialog || !IsWindowVisible(started.dialog) || !IsFilled(started.dialog, expected)) {
        if (!started.process.IsRunning() || Clock::now() - start > kStartTimeout) {
            std::fprintf(stderr, "%s: no filled dialog (%s)\n", program.label,
                         started.process.IsRunning() ? "timed out" : "the program ended");
            ReportWhatShows(program, started.process, started.dialog);
            return std::nullopt;
        }
        Sleep(1);
        if (!started.dialog)
            started.dialog = ReadInstanceWindow(program.blockName);
    }
    started.readyMs = Milliseconds(Clock::now() - start);
    if (verbose)
        std::printf("%s: ready %.1f ms\n", program.label, started.readyMs);
    return started;
}

bool End(const CProgram& program, CStarted& started)
{
    PostMessageW(started.dialog, WM_CLOSE, 0, 0);
    if (started.process.WaitForExit(std::chrono::milliseconds(kExitTimeoutMs)))
        return true;
    std::fprintf(stderr, "%s: did not end within %lu ms of being asked; killed\n", program.label, kExitTimeoutMs);
    ReportWhatShows(program, started.process);
    started.process.Kill();
    return false;
}

std::optional<double> StartOnce(const CProgram& program, const CFilled& expected)
{
    std::optional<CStarted> started = Start(program, expected);
    if (!started)
        return std::nullopt;
    End(program, *started);
    return started->readyMs;
}

// ---- renames ----

bool ReadStoredMenu(HKEY settings, std::vector<uint8_t>& bytes)
{
    DWORD size = 0;
    const std::wstring name = LeftMenuValue();
    if (RegQueryValueExW(settings, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return false;
    bytes.resize(size);
    if (RegQueryValueExW(settings, name.c_str(), nullptr, nullptr, bytes.data(), &size) != ERROR_SUCCESS)
        return false;
    bytes.resize(size);
    return true;
}

struct CRename {
    double storedMs = 0; // the stored bytes differ
    double postedMs = 0; // the reload request has arrived
    double doneMs = 0;   // both
};

// Watches the Settings key for a write of the left menu that changes its bytes. The key's
// change event is armed before the write can happen and re-armed after each other write,
// so that the menu's bytes are read only when the key has changed.
class CMenuWriteWatch {
public:
    CMenuWriteWatch(HKEY settings, std::vector<uint8_t> before)
        : settings(settings), before(std::move(before)), changed(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        Arm();
    }
    // The time the key changed, once a changed menu is stored; waits up to one millisecond
    // for the key to change.
    std::optional<Clock::time_point> Poll()
    {
        if (WaitForSingleObject(changed.get(), 1) != WAIT_OBJECT_0)
            return std::nullopt;
        const auto signalled = Clock::now();
        Arm();
        std::vector<uint8_t> now;
        if (ReadStoredMenu(settings, now) && now != before)
            return signalled;
        return std::nullopt;
    }

private:
    void Arm()
    {
        ResetEvent(changed.get());
        RegNotifyChangeKeyValue(settings, FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed.get(), TRUE);
    }
    HKEY settings;
    std::vector<uint8_t> before;
    CKernelHandle changed;
};

std::optional<CRename> RenameOnce(HWND dialog, HKEY settings, const CStandInLauncher& launcher, int row,
                                  const std::wstring& title)
{
    std::vector<uint8_t> before, after;
    if (!ReadStoredMenu(settings, before)) {
        std::fprintf(stderr, "rename: the stored left menu cannot be read\n");
        return std::nullopt;
    }
    HWND list = GetDlgItem(dialog, IDC_LEFT_LIST);
    DWORD_PTR reply = 0;
    SetForegroundWindow(dialog);
    if (!SendMessageTimeoutW(list, LVM_EDITLABELW, row, 0, SMTO_NORMAL, kQueryTimeoutMs, &reply) || !reply) {
        std::fprintf(stderr, "rename: row %d gave no label edit\n", row);
        return std::nullopt;
    }
    const auto edit = reinterpret_cast<HWND>(reply);
    SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()), SMTO_NORMAL, kQueryTimeoutMs,
                        &reply);
    const int reloadsBefore = launcher.Reloads();
    CMenuWriteWatch watch(settings, std::move(before));

    const auto start = Clock::now();
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    std::optional<Clock::time_point> stored, posted;
    while (!stored || !posted) {
        if (Clock::now() - start > kRenameTimeout) {
            std::fprintf(stderr, "rename: %s\n", stored ? "no reload request arrived" : "the menu was not stored");
            return std::nullopt;
        }
        if (!stored) {
            stored = watch.Poll();
        } else {
            Sleep(1);
        }
        if (!posted && launcher.Reloads() > reloadsBefore)
            posted = launcher.LastReloadTime();
    }
    CRename rename;
    rename.storedMs = Milliseconds(*stored - start);
    rename.postedMs = Milliseconds(*posted - start);
    rename.doneMs = Milliseconds(std::max(*stored, *posted) - start);

    // Checked once the clock has stopped: the request names the left menu, and the stored
    // menu holds the new title.
    SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, kQueryTimeoutMs, &reply);
    CXRoot check(kLeftMenuName, 1);
    if (!(launcher.LastReloadFlags() & kReloadLeftMenu) || !ReadStoredMenu(settings, after) ||
        !ReadTreeArchive(check, after) || row >= static_cast<int>(check.children.size()) ||
        check.children[static_cast<size_t>(row)]->GetTitle() != title) {
        std::fprintf(stderr, "rename: the stored menu or the reload request is not the expected one\n");
        return std::nullopt;
    }
    if (verbose)
        std::printf("rename of row %d: stored %.1f ms, posted %.1f ms\n", row, rename.storedMs, rename.postedMs);
    return rename;
}

struct CRenameSeries {
    std::vector<double> stored, posted, done;
};

bool MeasureRenames(const CProgram& tool, const CFilled& expected, const CStandInLauncher& launcher,
                    CRenameSeries& series)
{
    std::optional<CStarted> started = Start(tool, expected);
    if (!started)
        return false;
    CKeyHandle settings;
    bool complete = RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE | KEY_NOTIFY, settings.put()) ==
                    ERROR_SUCCESS;
    for (int i = 0; i <= kRenames && complete; ++i) {
        const std::optional<CRename> rename =
            RenameOnce(started->dialog, settings.get(), launcher, i, L"改名したフォルダ " + std::to_wstring(i));
        complete = rename.has_value();
        // The first rename pays for what the tool does once (the archive writer's first run).
        if (complete && i > 0) {
            series.stored.push_back(rename->storedMs);
            series.posted.push_back(rename->postedMs);
            series.done.push_back(rename->doneMs);
        }
    }
    return End(tool, *started) && complete;
}

// ---- figures ----

void PrintRow(const char* label, const std::vector<double>& values)
{
    if (values.empty())
        return;
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    std::printf("%-28s %4zu %10.1f %8.1f %8.1f\n", label, values.size(), Median(values), *low, *high);
}

const char* Verdict(bool met)
{
    return met ? "met" : "missed";
}

int Run(int repetitions)
{
    const std::wstring folder = FolderOfThisProgram();
    if (InstanceBlockExists(kLauncherBlockName) || InstanceBlockExists(kSettingsToolBlockName)) {
        std::fprintf(stderr, "a launcher or a settings tool is already running: end it first\n");
        return 1;
    }
    CWin32Platform platform;
    CRegistryStore store(XIntReading::Lenient);
    InstallPlatform(&platform, &store);
    CTestFolder work;
    const bool hadDataFolder = FolderExists(VendorDataFolder());

    std::optional<CMenus> menus = BuildMenus();
    const std::wstring shapeFile = work.File(L"shape.txt");
    if (!menus || !WriteShapeFile(shapeFile, *menus)) {
        std::fprintf(stderr, "the menus or the bare dialog's shape could not be written\n");
        InstallPlatform(nullptr, nullptr);
        return 1;
    }
    const CFilled full{menus->nodes + 1, menus->rootRows};
    const CFilled empty{1, 0};
    std::printf("menus: %d entries each below the root (%d root rows); archives %zu and %zu bytes (limit %zu)\n",
                menus->nodes, menus->rootRows, menus->left.size(), menus->right.size(), kMaxArchiveSize);

    CStandInLauncher launcher;
    if (!launcher.Start()) {
        std::fprintf(stderr, "the stand-in launcher could not publish the launcher's block\n");
        InstallPlatform(nullptr, nullptr);
        return 1;
    }
    const CProgram tool{"settings tool", folder + L"\\" + kSettingsToolFile, L"", kSettingsToolBlockName};
    const CProgram bare{"bare dialog", folder + L"\\" + kBareDialogFile, L"\"" + shapeFile + L"\"",
                        kBareDialogBlockName};

    bool complete = StoreToolState(store, &*menus);
    int shellQueries = 0;
    const double iconLookUp = complete ? IconLookUpMs(platform, shellQueries) : -1;
    std::vector<double> loads, saves;
    for (int i = 0; i < repetitions && complete; ++i) {
        loads.push_back(ArchiveLoadMs());
        saves.push_back(MenuSaveMs(i));
    }
    const double archiveLoad = Median(loads);
    const double menuSave = Median(saves);
    complete = complete && archiveLoad >= 0 && iconLookUp >= 0 &&
               std::none_of(saves.begin(), saves.end(), [](double ms) { return ms < 0; });

    enum { kBare, kTool, kEmptyTool, kKinds };
    const CProgram* programs[kKinds] = {&bare, &tool, &tool};
    const CFilled* expected[kKinds] = {&full, &full, &empty};
    const char* labels[kKinds] = {"bare dialog", "settings tool (max menus)", "settings tool (no menus)"};
    std::vector<double> series[kKinds];
    // One unmeasured round first: the first start in a session pays for the system's own
    // first-time work (fonts, common controls, registry hive). The order rotates from round
    // to round, so that no program always follows the same one.
    for (int round = -1; round < repetitions && complete; ++round) {
        for (int step = 0; step < kKinds && complete; ++step) {
            const int kind = (step + round + kKinds) % kKinds;
            complete = StoreToolState(store, kind == kEmptyTool ? nullptr : &*menus);
            if (verbose)
                std::printf("[%s]\n", labels[kind]);
            const std::optional<double> ms = complete ? StartOnce(*programs[kind], *expected[kind]) : std::nullopt;
            complete = ms.has_value();
            if (complete && round >= 0)
                series[kind].push_back(*ms);
        }
    }

    CRenameSeries renames;
    complete = complete && StoreToolState(store, &*menus) && MeasureRenames(tool, full, launcher, renames);

    launcher.Stop();
    DeleteKey(kVendorKey);
    if (!hadDataFolder)
        DeleteFolderTree(VendorDataFolder());
    InstallPlatform(nullptr, nullptr);
    if (!complete) {
        std::fprintf(stderr, "settings benchmark incomplete\n");
        return 1;
    }

    std::printf("\n%-28s %4s %10s %8s %8s\n", "program (to a filled dialog)", "runs", "ready ms", "min", "max");
    for (int kind = 0; kind < kKinds; ++kind)
        PrintRow(labels[kind], series[kind]);
    std::printf("in this process: archive load (both menus, registry + parse) %.1f ms, median of %d;\n", archiveLoad,
                repetitions);
    std::printf("                 icon look-ups (both menus, %d shell queries) %.1f ms, once\n\n", shellQueries,
                iconLookUp);

    const double bareReady = Median(series[kBare]);
    const double toolReady = Median(series[kTool]);
    const double startRatio = toolReady / bareReady;
    std::printf("start-up / bare:                  %.2fx  (goal <= %.1fx: %s)\n", startRatio, kStartGoal,
                Verdict(startRatio <= kStartGoal));
    std::printf("start-up / (bare + archive load): %.2fx\n", toolReady / (bareReady + archiveLoad));
    std::printf("start-up, no menus / bare:        %.2fx\n", Median(series[kEmptyTool]) / bareReady);

    std::printf("\n%-28s %4s %10s %8s %8s\n", "rename of a root row", "runs", "ms", "min", "max");
    PrintRow("stored", renames.stored);
    PrintRow("posted", renames.posted);
    PrintRow("stored and posted", renames.done);
    std::printf("in this process: save of the left menu (archive + registry) %.1f ms, median of %d\n", menuSave,
                repetitions);
    const double renameMs = Median(renames.done);
    std::printf("rename, stored and posted: %.1f ms  (goal <= %.0f ms: %s)\n", renameMs, kRenameGoalMs,
                Verdict(renameMs <= kRenameGoalMs));
    return 0;
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    const CBenchArguments arguments = ReadBenchArguments(argc, argv, kDefaultRepetitions);
    const int repetitions = arguments.repetitions;
    verbose = arguments.verbose;
    // As in the tool, whose shell calls run in an initialised apartment.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    const int code = Run(repetitions);
    if (com)
        CoUninitialize();
    std::fflush(stdout);
    return code;
}
