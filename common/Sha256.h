#pragma once
// SHA-256 (FIPS 180-4). Two block engines give identical digests: a portable one and one
// built on the x86 SHA extensions, chosen at run time when the processor has them.

#include <array>
#include <cstddef>
#include <cstdint>

using TSha256Digest = std::array<uint8_t, 32>;

class CSha256 {
public:
    enum class EEngine {
        Best,       // the SHA extensions when present, else portable
        Portable,   // always the portable engine
        Extensions, // the SHA extensions; only valid when HasExtensions()
    };

    explicit CSha256(EEngine engine = EEngine::Best);

    void Update(const void* data, size_t size);
    // The digest of everything fed so far; the object starts over afterwards.
    TSha256Digest Final();
    void Reset();

    bool UsesExtensions() const { return blocks != &PortableBlocks; }

    // True when this processor has the SHA extensions (and SSSE3/SSE4.1 they rely on)
    // and this build contains the engine for them.
    static bool HasExtensions();
    static TSha256Digest Of(const void* data, size_t size, EEngine engine = EEngine::Best);

    using TBlockFunction = void (*)(uint32_t state[8], const uint8_t* data, size_t blockCount);
    static void PortableBlocks(uint32_t state[8], const uint8_t* data, size_t blockCount);

private:
    TBlockFunction blocks;
    uint32_t state[8];
    uint64_t totalBytes = 0;
    uint8_t pending[64];
    size_t pendingSize = 0;
};

// The round constants, shared by both engines.
extern const uint32_t kSha256RoundConstants[64];
