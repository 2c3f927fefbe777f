#include "infra/sha256_blocks_portable.h"

#include <bit>
#include <utility>

#if defined(__x86_64__) || defined(_M_X64) || defined(__i386__) || defined(_M_IX86)
#define VK_SHA256_X86 1
#include <immintrin.h>
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#else
#include <cpuid.h>
#endif
#endif

// GCC and Clang compile the intrinsics of an instruction set only in functions marked for it, so the
// rest of the program keeps running on processors without it. MSVC compiles them anywhere.
#if defined(VK_SHA256_X86) && (defined(__GNUC__) || defined(__clang__))
#define VK_TARGET_SHA __attribute__((target("sha,sse4.1,ssse3")))
#else
#define VK_TARGET_SHA
#endif

namespace vk {
namespace {

constexpr std::uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

std::uint32_t BigEndianWord(const unsigned char* bytes) {
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 |
           std::uint32_t{bytes[3]};
}

void PortableBlocks(std::uint32_t (&state)[8], const unsigned char* blocks, std::size_t count) {
    for (; count > 0; --count, blocks += 64) {
        std::uint32_t w[64];
        for (int i = 0; i < 16; ++i) w[i] = BigEndianWord(blocks + 4 * i);
        for (int i = 16; i < 64; ++i) {
            const std::uint32_t s0 = std::rotr(w[i - 15], 7) ^ std::rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const std::uint32_t s1 = std::rotr(w[i - 2], 17) ^ std::rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int i = 0; i < 64; ++i) {
            const std::uint32_t s1 = std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25);
            const std::uint32_t choice = (e & f) ^ (~e & g);
            const std::uint32_t t1 = h + s1 + choice + kRoundConstants[i] + w[i];
            const std::uint32_t s0 = std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22);
            const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + s0 + majority;
        }
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

#ifdef VK_SHA256_X86

// The SHA extensions keep the state as two registers, ABEF and CDGH, and run two rounds per
// instruction; the message schedule advances four words at a time in a ring of four registers.
struct ShaRegisters {
    __m128i abef;
    __m128i cdgh;
    __m128i words[4];  // the schedule's last sixteen words, four per register
};

// Rounds 4g to 4g+3, then the schedule's step that group g is due to make (unrolled by the caller,
// so that every index is a constant and the ring stays in registers).
template <int G>
VK_TARGET_SHA inline void FourRounds(ShaRegisters& r) {
    __m128i& current = r.words[G % 4];
    __m128i& previous = r.words[(G + 3) % 4];
    __m128i& next = r.words[(G + 1) % 4];
    const __m128i message =
        _mm_add_epi32(current, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kRoundConstants + 4 * G)));
    r.cdgh = _mm_sha256rnds2_epu32(r.cdgh, r.abef, message);
    r.abef = _mm_sha256rnds2_epu32(r.abef, r.cdgh, _mm_shuffle_epi32(message, 0x0E));
    // Words 16 to 63: each group from the third on completes the next four, for which the two
    // groups before it have prepared the register (sha256msg1).
    if constexpr (G >= 3 && G <= 14) {
        next = _mm_sha256msg2_epu32(_mm_add_epi32(next, _mm_alignr_epi8(current, previous, 4)), current);
    }
    if constexpr (G >= 1 && G <= 12) previous = _mm_sha256msg1_epu32(previous, current);
}

template <int... G>
VK_TARGET_SHA inline void SixtyFourRounds(ShaRegisters& r, std::integer_sequence<int, G...>) {
    (FourRounds<G>(r), ...);
}

VK_TARGET_SHA void ShaExtensionBlocks(std::uint32_t (&state)[8], const unsigned char* blocks, std::size_t count) {
    // Big-endian words out of little-endian lanes.
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    ShaRegisters r;
    const __m128i dcba = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1B);
    r.abef = _mm_alignr_epi8(dcba, efgh, 8);
    r.cdgh = _mm_blend_epi16(efgh, dcba, 0xF0);
    for (; count > 0; --count, blocks += 64) {
        const __m128i abefBefore = r.abef;
        const __m128i cdghBefore = r.cdgh;
        for (int i = 0; i < 4; ++i) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * i));
            r.words[i] = _mm_shuffle_epi8(bytes, byteSwap);
        }
        SixtyFourRounds(r, std::make_integer_sequence<int, 16>());
        r.abef = _mm_add_epi32(r.abef, abefBefore);
        r.cdgh = _mm_add_epi32(r.cdgh, cdghBefore);
    }
    const __m128i feba = _mm_shuffle_epi32(r.abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(r.cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

struct CpuidRegisters {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
};

// False when the processor does not know the leaf.
bool Cpuid(unsigned leaf, CpuidRegisters& out) {
#if defined(_MSC_VER) && !defined(__clang__)
    int registers[4];
    __cpuid(registers, 0);
    if (static_cast<unsigned>(registers[0]) < leaf) return false;
    __cpuidex(registers, static_cast<int>(leaf), 0);
    out = {static_cast<unsigned>(registers[0]), static_cast<unsigned>(registers[1]),
           static_cast<unsigned>(registers[2]), static_cast<unsigned>(registers[3])};
    return true;
#else
    return __get_cpuid_count(leaf, 0, &out.eax, &out.ebx, &out.ecx, &out.edx) != 0;
#endif
}

#endif  // VK_SHA256_X86

}  // namespace

bool ProcessorHasShaExtensions() {
#ifdef VK_SHA256_X86
    constexpr unsigned kSsse3 = 1u << 9, kSse41 = 1u << 19;  // leaf 1, ECX
    constexpr unsigned kSha = 1u << 29;                      // leaf 7, EBX
    CpuidRegisters features, extended;
    return Cpuid(1, features) && (features.ecx & kSsse3) && (features.ecx & kSse41) && Cpuid(7, extended) &&
           (extended.ebx & kSha);
#else
    return false;
#endif
}

Sha256Implementation ChosenSha256Implementation() {
    static const Sha256Implementation chosen =
        ProcessorHasShaExtensions() ? Sha256Implementation::ShaExtensions : Sha256Implementation::Portable;
    return chosen;
}

const char* NameOf(Sha256Implementation implementation) {
    return implementation == Sha256Implementation::ShaExtensions ? "x86 SHA extensions" : "portable";
}

Sha256Blocks Sha256BlocksOf(Sha256Implementation implementation) {
#ifdef VK_SHA256_X86
    if (implementation == Sha256Implementation::ShaExtensions) return ShaExtensionBlocks;
#endif
    return PortableBlocks;
}

}  // namespace vk
