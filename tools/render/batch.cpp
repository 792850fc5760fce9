#include "render/batch.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "render/progress.h"

namespace velmora::render {
namespace {

// Results filled in by the workers, taken in order by the reporter.
class ResultBoard {
 public:
  explicit ResultBoard(std::size_t count) : results_(count), ready_(count, false) {}

  void put(std::size_t index, JobResult result) {
    {
      std::lock_guard lock(mutex_);
      results_[index] = std::move(result);
      ready_[index] = true;
    }
    changed_.notify_all();
  }

  JobResult take(std::size_t index) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return ready_[index]; });
    return std::move(results_[index]);
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<JobResult> results_;
  std::vector<bool> ready_;
};

// Prints what each job tells, in job order.
class Reporter {
 public:
  Reporter(const JobList& list, const Options& options)
      : list_(list), options_(options), progress_(list.jobs.size(), list.batch) {}

  void report(std::size_t index, const JobResult& result) {
    const Job& job = list_.jobs[index];
    if (!result.ok) {
      ++failed_;
      progress_.message("velmora-render: " + job.input + ": " + result.text);
    } else if (options_.info) {
      print_info(result.text);
    } else if (!result.text.empty()) {
      print_report(job.input + ": " + result.text + "\n");
    }
    progress_.advance(job.input);
  }

  void finish(double seconds) {
    if (options_.info && options_.json && list_.batch) print_report(printed_ ? "\n]\n" : "[]\n");
    if (!list_.batch) return;
    const std::size_t done = list_.jobs.size() - failed_;
    char line[160];
    std::snprintf(line, sizeof line, "velmora-render: %zu %s, %zu failed, %.2f s", done,
                  options_.info ? "described" : "rendered", failed_, seconds);
    progress_.message(line);
  }

  std::size_t failed() const { return failed_; }

 private:
  // Several --json descriptions make one array.
  void print_info(const std::string& text) {
    std::string out = text;
    if (options_.json && list_.batch) {
      out = (printed_ ? ",\n" : "[\n") + text.substr(0, text.size() - 1);
    } else if (list_.batch && printed_) {
      out = "\n" + text;
    }
    printed_ = true;
    print_report(out);
  }

  // Reports go to standard output unless the PNG does.
  void print_report(const std::string& text) {
    std::FILE* stream = options_.output == "-" ? stderr : stdout;
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
  }

  const JobList& list_;
  const Options& options_;
  Progress progress_;
  std::size_t failed_ = 0;
  bool printed_ = false;
};

}  // namespace

std::size_t run_batch(const JobList& list, const Options& options) {
  const auto start = std::chrono::steady_clock::now();
  const std::size_t count = list.jobs.size();
  ResultBoard board(count);
  std::mutex next_mutex;
  std::size_t next = 0;
  const auto work = [&] {
    for (;;) {
      std::size_t index = 0;
      {
        std::lock_guard lock(next_mutex);
        if (next == count) return;
        index = next++;
      }
      board.put(index, run_job(list.jobs[index], options));
    }
  };
  // One job runs on this thread; more run on workers while this one reports.
  const std::size_t workers = count > 1 ? std::min<std::size_t>(static_cast<std::size_t>(options.jobs), count) : 0;
  std::vector<std::jthread> threads;
  for (std::size_t i = 0; i < workers; ++i) threads.emplace_back(work);
  Reporter reporter(list, options);
  if (workers == 0) work();
  for (std::size_t i = 0; i < count; ++i) reporter.report(i, board.take(i));
  threads.clear();
  reporter.finish(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  return reporter.failed();
}

}  // namespace velmora::render
