#include "PayloadWriter.h"

#include <cstring>

namespace {

struct CPeFields {
    size_t checkSum = 0;
    size_t certificateEntry = 0; // 0 when the data directory has no such entry
};

uint32_t Load32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

uint16_t Load16(const std::vector<uint8_t>& b, size_t at)
{
    return uint16_t(b[at] | b[at + 1] << 8);
}

bool FindPeFields(const std::vector<uint8_t>& image, CPeFields& fields)
{
    if (image.size() < 0x40 || image[0] != 'M' || image[1] != 'Z') {
        return false;
    }
    size_t pe = Load32(image, 0x3C);
    if (pe > image.size() || image.size() - pe < 24 || std::memcmp(&image[pe], "PE\0\0", 4) != 0) {
        return false;
    }
    size_t optionalSize = Load16(image, pe + 20);
    size_t optional = pe + 24;
    if (optionalSize > image.size() - optional || optionalSize < 2) {
        return false;
    }
    uint16_t magic = Load16(image, optional);
    size_t countField, directories;
    if (magic == 0x10B) {
        countField = 92;
        directories = 96;
    } else if (magic == 0x20B) {
        countField = 108;
        directories = 112;
    } else {
        return false;
    }
    if (optionalSize < directories) {
        return false;
    }
    fields.checkSum = optional + 64;
    uint32_t count = Load32(image, optional + countField);
    const size_t certificateIndex = 4;
    if (count > certificateIndex && directories + 8 * (certificateIndex + 1) <= optionalSize) {
        fields.certificateEntry = optional + directories + 8 * certificateIndex;
    }
    return true;
}

void Put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, uint16_t(v));
    Put16(out, uint16_t(v >> 16));
}

void Put64(std::vector<uint8_t>& out, uint64_t v)
{
    Put32(out, uint32_t(v));
    Put32(out, uint32_t(v >> 32));
}

void PutBytes(std::vector<uint8_t>& out, const void* data, size_t size)
{
    auto p = static_cast<const uint8_t*>(data);
    out.insert(out.end(), p, p + size);
}

bool PutString(std::vector<uint8_t>& out, const std::wstring& s)
{
    if (s.size() > 0xFFFF) {
        return false;
    }
    Put16(out, uint16_t(s.size()));
    for (wchar_t c : s) {
        if ((uint32_t(c) >> 16) != 0) {
            return false; // one UTF-16 unit per wchar_t
        }
        Put16(out, uint16_t(c));
    }
    return true;
}

std::string Narrow(const std::wstring& s)
{
    std::string r;
    for (wchar_t c : s) {
        r += (c >= 0x20 && c < 0x7F) ? char(c) : '?';
    }
    return r;
}

} // namespace

bool ComputeImageDigest(const std::vector<uint8_t>& image, TSha256Digest& digest)
{
    CPeFields fields;
    if (!FindPeFields(image, fields)) {
        return false;
    }
    // Hash around the two fields so that a large image is not copied.
    static const uint8_t zeros[8] = {};
    struct Hole {
        size_t at, size;
    };
    Hole holes[2] = {{fields.checkSum, 4}, {fields.certificateEntry, fields.certificateEntry ? 8u : 0u}};
    if (holes[1].size && holes[1].at < holes[0].at) {
        std::swap(holes[0], holes[1]);
    }
    CSha256 sha;
    size_t at = 0;
    for (const Hole& hole : holes) {
        if (hole.size == 0) {
            continue;
        }
        sha.Update(image.data() + at, hole.at - at);
        sha.Update(zeros, hole.size);
        at = hole.at + hole.size;
    }
    sha.Update(image.data() + at, image.size() - at);
    digest = sha.Final();
    return true;
}

bool ImageHasCertificateEntry(const std::vector<uint8_t>& image)
{
    CPeFields fields;
    if (!FindPeFields(image, fields) || fields.certificateEntry == 0) {
        return false;
    }
    return Load32(image, fields.certificateEntry) != 0 || Load32(image, fields.certificateEntry + 4) != 0;
}

