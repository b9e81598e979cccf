#include "Sha256.h"

#include <cstring>

#ifdef VELQ_SHA256_X86
#include <cpuid.h>
// In Sha256_x86.cpp, the only file built with the SHA extensions enabled; it must not run
// before the processor check below has passed.
void Sha256ShaExtensionBlocks(uint32_t state[8], const uint8_t* data, size_t blockCount);
#endif

const uint32_t kSha256RoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

namespace {

const uint32_t kInitialState[8] = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19,
};

inline uint32_t Rotr(uint32_t x, int n)
{
    return (x >> n) | (x << (32 - n));
}

inline uint32_t LoadBigEndian(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline uint32_t SmallSigma0(uint32_t x)
{
    return Rotr(x, 7) ^ Rotr(x, 18) ^ (x >> 3);
}
inline uint32_t SmallSigma1(uint32_t x)
{
    return Rotr(x, 17) ^ Rotr(x, 19) ^ (x >> 10);
}
inline uint32_t BigSigma0(uint32_t x)
{
    return Rotr(x, 2) ^ Rotr(x, 13) ^ Rotr(x, 22);
}
inline uint32_t BigSigma1(uint32_t x)
{
    return Rotr(x, 6) ^ Rotr(x, 11) ^ Rotr(x, 25);
}
inline uint32_t Choose(uint32_t e, uint32_t f, uint32_t g)
{
    return g ^ (e & (f ^ g));
}

// One round with the working variables passed by name, so that the unrolled rounds rotate
// the names instead of moving eight values every round. Majority is b ^ ((a ^ b) & (b ^ c)):
// this round's a ^ b is the next round's b ^ c, so two names alternate to carry it over.
#define VELQ_SHA256_ROUND(a, b, c, d, e, f, g, h, k, w, abNew, bcPrev)                                                 \
    do {                                                                                                               \
        uint32_t t1 = h + BigSigma1(e) + Choose(e, f, g) + (k) + (w);                                                  \
        abNew = a ^ b;                                                                                                 \
        d += t1;                                                                                                       \
        h = t1 + BigSigma0(a) + (b ^ (abNew & bcPrev));                                                                \
    } while (0)

// The message schedule kept as a ring of 16 words.
#define VELQ_SHA256_SCHEDULE(w, i)                                                                                     \
    (w[(i)&15] += SmallSigma1(w[((i)-2) & 15]) + w[((i)-7) & 15] + SmallSigma0(w[((i)-15) & 15]))

#define VELQ_SHA256_EIGHT(i, W)                                                                                        \
    VELQ_SHA256_ROUND(a, b, c, d, e, f, g, h, kSha256RoundConstants[(i) + 0], W((i) + 0), x, y);                       \
    VELQ_SHA256_ROUND(h, a, b, c, d, e, f, g, kSha256RoundConstants[(i) + 1], W((i) + 1), y, x);                       \
    VELQ_SHA256_ROUND(g, h, a, b, c, d, e, f, kSha256RoundConstants[(i) + 2], W((i) + 2), x, y);                       \
    VELQ_SHA256_ROUND(f, g, h, a, b, c, d, e, kSha256RoundConstants[(i) + 3], W((i) + 3), y, x);                       \
    VELQ_SHA256_ROUND(e, f, g, h, a, b, c, d, kSha256RoundConstants[(i) + 4], W((i) + 4), x, y);                       \
    VELQ_SHA256_ROUND(d, e, f, g, h, a, b, c, kSha256RoundConstants[(i) + 5], W((i) + 5), y, x);                       \
    VELQ_SHA256_ROUND(c, d, e, f, g, h, a, b, kSha256RoundConstants[(i) + 6], W((i) + 6), x, y);                       \
    VELQ_SHA256_ROUND(b, c, d, e, f, g, h, a, kSha256RoundConstants[(i) + 7], W((i) + 7), y, x)

CSha256::TBlockFunction Sha256ExtensionBlocks()
{
#ifdef VELQ_SHA256_X86
    static const CSha256::TBlockFunction detected = []() -> CSha256::TBlockFunction {
        unsigned eax, ebx, ecx, edx;
        if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
            return nullptr;
        }
        bool ssse3 = (ecx & (1u << 9)) != 0;
        bool sse41 = (ecx & (1u << 19)) != 0;
        if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) {
            return nullptr;
        }
        bool sha = (ebx & (1u << 29)) != 0;
        return ssse3 && sse41 && sha ? &Sha256ShaExtensionBlocks : nullptr;
    }();
    return detected;
