#pragma once
// Deletes the files of the internal-links folder that no item of either menu names.

#include <string>

class CXRoot;

void PurgeUnreferencedLinks(const std::wstring& linksFolder, CXRoot& left, CXRoot& right);