bool BuildPayloadContainer(const std::vector<uint8_t>& image, const std::vector<CPackData>& data,
                           const std::vector<CPackTag>& tags, uint64_t reserve, std::vector<uint8_t>& out,
                           std::string& error)
{
    TSha256Digest imageDigest;
    if (!ComputeImageDigest(image, imageDigest)) {
        error = "the bootstrap image is not a PE image";
        return false;
    }
    if (ImageHasCertificateEntry(image)) {
        error = "the bootstrap image is already signed; pack the unsigned image and sign afterwards";
        return false;
    }
    if (tags.size() > 0xFFFF) {
        error = "too many tags";
        return false;
    }
    std::vector<bool> used(data.size());
    for (const CPackTag& tag : tags) {
        if (tag.files.size() > 0xFFFF) {
            error = "too many files in tag " + Narrow(tag.name);
            return false;
        }
        for (const CPackFile& file : tag.files) {
            if (file.data >= data.size()) {
                error = "file " + Narrow(file.name) + " has no data";
                return false;
            }
            if (!IsSafePayloadFileName(file.name)) {
                error = "not a plain file name: " + Narrow(file.name);
                return false;
            }
            used[file.data] = true;
        }
    }
    for (size_t i = 0; i < data.size(); ++i) {
        if (!used[i]) {
            error = "data " + std::to_string(i) + " belongs to no tag";
            return false;
        }
    }

    out = image;
    const uint64_t payloadStart = image.size();
    std::vector<int64_t> offsets(data.size());
    std::vector<TSha256Digest> digests(data.size());
    for (size_t i = 0; i < data.size(); ++i) {
        offsets[i] = int64_t(out.size());
        digests[i] = CSha256::Of(data[i].bytes.data(), data[i].bytes.size());
        PutBytes(out, data[i].bytes.data(), data[i].bytes.size());
    }
    out.resize((out.size() + kPayloadMarkerAlignment - 1) & ~(kPayloadMarkerAlignment - 1), 0);

    const size_t marker = out.size();
    PutBytes(out, kPayloadStartMarker, kPayloadMarkerSize);
    Put64(out, payloadStart);
    PutBytes(out, imageDigest.data(), imageDigest.size());
    Put16(out, uint16_t(tags.size()));
    for (const CPackTag& tag : tags) {
        if (!PutString(out, tag.name)) {
            error = "tag name too long or not UTF-16";
            return false;
        }
        Put16(out, uint16_t(tag.files.size()));
        for (const CPackFile& file : tag.files) {
            const CPackData& d = data[file.data];
            if (!PutString(out, file.name)) {
                error = "file name too long or not UTF-16";
                return false;
            }
            Put64(out, uint64_t(offsets[file.data]));
            Put64(out, d.bytes.size());
            Put32(out, uint32_t(d.lastWriteTime));
            Put32(out, uint32_t(d.lastWriteTime >> 32));
            Put32(out, d.attributes);
            PutBytes(out, digests[file.data].data(), digests[file.data].size());
        }
    }
    TSha256Digest directoryDigest =
        CSha256::Of(out.data() + marker + kPayloadMarkerSize, out.size() - marker - kPayloadMarkerSize);
    PutBytes(out, directoryDigest.data(), directoryDigest.size());
    PutBytes(out, kPayloadEndMarker, kPayloadMarkerSize);

    // The reader looks only at the last 1 MiB, starting at a multiple of 32.
    uint64_t finalSize = out.size() + reserve;
    if (finalSize >= kPayloadWindow) {
        uint64_t windowStart =
            (finalSize - kPayloadWindow + kPayloadMarkerAlignment - 1) & ~uint64_t(kPayloadMarkerAlignment - 1);
        if (marker < windowStart) {
            error = "the directory would not lie within the last 1 MiB of the file";
            return false;
        }
    }
    return true;
}
