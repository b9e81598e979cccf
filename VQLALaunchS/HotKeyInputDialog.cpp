#include "HotKeyInputDialog.h"

#include "HotKeyRules.h"
#include "Resource.h"
#include "VQLALaunchSApp.h"

namespace {
const wchar_t kMessageNoKey[] = L"キーを入力してください。\r\n\r\n入らないキーもあります。あしからずご了承ください。";

std::wstring KeyName(UINT virtualKey, bool extended)
{
    const UINT scanCode = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    const LONG keyData = static_cast<LONG>(scanCode << 16) | (extended ? (1L << 24) : 0);
    wchar_t name[64] = {};
    GetKeyNameTextW(keyData, name, 64);
    return name;
}
} // namespace

// ---- the field -------------------------------------------------------------------------

unsigned CMyHotKeyCtrl::Value() const
{
    return static_cast<unsigned>(SendMessageW(Handle(), HKM_GETHOTKEY, 0, 0)) & 0xFFFFu;
}

std::wstring CMyHotKeyCtrl::Text() const
{
    const int length = GetWindowTextLengthW(Handle());
    if (length > 0) {
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(Handle(), text.data(), length + 1)));
        if (!text.empty())
            return text;
    }
    // Windows' control answers WM_GETTEXT with the combination it shows; Wine's only draws it,
    // so the text is made here from the key names it draws.
    const unsigned value = Value();
    const unsigned flags = (value >> 8) & 0xFFu;
    if ((value & 0xFFu) == 0)
        return {};
    const CModifierNames names{KeyName(VK_CONTROL, false), KeyName(VK_SHIFT, false), KeyName(VK_MENU, false)};
    return HotKeyValueText(flags, names, KeyName(value & 0xFFu, (flags & HOTKEYF_EXT) != 0));
}

// ---- the dialog ------------------------------------------------------------------------

CHotKeyInputDialog::CHotKeyInputDialog() : CXDialog(IDD_HOTKEY_INPUT) {}

bool CHotKeyInputDialog::OnInitDialog()
{
    hotKey.AttachItem(Handle(), IDC_HOTKEY_INPUT);
    SetFocus(hotKey.Handle());
    return false;
}

void CHotKeyInputDialog::OnOK()
{
    CHotKeyInput input;
    if (!HotKeyInputOf(hotKey.Value(), hotKey.Text(), input)) {
        MessageBoxW(Handle(), kMessageNoKey, kToolAppName, MB_OK);
        return;
    }
    modifiers = input.modifiers;
    virtualKey = input.virtualKey;
    keyText = input.keyText;
    EndDialog(IDOK);
}

bool CHotKeyInputDialog::PreTranslateMessage(MSG& message)
{
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}
