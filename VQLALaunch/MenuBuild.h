#pragma once
// The popup menu of one show without any window: which tree, whether the launcher's own
// submenu is appended, every entry with its text, command id, icon index and popup, the
// item clones behind the ids 40000 + k, the anchor and the tracking flags. MenuShow_win
// turns a CMenuPlan into real popups. Portable: no windows.h.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "HotKeyList.h"
#include "Ids.h"

class CXItem;
class CXNode;
class CXParent;
class CXRoot;

inline constexpr unsigned kFirstItemCommand = 40000;
inline constexpr wchar_t kOwnSubmenuTitle[] = L"Velquinランチャーメニュー";

// One row of the own submenu: command 0 is a separator; hotKey is an index into the fixed
// list, or -1 for none.
struct COwnMenuRow {
    unsigned command;
    const wchar_t* label;
    int hotKey;
};
inline constexpr int kOwnMenuRowCount = 12;
const std::array<COwnMenuRow, kOwnMenuRowCount>& OwnMenuRows();

// The own submenu on this side: always when separate is 0; otherwise exitPos 0 only on the
// left, 1 only on the right, any other value on both.
bool OwnSubmenuShown(int separate, int exitPos, bool menuIsRight);
// The right tree only when the menus are separate and the right one was asked for.
bool UsesRightTree(int separate, bool menuIsRight);

// A binding's menu text: keyText with every space removed and every "&" doubled.
std::wstring HotKeyMenuText(const std::wstring& keyText);
// label, then a TAB and the binding's text when showHotKey is non-zero and the binding is
// active (has a key and an id other than -1).
std::wstring LabelWithHotKey(const std::wstring& label, const CHotKeyTarget& binding, int showHotKey);
// "Velquinランチャーメニュー" with the accelerator of "TheSubMenuAccelerator" (first character).
std::wstring OwnSubmenuText(const std::wstring& subMenuAccelerator);

enum class XMenuEntryKind { Item, Command, Popup, Separator };

struct CMenuEntry {
    XMenuEntryKind kind = XMenuEntryKind::Separator;
    std::wstring text;   // Item, Command, Popup; with the TAB and hotkey text where shown
    unsigned id = 0;     // Item: 40000 + slot; Command: the launcher's command id
    int slot = -1;       // Item: index into CMenuPlan::itemSlots
    int popup = -1;      // Popup: index into CMenuPlan::popups
    int imageIndex = -1; // what AttachODMItem receives
    // Popup index whose drawing record the entry shares (the separator before the own
    // submenu shares the own submenu's record; a separator's size does not depend on it).
    int commonOf = -1;
    bool ownSubmenu = false; // the entry that opens the own submenu (own icon, own bitmap)
};

struct CMenuPopup {
    std::vector<CMenuEntry> entries;
};

struct CMenuPlan {
    CMenuPlan() = default;
    CMenuPlan(CMenuPlan&&) = default;
    CMenuPlan& operator=(CMenuPlan&&) = default;
    ~CMenuPlan();

    // popups[0] is the tree's menu; a Popup entry names a later popup. Popups are listed in
    // the order the builder creates them (a parent before its children, the own submenu last).
    std::vector<CMenuPopup> popups;
    // The clones the item ids refer to, owned here until the menu show is released.
    std::vector<std::unique_ptr<CXItem>> itemSlots;
    bool ownSubmenuShown = false;
    int ownSubmenuPopup = -1;

    // The clone for a chosen command id, or null for any id outside 40000 .. 40000 + slots - 1.
    CXItem* ItemForCommand(unsigned id) const;
};

struct CMenuBuildOptions {
    bool ownSubmenu = true;
    int showHotKey = 1;
    std::wstring subMenuAccelerator = L"M";
    int ownIconIndex = -1;
};

// Builds the plan of a tree: one popup per submenu node from clones, items numbered in
// pre-order, hotkey texts, then (when asked) the separator, only if the tree's menu has an
// entry, and the own submenu with its twelve rows.
CMenuPlan BuildMenuPlan(const CXParent& tree, const CFixedHotKeys& fixedHotKeys, const CMenuBuildOptions& options);

// What a chosen id asks for.
enum class XMenuResult { None, Item, Command };
XMenuResult ClassifyMenuResult(unsigned id, size_t slotCount);

// Anchor of a menu opened by hotkey or command: 4 pixels inside the primary screen's corner
// "MenuPos" (values other than 0-2 act as 3).
struct CMenuAnchor {
    int x = 0;
    int y = 0;
    int corner = 3;
    bool operator==(const CMenuAnchor&) const = default;
};
inline constexpr int kMenuCornerInset = 4;
CMenuAnchor HotKeyMenuAnchor(int menuPos, int screenWidth, int screenHeight);
// A click anchors at the cursor with corner 3.
CMenuAnchor CursorMenuAnchor(int cursorX, int cursorY);

// TrackPopupMenu flags.
inline constexpr unsigned kTpmRightAlign = 0x08;
inline constexpr unsigned kTpmBottomAlign = 0x20;
inline constexpr unsigned kTpmVertical = 0x40;
inline constexpr unsigned kTpmTrackBase = 0x182; // TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON
// 0 top left, 1 bottom, 2 right, any other right and bottom.
unsigned MenuAlignFlags(int corner);
// Alignment | 0x182, plus TPM_VERTICAL when the taskbar is avoided and its edge is 0-3.
unsigned MenuTrackFlags(int corner, bool avoidTaskBar, unsigned taskBarEdge);

// Foreground workaround: repetitions limited to 1..10.
int WorkaroundRepetitions(int retryCount);
// An absolute input coordinate: v * 65535.0 / (extent - 1), rounded.
int AbsoluteInputCoordinate(int v, int extent);
// The random 8 x 8 spot of a moment window inside the work area: its top-left corner
// left + r1 mod (width - 8), top + r2 mod (height - 8), offset 0 where the span is not positive.
inline constexpr int kMomentWindowSize = 8;
struct CMenuPoint {
    int x = 0;
    int y = 0;
    bool operator==(const CMenuPoint&) const = default;
};
CMenuPoint MomentSpot(int workLeft, int workTop, int workWidth, int workHeight, int r1, int r2);
inline constexpr int kMomentPlacementAttempts = 10;
inline constexpr unsigned kMomentTimerMs = 5;
inline constexpr unsigned kMomentEndMs = 200;
