// The reference-image cases: small single-concern pictures built record by
// record. Each is stored as <group>/<name>.emf beside <group>/<name>.png, the
// platform's own rendering of it (see reference_suite.cpp for how both are
// made and compared).
#pragma once

#include "support/emf_builder.h"

#include <cstdint>

#include <functional>
#include <string>
#include <vector>

namespace velmora::test {

struct ReferenceCase {
  std::string group;
  std::string name;
  int width = 96;  // of the expected image, in pixels
  int height = 96;
  std::function<void(EmfBuilder&)> records;
  // A plain WMF case instead: its bytes (the case is stored as <name>.wmf
  // and played through the platform's conversion).
  std::function<std::vector<std::uint8_t>()> wmf;
  // A looser tolerance than the suite's, with the reason; empty when none.
  double max_mismatch = 0.0;
  std::string reason;
};

// Gives the named case of `cases` a looser share of mismatching ink pixels,
// with the reason.
void loosen(std::vector<ReferenceCase>& cases, const std::string& name, double max_mismatch, std::string reason);

// A builder whose frame maps one record unit to one pixel of a width x height image.
EmfBuilder canvas(int width, int height);

std::vector<ReferenceCase> shape_cases();
std::vector<ReferenceCase> brush_cases();
std::vector<ReferenceCase> clip_cases();
std::vector<ReferenceCase> text_cases();
std::vector<ReferenceCase> bitmap_cases();
// The faults real files showed, one small case each.
std::vector<ReferenceCase> fault_cases();

std::vector<ReferenceCase> all_reference_cases();

}  // namespace velmora::test
