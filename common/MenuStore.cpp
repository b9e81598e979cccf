#include "MenuStore.h"

#include <algorithm>
#include <limits>

#include "XArchive.h"
#include "XNode.h"

namespace {
// A tree archive is a root's whole record; a transfer block holds a container's record
// without the root part, also when the container happens to be a root.
enum class XRecord { Root, Container };

void SerializeRecord(CXParent& node, CXArchive& ar, XRecord record)
{
    if (record == XRecord::Root)
        static_cast<CXRoot&>(node).CXRoot::Serialize(ar);
    else
        node.CXParent::Serialize(ar);
}

std::optional<std::vector<uint8_t>> WriteRecord(CXParent& node, XRecord record)
{
    CXArchive ar;
    SerializeRecord(node, ar, record);
    if (ar.Failed())
        return std::nullopt;
    return ar.TakeBytes();
}

// Bytes after the record are ignored.
bool ReadRecord(CXParent& node, std::span<const uint8_t> bytes, XRecord record)
{
    node.DeleteChildren();
    CXArchive ar(bytes);
    SerializeRecord(node, ar, record);
    if (ar.Failed()) {
        node.DeleteChildren();
        return false;
    }
    return true;
}
} // namespace

std::optional<std::vector<uint8_t>> WriteTreeArchive(CXRoot& root)
{
    return WriteRecord(root, XRecord::Root);
}

bool ReadTreeArchive(CXRoot& root, std::span<const uint8_t> bytes)
{
    return ReadRecord(root, bytes, XRecord::Root);
}

namespace {
size_t CountEntries(const CXParent& parent)
{
    size_t n = parent.children.size();
    for (const CXNode* child : parent.children) {
        if (auto sub = XDynamicCast<const CXParent>(child))
            n += CountEntries(*sub);
    }
    return n;
}
} // namespace

XSalvage SalvageTreeArchive(CXRoot& root, std::span<const uint8_t> bytes)
{
    XSalvage result;
    root.DeleteChildren();
    CXArchive ar(bytes);
    ar.StartSalvaging();
    root.CXRoot::Serialize(ar);
    if (!ar.Failed()) {
        result.whole = true;
        result.entries = CountEntries(root);
        return result;
    }
    result.damagedAt = ar.FailedObjectStart();

    // Objects are looked for at every byte after the start of the damaged one; one found
    // whole is taken and looking goes on after it, as does a submenu cut short, after the
    // object that cut it.
    size_t position = result.damagedAt + 1;
    while (position < bytes.size()) {
        ar.ResumeAt(position);
        CXNode* node = ar.ReadObject();
        auto sub = XDynamicCast<CXParent>(node);
        if (node && (!ar.Failed() || !sub->children.empty())) {
            node->SetParent(&root);
            root.children.push_back(node);
            ++result.foundAgain;
            const size_t next = ar.Failed() ? ar.FailedObjectStart() + 1 : ar.Position();
            position = std::max(position + 1, next);
        } else {
            delete node;
            ++position;
        }
    }
    result.entries = CountEntries(root);
    return result;
}

std::optional<std::vector<uint8_t>> SaveToTransfer(CXParent& container)
{
    std::optional<std::vector<uint8_t>> record = WriteRecord(container, XRecord::Container);
    if (!record || record->size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        return std::nullopt;
    const uint32_t length = static_cast<uint32_t>(record->size());
    std::vector<uint8_t> block;
    block.reserve(record->size() + 4);
    for (int shift = 0; shift < 32; shift += 8)
        block.push_back(static_cast<uint8_t>(length >> shift));
    block.insert(block.end(), record->begin(), record->end());
    return block;
}

bool LoadFromTransfer(CXParent& container, std::span<const uint8_t> block)
{
    container.DeleteChildren();
    if (block.size() < 4)
        return false;
    const int32_t length =
        static_cast<int32_t>(static_cast<uint32_t>(block[0]) | (static_cast<uint32_t>(block[1]) << 8) |
                             (static_cast<uint32_t>(block[2]) << 16) | (static_cast<uint32_t>(block[3]) << 24));
    if (length < 0 || static_cast<size_t>(length) > block.size() - 4)
        return false;
    ReadRecord(container, block.subspan(4, static_cast<size_t>(length)), XRecord::Container);
    return !container.children.empty();
}
