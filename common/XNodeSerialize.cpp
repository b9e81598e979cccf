// The stored records of the node classes and the hotkey record, and storing a root in
// the settings store.

#include <optional>

#include "ItemText.h"
#include "MenuStore.h"
#include "Platform.h"
#include "SettingsStore.h"
#include "XArchive.h"
#include "XNode.h"

namespace {
// Version of the item record this program writes; every older one is still read.
constexpr uint8_t kItemVersion = 6;
// Version of the submenu record: 1 carries the accelerator, 0 keeps it in the title.
constexpr uint8_t kParentVersion = 1;

const wchar_t kMessageCorrupt[] = L"設定データが破損しています。";
const wchar_t kMessageCannotSave[] = L"設定データをセーブできません。";
const wchar_t kMessageTooLarge[] = L"項目が多すぎてセーブできません。";

// Older value names of the same archive, newest first.
const wchar_t* const kValueSuffixes[] = {L"_v3", L"_v2", L""};
// Beside them, the last stored bytes that could not be read, kept for salvaging.
const wchar_t kCorruptCopySuffix[] = L"_corrupt";

void WriteFlag(CXArchive& ar, int value)
{
    ar.WriteByte(value != 0 ? 1 : 0);
}
int ReadByteFlag(CXArchive& ar)
{
    return ar.ReadByte() != 0 ? 1 : 0;
}
int ReadInt32Flag(CXArchive& ar)
{
    return ar.ReadInt32() != 0 ? 1 : 0;
}
} // namespace

void CHotKeyTarget::Serialize(CXArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteByte(0);
        ar.WriteInt32(modifiers);
        ar.WriteInt32(virtualKey);
        ar.WriteString(keyText);
        ar.WriteInt32(hotKeyId);
    } else {
        ar.ReadReserved();
        modifiers = ar.ReadInt32();
        virtualKey = ar.ReadInt32();
        keyText = ar.ReadString();
        hotKeyId = ar.ReadInt32();
    }
}

void CXNode::Serialize(CXArchive& ar)
{
    if (ar.IsStoring())
        ar.WriteByte(0);
    else
        ar.ReadReserved();
}

void CXItem::Serialize(CXArchive& ar)
{
    CXNode::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteByte(kItemVersion);
        ar.WriteString(title);
        ar.WriteString(accelerator);
        ar.WriteString(path);
        ar.WriteString(parameters);
        ar.WriteString(workingFolder);
        WriteFlag(ar, reservedFlag);
        WriteFlag(ar, expandEnvironment);
        ar.WriteInt32(showCommand);
        hotKey.Serialize(ar);
        WriteFlag(ar, isInternal);
        return;
    }

    // Versions above the newest known are read as the newest.
    const uint8_t version = ar.ReadByte();
    if (ar.Strict() && version > kItemVersion)
        ar.Fail();
    title = ar.ReadString();
    if (version >= 6)
        accelerator = ar.ReadString();
    else
        DeriveAccelerator(title, accelerator);
    path = ar.ReadString();
    parameters = ar.ReadString();
    workingFolder = ar.ReadString();
    if (version >= 4) {
        reservedFlag = ReadByteFlag(ar);
        expandEnvironment = ReadByteFlag(ar);
    } else {
        expandEnvironment = ReadInt32Flag(ar);
    }
    if (version >= 1) {
        // Anything but normal, minimized or maximized falls back to normal.
        const uint32_t show = ar.ReadUInt32();
        if (ar.Strict() && show >= 3)
            ar.Fail();
        showCommand = show < 3 ? static_cast<int>(show) : 0;
    }
    if (version >= 2)
        hotKey.Serialize(ar);
    if (version >= 4)
        isInternal = ReadByteFlag(ar);
    else if (version == 3)
        isInternal = ReadInt32Flag(ar);
    if (version == 4) {
        // A field that version 5 dropped again.
        ar.ReadByte();
        ar.ReadString();
    }
}

void CXTextItem::Serialize(CXArchive& ar)
{
    CXItem::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteByte(0);
        ar.WriteString(summary);
        ar.WriteString(text);
    } else {
        ar.ReadReserved();
        summary = ar.ReadString();
        text = ar.ReadString();
    }
}

void CXSeparator::Serialize(CXArchive& ar)
{
    CXNode::Serialize(ar);
    if (ar.IsStoring())
        ar.WriteByte(0);
    else
        ar.ReadReserved();
}

void CXParent::Serialize(CXArchive& ar)
{
    CXNode::Serialize(ar);
    if (ar.IsStoring()) {
        ar.WriteByte(kParentVersion);
        ar.WriteString(title);
        ar.WriteString(accelerator);
        ar.WriteCount(children.size());
        if (!ar.EnterChildren())
            return;
        for (CXNode* child : children) {
            ar.WriteObject(child);
            if (ar.Failed())
                break;
        }
        ar.LeaveChildren();
        return;
    }

    const uint8_t version = ar.ReadByte();
    if (ar.Strict() && version > kParentVersion)
        ar.Fail();
    title = ar.ReadString();
    if (version != 0)
        accelerator = ar.ReadString();
    else
        DeriveAccelerator(title, accelerator);
    const uint64_t count = ar.ReadCount();
    if (ar.Failed() || !ar.EnterChildren())
        return;
    children.reserve(children.size() + static_cast<size_t>(count));
    for (uint64_t i = 0; i < count; ++i) {
        // ReadObject creates only the classes an archive may name, never a root.
        CXNode* child = ar.ReadObject();
        if (!child)
            break;
        child->SetParent(this);
        children.push_back(child);
    }
    ar.LeaveChildren();
}

void CXRoot::Serialize(CXArchive& ar)
{
    CXParent::Serialize(ar);
    if (ar.IsStoring())
        ar.WriteByte(0);
    else
        ar.ReadReserved();
}

bool CXRoot::Save()
{
    std::optional<std::vector<uint8_t>> bytes = WriteTreeArchive(*this);
    if (!bytes) {
        Platform().ShowMessage(kMessageCannotSave);
        return false;
    }
    if (bytes->size() > kMaxArchiveSize) {
        Platform().ShowMessage(kMessageTooLarge);
        return false;
    }
    CSettingsStore& store = Store();
    store.SetBlob(kSectionSettings, name + kValueSuffixes[0], *bytes);
    DropOlderForms();
    matchesStore = true;
    Platform().NotifyTreeSaved(*this);
    return true;
}

void CXRoot::DropOlderForms()
{
    for (size_t i = 1; i < std::size(kValueSuffixes); ++i)
        Store().SetString(kSectionSettings, name + kValueSuffixes[i], std::nullopt);
}

bool CXRoot::Load()
{
    DeleteChildren();
    matchesStore = false;
    std::optional<std::vector<uint8_t>> bytes;
    size_t form = 0;
    for (; form < std::size(kValueSuffixes); ++form) {
        bytes = Store().GetBlob(kSectionSettings, name + kValueSuffixes[form]);
        if (bytes)
            break;
    }
    if (!bytes)
        return true; // nothing stored yet: an empty menu
    if (!ReadTreeArchive(*this, *bytes)) {
        // The empty menu shown instead is stored over the bad value at the next save; a copy
        // stays for "velqmenu salvage". The same bytes are not written again.
        const std::wstring copyName = name + kCorruptCopySuffix;
        if (!bytes->empty() && Store().GetBlob(kSectionSettings, copyName) != bytes)
            Store().SetBlob(kSectionSettings, copyName, *bytes);
        Platform().ShowMessage(kMessageCorrupt);
        return false;
    }
    matchesStore = form == 0;
    return true;
}