#else
    return nullptr;
#endif
}

} // namespace

void CSha256::PortableBlocks(uint32_t state[8], const uint8_t* data, size_t blockCount)
{
    for (; blockCount > 0; --blockCount, data += 64) {
        uint32_t w[16];
        for (int i = 0; i < 16; ++i) {
            w[i] = LoadBigEndian(data + 4 * i);
        }
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        uint32_t x, y = b ^ c;

#define VELQ_W_LOAD(i) w[i]
#define VELQ_W_NEXT(i) VELQ_SHA256_SCHEDULE(w, i)
        VELQ_SHA256_EIGHT(0, VELQ_W_LOAD);
        VELQ_SHA256_EIGHT(8, VELQ_W_LOAD);
        VELQ_SHA256_EIGHT(16, VELQ_W_NEXT);
        VELQ_SHA256_EIGHT(24, VELQ_W_NEXT);
        VELQ_SHA256_EIGHT(32, VELQ_W_NEXT);
        VELQ_SHA256_EIGHT(40, VELQ_W_NEXT);
        VELQ_SHA256_EIGHT(48, VELQ_W_NEXT);
        VELQ_SHA256_EIGHT(56, VELQ_W_NEXT);
#undef VELQ_W_LOAD
#undef VELQ_W_NEXT

        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

bool CSha256::HasExtensions()
{
    return Sha256ExtensionBlocks() != nullptr;
}

CSha256::CSha256(EEngine engine)
{
    TBlockFunction extensions = engine == EEngine::Portable ? nullptr : Sha256ExtensionBlocks();
    blocks = extensions ? extensions : &PortableBlocks;
    Reset();
}

void CSha256::Reset()
{
    std::memcpy(state, kInitialState, sizeof state);
    totalBytes = 0;
    pendingSize = 0;
}

void CSha256::Update(const void* data, size_t size)
{
    auto bytes = static_cast<const uint8_t*>(data);
    totalBytes += size;
    if (pendingSize > 0) {
        size_t take = 64 - pendingSize < size ? 64 - pendingSize : size;
        std::memcpy(pending + pendingSize, bytes, take);
        pendingSize += take;
        bytes += take;
        size -= take;
        if (pendingSize < 64) {
            return;
        }
        blocks(state, pending, 1);
        pendingSize = 0;
    }
    if (size >= 64) {
        blocks(state, bytes, size / 64);
        bytes += size & ~size_t(63);
        size &= 63;
    }
    if (size > 0) {
        std::memcpy(pending, bytes, size);
        pendingSize = size;
    }
}

TSha256Digest CSha256::Final()
{
    uint64_t bitLength = totalBytes * 8;
    uint8_t tail[128] = {};
    std::memcpy(tail, pending, pendingSize);
    tail[pendingSize] = 0x80;
    size_t tailSize = pendingSize < 56 ? 64 : 128;
    for (int i = 0; i < 8; ++i) {
        tail[tailSize - 1 - i] = uint8_t(bitLength >> (8 * i));
    }
    blocks(state, tail, tailSize / 64);

    TSha256Digest digest;
    for (int i = 0; i < 8; ++i) {
        digest[4 * i] = uint8_t(state[i] >> 24);
        digest[4 * i + 1] = uint8_t(state[i] >> 16);
        digest[4 * i + 2] = uint8_t(state[i] >> 8);
        digest[4 * i + 3] = uint8_t(state[i]);
    }
    Reset();
    return digest;
}

TSha256Digest CSha256::Of(const void* data, size_t size, EEngine engine)
{
    CSha256 sha(engine);
    sha.Update(data, size);
    return sha.Final();
}
