#include "SettingsDialog.h"

#include <optional>

#include "LauncherLink_win.h"
#include "MainDialog.h"
#include "Platform.h"
#include "Resource.h"
#include "Settings.h"
#include "SettingsRules.h"
#include "SettingsStore.h"
#include "VQLALaunchSApp.h"

namespace {
std::wstring SettingNameHere(XSetting setting)
{
    return SettingName(setting, App().isWindows10OrLater);
}
} // namespace

CSettingsDialog::CSettingsDialog(CMainDialog& values) : CXDialog(IDD_SETTINGS), values(values) {}

INT_PTR CSettingsDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_WORKAROUND:
            if (HIWORD(wParam) == BN_CLICKED)
                OnWorkaroundClicked();
            return TRUE;
        case IDC_RETRY_COUNT:
            if (HIWORD(wParam) == EN_CHANGE)
                OnRetryCountChanged();
            return TRUE;
        case IDC_AVOID_TASKBAR:
            if (HIWORD(wParam) == BN_CLICKED)
                OnAvoidTaskBarClicked();
            return TRUE;
        case IDC_RESTART_ON_SCALE_CHANGE:
            if (HIWORD(wParam) == BN_CLICKED)
                OnRestartOnScaleChangeClicked();
            return TRUE;
        case IDC_SUBMENU_ACCELERATOR:
            if (HIWORD(wParam) == EN_CHANGE)
                OnAcceleratorChanged();
            return TRUE;
        default:
            break;
        }
        break;
    default:
        break;
    }
    return CXDialog::DialogProc(message, wParam, lParam);
}

bool CSettingsDialog::OnInitDialog()
{
    ShowValues();
    return true;
}

void CSettingsDialog::ShowValues()
{
    // Setting the edits' texts reports them as changed; nothing of that is the user's.
    CInternalUpdateAnchor anchor(internalUpdates);
    CheckDlgButton(Handle(), IDC_WORKAROUND, values.win10Workaround != 0 ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextW(Handle(), IDC_RETRY_COUNT, std::to_wstring(values.win10WorkaroundRetryCount).c_str());
    CheckDlgButton(Handle(), IDC_AVOID_TASKBAR, values.avoidTaskBar != 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), IDC_RESTART_ON_SCALE_CHANGE,
                   values.restartOnMonitorScaleChange != 0 ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextW(Handle(), IDC_SUBMENU_ACCELERATOR, values.subMenuAccelerator.c_str());
    UpdateControls();
}

void CSettingsDialog::UpdateControls()
{
    HWND focus = GetFocus();
    const CSettingsControlStates states =
        SettingsControlStates(IsTicked(IDC_WORKAROUND), App().scaleChangeProbe != nullptr);
    EnableWindow(Item(IDC_RETRY_COUNT), states.retryCountEnabled);
    if (!states.restartShown)
        ShowWindow(Item(IDC_RESTART_ON_SCALE_CHANGE), SW_HIDE);
    if (!states.restartEnabled)
        EnableWindow(Item(IDC_RESTART_ON_SCALE_CHANGE), FALSE);
    // A disabled control keeps the focus it had, and the keyboard would go nowhere.
    if (focus && IsWindow(focus) && !IsWindowEnabled(focus))
        SetFocus(Handle());
}

bool CSettingsDialog::IsTicked(int controlId) const
{
    return IsDlgButtonChecked(Handle(), controlId) == BST_CHECKED;
}

void CSettingsDialog::OnWorkaroundClicked()
{
    values.win10Workaround = FlagOfCheck(IsTicked(IDC_WORKAROUND));
    Store().SetInt(kSectionSettings, SettingNameHere(XSetting::Win10Workaround), values.win10Workaround);
    PostReloadToLauncher(kReloadBehaviour);
    UpdateControls();
}

void CSettingsDialog::OnRetryCountChanged()
{
    if (internalUpdates > 0)
        return;
    // The text stays as typed: a 0 is stored as 1 but keeps showing, so that the user can
    // go on typing.
    const std::optional<int> count = RetryCountToStore(ItemText(IDC_RETRY_COUNT), values.win10WorkaroundRetryCount);
    if (!count)
        return;
    values.win10WorkaroundRetryCount = *count;
    Store().SetInt(kSectionSettings, SettingNameHere(XSetting::Win10WorkaroundRetryCount), *count);
    PostReloadToLauncher(kReloadBehaviour);
}

void CSettingsDialog::OnAvoidTaskBarClicked()
{
    values.avoidTaskBar = FlagOfCheck(IsTicked(IDC_AVOID_TASKBAR));
    Store().SetInt(kSectionSettings, SettingNameHere(XSetting::AvoidTaskBar), values.avoidTaskBar);
    PostReloadToLauncher(kReloadBehaviour);
    UpdateControls();
}

void CSettingsDialog::OnRestartOnScaleChangeClicked()
{
    values.restartOnMonitorScaleChange = FlagOfCheck(IsTicked(IDC_RESTART_ON_SCALE_CHANGE));
    // The launcher reads this one afresh at every scale change; it needs no reload.
    Store().SetInt(kSectionSettings, SettingNameHere(XSetting::RestartOnMonitorScaleChange),
                   values.restartOnMonitorScaleChange);
}

void CSettingsDialog::OnAcceleratorChanged()
{
    if (internalUpdates > 0)
        return;
    std::optional<std::wstring> text =
        AcceleratorToStore(ItemText(IDC_SUBMENU_ACCELERATOR), values.subMenuAccelerator);
    if (!text)
        return;
    values.subMenuAccelerator = std::move(*text);
    // Written even when empty: an empty value is the submenu without a key, while a deleted
    // one would read as the default "M" again.
    Store().SetString(kSectionSettings, SettingNameHere(XSetting::TheSubMenuAccelerator),
                      std::optional<std::wstring>(values.subMenuAccelerator));
    PostReloadToLauncher(kReloadBehaviour);
}
