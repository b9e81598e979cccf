#include "ToolFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "MenuJson.h"
#include "Utf16Text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

[[noreturn]] void FailFile(const fs::path& path, const std::string& what)
{
    throw CMenuToolError(PathForMessage(path) + ": " + what);
}

struct CFileCloser {
    void operator()(FILE* f) const { fclose(f); }
};
using CFilePtr = std::unique_ptr<FILE, CFileCloser>;

FILE* OpenForReading(const fs::path& path)
{
#ifdef _WIN32
    return _wfopen(path.c_str(), L"rb");
#else
    return fopen(path.c_str(), "rb");
#endif
}

#ifdef _WIN32

std::string WindowsErrorText(DWORD code)
{
    wchar_t* text = nullptr;
    DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = n && text ? std::wstring(text, n) : std::wstring();
    if (text)
        LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ' ||
                                message.back() == L'.' || message.back() == L'\x3002'))
        message.pop_back();
    std::string result = "error " + std::to_string(code);
    if (!message.empty())
        result = Utf16ToUtf8(message) + " (" + result + ")";
    return result;
}

// A handle closed by its owner.
class CHandle {
public:
    explicit CHandle(HANDLE h) : handle(h) {}
    ~CHandle() { reset(); }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    HANDLE get() const { return handle; }
    bool ok() const { return handle != INVALID_HANDLE_VALUE; }
    void reset()
    {
        if (ok())
            CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle;
};

#else

// A descriptor closed by its owner.
class CFd {
public:
    explicit CFd(int d) : fd(d) {}
    ~CFd() { reset(); }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    int get() const { return fd; }
    bool reset()
    {
        bool ok = fd < 0 || close(fd) == 0;
        fd = -1;
        return ok;
    }

private:
    int fd;
};

mode_t NewFileMode(const fs::path& target)
{
    struct stat st;
    if (stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        return st.st_mode & 07777;
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

#endif

// Removes the temporary file unless the rename has taken it.
class CTemporaryFile {
public:
    explicit CTemporaryFile(fs::path p) : path(std::move(p)) {}
    ~CTemporaryFile()
    {
        if (!path.empty()) {
            std::error_code ignored;
            fs::remove(path, ignored);
        }
    }
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;
    void Release() { path.clear(); }
    fs::path path;
};

} // namespace

std::string PathForMessage(const fs::path& path)
{
#ifdef _WIN32
    return Utf16ToUtf8(path.native());
#else
    return path.native();
#endif
}

std::vector<uint8_t> ReadFileBytes(const fs::path& path)
{
    errno = 0;
    CFilePtr file(OpenForReading(path));
    if (!file)
        FailFile(path, std::string("cannot open: ") + std::strerror(errno));
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    for (;;) {
        size_t n = fread(buffer, 1, sizeof buffer, file.get());
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (n < sizeof buffer)
            break;
    }
    if (ferror(file.get()))
        FailFile(path, std::string("cannot read: ") + std::strerror(errno));
    return bytes;
}

#ifdef _WIN32

void ReplaceFileWith(const fs::path& target, std::span<const uint8_t> bytes)
{
    const fs::path folder = target.parent_path();
    const std::wstring stem = L"." + target.filename().native() + L".velqmenu-";
    for (unsigned attempt = 0;; ++attempt) {
        fs::path tempPath = folder / (stem + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                      std::to_wstring(GetTickCount() + attempt) + L".tmp");
        CHandle file(
            CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.ok()) {
            DWORD error = GetLastError();
            if ((error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) && attempt < 100)
                continue;
            FailFile(target, "cannot create a temporary file beside it: " + WindowsErrorText(error));
        }
        CTemporaryFile temp(tempPath);
        size_t done = 0;
        while (done < bytes.size()) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
            DWORD written = 0;
            if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
                FailFile(target, "cannot write: " + WindowsErrorText(GetLastError()));
            done += written;
        }
        if (!FlushFileBuffers(file.get()))
            FailFile(target, "cannot write: " + WindowsErrorText(GetLastError()));
        file.reset();
        if (!MoveFileExW(tempPath.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            FailFile(target, "cannot replace: " + WindowsErrorText(GetLastError()));
        temp.Release();
        return;
    }
}

#else

void ReplaceFileWith(const fs::path& target, std::span<const uint8_t> bytes)
{
    const fs::path folder = target.parent_path();
    std::string pattern = (folder / ("." + target.filename().native() + ".velqmenu-XXXXXX")).native();
    CFd fd(mkstemp(pattern.data()));
    if (fd.get() < 0)
        FailFile(target, std::string("cannot create a temporary file beside it: ") + std::strerror(errno));
    CTemporaryFile temp(pattern);

    // mkstemp makes the file private; give it the mode the target has or a new file would get.
    if (fchmod(fd.get(), NewFileMode(target)) != 0)
        FailFile(target, std::string("cannot set the mode: ") + std::strerror(errno));
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            FailFile(target, std::string("cannot write: ") + std::strerror(n < 0 ? errno : EIO));
        done += static_cast<size_t>(n);
    }
    if (fsync(fd.get()) != 0 || !fd.reset())
        FailFile(target, std::string("cannot write: ") + std::strerror(errno));
    if (rename(pattern.c_str(), target.c_str()) != 0)
        FailFile(target, std::string("cannot replace: ") + std::strerror(errno));
    temp.Release();
}

#endif
