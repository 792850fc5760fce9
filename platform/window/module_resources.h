// The program's resources. A Windows program carries them in its image; here
// the program registers the bytes of its compiled .res file once at start
// (the build generates that call), and every module handle names them.
#pragma once

#include "window/resource_templates.h"

#include <span>

namespace velmora::window {

// The resource of a type (RT_* or a string) and name, or null.
const ResourceEntry* find_resource(LPCWSTR name, LPCWSTR type);

// The bytes of a resource, or empty when there is none.
std::span<const std::uint8_t> resource_bytes(LPCWSTR name, LPCWSTR type);

}  // namespace velmora::window
