#pragma once
// The bare programs of the benchmarks read the shape of what they show from a UTF-16 file that
// the benchmark writes; this reads such a file whole (empty when it is missing or over 64 MiB).

#include <windows.h>

#include <string>

#include "WinHandles.h"

// The shape file named by a bare program's argument text, without the quotes around it.
inline std::wstring ShapeFileArgument(const wchar_t* arguments)
{
    std::wstring file = arguments ? arguments : L"";
    if (file.size() >= 2 && file.front() == L'"' && file.back() == L'"')
        file = file.substr(1, file.size() - 2);
    return file;
}

inline std::wstring ReadUtf16File(const std::wstring& path)
{
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return {};
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > (64 << 20))
        return {};
    std::wstring text(static_cast<size_t>(size.QuadPart) / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr))
        return {};
    text.resize(read / sizeof(wchar_t));
    return text;
}
