#include "halving.h"

#include <agg_image_filters.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmora::core {
namespace {

constexpr int kScale = 2;
// The window's side in capture pixels: the bilinear filter's diameter (2)
// times the scale.
constexpr int kTaps = 4;
constexpr int kSubpixels = agg::image_subpixel_scale;

// The 4 x 4 weights, rows from the top, and the division by their sum as a
// multiplication: n / sum == (n * magic) >> shift for every n the window
// can add up to (at most 255 * sum).
struct Kernel {
  int weight[kTaps][kTaps];
  std::uint32_t magic;
  int shift;
};

int floor_log2(int value) {
  int log = 0;
  while (value >>= 1) ++log;
  return log;
}

// AGG's window for result pixel x starts at its centre scaled, 2x + 1, plus
// AGG's half-subpixel filter offset, less the window's radius of two pixels:
// at 2x - 1 and a half. Its first tap reads the filter's table at
// ((mask - half) * inverse scale) >> shift, each next one an inverse scale on;
// a weight is the product of its row's and its column's, rounded.
Kernel make_kernel() {
  const agg::image_filter<agg::image_filter_bilinear> filter;
  const agg::int16* table = filter.weight_array();
  constexpr int kPhase = kSubpixels / 2;
  constexpr int kInverseScale = kSubpixels / kScale;
  int index[kTaps];
  for (int i = 0; i < kTaps; ++i) {
    index[i] = (((agg::image_subpixel_mask - kPhase) * kInverseScale) >> agg::image_subpixel_shift) + i * kInverseScale;
  }
  Kernel kernel{};
  int sum = 0;
  for (int j = 0; j < kTaps; ++j) {
    for (int i = 0; i < kTaps; ++i) {
      kernel.weight[j][i] =
          (table[index[j]] * table[index[i]] + agg::image_filter_scale / 2) >> agg::image_filter_shift;
      sum += kernel.weight[j][i];
    }
  }
  // With this shift the magic fits in 32 bits and its excess over
  // 2^shift / sum stays below 1 / (255 * sum) per unit of n: never enough
  // to carry a quotient over the next integer (Granlund and Montgomery).
  kernel.shift = 31 + floor_log2(sum);
  kernel.magic = static_cast<std::uint32_t>((std::uint64_t{1} << kernel.shift) / static_cast<std::uint64_t>(sum) + 1);
  return kernel;
}

// The window's four capture rows for result row y, rows beyond the capture
// repeating its edge rows, as AGG's clone accessor reads them.
struct WindowRows {
  const std::uint8_t* row[kTaps];
};

WindowRows window_rows(const PixelMemory& capture, int y) {
  const std::size_t stride = std::size_t{4} * static_cast<std::size_t>(capture.width);
  WindowRows rows;
  for (int j = 0; j < kTaps; ++j) {
    const int from_top = std::clamp(kScale * y - 1 + j, 0, capture.height - 1);
    rows.row[j] = capture.bits + stride * static_cast<std::size_t>(capture.height - 1 - from_top);  // bottom-up
  }
  return rows;
}

std::uint8_t* result_row(const PixelMemory& result, int y) {
  const std::size_t stride = std::size_t{4} * static_cast<std::size_t>(result.width);
  return result.bits + stride * static_cast<std::size_t>(result.height - 1 - y);
}

// The sums divided, the alpha at most 255 and no colour above the alpha.
void store(const std::uint32_t sum[4], const Kernel& kernel, std::uint8_t* out) {
  std::uint32_t value[4];
  for (int c = 0; c < 4; ++c) value[c] = static_cast<std::uint32_t>((std::uint64_t{sum[c]} * kernel.magic) >> kernel.shift);
  const std::uint32_t alpha = std::min<std::uint32_t>(value[3], 255);
  for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>(std::min(value[c], alpha));
  out[3] = static_cast<std::uint8_t>(alpha);
}

// One result pixel, any columns beyond the capture repeating its edge ones.
void halve_pixel(const WindowRows& rows, int x, int capture_width, const Kernel& kernel, std::uint8_t* out) {
  std::uint32_t sum[4] = {};
  for (int i = 0; i < kTaps; ++i) {
    const int column = std::clamp(kScale * x - 1 + i, 0, capture_width - 1);
    for (int j = 0; j < kTaps; ++j) {
      const std::uint8_t* pixel = rows.row[j] + std::size_t{4} * static_cast<std::size_t>(column);
      for (int c = 0; c < 4; ++c) sum[c] += pixel[c] * static_cast<std::uint32_t>(kernel.weight[j][i]);
    }
  }
  store(sum, kernel, out);
}

// The result pixels whose windows lie inside the capture: x from 1 (whose
// window starts at column 1) while the window's last column, 2x + 2, is one.
struct InnerColumns {
  int first;
  int end;
};

InnerColumns inner_columns(int width, int capture_width) {
  const int first = std::min(1, width);
  return {first, std::max(first, std::min(width, (capture_width - 3) / kScale + 1))};
}

#if defined(__SSE2__)

// The weights as _mm_madd_epi16 takes them beside two interleaved rows:
// for rows 2p and 2p + 1 and window column i, the pair of their weights
// once per channel. And the division's magic and shift in registers.
struct VectorKernel {
  __m128i pair[2][kTaps];
  __m128i magic;
  __m128i shift;
};

VectorKernel vector_kernel(const Kernel& kernel) {
  VectorKernel v;
  for (int p = 0; p < 2; ++p) {
    for (int i = 0; i < kTaps; ++i) {
      const auto upper = static_cast<std::uint32_t>(kernel.weight[2 * p][i]);
      const auto lower = static_cast<std::uint32_t>(kernel.weight[2 * p + 1][i]);
      v.pair[p][i] = _mm_set1_epi32(static_cast<int>(upper | lower << 16));
    }
  }
  v.magic = _mm_set1_epi32(static_cast<int>(kernel.magic));
  v.shift = _mm_cvtsi32_si128(kernel.shift);
  return v;
}

// One result pixel whose window lies inside the capture. The window's
// rows are read sixteen bytes (four pixels) at a time; two rows interleaved
// byte by byte and widened give, per window column, each channel's pair of
// values beside the pair of weights, which one multiply-add sums.
void halve_inner_pixel(const WindowRows& rows, int x, const VectorKernel& v, std::uint8_t* out) {
  const std::size_t offset = std::size_t{4} * static_cast<std::size_t>(kScale * x - 1);
  const __m128i zero = _mm_setzero_si128();
  __m128i sum = zero;
  for (int p = 0; p < 2; ++p) {
    const __m128i upper = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows.row[2 * p] + offset));
    const __m128i lower = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows.row[2 * p + 1] + offset));
    const __m128i left = _mm_unpacklo_epi8(upper, lower);   // window columns 0 and 1
    const __m128i right = _mm_unpackhi_epi8(upper, lower);  // window columns 2 and 3
    sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_unpacklo_epi8(left, zero), v.pair[p][0]));
    sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_unpackhi_epi8(left, zero), v.pair[p][1]));
    sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_unpacklo_epi8(right, zero), v.pair[p][2]));
    sum = _mm_add_epi32(sum, _mm_madd_epi16(_mm_unpackhi_epi8(right, zero), v.pair[p][3]));
  }
  // The division in 64-bit lanes, channels 0 and 2, then 1 and 3; each
  // quotient (at most 255) fits in its lane's lower half.
  const __m128i even = _mm_srl_epi64(_mm_mul_epu32(sum, v.magic), v.shift);
  const __m128i odd = _mm_srl_epi64(_mm_mul_epu32(_mm_srli_epi64(sum, 32), v.magic), v.shift);
  __m128i value = _mm_packs_epi32(_mm_or_si128(even, _mm_slli_epi64(odd, 32)), zero);
  value = _mm_min_epi16(value, _mm_shufflelo_epi16(value, 0xFF));  // no colour above the alpha
  const int pixel = _mm_cvtsi128_si32(_mm_packus_epi16(value, zero));
  std::memcpy(out, &pixel, 4);
}

