#include "ForeignData_win.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <memory>
#include <string>
#include <vector>

#include "DropRules.h"
#include "ItemText.h"
#include "MenuStore.h"
#include "OleDragSource_win.h"
#include "WinHandles.h"
#include "XNode.h"

namespace {
// A medium released when it goes.
class CMedium {
public:
    CMedium() = default;
    ~CMedium()
    {
        if (filled)
            ReleaseStgMedium(&medium);
    }
    CMedium(const CMedium&) = delete;
    CMedium& operator=(const CMedium&) = delete;

    // The data of a format as a global block or, where allowed, a stream.
    bool Get(IDataObject* data, UINT format, LONG index = -1, DWORD tymed = TYMED_HGLOBAL)
    {
        if (!format)
            return false;
        FORMATETC wanted = {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, index, tymed};
        filled = SUCCEEDED(data->GetData(&wanted, &medium));
        return filled;
    }
    STGMEDIUM& Medium() { return medium; }
    // The bytes of a global block; false for another medium.
    bool Bytes(std::vector<uint8_t>& bytes) const
    {
        if (!filled || medium.tymed != TYMED_HGLOBAL || !medium.hGlobal)
            return false;
        const SIZE_T size = GlobalSize(medium.hGlobal);
        const void* source = GlobalLock(medium.hGlobal);
        if (!source)
            return false;
        const auto* first = static_cast<const uint8_t*>(source);
        bytes.assign(first, first + size);
        GlobalUnlock(medium.hGlobal);
        return true;
    }

private:
    STGMEDIUM medium = {};
    bool filled = false;
};

UINT Format(const wchar_t* name)
{
    return RegisterClipboardFormatW(name);
}

// Text of a global block up to its first NUL; wide text as UTF-16, other text in the
// system's ANSI code page.
std::wstring WideText(const std::vector<uint8_t>& bytes)
{
    std::wstring text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    return text;
}
std::wstring AnsiText(const std::vector<uint8_t>& bytes)
{
    size_t length = 0;
    while (length < bytes.size() && bytes[length] != 0)
        ++length;
    if (length == 0)
        return {};
    const char* first = reinterpret_cast<const char*>(bytes.data());
    const int units = MultiByteToWideChar(CP_ACP, 0, first, static_cast<int>(length), nullptr, 0);
    std::wstring text(static_cast<size_t>(units > 0 ? units : 0), L'\0');
    if (units > 0)
        MultiByteToWideChar(CP_ACP, 0, first, static_cast<int>(length), text.data(), units);
    return text;
}

void Append(CXParent& incoming, CXNode* node)
{
    incoming.InsertChild(incoming.children.size(), node);
}

CXItem* NewFileItem(const std::wstring& path)
{
    auto* item = new CXItem;
    item->path = path;
    item->SetDefaultTitle();
    return item;
}

std::wstring DisplayName(IShellFolder* folder, LPCITEMIDLIST child, SHGDNF how, bool& ok)
{
    STRRET name = {};
    ok = false;
    if (FAILED(folder->GetDisplayNameOf(child, how, &name)))
        return {};
    wchar_t* text = nullptr;
    // StrRetToStrW frees a wide result and converts an ANSI one from the system code page.
    if (FAILED(StrRetToStrW(&name, child, &text)) || !text)
        return {};
    std::wstring result = text;
    CoTaskMemFree(text);
    ok = true;
    return result;
}

void ConvertShellObjects(IDataObject* data, CXParent& incoming)
{
    CMedium medium;
    std::vector<uint8_t> bytes;
    if (!medium.Get(data, Format(CFSTR_SHELLIDLIST)) || !medium.Bytes(bytes))
        return;
    const std::optional<CIdListArray> lists = ParseIdListArray(bytes.data(), bytes.size());
    if (!lists)
        return;
    CComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.put())))
        return;
    const auto* parentList = reinterpret_cast<LPCITEMIDLIST>(lists->parent.data());
    CComPtr<IShellFolder> folder;
    if (parentList->mkid.cb != 0) {
        if (FAILED(desktop->BindToObject(parentList, nullptr, IID_IShellFolder, folder.put_void())))
            return;
    } else {
        folder = std::move(desktop);
    }
    for (const std::vector<uint8_t>& childBytes : lists->children) {
        const auto* child = reinterpret_cast<LPCITEMIDLIST>(childBytes.data());
        SFGAOF attributes = SFGAO_CANLINK | SFGAO_FILESYSTEM;
        if (FAILED(folder->GetAttributesOf(1, &child, &attributes)) || !(attributes & SFGAO_CANLINK))
            continue;
        bool ok = false;
        if (attributes & SFGAO_FILESYSTEM) {
            const std::wstring path = DisplayName(folder.get(), child, SHGDN_FORPARSING, ok);
            if (ok)
                Append(incoming, NewFileItem(path));
            continue;
        }
        // No file of its own (a Control Panel item): a shortcut to it is written at the drop.
        IShellLinkW* link = nullptr;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    reinterpret_cast<void**>(&link))) ||
            !link)
            continue;
        auto item = std::make_unique<CXItem>();
        item->isInternal = 1;
        item->pendingShortcut = std::shared_ptr<void>(link, [](void* p) { static_cast<IShellLinkW*>(p)->Release(); });
        if (LPITEMIDLIST whole = ILCombine(parentList, child)) {
            link->SetIDList(whole);
            ILFree(whole);
        }
        const std::wstring title = DisplayName(folder.get(), child, SHGDN_NORMAL, ok);
        if (ok)
            item->title = title;
        Append(incoming, item.release());
    }
}

