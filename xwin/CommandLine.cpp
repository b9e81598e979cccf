#include "CommandLine.h"

namespace {
bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}
} // namespace

std::wstring ArgumentText(std::wstring_view commandLine)
{
    size_t i = 0;
    const size_t n = commandLine.size();
    if (i < n && commandLine[i] == L'"') {
        ++i;
        while (i < n && commandLine[i] != L'"')
            ++i;
        if (i < n)
            ++i; // the closing quote
    } else {
        while (i < n && !IsBlank(commandLine[i]))
            ++i;
    }
    while (i < n && IsBlank(commandLine[i]))
        ++i;
    return std::wstring(commandLine.substr(i));
}
