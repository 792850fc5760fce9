#include "render/job.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "render/info.h"
#include "render/metafile.h"
#include "render/output_size.h"
#include "render/png_output.h"
#include "render/render.h"

namespace velmora::render {
namespace {

JobResult failed(std::string reason) { return JobResult{false, std::move(reason), {}}; }

std::string format_ms(double ms) {
  char text[32];
  std::snprintf(text, sizeof text, ms < 10 ? "%.2f" : "%.1f", ms);
  return text;
}

std::optional<Failure> make_parent_folder(const std::string& output) {
  const std::filesystem::path parent = std::filesystem::path(output).parent_path();
  if (output == "-" || parent.empty()) return std::nullopt;
  std::error_code error;
  std::filesystem::create_directories(parent, error);
  if (error) return Failure{"output not writable: " + parent.string() + " (" + error.message() + ")"};
  return std::nullopt;
}

JobResult draw(const Job& job, const Options& options, const Picture& picture) {
  const Outcome<OutputSize> size = plan_output_size(options, picture);
  if (const Failure* f = failure_of(size)) return failed(f->reason);
  const OutputSize s = std::get<OutputSize>(size);
  const Outcome<Rendering> rendering = render(options, Source{job.input == "-" ? "" : job.input, picture}, s);
  if (const Failure* f = failure_of(rendering)) return failed(f->reason);
  const Rendering& r = std::get<Rendering>(rendering);
  const Outcome<std::vector<std::uint8_t>> png = encode_png(r.pixels());
  if (const Failure* f = failure_of(png)) return failed(f->reason);
  if (job.make_folders) {
    if (const auto f = make_parent_folder(job.output)) return failed(f->reason);
  }
  if (const auto f = write_output(job.output, std::get<std::vector<std::uint8_t>>(png))) return failed(f->reason);
  JobResult result{true, {}, r.call_ms};
  if (options.time) {
    result.text =
        std::to_string(r.canvas->width()) + " x " + std::to_string(r.canvas->height()) + ", " + timing_text(r.call_ms);
  }
  return result;
}

}  // namespace

JobResult run_job(const Job& job, const Options& options) {
  if (job.failure) return failed(*job.failure);
  const Outcome<std::vector<std::uint8_t>> bytes = read_input(job.input);
  if (const Failure* f = failure_of(bytes)) return failed(f->reason);
  const std::vector<std::uint8_t>& data = std::get<std::vector<std::uint8_t>>(bytes);
  const std::optional<MetafileKind> kind = sniff_kind(data);
  if (!kind) return failed("not a metafile (no placeable key, EMF signature or WMF header)");
  const Outcome<Picture> picture = open_picture(data, *kind);
  if (const Failure* f = failure_of(picture)) return failed(f->reason);
  if (options.info) return JobResult{true, describe(job.input, data, std::get<Picture>(picture), options), {}};
  return draw(job, options, std::get<Picture>(picture));
}

std::string timing_text(std::vector<double> call_ms) {
  if (call_ms.empty()) return "no calls";
  if (call_ms.size() == 1) return format_ms(call_ms[0]) + " ms";
  std::sort(call_ms.begin(), call_ms.end());
  const std::size_t n = call_ms.size();
  const double median = n % 2 ? call_ms[n / 2] : (call_ms[n / 2 - 1] + call_ms[n / 2]) / 2;
  return "median " + format_ms(median) + " ms of " + std::to_string(n) + " (min " + format_ms(call_ms.front()) +
         ", max " + format_ms(call_ms.back()) + ")";
}

}  // namespace velmora::render
