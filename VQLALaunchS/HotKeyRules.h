#pragma once
// The rules of the hotkey dialogs without the system: which fixed binding each row of the
// hotkey settings shows and which of its buttons a control id is, what the two option lists
// select, and how a value of the system hotkey control becomes a binding.

#include <array>
#include <cstdint>
#include <string>

// One row of the hotkey settings: the binding's index in the fixed list and its controls.
struct CHotKeyRow {
    int index;
    int textId;
    int setId;
    int clearId;
};
inline constexpr int kHotKeyRowCount = 8;
// The rows from top to bottom; the customize window's binding (index 7) is the fourth.
const std::array<CHotKeyRow, kHotKeyRowCount>& HotKeyRows();

enum class XHotKeyButton { None, Set, Clear };
struct CHotKeyCommand {
    XHotKeyButton button = XHotKeyButton::None;
    int index = -1; // the binding's index in the fixed list
};
// What a control id of the hotkey settings is; the "設定" buttons are looked up first.
CHotKeyCommand HotKeyCommandOf(int controlId);

// The item each option list selects: "MenuPos" is the item's index itself (none outside the
// four corners), "ShowHotKey" selects "する" for any non-zero value.
inline constexpr int kMenuPosChoices = 4;
int MenuPosSelection(int menuPos);
int ShowHotKeySelection(int showHotKey);

// The flags of the system hotkey control (HOTKEYF_*) and the modifiers of RegisterHotKey (MOD_*).
enum : unsigned {
    kHotKeyFlagShift = 0x01,
    kHotKeyFlagControl = 0x02,
    kHotKeyFlagAlt = 0x04,
    kHotKeyFlagExtended = 0x08,
};
enum : unsigned {
    kModifierAlt = 0x01,
    kModifierControl = 0x02,
    kModifierShift = 0x04,
};
// HOTKEYF_* to MOD_*; the extended-key flag has no counterpart and is dropped.
int32_t ModifiersOfHotKeyFlags(unsigned flags);

// What the hotkey input gives on OK.
struct CHotKeyInput {
    int32_t modifiers = 0;
    int32_t virtualKey = 0;
    std::wstring keyText;
};
// The control's value (HKM_GETHOTKEY: virtual key in the low byte, flags in the high byte)
// and its text as a binding. False when there is nothing to bind: no text, or modifiers
// without a key, which would be stored as a binding that never fires.
bool HotKeyInputOf(unsigned value, const std::wstring& text, CHotKeyInput& input);

// The names the keyboard gives the three modifier keys.
struct CModifierNames {
    std::wstring control;
    std::wstring shift;
    std::wstring alt;
};
// The text the hotkey control shows for a value: the held modifiers in the order Ctrl,
// Shift, Alt, then the key, joined by " + "; empty without a key.
std::wstring HotKeyValueText(unsigned flags, const CModifierNames& names, const std::wstring& keyName);
