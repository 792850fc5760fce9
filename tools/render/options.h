// The command line of velmora-render, parsed into one value that the rest
// of the program reads. Parsing never exits: a bad command line comes back
// as a usage error with a message naming the option and what it expects.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace velmora::render {

// A part of the picture in fractions of its width and height, left < right
// and top < bottom, all within [0, 1].
struct Crop {
  double left = 0.0;
  double top = 0.0;
  double right = 1.0;
  double bottom = 1.0;
  bool whole() const { return left == 0.0 && top == 0.0 && right == 1.0 && bottom == 1.0; }
};

// An opaque colour, or none (the output keeps an alpha channel).
struct Background {
  bool transparent = true;
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

enum class Renderer { smooth, plain, compare };

struct Options {
  std::vector<std::string> inputs;    // "-" is standard input
  std::optional<std::string> output;  // "-" is standard output
  std::optional<int> width;
  std::optional<int> height;
  std::optional<int> thumbnail;  // longest side
  double dpi = 96.0;
  bool fit = true;
  double angle_degrees = 0.0;
  Crop crop;
  int alpha = 255;
  Background background;
  Renderer renderer = Renderer::smooth;
  bool info = false;
  bool json = false;
  bool time = false;
  int repeat = 1;
  int jobs = 0;  // 0: one per core
  bool help = false;
  bool version = false;
};

struct UsageError {
  std::string message;
};

std::variant<Options, UsageError> parse_options(const std::vector<std::string>& args);

// "#rrggbb", "#rgb", "transparent" or a common colour name.
std::optional<Background> parse_color(const std::string& text);

}  // namespace velmora::render
