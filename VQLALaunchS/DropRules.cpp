#include "DropRules.h"

#include "ItemText.h"
#include "ViewRules.h"
#include "XNode.h"

namespace {

bool Contains(uint32_t allowed, uint32_t effect)
{
    return (effect & ~allowed) == 0;
}

// y's offset in a row of the given number of equal parts, divided as integers (toward zero);
// wide, so that no screen position overflows. The row must have a height.
int64_t RowPart(int y, int top, int bottom, int parts)
{
    return (static_cast<int64_t>(y) - top) * parts / (static_cast<int64_t>(bottom) - top);
}

uint32_t ReadU16(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}

uint32_t ReadU32(const uint8_t* p)
{
    return ReadU16(p) | ReadU16(p + 2) << 16;
}

// The ID list at offset: its records up to and with the zero count, or none when it leaves the
// block or a record is shorter than its own count field.
std::optional<std::vector<uint8_t>> IdListAt(const uint8_t* data, size_t size, size_t offset)
{
    size_t pos = offset;
    for (;;) {
        if (pos > size || size - pos < 2)
            return std::nullopt;
        const uint32_t cb = ReadU16(data + pos);
        if (cb == 0)
            return std::vector<uint8_t>(data + offset, data + pos + 2);
        if (cb < 2 || cb > size - pos)
            return std::nullopt;
        pos += cb;
    }
}

// FILEDESCRIPTORW: dwFlags, clsid, sizel, pointl, dwFileAttributes, three FILETIMEs,
// nFileSizeHigh, nFileSizeLow, then cFileName.
constexpr size_t kNameOffset = 4 + 16 + 8 + 8 + 4 + 3 * 8 + 4 + 4;
constexpr size_t kNameUnits = 260;
constexpr size_t kDescriptorSize = kNameOffset + kNameUnits * 2;
static_assert(kNameOffset == 72 && kDescriptorSize == 592);

} // namespace

uint32_t FilterDropEffect(uint32_t effect, uint32_t allowed)
{
    if (Contains(allowed, effect))
        return effect;
    if (effect == kDropEffectCopy || effect == kDropEffectMove) {
        const uint32_t other = effect == kDropEffectCopy ? kDropEffectMove : kDropEffectCopy;
        if (allowed & other)
            return other;
        if (allowed & kDropEffectLink)
            return kDropEffectLink;
    }
    return kDropEffectNone;
}

uint32_t SuggestedDropEffect(XDataKind kind, uint32_t keys)
{
    switch (kind) {
    case XDataKind::Internal:
        return keys & kKeyControl ? kDropEffectCopy : kDropEffectMove;
    case XDataKind::Foreign:
        return kDropEffectLink;
    default:
        return kDropEffectNone;
    }
}

uint32_t LeftButtonDropEffect(XDataKind kind, uint32_t filteredSuggestion, uint32_t allowed)
{
    uint32_t effect = kDropEffectNone;
    if (kind == XDataKind::Foreign)
        effect = kDropEffectLink;
    else if (kind == XDataKind::Internal)
        effect = filteredSuggestion;
    return Contains(allowed, effect) ? effect : kDropEffectNone;
}

CDropMenuState DropMenuStateOf(XDataKind kind, uint32_t allowed)
{
    CDropMenuState state;
    const bool internal = kind == XDataKind::Internal;
    state.copy = internal && (allowed & kDropEffectCopy);
    state.move = internal && (allowed & kDropEffectMove);
    state.link = kind == XDataKind::Foreign;
    return state;
}

uint32_t EffectOfDropCommand(int commandId)
{
    switch (commandId) {
    case kDropCommandCopy:
        return kDropEffectCopy;
    case kDropCommandMove:
        return kDropEffectMove;
    case kDropCommandLink:
        return kDropEffectLink;
    default:
        return kDropEffectNone;
    }
}

CDragScroll DragScrollOf(int x, int y, int left, int top, int right, int bottom, int cx, int cy)
{
    const int64_t halfX = cx / 2;
    const int64_t halfY = cy / 2;
    CDragScroll scroll;
    scroll.up = y < top + halfY;
    scroll.down = y >= bottom - halfY;
    scroll.left = x < left + halfX;
    scroll.right = x >= right - halfX;
    return scroll;
}

