// Arbitrary bytes as a tree archive and as a transfer block. Reading must never crash or
// leak; whatever reads successfully must write, and write the same bytes again after
// another read.

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <vector>

#include "FakePlatform.h"
#include "MenuStore.h"
#include "XNode.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void FuzzTreeArchive(std::span<const uint8_t> data)
{
    CXRoot root(kLeftMenuName);
    if (!ReadTreeArchive(root, data)) {
        Check(root.children.empty());
        return;
    }
    std::optional<std::vector<uint8_t>> first = WriteTreeArchive(root);
    Check(first.has_value());
    CXRoot again(kLeftMenuName);
    Check(ReadTreeArchive(again, *first));
    std::optional<std::vector<uint8_t>> second = WriteTreeArchive(again);
    Check(second.has_value() && *second == *first);
}

void FuzzTransfer(std::span<const uint8_t> data)
{
    CXParent container;
    if (!LoadFromTransfer(container, data))
        return;
    std::optional<std::vector<uint8_t>> first = SaveToTransfer(container);
    Check(first.has_value());
    CXParent again;
    Check(LoadFromTransfer(again, *first));
    std::optional<std::vector<uint8_t>> second = SaveToTransfer(again);
    Check(second.has_value() && *second == *first);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Strings without the Unicode marker go through the platform's code page conversion.
    static CFakeEnvironment* environment = new CFakeEnvironment;
    (void)environment;
    const std::span<const uint8_t> bytes(data, size);
    FuzzTreeArchive(bytes);
    FuzzTransfer(bytes);
    return 0;
}
