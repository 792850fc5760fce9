// Names of metafile record types, for the --info listing.
#pragma once

#include <cstdint>
#include <string>

namespace velmora::render {

// "EMR_POLYGON16"; "EMR_unknown_<n>" for a type outside the format.
std::string emf_record_name(std::uint32_t type);
// "META_POLYGON"; "META_unknown_<n>" for a function outside the format.
std::string wmf_record_name(std::uint16_t function);

}  // namespace velmora::render
