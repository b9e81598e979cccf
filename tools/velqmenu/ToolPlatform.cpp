#include "ToolPlatform.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

#ifdef _WIN32

std::wstring CToolPlatform::AnsiToWide(const std::string& bytes)
{
    if (bytes.empty())
        return {};
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

#else

namespace {

// One conversion descriptor, closed with the owner.
class CIconv {
public:
    CIconv(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    ~CIconv()
    {
        if (ok())
            iconv_close(cd);
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;
    bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd; }

private:
    iconv_t cd;
};

} // namespace

std::wstring CToolPlatform::AnsiToWide(const std::string& bytes)
{
    std::wstring out;
    if (bytes.empty())
        return out;
    CIconv conv("UTF-16LE", "CP932");
    if (!conv.ok())
        return out;

    std::string in = bytes;
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char buffer[256];
    auto flush = [&](const char* end) {
        for (const char* p = buffer; p + 1 < end; p += 2)
            out += static_cast<wchar_t>(static_cast<uint8_t>(p[0]) | static_cast<uint8_t>(p[1]) << 8);
    };
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t r = iconv(conv.get(), &inPtr, &inLeft, &outPtr, &outLeft);
        flush(outPtr);
        if (r != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // A byte that is no character of the code page, or a lead byte cut off at the end,
        // shows as the replacement character, as the Windows conversion does.
        out += L'\xFFFD';
        if (errno == EINVAL)
            break;
        ++inPtr;
        --inLeft;
    }
    return out;
}

#endif
