#pragma once
// Helpers shared by the payload and bootstrap tests: a minimal PE image, an in-memory
// destination folder with failure injection, and an encoder for hand-made directories that
// is written independently of the packer's writer.

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Payload.h"
#include "PayloadWriter.h"

namespace payloadtest {

inline std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    for (uint8_t& b : v) {
        b = uint8_t(rng());
    }
    return v;
}

inline void Store32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        b[at + i] = uint8_t(v >> (8 * i));
    }
}

// Offsets in the images made by FakePeImage.
inline constexpr size_t kFakePeHeader = 0x80;
inline size_t FakeCheckSumOffset()
{
    return kFakePeHeader + 24 + 64;
}
inline size_t FakeCertificateEntryOffset(bool pe32Plus)
{
    return kFakePeHeader + 24 + (pe32Plus ? 112 : 96) + 32;
}

// Random bytes behind just enough of a PE header to locate CheckSum and the data directory.
inline std::vector<uint8_t> FakePeImage(size_t size, bool pe32Plus = false, uint32_t seed = 1)
{
    // Room for the headers at least.
    std::vector<uint8_t> image = RandomBytes(std::max<size_t>(size, 512), seed);
    image[0] = 'M';
    image[1] = 'Z';
    Store32(image, 0x3C, kFakePeHeader);
    const size_t pe = kFakePeHeader;
    image[pe] = 'P';
    image[pe + 1] = 'E';
    image[pe + 2] = 0;
    image[pe + 3] = 0;
    const size_t optionalSize = pe32Plus ? 240 : 224;
    image[pe + 20] = uint8_t(optionalSize);
    image[pe + 21] = 0;
    const size_t optional = pe + 24;
    image[optional] = 0x0B;
    image[optional + 1] = pe32Plus ? 0x02 : 0x01;
    Store32(image, optional + (pe32Plus ? 108 : 92), 16);
    Store32(image, FakeCertificateEntryOffset(pe32Plus), 0);
    Store32(image, FakeCertificateEntryOffset(pe32Plus) + 4, 0);
    return image;
}

struct CMemoryFile {
    std::vector<uint8_t> bytes;
    uint64_t lastWriteTime = 0;
    bool timeSet = false;
    int creations = 0;
};

// Destination files in memory, keyed by full path.
class CMemoryFolder : public CPayloadFolder {
public:
    std::map<std::wstring, CMemoryFile> files;
    std::vector<std::wstring> created; // in creation order
    std::wstring refuseCreate;         // a path whose creation fails
    size_t writeLimit = SIZE_MAX;      // bytes per file a write may take in total
    bool refuseTime = false;

    std::unique_ptr<CPayloadTarget> Create(const std::wstring& path) override;
};

class CMemoryTarget : public CPayloadTarget {
public:
    CMemoryTarget(CMemoryFolder& folder, CMemoryFile& file) : folder(folder), file(file) {}
    bool Write(const void* data, size_t size, size_t& written) override
    {
        size_t room = folder.writeLimit - std::min(folder.writeLimit, file.bytes.size());
        written = std::min(room, size);
        auto p = static_cast<const uint8_t*>(data);
        file.bytes.insert(file.bytes.end(), p, p + written);
        return true;
    }
    bool SetLastWriteTime(uint64_t t) override
    {
        if (folder.refuseTime) {
            return false;
        }
        file.lastWriteTime = t;
        file.timeSet = true;
        return true;
    }

private:
    CMemoryFolder& folder;
    CMemoryFile& file;
};

inline std::unique_ptr<CPayloadTarget> CMemoryFolder::Create(const std::wstring& path)
{
    if (path == refuseCreate) {
        return nullptr;
    }
    CMemoryFile& file = files[path];
    int creations = file.creations + 1;
    file = CMemoryFile();
    file.creations = creations;
    created.push_back(path);
    return std::make_unique<CMemoryTarget>(*this, file);
}

// A directory written by hand, field by field, so that the tests can describe containers
// the writer refuses to make.
struct CRawFile {
    std::wstring name;
    int64_t offset = 0;
    int64_t size = 0;
    uint64_t lastWriteTime = 0;
    uint32_t attributes = 0;
    TSha256Digest digest{};
};

struct CRawTag {
    std::wstring name;
    std::vector<CRawFile> files;
};

class CRawDirectory {
public:
    uint64_t payloadStart = 0;
    TSha256Digest imageDigest{};
    std::vector<CRawTag> tags;

    std::vector<uint8_t> Encode() const
    {
        std::vector<uint8_t> out(kPayloadStartMarker, kPayloadStartMarker + kPayloadMarkerSize);
        Put(out, payloadStart, 8);
        out.insert(out.end(), imageDigest.begin(), imageDigest.end());
        Put(out, tags.size(), 2);
        for (const CRawTag& tag : tags) {
            PutString(out, tag.name);
            Put(out, tag.files.size(), 2);
            for (const CRawFile& f : tag.files) {
                PutString(out, f.name);
                Put(out, uint64_t(f.offset), 8);
                Put(out, uint64_t(f.size), 8);
                Put(out, f.lastWriteTime, 8); // low part first
                Put(out, f.attributes, 4);
                out.insert(out.end(), f.digest.begin(), f.digest.end());
            }
        }
        TSha256Digest d = CSha256::Of(out.data() + kPayloadMarkerSize, out.size() - kPayloadMarkerSize);
        out.insert(out.end(), d.begin(), d.end());
        out.insert(out.end(), kPayloadEndMarker, kPayloadEndMarker + kPayloadMarkerSize);
        return out;
    }

private:
    static void Put(std::vector<uint8_t>& out, uint64_t v, int bytes)
    {
        for (int i = 0; i < bytes; ++i) {
            out.push_back(uint8_t(v >> (8 * i)));
        }
    }
    static void PutString(std::vector<uint8_t>& out, const std::wstring& s)
    {
        Put(out, s.size(), 2);
        for (wchar_t c : s) {
            Put(out, uint16_t(c), 2);
        }
    }
};

// image + data + zero padding to a multiple of 32 + directory.
inline std::vector<uint8_t> Assemble(const std::vector<uint8_t>& imageAndData, const std::vector<uint8_t>& directory)
{
    std::vector<uint8_t> out = imageAndData;
    out.resize((out.size() + 31) & ~size_t(31), 0);
    out.insert(out.end(), directory.begin(), directory.end());
    return out;
}

} // namespace payloadtest
