#include "XArchive.h"

#include <algorithm>

#include "Platform.h"
#include "XNode.h"

namespace {
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint32_t kBigClassTag = 0x80000000;
constexpr uint16_t kUnicodeMarker = 0xFFFE;
constexpr size_t kMaxClassNameLength = 63;
// Every tagged object after a count takes at least its 2-byte tag.
constexpr size_t kMinObjectBytes = 2;
} // namespace

CXArchive::CXArchive() : storing(true) {}

CXArchive::CXArchive(std::span<const uint8_t> bytes) : storing(false), data(bytes) {}

bool CXArchive::EnterChildren()
{
    if (depth >= kMaxDepth) {
        Fail();
        return false;
    }
    ++depth;
    return true;
}

// ---- Storing -------------------------------------------------------------------------

void CXArchive::WriteByte(uint8_t v)
{
    buffer.push_back(v);
}

void CXArchive::WriteWord(uint16_t v)
{
    buffer.push_back(static_cast<uint8_t>(v));
    buffer.push_back(static_cast<uint8_t>(v >> 8));
}

void CXArchive::WriteInt32(int32_t v)
{
    WriteUInt32(static_cast<uint32_t>(v));
}

void CXArchive::WriteUInt32(uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        buffer.push_back(static_cast<uint8_t>(v >> shift));
}

void CXArchive::WriteUInt64(uint64_t v)
{
    for (int shift = 0; shift < 64; shift += 8)
        buffer.push_back(static_cast<uint8_t>(v >> shift));
}

void CXArchive::WriteCount(uint64_t n)
{
    if (n < 0xFFFF) {
        WriteWord(static_cast<uint16_t>(n));
        return;
    }
    WriteWord(0xFFFF);
    if (n < 0xFFFFFFFF) {
        WriteUInt32(static_cast<uint32_t>(n));
        return;
    }
    WriteUInt32(0xFFFFFFFF);
    WriteUInt64(n);
}

void CXArchive::WriteString(const std::wstring& s)
{
    const uint64_t length = s.size();
    WriteByte(0xFF);
    WriteWord(kUnicodeMarker);
    if (length <= 254) {
        WriteByte(static_cast<uint8_t>(length));
    } else {
        WriteByte(0xFF);
        if (length <= 0xFFFD) {
            WriteWord(static_cast<uint16_t>(length));
        } else {
            // Same shape as a count from here on.
            WriteWord(0xFFFF);
            if (length <= 0xFFFFFFFE) {
                WriteUInt32(static_cast<uint32_t>(length));
            } else {
                WriteUInt32(0xFFFFFFFF);
                WriteUInt64(length);
            }
        }
    }
    const size_t start = buffer.size();
    buffer.resize(start + s.size() * 2);
    uint8_t* p = buffer.data() + start;
    for (wchar_t c : s) {
        // One UTF-16 unit per wchar_t, also where wchar_t is 32 bits wide.
        *p++ = static_cast<uint8_t>(c);
        *p++ = static_cast<uint8_t>(static_cast<uint32_t>(c) >> 8);
    }
}

void CXArchive::WriteObject(CXNode* node)
{
    if (failed)
        return;
    const CXRuntimeClass* cls = node ? node->GetRuntimeClass() : nullptr;
    // Only a class that reading can create by its name may be written: this keeps a root
    // (or any unregistered class) out of a child list.
    if (!cls || !cls->createObject || CXRuntimeClass::FromName(cls->className) != cls) {
        Fail();
        return;
    }
    auto known = std::find_if(writtenClasses.begin(), writtenClasses.end(),
                              [cls](const auto& entry) { return entry.first == cls; });
    if (known == writtenClasses.end()) {
        const std::string_view name = cls->className;
        if (name.size() > kMaxClassNameLength) {
            Fail();
            return;
        }
        WriteWord(kNewClassTag);
        WriteWord(static_cast<uint16_t>(cls->schema));
        WriteWord(static_cast<uint16_t>(name.size()));
        buffer.insert(buffer.end(), name.begin(), name.end());
        writtenClasses.emplace_back(cls, nextIndex++);
    } else {
        const uint64_t index = known->second;
        if (index < kBigObjectTag) {
            WriteWord(static_cast<uint16_t>(kClassTag | index));
        } else if (index < kBigClassTag) {
            WriteWord(kBigObjectTag);
            WriteUInt32(static_cast<uint32_t>(kBigClassTag | index));
        } else {
            Fail(); // no tag form can name this class any more
            return;
        }
    }
    ++nextIndex; // the object's own index; never referred to, as every node occurs once
    node->Serialize(*this);
}

// ---- Loading -------------------------------------------------------------------------

bool CXArchive::Take(size_t n, const uint8_t*& p)
{
    if (failed || n > Remaining()) {
        failed = true;
        return false;
    }
    p = data.data() + position;
    position += n;
    return true;
}

uint8_t CXArchive::ReadByte()
{
    const uint8_t* p = nullptr;
    return Take(1, p) ? p[0] : 0;
}

uint16_t CXArchive::ReadWord()
{
    const uint8_t* p = nullptr;
    return Take(2, p) ? static_cast<uint16_t>(p[0] | (p[1] << 8)) : 0;
}

int32_t CXArchive::ReadInt32()
{
    return static_cast<int32_t>(ReadUInt32());
}

