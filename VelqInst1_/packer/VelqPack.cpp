// velqpack: appends the program sets to a finished, unsigned bootstrap image.
//
//   velqpack --image BOOTSTRAP --out OUTPUT [--reserve BYTES]
//            [--data SRC]... (--tag NAME (--file SRC [--as NAME])...)...
//
// Tags go into the directory in the order given, each with its files in the order given.
// File data is stored once per source file: first the --data files in their order, then
// any other source in the order it first appears. A file is named after its source unless
// --as names it. --reserve keeps room for a certificate table that signing adds later.

#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "PayloadFile_posix.h"
#include "PayloadWriter.h"

namespace {

constexpr uint64_t kFileTimeUnixEpoch = 116444736000000000ull;
constexpr uint32_t kAttributeReadOnly = 0x01;
constexpr uint32_t kAttributeArchive = 0x20;

int Fail(const std::string& message)
{
    std::fprintf(stderr, "velqpack: %s\n", message.c_str());
    return 1;
}

int Usage()
{
    std::fprintf(stderr, "usage: velqpack --image BOOTSTRAP --out OUTPUT [--reserve BYTES] [--data SRC]...\n"
                         "                (--tag NAME (--file SRC [--as NAME])...)...\n");
    return 2;
}

// UTF-8 to UTF-16 units, one per wchar_t; false on a malformed sequence.
bool WideFromUtf8(const std::string& s, std::wstring& out)
{
    out.clear();
    for (size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        uint32_t cp;
        size_t n;
        if (c < 0x80) {
            cp = c, n = 1;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F, n = 2;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F, n = 3;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07, n = 4;
        } else {
            return false;
        }
        if (i + n > s.size()) {
            return false;
        }
        for (size_t k = 1; k < n; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) {
                return false;
            }
            cp = cp << 6 | (s[i + k] & 0x3F);
        }
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += wchar_t(0xD800 + (cp >> 10));
            out += wchar_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += wchar_t(cp);
        }
    }
    return true;
}

std::string BaseName(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

class CDataSet {
public:
    std::vector<CPackData> data;
    std::string error;

    // Index of the source's data, loading it on first use; SIZE_MAX on failure.
    size_t Use(const std::string& path)
    {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) == nullptr) {
            error = "cannot find " + path;
            return SIZE_MAX;
        }
        auto known = index.find(resolved);
        if (known != index.end()) {
            return known->second;
        }
        CPackData d;
        struct stat st;
        if (stat(resolved, &st) != 0 || !S_ISREG(st.st_mode) || !ReadFile(resolved, d.bytes)) {
            error = "cannot read " + path;
            return SIZE_MAX;
        }
        d.lastWriteTime = kFileTimeUnixEpoch + uint64_t(st.st_mtim.tv_sec) * 10000000 + st.st_mtim.tv_nsec / 100;
        d.attributes = kAttributeArchive | ((st.st_mode & S_IWUSR) ? 0 : kAttributeReadOnly);
        data.push_back(std::move(d));
        index[resolved] = data.size() - 1;
        return data.size() - 1;
    }

private:
    std::map<std::string, size_t> index;
};

} // namespace

int main(int argc, char** argv)
{
    std::string imagePath, outPath;
    uint64_t reserve = 0;
    CDataSet sources;
    std::vector<CPackTag> tags;
    std::vector<std::string> args(argv + 1, argv + argc);

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (i + 1 >= args.size()) {
            return Usage();
        }
        const std::string& value = args[++i];
        if (a == "--image") {
            imagePath = value;
        } else if (a == "--out") {
            outPath = value;
        } else if (a == "--reserve") {
            char* end = nullptr;
            reserve = std::strtoull(value.c_str(), &end, 10);
            if (end == value.c_str() || *end != 0) {
                return Usage();
            }
        } else if (a == "--data") {
            if (sources.Use(value) == SIZE_MAX) {
                return Fail(sources.error);
            }
        } else if (a == "--tag") {
            CPackTag tag;
            if (!WideFromUtf8(value, tag.name)) {
                return Fail("tag name is not UTF-8: " + value);
            }
            tags.push_back(std::move(tag));
        } else if (a == "--file") {
            if (tags.empty()) {
                return Fail("--file before any --tag");
            }
            CPackFile file;
            file.data = sources.Use(value);
            if (file.data == SIZE_MAX) {
                return Fail(sources.error);
            }
            std::string name = BaseName(value);
            if (i + 2 < args.size() && args[i + 1] == "--as") {
                name = args[i + 2];
                i += 2;
            }
            if (!WideFromUtf8(name, file.name)) {
                return Fail("file name is not UTF-8: " + name);
            }
            tags.back().files.push_back(std::move(file));
        } else {
            return Usage();
        }
    }
    if (imagePath.empty() || outPath.empty()) {
        return Usage();
    }

    std::vector<uint8_t> image;
    if (!ReadFile(imagePath, image)) {
        return Fail("cannot read " + imagePath);
    }
    std::vector<uint8_t> container;
    std::string error;
    if (!BuildPayloadContainer(image, sources.data, tags, reserve, container, error)) {
        return Fail(error);
    }

    std::string temporary = outPath + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(container.data()), std::streamsize(container.size()));
        if (!out.flush()) {
            std::remove(temporary.c_str());
            return Fail("cannot write " + temporary);
        }
    }
    // Read back what the bootstrap will read.
    CPosixPayloadSource check(temporary);
    CPayloadDirectory directory;
    if (!ReadPayloadDirectory(check, directory) || directory.tags.size() != tags.size()) {
        std::remove(temporary.c_str());
        return Fail("the written container does not read back");
    }
    if (std::rename(temporary.c_str(), outPath.c_str()) != 0) {
        std::remove(temporary.c_str());
        return Fail("cannot replace " + outPath);
    }
    chmod(outPath.c_str(), 0755);
    return 0;
}
