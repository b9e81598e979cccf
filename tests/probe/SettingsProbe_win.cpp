#include "SettingsProbe_win.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "InstanceBlock_win.h"
#include "LauncherProbe_win.h"
#include "WinHandles.h"

namespace {
const wchar_t kToolBlockName[] = L"OfficeKestrahl_VelquinUI_FM";
constexpr size_t kTextUnits = 1024;

DWORD ProcessOfWindow(HWND window)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return id;
}

struct CWindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectVisibleWindow(HWND window, LPARAM lParam)
{
    auto& search = *reinterpret_cast<CWindowSearch*>(lParam);
    if (ProcessOfWindow(window) == search.processId && IsWindowVisible(window))
        search.found.push_back(window);
    return TRUE;
}
} // namespace

HWND ToolBlockWindow()
{
    return ReadInstanceWindow(kToolBlockName);
}

void KillRunningTool()
{
    HWND window = ToolBlockWindow();
    if (DWORD id = window ? ProcessOfWindow(window) : 0) {
        CKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (process) {
            TerminateProcess(process.get(), 99);
            WaitForSingleObject(process.get(), 5000);
        }
    }
    PollFor(5s, [] { return ToolBlockWindow() == nullptr; });
}

std::vector<HWND> VisibleWindowsOf(DWORD processId)
{
    CWindowSearch search{processId, {}};
    EnumWindows(CollectVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForToolDialog(DWORD processId, std::chrono::milliseconds timeout)
{
    HWND dialog = nullptr;
    PollFor(timeout, [&] {
        for (HWND window : VisibleWindowsOf(processId)) {
            if (WindowText(window) == kToolDialogTitle)
                dialog = window;
        }
        return dialog != nullptr;
    });
    return dialog;
}

HWND WaitForDialog(DWORD processId, const std::wstring& title, std::chrono::milliseconds timeout)
{
    HWND found = nullptr;
    PollFor(timeout, [&] {
        for (HWND window : VisibleWindowsOf(processId)) {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (std::wstring(name) == L"#32770" && WindowText(window) == title)
                found = window;
        }
        return found != nullptr;
    });
    if (found)
        RoundTrip(found);
    return found;
}

bool RoundTrip(HWND window)
{
    DWORD_PTR reply = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &reply) != 0;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[kTextUnits] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, kTextUnits, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000,
                             &copied))
        return {};
    return std::wstring(text, std::min<size_t>(copied, kTextUnits - 1));
}

bool ReadBinary(const std::wstring& keyPath, const wchar_t* name, std::vector<uint8_t>& bytes)
{
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, keyPath.c_str(), name, RRF_RT_REG_BINARY, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
        return false;
    bytes.resize(size);
    if (RegGetValueW(HKEY_CURRENT_USER, keyPath.c_str(), name, RRF_RT_REG_BINARY, nullptr, bytes.data(), &size) !=
        ERROR_SUCCESS)
        return false;
    bytes.resize(size);
    return true;
}

CRemoteMemory::CRemoteMemory(HWND window, size_t size) : size(size)
{
    process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, ProcessOfWindow(window));
    if (process)
        address = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

CRemoteMemory::~CRemoteMemory()
{
    if (address)
        VirtualFreeEx(process, address, 0, MEM_RELEASE);
    if (process)
        CloseHandle(process);
}

bool CRemoteMemory::Write(const void* data, size_t bytes, size_t offset) const
{
    SIZE_T written = 0;
    return address && offset + bytes <= size &&
           WriteProcessMemory(process, static_cast<char*>(address) + offset, data, bytes, &written) && written == bytes;
}

bool CRemoteMemory::Read(void* data, size_t bytes, size_t offset) const
{
    SIZE_T read = 0;
    return address && offset + bytes <= size &&
           ReadProcessMemory(process, static_cast<char*>(address) + offset, data, bytes, &read) && read == bytes;
}

