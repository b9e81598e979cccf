#include "LinkPurge_win.h"

#include <windows.h>

#include "ItemText.h"
#include "LinkPurge.h"

void PurgeUnreferencedLinks(const std::wstring& linksFolder, CXRoot& left, CXRoot& right)
{
    if (linksFolder.empty())
        return;
    const std::vector<std::wstring> referenced = ReferencedLinkGuids(left, right);
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW(JoinPath(linksFolder, L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (IsUnreferencedLinkFile(found.cFileName, referenced))
            DeleteFileW(JoinPath(linksFolder, found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}
