#pragma once
// The hotkey settings (dialog 321 "ホットキー設定"): the eight fixed bindings, "MenuPos" and
// "ShowHotKey", each change registered at the launcher, saved and announced at once. It
// works on the main dialog's list and values; closing it saves nothing.

#include "Settings.h"
#include "XDialog.h"

class CMainDialog;

class CHotKeyDialog : public CXDialog {
public:
    explicit CHotKeyDialog(CMainDialog& values);

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnInitDialog() override;

private:
    // True when the command was one of this dialog's own.
    bool OnCommand(int controlId, int code);
    void OnSetClicked(int index);
    void OnClearClicked(int index);
    void OnOptionChanged(int listId, XSetting setting, int& value);
    void SaveList();
    void ShowBinding(int index);

    CMainDialog& values;
};
