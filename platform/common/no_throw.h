// Exported functions run their bodies through no_throw so that no exception
// (in practice only std::bad_alloc) crosses the C boundary: the call fails
// with the given result instead.
#pragma once

#include <utility>

namespace velmora::platform {

template <class Result, class Body>
Result no_throw(Result failure, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    return failure;
  }
}

}  // namespace velmora::platform
