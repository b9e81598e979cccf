#pragma once
// What the editing commands and drag and drop ask of either view of a menu (tree or list),
// without knowing which one it is.

#include <vector>

class CXNode;
class CXParent;

class CVQLACommonCtrl {
public:
    virtual ~CVQLACommonCtrl() = default;

    // Called before the nodes are taken out of the menu and destroyed.
    virtual void BeforeDelete(const std::vector<CXNode*>& nodes) = 0;
    virtual int SelectedCount() = 0;
    // The one selected node, or null.
    virtual CXNode* SelectedNode() = 0;
    // The selected nodes in view order; returns the submenu they belong to, or null.
    virtual CXParent* CollectSelection(std::vector<CXNode*>& nodes) = 0;
    // Starts editing the node's title in place.
    virtual void BeginRename(CXNode* node) = 0;
};
