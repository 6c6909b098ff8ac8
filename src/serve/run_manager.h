// The runs of the server: each the program itself in a child process on
// its case folder, one at a time per case and at most one per processor
// core at once (more wait in turn), each with its progress read from the
// run's progress file.  A run that fails or is cancelled ends its child
// only; the server goes on.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace sitedrain::serve {

// What one run is started with.
struct RunRequest {
  std::filesystem::path case_dir;       // absolute; the child's working folder
  std::vector<std::string> args;        // the child's arguments
  std::filesystem::path console_file;   // the child's standard output and error
  std::filesystem::path progress_file;  // the run's progress file (may be empty)
};

enum class RunState { none, waiting, running, finished, failed, cancelled };

// Where a case's run stands.
struct RunStatus {
  RunState state = RunState::none;
  double percent = 0.0;          // of the design storms begun, from the progress file
  double elapsed_s = 0.0;        // since the child started
  std::optional<double> left_s;  // estimate of the time left, when there is one
  int exit_status = 0;           // finished or failed: the child's exit status
  std::string message;           // failed: why, when the child could not start
};

class RunManager {
 public:
  // program: the executable started for each run; max_running: runs at
  // once (0: the machine's cores).
  explicit RunManager(std::filesystem::path program, unsigned max_running = 0);
  ~RunManager();  // cancels every run and waits for its child
  RunManager(const RunManager&) = delete;
  RunManager& operator=(const RunManager&) = delete;

  // Starts (or queues) a run of the case; false when the case has one
  // waiting or running already.
  bool start(const std::string& case_name, RunRequest request);
  // Cancels the case's waiting or running run; false when it has none.
  bool cancel(const std::string& case_name);
  RunStatus status(const std::string& case_name) const;
  // Runs running or waiting now.
  std::size_t active() const;
  // The process ids of the children running now.
  std::vector<long> child_ids() const;
  unsigned max_running() const { return max_running_; }

 private:
  struct Run;
  using Clock = std::chrono::steady_clock;
  void launch_locked(const std::shared_ptr<Run>& run);
  void supervise(std::shared_ptr<Run> run);

  std::filesystem::path program_;
  unsigned max_running_;
  mutable std::mutex mutex_;
  std::map<std::string, std::shared_ptr<Run>> runs_;  // the last run of each case
  std::vector<std::shared_ptr<Run>> waiting_;         // in the order started
  unsigned running_ = 0;
  std::vector<std::thread> threads_;  // of the launched runs (ended ones joined at the next start)
  std::vector<std::thread::id> ended_threads_;
  bool closing_ = false;
};

// In: a progress file's text ("     50." and a line end).  Out: the
// percentage, or nothing when the text holds none.
std::optional<double> parse_progress(const std::string& text);

}  // namespace sitedrain::serve
