// WMF to EMF conversion of any bytes, then the converted picture's header.
#include <windows.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const HENHMETAFILE picture = SetWinMetaFileBits(static_cast<UINT>(size), data, nullptr, nullptr);
  if (!picture) return 0;
  ENHMETAHEADER header{};
  GetEnhMetaFileHeader(picture, sizeof header, &header);
  DeleteEnhMetaFile(picture);
  return 0;
}
