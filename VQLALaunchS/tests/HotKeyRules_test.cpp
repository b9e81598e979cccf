#include "HotKeyRules.h"

#include <gtest/gtest.h>

#include <set>

#include "HotKeyList.h"
#include "Resource.h"

namespace {

TEST(HotKeyRows, StandInTheDialogsOrderWithTheCustomizeWindowFourth)
{
    struct Case {
        int index;
        int text;
        int set;
        int clear;
    } const expected[] = {
        {0, 1026, 1024, 1025}, {1, 1027, 1028, 1029}, {2, 1030, 1031, 1032}, {7, 1050, 1051, 1052},
        {3, 1033, 1034, 1035}, {4, 1036, 1037, 1038}, {5, 1039, 1040, 1041}, {6, 1042, 1043, 1044},
    };
    const auto& rows = HotKeyRows();
    ASSERT_EQ(rows.size(), std::size(expected));
    std::set<int> indexes;
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].index, expected[i].index);
        EXPECT_EQ(rows[i].textId, expected[i].text);
        EXPECT_EQ(rows[i].setId, expected[i].set);
        EXPECT_EQ(rows[i].clearId, expected[i].clear);
        indexes.insert(rows[i].index);
    }
    // Every binding of the fixed list has exactly one row.
    EXPECT_EQ(indexes.size(), static_cast<size_t>(kFixedHotKeyCount));
    EXPECT_EQ(*indexes.begin(), 0);
    EXPECT_EQ(*indexes.rbegin(), kFixedHotKeyCount - 1);
}

TEST(HotKeyRows, ControlIdsNameTheirButtonAndBinding)
{
    struct Case {
        int id;
        XHotKeyButton button;
        int index;
    } const cases[] = {
        {IDC_HOTKEY_LEFT_MENU_SET, XHotKeyButton::Set, 0},
        {IDC_HOTKEY_LEFT_MENU_CLEAR, XHotKeyButton::Clear, 0},
        {IDC_HOTKEY_RIGHT_MENU_SET, XHotKeyButton::Set, 1},
        {IDC_HOTKEY_SETTINGS_CLEAR, XHotKeyButton::Clear, 2},
        {IDC_HOTKEY_USER_START_MENU_SET, XHotKeyButton::Set, 3},
        {IDC_HOTKEY_USER_START_MENU_CLEAR, XHotKeyButton::Clear, 3},
        {IDC_HOTKEY_COMMON_START_MENU_SET, XHotKeyButton::Set, 4},
        {IDC_HOTKEY_USER_STARTUP_CLEAR, XHotKeyButton::Clear, 5},
        {IDC_HOTKEY_COMMON_STARTUP_SET, XHotKeyButton::Set, 6},
        {IDC_HOTKEY_COMMON_STARTUP_CLEAR, XHotKeyButton::Clear, 6},
        {IDC_HOTKEY_CUSTOMIZE_SET, XHotKeyButton::Set, 7},
        {IDC_HOTKEY_CUSTOMIZE_CLEAR, XHotKeyButton::Clear, 7},
        // The display edits, the option lists and the close button are no row's buttons.
        {IDC_HOTKEY_LEFT_MENU_TEXT, XHotKeyButton::None, -1},
        {IDC_HOTKEY_CUSTOMIZE_TEXT, XHotKeyButton::None, -1},
        {IDC_MENU_POS, XHotKeyButton::None, -1},
        {IDC_SHOW_HOTKEY, XHotKeyButton::None, -1},
        {2, XHotKeyButton::None, -1},
        {0, XHotKeyButton::None, -1},
    };
    for (const Case& c : cases) {
        const CHotKeyCommand command = HotKeyCommandOf(c.id);
        EXPECT_EQ(command.button, c.button) << c.id;
        EXPECT_EQ(command.index, c.index) << c.id;
    }
}

