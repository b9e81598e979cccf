#pragma once
// Which files of the internal-links folder still belong to an item: the files are named by
// a GUID in braces ("{8-4-4-4-12}" as StringFromIID writes it) and an extension, and items
// name them as "%VelquinLNKs%\" + file name.

#include <optional>
#include <string>
#include <vector>

class CXRoot;

// The GUID that a name begins with, in upper case: the name must begin with "{", the GUID
// runs from there to the last "}" and must have the registry form. Nothing otherwise.
std::optional<std::wstring> GuidOfLinkName(const std::wstring& name);
// The GUID of an item path "%VelquinLNKs%\…" (the prefix compared without regard to case).
std::optional<std::wstring> GuidOfLinkPath(const std::wstring& path);
// The GUIDs that items of both menus name, sorted, each once.
std::vector<std::wstring> ReferencedLinkGuids(CXRoot& left, CXRoot& right);
// A file of the folder is deleted when its name parses and no item names its GUID.
bool IsUnreferencedLinkFile(const std::wstring& fileName, const std::vector<std::wstring>& referenced);
