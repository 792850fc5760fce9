// Structure-aware mutation of metafile bytes: EMF and WMF (plain or behind
// the placeable header) are split into their records, one record is changed,
// moved, doubled or dropped, and every size that frames the records (each
// record's own, the header's byte, word and record counts, the largest
// record) is made to agree again, so that mutated inputs get past the
// container checks into the record handlers. Bytes that are no metafile are
// left to libFuzzer's own mutations.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora::fuzz {

// Mutates data[0, size) in place within max_size bytes; returns the new size.
std::size_t mutate_metafile(std::uint8_t* data, std::size_t size, std::size_t max_size, unsigned seed);

}  // namespace velmora::fuzz
