#include "support/emf_builder.h"

#include <algorithm>
#include <cstring>

namespace velmora::test {
namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void put_rect(std::vector<std::uint8_t>& out, const RECTL& r) {
  for (LONG v : {r.left, r.top, r.right, r.bottom}) put32(out, static_cast<std::uint32_t>(v));
}

}  // namespace

EmfBuilder::EmfBuilder(RECTL frame, RECTL bounds) : frame_(frame), bounds_(bounds) {}

std::uint32_t EmfBuilder::f(float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, 4);
  return bits;
}

EmfBuilder& EmfBuilder::record(std::uint32_t type, std::initializer_list<std::uint32_t> words) {
  std::vector<std::uint8_t> body;
  for (std::uint32_t w : words) put32(body, w);
  return raw(type, body);
}

EmfBuilder& EmfBuilder::raw(std::uint32_t type, const std::vector<std::uint8_t>& body) {
  const std::size_t padded = (body.size() + 3) & ~std::size_t{3};
  put32(body_, type);
  put32(body_, static_cast<std::uint32_t>(8 + padded));
  body_.insert(body_.end(), body.begin(), body.end());
  body_.resize(body_.size() + (padded - body.size()), 0);
  ++records_;
  // Object-creating records name their table index first; keep nHandles above it.
  if (type == EMR_CREATEPEN || type == EMR_CREATEBRUSHINDIRECT || type == EMR_EXTCREATEPEN ||
      type == EMR_EXTCREATEFONTINDIRECTW || type == EMR_CREATEPALETTE || type == EMR_CREATEDIBPATTERNBRUSHPT ||
      type == EMR_CREATEMONOBRUSH) {
    if (body.size() >= 4) {
      std::uint32_t index;
      std::memcpy(&index, body.data(), 4);
      handles_ = std::max(handles_, std::min<std::uint32_t>(index + 1, 0xFFFF));
    }
  }
  return *this;
}

EmfBuilder& EmfBuilder::poly16(std::uint32_t type, const std::vector<POINT>& points) {
  std::vector<std::uint8_t> body;
  RECTL b{0, 0, -1, -1};  // bounds are not used by players
  put_rect(body, b);
  put32(body, static_cast<std::uint32_t>(points.size()));
  for (const POINT& p : points) {
    put32(body, (static_cast<std::uint32_t>(p.x) & 0xFFFF) | (static_cast<std::uint32_t>(p.y) << 16));
  }
  return raw(type, body);
}

EmfBuilder& EmfBuilder::poly32(std::uint32_t type, const std::vector<POINT>& points) {
  std::vector<std::uint8_t> body;
  put_rect(body, RECTL{0, 0, -1, -1});
  put32(body, static_cast<std::uint32_t>(points.size()));
  for (const POINT& p : points) {
    put32(body, u(p.x));
    put32(body, u(p.y));
  }
  return raw(type, body);
}

EmfBuilder& EmfBuilder::set_world_transform(const XFORM& x) {
  return record(EMR_SETWORLDTRANSFORM, {f(x.eM11), f(x.eM12), f(x.eM21), f(x.eM22), f(x.eDx), f(x.eDy)});
}

EmfBuilder& EmfBuilder::modify_world_transform(const XFORM& x, DWORD mode) {
  return record(EMR_MODIFYWORLDTRANSFORM, {f(x.eM11), f(x.eM12), f(x.eM21), f(x.eM22), f(x.eDx), f(x.eDy), mode});
}

std::vector<std::uint8_t> EmfBuilder::bytes() const {
  std::vector<std::uint8_t> out;
  put32(out, EMR_HEADER);
  put32(out, 108);                // nSize
  put_rect(out, bounds_);         // rclBounds, device pixels
  put_rect(out, frame_);          // rclFrame, 0.01 mm
  put32(out, ENHMETA_SIGNATURE);  // dSignature
  put32(out, 0x10000);            // nVersion
  const std::uint32_t total = static_cast<std::uint32_t>(108 + body_.size() + 20);
  put32(out, total);         // nBytes
  put32(out, records_ + 2);  // nRecords: header, body, EOF
  put32(out, handles_);      // nHandles (low word), sReserved (high word)
  put32(out, 0);             // nDescription
  put32(out, 0);             // offDescription
  put32(out, 0);             // nPalEntries
  put32(out, 1024);          // szlDevice: a 1024 x 768 pixel reference device
  put32(out, 768);
  put32(out, 320);  // szlMillimeters: 320 x 240 mm, so 3.2 px per mm
  put32(out, 240);
  put32(out, 0);  // cbPixelFormat
  put32(out, 0);  // offPixelFormat
  put32(out, 0);  // bOpenGL
  put32(out, 320000);  // szlMicrometers
  put32(out, 240000);
  out.insert(out.end(), body_.begin(), body_.end());
  put32(out, EMR_EOF);
  put32(out, 20);
  put32(out, 0);   // nPalEntries
  put32(out, 16);  // offPalEntries
  put32(out, 20);  // nSizeLast
  return out;
}

HENHMETAFILE EmfBuilder::handle() const {
  const std::vector<std::uint8_t> b = bytes();
  return SetEnhMetaFileBits(static_cast<UINT>(b.size()), b.data());
}

}  // namespace velmora::test
