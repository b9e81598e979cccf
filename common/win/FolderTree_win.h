#pragma once
// Deleting a folder with everything below it.

#include <string>

// Every entry below the folder, depth first, then the folder itself. Read-only entries are
// made writable first; failures are ignored (what cannot be deleted stays). A junction or
// symbolic link, below the folder or the folder itself, is removed as a link: what it points
// to is never entered.
void DeleteFolderTree(const std::wstring& folder);
