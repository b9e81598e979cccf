#include "LinkCtrl.h"

#include <windowsx.h>

#include "Resource.h"
#include "ViewRules.h"

void CVQLALinkCtrl::ShowPath(CXNode* node)
{
    current = node;
    ancestors.clear();
    SetMarkup(node ? BreadcrumbMarkup(*node, ancestors) : std::wstring());
}

LRESULT CVQLALinkCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_NODES_CHANGED:
        // A rename anywhere on the path shows; the text is rebuilt whatever the notice says.
        ShowPath(current);
        return 0;
    default:
        return Default(message, wParam, lParam);
    }
}

int CVQLALinkCtrl::LinkAtMessagePoint() const
{
    const DWORD position = GetMessagePos();
    LHITTESTINFO hit = {};
    hit.pt = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ScreenToClient(Handle(), &hit.pt);
    hit.item.mask = LIF_ITEMINDEX;
    if (!SendMessageW(Handle(), LM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)))
        return -1;
    return hit.item.iLink;
}

bool CVQLALinkCtrl::OnReflectedNotify(NMHDR& header, LRESULT& result)
{
    if (header.code != NM_CLICK)
        return false;
    const int link = LinkAtMessagePoint();
    if (link >= 0 && link < static_cast<int>(ancestors.size()))
        PostMessageW(GetParent(Handle()), UM_SELECT_NODE, ControlId(), reinterpret_cast<LPARAM>(ancestors[link]));
    result = 0;
    return true;
}