uint32_t CXArchive::ReadUInt32()
{
    const uint8_t* p = nullptr;
    if (!Take(4, p))
        return 0;
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

uint64_t CXArchive::ReadUInt64()
{
    const uint8_t* p = nullptr;
    if (!Take(8, p))
        return 0;
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

uint64_t CXArchive::ReadCount()
{
    uint64_t n = ReadWord();
    if (n == 0xFFFF) {
        n = ReadUInt32();
        if (n == 0xFFFFFFFF)
            n = ReadUInt64();
    }
    // A count numbers the tagged objects that follow it; more than the data can hold is
    // refused here, before anyone sizes an array by it.
    if (!failed && n > Remaining() / kMinObjectBytes)
        Fail();
    return failed ? 0 : n;
}

std::wstring CXArchive::ReadString()
{
    // After the first word: a word length unless 0xFFFF, then a 4-byte one unless
    // 0xFFFFFFFF, then an 8-byte one.
    auto longLength = [this](uint16_t w) -> uint64_t {
        if (w != 0xFFFF)
            return w;
        const uint32_t d = ReadUInt32();
        return d != 0xFFFFFFFF ? d : ReadUInt64();
    };
    bool wide = false;
    uint64_t length = ReadByte();
    if (length == 0xFF) {
        const uint16_t w = ReadWord();
        if (w == kUnicodeMarker) {
            wide = true;
            const uint8_t b = ReadByte();
            length = b < 0xFF ? b : longLength(ReadWord());
        } else {
            length = longLength(w);
        }
    }
    if (failed)
        return {};
    const size_t unitSize = wide ? 2 : 1;
    if (length > Remaining() / unitSize) {
        Fail();
        return {};
    }
    const uint8_t* p = nullptr;
    Take(static_cast<size_t>(length) * unitSize, p);
    if (length == 0)
        return {};
    if (!wide) {
        std::string narrow(reinterpret_cast<const char*>(p), static_cast<size_t>(length));
        if (resumed && narrow.find('\0') != std::string::npos) {
            Fail();
            return {};
        }
        return Platform().AnsiToWide(narrow);
    }
    std::wstring s(static_cast<size_t>(length), L'\0');
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<wchar_t>(p[2 * i] | (p[2 * i + 1] << 8));
    if (resumed && s.find(L'\0') != std::wstring::npos) {
        Fail();
        return {};
    }
    return s;
}

const CXRuntimeClass* CXArchive::ReadClassAfterNewTag()
{
    const uint16_t schema = ReadWord();
    const uint16_t nameLength = ReadWord();
    if (failed || nameLength > kMaxClassNameLength) {
        Fail();
        return nullptr;
    }
    const uint8_t* p = nullptr;
    if (!Take(nameLength, p))
        return nullptr;
    const CXRuntimeClass* cls =
        CXRuntimeClass::FromName(std::string_view(reinterpret_cast<const char*>(p), nameLength));
    if (!cls || !cls->createObject || schema != 1) {
        Fail();
        return nullptr;
    }
    loadedIndex.push_back(cls);
    ++nextIndex;
    return cls;
}

void CXArchive::ReadReserved()
{
    if (ReadByte() != 0 && resumed)
        Fail();
}

void CXArchive::ResumeAt(size_t newPosition)
{
    if (!resumed) {
        resumed = true;
        reliableIndexes = loadedIndex.size();
    }
    failed = false;
    failedObjectStart = kNoPosition;
    depth = 0;
    position = std::min(newPosition, data.size());
}

CXNode* CXArchive::ReadRecordAs(const CXRuntimeClass* cls)
{
    CXNode* node = cls->createObject();
    loadedIndex.push_back(nullptr);
    ++nextIndex;
    node->Serialize(*this);
    if (failed) {
        // A salvaged submenu keeps what it read; anything else goes with whatever part of its
        // subtree was read.
        if (salvaging && node->IsKindOf<CXParent>())
            return node;
        delete node;
        return nullptr;
    }
    return node;
}

CXNode* CXArchive::ReadObject()
{
    const size_t start = position;
    auto failHere = [&]() -> CXNode* {
        Fail();
        if (failedObjectStart == kNoPosition)
            failedObjectStart = start;
        return nullptr;
    };
    const uint16_t tag = ReadWord();
    if (failed)
        return failHere();

    const CXRuntimeClass* cls = nullptr;
    if (tag == kNewClassTag) {
        cls = ReadClassAfterNewTag();
    } else {
        uint64_t classIndex = 0; // 0: not a class reference
        if (tag == kBigObjectTag) {
            const uint32_t big = ReadUInt32();
            if (big & kBigClassTag)
                classIndex = big & ~kBigClassTag;
        } else if (tag & kClassTag) {
            classIndex = tag & ~kClassTag;
        }
        if (resumed && classIndex > reliableIndexes) {
            // The damaged part numbered this index: each class named since then is tried.
            const size_t afterTag = position;
            const size_t indexes = loadedIndex.size();
            const uint64_t next = nextIndex;
            for (size_t i = reliableIndexes; i < indexes && !failed; ++i) {
                const CXRuntimeClass* guess = loadedIndex[i];
                if (!guess || std::find(loadedIndex.begin() + reliableIndexes, loadedIndex.begin() + i, guess) !=
                                  loadedIndex.begin() + i)
                    continue;
                if (CXNode* node = ReadRecordAs(guess); node && !failed)
                    return node;
                else
                    delete node;
                failed = false;
                failedObjectStart = kNoPosition;
                position = afterTag;
                loadedIndex.resize(indexes);
                nextIndex = next;
            }
            return failHere();
        }
        // The no-object tag and references to objects read before would leave an empty
        // child or put one node in two places: both are corrupt data here.
        if (classIndex != 0 && classIndex <= loadedIndex.size())
            cls = loadedIndex[classIndex - 1]; // null when that index is an object's
    }
    if (!cls)
        return failHere();

    CXNode* node = ReadRecordAs(cls);
    if (failed && failedObjectStart == kNoPosition)
        failedObjectStart = start;
    return node;
}
