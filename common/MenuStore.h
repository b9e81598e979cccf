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

// Transfer block: int32 L followed by L bytes, the record of a CXParent.
std::optional<std::vector<uint8_t>> SaveToTransfer(CXParent& container);
// True exactly when the container then has at least one child.
bool LoadFromTransfer(CXParent& container, std::span<const uint8_t> block);
