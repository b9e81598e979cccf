#pragma once
// What the programs ask of the system at start: its version and their own strings.

#include <windows.h>

#include <string>

// VerifyVersionInfoW: major, minor and service-pack major at least these.
bool IsWindowsVersionAtLeast(DWORD major, DWORD minor, WORD servicePack);
// A string resource of the program's own module; empty when there is none.
std::wstring LoadResourceString(UINT id);
