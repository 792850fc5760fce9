// Clipping and region records played into small surfaces. Each picture maps
// one record unit to one device pixel (unless a test scales the playback),
// so expected pixels can be written down directly. Where the drawn set is
// the point, it is compared with the set the region algebra predicts.
#include "support/emf_builder.h"
#include "support/emf_records.h"

#include "emf/region_data.h"
#include "gdi/dc.h"
#include "region/region.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace velmora::test {
namespace {

using platform::Region;

constexpr std::uint32_t kBlank = 0xFFFFFFFF;  // white with the alpha key: untouched
constexpr std::uint32_t kBlue = 0x000000FF;   // drawn pixels carry alpha 0

// 40 x 40 reference pixels (the builder's reference device has 3.2 pixels a millimetre).
EmfBuilder picture() { return EmfBuilder(RECTL{0, 0, 1250, 1250}, RECTL{0, 0, 39, 39}); }

struct Canvas {
  int side = 40;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * side + x)]; }
  bool drawn(int x, int y) const { return at(x, y) != kBlank; }
  // The drawn pixels as a region, to compare with what the algebra predicts.
  Region drawn_region() const {
    std::vector<RECT> rects;
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) {
        if (drawn(x, y)) rects.push_back(RECT{x, y, x + 1, y + 1});
      }
    }
    return Region::from_rects(rects);
  }
};

// Plays into a top-down side x side DIB filled with kBlank, onto the square
// (0, 0, rect_side, rect_side), the whole DIB when 0; `caller_clip`, when
// given, is the context's clip region before playback.
Canvas play(const EmfBuilder& b, int side = 40, const Region* caller_clip = nullptr, int rect_side = 0) {
  Canvas canvas{side, {}};
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), side, -side, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  auto* pixels = static_cast<std::uint32_t*>(bits);
  std::fill(pixels, pixels + side * side, kBlank);
  if (caller_clip) platform::lookup_dc(dc)->state().clip = *caller_clip;
  HENHMETAFILE emf = b.handle();
  const RECT rect{0, 0, rect_side ? rect_side : side, rect_side ? rect_side : side};
  EXPECT_TRUE(PlayEnhMetaFile(dc, emf, &rect));
  canvas.pixels.assign(pixels, pixels + side * side);
  DeleteEnhMetaFile(emf);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return canvas;
}

EmfBuilder& blue_brush(EmfBuilder& b) { return b.create_brush(1, BS_SOLID, RGB(0, 0, 255)).select_object(1); }
// A null-pen rectangle well past every edge of the picture, with the blue brush.
EmfBuilder& fill_all(EmfBuilder& b) { return blue_brush(b).select_stock(NULL_PEN).rectangle(-5, -5, 100, 100); }

Region rect(int l, int t, int r, int b) { return Region::from_rect(RECT{l, t, r, b}); }

TEST(ClipPlayback, IntersectAndExcludeClipRect) {
  EmfBuilder intersect = picture();
  intersect.intersect_clip_rect(5, 6, 30, 20);
  fill_all(intersect);
  EXPECT_EQ(play(intersect).drawn_region(), rect(5, 6, 30, 20));

  EmfBuilder exclude = picture();
  exclude_clip_rect(exclude, 5, 6, 30, 20);
  fill_all(exclude);
  EXPECT_EQ(play(exclude).drawn_region(), rect(0, 0, 40, 40).subtracted(rect(5, 6, 30, 20)));

  // Both in logical units: a window scaled by two halves the device rectangle.
  EmfBuilder scaled = picture();
  scaled.set_map_mode(MM_ANISOTROPIC).set_window_ext(2, 2).set_viewport_ext(1, 1);
  scaled.intersect_clip_rect(10, 10, 40, 60).set_map_mode(MM_TEXT);
  fill_all(scaled);
  EXPECT_EQ(play(scaled).drawn_region(), rect(5, 5, 20, 30));
}

TEST(ClipPlayback, EveryCombineModeMatchesTheRegionAlgebra) {
  const Region first = rect(4, 4, 24, 24);
  const Region second = rect(14, 10, 36, 30);
  for (int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY}) {
    EmfBuilder b = picture();
    select_clip_rects(b, {{4, 4, 24, 24}}, RGN_COPY);
    select_clip_rects(b, {{14, 10, 36, 30}}, mode);
    fill_all(b);
    EXPECT_EQ(play(b).drawn_region(), first.combined(second, mode)) << "mode " << mode;
  }
  // With no clip yet, the modes start from the whole surface.
  EmfBuilder diff = picture();
  select_clip_rects(diff, {{14, 10, 36, 30}}, RGN_DIFF);
  fill_all(diff);
  EXPECT_EQ(play(diff).drawn_region(), rect(0, 0, 40, 40).subtracted(second));
}

