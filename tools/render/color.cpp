// Background colours: "#rrggbb", "#rgb", "transparent" or a common name.
#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "render/options.h"

namespace velmora::render {
namespace {

struct NamedColor {
  std::string_view name;
  std::uint32_t rgb;
};

// The sixteen basic colours of CSS and HTML, plus orange and grey spellings.
constexpr std::array<NamedColor, 19> kNamedColors = {{
    {"black", 0x000000},  {"silver", 0xC0C0C0}, {"gray", 0x808080},   {"grey", 0x808080},    {"white", 0xFFFFFF},
    {"maroon", 0x800000}, {"red", 0xFF0000},    {"purple", 0x800080}, {"fuchsia", 0xFF00FF}, {"green", 0x008000},
    {"lime", 0x00FF00},   {"olive", 0x808000},  {"yellow", 0xFFFF00}, {"navy", 0x000080},    {"blue", 0x0000FF},
    {"teal", 0x008080},   {"aqua", 0x00FFFF},   {"orange", 0xFFA500}, {"magenta", 0xFF00FF},
}};

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::uint32_t> parse_hex(std::string_view digits) {
  if (digits.size() != 3 && digits.size() != 6) return std::nullopt;
  std::uint32_t rgb = 0;
  for (char c : digits) {
    const int d = hex_digit(c);
    if (d < 0) return std::nullopt;
    rgb = rgb << (digits.size() == 3 ? 8 : 4) | static_cast<std::uint32_t>(d * (digits.size() == 3 ? 17 : 1));
  }
  return rgb;
}

Background opaque(std::uint32_t rgb) {
  return Background{false, static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                    static_cast<std::uint8_t>(rgb)};
}

}  // namespace

std::optional<Background> parse_color(const std::string& text) {
  std::string lower = text;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  if (lower == "transparent" || lower == "none") return Background{};
  if (!lower.empty() && lower[0] == '#') {
    const std::optional<std::uint32_t> rgb = parse_hex(std::string_view(lower).substr(1));
    if (!rgb) return std::nullopt;
    return opaque(*rgb);
  }
  for (const NamedColor& named : kNamedColors) {
    if (named.name == lower) return opaque(named.rgb);
  }
  return std::nullopt;
}

}  // namespace velmora::render
