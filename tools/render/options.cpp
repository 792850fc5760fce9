#include "render/options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <thread>

#include "render/limits.h"

namespace velmora::render {
namespace {

std::optional<long long> to_integer(const std::string& text) {
  long long value = 0;
  const char* end = text.data() + text.size();
  const auto [rest, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc{} || rest != end) return std::nullopt;
  return value;
}

std::optional<double> to_number(const std::string& text) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [rest, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc{} || rest != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

// Walks the arguments; the first error found is the one reported.
class Parser {
 public:
  explicit Parser(const std::vector<std::string>& args) : args_(args) {}
  std::variant<Options, UsageError> run();

 private:
  void argument(const std::string& arg);
  void option(const std::string& name, const std::optional<std::string>& attached);
  bool flag(const std::string& name);
  std::string value_of(const std::string& name, const std::optional<std::string>& attached);
  int integer(const std::string& name, const std::string& value, long long low, long long high, const char* unit);
  double number(const std::string& name, const std::string& value, double low, double high, const char* unit);
  void size(const std::string& value);
  void crop(const std::string& value);
  void background(const std::string& value);
  void check_combinations();
  void fail(std::string message) {
    if (!error_) error_ = std::move(message);
  }

  const std::vector<std::string>& args_;
  std::size_t next_ = 0;
  bool options_ended_ = false;
  bool plain_ = false;
  bool compare_ = false;
  bool repeat_given_ = false;
  Options options_;
  std::optional<std::string> error_;
};

std::variant<Options, UsageError> Parser::run() {
  while (next_ < args_.size() && !error_) argument(args_[next_++]);
  if (!error_) check_combinations();
  if (error_) return UsageError{*error_};
  if (options_.jobs == 0) options_.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  return options_;
}

void Parser::argument(const std::string& arg) {
  if (options_ended_ || arg == "-" || arg.empty() || arg[0] != '-') {
    options_.inputs.push_back(arg);
  } else if (arg == "--") {
    options_ended_ = true;
  } else if (arg.starts_with("--")) {
    const std::size_t equals = arg.find('=');
    if (equals == std::string::npos) return option(arg, std::nullopt);
    option(arg.substr(0, equals), arg.substr(equals + 1));
  } else if (arg.size() > 2) {
    option(arg.substr(0, 2), arg.substr(2));  // -j4, -oOUT
  } else {
    option(arg, std::nullopt);
  }
}

bool Parser::flag(const std::string& name) {
  Options& o = options_;
  const auto set = [](bool& field, bool value) {
    field = value;
    return true;
  };
  if (name == "--fit") return set(o.fit, true);
  if (name == "--no-fit") return set(o.fit, false);
  if (name == "--plain") return set(plain_, true);
  if (name == "--compare") return set(compare_, true);
  if (name == "--info") return set(o.info, true);
  if (name == "--json") return set(o.info, true) && set(o.json, true);
  if (name == "--time") return set(o.time, true);
  if (name == "--help" || name == "-h") return set(o.help, true);
  if (name == "--version" || name == "-V") return set(o.version, true);
  return false;
}

void Parser::option(const std::string& name, const std::optional<std::string>& attached) {
  if (flag(name)) {
    if (attached) fail(name + ": takes no value, got " + quoted(*attached));
    return;
  }
  Options& o = options_;
  const char* const pixels = "a whole number of pixels";
  if (name == "-o" || name == "--output") {
    o.output = value_of(name, attached);
  } else if (name == "--width") {
    o.width = integer(name, value_of(name, attached), 1, kMaxSide, pixels);
  } else if (name == "--height") {
    o.height = integer(name, value_of(name, attached), 1, kMaxSide, pixels);
  } else if (name == "--size") {
    size(value_of(name, attached));
  } else if (name == "--thumbnail") {
    o.thumbnail = integer(name, value_of(name, attached), 1, kMaxSide, pixels);
  } else if (name == "--dpi") {
    o.dpi = number(name, value_of(name, attached), kMinDpi, kMaxDpi, "dots per inch");
  } else if (name == "--angle") {
    o.angle_degrees = number(name, value_of(name, attached), -kMaxAngle, kMaxAngle, "degrees");
  } else if (name == "--crop") {
    crop(value_of(name, attached));
  } else if (name == "--alpha") {
    o.alpha = integer(name, value_of(name, attached), 0, 255, "an opacity");
  } else if (name == "--background" || name == "-b") {
    background(value_of(name, attached));
  } else if (name == "--repeat") {
    o.repeat = integer(name, value_of(name, attached), 1, kMaxRepeat, "a count");
    repeat_given_ = true;
  } else if (name == "-j" || name == "--jobs") {
    o.jobs = integer(name, value_of(name, attached), 1, kMaxJobs, "a number of parallel jobs");
  } else {
    fail("unknown option " + quoted(name));
  }
}

std::string Parser::value_of(const std::string& name, const std::optional<std::string>& attached) {
  if (attached) return *attached;
  if (next_ < args_.size()) return args_[next_++];
  fail(name + ": expected a value after it");
  return {};
}

int Parser::integer(const std::string& name, const std::string& value, long long low, long long high,
                    const char* unit) {
  const std::optional<long long> parsed = to_integer(value);
  if (!parsed || *parsed < low || *parsed > high) {
    fail(name + ": expected " + unit + " from " + std::to_string(low) + " to " + std::to_string(high) + ", got " +
         quoted(value));
    return static_cast<int>(low);
  }
  return static_cast<int>(*parsed);
}

double Parser::number(const std::string& name, const std::string& value, double low, double high, const char* unit) {
  const std::optional<double> parsed = to_number(value);
  if (!parsed || *parsed < low || *parsed > high) {
    fail(name + ": expected " + unit + " from " + std::to_string(static_cast<long long>(low)) + " to " +
         std::to_string(static_cast<long long>(high)) + ", got " + quoted(value));
    return low;
  }
  return *parsed;
}

void Parser::size(const std::string& value) {
  const std::size_t x = value.find_first_of("xX");
  const std::optional<long long> w = x == std::string::npos ? std::nullopt : to_integer(value.substr(0, x));
  const std::optional<long long> h = x == std::string::npos ? std::nullopt : to_integer(value.substr(x + 1));
  if (!w || !h || *w < 1 || *h < 1 || *w > kMaxSide || *h > kMaxSide) {
    return fail("--size: expected WIDTHxHEIGHT in pixels (each 1 to " + std::to_string(kMaxSide) + "), got " +
                quoted(value));
  }
  options_.width = static_cast<int>(*w);
  options_.height = static_cast<int>(*h);
}

void Parser::crop(const std::string& value) {
  double parts[4] = {};
  std::size_t start = 0;
  bool good = true;
  for (int i = 0; i < 4 && good; ++i) {
    const std::size_t comma = value.find(',', start);
    const bool last = i == 3;
    if (last != (comma == std::string::npos)) good = false;
    const std::optional<double> part = to_number(value.substr(start, last ? std::string::npos : comma - start));
    good = good && part && *part >= 0.0 && *part <= 1.0;
    if (good) parts[i] = *part;
    start = comma + 1;
  }
  if (!good || parts[0] >= parts[2] || parts[1] >= parts[3]) {
    return fail(
        "--crop: expected LEFT,TOP,RIGHT,BOTTOM as fractions from 0 to 1 with LEFT < RIGHT and TOP < "
        "BOTTOM, got " +
        quoted(value));
  }
  options_.crop = Crop{parts[0], parts[1], parts[2], parts[3]};
}

void Parser::background(const std::string& value) {
  const std::optional<Background> parsed = parse_color(value);
  if (!parsed) return fail("--background: expected #rrggbb, a colour name or 'transparent', got " + quoted(value));
  options_.background = *parsed;
}

void Parser::check_combinations() {
  Options& o = options_;
  if (o.help || o.version) return;
  if (plain_ && compare_) return fail("--plain and --compare exclude each other");
  o.renderer = compare_ ? Renderer::compare : plain_ ? Renderer::plain : Renderer::smooth;
  if (o.angle_degrees != 0.0 && o.renderer != Renderer::smooth) {
    return fail("--angle turns the anti-aliased rendering only; leave out --plain and --compare");
  }
  if (o.thumbnail && (o.width || o.height))
    return fail(
        "--thumbnail sets the size itself; leave out --width, "
        "--height and --size");
  if (repeat_given_) o.time = true;
  if (o.inputs.empty()) return fail("no input given");
  if (std::count(o.inputs.begin(), o.inputs.end(), "-") > 1) return fail("standard input ('-') can be read once");
  if (o.output == "-" && o.inputs.size() > 1) return fail("-o - writes one PNG; give a single input");
}

}  // namespace

std::variant<Options, UsageError> parse_options(const std::vector<std::string>& args) { return Parser(args).run(); }

}  // namespace velmora::render
