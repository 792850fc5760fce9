// A failure of one input, told in one line: what went wrong and, where it
// helps, why ("not found", "not a metafile (no EMF signature, ...)").
#pragma once

#include <string>
#include <variant>

namespace velmora::render {

struct Failure {
  std::string reason;
};

// A value, or the failure that stood in its way.
template <class T>
using Outcome = std::variant<T, Failure>;

template <class T>
const Failure* failure_of(const Outcome<T>& outcome) {
  return std::get_if<Failure>(&outcome);
}

}  // namespace velmora::render
