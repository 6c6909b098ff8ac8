// An ordered parallel executor: numbered tasks computed on worker threads,
// taken in a given order, and handed to one consumer thread in whatever
// order it asks for them (the order of the output).
//
// Workers claim tasks `batch` at a time and run each claim with one call of
// the run function, so a runner can keep several tasks of one thread in
// flight.  A task is done when the call that ran it returns.  An exception
// thrown by a run call (other than a failure the runner records in its own
// outcomes) ends the taking of tasks and is rethrown on the consumer thread
// by the next wait; the destructor stops the workers and joins them.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace sitedrain::parallel {

class OrderedExecutor {
 public:
  using Run = std::function<void(std::span<const std::size_t> tasks)>;

  // The tasks of one worker for a run function that takes them one at a
  // time, as it has room for them, and reports each as soon as it is done.
  class Stream {
   public:
    // The next task to compute; false when none is left or the run failed.
    bool next(std::size_t& task);
    // Task `task` (taken with next) is done.
    void done(std::size_t task);

   private:
    friend class OrderedExecutor;
    explicit Stream(OrderedExecutor& e) : e_(e) {}
    OrderedExecutor& e_;
  };
  using StreamRun = std::function<void(Stream& tasks)>;

  // In: the number of tasks, the order in which workers take them (task
  // numbers, each once), the thread count (0: all hardware threads; at most
  // one per claim), the tasks per claim and the run function.  Starts the
  // workers.
  OrderedExecutor(std::size_t count, std::vector<std::size_t> take_order, int threads,
                  std::size_t batch, Run run);
  // The same with one call of stream_run per worker, which takes its tasks
  // through the Stream (a task is done when reported done).
  OrderedExecutor(std::size_t count, std::vector<std::size_t> take_order, int threads,
                  StreamRun stream_run);
  ~OrderedExecutor();
  OrderedExecutor(const OrderedExecutor&) = delete;
  OrderedExecutor& operator=(const OrderedExecutor&) = delete;

  // Blocks until task `task` is done.  Rethrows the first exception of a
  // run call, whether or not it concerned this task.
  void wait(std::size_t task);

  // Stops taking tasks and joins the workers (done by the destructor).
  void stop();

 private:
  void work();
  void start(int threads, std::size_t claims);
  void fail();

  std::vector<std::size_t> order_;
  std::size_t batch_;
  Run run_;
  StreamRun stream_run_;
  std::vector<char> done_;
  std::exception_ptr failure_;
  std::atomic<std::size_t> next_{0};
  std::atomic<bool> cancelled_{false};
  std::mutex mutex_;
  std::condition_variable done_cv_;
  std::vector<std::thread> workers_;
};

}  // namespace sitedrain::parallel
