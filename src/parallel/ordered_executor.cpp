#include "parallel/ordered_executor.h"

#include <algorithm>

namespace sitedrain::parallel {

OrderedExecutor::OrderedExecutor(std::size_t count, std::vector<std::size_t> take_order,
                                 int threads, std::size_t batch, Run run)
    : order_(std::move(take_order)),
      batch_(std::max<std::size_t>(batch, 1)),
      run_(std::move(run)),
      done_(count, 0) {
  start(threads, (order_.size() + batch_ - 1) / batch_);
}

OrderedExecutor::OrderedExecutor(std::size_t count, std::vector<std::size_t> take_order,
                                 int threads, StreamRun stream_run)
    : order_(std::move(take_order)),
      batch_(1),
      stream_run_(std::move(stream_run)),
      done_(count, 0) {
  start(threads, order_.size());
}

// Starts the workers: threads of them (0: one per hardware thread), at most
// one per claim and at least one.
void OrderedExecutor::start(int threads, std::size_t claims) {
  std::size_t n = threads > 0 ? static_cast<std::size_t>(threads)
                              : static_cast<std::size_t>(std::thread::hardware_concurrency());
  n = std::max<std::size_t>(1, std::min(n, claims));
  try {
    for (std::size_t t = 0; t < n; ++t) workers_.emplace_back([this] { work(); });
  } catch (...) {
    stop();
    throw;
  }
}

OrderedExecutor::~OrderedExecutor() {
  stop();
}

// Records the exception being handled as the run's failure.
void OrderedExecutor::fail() {
  cancelled_ = true;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!failure_) failure_ = std::current_exception();
  }
  done_cv_.notify_all();
}

bool OrderedExecutor::Stream::next(std::size_t& task) {
  if (e_.cancelled_) return false;
  const std::size_t at = e_.next_++;
  if (at >= e_.order_.size()) return false;
  task = e_.order_[at];
  return true;
}

void OrderedExecutor::Stream::done(std::size_t task) {
  {
    std::lock_guard<std::mutex> lock(e_.mutex_);
    e_.done_[task] = 1;
  }
  e_.done_cv_.notify_all();
}

void OrderedExecutor::work() {
  if (stream_run_) {
    Stream tasks(*this);
    try {
      stream_run_(tasks);
    } catch (...) {
      fail();
    }
    return;
  }
  for (;;) {
    if (cancelled_) return;
    const std::size_t first = next_.fetch_add(batch_);
    if (first >= order_.size()) return;
    const std::size_t end = std::min(first + batch_, order_.size());
    const std::span<const std::size_t> claim(order_.data() + first, end - first);
    try {
      run_(claim);
    } catch (...) {
      fail();
      return;
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      for (std::size_t t : claim) done_[t] = 1;
    }
    done_cv_.notify_all();
  }
}

void OrderedExecutor::wait(std::size_t task) {
  std::unique_lock<std::mutex> lock(mutex_);
  done_cv_.wait(lock, [&] { return done_[task] != 0 || failure_ != nullptr; });
  if (failure_) std::rethrow_exception(failure_);
}

void OrderedExecutor::stop() {
  cancelled_ = true;
  for (std::thread& w : workers_) w.join();
  workers_.clear();
}

}  // namespace sitedrain::parallel