void ConvertFileList(IDataObject* data, CXParent& incoming)
{
    CMedium medium;
    if (!medium.Get(data, CF_HDROP) || medium.Medium().tymed != TYMED_HGLOBAL)
        return;
    auto drop = static_cast<HDROP>(medium.Medium().hGlobal);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        wchar_t name[MAX_PATH + 1] = {};
        if (DragQueryFileW(drop, i, name, MAX_PATH) > 0)
            Append(incoming, NewFileItem(name));
    }
}

// The bytes of "FileContents" for one descriptor, from a global block or a stream.
bool FileContents(IDataObject* data, LONG index, std::vector<uint8_t>& bytes)
{
    CMedium medium;
    if (!medium.Get(data, Format(CFSTR_FILECONTENTS), index, TYMED_HGLOBAL | TYMED_ISTREAM))
        return false;
    if (medium.Medium().tymed == TYMED_HGLOBAL)
        return medium.Bytes(bytes);
    if (medium.Medium().tymed != TYMED_ISTREAM || !medium.Medium().pstm)
        return false;
    IStream* stream = medium.Medium().pstm;
    STATSTG stat = {};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart > 0x10000000)
        return false;
    const LARGE_INTEGER start = {};
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)))
        return false;
    bytes.resize(static_cast<size_t>(stat.cbSize.QuadPart));
    ULONG read = 0;
    if (!bytes.empty() &&
        (FAILED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read)) || read != bytes.size()))
        return false;
    return true;
}

void ConvertUrls(IDataObject* data, CXParent& incoming)
{
    {
        CMedium medium;
        std::vector<uint8_t> bytes;
        if (medium.Get(data, Format(CFSTR_FILEDESCRIPTORW)) && medium.Bytes(bytes)) {
            for (const CFileDescriptorName& descriptor : ParseFileGroupDescriptorW(bytes.data(), bytes.size())) {
                const std::optional<std::wstring> title = UrlFileTitle(descriptor.name);
                if (!title)
                    continue;
                auto contents = std::make_shared<std::vector<uint8_t>>();
                if (!FileContents(data, static_cast<LONG>(descriptor.index), *contents))
                    continue;
                auto* item = new CXItem;
                item->isInternal = 1;
                item->title = *title;
                item->pendingUrlData = std::move(contents);
                Append(incoming, item);
            }
        }
    }
    if (!incoming.children.empty())
        return;
    std::wstring url;
    {
        CMedium medium;
        std::vector<uint8_t> bytes;
        if (medium.Get(data, Format(CFSTR_INETURLW)) && medium.Bytes(bytes))
            url = WideText(bytes);
    }
    {
        CMedium medium;
        std::vector<uint8_t> bytes;
        if (medium.Get(data, Format(CFSTR_INETURLA)) && medium.Bytes(bytes))
            url = AnsiText(bytes);
    }
    if (url.empty())
        return;
    auto* item = new CXItem;
    item->title = url;
    item->path = url;
    Append(incoming, item);
}

void ConvertText(IDataObject* data, CXParent& incoming)
{
    CMedium medium;
    std::vector<uint8_t> bytes;
    if (!medium.Get(data, CF_UNICODETEXT) || !medium.Bytes(bytes))
        return;
    const std::wstring text = WideText(bytes);
    if (text.empty())
        return;
    // Held inline while it is only dragged over; a long text gets its internal file when it
    // is dropped.
    auto* item = new CXTextItem;
    item->text = text;
    item->summary = BuildSummary(text);
    Append(incoming, item);
}
} // namespace

bool ReadInternalData(IDataObject* data, CXParent& incoming)
{
    incoming.DeleteChildren();
    CMedium medium;
    std::vector<uint8_t> bytes;
    if (!medium.Get(data, InternalDragFormat()) || !medium.Bytes(bytes))
        return false;
    if (LoadFromTransfer(incoming, bytes))
        return true;
    incoming.DeleteChildren();
    return false;
}

bool ReadForeignData(IDataObject* data, CXParent& incoming)
{
    for (void (*convert)(IDataObject*, CXParent&) : {ConvertShellObjects, ConvertFileList, ConvertUrls, ConvertText}) {
        incoming.DeleteChildren();
        convert(data, incoming);
        if (!incoming.children.empty())
            return true;
    }
    return false;
}
