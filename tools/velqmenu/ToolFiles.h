#pragma once
// Files of the command-line tool. Errors throw CMenuToolError with the file's name.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

// The name as UTF-8 text for messages (paths are UTF-16 on Windows, bytes elsewhere).
std::string PathForMessage(const std::filesystem::path& path);

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);

// Writes the bytes to a new file in the target's folder and renames it over the target,
// so that the target is either the old file or the complete new one, never a part.
void ReplaceFileWith(const std::filesystem::path& target, std::span<const uint8_t> bytes);