TEST(HotKeyOptions, ListSelections)
{
    const std::pair<int, int> menuPos[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, -1}, {-1, -1}, {1000, -1}};
    for (const auto& [value, selected] : menuPos)
        EXPECT_EQ(MenuPosSelection(value), selected) << value;
    const std::pair<int, int> showHotKey[] = {{0, 0}, {1, 1}, {2, 1}, {-1, 1}};
    for (const auto& [value, selected] : showHotKey)
        EXPECT_EQ(ShowHotKeySelection(value), selected) << value;
}

TEST(HotKeyInput, FlagsBecomeRegisterHotKeyModifiers)
{
    // HOTKEYF_SHIFT 1, HOTKEYF_CONTROL 2, HOTKEYF_ALT 4, HOTKEYF_EXT 8; MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4.
    const std::pair<unsigned, int32_t> cases[] = {
        {0x00, 0}, {0x01, 4}, {0x02, 2}, {0x04, 1}, {0x03, 6}, {0x05, 5}, {0x06, 3},
        {0x07, 7}, {0x08, 0}, {0x09, 4}, {0x0F, 7}, {0x0A, 2}, {0xF0, 0},
    };
    for (const auto& [flags, modifiers] : cases)
        EXPECT_EQ(ModifiersOfHotKeyFlags(flags), modifiers) << "flags " << flags;
}

TEST(HotKeyInput, ValueAndTextMakeTheBinding)
{
    struct Case {
        unsigned value;
        const wchar_t* text;
        bool taken;
        int32_t modifiers;
        int32_t virtualKey;
    } const cases[] = {
        {0x0676, L"Ctrl + Alt + F7", true, 3, 0x76},
        {0x0141, L"Shift + A", true, 4, 0x41},
        {0x0070, L"F1", true, 0, 0x70}, // a key without modifiers is accepted
        {0x0A2E, L"Ctrl + Del", true, 2, 0x2E},
        {0x0F24, L"Ctrl + Shift + Alt + Home", true, 7, 0x24},
        {0x0676, L"", false, 0, 0},
        {0x0600, L"Ctrl + Alt + ", false, 0, 0},
        {0x0000, L"", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        CHotKeyInput input;
        input.modifiers = 99;
        input.virtualKey = 99;
        input.keyText = L"before";
        EXPECT_EQ(HotKeyInputOf(c.value, c.text, input), c.taken);
        if (c.taken) {
            EXPECT_EQ(input.modifiers, c.modifiers);
            EXPECT_EQ(input.virtualKey, c.virtualKey);
            EXPECT_EQ(input.keyText, c.text);
        } else {
            // A refused input leaves the result alone.
            EXPECT_EQ(input.modifiers, 99);
            EXPECT_EQ(input.virtualKey, 99);
            EXPECT_EQ(input.keyText, L"before");
        }
    }
}

TEST(HotKeyInput, ValueTextNamesModifiersInTheControlsOrder)
{
    const CModifierNames names{L"Ctrl", L"Shift", L"Alt"};
    const std::pair<unsigned, const wchar_t*> cases[] = {
        {0x00, L"F7"},
        {0x01, L"Shift + F7"},
        {0x02, L"Ctrl + F7"},
        {0x04, L"Alt + F7"},
        {0x06, L"Ctrl + Alt + F7"},
        {0x07, L"Ctrl + Shift + Alt + F7"},
        {0x05, L"Shift + Alt + F7"},
        {0x0A, L"Ctrl + F7"}, // the extended-key flag names nothing
    };
    for (const auto& [flags, text] : cases)
        EXPECT_EQ(HotKeyValueText(flags, names, L"F7"), text) << "flags " << flags;
    EXPECT_EQ(HotKeyValueText(0x06, {L"Strg", L"Umschalt", L"Alt Gr"}, L"Pos1"), L"Strg + Alt Gr + Pos1");
    EXPECT_EQ(HotKeyValueText(0x06, names, L""), L"");
}

} // namespace
