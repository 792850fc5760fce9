// Runs the jobs of a command line, `-j` at a time, and reports them in the
// order they were given, so that the output of any -j equals that of -j 1:
// one line per failure, --info or --time text, progress on a terminal, and a
// summary line for batches.
#pragma once

#include "render/job_list.h"
#include "render/options.h"

namespace velmora::render {

// The number of jobs that failed.
std::size_t run_batch(const JobList& list, const Options& options);

}  // namespace velmora::render
