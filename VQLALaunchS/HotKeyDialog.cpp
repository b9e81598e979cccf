#include "HotKeyDialog.h"

#include "HotKeyInputDialog.h"
#include "HotKeyRules.h"
#include "LauncherLink_win.h"
#include "MainDialog.h"
#include "Resource.h"
#include "SettingsStore.h"
#include "VQLALaunchSApp.h"
#include "ViewRules.h"

namespace {
// The item index is the stored value.
const wchar_t* const kMenuPosItems[kMenuPosChoices] = {L"プライマリ画面左上", L"プライマリ画面左下",
                                                       L"プライマリ画面右上", L"プライマリ画面右下"};
const wchar_t* const kShowHotKeyItems[] = {L"しない", L"する"};

void FillList(HWND list, std::initializer_list<const wchar_t*> items, int selected)
{
    for (const wchar_t* item : items)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

const CHotKeyRow* RowOf(int index)
{
    for (const CHotKeyRow& row : HotKeyRows()) {
        if (row.index == index)
            return &row;
    }
    return nullptr;
}
} // namespace

CHotKeyDialog::CHotKeyDialog(CMainDialog& values) : CXDialog(IDD_HOTKEYS), values(values) {}

INT_PTR CHotKeyDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam), HIWORD(wParam)))
            return TRUE;
        break;
    default:
        break;
    }
    return CXDialog::DialogProc(message, wParam, lParam);
}

bool CHotKeyDialog::OnInitDialog()
{
    for (const CHotKeyRow& row : HotKeyRows())
        ShowBinding(row.index);
    FillList(Item(IDC_MENU_POS), {kMenuPosItems[0], kMenuPosItems[1], kMenuPosItems[2], kMenuPosItems[3]},
             MenuPosSelection(values.menuPos));
    FillList(Item(IDC_SHOW_HOTKEY), {kShowHotKeyItems[0], kShowHotKeyItems[1]}, ShowHotKeySelection(values.showHotKey));
    return true;
}

bool CHotKeyDialog::OnCommand(int controlId, int code)
{
    switch (controlId) {
    case IDC_MENU_POS:
        if (code == CBN_SELCHANGE)
            OnOptionChanged(IDC_MENU_POS, XSetting::MenuPos, values.menuPos);
        return true;
    case IDC_SHOW_HOTKEY:
        if (code == CBN_SELCHANGE)
            OnOptionChanged(IDC_SHOW_HOTKEY, XSetting::ShowHotKey, values.showHotKey);
        return true;
    default:
        break;
    }
    const CHotKeyCommand command = HotKeyCommandOf(controlId);
    if (command.button == XHotKeyButton::None)
        return false;
    if (code == BN_CLICKED) {
        if (command.button == XHotKeyButton::Set)
            OnSetClicked(command.index);
        else
            OnClearClicked(command.index);
    }
    return true;
}

void CHotKeyDialog::OnSetClicked(int index)
{
    CHotKeyInputDialog input;
    if (input.DoModal(Handle()) != IDOK)
        return;
    HWND launcher = FindLauncherWindow();
    if (!launcher) {
        MessageBoxW(Handle(), kMessageNoLauncher, kToolAppName, MB_OK);
        return;
    }
    CHotKeyTarget& binding = values.fixedHotKeys[static_cast<size_t>(index)];
    // The launcher refuses a combination it holds already, this binding's own included.
    if (binding.IsActive())
        UnregisterBinding(binding);
    binding.modifiers = input.modifiers;
    binding.virtualKey = input.virtualKey;
    binding.keyText = input.keyText;
    binding.hotKeyId = -1;
    RegisterBinding(launcher, binding);
    SaveList();
    // A refused registration shows as such.
    ShowBinding(index);
}

void CHotKeyDialog::OnClearClicked(int index)
{
    CHotKeyTarget& binding = values.fixedHotKeys[static_cast<size_t>(index)];
    // An id without a key is no registration of this binding's: the launcher may have given
    // it to another since.
    if (binding.IsActive())
        UnregisterBinding(binding);
    binding.Clear();
    SaveList();
    ShowBinding(index);
}

void CHotKeyDialog::OnOptionChanged(int listId, XSetting setting, int& value)
{
    const LRESULT selected = SendDlgItemMessageW(Handle(), listId, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return;
    value = static_cast<int>(selected);
    Store().SetInt(kSectionSettings, SettingName(setting, App().isWindows10OrLater), value);
    PostReloadToLauncher(kReloadBehaviour);
}

void CHotKeyDialog::SaveList()
{
    // The launcher reads the list again only when told; a list that could not be stored has
    // nothing new for it.
    if (SaveHotKeys(values.fixedHotKeys))
        PostReloadToLauncher(kReloadFixedHotKeys);
}

void CHotKeyDialog::ShowBinding(int index)
{
    if (const CHotKeyRow* row = RowOf(index))
        SetDlgItemTextW(Handle(), row->textId,
                        HotKeyColumnText(values.fixedHotKeys[static_cast<size_t>(index)]).c_str());
}
