#include "PayloadFile_win.h"

namespace {

class CWinPayloadTarget : public CPayloadTarget {
public:
    explicit CWinPayloadTarget(HANDLE file) : file(file) {}
    ~CWinPayloadTarget() override { CloseHandle(file); }
    CWinPayloadTarget(const CWinPayloadTarget&) = delete;
    CWinPayloadTarget& operator=(const CWinPayloadTarget&) = delete;

    bool Write(const void* data, size_t size, size_t& written) override
    {
        DWORD n = 0;
        BOOL ok = WriteFile(file, data, DWORD(size), &n, nullptr);
        written = n;
        return ok != FALSE;
    }

    bool SetLastWriteTime(uint64_t fileTime) override
    {
        FILETIME t;
        t.dwLowDateTime = DWORD(fileTime);
        t.dwHighDateTime = DWORD(fileTime >> 32);
        return SetFileTime(file, nullptr, nullptr, &t) != FALSE;
    }

private:
    HANDLE file;
};

} // namespace

bool CWinPayloadSource::GetSize(uint64_t& size)
{
    LARGE_INTEGER s;
    if (!GetFileSizeEx(file, &s)) {
        return false;
    }
    size = uint64_t(s.QuadPart);
    return true;
}

bool CWinPayloadSource::Seek(uint64_t offset, uint64_t& reached)
{
    LARGE_INTEGER to, at;
    to.QuadPart = LONGLONG(offset);
    if (!SetFilePointerEx(file, to, &at, FILE_BEGIN)) {
        return false;
    }
    reached = uint64_t(at.QuadPart);
    return true;
}

bool CWinPayloadSource::Read(void* buffer, size_t size, size_t& got)
{
    DWORD n = 0;
    BOOL ok = ReadFile(file, buffer, DWORD(size), &n, nullptr);
    got = n;
    return ok != FALSE;
}

std::unique_ptr<CPayloadTarget> CWinPayloadFolder::Create(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<CWinPayloadTarget>(file);
}
