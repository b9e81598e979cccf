#pragma once
// Writing a payload container: the build step that appends both program sets to the
// finished bootstrap image. Portable; the packer program feeds it files from disk.

#include <cstdint>
#include <string>
#include <vector>

#include "Payload.h"

// The contents of one source file, stored once however many tags list it.
struct CPackData {
    std::vector<uint8_t> bytes;
    uint64_t lastWriteTime = 0; // FILETIME
    uint32_t attributes = 0;
};

struct CPackFile {
    std::wstring name;
    size_t data = 0; // index into the data list
};

struct CPackTag {
    std::wstring name;
    std::vector<CPackFile> files;
};

// SHA-256 of a PE image with the optional header's CheckSum and the certificate-table entry
// of the data directory taken as zero bytes. False when the bytes are not a PE image.
bool ComputeImageDigest(const std::vector<uint8_t>& image, TSha256Digest& digest);

// True when the image already carries a certificate-table entry (a signed image).
bool ImageHasCertificateEntry(const std::vector<uint8_t>& image);

// Appends the data in list order, padding, and the directory with its tags in list order.
// reserve is the number of bytes that will be appended later (a certificate table): the
// directory must still lie within the last 1 MiB then. On failure error says why.
bool BuildPayloadContainer(const std::vector<uint8_t>& image, const std::vector<CPackData>& data,
                           const std::vector<CPackTag>& tags, uint64_t reserve, std::vector<uint8_t>& out,
                           std::string& error);
