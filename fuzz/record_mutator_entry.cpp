// libFuzzer's hook for the structure-aware mutator; the targets that read
// metafile bytes link it (see CMakeLists.txt).
#include "record_mutator.h"

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t max_size,
                                               unsigned seed) {
  return velmora::fuzz::mutate_metafile(data, size, max_size, seed);
}
