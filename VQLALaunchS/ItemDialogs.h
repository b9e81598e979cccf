#pragma once
// The property dialogs of menu entries: file item (dialog 311 "ファイル指定"), text-copy item
// (338 "テキストコピー項目の指定") and submenu (337 "サブメニュー"). Each is built on an
// existing node, edits a working copy and writes the node only on OK; an item's changed
// hotkey is handed to the launcher then. None saves the menu or tells the views: the
// editing command that opened it does.

#include "HankakuEdit.h"
#include "ItemForms.h"
#include "XDialog.h"

class CXItem;
class CXParent;
class CXTextItem;

class CProgInfoDialog : public CXDialog {
public:
    // expandAtOpen: "ショートカットを展開" runs as soon as the dialog shows.
    CProgInfoDialog(CXItem& item, bool expandAtOpen);

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnInitDialog() override;
    void OnOK() override;

private:
    void ShowForm();
    void ReadForm();
    void UpdateFileControls();
    void OnBrowseFile();
    void OnBrowseFolder();
    void OnExpandShortcut();

    CXItem& item;
    bool expandAtOpen;
    CProgInfoForm form;
    CHankakuEdit accelerator;
};

class CTextItemInfoDialog : public CXDialog {
public:
    explicit CTextItemInfoDialog(CXTextItem& item);

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnInitDialog() override;
    void OnOK() override;

private:
    void ReadForm();

    CXTextItem& item;
    CTextItemForm form;
    CHankakuEdit accelerator;
};

class CSubmenuInfoDialog : public CXDialog {
public:
    explicit CSubmenuInfoDialog(CXParent& submenu);

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    CXParent& submenu;
    CHankakuEdit accelerator;
};
