// SetWinMetaFileBits: turns WMF data into an enhanced metafile that the
// same player plays: the EMF the WMF carries when it was made from one,
// else the conversion of its records. The reference context is not used;
// a METAFILEPICT in MM_ANISOTROPIC or MM_ISOTROPIC with a positive extent
// gives the picture its size (see wmf_converter.h).
#include "emf/enh_metafile.h"
#include "wmf/embedded_emf.h"
#include "wmf/wmf_converter.h"

namespace {

using velmora::platform::EnhMetaFile;
using velmora::platform::wmf::PictureExtent;

// Only the scalable modes give a size in 0.01 mm; a zero or negative
// extent there is a proportion or a "don't care", which the drawn bounds
// serve better.
PictureExtent extent_of(const METAFILEPICT* mfp) {
  if (!mfp || (mfp->mm != MM_ANISOTROPIC && mfp->mm != MM_ISOTROPIC)) return std::nullopt;
  if (mfp->xExt <= 0 || mfp->yExt <= 0) return std::nullopt;
  return SIZE{mfp->xExt, mfp->yExt};
}

std::unique_ptr<EnhMetaFile> picture_of(std::span<const std::uint8_t> data, PictureExtent extent) {
  const auto wmf = velmora::platform::wmf::read_wmf(data);
  if (!wmf) return nullptr;
  if (const auto original = velmora::platform::wmf::embedded_emf(wmf->records)) {
    if (auto picture = velmora::platform::parse_enh_metafile(*original)) return picture;
  }
  const auto converted = velmora::platform::wmf::convert_wmf_to_emf(*wmf, extent);
  return converted ? velmora::platform::parse_enh_metafile(*converted) : nullptr;
}

}  // namespace

HENHMETAFILE WINAPI SetWinMetaFileBits(UINT nSize, const BYTE* lpMeta16Data, HDC /*hdcRef*/,
                                       const METAFILEPICT* lpMFP) {
  if (!lpMeta16Data) return nullptr;
  try {
    std::unique_ptr<EnhMetaFile> picture = picture_of({lpMeta16Data, nSize}, extent_of(lpMFP));
    if (!picture) return nullptr;
    return static_cast<HENHMETAFILE>(velmora::platform::register_object(std::move(picture)));
  } catch (...) {
    return nullptr;
  }
}
