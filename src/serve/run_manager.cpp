#include "serve/run_manager.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#include "serve/child_process.h"

namespace sitedrain::serve {

namespace fs = std::filesystem;

struct RunManager::Run {
  std::string case_name;
  RunRequest request;
  RunState state = RunState::waiting;
  bool cancel_asked = false;
  Clock::time_point started{};
  fs::file_time_type started_file_time{};
  std::unique_ptr<ChildProcess> child;
  int exit_status = 0;
  std::string message;
};

std::optional<double> parse_progress(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  const double p = std::strtod(begin, &end);
  if (end == begin || !(p >= 0.0 && p <= 100.0)) return std::nullopt;
  return p;
}

RunManager::RunManager(fs::path program, unsigned max_running)
    : program_(std::move(program)),
      max_running_(max_running ? max_running : std::max(1u, std::thread::hardware_concurrency())) {}

RunManager::~RunManager() {
  std::vector<std::thread> threads;
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
    waiting_.clear();
    for (auto& [name, run] : runs_) {
      run->cancel_asked = true;
      if (run->state == RunState::waiting) run->state = RunState::cancelled;
      if (run->child) run->child->kill();
    }
    threads.swap(threads_);
  }
  for (std::thread& t : threads) t.join();
}

bool RunManager::start(const std::string& case_name, RunRequest request) {
  std::lock_guard lock(mutex_);
  if (closing_) return false;
  // Threads of runs that have ended are joined here, so they do not pile up.
  for (const std::thread::id id : ended_threads_) {
    const auto t = std::find_if(threads_.begin(), threads_.end(),
                                [id](const std::thread& th) { return th.get_id() == id; });
    if (t != threads_.end()) {
      t->join();
      threads_.erase(t);
    }
  }
  ended_threads_.clear();
  auto& slot = runs_[case_name];
  if (slot && (slot->state == RunState::waiting || slot->state == RunState::running)) return false;
  slot = std::make_shared<Run>();
  slot->case_name = case_name;
  slot->request = std::move(request);
  if (running_ < max_running_)
    launch_locked(slot);
  else
    waiting_.push_back(slot);
  return true;
}

void RunManager::launch_locked(const std::shared_ptr<Run>& run) {
  ++running_;
  run->state = RunState::running;
  run->started = Clock::now();
  threads_.emplace_back(&RunManager::supervise, this, run);
}

// The run's own thread: starts the child, waits for its end, then gives
// its place to the next waiting run.  The child is started on this thread,
// which lives as long as the child (its parent-death signal follows the
// thread).
void RunManager::supervise(std::shared_ptr<Run> run) {
  std::error_code ec;
  run->started_file_time = fs::file_time_type::clock::now();
  std::unique_ptr<ChildProcess> child;
  std::string message;
  try {
    child = std::make_unique<ChildProcess>(program_, run->request.args, run->request.case_dir,
                                           run->request.console_file);
  } catch (const std::exception& e) {
    message = e.what();
  }
  ChildProcess* raw = child.get();
  {
    std::lock_guard lock(mutex_);
    run->child = std::move(child);
    if (raw && run->cancel_asked) raw->kill();
  }
  const int status = raw ? raw->wait() : -1;
  std::lock_guard lock(mutex_);
  run->exit_status = status;
  run->message = message;
  if (run->cancel_asked)
    run->state = RunState::cancelled;
  else
    run->state = status == 0 ? RunState::finished : RunState::failed;
  run->child.reset();  // reaped already
  --running_;
  ended_threads_.push_back(std::this_thread::get_id());
  if (!closing_ && !waiting_.empty()) {
    std::shared_ptr<Run> next = waiting_.front();
    waiting_.erase(waiting_.begin());
    launch_locked(next);
  }
}

bool RunManager::cancel(const std::string& case_name) {
  std::lock_guard lock(mutex_);
  const auto it = runs_.find(case_name);
  if (it == runs_.end()) return false;
  Run& run = *it->second;
  if (run.state == RunState::waiting) {
    std::erase(waiting_, it->second);
    run.cancel_asked = true;
    run.state = RunState::cancelled;
    return true;
  }
  if (run.state != RunState::running) return false;
  run.cancel_asked = true;
  if (run.child) run.child->kill();
  return true;
}

RunStatus RunManager::status(const std::string& case_name) const {
  RunStatus s;
  fs::path progress_file;
  fs::file_time_type since{};
  {
    std::lock_guard lock(mutex_);
    const auto it = runs_.find(case_name);
    if (it == runs_.end()) return s;
    const Run& run = *it->second;
    s.state = run.state;
    s.exit_status = run.exit_status;
    s.message = run.message;
    if (run.state != RunState::running) {
      if (run.state == RunState::finished) s.percent = 100.0;
      return s;
    }
    s.elapsed_s = std::chrono::duration<double>(Clock::now() - run.started).count();
    progress_file = run.request.progress_file;
    since = run.started_file_time;
  }
  // The progress file of this run only: one older than the run's start is
  // the last run's.
  std::error_code ec;
  if (!progress_file.empty() && fs::last_write_time(progress_file, ec) >= since && !ec) {
    std::ifstream in(progress_file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (const auto p = parse_progress(text.str())) {
      s.percent = *p;
      if (*p > 0.0) s.left_s = s.elapsed_s * (100.0 - *p) / *p;
    }
  }
  return s;
}

std::size_t RunManager::active() const {
  std::lock_guard lock(mutex_);
  return running_ + waiting_.size();
}

std::vector<long> RunManager::child_ids() const {
  std::lock_guard lock(mutex_);
  std::vector<long> ids;
  for (const auto& [name, run] : runs_)
    if (run->child) ids.push_back(run->child->id());
  return ids;
}

}  // namespace sitedrain::serve
