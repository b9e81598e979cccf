#pragma once
// The working copies of the item property dialogs and what their buttons do with them,
// without the system: the copy made from a node, the copy written back on OK, the shortcut
// expansion on a temporary item and the hotkey hand-over to the launcher (the old binding is
// released before the new one is registered).

#include <string>

#include "HotKeyTarget.h"

class CXItem;
class CXParent;
class CXTextItem;

// The launcher as the item dialogs see it: looked up once when OK is pressed.
class CLauncherLink {
public:
    virtual ~CLauncherLink() = default;
    virtual bool Exists() const = 0;
    // hotKeyId becomes the launcher's id, or stays -1 when it refuses.
    virtual void Register(CHotKeyTarget& binding) = 0;
    // hotKeyId is -1 afterwards.
    virtual void Unregister(CHotKeyTarget& binding) = 0;
};

// Dialog 311: a launchable item.
struct CProgInfoForm {
    std::wstring title;
    std::wstring accelerator;
    std::wstring fileName; // the display target of an internal link, else the path
    std::wstring parameters;
    std::wstring workingFolder;
    int showCommand = 0; // index into the list of sizes
    bool expandEnvironment = true;
    bool isInternalLink = false;
    CHotKeyTarget hotKeyAtOpen;
    CHotKeyTarget hotKeyEdit;
};
CProgInfoForm ProgInfoFormOf(const CXItem& item);
// The values, the default title and the binding into the item; an internal link keeps its path.
void WriteProgInfoForm(const CProgInfoForm& form, CXItem& item);

// Dialog 338: a text-copy item.
struct CTextItemForm {
    std::wstring title; // as stored: empty is the automatic title
    std::wstring accelerator;
    std::wstring text; // the whole text, wherever it is stored
    CHotKeyTarget hotKeyAtOpen;
    CHotKeyTarget hotKeyEdit;
};
CTextItemForm TextItemFormOf(const CXTextItem& item);
void WriteTextItemForm(const CTextItemForm& form, CXTextItem& item);

// Dialog 337: a submenu.
struct CSubmenuForm {
    std::wstring title;
    std::wstring accelerator;
};
CSubmenuForm SubmenuFormOf(const CXParent& submenu);
void WriteSubmenuForm(const CSubmenuForm& form, CXParent& submenu);

// Whether "ショートカットを展開" applies to a file name: it ends in ".lnk", in any case.
bool NamesShortcut(const std::wstring& fileName);
// Whether the file controls of dialog 311 take input: an internal link's only where the
// internal links are shown.
bool FileControlsEnabled(const CProgInfoForm& form, bool showInternalLinks);

// "ショートカットを展開": the form written into a temporary item, expanded there and read
// back, so that only the dialog changes. False when the shortcut gave nothing (the form then
// holds what the temporary item kept); nothing is tried for an internal link or a file name
// that is no shortcut.
enum class XExpandResult { NotTried, Expanded, Failed };
XExpandResult ExpandIntoForm(CProgInfoForm& form);

// The hotkey buttons: a new combination (not registered yet), or none.
void SetFormHotKey(CHotKeyTarget& edit, int32_t modifiers, int32_t virtualKey, const std::wstring& keyText);
void ClearFormHotKey(CHotKeyTarget& edit);

// The binding's part of OK, after the item holds its new hotKey: an unchanged combination
// keeps the registration it had at opening, or is registered when it had none; a changed one needs the launcher,
// releases the binding held at opening and registers the new one. False (the dialog stays open) when the combination
// changed and no launcher runs.
bool CommitItemHotKey(CHotKeyTarget& itemHotKey, CHotKeyTarget& hotKeyAtOpen, CLauncherLink& launcher);
