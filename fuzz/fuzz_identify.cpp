// Identification of any bytes (placeable WMF, EMF or plain WMF), then
// playback of the picture it gives.
#include "fuzz_canvas.h"
#include "identify.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const velmora::IdentifiedMetafile identified = velmora::IdentifyMetafile(data, static_cast<DWORD>(size));
  if (!identified.picture) return 0;
  const velmora::fuzz::FuzzCanvas canvas;
  const RECT bounds = canvas.bounds();
  PlayEnhMetaFile(canvas.dc(), identified.picture, &bounds);
  DeleteEnhMetaFile(identified.picture);
  return 0;
}
