#include "render/png_output.h"

#include <fcntl.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace velmora::render {
namespace {

mode_t g_file_mode = 0644;

bool all_opaque(const tools::Image& image) {
  for (std::size_t i = 3; i < image.bgra.size(); i += 4) {
    if (image.bgra[i] != 255) return false;
  }
  return true;
}

std::vector<std::uint8_t> straight_bgra(const tools::Image& premultiplied) {
  std::vector<std::uint8_t> rows = premultiplied.bgra;
  for (std::size_t i = 0; i < rows.size(); i += 4) {
    const unsigned a = rows[i + 3];
    if (a == 0 || a == 255) continue;
    for (int c = 0; c < 3; ++c)
      rows[i + c] = static_cast<std::uint8_t>(std::min(255u, (rows[i + c] * 255u + a / 2) / a));
  }
  return rows;
}

std::vector<std::uint8_t> bgr_of(const tools::Image& image) {
  std::vector<std::uint8_t> rows;
  rows.reserve(image.bgra.size() / 4 * 3);
  for (std::size_t i = 0; i < image.bgra.size(); i += 4) rows.insert(rows.end(), &image.bgra[i], &image.bgra[i + 3]);
  return rows;
}

bool write_all(int fd, const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

Failure cannot_write(const std::string& path, int error) {
  std::string reason = "output not writable: ";
  reason += path + " (" + std::strerror(error) + ")";
  return Failure{reason};
}

std::optional<Failure> write_replacing(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const std::filesystem::path target(path);
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  std::string name = ".";
  name += target.filename().string() + ".XXXXXX";
  std::string temporary = (folder / name).string();
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return cannot_write(path, errno);
  const bool wrote = write_all(fd, bytes) && ::fchmod(fd, g_file_mode) == 0;
  const int error = errno;
  const bool closed = ::close(fd) == 0;
  if (wrote && closed && ::rename(temporary.c_str(), path.c_str()) == 0) return std::nullopt;
  const int reason = wrote && closed ? errno : error;
  ::unlink(temporary.c_str());
  return cannot_write(path, reason ? reason : EIO);
}

}  // namespace

Outcome<std::vector<std::uint8_t>> encode_png(const tools::Image& premultiplied) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(premultiplied.width);
  image.height = static_cast<png_uint_32>(premultiplied.height);
  const bool opaque = all_opaque(premultiplied);
  image.format = opaque ? PNG_FORMAT_BGR : PNG_FORMAT_BGRA;
  const std::vector<std::uint8_t> rows = opaque ? bgr_of(premultiplied) : straight_bgra(premultiplied);
  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, rows.data(), 0, nullptr)) {
    return Failure{"could not encode the PNG"};
  }
  std::vector<std::uint8_t> bytes(size);
  if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, rows.data(), 0, nullptr)) {
    return Failure{"could not encode the PNG"};
  }
  bytes.resize(size);
  return bytes;
}

std::optional<Failure> write_output(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  if (path != "-") return write_replacing(path, bytes);
  if (!write_all(STDOUT_FILENO, bytes)) return cannot_write("standard output", errno ? errno : EIO);
  return std::nullopt;
}

void remember_file_mode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  g_file_mode = 0666 & ~mask;
}

}  // namespace velmora::render
