// libFuzzer target for the payload directory reader and extraction.
// The first input byte chooses the form of the rest: with bit 0 set, the rest is a directory
// body (from payloadStart to the end of the last tag) that the target wraps in the start
// marker, its correct digest and the end marker, so the fuzzer reaches the parser past the
// digest; otherwise the rest is the whole container as it lies in a file.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Payload.h"

namespace {

class CDiscardTarget : public CPayloadTarget {
public:
    bool Write(const void*, size_t size, size_t& written) override
    {
        written = size;
        return true;
    }
    bool SetLastWriteTime(uint64_t) override { return true; }
};

class CDiscardFolder : public CPayloadFolder {
public:
    std::unique_ptr<CPayloadTarget> Create(const std::wstring&) override { return std::make_unique<CDiscardTarget>(); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    std::vector<uint8_t> container;
    if (data[0] & 1) {
        // Some image bytes first, so that the marker offset is a multiple of 32 but not 0.
        container.assign(64, 0xCC);
        container.insert(container.end(), kPayloadStartMarker, kPayloadStartMarker + kPayloadMarkerSize);
        container.insert(container.end(), data + 1, data + size);
        TSha256Digest digest = CSha256::Of(data + 1, size - 1);
        container.insert(container.end(), digest.begin(), digest.end());
        container.insert(container.end(), kPayloadEndMarker, kPayloadEndMarker + kPayloadMarkerSize);
    } else {
        container.assign(data + 1, data + size);
    }

    CMemoryPayloadSource source(container.data(), container.size());
    CPayloadDirectory directory;
    if (!ReadPayloadDirectory(source, directory)) {
        if (!directory.tags.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    CDiscardFolder folder;
    for (const auto& tag : directory.tags) {
        FindPayloadTag(directory.tags, tag->name);
        for (const auto& file : tag->files) {
            if (!IsSafePayloadFileName(file->name)) {
                __builtin_trap(); // the reader must have refused it
            }
            ExtractPayloadFile(source, *file, L"T", folder);
        }
    }
    return 0;
}
