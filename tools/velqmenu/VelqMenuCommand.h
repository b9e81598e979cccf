#pragma once
// The commands of velqmenu, apart from the process entry so that tests can run them.

#include <filesystem>
#include <string>
#include <vector>

inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;
inline constexpr int kExitUsage = 2;

struct CCommandResult {
    int exitCode = kExitOk;
    std::string out; // UTF-8, for standard output
    std::string err; // UTF-8, for standard error
};

// The usage text, ending in a newline.
std::string UsageText();

// Runs one command; args exclude the program name. The platform and store must be installed.
CCommandResult RunVelqMenu(const std::vector<std::filesystem::path>& args);
