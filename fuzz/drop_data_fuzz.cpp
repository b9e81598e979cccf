// Arbitrary bytes as the data other programs drop on the settings tool: a shell IDList array
// (built as idlist_fuzz) or a file group descriptor (descriptor_fuzz). Reading must never crash
// or read outside the block; what reads must be whole ID lists inside the block and
// descriptors the block can hold.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "DropRules.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

#if defined(VELQ_FUZZ_IDLIST)
// A whole ID list: records of at least two bytes each, ending in a two-byte zero count.
bool IsWholeIdList(const std::vector<uint8_t>& list)
{
    size_t at = 0;
    while (at + 2 <= list.size()) {
        const size_t count = list[at] | (list[at + 1] << 8);
        if (count == 0)
            return at + 2 == list.size();
        if (count < 2)
            return false;
        at += count;
    }
    return false;
}

void FuzzIdListArray(const uint8_t* data, size_t size)
{
    const auto lists = ParseIdListArray(data, size);
    if (!lists)
        return;
    Check(IsWholeIdList(lists->parent) && lists->parent.size() <= size);
    size_t count = 0;
    if (size >= 4)
        count = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<size_t>(data[3]) << 24);
    Check(lists->children.size() == count);
    for (const std::vector<uint8_t>& child : lists->children)
        Check(IsWholeIdList(child) && child.size() <= size);
}

#else
void FuzzFileGroupDescriptor(const uint8_t* data, size_t size)
{
    constexpr size_t kDescriptorSize = 592;
    const auto names = ParseFileGroupDescriptorW(data, size);
    Check(names.size() <= size / kDescriptorSize);
    for (size_t i = 0; i < names.size(); ++i) {
        Check(names[i].index == i);
        Check(names[i].name.size() <= 260);
        (void)UrlFileTitle(names[i].name);
    }
}
#endif

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
#if defined(VELQ_FUZZ_IDLIST)
    FuzzIdListArray(data, size);
#else
    FuzzFileGroupDescriptor(data, size);
#endif
    return 0;
}
