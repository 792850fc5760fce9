#include "render/job_list.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "render/metafile.h"

namespace velmora::render {
namespace {

namespace fs = std::filesystem;

// Enough of a file's start to tell its kind: the EMF signature ends at 44,
// the WMF header behind a placeable one at 40.
constexpr std::size_t kSniffBytes = 44;

bool is_folder(const std::string& path) {
  std::error_code error;
  return path != "-" && fs::is_directory(path, error);
}

bool looks_like_metafile(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return true;  // let the job report why it cannot be read
  std::uint8_t start[kSniffBytes];
  const ssize_t got = ::read(fd, start, sizeof start);
  ::close(fd);
  return got > 0 && sniff_kind(std::span<const std::uint8_t>(start, static_cast<std::size_t>(got))).has_value();
}

fs::path as_png(fs::path path) { return path.replace_extension(".png"); }

// The metafiles under `folder`, in a fixed order so that runs agree.
std::vector<fs::path> metafiles_in(const fs::path& folder) {
  std::vector<fs::path> found;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
       !error && it != end; it.increment(error)) {
    if (it->is_regular_file(error) && looks_like_metafile(it->path())) found.push_back(it->path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::string output_of_single(const Options& options, const std::string& input) {
  if (options.info) return {};
  if (input == "-") return options.output.value_or("-");
  if (!options.output) return as_png(input).string();
  if (is_folder(*options.output)) return (fs::path(*options.output) / as_png(fs::path(input).filename())).string();
  return *options.output;
}

// Outputs in a batch: in -o's folder, or beside each input.
std::string output_in_batch(const Options& options, const fs::path& relative, const fs::path& input) {
  if (options.info) return {};
  if (!options.output) return as_png(input).string();
  return (fs::path(*options.output) / as_png(relative)).lexically_normal().string();
}

// A later job that would overwrite an earlier one's output fails instead.
void refuse_clashes(std::vector<Job>& jobs) {
  std::map<std::string, std::string> first_input;
  for (Job& job : jobs) {
    if (job.output.empty() || job.output == "-") continue;
    const auto [it, fresh] = first_input.emplace(job.output, job.input);
    if (!fresh) job.failure = "output " + job.output + " is already written for " + it->second;
  }
}

void add_folder(const Options& options, const std::string& folder, std::vector<Job>& jobs) {
  for (const fs::path& file : metafiles_in(folder)) {
    jobs.push_back(Job{file.string(), output_in_batch(options, file.lexically_relative(folder), file), std::nullopt});
  }
}

}  // namespace

JobList list_jobs(const Options& options) {
  JobList list;
  list.batch = options.inputs.size() > 1 || std::any_of(options.inputs.begin(), options.inputs.end(), is_folder);
  if (!list.batch) {
    const std::string& input = options.inputs.front();
    list.jobs.push_back(Job{input, output_of_single(options, input), std::nullopt});
    return list;
  }
  for (const std::string& input : options.inputs) {
    if (input == "-") {
      list.jobs.push_back(Job{input, output_in_batch(options, "stdin.png", "stdin.png"), std::nullopt});
    } else if (!is_folder(input)) {
      list.jobs.push_back(Job{input, output_in_batch(options, fs::path(input).filename(), input), std::nullopt});
    } else {
      add_folder(options, input, list.jobs);
    }
  }
  for (Job& job : list.jobs) job.make_folders = true;
  refuse_clashes(list.jobs);
  return list;
}

}  // namespace velmora::render