TEST(ClipPlayback, CopyWithoutRegionResetsToTheMetaRegion) {
  EmfBuilder reset = picture();
  reset.intersect_clip_rect(5, 5, 10, 10);
  reset.record(EMR_EXTSELECTCLIPRGN, {0, RGN_COPY});
  fill_all(reset);
  EXPECT_EQ(play(reset).drawn_region(), rect(0, 0, 40, 40));

  EmfBuilder meta = picture();
  meta.intersect_clip_rect(5, 5, 25, 25).record(EMR_SETMETARGN, {});
  meta.intersect_clip_rect(15, 15, 35, 35).record(EMR_EXTSELECTCLIPRGN, {0, RGN_COPY});
  fill_all(meta);
  EXPECT_EQ(play(meta).drawn_region(), rect(5, 5, 25, 25));

  // A new clip may not reach outside the meta region, whatever the mode.
  EmfBuilder outside = picture();
  outside.intersect_clip_rect(5, 5, 25, 25).record(EMR_SETMETARGN, {});
  select_clip_rects(outside, {{15, 15, 35, 35}}, RGN_OR);
  fill_all(outside);
  EXPECT_EQ(play(outside).drawn_region(), rect(5, 5, 25, 25));
}

TEST(ClipPlayback, SaveAndRestoreBringBackTheClip) {
  EmfBuilder b = picture();
  b.intersect_clip_rect(0, 0, 20, 40).save_dc().intersect_clip_rect(0, 0, 40, 10).restore_dc(-1);
  fill_all(b);
  EXPECT_EQ(play(b).drawn_region(), rect(0, 0, 20, 40));
}

TEST(ClipPlayback, OffsetMovesTheClipInDevicePixels) {
  EmfBuilder b = picture();
  b.set_map_mode(MM_ANISOTROPIC).set_window_ext(1, 1).set_viewport_ext(2, 2);
  b.intersect_clip_rect(5, 5, 10, 10).record(EMR_OFFSETCLIPRGN, {3, 4}).set_map_mode(MM_TEXT);
  fill_all(b);
  EXPECT_EQ(play(b).drawn_region(), rect(13, 14, 23, 24));

  EmfBuilder none = picture();  // no clip region: nothing to move
  none.record(EMR_OFFSETCLIPRGN, {10, 10});
  fill_all(none);
  EXPECT_EQ(play(none).drawn_region(), rect(0, 0, 40, 40));
}

TEST(ClipPlayback, RegionsFollowThePlaybackScaleNotTheWorldTransform) {
  EmfBuilder b = picture();
  b.set_world_transform(XFORM{0.5f, 0, 0, 0.5f, 7, 7});
  select_clip_rects(b, {{4, 6, 20, 16}}, RGN_COPY);
  b.set_world_transform(XFORM{1, 0, 0, 1, 0, 0});
  fill_all(b);
  EXPECT_EQ(play(b).drawn_region(), rect(4, 6, 20, 16));
  EXPECT_EQ(play(b, 80).drawn_region(), rect(8, 12, 40, 32));
}

TEST(ClipPlayback, ClipPathUsesTheFillModeAndConsumesThePath) {
  // Two nested squares in one path: alternate fill leaves the inner one out.
  EmfBuilder b = picture();
  b.record(EMR_BEGINPATH, {});
  b.polygon16({{4, 4}, {36, 4}, {36, 36}, {4, 36}}).polygon16({{14, 14}, {26, 14}, {26, 26}, {14, 26}});
  b.record(EMR_ENDPATH, {}).record(EMR_SELECTCLIPPATH, {RGN_COPY});
  fill_all(b);
  b.record(EMR_FILLPATH, {0, 0, 40, 40});  // the path is gone: fills nothing more
  EXPECT_EQ(play(b).drawn_region(), rect(4, 4, 36, 36).subtracted(rect(14, 14, 26, 26)));

  EmfBuilder winding = picture();
  winding.set_poly_fill_mode(WINDING).record(EMR_BEGINPATH, {});
  winding.polygon16({{4, 4}, {36, 4}, {36, 36}, {4, 36}}).polygon16({{14, 14}, {26, 14}, {26, 26}, {14, 26}});
  winding.record(EMR_ENDPATH, {}).record(EMR_SELECTCLIPPATH, {RGN_COPY});
  fill_all(winding);
  EXPECT_EQ(play(winding).drawn_region(), rect(4, 4, 36, 36));
}

TEST(ClipPlayback, ClipLimitsLinesAndTheCallersClipLimitsThePicture) {
  EmfBuilder line = picture();
  line.intersect_clip_rect(10, 0, 20, 40).move_to(0, 5).line_to(40, 5);
  EXPECT_EQ(play(line).drawn_region(), rect(10, 5, 20, 6));

  // The caller's clip bounds everything, even a reset inside the picture.
  const Region caller = rect(0, 0, 15, 40);
  EmfBuilder b = picture();
  b.record(EMR_EXTSELECTCLIPRGN, {0, RGN_COPY});
  select_clip_rects(b, {{10, 10, 30, 30}}, RGN_OR);
  fill_all(b);
  EXPECT_EQ(play(b, 40, &caller).drawn_region(), caller);
}

