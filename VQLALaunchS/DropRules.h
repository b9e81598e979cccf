#pragma once
// The decisions of the views' drag and drop without the system: the drop effect and the
// right-button drop menu, automatic scrolling, where a drop lands in a tree and in a list,
// which submenus may take the dragged nodes, what a copy does to hotkeys, and the reading of
// the shell's object lists and virtual-file descriptors that other programs offer.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CXNode;
class CXParent;

// Drop effects and key-state flags, with the values of the platform's DROPEFFECT_* and MK_*.
inline constexpr uint32_t kDropEffectNone = 0;
inline constexpr uint32_t kDropEffectCopy = 1;
inline constexpr uint32_t kDropEffectMove = 2;
inline constexpr uint32_t kDropEffectLink = 4;
inline constexpr uint32_t kKeyRightButton = 2; // MK_RBUTTON
inline constexpr uint32_t kKeyControl = 8;     // MK_CONTROL

// What the data dragged over a view is: nothing usable, nodes from the tool's own views or
// palette, or data of another program.
enum class XDataKind : int { None = 0, Internal = 1, Foreign = 2 };

// The effect the drop target reports for a requested one, given the source's allowed effects:
// an effect within them stays; copy falls back to move, then link; move to copy, then link;
// anything else is none.
uint32_t FilterDropEffect(uint32_t effect, uint32_t allowed);
// The effect suggested for the data under the current keys: internal data is copied with
// Ctrl held and moved without; foreign data is linked.
uint32_t SuggestedDropEffect(XDataKind kind, uint32_t keys);
// The effect of a left-button drop: link for foreign data, the filtered suggestion for
// internal data; none when the allowed effects do not contain it.
uint32_t LeftButtonDropEffect(XDataKind kind, uint32_t filteredSuggestion, uint32_t allowed);

// The commands of the right-button drop menu 316.
inline constexpr int kDropMenuId = 316;
inline constexpr int kDropCommandCopy = 32793;   // "ここにコピー(&C)"
inline constexpr int kDropCommandMove = 32794;   // "ここに移動(&M)"
inline constexpr int kDropCommandLink = 32778;   // "ここにファイル起動メニューを作成(&S)"
inline constexpr int kDropCommandCancel = 32795; // "キャンセル"

// Which commands of menu 316 are enabled: copy and move for internal data the source allows
// to be copied or moved, link for foreign data only.
struct CDropMenuState {
    bool copy = false;
    bool move = false;
    bool link = false;
};
CDropMenuState DropMenuStateOf(XDataKind kind, uint32_t allowed);
// The effect of the command chosen in menu 316; cancel, a dismissed menu (0) or any other id
// is none.
uint32_t EffectOfDropCommand(int commandId);

// Which ways a view scrolls while something is dragged at (x, y) in its client rectangle:
// within half a small icon (cx, cy) of an edge, the lower and right edges counted inside.
struct CDragScroll {
    bool up = false;
    bool down = false;
    bool left = false;
    bool right = false;
};
CDragScroll DragScrollOf(int x, int y, int left, int top, int right, int bottom, int cx, int cy);
// Whether the next scroll check is due: more than 100 ms of the 32-bit tick count since the
// last one, also across the count's wrap-around.
bool ScrollDue(uint32_t now, uint32_t lastScroll);

// Where a drop on a tree row lands: before or after the row's node, or into its submenu.
enum class XTreeDropZone : int { Before = 0, After = 1, Into = 2 };
// The zone of height y in a row from top to bottom: an entry's upper half is before it, its
// lower half after; an expanded submenu takes everything before it; a collapsed one takes its
// upper quarter before, its lower quarter after and its middle into it. A row without height
// is before.
XTreeDropZone TreeDropZoneOf(int y, int top, int bottom, bool isParent, bool expanded);
// Whether hovering at y over the remembered row toggles its expansion now: in the row's upper
// three quarters, not toggled during this hover yet, and at least a second of hovering.
bool HoverTogglesNow(int y, int top, int bottom, bool toggled, uint32_t elapsedMs);
// The position among target's children at which a drop in the zone of node's row inserts:
// into appends; before and after take node's position (after: the one behind it), or the end
// when node is none of target's children.
int TreeInsertPosition(XTreeDropZone zone, const CXParent& target, const CXNode* node);

// The position of a list drop for the insert mark at markItem (markAfter: behind it): 0 in an
// empty list; a negative mark (no position) stays as it is.
int ListInsertPosition(int rowCount, int markItem, bool markAfter);

// Whether the dragged nodes may be dropped into target: not when target is one of them or lies
// inside one of them. Without dragged nodes (foreign data, the palette) every submenu may; a
// missing target never. The dragged nodes are compared, never followed.
bool IsValidDropTarget(const CXParent* target, const std::vector<CXNode*>& draggedNodes);

// A copy never shares a hotkey: every item below incoming (text-copy items too, in submenus at
// any depth) loses its binding.
void StripHotKeys(CXParent& incoming);

// The ID lists of a "Shell IDList Array": the parent folder's and the children's, each the
// bytes of its records with the terminating zero count.
struct CIdListArray {
    std::vector<uint8_t> parent;
    std::vector<std::vector<uint8_t>> children;
};
// None for a block that does not hold a whole array: a short header, an offset table or an ID
// list outside the block, a record shorter than its count or running past the end, or a list
// without its terminator.
std::optional<CIdListArray> ParseIdListArray(const uint8_t* data, size_t size);

// One virtual file of a "FileGroupDescriptorW": its descriptor number (the index under which
// its "FileContents" is asked for) and its name.
struct CFileDescriptorName {
    uint32_t index = 0;
    std::wstring name;
};
// The descriptors a block holds in full, in order; a block shorter than its count gives only the
// complete ones, a block without a whole count none. A name ends at its first NUL, or after all
// 260 characters.
std::vector<CFileDescriptorName> ParseFileGroupDescriptorW(const uint8_t* data, size_t size);
// The title of an Internet shortcut named name (the name without its ".url", in any case); none
// for any other file.
std::optional<std::wstring> UrlFileTitle(const std::wstring& name);
