#include "render/metafile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "render/byte_reader.h"
#include "render/limits.h"

namespace velmora::render {
namespace {

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
// The placeable header (MS-WMF 2.3.2.3): key, handle, bounding box left,
// top, right, bottom (signed 16-bit), units per inch, reserved, checksum.
constexpr std::size_t kPlaceableHeaderBytes = 22;
constexpr std::size_t kPlaceableBoxOffset = 6;
constexpr std::size_t kPlaceableInchOffset = 14;
constexpr std::uint16_t kTwipsPerInch = 1440;  // for a header that gives no units
// ENHMETAHEADER as the file holds it (MS-EMF 2.3.4.2).
constexpr std::size_t kFrameOffset = 24;
constexpr std::size_t kSignatureOffset = 40;
constexpr double kHimetricPerInch = 2540.0;
// The WMF header (MS-WMF 2.3.2.2): type 1 (memory) or 2 (disk), a header
// of nine 16-bit words, version 0x0100 or 0x0300.
constexpr std::size_t kWmfHeaderBytes = 18;

bool is_wmf_header(const ByteReader& in, std::size_t at) {
  const auto type = in.u16(at);
  const auto header_words = in.u16(at + 2);
  const auto version = in.u16(at + 4);
  return in.size() >= at + kWmfHeaderBytes && (type == 1 || type == 2) && header_words == 9 &&
         (version == 0x0100 || version == 0x0300);
}

struct Box {
  double left, top, right, bottom;
  double width() const { return right - left; }
  double height() const { return bottom - top; }
};

Box placeable_box(const ByteReader& in) {
  const auto side = [&](int i) {
    return static_cast<double>(static_cast<std::int16_t>(*in.u16(kPlaceableBoxOffset + 2 * i)));
  };
  return Box{side(0), side(1), side(2), side(3)};
}

Box frame_box(const RECTL& frame) {
  return Box{static_cast<double>(frame.left), static_cast<double>(frame.top), static_cast<double>(frame.right),
             static_cast<double>(frame.bottom)};
}

// Width over height as the library computes it: plain differences, in
// double, held as a float.
double aspect_of(const Box& box) { return static_cast<float>(box.width() / box.height()); }

// The size of the picture in inches, where both sides are positive.
void set_size(Picture& picture, const Box& box, double units_per_inch) {
  const double w = std::fabs(box.width()) / units_per_inch;
  const double h = std::fabs(box.height()) / units_per_inch;
  if (w > 0.0 && h > 0.0 && std::isfinite(w) && std::isfinite(h)) {
    picture.width_inches = w;
    picture.height_inches = h;
  }
}

// The box in 0.01 mm as the picture's size, as the library's file entry
// points convert a placeable WMF, so that both draw the same picture.
METAFILEPICT box_as_picture_size(const Box& box, double units_per_inch) {
  METAFILEPICT size{};
  size.mm = MM_ANISOTROPIC;
  size.xExt = static_cast<LONG>(std::lround(std::fabs(box.width()) * kHimetricPerInch / units_per_inch));
  size.yExt = static_cast<LONG>(std::lround(std::fabs(box.height()) * kHimetricPerInch / units_per_inch));
  return size;
}

void open_placeable(std::span<const std::uint8_t> bytes, Picture& picture) {
  const ByteReader in(bytes);
  const Box box = placeable_box(in);
  const double per_inch = *in.u16(kPlaceableInchOffset) ? *in.u16(kPlaceableInchOffset) : kTwipsPerInch;
  const METAFILEPICT size = box_as_picture_size(box, per_inch);
  picture.handle.reset(SetWinMetaFileBits(static_cast<UINT>(bytes.size() - kPlaceableHeaderBytes),
                                          bytes.data() + kPlaceableHeaderBytes, nullptr, &size));
  picture.aspect = aspect_of(box);
  set_size(picture, box, per_inch);
}

void open_emf(std::span<const std::uint8_t> bytes, Picture& picture) {
  const ByteReader in(bytes);
  picture.handle.reset(SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data()));
  const auto side = [&](int i) {
    return static_cast<double>(static_cast<std::int32_t>(*in.u32(kFrameOffset + 4 * i)));
  };
  const Box frame{side(0), side(1), side(2), side(3)};
  picture.aspect = aspect_of(frame);
  set_size(picture, frame, kHimetricPerInch);
}

void open_wmf(std::span<const std::uint8_t> bytes, Picture& picture) {
  picture.handle.reset(SetWinMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data(), nullptr, nullptr));
  if (const auto header = picture_header(picture.handle.get())) {
    const Box frame = frame_box(header->rclFrame);
    picture.aspect = aspect_of(frame);
    set_size(picture, frame, kHimetricPerInch);
  }
}

