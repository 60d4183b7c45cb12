// CRC-32 by carry-less multiplication (folding 64 bytes per step), used when
// the processor has PCLMULQDQ. It computes exactly the table CRC; the tests
// compare both with zlib on many lengths and alignments.
#include "crc32_clmul.hpp"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

namespace velmor::detail {

bool clmulAvailable() {
  static const bool available = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
  return available;
}

namespace {

__attribute__((target("pclmul,sse4.1"))) inline __m128i load(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// One 128-bit fold of `acc` over the distance the constants in k stand for.
__attribute__((target("pclmul,sse4.1"))) inline __m128i fold(__m128i acc, __m128i next, __m128i k) {
  __m128i lo = _mm_clmulepi64_si128(acc, k, 0x00);
  __m128i hi = _mm_clmulepi64_si128(acc, k, 0x11);
  return _mm_xor_si128(_mm_xor_si128(hi, next), lo);
}

}  // namespace

__attribute__((target("pclmul,sse4.1"))) std::uint32_t crc32Clmul(const std::uint8_t* buf, std::size_t len,
                                                                  std::uint32_t crc) {
  // Folding constants of the reflected polynomial 0xEDB88320.
  alignas(16) static const std::uint64_t k1k2[] = {0x0154442bd4, 0x01c6e41596};
  alignas(16) static const std::uint64_t k3k4[] = {0x01751997d0, 0x00ccaa009e};
  alignas(16) static const std::uint64_t k5k0[] = {0x0163cd6124, 0x0000000000};
  alignas(16) static const std::uint64_t poly[] = {0x01db710641, 0x01f7011641};

  __m128i x1 = load(buf);
  __m128i x2 = load(buf + 16);
  __m128i x3 = load(buf + 32);
  __m128i x4 = load(buf + 48);
  x1 = _mm_xor_si128(x1, _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x0 = _mm_load_si128(reinterpret_cast<const __m128i*>(k1k2));
  buf += 64;
  len -= 64;
  while (len >= 64) {
    __m128i x5 = _mm_clmulepi64_si128(x1, x0, 0x00);
    __m128i x6 = _mm_clmulepi64_si128(x2, x0, 0x00);
    __m128i x7 = _mm_clmulepi64_si128(x3, x0, 0x00);
    __m128i x8 = _mm_clmulepi64_si128(x4, x0, 0x00);
    x1 = _mm_clmulepi64_si128(x1, x0, 0x11);
    x2 = _mm_clmulepi64_si128(x2, x0, 0x11);
    x3 = _mm_clmulepi64_si128(x3, x0, 0x11);
    x4 = _mm_clmulepi64_si128(x4, x0, 0x11);
    x1 = _mm_xor_si128(_mm_xor_si128(x1, x5), load(buf));
    x2 = _mm_xor_si128(_mm_xor_si128(x2, x6), load(buf + 16));
    x3 = _mm_xor_si128(_mm_xor_si128(x3, x7), load(buf + 32));
    x4 = _mm_xor_si128(_mm_xor_si128(x4, x8), load(buf + 48));
    buf += 64;
    len -= 64;
  }
  // Four lanes into one.
  x0 = _mm_load_si128(reinterpret_cast<const __m128i*>(k3k4));
  x1 = fold(x1, x2, x0);
  x1 = fold(x1, x3, x0);
  x1 = fold(x1, x4, x0);
  while (len >= 16) {
    x1 = fold(x1, load(buf), x0);
    buf += 16;
    len -= 16;
  }
  // 128 bits to 64.
  x2 = _mm_clmulepi64_si128(x1, x0, 0x10);
  x3 = _mm_setr_epi32(~0, 0, ~0, 0);
  x1 = _mm_srli_si128(x1, 8);
  x1 = _mm_xor_si128(x1, x2);
  x0 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(k5k0));
  x2 = _mm_srli_si128(x1, 4);
  x1 = _mm_and_si128(x1, x3);
  x1 = _mm_clmulepi64_si128(x1, x0, 0x00);
  x1 = _mm_xor_si128(x1, x2);
  // Barrett reduction to 32 bits.
  x0 = _mm_load_si128(reinterpret_cast<const __m128i*>(poly));
  x2 = _mm_and_si128(x1, x3);
  x2 = _mm_clmulepi64_si128(x2, x0, 0x10);
  x2 = _mm_and_si128(x2, x3);
  x2 = _mm_clmulepi64_si128(x2, x0, 0x00);
  x1 = _mm_xor_si128(x1, x2);
  return static_cast<std::uint32_t>(_mm_extract_epi32(x1, 1));
}

}  // namespace velmor::detail

#else

namespace velmor::detail {
bool clmulAvailable() { return false; }
std::uint32_t crc32Clmul(const std::uint8_t*, std::size_t, std::uint32_t crc) { return crc; }
}  // namespace velmor::detail

#endif
