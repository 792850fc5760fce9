#include "viewer/viewer_pictures.h"

#include "support/emf_builder.h"
#include "support/wmf_builder.h"
#include "window/headless_session.h"

namespace velmora::test {
namespace {

constexpr COLORREF kRed = RGB(200, 0, 0);

// META_CREATEBRUSHINDIRECT (solid red) and META_SELECTOBJECT of it, then a
// rectangle over the whole window.
std::vector<std::uint8_t> wmf_bytes(int width, int height, bool placeable) {
  WmfBuilder b;
  b.set_window_org(0, 0).set_window_ext(static_cast<std::int16_t>(width), static_cast<std::int16_t>(height));
  b.record(0x02FC, {0, 200, 0, 0});  // style BS_SOLID, COLORREF red (two words), hatch
  b.record(0x012D, {0});             // select object 0
  b.rectangle(0, 0, static_cast<std::int16_t>(width), static_cast<std::int16_t>(height));
  return placeable ? b.placeable(0, 0, static_cast<std::int16_t>(width), static_cast<std::int16_t>(height)) : b.bytes();
}

}  // namespace

std::vector<std::uint8_t> solid_emf(int width_mm, int height_mm) {
  const int w = width_mm * 100, h = height_mm * 100;             // 0.01 mm
  const int px = width_mm * 32 / 10, py = height_mm * 32 / 10;   // the builder's device: 3.2 pixels per mm
  EmfBuilder b(RECTL{0, 0, w, h}, RECTL{0, 0, px - 1, py - 1});  // the frame's plain differences give the ratio
  b.create_brush(1, BS_SOLID, kRed).select_object(1).rectangle(0, 0, px, py);
  return b.bytes();
}

std::vector<std::uint8_t> solid_placeable_wmf(int width, int height) { return wmf_bytes(width, height, true); }

std::vector<std::uint8_t> solid_plain_wmf(int width, int height) { return wmf_bytes(width, height, false); }

std::vector<std::uint8_t> tiger_emf() { return read_bytes(VELMORA_SAMPLES_DIR "/tiger.emf"); }

}  // namespace velmora::test
