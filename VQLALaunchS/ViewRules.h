#pragma once
// What the settings tool's views show and how they take a change of the menu, as plain
// rules over the model: the change notice, the texts of a list row, the breadcrumb markup,
// the groups of control ids and the parts of a notice that each view applies.

#include <array>
#include <string>
#include <vector>

#include "XNode.h"

// Where a change of a menu is announced to its three views.
enum class XNoticeKind : int { Changed = 0, Inserted = 1, Removed = 2, HotKeysChanged = 3 };

struct CChangeNotice {
    XNoticeKind kind = XNoticeKind::Changed;
    CXParent* parent = nullptr; // whose children are concerned
    int index = 0;              // Changed, Inserted: first position concerned
    int count = 0;              // Changed, Inserted: consecutive children concerned
    std::vector<CXNode*> nodes; // Removed: the nodes taken out
};

// The detail list's columns: heading, key of the stored width ("ColWidth" + list name + key)
// and default width in average character widths.
struct CListColumn {
    const wchar_t* heading;
    const wchar_t* key;
    int defaultChars;
};
inline constexpr int kListColumnCount = 6;
const std::array<CListColumn, kListColumnCount>& ListColumns();
// "ColWidth" + "Left"/"Right" + key.
std::wstring ColumnWidthValueName(const std::wstring& listName, int column);

// Column 1: "(" + c + ")" for a first character c from "!" to "~" other than "&".
std::wstring AcceleratorColumnText(const std::wstring& accelerator);
// Column 2: "○ " (registered) or "× " (not registered) and the key text; empty without a key.
std::wstring HotKeyColumnText(const CHotKeyTarget& hotKey);
// The six texts of a node's row. Separators and submenus have only the title.
std::array<std::wstring, kListColumnCount> RowTexts(const CXNode& node);

// The breadcrumb of a node: 「<a>メニュー</a>」の下の「<a>A</a>」の下の「B」の下, with its
// ancestors, root first (link i is ancestors[i]). Titles are put in as they are.
std::wstring BreadcrumbMarkup(const CXNode& node, std::vector<CXParent*>& ancestors);

// The two groups of the main dialog: 0 upper (1000, 1004, 1021), 1 lower (1001, 1005,
// 1022), -1 any other id.
int GroupOfControl(int controlId);

// A tree applies a notice only about a submenu of its own menu.
bool NoticeConcernsTree(const CChangeNotice& notice, const CXRoot* treeRoot);
// A list applies a notice about the submenu it shows; a change of the hotkey registrations
// below a submenu also reaches a list that shows a submenu inside it.
bool ListTakesNotice(const CChangeNotice& notice, const CXParent* shownParent);
// A tree collapses a submenu's item when a removal leaves it none of the children it shows.
bool RemovalEmptiesItem(const std::vector<CXNode*>& shownChildren, const std::vector<CXNode*>& removed);
// The rows a list deletes for a removal, from the last to the first.
std::vector<int> RowsToRemove(const std::vector<CXNode*>& rowNodes, const std::vector<CXNode*>& removed);
// The node a tree selection shows in its list: a submenu itself, anything else its parent.
CXParent* ShownParentOfSelection(CXNode* node);

// Calls visit on every item (text-copy items too) below parent, in walk order.
template <typename Visit> void ForEachItemBelow(CXParent& parent, const Visit& visit)
{
    for (CXNode* child : parent.children) {
        if (CXItem* item = XDynamicCast<CXItem>(child))
            visit(*item);
        else if (CXParent* submenu = XDynamicCast<CXParent>(child))
            ForEachItemBelow(*submenu, visit);
    }
}

// Whether node is root itself or lies below it; node is compared, never followed.
bool TreeHolds(const CXParent& root, const CXNode* node);

// The image a view gives a node's entry: the node's slot, or kImageOnDisplay for an item whose
// icon has not been looked up yet, which the view asks for when the entry is first drawn (a
// menu of thousands of files would otherwise wait for the shell before it shows at all).
inline constexpr int kImageOnDisplay = -1; // the common controls' I_IMAGECALLBACK
int EntryImageOf(const CXNode& node);
// The slot of a node's image, the item's icon looked up now if need be.
int DisplayedImageOf(CXNode& node);

// The tree's label editing: the root and separators keep their fixed titles.
bool TreeMayRename(const CXNode* node);
// The list's label editing: items and submenus.
bool ListMayRename(const CXNode* node);
