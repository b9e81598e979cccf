#pragma once
// A link control (SysLink) of a dialog: markup in, link clicks out.

#include <string>

#include "XSubclassWnd.h"

class CXLinkCtrl : public CXSubclassWnd {
public:
    // The text with its <a>...</a> links; link i is the i-th <a>.
    void SetMarkup(const std::wstring& markup) const { SetWindowTextW(Handle(), markup.c_str()); }
};
