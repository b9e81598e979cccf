#pragma once
// The breadcrumb above a detail list (controls 1021 and 1022): the path of the shown submenu,
// each ancestor a link that selects it.

#include <vector>

#include "XLinkCtrl.h"

class CXNode;
class CXParent;

class CVQLALinkCtrl : public CXLinkCtrl {
public:
    void ShowPath(CXNode* node);
    bool OnReflectedNotify(NMHDR& header, LRESULT& result) override;

    std::vector<CXParent*> ancestors; // root first
    CXNode* current = nullptr;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The link under the point of the message being handled (the button's release), or -1.
    // The click notice's own number is not used: some versions of the control count every
    // piece of text in it, not only the links, while their hit test counts links.
    int LinkAtMessagePoint() const;
};
