#include "common/png_io.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace velmora::tools {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

bool write_png(const std::string& path, const std::uint8_t* top_row, int width, int height, std::ptrdiff_t stride,
               bool keep_alpha) {
  if (!top_row || width <= 0 || height <= 0) return false;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_BGRA;
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y) {
    std::copy_n(top_row + y * stride, static_cast<std::size_t>(width) * 4, rows.data() + std::size_t(y) * width * 4);
  }
  if (!keep_alpha) {
    image.format = PNG_FORMAT_BGR;
    std::size_t out = 0;
    for (std::size_t i = 0; i < rows.size(); i += 4) {
      rows[out++] = rows[i];
      rows[out++] = rows[i + 1];
      rows[out++] = rows[i + 2];
    }
  }
  return png_image_write_to_file(&image, path.c_str(), 0, rows.data(), 0, nullptr) != 0;
}

bool write_png(const std::string& path, const Image& image, bool keep_alpha) {
  return write_png(path, image.bgra.data(), image.width, image.height, image.width * 4, keep_alpha);
}

bool read_png(const std::string& path, Image& out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_BGRA;
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.bgra = std::move(pixels);
  return true;
}

}  // namespace velmora::tools