namespace {
HTREEITEM NextTreeItem(HWND tree, HTREEITEM item, UINT relation)
{
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

bool ReadTreeItem(HWND tree, const CRemoteMemory& memory, CTreeEntry& entry)
{
    TVITEMW item = {};
    item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    item.hItem = entry.item;
    item.stateMask = TVIS_BOLD | TVIS_EXPANDED;
    item.pszText = reinterpret_cast<LPWSTR>(memory.At(sizeof(item)));
    item.cchTextMax = kTextUnits;
    const wchar_t empty = 0;
    if (!memory.Write(&item, sizeof(item)) || !memory.Write(&empty, sizeof(empty), sizeof(item)))
        return false;
    if (!SendMessageW(tree, TVM_GETITEMW, 0, memory.At()))
        return false;
    wchar_t text[kTextUnits] = {};
    if (!memory.Read(&item, sizeof(item)) || !memory.Read(text, sizeof(text) - sizeof(wchar_t), sizeof(item)))
        return false;
    entry.text = text;
    entry.image = item.iImage;
    entry.selectedImage = item.iSelectedImage;
    entry.bold = (item.state & TVIS_BOLD) != 0;
    entry.expanded = (item.state & TVIS_EXPANDED) != 0;
    return true;
}
} // namespace

std::vector<CTreeEntry> ReadTree(HWND tree)
{
    std::vector<CTreeEntry> entries;
    CRemoteMemory memory(tree, sizeof(TVITEMW) + kTextUnits * sizeof(wchar_t));
    if (!memory)
        return entries;
    // Depth first without recursion: the pending items in reverse order, with their depth.
    std::vector<std::pair<HTREEITEM, int>> pending;
    for (HTREEITEM top = NextTreeItem(tree, nullptr, TVGN_ROOT); top; top = NextTreeItem(tree, top, TVGN_NEXT))
        pending.insert(pending.begin(), {top, 0});
    while (!pending.empty()) {
        const auto [item, depth] = pending.back();
        pending.pop_back();
        CTreeEntry entry;
        entry.item = item;
        entry.depth = depth;
        if (!ReadTreeItem(tree, memory, entry))
            return {};
        entries.push_back(entry);
        std::vector<std::pair<HTREEITEM, int>> children;
        for (HTREEITEM child = NextTreeItem(tree, item, TVGN_CHILD); child;
             child = NextTreeItem(tree, child, TVGN_NEXT))
            children.emplace_back(child, depth + 1);
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return entries;
}

HTREEITEM SelectedTreeItem(HWND tree)
{
    return NextTreeItem(tree, nullptr, TVGN_CARET);
}

bool TreeItemRect(HWND tree, HTREEITEM item, bool textOnly, RECT& rect)
{
    CRemoteMemory memory(tree, sizeof(RECT));
    RECT query = {};
    memcpy(&query, &item, sizeof(item));
    if (!memory.Write(&query, sizeof(query)) || !SendMessageW(tree, TVM_GETITEMRECT, textOnly, memory.At()))
        return false;
    return memory.Read(&rect, sizeof(rect));
}

std::vector<CListRow> ReadListRows(HWND list)
{
    std::vector<CListRow> rows;
    CRemoteMemory memory(list, sizeof(LVITEMW) + kTextUnits * sizeof(wchar_t));
    if (!memory)
        return rows;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        CListRow read;
        for (int column = 0; column < static_cast<int>(read.texts.size()); ++column) {
            LVITEMW item = {};
            item.mask = LVIF_TEXT | (column == 0 ? LVIF_IMAGE : 0);
            item.iItem = row;
            item.iSubItem = column;
            item.pszText = reinterpret_cast<LPWSTR>(memory.At(sizeof(item)));
            item.cchTextMax = kTextUnits;
            const wchar_t empty = 0;
            if (!memory.Write(&item, sizeof(item)) || !memory.Write(&empty, sizeof(empty), sizeof(item)))
                return {};
            SendMessageW(list, LVM_GETITEMW, 0, memory.At());
            wchar_t text[kTextUnits] = {};
            if (!memory.Read(&item, sizeof(item)) || !memory.Read(text, sizeof(text) - sizeof(wchar_t), sizeof(item)))
                return {};
            read.texts[static_cast<size_t>(column)] = text;
            if (column == 0)
                read.image = item.iImage;
        }
        rows.push_back(read);
    }
    return rows;
}

std::vector<std::wstring> ListTitles(HWND list)
{
    std::vector<std::wstring> titles;
    for (const CListRow& row : ReadListRows(list))
        titles.push_back(row.texts[0]);
    return titles;
}

bool ListRowRect(HWND list, int row, RECT& rect)
{
    CRemoteMemory memory(list, sizeof(RECT));
    RECT asked = {};
    asked.left = LVIR_BOUNDS;
    return memory && memory.Write(&asked, sizeof asked) && SendMessageW(list, LVM_GETITEMRECT, row, memory.At()) &&
           memory.Read(&rect, sizeof rect);
}

bool SelectListRows(HWND list, std::initializer_list<int> rows)
{
    CRemoteMemory memory(list, sizeof(LVITEMW));
    if (!memory)
        return false;
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    bool done =
        memory.Write(&item, sizeof item) && SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), memory.At());
    bool first = true;
    for (int row : rows) {
        item.state = first ? LVIS_SELECTED | LVIS_FOCUSED : LVIS_SELECTED;
        first = false;
        done = done && memory.Write(&item, sizeof item) && SendMessageW(list, LVM_SETITEMSTATE, row, memory.At());
    }
    return done;
}

