#include "EditRules.h"

#include "ItemText.h"
#include "XNode.h"

bool IsShortcutItem(const CXNode* node)
{
    const CXItem* item = XDynamicCast<CXItem>(node);
    return item && !item->isInternal && EndsWithExtension(item->ExpandedPath(), L".lnk");
}

CContextMenuState ContextMenuStateOf(int count, const CXNode* node)
{
    CContextMenuState state;
    const bool single = count == 1 && node;
    const bool item = single && node->IsKindOf<CXItem>();
    const bool root = single && node->IsKindOf<CXRoot>();
    const bool submenu = single && node->IsKindOf<CXParent>() && node->GetParent() && !root;
    state.rename = item || submenu;
    // With several nodes selected, none of them is a root: a view's root is never selected
    // together with its children.
    state.remove = count >= 1 && !root;
    state.launch = item;
    state.expandShortcut = single && IsShortcutItem(node);
    state.properties = item || submenu;
    return state;
}

int InsertPosition(int firstSelectedRow, int rowCount)
{
    return firstSelectedRow >= 0 && firstSelectedRow <= rowCount ? firstSelectedRow : rowCount;
}

std::wstring DeleteQuestion(const std::vector<CXNode*>& nodes)
{
    bool below = false;
    for (const CXNode* node : nodes) {
        if (const CXParent* parent = XDynamicCast<CXParent>(node); parent && !parent->children.empty())
            below = true;
    }
    return std::to_wstring(nodes.size()) + L"個の項目" + (below ? L"とその下のすべての項目" : L"") +
           L"を削除します。よろしいですか？";
}

namespace {
void CollectActive(CXNode* node, std::vector<CXItem*>& items)
{
    if (CXItem* item = XDynamicCast<CXItem>(node)) {
        if (item->hotKey.IsActive())
            items.push_back(item);
    } else if (CXParent* parent = XDynamicCast<CXParent>(node)) {
        for (CXNode* child : parent->children)
            CollectActive(child, items);
    }
}
} // namespace

std::vector<CXItem*> ActiveBindingsIn(const std::vector<CXNode*>& nodes)
{
    std::vector<CXItem*> items;
    for (CXNode* node : nodes)
        CollectActive(node, items);
    return items;
}
