// BI_JPEG and BI_PNG: the bits are a whole JPEG or PNG file, decoded with
// Debian's libjpeg and libpng. The picture is drawn opaque: a PNG's alpha is
// dropped and every fourth byte is 0, like any other non-32-bit source.
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "dib/dib_compressed.h"

namespace velmora::platform {
namespace {

bool fits_limits(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= kMaxDibSide && height <= kMaxDibSide &&
         width * height <= kMaxDibPixels;
}

// libjpeg reports fatal errors through error_exit, which must not return;
// it jumps back to decode_jpeg, which then gives up.
struct JpegErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void jpeg_fail(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}

void jpeg_silent(j_common_ptr) {}

void store_rgb_row(const std::vector<std::uint8_t>& rgb, int width, std::uint32_t* out) {
  for (int x = 0; x < width; ++x) {
    const std::size_t i = static_cast<std::size_t>(x) * 3;
    out[x] = (std::uint32_t{rgb[i]} << 16) | (std::uint32_t{rgb[i + 1]} << 8) | rgb[i + 2];
  }
}

// Runs between setjmp and any longjmp: it holds no objects of its own, so a
// jump out of libjpeg skips no destructor. The caller owns both buffers.
bool read_jpeg_scanlines(jpeg_decompress_struct& info, Image32& image, std::vector<std::uint8_t>& row) {
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  if (info.output_components != 3) return false;
  image.width = static_cast<int>(info.output_width);
  image.height = static_cast<int>(info.output_height);
  image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, 0);
  row.resize(static_cast<std::size_t>(image.width) * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[1] = {row.data()};
    const JDIMENSION y = info.output_scanline;
    if (jpeg_read_scanlines(&info, rows, 1) != 1) return false;
    store_rgb_row(row, image.width, &image.pixels[static_cast<std::size_t>(y) * image.width]);
  }
  jpeg_finish_decompress(&info);
  return true;
}

}  // namespace

std::optional<Image32> decode_jpeg(std::span<const std::uint8_t> bits) {
  if (bits.empty()) return std::nullopt;
  jpeg_decompress_struct info{};
  JpegErrorManager errors{};
  Image32 image;
  std::vector<std::uint8_t> row;
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = jpeg_fail;
  errors.base.output_message = jpeg_silent;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&info);
    return std::nullopt;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bits.data(), static_cast<unsigned long>(bits.size()));
  bool ok = jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK && fits_limits(info.image_width, info.image_height) &&
            read_jpeg_scanlines(info, image, row);
  jpeg_destroy_decompress(&info);
  if (!ok) return std::nullopt;
  return image;
}

std::optional<Image32> decode_png(std::span<const std::uint8_t> bits) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&png, bits.data(), bits.size())) return std::nullopt;
  if (!fits_limits(png.width, png.height)) {
    png_image_free(&png);
    return std::nullopt;
  }
  png.format = PNG_FORMAT_BGRA;
  Image32 image;
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, 0);
  if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr)) {
    png_image_free(&png);
    return std::nullopt;
  }
  for (std::uint32_t& pixel : image.pixels) pixel &= 0x00FFFFFFu;
  return image;
}

}  // namespace velmora::platform
