#include "Payload.h"

#include <algorithm>
#include <cstring>

namespace {

// The smallest encodings of a tag record (empty name, no files) and of a file record
// (empty name): counts read from the data are checked against them before any allocation.
constexpr size_t kMinTagRecord = 2 + 2;
constexpr size_t kMinFileRecord = 2 + 8 + 8 + 8 + 4 + 32;

// Reads fields from the data read, never beyond it.
class CFieldReader {
public:
    CFieldReader(const uint8_t* data, size_t size, size_t at) : data(data), size(size), at(at) {}

    size_t Position() const { return at; }
    size_t Remaining() const { return size - at; }

    bool Bytes(void* out, size_t n)
    {
        if (n > Remaining()) {
            return false;
        }
        std::memcpy(out, data + at, n);
        at += n;
        return true;
    }
    bool UInt16(uint16_t& v) { return Little(v); }
    bool UInt32(uint32_t& v) { return Little(v); }
    bool UInt64(uint64_t& v) { return Little(v); }
    bool Int64(int64_t& v)
    {
        uint64_t u;
        if (!Little(u)) {
            return false;
        }
        v = static_cast<int64_t>(u);
        return true;
    }
    bool String(std::wstring& s)
    {
        uint16_t count;
        if (!UInt16(count) || size_t(count) * 2 > Remaining()) {
            return false;
        }
        s.resize(count);
        for (uint16_t i = 0; i < count; ++i) {
            s[i] = static_cast<wchar_t>(data[at] | (data[at + 1] << 8));
            at += 2;
        }
        return true;
    }

private:
    template <typename T> bool Little(T& v)
    {
        if (sizeof(T) > Remaining()) {
            return false;
        }
        T r = 0;
        for (size_t i = 0; i < sizeof(T); ++i) {
            r |= T(data[at + i]) << (8 * i);
        }
        at += sizeof(T);
        v = r;
        return true;
    }

