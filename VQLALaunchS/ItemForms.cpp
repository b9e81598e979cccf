#include "ItemForms.h"

#include "ItemText.h"
#include "XNode.h"

CProgInfoForm ProgInfoFormOf(const CXItem& item)
{
    CProgInfoForm form;
    form.title = item.title;
    form.accelerator = item.accelerator;
    form.isInternalLink = item.isInternal != 0;
    form.fileName = form.isInternalLink ? item.GetPathDisplay() : item.path;
    form.parameters = item.parameters;
    form.workingFolder = item.workingFolder;
    form.showCommand = item.showCommand;
    form.expandEnvironment = item.expandEnvironment != 0;
    form.hotKeyAtOpen = item.hotKey;
    form.hotKeyEdit = item.hotKey;
    return form;
}

void WriteProgInfoForm(const CProgInfoForm& form, CXItem& item)
{
    item.title = form.title;
    item.accelerator = form.accelerator;
    if (!item.isInternal)
        item.path = form.fileName;
    item.parameters = form.parameters;
    item.workingFolder = form.workingFolder;
    item.showCommand = form.showCommand;
    item.expandEnvironment = form.expandEnvironment ? 1 : 0;
    item.SetDefaultTitle();
    item.hotKey = form.hotKeyEdit;
}

CTextItemForm TextItemFormOf(const CXTextItem& item)
{
    CTextItemForm form;
    form.title = item.title;
    form.accelerator = item.accelerator;
    // An internal text file that cannot be read opens as an empty text; nothing is written
    // before OK.
    form.text = item.GetText();
    form.hotKeyAtOpen = item.hotKey;
    form.hotKeyEdit = item.hotKey;
    return form;
}

void WriteTextItemForm(const CTextItemForm& form, CXTextItem& item)
{
    item.SetText(form.text);
    item.title = form.title;
    item.accelerator = form.accelerator;
    item.hotKey = form.hotKeyEdit;
}

CSubmenuForm SubmenuFormOf(const CXParent& submenu)
{
    return {submenu.title, submenu.accelerator};
}

void WriteSubmenuForm(const CSubmenuForm& form, CXParent& submenu)
{
    submenu.title = form.title;
    submenu.accelerator = form.accelerator;
}

bool NamesShortcut(const std::wstring& fileName)
{
    return EndsWithExtension(fileName, L".lnk");
}

bool FileControlsEnabled(const CProgInfoForm& form, bool showInternalLinks)
{
    return !form.isInternalLink || showInternalLinks;
}

XExpandResult ExpandIntoForm(CProgInfoForm& form)
{
    if (form.isInternalLink || !NamesShortcut(form.fileName))
        return XExpandResult::NotTried;
    CXItem temporary;
    WriteProgInfoForm(form, temporary);
    const bool expanded = temporary.ExpandShortcut();
    form.title = temporary.title;
    form.accelerator = temporary.accelerator;
    form.fileName = temporary.path;
    form.parameters = temporary.parameters;
    form.workingFolder = temporary.workingFolder;
    form.showCommand = temporary.showCommand;
    form.expandEnvironment = temporary.expandEnvironment != 0;
    form.hotKeyEdit.keyText = temporary.hotKey.keyText;
    form.isInternalLink = temporary.isInternal != 0;
    return expanded ? XExpandResult::Expanded : XExpandResult::Failed;
}

void SetFormHotKey(CHotKeyTarget& edit, int32_t modifiers, int32_t virtualKey, const std::wstring& keyText)
{
    edit.modifiers = modifiers;
    edit.virtualKey = virtualKey;
    edit.keyText = keyText;
    edit.hotKeyId = -1;
}

void ClearFormHotKey(CHotKeyTarget& edit)
{
    edit.Clear();
}

bool CommitItemHotKey(CHotKeyTarget& itemHotKey, CHotKeyTarget& hotKeyAtOpen, CLauncherLink& launcher)
{
    const bool same =
        itemHotKey.modifiers == hotKeyAtOpen.modifiers && itemHotKey.virtualKey == hotKeyAtOpen.virtualKey;
    if (same) {
        // The same combination chosen again is still registered under the id it had: a
        // second registration would be refused as held already.
        if (itemHotKey.hotKeyId == -1 && hotKeyAtOpen.IsActive())
            itemHotKey.hotKeyId = hotKeyAtOpen.hotKeyId;
        if (itemHotKey.HasKey() && itemHotKey.hotKeyId == -1 && launcher.Exists())
            launcher.Register(itemHotKey);
        return true;
    }
    if (!launcher.Exists())
        return false;
    if (hotKeyAtOpen.IsActive())
        launcher.Unregister(hotKeyAtOpen);
    if (itemHotKey.HasKey())
        launcher.Register(itemHotKey);
    return true;
}
