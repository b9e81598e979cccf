#include "HotKeyList.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <span>

#include "Platform.h"
#include "SettingsStore.h"
#include "XArchive.h"
#include "XNode.h"

namespace {
const wchar_t kMessageHotKeysCorrupt[] = L"ホットキー設定が破損しています。";
const wchar_t kMessageCannotSave[] = L"設定データをセーブできません。";

const wchar_t* const kFixedLabels[kFixedHotKeyCount] = {
    L"左クリックメニュー呼び出し",
    L"右クリックメニュー呼び出し",
    L"設定ウィンドウ呼び出し",
    L"スタートメニュー（ユーザー）フォルダを開く",
    L"スタートメニュー（共通）フォルダを開く",
    L"スタートアップ（ユーザー）フォルダを開く",
    L"スタートアップ（共通）フォルダを開く",
    L"カスタマイズウィンドウ呼び出し",
};

// The order in which a pressed id is compared with the fixed bindings; the first match decides.
constexpr int kDispatchOrder[kFixedHotKeyCount] = {0, 1, 2, 7, 3, 4, 5, 6};

template <typename Visit> void ForEachItem(CXParent& parent, const Visit& visit)
{
    for (CXNode* child : parent.children) {
        if (CXItem* item = XDynamicCast<CXItem>(child))
            visit(*item);
        else if (CXParent* submenu = XDynamicCast<CXParent>(child))
            ForEachItem(*submenu, visit);
    }
}

void RegisterBinding(CHotKeyManager& manager, CHotKeyWindow& window, CHotKeyTarget& binding)
{
    binding.hotKeyId = -1;
    uint32_t reply = manager.Register(window, binding.PackedKey());
    if (IsHotKeyReply(reply))
        binding.hotKeyId = HotKeyIdOfReply(reply);
}
} // namespace

const wchar_t* FixedHotKeyLabel(int index)
{
    return index >= 0 && index < kFixedHotKeyCount ? kFixedLabels[index] : L"";
}

// ---- the stored list -------------------------------------------------------------------

bool WriteHotKeyList(const CFixedHotKeys& list, std::vector<uint8_t>& bytes)
{
    CXArchive ar;
    ar.WriteByte(0);
    ar.WriteInt32(kFixedHotKeyCount);
    for (CHotKeyTarget record : list) // Serialize is one function for both directions
        record.Serialize(ar);
    if (ar.Failed())
        return false;
    bytes = ar.TakeBytes();
    return true;
}

bool ReadHotKeyList(const std::vector<uint8_t>& bytes, CFixedHotKeys& list)
{
    CXArchive ar{std::span<const uint8_t>(bytes)};
    ar.ReadByte(); // list version: nothing depends on it yet
    int32_t count = ar.ReadInt32();
    // Read into a copy, so that a list that breaks off changes nothing here.
    CFixedHotKeys result = list;
    int take = count > 0 ? std::min<int32_t>(count, kFixedHotKeyCount) : 0;
    for (int i = 0; i < take && !ar.Failed(); ++i)
        result[static_cast<size_t>(i)].Serialize(ar);
    if (ar.Failed())
        return false;
    list = result;
    return true;
}

bool LoadHotKeys(CFixedHotKeys& list)
{
    CSettingsStore& store = Store();
    std::optional<std::vector<uint8_t>> bytes = store.GetBlob(kSectionSettings, kHotKeyListValue);
    if (!bytes)
        bytes = store.GetBlob(kSectionSettings, kOldHotKeyListValue);
    if (!bytes)
        return true;
    if (ReadHotKeyList(*bytes, list))
        return true;
    for (CHotKeyTarget& record : list)
        record.Clear();
    Platform().ShowMessage(kMessageHotKeysCorrupt);
    return false;
}

bool SaveHotKeys(const CFixedHotKeys& list)
{
    std::vector<uint8_t> bytes;
    if (!WriteHotKeyList(list, bytes)) {
        Platform().ShowMessage(kMessageCannotSave);
        return false;
    }
    if (bytes.size() > kMaxHotKeyListBytes)
        return false;
    CSettingsStore& store = Store();
    store.SetBlob(kSectionSettings, kHotKeyListValue, bytes);
    store.SetString(kSectionSettings, kOldHotKeyListValue, std::nullopt);
    return true;
}

// ---- ids on the main window ------------------------------------------------------------

