#pragma once
// Storing trees: the archive of a root in the settings store, and the transfer form
// (length-prefixed record of a container) used for drag and drop and the clipboard.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class CXParent;
class CXRoot;

inline constexpr size_t kMaxArchiveSize = 0x100000;

// The archive bytes of a root (the same bytes Save stores); nullopt when writing fails.
std::optional<std::vector<uint8_t>> WriteTreeArchive(CXRoot& root);
// Parses a root's record into root (whose children must be empty). On failure the
// children loaded so far are deleted and false is returned; nothing is shown.
bool ReadTreeArchive(CXRoot& root, std::span<const uint8_t> bytes);

// What could be read of a damaged tree archive.
struct XSalvage {
    bool whole = false;      // the archive read as it is: nothing was lost
    size_t damagedAt = 0;    // otherwise: where the first damaged object began
    size_t entries = 0;      // entries read, at every level
    size_t foundAgain = 0;   // of them: top-level entries found again after the damage
};
// Reads every entry it can of a tree archive into root (whose children must be empty):
// the entries before the damage in their places, a submenu cut short by it with the
// children read before, and the entries found again in the bytes after the damage, in
// their order, at the top level.
XSalvage SalvageTreeArchive(CXRoot& root, std::span<const uint8_t> bytes);

// Transfer block: int32 L followed by L bytes, the record of a CXParent.
std::optional<std::vector<uint8_t>> SaveToTransfer(CXParent& container);
// True exactly when the container then has at least one child.
bool LoadFromTransfer(CXParent& container, std::span<const uint8_t> block);
