#include "parallel/lane_scheduler.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef NOGDI
#define NOGDI
#endif
// The Windows headers' own intrinsics warn at -O2 (array bounds of the
// thread block); they are not this program's code.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
#include <windows.h>
#pragma GCC diagnostic pop
#else
#include <ucontext.h>
#endif

#include <cstddef>
#include <deque>
#include <new>

#include "parallel/fiber_checks.h"
#include "storage/water_balance_lanes.h"
#include "textio/console.h"

// Windows has no ucontext; its own fibers serve instead.  The memory and
// thread checkers are told of every switch (parallel/fiber_checks.h).

namespace sitedrain::parallel {

namespace {

constexpr std::size_t kStackBytes = 512 * 1024;  // touched only as far as used

thread_local LaneScheduler* t_current = nullptr;

// Unwinds a job in progress when the run ends with an exception.
struct Cancelled {};

}  // namespace

struct LaneScheduler::Context {
#if defined(_WIN32)
  void* fiber = nullptr;
#else
  ucontext_t uc{};
#endif
  FiberChecks checks;
};

struct LaneScheduler::Fiber {
  LaneScheduler* owner = nullptr;
  int index = 0;
  Context ctx;
  std::unique_ptr<char[]> stack;
  Job job;
  bool busy = false;    // has a job (running, or waiting in call())
  bool cancel = false;  // call() throws Cancelled when the job resumes
  storage::StormCall call;
  storage::CallOutcome outcome;
  console::Recording* recording = nullptr;  // the job's console redirection
};

thread_local LaneScheduler::Fiber* LaneScheduler::starting_ = nullptr;

namespace {

#if !defined(_WIN32)
// A context that starts entry on the given stack.
void make_context(ucontext_t& uc, char* stack, void (*entry)()) {
  getcontext(&uc);
  uc.uc_stack.ss_sp = stack;
  uc.uc_stack.ss_size = kStackBytes;
  uc.uc_link = nullptr;
  makecontext(&uc, entry, 0);
}

#endif

}  // namespace

// In: the fiber count.  Makes the fibers, each with its own stack.
LaneScheduler::LaneScheduler(int fibers) : main_(std::make_unique<Context>()) {
  for (int k = 0; k < fibers; ++k) {
    auto f = std::make_unique<Fiber>();
    f->owner = this;
    f->index = k;
#if defined(_WIN32)
    f->ctx.fiber = CreateFiberEx(
        64 * 1024, kStackBytes, 0, [](void*) { fiber_main(); }, nullptr);
    if (f->ctx.fiber == nullptr) throw std::bad_alloc();
#else
    f->stack.reset(new char[kStackBytes]);
    make_context(f->ctx.uc, f->stack.get(), &LaneScheduler::fiber_main);
    f->ctx.checks.created(f->stack.get(), kStackBytes);
#endif
    fibers_.push_back(std::move(f));
  }
}

LaneScheduler::~LaneScheduler() {
#if defined(_WIN32)
  for (auto& f : fibers_)
    if (f->ctx.fiber != nullptr) DeleteFiber(f->ctx.fiber);
#endif
}

LaneScheduler* LaneScheduler::current() {
  return t_current;
}

// A fiber's life: its jobs one after another, each ended by a return to the
// scheduler.
void LaneScheduler::fiber_main() {
  Fiber* f = starting_;
  LaneScheduler& s = *f->owner;
  f->ctx.checks.arrive(s.main_->checks);
  for (;;) {
    try {
      f->job();
    } catch (const Cancelled&) {
    } catch (...) {
      if (!s.error_) s.error_ = std::current_exception();
    }
    f->job = nullptr;
    f->busy = false;
    s.suspend(*f);
  }
}

// From the scheduler: runs fiber f until its job waits or ends, with the
// job's console redirection.
void LaneScheduler::resume(Fiber& f) {
  console::Recording* mine = console::exchange_recording(f.recording);
  running_ = &f;
  starting_ = &f;
#if defined(_WIN32)
  SwitchToFiber(f.ctx.fiber);
#else
  switch_context(main_->uc, main_->checks, f.ctx.uc, f.ctx.checks);
#endif
  running_ = nullptr;
  f.recording = console::exchange_recording(mine);
}

// From fiber f: back to the scheduler.
void LaneScheduler::suspend(Fiber& f) {
#if defined(_WIN32)
  (void)f;
  SwitchToFiber(main_->fiber);
#else
  switch_context(f.ctx.uc, f.ctx.checks, main_->uc, main_->checks);
#endif
}

storage::CallOutcome LaneScheduler::call(const storage::StormCall& c) {
  Fiber& f = *running_;
  if (f.cancel) throw Cancelled{};
  f.call = c;
  f.call.tag = static_cast<std::uint64_t>(f.index);
  queue_.push_back(&f);
  suspend(f);
  if (f.cancel) throw Cancelled{};
  return f.outcome;
}

void LaneScheduler::run(const std::function<bool(Job&)>& next) {
  LaneScheduler* outer = t_current;
  t_current = this;
#if defined(_WIN32)
  // The thread becomes a fiber for as long as it schedules, so that the
  // job fibers can switch back to it.
  struct ThreadFiber {
    bool converted = false;
    explicit ThreadFiber(Context& main) {
      if (IsThreadAFiber()) {
        main.fiber = GetCurrentFiber();
      } else {
        main.fiber = ConvertThreadToFiber(nullptr);
        if (main.fiber == nullptr) throw std::bad_alloc();
        converted = true;
      }
    }
    ~ThreadFiber() {
      if (converted) ConvertFiberToThread();
    }
  } thread_fiber(*main_);
#endif
  bool more = true;
  auto check = [&] {
    if (error_) throw Cancelled{};
  };
  // The next call for a lane: a waiting job's, else one of a new job.
  auto feed = [&](storage::StormCall& c) {
    for (;;) {
      if (!queue_.empty()) {
        c = queue_.front()->call;
        queue_.pop_front();
        return true;
      }
      Fiber* free = nullptr;
      for (auto& f : fibers_)
        if (!f->busy) {
          free = f.get();
          break;
        }
      if (!more || free == nullptr) return false;
      Job job;
      if (!next(job)) {
        more = false;
        return false;
      }
      free->job = std::move(job);
      free->busy = true;
      free->cancel = false;
      free->recording = console::exchange_recording(nullptr);
      console::exchange_recording(free->recording);
      resume(*free);
      check();
    }
  };
  auto done = [&](const storage::StormCall& c, const storage::CallOutcome& o) {
    Fiber& f = *fibers_[static_cast<std::size_t>(c.tag)];
    f.outcome = o;
    resume(f);
    check();
  };
  try {
    storage::WaterBalanceLanes<storage::kLanes> lanes;
    lanes.run(feed, done);
  } catch (...) {
    if (!error_) error_ = std::current_exception();
  }
  if (error_) {
    // Every job in progress waits in call(): unwind it.
    queue_.clear();
    for (auto& f : fibers_)
      if (f->busy) {
        f->cancel = true;
        resume(*f);
      }
    t_current = outer;
    std::exception_ptr e = error_;
    error_ = nullptr;
    std::rethrow_exception(e);
  }
  t_current = outer;
}

}  // namespace sitedrain::parallel
