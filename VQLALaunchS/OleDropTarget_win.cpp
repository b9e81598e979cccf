#include "OleDropTarget_win.h"

#include <shlobj.h>

#include <vector>

#include "ForeignData_win.h"
#include "ItemText.h"
#include "OleDragSource_win.h"
#include "Resource.h"
#include "SentRecord.h"
#include "VQLALaunchSApp.h"
#include "ViewRules.h"
#include "WinHandles.h"

namespace {
const wchar_t kMessageLinkFileFailed[] = L"内部ショートカットファイルを作れません。";

// A new internal-link file name: a new GUID in registry form and the extension.
std::wstring NewLinkFileName(const wchar_t* extension)
{
    GUID guid = {};
    wchar_t text[64] = {};
    if (FAILED(CoCreateGuid(&guid)) || StringFromGUID2(guid, text, 64) == 0)
        return {};
    return std::wstring(text) + extension;
}

bool WriteNewFile(const std::wstring& path, const std::vector<uint8_t>& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        bytes.empty() ||
        (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size());
    CloseHandle(file);
    if (!ok)
        DeleteFileW(path.c_str());
    return ok;
}

// The pending link data of a new item written as its internal file; the item's path then
// names it.
bool CreateLinkFile(CXItem& item)
{
    const std::wstring& folder = App().linksFolder;
    if (item.pendingShortcut) {
        auto* link = static_cast<IShellLinkW*>(item.pendingShortcut.get());
        CComPtr<IPersistFile> file;
        const std::wstring name = NewLinkFileName(L".lnk");
        if (name.empty() || FAILED(link->QueryInterface(IID_IPersistFile, file.put_void())))
            return false;
        item.path = std::wstring(kLinksReference) + L"\\" + name;
        if (FAILED(file->Save(JoinPath(folder, name).c_str(), TRUE)))
            return false;
        item.pendingShortcut.reset();
        return true;
    }
    if (item.pendingUrlData) {
        const std::wstring name = NewLinkFileName(L".url");
        if (name.empty())
            return false;
        item.path = std::wstring(kLinksReference) + L"\\" + name;
        if (!WriteNewFile(JoinPath(folder, name), *item.pendingUrlData))
            return false;
        item.pendingUrlData.reset();
        return true;
    }
    return true;
}
} // namespace

CVQLAOleDropTarget* CVQLAOleDropTarget::Register(HWND view, CVQLAOleDropTargetWnd& operations)
{
    auto* target = new CVQLAOleDropTarget(view, operations);
    target->registered = SUCCEEDED(RegisterDragDrop(view, target));
    if (!target->registered) {
        target->Release();
        return nullptr;
    }
    return target;
}

void CVQLAOleDropTarget::Revoke()
{
    if (registered)
        RevokeDragDrop(view);
    registered = false;
    ClearIncoming();
    Release();
}

CVQLAOleDropTarget::CVQLAOleDropTarget(HWND view, CVQLAOleDropTargetWnd& operations)
    : view(view), operations(operations), lastScroll(GetTickCount())
{
    InternalDragFormat();
}

CVQLAOleDropTarget::~CVQLAOleDropTarget()
{
    incoming.DeleteChildren();
}

POINT CVQLAOleDropTarget::ClientPoint(POINTL screen) const
{
    POINT point = {screen.x, screen.y};
    ScreenToClient(view, &point);
    return point;
}

void CVQLAOleDropTarget::ClearIncoming()
{
    incoming.DeleteChildren();
}

