// The inputs of a run as jobs: folders searched recursively for metafiles
// (told by content, whatever their names), each given its output path.
//
// One input that is not a folder writes to -o (a file, or a folder to put
// it in) or beside itself; otherwise -o names the output folder, where each
// file keeps its path relative to the folder it was found in.
#pragma once

#include <string>
#include <vector>

#include "render/job.h"
#include "render/options.h"

namespace velmora::render {

struct JobList {
  std::vector<Job> jobs;
  bool batch = false;  // several inputs or a folder: progress and a summary
};

JobList list_jobs(const Options& options);

}  // namespace velmora::render
