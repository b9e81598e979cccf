#include "XNode.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <unordered_set>

#include "ItemText.h"
#include "Platform.h"

// ---- Run-time classes ----------------------------------------------------------------

namespace {
CXNode* CreateNode()
{
    return new CXNode;
}
CXNode* CreateItem()
{
    return new CXItem;
}
CXNode* CreateTextItem()
{
    return new CXTextItem;
}
CXNode* CreateSeparator()
{
    return new CXSeparator;
}
CXNode* CreateParent()
{
    return new CXParent;
}
} // namespace

// A plain CXNode can be named by an archive: it reads as an inert node without title or
// image, which a submenu keeps but does not clone. Roots are made by the programs only.
const CXRuntimeClass CXNode::classInfo = {"CXNode", 1, nullptr, &CreateNode};
const CXRuntimeClass CXItem::classInfo = {"CXItem", 1, &CXNode::classInfo, &CreateItem};
const CXRuntimeClass CXTextItem::classInfo = {"CXTextItem", 1, &CXItem::classInfo, &CreateTextItem};
const CXRuntimeClass CXSeparator::classInfo = {"CXSeparator", 1, &CXNode::classInfo, &CreateSeparator};
const CXRuntimeClass CXParent::classInfo = {"CXParent", 1, &CXNode::classInfo, &CreateParent};
const CXRuntimeClass CXRoot::classInfo = {"CXRoot", 1, &CXParent::classInfo, nullptr};

bool CXRuntimeClass::IsDerivedFrom(const CXRuntimeClass* base) const
{
    for (const CXRuntimeClass* cls = this; cls; cls = cls->baseClass) {
        if (cls == base)
            return true;
    }
    return false;
}

const CXRuntimeClass* CXRuntimeClass::FromName(std::string_view name)
{
    static const CXRuntimeClass* const kCreatable[] = {&CXNode::classInfo, &CXItem::classInfo, &CXTextItem::classInfo,
                                                       &CXSeparator::classInfo, &CXParent::classInfo};
    for (const CXRuntimeClass* cls : kCreatable) {
        if (name == cls->className)
            return cls;
    }
    return nullptr;
}

// ---- CXNode ---------------------------------------------------------------------------

CXNode* CXNode::Clone() const
{
    return nullptr;
}
std::wstring CXNode::GetTitle() const
{
    return std::wstring();
}
std::wstring CXNode::GetMenuText() const
{
    return GetTitle();
}
void CXNode::SetTitle(const std::wstring&) {}
int CXNode::GetImageIndex() const
{
    return 0;
}

CXRoot* CXNode::GetRoot()
{
    CXNode* top = this;
    while (top->parent)
        top = top->parent;
    return XDynamicCast<CXRoot>(top);
}

bool CXNode::SaveTree()
{
    CXRoot* root = GetRoot();
    return root ? root->SaveTree() : false;
}

void CXNode::UpdateTreeImages()
{
    if (CXRoot* root = GetRoot())
        root->UpdateImages();
}

void CXNode::UpdateImages() {}

bool CXNode::ForEach(XNodeCallback callback, intptr_t a, intptr_t b)
{
    return callback(this, a, b) != 0;
}

bool CXNode::IsDescendantOf(const CXNode* node) const
{
    if (!XDynamicCast<CXParent>(node))
        return false;
    for (const CXNode* ancestor = parent; ancestor; ancestor = ancestor->parent) {
        if (ancestor == node)
            return true;
    }
    return false;
}

// ---- CXItem ---------------------------------------------------------------------------

void CXItem::CopyItemFields(CXItem& to) const
{
    to.imageIndex = imageIndex;
    to.title = title;
    to.accelerator = accelerator;
    to.path = path;
    to.parameters = parameters;
    to.workingFolder = workingFolder;
    to.reservedFlag = reservedFlag;
    to.showCommand = showCommand;
    to.expandEnvironment = expandEnvironment;
    to.hotKey = hotKey;
    to.isInternal = isInternal;
    to.pendingShortcut = pendingShortcut;
    to.pendingUrlData = pendingUrlData;
}

CXNode* CXItem::Clone() const
{
    auto* copy = new CXItem;
    CopyItemFields(*copy);
    return copy;
}

