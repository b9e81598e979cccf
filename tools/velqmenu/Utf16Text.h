#pragma once
// UTF-16 code units (one per wchar_t, whatever its width) to UTF-8 and back.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Index of the first surrogate that is not part of a high-low pair, or npos when the
// string is well-formed UTF-16.
size_t FindLoneSurrogate(std::wstring_view units);

// UTF-8 of the units. A lone surrogate (or a unit above 0xFFFF) has no UTF-8 form and
// becomes U+FFFD: callers that must not lose text test FindLoneSurrogate first.
std::string Utf16ToUtf8(std::wstring_view units);

// UTF-16 units of well-formed UTF-8; nullopt for anything else (truncated or stray
// bytes, overlong forms, encoded surrogates, code points above U+10FFFF).
std::optional<std::wstring> Utf8ToUtf16(std::string_view text);