TEST(ClipPlayback, ThePlaybackRectangleDoesNotClip) {
  // Drawn at half size onto (0, 0, 20, 20), a rectangle past twice the
  // frame covers the whole surface: the platform does not clip to the rectangle.
  EmfBuilder b = picture();
  blue_brush(b).select_stock(NULL_PEN).rectangle(-4, -4, 84, 84);
  EXPECT_EQ(play(b, 40, nullptr, 20).drawn_region(), rect(0, 0, 40, 40));
}

TEST(RegionRecords, FillPaintInvertAndFrame) {
  EmfBuilder fill = picture();
  blue_brush(fill);
  region_record(fill, EMR_FILLRGN, {1}, {{2, 2, 10, 10}, {20, 2, 30, 5}});
  region_record(fill, EMR_PAINTRGN, {}, {{2, 20, 6, 24}});
  const Canvas filled = play(fill);
  EXPECT_EQ(filled.drawn_region(), rect(2, 2, 10, 10).united(rect(20, 2, 30, 5)).united(rect(2, 20, 6, 24)));
  EXPECT_EQ(filled.at(3, 3), kBlue);
  EXPECT_EQ(filled.at(3, 21), kBlue);

  EmfBuilder invert = picture();
  region_record(invert, EMR_INVERTRGN, {}, {{0, 0, 4, 4}});
  const Canvas inverted = play(invert);
  EXPECT_EQ(inverted.at(1, 1), 0x00000000u);  // white turned black
  EXPECT_EQ(inverted.drawn_region(), rect(0, 0, 4, 4));

  // Vertical strokes 3 wide, horizontal strokes 6 high, inside the region.
  EmfBuilder frame = picture();
  blue_brush(frame);
  region_record(frame, EMR_FRAMERGN, {1, 3, 6}, {{5, 5, 35, 35}});
  EXPECT_EQ(play(frame).drawn_region(), rect(5, 5, 35, 35).subtracted(rect(8, 11, 32, 29)));
}

TEST(RegionRecords, MalformedRegionDataIsSkipped) {
  auto with_words = [](std::uint32_t type, std::vector<std::uint32_t> words) {
    EmfBuilder b = picture();
    blue_brush(b);
    std::vector<std::uint8_t> body(words.size() * 4);
    std::memcpy(body.data(), words.data(), body.size());
    b.raw(type, body);
    return play(b).drawn_region();
  };
  const Region nothing;
  // nCount claims more rectangles than the data holds.
  EXPECT_EQ(with_words(EMR_FILLRGN, {0, 0, 40, 40, 48, 1, 32, 1, 1000, 16, 0, 0, 9, 9, 0, 0, 9, 9}), nothing);
  // A header size other than 32.
  EXPECT_EQ(with_words(EMR_PAINTRGN, {0, 0, 40, 40, 48, 40, 1, 1, 16, 0, 0, 9, 9, 0, 0, 9, 9}), nothing);
  // Data size beyond the record.
  EXPECT_EQ(with_words(EMR_PAINTRGN, {0, 0, 40, 40, 0xFFFFFFF0u, 32, 1, 1, 16, 0, 0, 9, 9}), nothing);
  // A clip region with an unknown mode changes nothing.
  EmfBuilder b = picture();
  select_clip_rects(b, {{0, 0, 5, 5}}, 9);
  fill_all(b);
  EXPECT_EQ(play(b).drawn_region(), rect(0, 0, 40, 40));
}

TEST(RegionRecords, RandomRegionDataNeverReadsOutside) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int trial = 0; trial < 2000; ++trial) {
    // A plausible header now and then, so that the rectangle loop runs too.
    std::vector<std::uint8_t> data(static_cast<std::size_t>(byte(rng) % 96));
    for (auto& v : data) v = static_cast<std::uint8_t>(byte(rng));
    if (data.size() >= 12 && trial % 2 == 0) {
      data[0] = 32, data[1] = data[2] = data[3] = 0;
      data[8] = static_cast<std::uint8_t>(trial % 5), data[9] = data[10] = data[11] = 0;
    }
    platform::ByteReader reader(data.data(), data.size());
    const auto claimed = static_cast<std::uint32_t>(byte(rng) % 128);
    const auto rects = platform::read_region_data(reader, claimed);
    if (rects) {
      EXPECT_LE(32 + 16 * rects->size(), std::min<std::size_t>(claimed, data.size()));
    }
  }
}

}  // namespace
}  // namespace velmora::test
