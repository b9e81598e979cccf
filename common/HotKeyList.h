#pragma once
// The launcher's global hotkeys without the operating system: the eight fixed bindings and
// their stored list, the register of ids in use on the main window, the registration at
// start-up and the routing of a pressed hotkey to its target. The window that RegisterHotKey
// works on sits behind CHotKeyWindow, so that all of this runs with a fake in the tests.

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "HotKeyTarget.h"

class CXItem;
class CXRoot;

// Index of each fixed binding; the index is part of the stored list and of the hotkey dialog.
enum XFixedHotKey : int {
    kHotKeyLeftMenu = 0,
    kHotKeyRightMenu = 1,
    kHotKeySettings = 2,
    kHotKeyUserStartMenu = 3,
    kHotKeyCommonStartMenu = 4,
    kHotKeyUserStartup = 5,
    kHotKeyCommonStartup = 6,
    kHotKeyCustomize = 7,
};
inline constexpr int kFixedHotKeyCount = 8;
using CFixedHotKeys = std::array<CHotKeyTarget, kFixedHotKeyCount>;

// Label of a fixed binding in the hotkey dialog.
const wchar_t* FixedHotKeyLabel(int index);

inline constexpr wchar_t kHotKeyListValue[] = L"HotKey_v3";
inline constexpr wchar_t kOldHotKeyListValue[] = L"HotKey_v2";
// A serialized list longer than this is never stored.
inline constexpr size_t kMaxHotKeyListBytes = 0x100000;

// Fills the list from "HotKey_v3" (or "HotKey_v2") of the settings store. Records beyond the
// stored count keep their values; no stored list leaves all of them. An unreadable list
// resets all eight records and tells the user. False only in that case.
bool LoadHotKeys(CFixedHotKeys& list);
// Stores the list as "HotKey_v3" and deletes "HotKey_v2". True when the list was stored.
bool SaveHotKeys(const CFixedHotKeys& list);
// The byte form of the stored list, and its reading; exposed for the tests and the dump tool.
bool WriteHotKeyList(const CFixedHotKeys& list, std::vector<uint8_t>& bytes);
bool ReadHotKeyList(const std::vector<uint8_t>& bytes, CFixedHotKeys& list);

// Replies of the register request: 0xFACE in the upper half, the id in the lower.
inline constexpr uint32_t kHotKeyReplyTag = 0xFACE0000u;
inline constexpr bool IsHotKeyReply(uint32_t reply)
{
    return (reply & 0xFFFF0000u) == kHotKeyReplyTag;
}
inline constexpr int HotKeyIdOfReply(uint32_t reply)
{
    return static_cast<int>(reply & 0xFFFFu);
}

// The window the hotkeys are registered on (RegisterHotKey / UnregisterHotKey on Windows).
class CHotKeyWindow {
public:
    virtual ~CHotKeyWindow() = default;
    virtual bool RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) = 0;
    virtual void UnregisterHotKey(int id) = 0;
};

// The ids this launcher has registered on its main window and not yet released.
class CHotKeyManager {
public:
    CHotKeyManager() = default;
    CHotKeyManager(const CHotKeyManager&) = delete;
    CHotKeyManager& operator=(const CHotKeyManager&) = delete;
    virtual ~CHotKeyManager() = default;

    // packed: virtual key << 16 | modifiers. 0xFACE0000 | id, or 0 when the system refuses.
    uint32_t Register(CHotKeyWindow& window, int32_t packed);
    // Releases an id of this register; an unknown id is ignored. Always 0.
    uint32_t Unregister(CHotKeyWindow& window, int32_t id);
    // Releases every id (the main window is going away).
    void UnregisterAll(CHotKeyWindow& window);

    const std::vector<int32_t>& Ids() const { return ids; }

private:
    std::vector<int32_t> ids;
    // The packed combination behind each id in `ids`. The system refuses a combination that
    // is already registered, ours included, so such a request is answered without asking it:
    // menus share combinations by the thousand at most, and each refusal is a system call.
    std::map<int32_t, uint32_t> keyOfId;
};

// Registers every binding with a key: the fixed ones, the items of the left tree and, only
// while the two clicks show separate menus, the items of the right tree; then stores the
// list and both trees so that the stored ids are those of this launcher (a tree that its
// stored value already holds with these ids is not written again). True when the list was
// stored (the launcher then posts its refresh command to itself).
bool RegisterHotKeysAtStartUp(CHotKeyManager& manager, CHotKeyWindow& window, CFixedHotKeys& fixed, CXRoot& left,
                              CXRoot& right, bool separate);

// The launcher's own commands that fixed bindings 2 and 7 run.
inline constexpr int kHotKeySettingsCommand = 32772;
inline constexpr int kHotKeyCustomizeCommand = 32819;

// What a pressed hotkey leads to, other than an item.
class CHotKeyActions {
public:
    virtual ~CHotKeyActions() = default;
    // The left or right menu at the hotkey corner.
    virtual void ShowMenu(bool right) = 0;
    // A command of the launcher's own (32772, 32819).
    virtual void RunCommand(int commandId) = 0;
    // One of the four shell folders of the fixed bindings 3 to 6.
    virtual void OpenFolder(XFixedHotKey which) = 0;
};

// The first item of the tree, in walk order, bound to the id; null when there is none.
CXItem* FindItemByHotKeyId(CXRoot& root, int id);

// Routes WM_HOTKEY(id): the fixed bindings in the order 0, 1, 2, 7, 3-6, then the items of the
// left and of the right tree. An item is launched as from its menu, without error report.
// Only an id that this launcher registered and holds (one of `registered`) leads anywhere:
// any program can post WM_HOTKEY, and records without a key or with a stale id carry ids too.
void DispatchHotKey(int id, std::span<const int32_t> registered, const CFixedHotKeys& fixed, CXRoot& left,
                    CXRoot& right, CHotKeyActions& actions);
