#pragma once
// The raw argument text of a process command line, as the programs read their switches.
// Portable: no windows.h, so that the rule is tested natively.

#include <string>
#include <string_view>

// The text after the program name: a quoted name ends at the closing quote, a bare one
// at the first space or tab; the blanks that follow are skipped too.
std::wstring ArgumentText(std::wstring_view commandLine);
