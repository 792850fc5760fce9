// SetWinMetaFileBits: converts WMF data into an enhanced metafile that the
// same player plays. The reference context and METAFILEPICT are not used:
// the picture's size comes from the WMF itself (see wmf_converter.h).
#include "emf/enh_metafile.h"
#include "wmf/wmf_converter.h"

HENHMETAFILE WINAPI SetWinMetaFileBits(UINT nSize, const BYTE* lpMeta16Data, HDC /*hdcRef*/,
                                       const METAFILEPICT* /*lpMFP*/) {
  if (!lpMeta16Data) return nullptr;
  try {
    const auto emf = velmora::platform::wmf::convert_wmf_to_emf({lpMeta16Data, nSize});
    if (!emf) return nullptr;
    std::unique_ptr<velmora::platform::EnhMetaFile> picture = velmora::platform::parse_enh_metafile(*emf);
    if (!picture) return nullptr;
    return static_cast<HENHMETAFILE>(velmora::platform::register_object(std::move(picture)));
  } catch (...) {
    return nullptr;
  }
}