void CVQLAOleDropTarget::ScrollNear(POINT point)
{
    if (dataKind == XDataKind::None)
        return;
    const uint32_t now = GetTickCount();
    if (!ScrollDue(now, lastScroll))
        return;
    RECT client = {};
    GetClientRect(view, &client);
    const CDragScroll scroll = DragScrollOf(point.x, point.y, client.left, client.top, client.right, client.bottom,
                                            GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    if (scroll.up)
        SendMessageW(view, WM_VSCROLL, SB_LINEUP, 0);
    if (scroll.down)
        SendMessageW(view, WM_VSCROLL, SB_LINEDOWN, 0);
    if (scroll.left)
        SendMessageW(view, WM_HSCROLL, SB_LINELEFT, 0);
    if (scroll.right)
        SendMessageW(view, WM_HSCROLL, SB_LINERIGHT, 0);
    lastScroll = now;
}

HRESULT STDMETHODCALLTYPE CVQLAOleDropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    const DWORD allowed = *effect;
    *effect = DROPEFFECT_NONE;
    ClearIncoming();
    dataKind = XDataKind::None;
    if (data) {
        if (ReadForeignData(data, incoming))
            dataKind = XDataKind::Foreign;
        else if (ReadInternalData(data, incoming))
            dataKind = XDataKind::Internal;
    }
    rightButtonDrag = (keys & MK_RBUTTON) != 0;
    if (dataKind == XDataKind::None)
        return S_OK;
    const POINT at = ClientPoint(point);
    ScrollNear(at);
    const DWORD suggested = FilterDropEffect(SuggestedDropEffect(dataKind, keys), allowed);
    *effect = FilterDropEffect(operations.DragEnter(dataKind, incoming, suggested, keys, at), allowed);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVQLAOleDropTarget::DragOver(DWORD keys, POINTL point, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    const DWORD allowed = *effect;
    *effect = DROPEFFECT_NONE;
    if (dataKind == XDataKind::None)
        return S_OK;
    const POINT at = ClientPoint(point);
    ScrollNear(at);
    const DWORD suggested = FilterDropEffect(SuggestedDropEffect(dataKind, keys), allowed);
    *effect = FilterDropEffect(operations.DragOver(dataKind, incoming, suggested, keys, at), allowed);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVQLAOleDropTarget::DragLeave()
{
    if (dataKind != XDataKind::None)
        operations.DragLeave();
    dataKind = XDataKind::None;
    ClearIncoming();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVQLAOleDropTarget::Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect)
{
    (void)data; // read when the drag entered
    if (!effect)
        return E_INVALIDARG;
    const DWORD allowed = *effect;
    *effect = DROPEFFECT_NONE;
    if (dataKind == XDataKind::None)
        return S_OK;
    if (dataKind == XDataKind::Foreign)
        CreateLinkFiles();
    const DWORD suggested = FilterDropEffect(SuggestedDropEffect(dataKind, keys), allowed);
    *effect = operations.Drop(dataKind, incoming, suggested, allowed, ClientPoint(point));
    dataKind = XDataKind::None;
    ClearIncoming();
    return S_OK;
}

void CVQLAOleDropTarget::CreateLinkFiles()
{
    for (size_t i = incoming.children.size(); i-- > 0;) {
        auto* item = XDynamicCast<CXItem>(incoming.children[i]);
        if (!item)
            continue;
        if (auto* textItem = XDynamicCast<CXTextItem>(item)) {
            // A long text goes into its internal file now that it stays.
            if (!textItem->isInternal && textItem->text.size() > kMaxInlineTextLength)
                textItem->SetText(std::wstring(textItem->text));
            continue;
        }
        if (CreateLinkFile(*item))
            continue;
        MessageBoxW(GetAncestor(view, GA_ROOT), kMessageLinkFileFailed, kToolAppName, MB_OK);
        incoming.RemoveChildren({item});
        delete item;
    }
}

DWORD CVQLAOleDropTarget::ChooseDropEffect(DWORD suggested, DWORD allowed, POINT point)
{
    if (!rightButtonDrag) {
        const DWORD chosen = LeftButtonDropEffect(dataKind, suggested, allowed);
        return chosen;
    }
    CMenuHandle menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_DROP_MENU)));
    HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup)
        return DROPEFFECT_NONE;
    const CDropMenuState state = DropMenuStateOf(dataKind, allowed);
    EnableMenuItem(popup, ID_DROP_COPY, MF_BYCOMMAND | (state.copy ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(popup, ID_DROP_MOVE, MF_BYCOMMAND | (state.move ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(popup, ID_DROP_LINK, MF_BYCOMMAND | (state.link ? MF_ENABLED : MF_GRAYED));
    POINT screen = point;
    ClientToScreen(view, &screen);
    const int command = static_cast<int>(
        TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, screen.x, screen.y, 0, view, nullptr));
    return EffectOfDropCommand(command);
}

bool InsertDropped(HWND view, DWORD effect, CXParent& incoming, CXParent& target, int position)
{
    if (effect == DROPEFFECT_COPY)
        StripHotKeys(incoming);
    HWND dialog = GetParent(view);
    const bool fromPalette = SendMessageW(dialog, UM_IS_PALETTE_DRAG, 0, 0) != 0;
    if (position < 0 || position > static_cast<int>(target.children.size()))
        position = static_cast<int>(target.children.size());
    std::vector<CXNode*> inserted;
    for (CXNode* node : incoming.children) {
        CXNode* copy = node->Clone();
        if (!copy)
            continue;
        // Icons are looked up as the views first draw the new entries.
        target.InsertChild(static_cast<size_t>(position) + inserted.size(), copy);
        inserted.push_back(copy);
    }
    if (inserted.empty())
        return false;
    const auto tell = [&](XNoticeKind kind) {
        CChangeNotice notice;
        notice.kind = kind;
        notice.parent = &target;
        notice.index = position;
        notice.count = static_cast<int>(inserted.size());
        notice.nodes = inserted;
        CSentRecord<CChangeNotice> sent(notice);
        SendMessageW(dialog, UM_NODES_CHANGED, static_cast<WPARAM>(GetDlgCtrlID(view)), sent.Param());
    };
    tell(XNoticeKind::Inserted);
    if (!target.SaveTree()) {
        // The store keeps the menu as it was (its message has been shown): so do the views.
        target.RemoveChildren(inserted);
        tell(XNoticeKind::Removed);
        for (CXNode* node : inserted)
            delete node;
        return false;
    }
    // New entries of the palette are opened for editing once the drop is over.
    if (fromPalette) {
        for (CXNode* node : inserted)
            PostMessageW(view, UM_EDIT_NEW_NODE, 0, reinterpret_cast<LPARAM>(node));
    }
    return true;
}
