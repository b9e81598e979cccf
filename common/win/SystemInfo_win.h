#pragma once
// What the programs ask of the system at start: its version, their own strings, their
// application id.

#include <windows.h>

#include <string>

// VerifyVersionInfoW: major, minor and service-pack major at least these.
bool IsWindowsVersionAtLeast(DWORD major, DWORD minor, WORD servicePack);
// A string resource of the program's own module; empty when there is none.
std::wstring LoadResourceString(UINT id);
// SetCurrentProcessExplicitAppUserModelID where the system has it (Windows 7 on): looked up
// at run time, so that the programs start on Vista too.
void SetAppUserModelIdIfPossible(const wchar_t* id);
