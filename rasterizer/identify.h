// Metafile identification: the bytes of a whole metafile file become a
// picture the system can play and the picture's aspect ratio. The kind is
// told by content, never by file name, in this order:
//   1. the placeable-WMF key at offset 0 (MS-WMF 2.3.2.3, META_PLACEABLE);
//   2. the EMF signature " EMF" at offset 40 (MS-EMF 2.3.4.2, the header);
//   3. anything else is taken for plain WMF and left to the system to judge.
// Data too short for a test fails that test, so no byte beyond the data is
// read; data nobody accepts gives a null picture.
#pragma once

#include <windows.h>

namespace velmora {

struct IdentifiedMetafile {
  // Null when the system refuses the data. The caller owns it and deletes it
  // with DeleteEnhMetaFile; it does not depend on the bytes afterwards.
  HENHMETAFILE picture = nullptr;
  // Width / height of the picture's placeable box or EMF frame, formed in
  // double precision and held as a float (infinite or NaN for an empty one);
  // 1.0 when a plain WMF's converted header cannot be read.
  float aspect = 1.0f;
};

IdentifiedMetafile IdentifyMetafile(const BYTE* data, DWORD size);

}  // namespace velmora
