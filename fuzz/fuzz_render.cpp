// The whole renderer on any bytes taken as an EMF: supersampled capture,
// turned and cropped resampling, composition.
#include "fuzz_canvas.h"

#include <velmora.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const HENHMETAFILE picture = SetEnhMetaFileBits(static_cast<UINT>(size), data);
  if (!picture) return 0;
  const velmora::fuzz::FuzzCanvas canvas;
  RECT bounds = canvas.bounds();
  Velmora(canvas.dc(), picture, &bounds, 255, 0.3, 0.1, 0.0, 0.9, 1.0);
  DeleteEnhMetaFile(picture);
  return 0;
}