std::wstring CXItem::GetTitle() const
{
    return title;
}
std::wstring CXItem::GetMenuText() const
{
    return BuildMenuText(title, accelerator);
}
void CXItem::SetTitle(const std::wstring& text)
{
    title = text;
}
int CXItem::GetImageIndex() const
{
    return imageIndex;
}

std::wstring CXItem::ExpandedPath() const
{
    return expandEnvironment ? ExpandReferences(path) : path;
}
std::wstring CXItem::ExpandedParameters() const
{
    return expandEnvironment ? ExpandReferences(parameters) : parameters;
}
std::wstring CXItem::ExpandedWorkingFolder() const
{
    return expandEnvironment ? ExpandReferences(workingFolder) : workingFolder;
}

void CXItem::UpdateImages()
{
    // Computed once; the settings tool resets it to -1 after editing the item.
    if (imageIndex >= 0)
        return;
    std::wstring expanded = ExpandedPath();
    imageIndex = expanded.empty() ? 0 : Platform().IconIndexFor(isInternal != 0, expanded);
}

bool CXItem::Execute(std::wstring* errorText)
{
    if (path.empty()) {
        if (errorText)
            *errorText = L"ファイル名が指定されていません。";
        return false;
    }
    std::wstring file = ExpandedPath();
    std::wstring arguments = ExpandedParameters();
    std::wstring folder = ExpandedWorkingFolder();
    int show = ShowCommandToSw(showCommand);

    // Shortcuts made from dropped shell objects may have no file-system target; their
    // identifier list opens them the way the shell would. Any failure there falls back
    // to opening the shortcut file itself.
    if (isInternal && EndsWithExtension(path, L".lnk") && Platform().ShellExecuteIdList(file, arguments, folder, show))
        return true;

    intptr_t result = Platform().ShellOpen(file, arguments, folder, show);
    if (result > 32)
        return true;
    if (errorText)
        *errorText = ShellExecuteErrorText(result);
    return false;
}

XBitmap CXItem::CreateMenuBitmap(XDeviceContext dc, int cx, int cy) const
{
    return Platform().CreateMenuBitmap(dc, cx, cy, imageIndex);
}

bool CXItem::ExpandShortcut()
{
    std::wstring file = ExpandedPath();
    if (!EndsWithExtension(file, L".lnk"))
        return false;

    CShortcutInfo info;
    bool read = Platform().ReadShortcut(file, info);
    // The flags are judged even when a later field could not be read, so that the user
    // learns why an administrator shortcut is left as it is.
    if (info.flagsKnown) {
        if (info.flags & kLinkRunAsUser) {
            Platform().ShowMessage(L"「管理者として実行」するショートカットは展開できません。");
            return false;
        }
        if (info.flags & kLinkHasDarwinId)
            return false;
    }
    if (!read || info.target.empty())
        return false;

    if (EndsWithExtension(title, L".lnk"))
        title.resize(title.size() - 4);
    path = info.target;
    parameters = info.arguments;
    workingFolder = info.workingFolder;
    showCommand = SwToShowCommand(info.showCommand);
    SetDefaultTitle();
    return true;
}

void CXItem::SetDefaultTitle()
{
    if (!title.empty())
        return;
    std::wstring name;
    if (Platform().GetShellDisplayName(path, name))
        title = name;
    if (title.empty())
        title = TitleFromPath(path);
}

std::wstring CXItem::GetPathDisplay() const
{
    if (!isInternal)
        return path;
    std::wstring file = ExpandedPath();
    if (EndsWithExtension(file, L".lnk")) {
        std::wstring name;
        return Platform().GetShortcutTargetDisplayName(file, name) ? name : std::wstring();
    }
    if (EndsWithExtension(file, L".url"))
        return L"(URL)";
    return std::wstring();
}

// ---- CXTextItem -----------------------------------------------------------------------

CXNode* CXTextItem::Clone() const
{
    auto* copy = new CXTextItem;
    CopyItemFields(*copy);
    copy->summary = summary;
    copy->text = text;
    return copy;
}

std::wstring CXTextItem::GetTitle() const
{
    return title.empty() ? DefaultTextItemTitle(summary) : title;
}
std::wstring CXTextItem::GetMenuText() const
{
    return BuildMenuText(GetTitle(), accelerator);
}
void CXTextItem::UpdateImages()
{
    imageIndex = 5;
}

