#pragma once
// The hotkey input (dialog 325 "ホットキー入力"): one hotkey field, confirmed with a click on
// "OK". Used for the fixed bindings and for the menu items' own hotkeys.

#include <cstdint>
#include <string>

#include "MyHotKeyCtrl.h"
#include "XDialog.h"

class CHotKeyInputDialog : public CXDialog {
public:
    CHotKeyInputDialog();

    // Run with DoModal(owner): IDOK with the fields below filled, IDCANCEL when cancelled.
    int32_t modifiers = 0;  // MOD_*
    int32_t virtualKey = 0; // never 0 after IDOK
    std::wstring keyText;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    // Every message goes straight to its window: the dialog manager would take Tab, Enter
    // and Escape, which are keys a hotkey may be made of.
    bool PreTranslateMessage(MSG& message) override;

private:
    CMyHotKeyCtrl hotKey;
};
