#pragma once
// The hotkey input's field (control 1035): the system hotkey control, which decides itself
// which keys it takes (its own WM_GETDLGCODE answer stands) and shows the combination held.

#include <string>

#include "XSubclassWnd.h"

class CMyHotKeyCtrl : public CXSubclassWnd {
public:
    // HKM_GETHOTKEY: the virtual key in the low byte, the HOTKEYF_* flags in the high byte.
    unsigned Value() const;
    // The combination as the control shows it; empty when it holds none.
    std::wstring Text() const;
};
