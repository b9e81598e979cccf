#pragma once
// The detailed settings (dialog 328 "詳細設定"): the foreground workaround and its effort, the
// taskbar, the restart on a display-scale change and the accelerator of the launcher's own
// submenu, each written at once on the main dialog's copies.

#include <string>

#include "XDialog.h"

class CMainDialog;

class CSettingsDialog : public CXDialog {
public:
    explicit CSettingsDialog(CMainDialog& values);

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnInitDialog() override;

private:
    void ShowValues();
    void UpdateControls();
    bool IsTicked(int controlId) const;

    void OnWorkaroundClicked();
    void OnRetryCountChanged();
    void OnAvoidTaskBarClicked();
    void OnRestartOnScaleChangeClicked();
    void OnAcceleratorChanged();

    CMainDialog& values;
    // Above zero while the controls are filled by program.
    int internalUpdates = 0;
};
