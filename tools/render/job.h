// One input of a run: read it, tell its kind, then describe it (--info) or
// draw it and write its PNG. Jobs share nothing, so several run at once.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "render/options.h"

namespace velmora::render {

struct Job {
  std::string input;                   // a path, or "-" for standard input
  std::string output;                  // a path, or "-" for standard output; empty with --info
  std::optional<std::string> failure;  // known before the job runs (e.g. a clash of output names)
  bool make_folders = false;           // a batch makes the output's folders as it needs them
};

struct JobResult {
  bool ok = false;
  std::string text;  // --info's description, the --time line, or the failure's reason
  std::vector<double> call_ms;
};

JobResult run_job(const Job& job, const Options& options);

// "median 3.1 ms of 20 (min 2.9, max 4.0)", or "3.1 ms" for one call.
std::string timing_text(std::vector<double> call_ms);

}  // namespace velmora::render
