// Validation and playback of any bytes as an EMF, into a small 32-bit DIB.
#include "fuzz_canvas.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const HENHMETAFILE picture = SetEnhMetaFileBits(static_cast<UINT>(size), data);
  if (!picture) return 0;
  const velmora::fuzz::FuzzCanvas canvas;
  const RECT bounds = canvas.bounds();
  PlayEnhMetaFile(canvas.dc(), picture, &bounds);
  DeleteEnhMetaFile(picture);
  return 0;
}
