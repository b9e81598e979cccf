#pragma once
// The payload appended to the bootstrap installer: the directory that describes it, how it
// is found at the end of the file, and the extraction of one file. File access goes through
// the small interfaces below so that the same logic runs on Windows files, POSIX files and
// memory.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Sha256.h"

inline constexpr char kPayloadStartMarker[] = "{E9B3CA0F-CE19-4783-A81D-E398289921CD}";
inline constexpr char kPayloadEndMarker[] = "{4D4DE555-A867-4434-B4C8-C7725CC920DD}";
inline constexpr size_t kPayloadMarkerSize = 38;
// The directory is looked for only in this many bytes at the end of the file.
inline constexpr uint64_t kPayloadWindow = 0x100000;
inline constexpr size_t kPayloadMarkerAlignment = 32;
inline constexpr size_t kPayloadCopyChunk = 0x10000;

struct TFPFile {
    std::wstring name; // a plain file name, checked by IsSafePayloadFileName
    int64_t offset = 0;
    int64_t size = 0;
    uint64_t lastWriteTime = 0; // FILETIME as one number
    uint32_t attributes = 0;    // carried, never applied
    TSha256Digest digest{};
};

struct TFPTag {
    std::wstring name;
    std::vector<std::shared_ptr<TFPFile>> files;
};

using TFPTagList = std::vector<std::shared_ptr<TFPTag>>;

struct CPayloadDirectory {
    uint64_t payloadStart = 0;
    TSha256Digest imageDigest{};
    TFPTagList tags;
};

// The container being read: readable and seekable.
class CPayloadSource {
public:
    virtual ~CPayloadSource() = default;
    virtual bool GetSize(uint64_t& size) = 0;
    // Moves to an absolute position and reports the position reached.
    virtual bool Seek(uint64_t offset, uint64_t& reached) = 0;
    // Reads at most size bytes; got may be less at the end of the file.
    virtual bool Read(void* buffer, size_t size, size_t& got) = 0;
};

// One destination file, open for writing; closed when destroyed.
class CPayloadTarget {
public:
    virtual ~CPayloadTarget() = default;
    virtual bool Write(const void* data, size_t size, size_t& written) = 0;
    virtual bool SetLastWriteTime(uint64_t fileTime) = 0;
};

// Where extracted files go.
class CPayloadFolder {
public:
    virtual ~CPayloadFolder() = default;
    // Creates the file for writing, unshared, replacing an existing one; null on failure.
    virtual std::unique_ptr<CPayloadTarget> Create(const std::wstring& path) = 0;
};

// A container held in memory.
class CMemoryPayloadSource : public CPayloadSource {
public:
    CMemoryPayloadSource(const uint8_t* data, size_t size) : data(data), size(size) {}
    bool GetSize(uint64_t& result) override;
    bool Seek(uint64_t offset, uint64_t& reached) override;
    bool Read(void* buffer, size_t wanted, size_t& got) override;

private:
    const uint8_t* data;
    size_t size;
    uint64_t position = 0;
};

// Finds and checks the directory. On failure the directory is left empty; the caller
// reports the container as broken. Besides damage, this refuses any file name that is
// not a plain file name, so that a hostile directory cannot write outside the folder.
bool ReadPayloadDirectory(CPayloadSource& source, CPayloadDirectory& directory);

// The first tag whose name equals name exactly; null when there is none.
std::shared_ptr<TFPTag> FindPayloadTag(const TFPTagList& tags, const std::wstring& name);

// A name that Windows stores as given, as one file directly in the folder: no folder part,
// no drive, not "." or "..", no character a file name cannot hold, no trailing dot or
// space, not a device name.
bool IsSafePayloadFileName(const std::wstring& name);

// Joins with exactly one backslash.
std::wstring JoinPayloadPath(const std::wstring& folder, const std::wstring& name);

enum class EExtractResult {
    Ok,
    CannotCreate,   // the destination could not be created
    ReadFailed,     // seeking or reading the container failed or came short
    WriteFailed,    // writing the destination failed or came short
    DigestMismatch, // the data read does not have the recorded digest
};

// Copies one file in 64 KiB chunks, hashing as it goes. A partly written destination is
// left in place on failure.
EExtractResult ExtractPayloadFile(CPayloadSource& source, const TFPFile& file, const std::wstring& folder,
                                  CPayloadFolder& destination);
