// A one-line caption as a small enhanced metafile, so that the halves of
// --compare are labelled by the library's own drawing of text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::render {

// An EMF of width x height pixels (on a 96-DPI reference device) with
// `text` centred near its top, in dark grey, at about 15 pixels a line.
std::vector<std::uint8_t> label_picture(int width, int height, const std::u16string& text);

}  // namespace velmora::render
