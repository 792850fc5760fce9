// Accelerator tables loaded from the program's resources.
#pragma once

#include <cstddef>

namespace velmora::window {

std::size_t live_accelerator_count();

}  // namespace velmora::window
