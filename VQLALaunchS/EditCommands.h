#pragma once
// The editing commands of the main dialog's views (trees 1004/1005, lists 1000/1001): the
// context menus and what each command does to a menu. A command changes the model first,
// then saves the whole menu (the launcher is told), then tells the other views through the
// dialog.

#include <windows.h>

class CVQLACommonCtrl;
class CXNode;
class CXParent;

// A view of the main dialog as the commands see it.
struct CEditView {
    HWND window;
    CVQLACommonCtrl& common;
    bool isList;
};

// Menu 313 (lists) or 317 (trees) at the point; the keyboard's request (-1, -1) opens it at
// the view's corner. The chosen command comes to the view as WM_COMMAND.
void ShowContextMenu(const CEditView& view, POINT screenPoint);

// The commands of both views (rename, delete, launch, expand shortcut, properties); false for
// any other command.
bool RunCommonCommand(const CEditView& view, int command);

// The insert commands of a list showing parent: the new entry goes to position.
void InsertNewItem(const CEditView& view, CXParent& parent, int position, bool textItem);
void InsertNewSubmenu(const CEditView& view, CXParent& parent, int position);
void InsertNewSeparator(const CEditView& view, CXParent& parent, int position);

// "起動": launches an item or copies its text; a failure is shown with the reason given.
void LaunchNode(HWND owner, CXNode* node);

// Drags the view's selection (copies of its nodes) with copy and move allowed; after a move
// the nodes leave their submenu, whose menu is saved after the target's.
void DragSelection(const CEditView& view);

// A node just dropped from the palette: its dialog (an item) or its title editing (a submenu).
void EditNewNode(const CEditView& view, CXNode* node);
