// WMF to EMF conversion of any bytes, the converted picture's header, and
// playback of the converted picture.
#include "fuzz_canvas.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const HENHMETAFILE picture = SetWinMetaFileBits(static_cast<UINT>(size), data, nullptr, nullptr);
  if (!picture) return 0;
  ENHMETAHEADER header{};
  GetEnhMetaFileHeader(picture, sizeof header, &header);
  const velmora::fuzz::FuzzCanvas canvas;
  const RECT bounds = canvas.bounds();
  PlayEnhMetaFile(canvas.dc(), picture, &bounds);
  DeleteEnhMetaFile(picture);
  return 0;
}