#endif

}  // namespace

void halve_portable(const PixelMemory& capture, const PixelMemory& result, int width, int height) {
  const Kernel kernel = make_kernel();
  for (int y = 0; y < height; ++y) {
    const WindowRows rows = window_rows(capture, y);
    std::uint8_t* out = result_row(result, y);
    for (int x = 0; x < width; ++x) halve_pixel(rows, x, capture.width, kernel, out + 4 * x);
  }
}

void halve(const PixelMemory& capture, const PixelMemory& result, int width, int height) {
#if defined(__SSE2__)
  const Kernel kernel = make_kernel();
  const VectorKernel vector = vector_kernel(kernel);
  const InnerColumns inner = inner_columns(width, capture.width);
  for (int y = 0; y < height; ++y) {
    const WindowRows rows = window_rows(capture, y);
    std::uint8_t* out = result_row(result, y);
    for (int x = 0; x < inner.first; ++x) halve_pixel(rows, x, capture.width, kernel, out + 4 * x);
    for (int x = inner.first; x < inner.end; ++x) halve_inner_pixel(rows, x, vector, out + 4 * x);
    for (int x = inner.end; x < width; ++x) halve_pixel(rows, x, capture.width, kernel, out + 4 * x);
  }
#else
  halve_portable(capture, result, width, height);
#endif
}

}  // namespace velmora::core
