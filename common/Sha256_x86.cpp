// The SHA-256 block engine on the x86 SHA extensions. This file alone is compiled with
// -msha -msse4.1; Sha256.cpp calls it only after cpuid has reported the extensions.

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <utility>

extern const uint32_t kSha256RoundConstants[64];

namespace {

// Four rounds. The sixteen groups differ only in which message words they load, extend
// and consume; the indices are constants after inlining, so the four message registers
// stay in registers.
template <int G>
inline __attribute__((always_inline)) void Group(__m128i& abef, __m128i& cdgh, __m128i (&m)[4], const uint8_t* data,
                                                 __m128i byteSwap)
{
    __m128i& current = m[G & 3];
    if constexpr (G < 4) {
        current = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * G)), byteSwap);
    }
    __m128i words =
        _mm_add_epi32(current, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kSha256RoundConstants + 4 * G)));
    cdgh = _mm_sha256rnds2_epu32(cdgh, abef, words);
    if constexpr (G >= 3 && G <= 14) {
        __m128i& next = m[(G + 1) & 3];
        next = _mm_add_epi32(next, _mm_alignr_epi8(current, m[(G + 3) & 3], 4));
        next = _mm_sha256msg2_epu32(next, current);
    }
    words = _mm_shuffle_epi32(words, 0x0E);
    abef = _mm_sha256rnds2_epu32(abef, cdgh, words);
    if constexpr (G >= 1 && G <= 12) {
        __m128i& previous = m[(G + 3) & 3];
        previous = _mm_sha256msg1_epu32(previous, current);
    }
}

template <int... G>
inline __attribute__((always_inline)) void AllGroups(__m128i& abef, __m128i& cdgh, const uint8_t* data,
                                                     __m128i byteSwap, std::integer_sequence<int, G...>)
{
    __m128i m[4];
    (Group<G>(abef, cdgh, m, data, byteSwap), ...);
}

} // namespace

void Sha256ShaExtensionBlocks(uint32_t state[8], const uint8_t* data, size_t blockCount)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);

    // The round instructions want the state as ABEF and CDGH.
    __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; blockCount > 0; --blockCount, data += 64) {
        __m128i abefSaved = abef;
        __m128i cdghSaved = cdgh;
        AllGroups(abef, cdgh, data, byteSwap, std::make_integer_sequence<int, 16>());
        abef = _mm_add_epi32(abef, abefSaved);
        cdgh = _mm_add_epi32(cdgh, cdghSaved);
    }

    __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    dcba = _mm_blend_epi16(feba, dchg, 0xF0);
    hgfe = _mm_alignr_epi8(dchg, feba, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), dcba);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), hgfe);
}
