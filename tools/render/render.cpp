#include "render/render.h"

#include <velmora.h>

#include <chrono>
#include <cstring>

#include "common/canvas.h"
#include "render/draw_calls.h"
#include "render/label_picture.h"

namespace velmora::render {
namespace {

// The strip above each half of --compare that holds its label.
constexpr int kLabelHeight = 30;

void fill_background(tools::Canvas& canvas, const Background& bg) {
  if (bg.transparent) {
    canvas.fill(0, 0, 0, 0);
  } else {
    canvas.fill(bg.blue, bg.green, bg.red, 255);
  }
}

double milliseconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// One renderer, `repeat` times onto a fresh canvas, each call timed.
Outcome<Rendering> run(Renderer renderer, const Options& options, const Source& source, OutputSize size) {
  Rendering rendering;
  rendering.canvas = std::make_unique<tools::Canvas>(size.width, size.height);
  tools::Canvas& canvas = *rendering.canvas;
  if (!canvas.valid()) return Failure{"too large for memory (no bitmap of that size)"};
  for (int i = 0; i < options.repeat; ++i) {
    const bool plain = renderer == Renderer::plain;
    if (plain) {
      canvas.fill(0, 0, 0, 255);  // the key: the player writes alpha 0 where it draws
    } else {
      fill_background(canvas, options.background);
    }
    const auto start = std::chrono::steady_clock::now();
    const bool drawn = plain ? draw_plain(canvas.dc(), source, options, size.width, size.height)
                             : draw_smooth(canvas.dc(), source, options, size.width, size.height);
    rendering.call_ms.push_back(milliseconds_since(start));
    if (!drawn) return Failure{"refused by the player (the library drew nothing)"};
    if (plain) finish_plain(canvas, options);
  }
  return rendering;
}

// A caption drawn by the library into the strip at `left`.
void draw_label(tools::Canvas& canvas, int left, int width, const std::u16string& text) {
  const std::vector<std::uint8_t> bytes = label_picture(width, kLabelHeight, text);
  const PictureHandle label(SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data()));
  RECT rect{left, 0, left + width - 1, kLabelHeight - 1};
  if (label) Velmora(canvas.dc(), label.get(), &rect, 255, 0.0, 0.0, 0.0, 1.0, 1.0);
}

void paste(tools::Canvas& canvas, const tools::Canvas& half, int left) {
  const std::size_t stride = static_cast<std::size_t>(half.width()) * 4;
  for (int y = 0; y < half.height(); ++y) {
    std::memcpy(canvas.row(y + kLabelHeight) + std::size_t(left) * 4, half.row(y), stride);
  }
}

// Plain on the left, anti-aliased on the right, as the viewer shows them,
// each under its label; the times are those of the library's calls.
Outcome<Rendering> compare(const Options& options, const Source& source, OutputSize size) {
  Outcome<Rendering> plain = run(Renderer::plain, options, source, size);
  if (failure_of(plain)) return plain;
  Outcome<Rendering> smooth = run(Renderer::smooth, options, source, size);
  if (failure_of(smooth)) return smooth;
  Rendering result;
  result.canvas = std::make_unique<tools::Canvas>(2 * size.width, size.height + kLabelHeight);
  tools::Canvas& canvas = *result.canvas;
  if (!canvas.valid()) return Failure{"too large for memory (no bitmap of that size)"};
  fill_background(canvas, options.background);
  draw_label(canvas, 0, size.width, u"plain player");
  draw_label(canvas, size.width, size.width, u"Velmora (anti-aliased)");
  paste(canvas, *std::get<Rendering>(plain).canvas, 0);
  paste(canvas, *std::get<Rendering>(smooth).canvas, size.width);
  result.call_ms = std::move(std::get<Rendering>(smooth).call_ms);
  return result;
}

}  // namespace

PixelRows Rendering::pixels() const {
  const tools::Canvas& c = *canvas;
  return PixelRows{c.row(0), -std::ptrdiff_t{4} * c.width(), c.width(), c.height()};  // bottom-up memory
}

Outcome<Rendering> render(const Options& options, const Source& source, OutputSize size) {
  if (options.renderer == Renderer::compare) return compare(options, source, size);
  return run(options.renderer, options, source, size);
}

}  // namespace velmora::render
