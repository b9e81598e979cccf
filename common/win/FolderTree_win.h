#pragma once
// Deleting a folder with everything below it.

#include <string>

// Every entry below the folder, depth first, then the folder itself. Read-only files are
// made writable first; failures are ignored (what cannot be deleted stays).
void DeleteFolderTree(const std::wstring& folder);
