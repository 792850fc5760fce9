// A metafile as velmora-render holds it: its bytes, its kind told by
// content, and the picture the platform made of it, with the picture's
// aspect ratio and its own size. Everything is read through the platform's
// Win32 functions, as any program that links the library would.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "render/failure.h"

namespace velmora::render {

enum class MetafileKind { placeable_wmf, emf, wmf };

const char* kind_name(MetafileKind kind);

// The kind by content: the placeable key at 0, the EMF signature at 40, or a
// WMF header (type 1 or 2, nine header words, version 1 or 3); none for
// anything else. Short data is no metafile.
std::optional<MetafileKind> sniff_kind(std::span<const std::uint8_t> bytes);

// The whole of a file, or of standard input for "-".
Outcome<std::vector<std::uint8_t>> read_input(const std::string& name);

struct PictureDeleter {
  void operator()(HENHMETAFILE__* picture) const { DeleteEnhMetaFile(picture); }
};
using PictureHandle = std::unique_ptr<HENHMETAFILE__, PictureDeleter>;

struct Picture {
  MetafileKind kind = MetafileKind::emf;
  PictureHandle handle;
  double aspect = 1.0;        // width / height, as the library's fit takes it
  double width_inches = 0.0;  // the picture's own size; 0 when it has none
  double height_inches = 0.0;
};

// The picture of identified bytes; a failure when the platform refuses them.
Outcome<Picture> open_picture(std::span<const std::uint8_t> bytes, MetafileKind kind);

// The picture's own header as the platform reports it.
std::optional<ENHMETAHEADER> picture_header(HENHMETAFILE picture);

}  // namespace velmora::render
