#include "PayloadFile_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// FILETIME counts 100 ns from 1601; the POSIX clock counts from 1970.
constexpr uint64_t kFileTimeUnixEpoch = 116444736000000000ull;

class CPosixPayloadTarget : public CPayloadTarget {
public:
    explicit CPosixPayloadTarget(int fd) : fd(fd) {}
    ~CPosixPayloadTarget() override { close(fd); }
    CPosixPayloadTarget(const CPosixPayloadTarget&) = delete;
    CPosixPayloadTarget& operator=(const CPosixPayloadTarget&) = delete;

    bool Write(const void* data, size_t size, size_t& written) override
    {
        written = 0;
        auto p = static_cast<const char*>(data);
        while (written < size) {
            ssize_t n = write(fd, p + written, size - written);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return false;
            }
            written += size_t(n);
        }
        return true;
    }

    bool SetLastWriteTime(uint64_t fileTime) override
    {
        if (fileTime < kFileTimeUnixEpoch) {
            return false;
        }
        uint64_t since = fileTime - kFileTimeUnixEpoch;
        struct timespec times[2];
        times[0].tv_sec = 0;
        times[0].tv_nsec = UTIME_OMIT; // access time untouched
        times[1].tv_sec = time_t(since / 10000000);
        times[1].tv_nsec = long(since % 10000000) * 100;
        return futimens(fd, times) == 0;
    }

private:
    int fd;
};

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | cp >> 6);
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | cp >> 12);
        out += char(0x80 | (cp >> 6 & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | cp >> 18);
        out += char(0x80 | (cp >> 12 & 0x3F));
        out += char(0x80 | (cp >> 6 & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::string PosixPathFromPayloadPath(const std::wstring& path)
{
    std::string out;
    for (size_t i = 0; i < path.size(); ++i) {
        uint32_t unit = uint32_t(path[i]);
        if (unit == L'\\') {
            out += '/';
        } else if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < path.size() && uint32_t(path[i + 1]) >= 0xDC00 &&
                   uint32_t(path[i + 1]) < 0xE000) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (uint32_t(path[i + 1]) - 0xDC00));
            ++i;
        } else {
            AppendUtf8(out, unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
        }
    }
    return out;
}

CPosixPayloadSource::CPosixPayloadSource(const std::string& path) : fd(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}

CPosixPayloadSource::~CPosixPayloadSource()
{
    if (fd >= 0) {
        close(fd);
    }
}

bool CPosixPayloadSource::GetSize(uint64_t& size)
{
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) {
        return false;
    }
    size = uint64_t(st.st_size);
    return true;
}

bool CPosixPayloadSource::Seek(uint64_t offset, uint64_t& reached)
{
    if (fd < 0 || offset > uint64_t(INT64_MAX)) {
        return false;
    }
    off_t at = lseek(fd, off_t(offset), SEEK_SET);
    if (at < 0) {
        return false;
    }
    reached = uint64_t(at);
    return true;
}

bool CPosixPayloadSource::Read(void* buffer, size_t size, size_t& got)
{
    got = 0;
    auto p = static_cast<char*>(buffer);
    while (got < size) {
        ssize_t n = read(fd, p + got, size - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        got += size_t(n);
    }
    return true;
}

std::unique_ptr<CPayloadTarget> CPosixPayloadFolder::Create(const std::wstring& path)
{
    int fd = open(PosixPathFromPayloadPath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return nullptr;
    }
    return std::make_unique<CPosixPayloadTarget>(fd);
}
