#include "ItemDialogs.h"

#include <cderr.h>
#include <commdlg.h>
#include <shobjidl.h>

#include <vector>

#include "HotKeyInputDialog.h"
#include "LauncherLink_win.h"
#include "Resource.h"
#include "VQLALaunchSApp.h"
#include "WinHandles.h"
#include "XNode.h"

namespace {
const wchar_t kMessageFileNameRequired[] = L"ファイル名欄は必須です。";
const wchar_t kMessageShortcutUnreadable[] = L"ショートカットから情報を取り出せません。";
// The item index is the item's showCommand.
const wchar_t* const kShowCommandItems[] = {L"通常のウィンドウ", L"最小化", L"最大化"};
// The controls that only a file of the user's own takes.
const int kFileControls[] = {
    IDC_ITEM_FILE,          IDC_ITEM_BROWSE_FILE, IDC_ITEM_PARAMETERS,         IDC_ITEM_FOLDER,
    IDC_ITEM_BROWSE_FOLDER, IDC_ITEM_SHOW,        IDC_ITEM_EXPAND_ENVIRONMENT, IDC_ITEM_EXPAND_SHORTCUT};
// The text-copy item's text may be long: it is kept in an internal file beyond a line's length.
constexpr WPARAM kCopyTextLimit = 0x4000000;

// Messages of the model (an unreadable shortcut, an internal file that cannot be written)
// belong to the dialog open while they arise.
class CMessageOwnerScope {
public:
    explicit CMessageOwnerScope(HWND window) : previous(App().MessageOwner()) { App().SetMessageOwner(window); }
    ~CMessageOwnerScope() { App().SetMessageOwner(previous); }
    CMessageOwnerScope(const CMessageOwnerScope&) = delete;
    CMessageOwnerScope& operator=(const CMessageOwnerScope&) = delete;

private:
    HWND previous;
};

void ShowMessage(HWND owner, const wchar_t* text)
{
    MessageBoxW(owner, text, kToolAppName, MB_OK);
}

// "設定(&H)" and "削除(&X)" of both item dialogs: only the dialog's copy changes.
bool OnHotKeyButton(CXDialog& dialog, int controlId, CHotKeyTarget& edit)
{
    if (controlId == IDC_ITEM_HOTKEY_SET) {
        CHotKeyInputDialog input;
        if (input.DoModal(dialog.Handle()) == IDOK) {
            SetFormHotKey(edit, input.modifiers, input.virtualKey, input.keyText);
            dialog.SetItemText(IDC_ITEM_HOTKEY, edit.keyText);
        }
        return true;
    }
    if (controlId == IDC_ITEM_HOTKEY_CLEAR) {
        ClearFormHotKey(edit);
        dialog.SetItemText(IDC_ITEM_HOTKEY, L"");
        return true;
    }
    return false;
}
} // namespace

// ---- file item -------------------------------------------------------------------------

CProgInfoDialog::CProgInfoDialog(CXItem& item, bool expandAtOpen)
    : CXDialog(IDD_PROG_INFO), item(item), expandAtOpen(expandAtOpen), form(ProgInfoFormOf(item))
{
}

INT_PTR CProgInfoDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        const int controlId = LOWORD(wParam);
        const int code = HIWORD(wParam);
        switch (controlId) {
        case IDC_ITEM_FILE:
            if (code == EN_CHANGE)
                UpdateFileControls();
            return TRUE;
        case IDC_ITEM_BROWSE_FILE:
            OnBrowseFile();
            return TRUE;
        case IDC_ITEM_BROWSE_FOLDER:
            OnBrowseFolder();
            return TRUE;
        case IDC_ITEM_EXPAND_SHORTCUT:
            OnExpandShortcut();
            return TRUE;
        default:
            if (code == BN_CLICKED && OnHotKeyButton(*this, controlId, form.hotKeyEdit))
                return TRUE;
            break;
        }
    }
    return CXDialog::DialogProc(message, wParam, lParam);
}

