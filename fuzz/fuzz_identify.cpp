// Identification of any bytes: placeable WMF, EMF or plain WMF.
#include "identify.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const velmora::IdentifiedMetafile identified = velmora::IdentifyMetafile(data, static_cast<DWORD>(size));
  if (identified.picture) DeleteEnhMetaFile(identified.picture);
  return 0;
}
