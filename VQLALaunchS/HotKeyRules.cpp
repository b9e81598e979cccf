#include "HotKeyRules.h"

#include <utility>

#include "Resource.h"

namespace {
// Top to bottom as the dialog shows them.
constexpr std::array<CHotKeyRow, kHotKeyRowCount> kRows = {{
    {0, IDC_HOTKEY_LEFT_MENU_TEXT, IDC_HOTKEY_LEFT_MENU_SET, IDC_HOTKEY_LEFT_MENU_CLEAR},
    {1, IDC_HOTKEY_RIGHT_MENU_TEXT, IDC_HOTKEY_RIGHT_MENU_SET, IDC_HOTKEY_RIGHT_MENU_CLEAR},
    {2, IDC_HOTKEY_SETTINGS_TEXT, IDC_HOTKEY_SETTINGS_SET, IDC_HOTKEY_SETTINGS_CLEAR},
    {7, IDC_HOTKEY_CUSTOMIZE_TEXT, IDC_HOTKEY_CUSTOMIZE_SET, IDC_HOTKEY_CUSTOMIZE_CLEAR},
    {3, IDC_HOTKEY_USER_START_MENU_TEXT, IDC_HOTKEY_USER_START_MENU_SET, IDC_HOTKEY_USER_START_MENU_CLEAR},
    {4, IDC_HOTKEY_COMMON_START_MENU_TEXT, IDC_HOTKEY_COMMON_START_MENU_SET, IDC_HOTKEY_COMMON_START_MENU_CLEAR},
    {5, IDC_HOTKEY_USER_STARTUP_TEXT, IDC_HOTKEY_USER_STARTUP_SET, IDC_HOTKEY_USER_STARTUP_CLEAR},
    {6, IDC_HOTKEY_COMMON_STARTUP_TEXT, IDC_HOTKEY_COMMON_STARTUP_SET, IDC_HOTKEY_COMMON_STARTUP_CLEAR},
}};
} // namespace

const std::array<CHotKeyRow, kHotKeyRowCount>& HotKeyRows()
{
    return kRows;
}

CHotKeyCommand HotKeyCommandOf(int controlId)
{
    for (const CHotKeyRow& row : kRows) {
        if (row.setId == controlId)
            return {XHotKeyButton::Set, row.index};
    }
    for (const CHotKeyRow& row : kRows) {
        if (row.clearId == controlId)
            return {XHotKeyButton::Clear, row.index};
    }
    return {};
}

int MenuPosSelection(int menuPos)
{
    return menuPos >= 0 && menuPos < kMenuPosChoices ? menuPos : -1;
}

int ShowHotKeySelection(int showHotKey)
{
    return showHotKey != 0 ? 1 : 0;
}

int32_t ModifiersOfHotKeyFlags(unsigned flags)
{
    int32_t modifiers = 0;
    if (flags & kHotKeyFlagShift)
        modifiers |= kModifierShift;
    if (flags & kHotKeyFlagControl)
        modifiers |= kModifierControl;
    if (flags & kHotKeyFlagAlt)
        modifiers |= kModifierAlt;
    return modifiers;
}

bool HotKeyInputOf(unsigned value, const std::wstring& text, CHotKeyInput& input)
{
    const unsigned key = value & 0xFFu;
    if (text.empty() || key == 0)
        return false;
    input.modifiers = ModifiersOfHotKeyFlags((value >> 8) & 0xFFu);
    input.virtualKey = static_cast<int32_t>(key);
    input.keyText = text;
    return true;
}

std::wstring HotKeyValueText(unsigned flags, const CModifierNames& names, const std::wstring& keyName)
{
    if (keyName.empty())
        return {};
    std::wstring text;
    const std::pair<unsigned, const std::wstring*> held[] = {
        {kHotKeyFlagControl, &names.control}, {kHotKeyFlagShift, &names.shift}, {kHotKeyFlagAlt, &names.alt}};
    for (const auto& [flag, name] : held) {
        if (flags & flag)
            text += *name + L" + ";
    }
    return text + keyName;
}
