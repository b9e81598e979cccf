#include "Sha256.h"

#include <algorithm>
#include <cstring>
#include <utility>

#ifdef VELQ_SHA256_X86
#include <cpuid.h>
// In Sha256_x86.cpp, the only file built with the SHA extensions enabled; it must not run
// before the processor check below has passed.
void Sha256ShaExtensionBlocks(uint32_t state[8], const uint8_t* data, size_t blockCount);
#endif

// constexpr so that the lane table below can be built from it at compile time.
constexpr uint32_t kSha256RoundConstants[64] = {
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
// the names instead of moving eight values every round. kw is the message word plus the
// round constant. Majority is b ^ ((a ^ b) & (b ^ c)): this round's a ^ b is the next
// round's b ^ c, so two names alternate to carry it over.
#define VELQ_SHA256_ROUND(a, b, c, d, e, f, g, h, kw, abNew, bcPrev)                                                   \
    do {                                                                                                               \
        uint32_t t1 = h + (kw) + Choose(e, f, g) + BigSigma1(e);                                                       \
        abNew = a ^ b;                                                                                                 \
        d += t1;                                                                                                       \
        h = t1 + BigSigma0(a) + (b ^ (abNew & bcPrev));                                                                \
    } while (0)

// Four rounds, their message words plus round constants given by KW(i); the next four take
// the names shifted by four.
#define VELQ_SHA256_FOUR(i, KW, a, b, c, d, e, f, g, h)                                                                \
    VELQ_SHA256_ROUND(a, b, c, d, e, f, g, h, KW((i) + 0), x, y);                                                      \
    VELQ_SHA256_ROUND(h, a, b, c, d, e, f, g, KW((i) + 1), y, x);                                                      \
    VELQ_SHA256_ROUND(g, h, a, b, c, d, e, f, KW((i) + 2), x, y);                                                      \
    VELQ_SHA256_ROUND(f, g, h, a, b, c, d, e, KW((i) + 3), y, x)

// The message schedule kept as a ring of 16 words.
#define VELQ_SHA256_SCHEDULE(w, i)                                                                                     \
    (w[(i)&15] += SmallSigma1(w[((i)-2) & 15]) + w[((i)-7) & 15] + SmallSigma0(w[((i)-15) & 15]))

// Each block computes its own schedule in a ring of 16 words between its rounds. This is the
// engine where the compiler has no vector registers to spread schedules over (the 32-bit
// build, which must run on processors without SSE2), and for calls of fewer blocks than a
// group.
void RingBlocks(uint32_t state[8], const uint8_t* data, size_t blockCount)
{
    for (; blockCount > 0; --blockCount, data += 64) {
        uint32_t w[16];
        for (int i = 0; i < 16; ++i) {
            w[i] = LoadBigEndian(data + 4 * i);
        }
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        uint32_t x, y = b ^ c;
#define VELQ_RING_LOAD(i) (kSha256RoundConstants[i] + w[i])
#define VELQ_RING_NEXT(i) (kSha256RoundConstants[i] + VELQ_SHA256_SCHEDULE(w, i))
        VELQ_SHA256_FOUR(0, VELQ_RING_LOAD, a, b, c, d, e, f, g, h);
        VELQ_SHA256_FOUR(4, VELQ_RING_LOAD, e, f, g, h, a, b, c, d);
        VELQ_SHA256_FOUR(8, VELQ_RING_LOAD, a, b, c, d, e, f, g, h);
        VELQ_SHA256_FOUR(12, VELQ_RING_LOAD, e, f, g, h, a, b, c, d);
        VELQ_SHA256_FOUR(16, VELQ_RING_NEXT, a, b, c, d, e, f, g, h);
        VELQ_SHA256_FOUR(20, VELQ_RING_NEXT, e, f, g, h, a, b, c, d);
        VELQ_SHA256_FOUR(24, VELQ_RING_NEXT, a, b, c, d, e, f, g, h);
        VELQ_SHA256_FOUR(28, VELQ_RING_NEXT, e, f, g, h, a, b, c, d);
        VELQ_SHA256_FOUR(32, VELQ_RING_NEXT, a, b, c, d, e, f, g, h);
        VELQ_SHA256_FOUR(36, VELQ_RING_NEXT, e, f, g, h, a, b, c, d);
        VELQ_SHA256_FOUR(40, VELQ_RING_NEXT, a, b, c, d, e, f, g, h);
        VELQ_SHA256_FOUR(44, VELQ_RING_NEXT, e, f, g, h, a, b, c, d);
        VELQ_SHA256_FOUR(48, VELQ_RING_NEXT, a, b, c, d, e, f, g, h);
        VELQ_SHA256_FOUR(52, VELQ_RING_NEXT, e, f, g, h, a, b, c, d);
        VELQ_SHA256_FOUR(56, VELQ_RING_NEXT, a, b, c, d, e, f, g, h);
        VELQ_SHA256_FOUR(60, VELQ_RING_NEXT, e, f, g, h, a, b, c, d);
#undef VELQ_RING_LOAD
#undef VELQ_RING_NEXT

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

// Otherwise the message schedules of kLanes consecutive blocks are computed side by side,
// word t of block j at [t * kLanes + j], so that the compiler runs the lanes in vector
// registers while the rounds, which depend on each other from block to block, keep the
// integer units busy.
#if defined(__SSE2__) || defined(__ARM_NEON)
constexpr bool kVectorSchedule = true;
#else
constexpr bool kVectorSchedule = false;
#endif
constexpr size_t kLanes = 4;

struct TLaneConstants {
    uint32_t k[64 * kLanes];
};

constexpr TLaneConstants MakeLaneConstants()
{
    TLaneConstants lanes{};
    for (size_t i = 0; i < 64 * kLanes; ++i) {
        lanes.k[i] = kSha256RoundConstants[i / kLanes];
    }
    return lanes;
}

alignas(64) constexpr TLaneConstants kLaneConstants = MakeLaneConstants();

struct TScheduleGroup {
    uint32_t w[64 * kLanes];  // the message words
    uint32_t kw[64 * kLanes]; // the message words plus the round constants, as the rounds read them
};

// Fills words 0 to 15 of up to kLanes blocks; lanes without a block are zero. Returns the
// number of blocks taken.
size_t LoadGroup(TScheduleGroup& group, const uint8_t* data, size_t blockCount)
{
    size_t count = blockCount < kLanes ? blockCount : kLanes;
    if (count < kLanes) {
        std::fill_n(group.w, 16 * kLanes, 0u);
    }
    for (size_t j = 0; j < count; ++j) {
        for (size_t t = 0; t < 16; ++t) {
            group.w[t * kLanes + j] = LoadBigEndian(data + 64 * j + 4 * t);
        }
    }
    for (size_t i = 0; i < 16 * kLanes; ++i) {
        group.kw[i] = group.w[i] + kLaneConstants.k[i];
    }
    return count;
}

// Word t of every lane, i = t * kLanes with t from 16 to 63. The lanes are independent, so
// this is one vector step.
inline void ScheduleWord(TScheduleGroup& group, size_t i)
{
    uint32_t* w = group.w;
    for (size_t lane = 0; lane < kLanes; ++lane) {
        size_t j = i + lane;
        w[j] =
            SmallSigma1(w[j - 2 * kLanes]) + w[j - 7 * kLanes] + SmallSigma0(w[j - 15 * kLanes]) + w[j - 16 * kLanes];
        group.kw[j] = w[j] + kLaneConstants.k[j];
    }
}

// Words 16 to 63 of every lane in one go. A word depends on the word two before it in its
// own lane, so the flat loop has no dependency closer than 2 * kLanes elements.
void ScheduleGroup(TScheduleGroup& group)
{
    uint32_t* w = group.w;
    for (size_t j = 16 * kLanes; j < 64 * kLanes; ++j) {
        w[j] =
            SmallSigma1(w[j - 2 * kLanes]) + w[j - 7 * kLanes] + SmallSigma0(w[j - 15 * kLanes]) + w[j - 16 * kLanes];
        group.kw[j] = w[j] + kLaneConstants.k[j];
    }
}

// The 64 rounds of the block in lane `lane` of `current`. With a next group, a quarter of
// its schedule (twelve words) is computed in between: the rounds leave the vector units idle
// and cannot start before the previous block's rounds have finished anyway.
template <bool kWithNext>
inline void BlockRounds(uint32_t state[8], const TScheduleGroup& current, size_t lane, TScheduleGroup* next)
{
    static_assert(48 % kLanes == 0 && 48 / kLanes == 12, "twelve schedule words per block");
    const uint32_t* kw = current.kw + lane;
    size_t nextWord = (16 + 12 * lane) * kLanes;
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
    uint32_t x, y = b ^ c;
#define VELQ_LANE_KW(i) kw[(i)*kLanes]
#define VELQ_NEXT_WORD(m)                                                                                              \
    if constexpr (kWithNext) {                                                                                         \
        ScheduleWord(*next, nextWord + (m)*kLanes);                                                                    \
    }
    VELQ_SHA256_FOUR(0, VELQ_LANE_KW, a, b, c, d, e, f, g, h);
    VELQ_NEXT_WORD(0);
    VELQ_SHA256_FOUR(4, VELQ_LANE_KW, e, f, g, h, a, b, c, d);
    VELQ_NEXT_WORD(1);
    VELQ_SHA256_FOUR(8, VELQ_LANE_KW, a, b, c, d, e, f, g, h);
    VELQ_NEXT_WORD(2);
    VELQ_SHA256_FOUR(12, VELQ_LANE_KW, e, f, g, h, a, b, c, d);
    VELQ_SHA256_FOUR(16, VELQ_LANE_KW, a, b, c, d, e, f, g, h);
    VELQ_NEXT_WORD(3);
    VELQ_SHA256_FOUR(20, VELQ_LANE_KW, e, f, g, h, a, b, c, d);
    VELQ_NEXT_WORD(4);
    VELQ_SHA256_FOUR(24, VELQ_LANE_KW, a, b, c, d, e, f, g, h);
    VELQ_NEXT_WORD(5);
    VELQ_SHA256_FOUR(28, VELQ_LANE_KW, e, f, g, h, a, b, c, d);
    VELQ_SHA256_FOUR(32, VELQ_LANE_KW, a, b, c, d, e, f, g, h);
    VELQ_NEXT_WORD(6);
    VELQ_SHA256_FOUR(36, VELQ_LANE_KW, e, f, g, h, a, b, c, d);
    VELQ_NEXT_WORD(7);
    VELQ_SHA256_FOUR(40, VELQ_LANE_KW, a, b, c, d, e, f, g, h);
    VELQ_NEXT_WORD(8);
    VELQ_SHA256_FOUR(44, VELQ_LANE_KW, e, f, g, h, a, b, c, d);
    VELQ_SHA256_FOUR(48, VELQ_LANE_KW, a, b, c, d, e, f, g, h);
    VELQ_NEXT_WORD(9);
    VELQ_SHA256_FOUR(52, VELQ_LANE_KW, e, f, g, h, a, b, c, d);
    VELQ_NEXT_WORD(10);
    VELQ_SHA256_FOUR(56, VELQ_LANE_KW, a, b, c, d, e, f, g, h);
    VELQ_NEXT_WORD(11);
    VELQ_SHA256_FOUR(60, VELQ_LANE_KW, e, f, g, h, a, b, c, d);
#undef VELQ_LANE_KW
#undef VELQ_NEXT_WORD

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    state[4] += e;
    state[5] += f;
    state[6] += g;
    state[7] += h;
}

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

// Blocks go through in groups of kLanes. While the rounds of one group run, the schedule of
// the next group is computed in between, so only the first group's schedule stands alone.
void CSha256::PortableBlocks(uint32_t state[8], const uint8_t* data, size_t blockCount)
{
    // Fewer blocks than a group (the pending block of Update, the tail of Final) would pay
    // for the schedules of empty lanes.
    if (!kVectorSchedule || blockCount < kLanes) {
        RingBlocks(state, data, blockCount);
        return;
    }
    TScheduleGroup groups[2];
    TScheduleGroup* current = &groups[0];
    TScheduleGroup* next = &groups[1];
    size_t count = LoadGroup(*current, data, blockCount);
    ScheduleGroup(*current);
    for (;;) {
        data += 64 * count;
        blockCount -= count;
        if (blockCount == 0) {
            for (size_t lane = 0; lane < count; ++lane) {
                BlockRounds<false>(state, *current, lane, nullptr);
            }
            return;
        }
        // A group short of kLanes blocks is the last one, so this one is full.
        size_t nextCount = LoadGroup(*next, data, blockCount);
        for (size_t lane = 0; lane < kLanes; ++lane) {
            BlockRounds<true>(state, *current, lane, next);
        }
        std::swap(current, next);
        count = nextCount;
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
