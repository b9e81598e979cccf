#pragma once
// The payload file interfaces on POSIX files, for the packer, the tests and the benchmark.
// Paths are UTF-16 with backslashes as on Windows; they are opened as UTF-8 with slashes.

#include <string>

#include "Payload.h"

std::string PosixPathFromPayloadPath(const std::wstring& path);

class CPosixPayloadSource : public CPayloadSource {
public:
    explicit CPosixPayloadSource(const std::string& path);
    ~CPosixPayloadSource() override;
    CPosixPayloadSource(const CPosixPayloadSource&) = delete;
    CPosixPayloadSource& operator=(const CPosixPayloadSource&) = delete;

    bool IsOpen() const { return fd >= 0; }
    bool GetSize(uint64_t& size) override;
    bool Seek(uint64_t offset, uint64_t& reached) override;
    bool Read(void* buffer, size_t size, size_t& got) override;

private:
    int fd = -1;
};

class CPosixPayloadFolder : public CPayloadFolder {
public:
    std::unique_ptr<CPayloadTarget> Create(const std::wstring& path) override;
};
