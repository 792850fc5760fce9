// Velmora on a fixed picture (text, a bitmap, clipping) with a target
// rectangle, key, angle and crop window taken from the input: huge, empty,
// inverted and non-finite values included.
#include "fuzz_canvas.h"

#include <velmora.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

namespace {

HENHMETAFILE picture = nullptr;
// A valid but large target only costs time in proportion to its pixels.
constexpr double kMaxPixels = 1 << 16;

// Reads the parameters from the front of the input; zeros once it runs out.
class Parameters {
 public:
  Parameters(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  template <class T>
  T raw() {
    T value{};
    const std::size_t n = std::min(sizeof value, size_);
    std::memcpy(&value, data_, n);
    data_ += n;
    size_ -= n;
    return value;
  }

  // Mostly near the canvas, sometimes anywhere in the 32-bit range.
  LONG coordinate() {
    const auto choice = raw<std::uint8_t>();
    return choice % 4 == 0 ? raw<LONG>() : static_cast<LONG>(choice) - 80;
  }

  // Mostly near the unit interval, sometimes huge, tiny or not finite.
  double fraction() {
    constexpr double kUnusual[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity(), 1e300, -1e300, 5e-324, 0.5, 0.5 + 1e-12};
    const auto choice = raw<std::uint8_t>();
    if (choice < 32) return kUnusual[choice % std::size(kUnusual)];
    if (choice < 64) return raw<double>();
    return (choice - 64) / 128.0 - 0.25;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::ifstream file(VELMORA_FUZZ_PICTURE, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  picture = SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!picture) __builtin_trap();  // the fixed picture is missing: nothing would be tested
  Parameters in(data, size);
  RECT rect{in.coordinate(), in.coordinate(), in.coordinate(), in.coordinate()};
  const double pixels = (static_cast<double>(rect.right) - rect.left + 1) * (static_cast<double>(rect.bottom) - rect.top + 1);
  if (rect.right >= rect.left && rect.bottom >= rect.top && pixels > kMaxPixels) return 0;
  const auto key = in.raw<unsigned char>();
  const double angle = in.fraction() * 8;
  const double left = in.fraction(), top = in.fraction(), right = in.fraction(), bottom = in.fraction();
  const velmora::fuzz::FuzzCanvas canvas;
  Velmora(canvas.dc(), picture, &rect, key, angle, left, top, right, bottom);
  return 0;
}
