#include "design/ordered_executor.h"

#include <algorithm>

namespace sitedrain::design {

OrderedExecutor::OrderedExecutor(std::size_t count, std::vector<std::size_t> take_order,
                                 int threads, std::size_t batch, Run run)
    : order_(std::move(take_order)),
      batch_(std::max<std::size_t>(batch, 1)),
      run_(std::move(run)),
      done_(count, 0) {
  const std::size_t claims = (order_.size() + batch_ - 1) / batch_;
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

void OrderedExecutor::work() {
  for (;;) {
    if (cancelled_) return;
    const std::size_t first = next_.fetch_add(batch_);
    if (first >= order_.size()) return;
    const std::size_t end = std::min(first + batch_, order_.size());
    const std::span<const std::size_t> claim(order_.data() + first, end - first);
    try {
      run_(claim);
    } catch (...) {
      cancelled_ = true;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!failure_) failure_ = std::current_exception();
      }
      done_cv_.notify_all();
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

}  // namespace sitedrain::design
