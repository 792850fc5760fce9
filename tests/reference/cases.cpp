#include "reference/cases.h"

namespace velmora::test {

EmfBuilder canvas(int width, int height) {
  // The builder's reference device has 3.2 pixels per millimetre, so one
  // pixel is 31.25 hundredths of a millimetre of frame.
  const LONG frame_right = static_cast<LONG>(width * 3125 / 100);
  const LONG frame_bottom = static_cast<LONG>(height * 3125 / 100);
  return EmfBuilder(RECTL{0, 0, frame_right, frame_bottom}, RECTL{0, 0, width - 1, height - 1});
}

void loosen(std::vector<ReferenceCase>& cases, const std::string& name, double max_mismatch, std::string reason) {
  for (ReferenceCase& c : cases) {
    if (c.name != name) continue;
    c.max_mismatch = max_mismatch;
    c.reason = std::move(reason);
  }
}

std::vector<ReferenceCase> all_reference_cases() {
  std::vector<ReferenceCase> all;
  for (auto group : {shape_cases, brush_cases, clip_cases, text_cases, bitmap_cases, fault_cases}) {
    std::vector<ReferenceCase> cases = group();
    all.insert(all.end(), cases.begin(), cases.end());
  }
  return all;
}

}  // namespace velmora::test
