#include "ViewRules.h"

#include <algorithm>
#include <unordered_set>

namespace {
const std::array<CListColumn, kListColumnCount> kColumns = {{
    {L"タイトル", L"Title", 40},
    {L"", L"Accel", 8},
    {L"ホットキー", L"HotKey", 20},
    {L"ファイル名", L"FileName", 40},
    {L"パラメータ", L"Parameter", 40},
    {L"作業フォルダ", L"Directory", 40},
}};

// The removed nodes, for look-ups that stay cheap when thousands are removed at once.
std::unordered_set<const CXNode*> NodeSet(const std::vector<CXNode*>& nodes)
{
    return {nodes.begin(), nodes.end()};
}
} // namespace

const std::array<CListColumn, kListColumnCount>& ListColumns()
{
    return kColumns;
}

std::wstring ColumnWidthValueName(const std::wstring& listName, int column)
{
    return L"ColWidth" + listName + kColumns.at(static_cast<size_t>(column)).key;
}

std::wstring AcceleratorColumnText(const std::wstring& accelerator)
{
    if (accelerator.empty())
        return {};
    const wchar_t c = accelerator[0];
    if (c < L'!' || c > L'~' || c == L'&')
        return {};
    return std::wstring(L"(") + c + L")";
}

std::wstring HotKeyColumnText(const CHotKeyTarget& hotKey)
{
    if (!hotKey.HasKey())
        return {};
    return (hotKey.hotKeyId != -1 ? L"○ " : L"× ") + hotKey.keyText;
}

std::array<std::wstring, kListColumnCount> RowTexts(const CXNode& node)
{
    std::array<std::wstring, kListColumnCount> texts;
    texts[0] = node.GetTitle();
    if (const CXItem* item = XDynamicCast<CXItem>(&node)) {
        texts[1] = AcceleratorColumnText(item->accelerator);
        texts[2] = HotKeyColumnText(item->hotKey);
        texts[3] = item->isInternal ? item->GetPathDisplay() : item->path;
        texts[4] = item->parameters;
        texts[5] = item->workingFolder;
    }
    return texts;
}

std::wstring BreadcrumbMarkup(const CXNode& node, std::vector<CXParent*>& ancestors)
{
    ancestors.clear();
    std::wstring text = L"「" + node.GetTitle() + L"」の下";
    for (CXParent* a = node.GetParent(); a; a = a->GetParent()) {
        ancestors.insert(ancestors.begin(), a);
        text = L"「<a>" + a->GetTitle() + L"</a>」の下の" + text;
    }
    return text;
}

int GroupOfControl(int controlId)
{
    switch (controlId) {
    case 1000:
    case 1004:
    case 1021:
        return 0;
    case 1001:
    case 1005:
    case 1022:
        return 1;
    default:
        return -1;
    }
}

bool NoticeConcernsTree(const CChangeNotice& notice, const CXRoot* treeRoot)
{
    return notice.parent && treeRoot && notice.parent->GetRoot() == treeRoot;
}

bool ListTakesNotice(const CChangeNotice& notice, const CXParent* shownParent)
{
    if (!notice.parent || !shownParent)
        return false;
    if (notice.parent == shownParent)
        return true;
    return notice.kind == XNoticeKind::HotKeysChanged && shownParent->IsDescendantOf(notice.parent);
}

bool RemovalEmptiesItem(const std::vector<CXNode*>& shownChildren, const std::vector<CXNode*>& removed)
{
    const auto set = NodeSet(removed);
    return std::all_of(shownChildren.begin(), shownChildren.end(),
                       [&](const CXNode* child) { return set.contains(child); });
}

std::vector<int> RowsToRemove(const std::vector<CXNode*>& rowNodes, const std::vector<CXNode*>& removed)
{
    const auto set = NodeSet(removed);
    std::vector<int> rows;
    for (int i = static_cast<int>(rowNodes.size()) - 1; i >= 0; --i) {
        if (set.contains(rowNodes[static_cast<size_t>(i)]))
            rows.push_back(i);
    }
    return rows;
}

CXParent* ShownParentOfSelection(CXNode* node)
{
    if (!node)
        return nullptr;
    if (CXParent* submenu = XDynamicCast<CXParent>(node))
        return submenu;
    return node->GetParent();
}

bool TreeHolds(const CXParent& root, const CXNode* node)
{
    if (!node)
        return false;
    std::vector<const CXParent*> pending{&root};
    while (!pending.empty()) {
        const CXParent* parent = pending.back();
        pending.pop_back();
        if (parent == node)
            return true;
        for (const CXNode* child : parent->children) {
            if (child == node)
                return true;
            if (const auto* submenu = XDynamicCast<CXParent>(child))
                pending.push_back(submenu);
        }
    }
    return false;
}

int EntryImageOf(const CXNode& node)
{
    const CXItem* item = XDynamicCast<CXItem>(&node);
    if (item && item->imageIndex < 0)
        return kImageOnDisplay;
    return node.GetImageIndex();
}

int DisplayedImageOf(CXNode& node)
{
    // Only the item itself: a submenu's images are fixed, and its own UpdateImages would look
    // up every item below it.
    if (CXItem* item = XDynamicCast<CXItem>(&node))
        item->UpdateImages();
    return node.GetImageIndex();
}

bool TreeMayRename(const CXNode* node)
{
    if (!node || !node->GetParent())
        return false;
    return node->IsKindOf<CXItem>() || node->IsKindOf<CXParent>();
}

bool ListMayRename(const CXNode* node)
{
    return node && (node->IsKindOf<CXItem>() || node->IsKindOf<CXParent>());
}