bool CProgInfoDialog::OnInitDialog()
{
    for (const wchar_t* text : kShowCommandItems)
        SendDlgItemMessageW(Handle(), IDC_ITEM_SHOW, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    accelerator.AttachEdit(Handle(), IDC_ITEM_ACCELERATOR);
    ShowForm();
    UpdateFileControls();
    if (expandAtOpen)
        PostMessageW(Handle(), WM_COMMAND, MAKEWPARAM(IDC_ITEM_EXPAND_SHORTCUT, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Item(IDC_ITEM_EXPAND_SHORTCUT)));
    return true;
}

void CProgInfoDialog::ShowForm()
{
    SetItemText(IDC_ITEM_TITLE, form.title);
    SetItemText(IDC_ITEM_ACCELERATOR, form.accelerator);
    SetItemText(IDC_ITEM_FILE, form.fileName);
    SetItemText(IDC_ITEM_PARAMETERS, form.parameters);
    SetItemText(IDC_ITEM_FOLDER, form.workingFolder);
    // A size the list does not offer selects none and is kept.
    SendDlgItemMessageW(Handle(), IDC_ITEM_SHOW, CB_SETCURSEL, static_cast<WPARAM>(form.showCommand), 0);
    CheckDlgButton(Handle(), IDC_ITEM_EXPAND_ENVIRONMENT, form.expandEnvironment ? BST_CHECKED : BST_UNCHECKED);
    SetItemText(IDC_ITEM_HOTKEY, form.hotKeyEdit.keyText);
}

void CProgInfoDialog::ReadForm()
{
    form.title = ItemText(IDC_ITEM_TITLE);
    form.accelerator = ItemText(IDC_ITEM_ACCELERATOR);
    form.fileName = ItemText(IDC_ITEM_FILE);
    form.parameters = ItemText(IDC_ITEM_PARAMETERS);
    form.workingFolder = ItemText(IDC_ITEM_FOLDER);
    const LRESULT size = SendDlgItemMessageW(Handle(), IDC_ITEM_SHOW, CB_GETCURSEL, 0, 0);
    if (size != CB_ERR)
        form.showCommand = static_cast<int>(size);
    form.expandEnvironment = IsDlgButtonChecked(Handle(), IDC_ITEM_EXPAND_ENVIRONMENT) == BST_CHECKED;
}

void CProgInfoDialog::UpdateFileControls()
{
    if (form.isInternalLink) {
        if (!FileControlsEnabled(form, App().showInternalLinks != 0)) {
            for (int controlId : kFileControls)
                EnableWindow(Item(controlId), FALSE);
        }
        return;
    }
    EnableWindow(Item(IDC_ITEM_EXPAND_SHORTCUT), NamesShortcut(ItemText(IDC_ITEM_FILE)) ? TRUE : FALSE);
}

void CProgInfoDialog::OnBrowseFile()
{
    std::vector<wchar_t> file(32768, L'\0');
    const std::wstring start = ItemText(IDC_ITEM_FILE);
    start.copy(file.data(), std::min(start.size(), file.size() - 1));

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    BOOL chosen = GetOpenFileNameW(&dialog);
    // A field holding something that is no file name (a URL) still opens the picker.
    if (!chosen && CommDlgExtendedError() == FNERR_INVALIDFILENAME) {
        file[0] = L'\0';
        chosen = GetOpenFileNameW(&dialog);
    }
    if (!chosen)
        return;
    SetItemText(IDC_ITEM_FILE, file.data());
    UpdateFileControls();
}

void CProgInfoDialog::OnBrowseFolder()
{
    CComPtr<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IFileOpenDialog),
                                dialog.put_void())))
        return;
    FILEOPENDIALOGOPTIONS options = 0;
    if (FAILED(dialog->GetOptions(&options)) ||
        FAILED(dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM)))
        return;
    const std::wstring start = ItemText(IDC_ITEM_FOLDER);
    CComPtr<IShellItem> folder;
    if (!start.empty() &&
        SUCCEEDED(SHCreateItemFromParsingName(start.c_str(), nullptr, __uuidof(IShellItem), folder.put_void())))
        dialog->SetFolder(folder.get());
    if (FAILED(dialog->Show(Handle())))
        return;
    CComPtr<IShellItem> chosen;
    if (FAILED(dialog->GetResult(chosen.put())))
        return;
    wchar_t* path = nullptr;
    if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path)
        return;
    SetItemText(IDC_ITEM_FOLDER, path);
    CoTaskMemFree(path);
}

