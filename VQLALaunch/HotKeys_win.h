#pragma once
// The launcher's main window as the owner of its global hotkeys.

#include <windows.h>

#include "HotKeyList.h"

class CWin32HotKeyWindow : public CHotKeyWindow {
public:
    explicit CWin32HotKeyWindow(HWND window) : window(window) {}
    bool RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) override;
    void UnregisterHotKey(int id) override;

private:
    HWND window;
};
