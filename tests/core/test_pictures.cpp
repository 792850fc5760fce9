#include "core/test_pictures.h"

#include "support/emf_builder.h"

namespace velmora::test {
namespace {

// 100 logical units at the builder's 3.2 pixels per millimetre: 31.25 mm.
constexpr RECTL kFrame{0, 0, 3125, 3125};
constexpr RECTL kBounds{0, 0, 100, 100};

EmfBuilder builder() { return EmfBuilder(kFrame, kBounds); }

// Brush `index` of `color` selected, and the null pen.
EmfBuilder& solid_fill(EmfBuilder& emf, std::uint32_t index, COLORREF color) {
  return emf.create_brush(index, BS_SOLID, color).select_object(index).select_stock(NULL_PEN);
}

}  // namespace

Picture empty_picture() { return Picture(builder().handle()); }

Picture filled_rectangle(RECT logical, COLORREF color) {
  EmfBuilder emf = builder();
  solid_fill(emf, 1, color).rectangle(logical.left, logical.top, logical.right, logical.bottom);
  return Picture(emf.handle());
}

Picture filled_triangle(const std::vector<POINT>& corners, COLORREF color) {
  EmfBuilder emf = builder();
  solid_fill(emf, 1, color).polygon16(corners);
  return Picture(emf.handle());
}

Picture two_halves(COLORREF left, COLORREF right) {
  EmfBuilder emf = builder();
  // Both overshoot the frame, so the frame's own edges play no part.
  solid_fill(emf, 1, left).rectangle(-20, -20, 50, 120);
  solid_fill(emf, 2, right).rectangle(50, -20, 120, 120);
  return Picture(emf.handle());
}

}  // namespace velmora::test