    const uint8_t* data;
    size_t size;
    size_t at;
};

bool ReadFileRecord(CFieldReader& in, TFPFile& file)
{
    uint32_t timeLow, timeHigh;
    if (!in.String(file.name) || !in.Int64(file.offset) || !in.Int64(file.size) || !in.UInt32(timeLow) ||
        !in.UInt32(timeHigh) || !in.UInt32(file.attributes) || !in.Bytes(file.digest.data(), file.digest.size())) {
        return false;
    }
    file.lastWriteTime = uint64_t(timeHigh) << 32 | timeLow;
    return true;
}

bool ParseDirectory(const uint8_t* data, size_t size, size_t marker, CPayloadDirectory& directory)
{
    CFieldReader in(data, size, marker + kPayloadMarkerSize);
    uint16_t tagCount;
    if (!in.UInt64(directory.payloadStart) || !in.Bytes(directory.imageDigest.data(), directory.imageDigest.size()) ||
        !in.UInt16(tagCount) || size_t(tagCount) * kMinTagRecord > in.Remaining()) {
        return false;
    }
    directory.tags.reserve(tagCount);
    for (uint16_t t = 0; t < tagCount; ++t) {
        auto tag = std::make_shared<TFPTag>();
        uint16_t fileCount;
        if (!in.String(tag->name) || !in.UInt16(fileCount) || size_t(fileCount) * kMinFileRecord > in.Remaining()) {
            return false;
        }
        tag->files.reserve(fileCount);
        for (uint16_t f = 0; f < fileCount; ++f) {
            auto file = std::make_shared<TFPFile>();
            if (!ReadFileRecord(in, *file)) {
                return false;
            }
            tag->files.push_back(std::move(file));
        }
        directory.tags.push_back(std::move(tag));
    }

    size_t covered = in.Position() - (marker + kPayloadMarkerSize);
    TSha256Digest expected = CSha256::Of(data + marker + kPayloadMarkerSize, covered);
    TSha256Digest stored;
    char endMarker[kPayloadMarkerSize];
    if (!in.Bytes(stored.data(), stored.size()) || stored != expected || !in.Bytes(endMarker, sizeof endMarker) ||
        std::memcmp(endMarker, kPayloadEndMarker, kPayloadMarkerSize) != 0) {
        return false;
    }

    for (const auto& tag : directory.tags) {
        for (const auto& file : tag->files) {
            if (!IsSafePayloadFileName(file->name)) {
                return false;
            }
        }
    }
    return true;
}

bool IsDeviceName(const std::wstring& name)
{
    // The device names apply with any extension ("nul.txt" is the device too).
    std::wstring base = name.substr(0, name.find(L'.'));
    while (!base.empty() && base.back() == L' ') {
        base.pop_back();
    }
    std::wstring upper;
    for (wchar_t c : base) {
        upper += (c >= L'a' && c <= L'z') ? wchar_t(c - L'a' + L'A') : c;
    }
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
        if (upper == device) {
            return true;
        }
    }
    if (upper.size() == 4 && (upper.compare(0, 3, L"COM") == 0 || upper.compare(0, 3, L"LPT") == 0)) {
        wchar_t digit = upper[3];
        // Windows also treats the superscript digits ¹ ² ³ as port numbers.
        return (digit >= L'0' && digit <= L'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    }
    return false;
}

} // namespace

bool CMemoryPayloadSource::GetSize(uint64_t& result)
{
    result = size;
    return true;
}

bool CMemoryPayloadSource::Seek(uint64_t offset, uint64_t& reached)
{
    position = offset;
    reached = offset;
    return true;
}

bool CMemoryPayloadSource::Read(void* buffer, size_t wanted, size_t& got)
{
    got = position >= size ? 0 : size_t(std::min<uint64_t>(wanted, size - position));
    if (got > 0) {
        std::memcpy(buffer, data + position, got);
    }
    position += got;
    return true;
}

bool ReadPayloadDirectory(CPayloadSource& source, CPayloadDirectory& directory)
{
    directory = CPayloadDirectory();

    uint64_t fileSize;
    if (!source.GetSize(fileSize)) {
        return false;
    }
    uint64_t windowStart = 0;
    if (fileSize >= kPayloadWindow) {
        windowStart =
            (fileSize - kPayloadWindow + kPayloadMarkerAlignment - 1) & ~uint64_t(kPayloadMarkerAlignment - 1);
    }
    uint64_t reached;
    if (!source.Seek(windowStart, reached) || reached != windowStart) {
        return false;
    }
    std::vector<uint8_t> buffer(size_t(std::min<uint64_t>(kPayloadWindow, fileSize - windowStart)));
    size_t got = 0;
    if (!buffer.empty() && !source.Read(buffer.data(), buffer.size(), got)) {
        return false;
    }
    got = std::min(got, buffer.size());

    // Candidates at multiples of 32 from the end: the marker nearest the end wins.
    for (size_t candidate = got & ~(kPayloadMarkerAlignment - 1);; candidate -= kPayloadMarkerAlignment) {
        if (candidate + kPayloadMarkerSize <= got &&
            std::memcmp(buffer.data() + candidate, kPayloadStartMarker, kPayloadMarkerSize) == 0) {
            if (ParseDirectory(buffer.data(), got, candidate, directory)) {
                return true;
            }
            directory = CPayloadDirectory();
            return false;
        }
        if (candidate == 0) {
            return false;
        }
    }
}

std::shared_ptr<TFPTag> FindPayloadTag(const TFPTagList& tags, const std::wstring& name)
{
    for (const auto& tag : tags) {
        if (tag->name == name) {
            return tag;
        }
    }
    return nullptr;
}

bool IsSafePayloadFileName(const std::wstring& name)
{
    if (name.empty() || name == L"." || name == L"..") {
        return false;
    }
    for (wchar_t c : name) {
        if (c < 0x20 || c == 0x7F || std::wcschr(L"\\/:*?\"<>|", c) != nullptr) {
            return false;
        }
    }
    // Windows drops a trailing dot or space, so the file would land under another name.
    if (name.back() == L'.' || name.back() == L' ') {
        return false;
    }
    return !IsDeviceName(name);
}

std::wstring JoinPayloadPath(const std::wstring& folder, const std::wstring& name)
{
    if (!folder.empty() && folder.back() == L'\\') {
        return folder + name;
    }
    return folder + L'\\' + name;
}

EExtractResult ExtractPayloadFile(CPayloadSource& source, const TFPFile& file, const std::wstring& folder,
                                  CPayloadFolder& destination)
{
    if (!IsSafePayloadFileName(file.name)) {
        return EExtractResult::CannotCreate;
    }
    std::unique_ptr<CPayloadTarget> target = destination.Create(JoinPayloadPath(folder, file.name));
    if (!target) {
        return EExtractResult::CannotCreate;
    }
    if (file.offset < 0 || file.size < 0) {
        return EExtractResult::ReadFailed;
    }
    uint64_t reached;
    if (!source.Seek(uint64_t(file.offset), reached) || reached != uint64_t(file.offset)) {
        return EExtractResult::ReadFailed;
    }

    std::vector<uint8_t> chunk(kPayloadCopyChunk);
    CSha256 sha;
    uint64_t left = uint64_t(file.size);
    while (left > 0) {
        size_t n = size_t(std::min<uint64_t>(left, kPayloadCopyChunk));
        size_t got = 0;
        if (!source.Read(chunk.data(), n, got) || got != n) {
            return EExtractResult::ReadFailed;
        }
        size_t written = 0;
        if (!target->Write(chunk.data(), n, written) || written != n) {
            return EExtractResult::WriteFailed;
        }
        sha.Update(chunk.data(), n);
        left -= n;
    }
    if (sha.Final() != file.digest) {
        return EExtractResult::DigestMismatch;
    }
    if (!target->SetLastWriteTime(file.lastWriteTime)) {
        return EExtractResult::WriteFailed;
    }
    return EExtractResult::Ok;
}
