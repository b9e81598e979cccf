#include "FolderTree_win.h"

#include <windows.h>

#include "ItemText.h"

namespace {

// A junction or symbolic link goes itself; what it points to is never entered. A folder link
// is removed as a folder, a file link as a file.
void RemoveLink(const std::wstring& path, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveDirectoryW(path.c_str());
    else
        DeleteFileW(path.c_str());
}

void DeleteEntries(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(JoinPath(folder, L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = JoinPath(folder, name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            RemoveLink(path, found.dwFileAttributes);
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            DeleteEntries(path);
            if (!RemoveDirectoryW(path.c_str())) {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                RemoveDirectoryW(path.c_str());
            }
        } else if (!DeleteFileW(path.c_str())) {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

} // namespace

void DeleteFolderTree(const std::wstring& folder)
{
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        RemoveLink(folder, attributes);
        return;
    }
    DeleteEntries(folder);
    RemoveDirectoryW(folder.c_str());
}