uint32_t CHotKeyManager::Register(CHotKeyWindow& window, int32_t packed)
{
    const uint32_t bits = static_cast<uint32_t>(packed);
    for (const auto& [heldId, key] : keyOfId) {
        if (key == bits)
            return 0;
    }
    std::sort(ids.begin(), ids.end());
    int32_t id = 1;
    int32_t previous = 0;
    bool gapFound = false;
    for (int32_t used : ids) {
        if (used > previous + 1) {
            id = previous + 1;
            gapFound = true;
            break;
        }
        previous = used;
    }
    if (!gapFound && !ids.empty())
        id = ids.back() + 1;

    if (!window.RegisterHotKey(id, bits & 0xFFFFu, bits >> 16))
        return 0;
    ids.push_back(id);
    keyOfId[id] = bits;
    return kHotKeyReplyTag | static_cast<uint32_t>(id);
}

uint32_t CHotKeyManager::Unregister(CHotKeyWindow& window, int32_t id)
{
    auto found = std::find(ids.rbegin(), ids.rend(), id);
    if (found != ids.rend()) {
        ids.erase(std::next(found).base());
        keyOfId.erase(id);
        window.UnregisterHotKey(id);
    }
    return 0;
}

void CHotKeyManager::UnregisterAll(CHotKeyWindow& window)
{
    for (int32_t id : ids)
        window.UnregisterHotKey(id);
    ids.clear();
    keyOfId.clear();
}

// ---- start-up and dispatch ---------------------------------------------------------------

namespace {
std::vector<int> HotKeyIdsOf(CXRoot& root)
{
    std::vector<int> ids;
    ForEachItem(root, [&](CXItem& item) { ids.push_back(item.hotKey.hotKeyId); });
    return ids;
}

// A tree read whole from its stored value whose ids came out as they were is stored
// already: two menus at their largest are two megabytes written at every start otherwise.
// Only the older value names beside it go.
void SaveUnlessStored(CXRoot& root, const std::vector<int>& idsBefore)
{
    if (!root.matchesStore || HotKeyIdsOf(root) != idsBefore)
        root.Save();
    else
        root.DropOlderForms();
}
} // namespace

bool RegisterHotKeysAtStartUp(CHotKeyManager& manager, CHotKeyWindow& window, CFixedHotKeys& fixed, CXRoot& left,
                              CXRoot& right, bool separate)
{
    const std::vector<int> leftIds = HotKeyIdsOf(left);
    const std::vector<int> rightIds = HotKeyIdsOf(right);
    for (CHotKeyTarget& record : fixed) {
        if (record.HasKey())
            RegisterBinding(manager, window, record);
    }
    ForEachItem(left, [&](CXItem& item) {
        if (item.hotKey.HasKey())
            RegisterBinding(manager, window, item.hotKey);
    });
    // With one menu for both clicks the right tree is not in use: its bindings stay unregistered.
    ForEachItem(right, [&](CXItem& item) {
        if (!item.hotKey.HasKey())
            return;
        if (separate)
            RegisterBinding(manager, window, item.hotKey);
        else
            item.hotKey.hotKeyId = -1;
    });

    bool listStored = SaveHotKeys(fixed);
    SaveUnlessStored(left, leftIds);
    SaveUnlessStored(right, rightIds);
    return listStored;
}

CXItem* FindItemByHotKeyId(CXRoot& root, int id)
{
    CXItem* match = nullptr;
    ForEachItem(root, [&](CXItem& item) {
        if (!match && item.hotKey.hotKeyId == id)
            match = &item;
    });
    return match;
}

void DispatchHotKey(int id, std::span<const int32_t> registered, const CFixedHotKeys& fixed, CXRoot& left,
                    CXRoot& right, CHotKeyActions& actions)
{
    if (id <= 0 || std::find(registered.begin(), registered.end(), id) == registered.end())
        return;
    for (int index : kDispatchOrder) {
        if (fixed[static_cast<size_t>(index)].hotKeyId != id)
            continue;
        switch (index) {
        case kHotKeyLeftMenu:
            actions.ShowMenu(false);
            break;
        case kHotKeyRightMenu:
            actions.ShowMenu(true);
            break;
        case kHotKeySettings:
            actions.RunCommand(kHotKeySettingsCommand);
            break;
        case kHotKeyCustomize:
            actions.RunCommand(kHotKeyCustomizeCommand);
            break;
        default:
            actions.OpenFolder(static_cast<XFixedHotKey>(index));
            break;
        }
        return;
    }

    CXItem* item = FindItemByHotKeyId(left, id);
    if (!item)
        item = FindItemByHotKeyId(right, id);
    if (!item)
        return;
    // Launched from a copy, as the menu does: the shell call may pump messages, and a reload
    // arriving meanwhile replaces the trees under the original.
    std::unique_ptr<CXNode> copy(item->Clone());
    if (CXItem* launched = XDynamicCast<CXItem>(copy.get()))
        launched->Execute(nullptr);
}