bool FindLinkPoint(HWND link, int index, POINT& point)
{
    RECT client = {};
    GetClientRect(link, &client);
    CRemoteMemory memory(link, sizeof(LHITTESTINFO));
    auto linkAt = [&](LONG x, LONG y) {
        LHITTESTINFO hit = {};
        hit.pt = {x, y};
        hit.item.mask = LIF_ITEMINDEX;
        hit.item.iLink = -1;
        if (!memory.Write(&hit, sizeof(hit)) || !SendMessageW(link, LM_HITTEST, 0, memory.At()) ||
            !memory.Read(&hit, sizeof(hit)))
            return -1;
        return hit.item.iLink;
    };
    // Links are counted in reading order, by the distinct numbers the control reports for
    // them (some versions number every piece of text). Every other pixel is looked at: a link
    // of one character is wider than that. The middle of the first run of hits on the link is
    // taken, away from its edges.
    std::vector<int> seen;
    for (LONG y = client.top + 1; y < client.bottom; y += 2) {
        LONG first = -1;
        LONG last = -1;
        for (LONG x = client.left; x < client.right; x += 2) {
            const int id = linkAt(x, y);
            if (id >= 0 && std::find(seen.begin(), seen.end(), id) == seen.end())
                seen.push_back(id);
            const bool onLink = id >= 0 && static_cast<int>(seen.size()) > index && id == seen[index];
            if (onLink) {
                if (first < 0)
                    first = x;
                last = x;
            } else if (first >= 0) {
                break;
            }
        }
        if (first >= 0) {
            point = {(first + last) / 2, y};
            return true;
        }
    }
    return false;
}