bool CXTextItem::Execute(std::wstring* errorText)
{
    std::wstring value = GetText();
    if (!value.empty() && Platform().CopyTextToClipboard(value))
        return true;
    if (errorText)
        *errorText = L"クリップボードに書き込めません。";
    return false;
}

std::wstring CXTextItem::GetText() const
{
    if (!isInternal)
        return text;
    std::vector<uint8_t> bytes;
    if (!Platform().ReadWholeFile(ExpandedPath(), bytes))
        return std::wstring();
    std::wstring value(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < value.size(); ++i)
        value[i] = static_cast<wchar_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return value;
}

void CXTextItem::SetText(const std::wstring& value)
{
    if (value.size() <= kMaxInlineTextLength) {
        isInternal = 0;
        path.clear();
        text = value;
    } else {
        text.clear();
        isInternal = 1;
        std::wstring fileName = Platform().NewGuidString() + L".lnk";
        path = std::wstring(kLinksReference) + L"\\" + fileName;
        std::vector<uint8_t> bytes;
        bytes.reserve(value.size() * 2);
        for (wchar_t c : value) {
            bytes.push_back(static_cast<uint8_t>(c & 0xFF));
            bytes.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
        }
        // The item keeps its new path even when the file is missing: copying then fails
        // visibly instead of copying a stale text.
        if (!Platform().WriteWholeFile(JoinPath(Platform().LinksFolder(), fileName), bytes.data(), bytes.size()))
            Platform().ShowMessage(L"内部ファイルに書き込めません。");
    }
    if (!value.empty())
        summary = BuildSummary(value);
}

// ---- CXSeparator ----------------------------------------------------------------------

CXNode* CXSeparator::Clone() const
{
    return new CXSeparator;
}
std::wstring CXSeparator::GetTitle() const
{
    return L"----------";
}

// ---- CXParent -------------------------------------------------------------------------

CXParent::~CXParent()
{
    DeleteChildren();
}

CXNode* CXParent::Clone() const
{
    auto* copy = new CXParent;
    copy->title = title;
    copy->accelerator = accelerator;
    copy->children.reserve(children.size());
    for (const CXNode* child : children) {
        CXNode* childCopy = child->Clone();
        if (!childCopy)
            continue; // a plain CXNode has nothing worth copying
        childCopy->SetParent(copy);
        copy->children.push_back(childCopy);
    }
    return copy;
}

std::wstring CXParent::GetTitle() const
{
    return title;
}
std::wstring CXParent::GetMenuText() const
{
    return BuildMenuText(title, accelerator);
}
void CXParent::SetTitle(const std::wstring& text)
{
    title = text;
}
int CXParent::GetImageIndex() const
{
    return 1;
}

void CXParent::UpdateImages()
{
    for (CXNode* child : children)
        child->UpdateImages();
}

bool CXParent::ForEach(XNodeCallback callback, intptr_t a, intptr_t b)
{
    if (!callback(this, a, b))
        return false;
    // Indexed: a callback may append to the list it is walking.
    for (size_t i = 0; i < children.size(); ++i) {
        if (!children[i]->ForEach(callback, a, b))
            return false;
    }
    return true;
}

void CXParent::InsertChild(size_t index, CXNode* node)
{
    assert(node && node != this && index <= children.size());
    if (index > children.size())
        index = children.size();
    children.insert(children.begin() + static_cast<std::ptrdiff_t>(index), node);
    node->SetParent(this);
}

void CXParent::RemoveChildren(const std::vector<CXNode*>& nodes)
{
    // A set: a drop of thousands of entries may be taken back at once.
    const std::unordered_set<const CXNode*> removed(nodes.begin(), nodes.end());
    std::erase_if(children, [&removed](CXNode* child) { return removed.contains(child); });
}

void CXParent::DeleteChildren()
{
    // Detached first, so that a deleting child never sees a half-emptied list.
    std::vector<CXNode*> doomed;
    doomed.swap(children);
    for (CXNode* child : doomed)
        delete child;
}

// ---- CXRoot ---------------------------------------------------------------------------

std::wstring CXRoot::GetTitle() const
{
    return L"メニュー";
}
bool CXRoot::SaveTree()
{
    return Save();
}
bool CXRoot::ForEachInTree(XNodeCallback callback, intptr_t a, intptr_t b)
{
    return ForEach(callback, a, b);
}