std::string errno_reason(int error) {
  if (error == ENOENT || error == ENOTDIR) return "not found";
  return std::string("unreadable (") + std::strerror(error) + ")";
}

// Reads to the end of a descriptor; false on a read error or too much data.
bool read_all(int fd, std::vector<std::uint8_t>& out, int& error) {
  std::uint8_t chunk[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return false;
    }
    if (out.size() + static_cast<std::size_t>(got) > kMaxFileBytes) {
      error = EFBIG;
      return false;
    }
    out.insert(out.end(), chunk, chunk + got);
  }
}

// `expected` is the file's size where it is known: reserved at once, the
// bytes are not copied again and again as the buffer grows.
Outcome<std::vector<std::uint8_t>> read_descriptor(int fd, std::uint64_t expected) {
  std::vector<std::uint8_t> bytes;
  int error = 0;
  try {
    bytes.reserve(static_cast<std::size_t>(std::min(expected, kMaxFileBytes)));
    if (!read_all(fd, bytes, error)) {
      return Failure{error == EFBIG ? "too large (metafiles are read whole, up to 4 GiB)" : errno_reason(error)};
    }
  } catch (const std::bad_alloc&) {
    return Failure{"too large for memory"};
  }
  return bytes;
}

}  // namespace

const char* kind_name(MetafileKind kind) {
  switch (kind) {
    case MetafileKind::placeable_wmf:
      return "placeable WMF";
    case MetafileKind::emf:
      return "EMF";
    case MetafileKind::wmf:
      return "WMF";
  }
  return "?";
}

std::optional<MetafileKind> sniff_kind(std::span<const std::uint8_t> bytes) {
  const ByteReader in(bytes);
  if (in.u32(0) == kPlaceableKey && is_wmf_header(in, kPlaceableHeaderBytes)) return MetafileKind::placeable_wmf;
  if (in.u32(0) == std::uint32_t{EMR_HEADER} && in.u32(kSignatureOffset) == std::uint32_t{ENHMETA_SIGNATURE}) {
    return MetafileKind::emf;
  }
  if (is_wmf_header(in, 0)) return MetafileKind::wmf;
  return std::nullopt;
}

Outcome<std::vector<std::uint8_t>> read_input(const std::string& name) {
  if (name == "-") return read_descriptor(STDIN_FILENO, 0);
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return Failure{errno_reason(errno)};
  struct stat info {};
  Outcome<std::vector<std::uint8_t>> result = Failure{"unreadable (not a regular file)"};
  if (::fstat(fd, &info) != 0) {
    result = Failure{errno_reason(errno)};
  } else if (S_ISDIR(info.st_mode)) {
    result = Failure{"unreadable (a folder)"};
  } else if (S_ISREG(info.st_mode)) {
    result = read_descriptor(fd, static_cast<std::uint64_t>(info.st_size));
  }
  ::close(fd);
  return result;
}

Outcome<Picture> open_picture(std::span<const std::uint8_t> bytes, MetafileKind kind) {
  Picture picture;
  picture.kind = kind;
  if (kind == MetafileKind::placeable_wmf) open_placeable(bytes, picture);
  if (kind == MetafileKind::emf) open_emf(bytes, picture);
  if (kind == MetafileKind::wmf) open_wmf(bytes, picture);
  if (!picture.handle) return Failure{"refused by the player (its records are not a picture the platform accepts)"};
  return picture;
}

std::optional<ENHMETAHEADER> picture_header(HENHMETAFILE picture) {
  ENHMETAHEADER header{};
  if (!picture || GetEnhMetaFileHeader(picture, sizeof header, &header) == 0) return std::nullopt;
  return header;
}

}  // namespace velmora::render