void CProgInfoDialog::OnExpandShortcut()
{
    ReadForm();
    XExpandResult result;
    {
        CMessageOwnerScope owner(Handle());
        result = ExpandIntoForm(form);
    }
    if (result == XExpandResult::NotTried)
        return;
    if (result == XExpandResult::Failed)
        ShowMessage(Handle(), kMessageShortcutUnreadable);
    ShowForm();
    UpdateFileControls();
}

void CProgInfoDialog::OnOK()
{
    CWindowLauncherLink launcher(FindLauncherWindow());
    ReadForm();
    if (!form.isInternalLink && form.fileName.empty()) {
        ShowMessage(Handle(), kMessageFileNameRequired);
        return;
    }
    {
        CMessageOwnerScope owner(Handle());
        WriteProgInfoForm(form, item);
    }
    if (!CommitItemHotKey(item.hotKey, form.hotKeyAtOpen, launcher)) {
        ShowMessage(Handle(), kMessageNoLauncher);
        return;
    }
    EndDialog(IDOK);
}

// ---- text-copy item --------------------------------------------------------------------

CTextItemInfoDialog::CTextItemInfoDialog(CXTextItem& item)
    : CXDialog(IDD_TEXT_ITEM_INFO), item(item), form(TextItemFormOf(item))
{
}

INT_PTR CTextItemInfoDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && OnHotKeyButton(*this, LOWORD(wParam), form.hotKeyEdit))
        return TRUE;
    return CXDialog::DialogProc(message, wParam, lParam);
}

bool CTextItemInfoDialog::OnInitDialog()
{
    SendDlgItemMessageW(Handle(), IDC_ITEM_TEXT, EM_LIMITTEXT, kCopyTextLimit, 0);
    SetItemText(IDC_ITEM_TITLE, form.title);
    SetItemText(IDC_ITEM_ACCELERATOR, form.accelerator);
    SetItemText(IDC_ITEM_TEXT, form.text);
    SetItemText(IDC_ITEM_HOTKEY, form.hotKeyEdit.keyText);
    accelerator.AttachEdit(Handle(), IDC_ITEM_ACCELERATOR);
    return true;
}

void CTextItemInfoDialog::ReadForm()
{
    form.title = ItemText(IDC_ITEM_TITLE);
    form.accelerator = ItemText(IDC_ITEM_ACCELERATOR);
    form.text = ItemText(IDC_ITEM_TEXT);
}

void CTextItemInfoDialog::OnOK()
{
    CWindowLauncherLink launcher(FindLauncherWindow());
    ReadForm();
    {
        CMessageOwnerScope owner(Handle());
        WriteTextItemForm(form, item);
    }
    if (!CommitItemHotKey(item.hotKey, form.hotKeyAtOpen, launcher)) {
        ShowMessage(Handle(), kMessageNoLauncher);
        return;
    }
    EndDialog(IDOK);
}

// ---- submenu ---------------------------------------------------------------------------

CSubmenuInfoDialog::CSubmenuInfoDialog(CXParent& submenu) : CXDialog(IDD_SUBMENU_INFO), submenu(submenu) {}

bool CSubmenuInfoDialog::OnInitDialog()
{
    const CSubmenuForm form = SubmenuFormOf(submenu);
    SetItemText(IDC_ITEM_TITLE, form.title);
    SetItemText(IDC_ITEM_ACCELERATOR, form.accelerator);
    accelerator.AttachEdit(Handle(), IDC_ITEM_ACCELERATOR);
    return true;
}

void CSubmenuInfoDialog::OnOK()
{
    WriteSubmenuForm({ItemText(IDC_ITEM_TITLE), ItemText(IDC_ITEM_ACCELERATOR)}, submenu);
    EndDialog(IDOK);
}
