#pragma once
// The payload file interfaces on Windows files.

#include <windows.h>

#include "Payload.h"

class CWinPayloadSource : public CPayloadSource {
public:
    // Takes ownership of an open handle.
    explicit CWinPayloadSource(HANDLE file) : file(file) {}
    ~CWinPayloadSource() override { CloseHandle(file); }
    CWinPayloadSource(const CWinPayloadSource&) = delete;
    CWinPayloadSource& operator=(const CWinPayloadSource&) = delete;

    bool GetSize(uint64_t& size) override;
    bool Seek(uint64_t offset, uint64_t& reached) override;
    bool Read(void* buffer, size_t size, size_t& got) override;

private:
    HANDLE file;
};

class CWinPayloadFolder : public CPayloadFolder {
public:
    std::unique_ptr<CPayloadTarget> Create(const std::wstring& path) override;
};
