// Several storms of one thread side by side, their water-balance calls in
// lockstep lanes (storage/water_balance_lanes.h).
//
// Each job (the sizing of one storm, say) runs on a fiber of its own: plain
// sequential code with its own stack.  When it makes a water-balance call
// that can go to the lanes (replay()), it waits there and the thread runs
// the other jobs meanwhile, so that up to kLanes calls of different storms
// are in flight.  The passes of one storm stay in order: a job waits for each
// call before it goes on.  Each job keeps its own console redirection.
#pragma once

#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

#include "storage/water_balance.h"

namespace sitedrain::parallel {

class LaneScheduler {
 public:
  using Job = std::function<void()>;

  // fibers: jobs in progress at most (more than the lanes, so that the
  // lanes stay full while some jobs do other work or wait).
  explicit LaneScheduler(int fibers);
  ~LaneScheduler();
  LaneScheduler(const LaneScheduler&) = delete;
  LaneScheduler& operator=(const LaneScheduler&) = delete;

  // Runs jobs taken from next (false: none left) until all have ended; a
  // new job starts only when the lanes would otherwise wait.  An exception
  // of a job ends the jobs in progress (their stacks unwound) and leaves run.
  void run(const std::function<bool(Job&)>& next);

  // The scheduler whose job is running on this thread, or nullptr.
  static LaneScheduler* current();

  // From a job: makes the call in the lanes, the job waiting meanwhile.
  storage::CallOutcome call(const storage::StormCall& c);

 private:
  struct Fiber;
  void resume(Fiber& f);
  void suspend(Fiber& f);
  static void fiber_main();
  void rethrow_after_cancel();

  static thread_local Fiber*
      starting_;  // the fiber that starts next (makecontext passes no pointer)
  std::vector<std::unique_ptr<Fiber>> fibers_;
  std::deque<Fiber*> queue_;  // jobs whose call waits for a lane
  Fiber* running_ = nullptr;
  struct Context;
  std::unique_ptr<Context> main_;  // the thread's own context while a fiber runs
  std::exception_ptr error_;
};

}  // namespace sitedrain::parallel
