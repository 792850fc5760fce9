// velmora-render: draws metafiles into PNG files through the library's
// exported functions (see --help).
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "render/batch.h"
#include "render/job_list.h"
#include "render/options.h"
#include "render/png_output.h"
#include "render/usage.h"

namespace {

constexpr int kAllDone = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;

int usage_error(const std::string& message) {
  std::fprintf(stderr, "velmora-render: %s\nTry 'velmora-render --help' for more.\n", message.c_str());
  return kUsageError;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace velmora::render;
  const auto parsed = parse_options(std::vector<std::string>(argv + 1, argv + argc));
  if (const auto* error = std::get_if<UsageError>(&parsed)) return usage_error(error->message);
  const Options& options = std::get<Options>(parsed);
  if (options.help) return std::fputs(help_text(), stdout) >= 0 ? kAllDone : kSomeFailed;
  if (options.version) return std::fputs(version_text(), stdout) >= 0 ? kAllDone : kSomeFailed;

  const JobList list = list_jobs(options);
  if (options.output == "-" && list.batch) return usage_error("-o - writes one PNG; a folder gives several");
  const bool to_stdout = std::any_of(list.jobs.begin(), list.jobs.end(), [](const Job& j) { return j.output == "-"; });
  if (to_stdout && ::isatty(STDOUT_FILENO)) {
    return usage_error("standard output is a terminal; give -o FILE or redirect it");
  }
  remember_file_mode();
  const std::size_t failed = run_batch(list, options);
  return failed == 0 ? kAllDone : kSomeFailed;
}
