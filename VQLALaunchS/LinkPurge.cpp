#include "LinkPurge.h"

#include <algorithm>

#include "ItemText.h"
#include "ViewRules.h"
#include "XNode.h"

namespace {
bool IsHexDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

wchar_t AsciiUpper(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](wchar_t x, wchar_t y) { return AsciiUpper(x) == AsciiUpper(y); });
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}": the only form IIDFromString accepts.
bool IsRegistryGuid(std::wstring_view text)
{
    if (text.size() != 38 || text.front() != L'{' || text.back() != L'}')
        return false;
    for (size_t i = 1; i < 37; ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? text[i] != L'-' : !IsHexDigit(text[i]))
            return false;
    }
    return true;
}
} // namespace

std::optional<std::wstring> GuidOfLinkName(const std::wstring& name)
{
    if (name.empty() || name.front() != L'{')
        return std::nullopt;
    const size_t close = name.rfind(L'}');
    std::wstring guid = name.substr(0, close + 1);
    if (!IsRegistryGuid(guid))
        return std::nullopt;
    std::transform(guid.begin(), guid.end(), guid.begin(), AsciiUpper);
    return guid;
}

std::optional<std::wstring> GuidOfLinkPath(const std::wstring& path)
{
    const std::wstring prefix = std::wstring(kLinksReference) + L"\\";
    if (path.size() < prefix.size() ||
        !EqualsIgnoringAsciiCase(std::wstring_view(path).substr(0, prefix.size()), prefix))
        return std::nullopt;
    return GuidOfLinkName(path.substr(prefix.size()));
}

std::vector<std::wstring> ReferencedLinkGuids(CXRoot& left, CXRoot& right)
{
    std::vector<std::wstring> guids;
    for (CXRoot* root : {&left, &right}) {
        ForEachItemBelow(*root, [&](CXItem& item) {
            if (auto guid = GuidOfLinkPath(item.path))
                guids.push_back(*guid);
        });
    }
    std::sort(guids.begin(), guids.end());
    guids.erase(std::unique(guids.begin(), guids.end()), guids.end());
    return guids;
}

bool IsUnreferencedLinkFile(const std::wstring& fileName, const std::vector<std::wstring>& referenced)
{
    const auto guid = GuidOfLinkName(fileName);
    return guid && !std::binary_search(referenced.begin(), referenced.end(), *guid);
}