namespace {
// Runs xdotool with these arguments. Wine starts a program that is not a Windows one as a
// Unix process of its own, with the session's DISPLAY; it hands back no process handle, so
// the caller watches the effect rather than waiting for the program.
bool RunXdotool(std::wstring arguments)
{
    std::wstring commandLine = L"xdotool " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(L"Z:\\usr\\bin\\xdotool", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return false;
    if (info.hThread)
        CloseHandle(info.hThread);
    if (info.hProcess) {
        WaitForSingleObject(info.hProcess, 10000);
        CloseHandle(info.hProcess);
    }
    return true;
}
} // namespace

bool RealClick(POINT screenPoint)
{
    return RunXdotool(L"mousemove --sync " + std::to_wstring(screenPoint.x) + L" " + std::to_wstring(screenPoint.y) +
                      L" click 1");
}

bool RealDrag(POINT from, POINT to, int button, const std::wstring& keys, std::chrono::milliseconds rest)
{
    // xdotool's sleep takes seconds; half the rest before a last small move, half after it.
    wchar_t half[32];
    swprintf(half, 32, L" sleep %.3f", static_cast<double>(rest.count()) / 2000.0);
    const auto at = [](LONG x, LONG y) {
        return L" mousemove --sync " + std::to_wstring(x) + L" " + std::to_wstring(y);
    };
    const std::wstring b = std::to_wstring(button);
    std::wstring arguments = at(from.x, from.y) + L" sleep 0.2 mousedown " + b + L" sleep 0.3" +
                             at(from.x + 6, from.y + 6) + L" sleep 0.3" + at(from.x + 12, from.y + 12) + L" sleep 0.3";
    // Held once the drag runs, as a user presses Ctrl to copy: held at the press, it would
    // change the selection instead.
    if (!keys.empty())
        arguments += L" keydown " + keys;
    arguments += at((from.x + to.x) / 2, (from.y + to.y) / 2) + L" sleep 0.3" + at(to.x, to.y) + half +
                 at(to.x + 1, to.y) + half + L" mouseup " + b;
    if (!keys.empty())
        arguments += L" sleep 0.2 keyup " + keys;
    return RunXdotool(arguments);
}

bool RealPress(POINT screenPoint, int button)
{
    return RunXdotool(L"mousemove --sync " + std::to_wstring(screenPoint.x) + L" " + std::to_wstring(screenPoint.y) +
                      L" sleep 0.2 mousedown " + std::to_wstring(button));
}

bool RealMoveAndRelease(POINT screenPoint, int button)
{
    const auto at = [](LONG x, LONG y) {
        return L" mousemove --sync " + std::to_wstring(x) + L" " + std::to_wstring(y);
    };
    return RunXdotool(L"sleep 0.5" + at(screenPoint.x - 20, screenPoint.y - 20) + L" sleep 0.3" +
                      at(screenPoint.x, screenPoint.y) + L" sleep 0.5" + at(screenPoint.x + 1, screenPoint.y) +
                      L" sleep 0.5 mouseup " + std::to_wstring(button));
}

bool RealDoubleClick(POINT screenPoint)
{
    return RunXdotool(L"mousemove --sync " + std::to_wstring(screenPoint.x) + L" " + std::to_wstring(screenPoint.y) +
                      L" click --repeat 2 --delay 80 1");
}

bool RealKeys(const std::wstring& keys)
{
    return RunXdotool(L"key --delay 40 " + keys);
}

bool RealClickInto(HWND window, POINT screenPoint)
{
    HWND top = GetAncestor(window, GA_ROOT);
    return RealClick(screenPoint) && PollFor(5s, [&] { return RoundTrip(top) && GetForegroundWindow() == top; });
}

bool RenameListRow(HWND list, int row, const std::wstring& title)
{
    auto edit = reinterpret_cast<HWND>(SendMessageW(list, LVM_EDITLABELW, row, 0));
    if (!edit)
        return false;
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
    // Through the tool's message loop, as a key press comes.
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(edit, WM_KEYUP, VK_RETURN, 0xC0000001);
    RoundTrip(list);
    return PollFor(5s, [&] { return !IsWindow(edit); });
}

bool RenameTreeItem(HWND tree, HTREEITEM item, const std::wstring& title)
{
    if (!SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)))
        return false;
    RECT label = {};
    if (!TreeItemRect(tree, item, true, label))
        return false;
    const LPARAM at = MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(tree, WM_LBUTTONUP, 0, at);
    RoundTrip(tree);
    // The click on the selected item arms the tool's rename and starts the tree's own edit
    // timer: the edit opens by itself after the double-click time, as it does for the user.
    HWND edit = nullptr;
    PollFor(5s, [&] {
        edit = reinterpret_cast<HWND>(SendMessageW(tree, TVM_GETEDITCONTROL, 0, 0));
        return edit != nullptr;
    });
    if (!edit)
        return false;
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
    SendMessageW(tree, TVM_ENDEDITLABELNOW, FALSE, 0);
    return !IsWindow(edit) || PollFor(5s, [&] { return !IsWindow(edit); });
}

std::vector<uint32_t> CaptureScreen(const RECT& rect)
{
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    std::vector<uint32_t> pixels;
    if (w <= 0 || h <= 0)
        return pixels;
    CWindowDCHandle screen(nullptr);
    CMemoryDCHandle memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    CBitmapHandle dib(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits)
        return pixels;
    CSelectObject selected(memory.get(), dib.get());
    if (!BitBlt(memory.get(), 0, 0, w, h, screen.get(), rect.left, rect.top, SRCCOPY))
        return pixels;
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    pixels.assign(p, p + static_cast<size_t>(w) * h);
    for (uint32_t& pixel : pixels)
        pixel &= 0x00FFFFFF;
    return pixels;
}
