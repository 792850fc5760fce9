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

tools::Image image_of(const tools::Canvas& canvas) {
  tools::Image image;
  image.width = canvas.width();
  image.height = canvas.height();
  const std::size_t stride = static_cast<std::size_t>(image.width) * 4;
  image.bgra.resize(stride * static_cast<std::size_t>(image.height));
  for (int y = 0; y < image.height; ++y) std::memcpy(image.bgra.data() + stride * y, canvas.row(y), stride);
  return image;
}

// One renderer, `repeat` times onto a fresh canvas, each call timed.
Outcome<Rendering> run(Renderer renderer, const Options& options, const Source& source, OutputSize size) {
  tools::Canvas canvas(size.width, size.height);
  if (!canvas.valid()) return Failure{"too large for memory (no bitmap of that size)"};
  Rendering rendering;
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
  rendering.image = image_of(canvas);
  return rendering;
}

// A caption drawn by the library into the strip at `left`.
void draw_label(tools::Canvas& canvas, int left, int width, const std::u16string& text) {
  const std::vector<std::uint8_t> bytes = label_picture(width, kLabelHeight, text);
  const PictureHandle label(SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data()));
  RECT rect{left, 0, left + width - 1, kLabelHeight - 1};
  if (label) Velmora(canvas.dc(), label.get(), &rect, 255, 0.0, 0.0, 0.0, 1.0, 1.0);
}

void paste(tools::Canvas& canvas, const tools::Image& half, int left) {
  const std::size_t stride = static_cast<std::size_t>(half.width) * 4;
  for (int y = 0; y < half.height; ++y) {
    std::memcpy(canvas.row(y + kLabelHeight) + std::size_t(left) * 4, half.bgra.data() + stride * y, stride);
  }
}

// Plain on the left, anti-aliased on the right, as the viewer shows them,
// each under its label; the times are those of the library's calls.
Outcome<Rendering> compare(const Options& options, const Source& source, OutputSize size) {
  Outcome<Rendering> plain = run(Renderer::plain, options, source, size);
  if (failure_of(plain)) return plain;
  Outcome<Rendering> smooth = run(Renderer::smooth, options, source, size);
  if (failure_of(smooth)) return smooth;
  tools::Canvas canvas(2 * size.width, size.height + kLabelHeight);
  if (!canvas.valid()) return Failure{"too large for memory (no bitmap of that size)"};
  fill_background(canvas, options.background);
  draw_label(canvas, 0, size.width, u"plain player");
  draw_label(canvas, size.width, size.width, u"Velmora (anti-aliased)");
  paste(canvas, std::get<Rendering>(plain).image, 0);
  paste(canvas, std::get<Rendering>(smooth).image, size.width);
  Rendering result;
  result.image = image_of(canvas);
  result.call_ms = std::move(std::get<Rendering>(smooth).call_ms);
  return result;
}

}  // namespace

Outcome<Rendering> render(const Options& options, const Source& source, OutputSize size) {
  if (options.renderer == Renderer::compare) return compare(options, source, size);
  return run(options.renderer, options, source, size);
}

}  // namespace velmora::render
