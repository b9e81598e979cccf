#pragma once
// The rules of the views' editing commands without the system: which commands a selection
// offers, where an insertion goes, the question before a deletion and the bindings it
// releases.

#include <string>
#include <vector>

class CXNode;
class CXItem;

// A launchable item whose file is a shortcut: not an internal link, and its path (expanded
// where the item expands references) ends in ".lnk" in any case.
bool IsShortcutItem(const CXNode* node);

// What the context menu of a view enables for a selection of count nodes (node: the one
// selected, or null). The insert commands of the lists are always enabled.
struct CContextMenuState {
    bool rename = false;
    bool remove = false;
    bool launch = false;
    bool expandShortcut = false;
    bool properties = false;
};
CContextMenuState ContextMenuStateOf(int count, const CXNode* node);

// New entries go before the first selected row, or after the last row without a selection.
int InsertPosition(int firstSelectedRow, int rowCount);

// "%d個の項目%sを削除します。よろしいですか？", with "とその下のすべての項目" when one of the nodes
// is a submenu with children.
std::wstring DeleteQuestion(const std::vector<CXNode*>& nodes);

// The items (text-copy items included) in and below the nodes whose binding is registered at
// the launcher, in walk order.
std::vector<CXItem*> ActiveBindingsIn(const std::vector<CXNode*>& nodes);
