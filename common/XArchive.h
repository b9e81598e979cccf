#pragma once
// The byte stream of the tree archive: little-endian primitives, counts, strings with
// the Unicode marker, and object tags with one index counter per archive.
// A reading archive never reads past its data: the first failure makes it sticky-failed,
// every later read returns zero, and the caller checks Failed() at its boundary.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class CXNode;
struct CXRuntimeClass;

class CXArchive {
public:
    // A storing archive that grows an in-memory buffer.
    CXArchive();
    // A loading archive over data that must outlive it.
    explicit CXArchive(std::span<const uint8_t> data);

    CXArchive(const CXArchive&) = delete;
    CXArchive& operator=(const CXArchive&) = delete;

    bool IsStoring() const { return storing; }
    bool IsLoading() const { return !storing; }
    bool Failed() const { return failed; }
    void Fail() { failed = true; }

    // Storing.
    void WriteByte(uint8_t v);
    void WriteWord(uint16_t v);
    void WriteInt32(int32_t v);
    void WriteUInt32(uint32_t v);
    void WriteUInt64(uint64_t v);
    void WriteCount(uint64_t n);
    void WriteString(const std::wstring& s);
    // Tag (new class, class reference, or their large forms) and record of a new object.
    void WriteObject(CXNode* node);
    const std::vector<uint8_t>& Bytes() const { return buffer; }
    std::vector<uint8_t> TakeBytes() { return std::move(buffer); }

    // Loading.
    uint8_t ReadByte();
    uint16_t ReadWord();
    int32_t ReadInt32();
    uint32_t ReadUInt32();
    uint64_t ReadUInt64();
    uint64_t ReadCount();
    std::wstring ReadString();
    // A new object read from its tag and record, or null (and Failed()) for anything else:
    // unknown or malformed class, the no-object tag, a reference to an object read before.
    CXNode* ReadObject();
    size_t Remaining() const { return data.size() - position; }
    size_t Position() const { return position; }
    // A reserved byte, which writers set to zero; read strictly, anything else fails.
    void ReadReserved();

    // Salvaging, reading what can be read of damaged data. A submenu whose reading fails is
    // still returned by ReadObject with the children read before the failure; items that
    // fail are dropped as always.
    void StartSalvaging() { salvaging = true; }
    bool Salvaging() const { return salvaging; }
    // Where the innermost object that failed began (its tag), or where reading failed
    // outside any object.
    size_t FailedObjectStart() const { return failedObjectStart != kNoPosition ? failedObjectStart : position; }
    // Clears the failure and reads on at another position, for finding objects again after
    // damaged bytes. From then on reading is strict (reserved bytes zero, known versions,
    // no NUL in strings), so that stray bytes are not taken for objects, and a class
    // reference to an index the damaged part numbered is tried as each class named in full
    // after the damage.
    void ResumeAt(size_t newPosition);
    bool Strict() const { return resumed; }

    // Nesting of submenus that reading and writing accept; deeper trees fail instead of
    // exhausting the stack.
    static constexpr int kMaxDepth = 200;
    // Submenu records call these around their children.
    bool EnterChildren();
    void LeaveChildren() { --depth; }

private:
    bool Take(size_t n, const uint8_t*& p);
    const CXRuntimeClass* ReadClassAfterNewTag();

    CXNode* ReadRecordAs(const CXRuntimeClass* cls);

    bool storing;
    bool failed = false;
    bool salvaging = false;
    bool resumed = false;
    static constexpr size_t kNoPosition = static_cast<size_t>(-1);
    size_t failedObjectStart = kNoPosition;
    // Resumed: how many index entries the archive had numbered reliably.
    size_t reliableIndexes = 0;
    int depth = 0;
    std::vector<uint8_t> buffer;
    std::span<const uint8_t> data;
    size_t position = 0;

    // One counter numbers classes and objects alike, starting at 1.
    uint64_t nextIndex = 1;
    // Storing: class -> its index. Loading: index -> class (or null for an object index).
    std::vector<std::pair<const CXRuntimeClass*, uint64_t>> writtenClasses;
    std::vector<const CXRuntimeClass*> loadedIndex;  // [index - 1]
};