bool ScrollDue(uint32_t now, uint32_t lastScroll)
{
    // Unsigned: the difference is right also when the count has wrapped since lastScroll.
    return static_cast<uint32_t>(now - lastScroll) > 100;
}

XTreeDropZone TreeDropZoneOf(int y, int top, int bottom, bool isParent, bool expanded)
{
    if (bottom <= top)
        return XTreeDropZone::Before;
    if (!isParent)
        return RowPart(y, top, bottom, 2) < 1 ? XTreeDropZone::Before : XTreeDropZone::After;
    if (expanded)
        return XTreeDropZone::Before;
    const int64_t zone = RowPart(y, top, bottom, 4);
    if (zone < 1)
        return XTreeDropZone::Before;
    return zone >= 3 ? XTreeDropZone::After : XTreeDropZone::Into;
}

bool HoverTogglesNow(int y, int top, int bottom, bool toggled, uint32_t elapsedMs)
{
    return bottom > top && RowPart(y, top, bottom, 4) < 3 && !toggled && elapsedMs >= 1000;
}

int TreeInsertPosition(XTreeDropZone zone, const CXParent& target, const CXNode* node)
{
    const int end = static_cast<int>(target.children.size());
    if (zone == XTreeDropZone::Into)
        return end;
    for (int i = 0; i < end; ++i) {
        if (target.children[static_cast<size_t>(i)] == node)
            return zone == XTreeDropZone::After ? i + 1 : i;
    }
    return end;
}

int ListInsertPosition(int rowCount, int markItem, bool markAfter)
{
    if (rowCount <= 0)
        return 0;
    if (markItem < 0)
        return markItem;
    return markAfter ? markItem + 1 : markItem;
}

bool IsValidDropTarget(const CXParent* target, const std::vector<CXNode*>& draggedNodes)
{
    if (!target)
        return false;
    for (const CXNode* node = target; node; node = node->GetParent()) {
        for (const CXNode* dragged : draggedNodes) {
            if (dragged == node)
                return false;
        }
    }
    return true;
}

void StripHotKeys(CXParent& incoming)
{
    ForEachItemBelow(incoming, [](CXItem& item) { item.hotKey.Clear(); });
}

std::optional<CIdListArray> ParseIdListArray(const uint8_t* data, size_t size)
{
    if (!data || size < 4)
        return std::nullopt;
    const uint32_t count = ReadU32(data);
    // The table holds count + 1 offsets after the count; compared by division so that no count
    // can overflow the size of the table.
    if (count >= (size - 4) / 4)
        return std::nullopt;
    CIdListArray array;
    array.children.reserve(count);
    for (uint32_t i = 0; i <= count; ++i) {
        const size_t offset = ReadU32(data + 4 + static_cast<size_t>(i) * 4);
        std::optional<std::vector<uint8_t>> list = IdListAt(data, size, offset);
        if (!list)
            return std::nullopt;
        if (i == 0)
            array.parent = std::move(*list);
        else
            array.children.push_back(std::move(*list));
    }
    return array;
}

std::vector<CFileDescriptorName> ParseFileGroupDescriptorW(const uint8_t* data, size_t size)
{
    std::vector<CFileDescriptorName> names;
    if (!data || size < 4)
        return names;
    const size_t whole = (size - 4) / kDescriptorSize;
    const uint32_t count = ReadU32(data);
    const size_t used = count < whole ? count : whole;
    names.reserve(used);
    for (size_t i = 0; i < used; ++i) {
        const uint8_t* units = data + 4 + i * kDescriptorSize + kNameOffset;
        CFileDescriptorName entry;
        entry.index = static_cast<uint32_t>(i);
        for (size_t k = 0; k < kNameUnits; ++k) {
            const uint32_t unit = ReadU16(units + k * 2);
            if (unit == 0)
                break;
            entry.name.push_back(static_cast<wchar_t>(unit));
        }
        names.push_back(std::move(entry));
    }
    return names;
}

std::optional<std::wstring> UrlFileTitle(const std::wstring& name)
{
    if (!EndsWithExtension(name, L".url"))
        return std::nullopt;
    return name.substr(0, name.size() - 4);
}
