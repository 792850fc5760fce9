#include "raster/premultiplied_over.h"

#include "raster/pixel_word.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmora::platform {
namespace {

std::uint32_t over(std::uint32_t src, std::uint32_t dst) {
  const std::uint32_t alpha = src >> 24;
  if (alpha == 0) return dst;
  if (alpha == 255) return src;
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t value = ((src >> shift) & 0xFF) + div255(((dst >> shift) & 0xFF) * (255 - alpha));
    out |= std::min<std::uint32_t>(255, value) << shift;
  }
  return out;
}

void over_pixels(std::uint8_t* p, const std::uint8_t* s, int n) {
  for (int i = 0; i < n; ++i, p += 4, s += 4) {
    const std::uint32_t before = load_pixel(p), after = over(load_pixel(s), before);
    if (after != before) store_pixel(p, after);
  }
}

#if defined(__SSE2__)
// Four pixels at once, two per register half in 16-bit lanes. Alpha 255
// needs no case of its own (the destination is weighed by 0), and the
// saturating pack is the hold at 255.
__m128i over4(__m128i src, __m128i dst) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alpha = _mm_srli_epi32(src, 24);
  const __m128i pair = _mm_or_si128(alpha, _mm_slli_epi32(alpha, 16));
  const __m128i full = _mm_set1_epi16(255);
  const __m128i rest_lo = _mm_sub_epi16(full, _mm_unpacklo_epi32(pair, pair));
  const __m128i rest_hi = _mm_sub_epi16(full, _mm_unpackhi_epi32(pair, pair));
  auto weigh = [&](__m128i d16, __m128i rest) {
    const __m128i v = _mm_add_epi16(_mm_mullo_epi16(d16, rest), _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(v, _mm_srli_epi16(v, 8)), 8);  // div255, exact below 65,536
  };
  const __m128i lo = _mm_add_epi16(_mm_unpacklo_epi8(src, zero), weigh(_mm_unpacklo_epi8(dst, zero), rest_lo));
  const __m128i hi = _mm_add_epi16(_mm_unpackhi_epi8(src, zero), weigh(_mm_unpackhi_epi8(dst, zero), rest_hi));
  const __m128i blended = _mm_packus_epi16(lo, hi);
  const __m128i clear = _mm_cmpeq_epi32(alpha, zero);
  return _mm_or_si128(_mm_and_si128(clear, dst), _mm_andnot_si128(clear, blended));
}
#endif

}  // namespace

void over_row(std::uint8_t* p, const std::uint8_t* s, int n) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i alpha_bytes = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  for (; i + 4 <= n; i += 4) {
    const __m128i src = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(src, alpha_bytes), _mm_setzero_si128())) == 0xFFFF) continue;
    auto* at = reinterpret_cast<__m128i*>(p + 4 * i);
    const __m128i dst = _mm_loadu_si128(at);
    const __m128i out = over4(src, dst);
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(out, dst)) != 0xFFFF) _mm_storeu_si128(at, out);
  }
#endif
  over_pixels(p + 4 * i, s + 4 * i, n - i);
}

}  // namespace velmora::platform
