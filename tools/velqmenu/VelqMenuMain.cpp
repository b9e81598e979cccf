// velqmenu: menu archives as JSON, for backups, comparisons and scripts.

#include <cstdio>
#include <filesystem>
#include <vector>

#include "SettingsStore.h"
#include "ToolPlatform.h"
#include "VelqMenuCommand.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "Utf16Text.h"
#endif

namespace {

// Writes UTF-8 text unchanged to a file or pipe; a Windows console gets it as UTF-16 so
// that it shows right whatever the console's code page.
bool WriteText(FILE* stream, const std::string& text)
{
    if (text.empty())
        return true;
#ifdef _WIN32
    HANDLE handle = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode;
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode)) {
        auto wide = Utf8ToUtf16(text);
        if (!wide)
            return false;
        DWORD written = 0;
        return WriteConsoleW(handle, wide->data(), static_cast<DWORD>(wide->size()), &written, nullptr) &&
               written == wide->size();
    }
    _setmode(_fileno(stream), _O_BINARY);
#endif
    return fwrite(text.data(), 1, text.size(), stream) == text.size() && fflush(stream) == 0;
}

int Run(const std::vector<std::filesystem::path>& args)
{
    static CToolPlatform platform;
    static CMemoryStore store;
    InstallPlatform(&platform, &store);

    CCommandResult result = RunVelqMenu(args);
    if (!WriteText(stdout, result.out)) {
        WriteText(stderr, "velqmenu: cannot write to standard output\n");
        return kExitError;
    }
    WriteText(stderr, result.err);
    return result.exitCode;
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
{
    return Run(std::vector<std::filesystem::path>(argv + (argc > 0 ? 1 : 0), argv + argc));
}
#else
int main(int argc, char** argv)
{
    return Run(std::vector<std::filesystem::path>(argv + (argc > 0 ? 1 : 0), argv + argc));
}
#endif
