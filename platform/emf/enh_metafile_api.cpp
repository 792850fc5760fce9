// The gdi32 functions that create, read and release enhanced metafiles.
// Each catches everything at its boundary: an allocation failure becomes the
// function's failure result.
#include "emf/enh_metafile.h"

#include <algorithm>
#include <cstring>

using velmora::platform::EnhMetaFile;

namespace {

// The header as GetEnhMetaFileHeader reports it: the header record's own
// size, capped at the ENHMETAHEADER structure (a longer record carries the
// description string and pixel format, which are not part of the structure).
UINT reported_header_size(const EnhMetaFile& emf) {
  return static_cast<UINT>(std::min<std::size_t>(emf.header().nSize, sizeof(ENHMETAHEADER)));
}

}  // namespace

HENHMETAFILE WINAPI SetEnhMetaFileBits(UINT nSize, const BYTE* pb) {
  if (!pb) return nullptr;
  try {
    std::unique_ptr<EnhMetaFile> emf = velmora::platform::parse_enh_metafile({pb, nSize});
    if (!emf) return nullptr;
    return static_cast<HENHMETAFILE>(velmora::platform::register_object(std::move(emf)));
  } catch (...) {
    return nullptr;
  }
}

UINT WINAPI GetEnhMetaFileHeader(HENHMETAFILE hemf, UINT nSize, LPENHMETAHEADER lpEnhMetaHeader) {
  const EnhMetaFile* emf = velmora::platform::lookup<EnhMetaFile>(hemf);
  if (!emf) return 0;
  const UINT header_size = reported_header_size(*emf);
  if (!lpEnhMetaHeader) return header_size;
  const UINT copied = std::min(nSize, header_size);
  std::memcpy(lpEnhMetaHeader, &emf->header(), copied);
  return copied;
}

UINT WINAPI GetEnhMetaFileBits(HENHMETAFILE hEMF, UINT nSize, LPBYTE lpData) {
  const EnhMetaFile* emf = velmora::platform::lookup<EnhMetaFile>(hEMF);
  if (!emf) return 0;
  const auto stored = static_cast<UINT>(emf->bytes().size());
  if (!lpData) return stored;
  const UINT copied = std::min(nSize, stored);
  std::memcpy(lpData, emf->bytes().data(), copied);
  return copied;
}

BOOL WINAPI DeleteEnhMetaFile(HENHMETAFILE hmf) {
  if (!velmora::platform::lookup<EnhMetaFile>(hmf)) return FALSE;
  return velmora::platform::destroy_object(hmf) ? TRUE : FALSE;
}
