// What the memory and thread checkers must be told of the lane scheduler's
// fibers (parallel/lane_scheduler.cpp), so that they follow the storms of a
// thread from stack to stack instead of taking a switch for a fault:
//
// - AddressSanitizer: each switch announced (__sanitizer_start_switch_fiber)
//   and completed (__sanitizer_finish_switch_fiber) with the stacks' bounds;
// - ThreadSanitizer: a checker fiber per stack (__tsan_create_fiber), each
//   switch announced (__tsan_switch_to_fiber);
// - Valgrind: each fiber stack registered (VALGRIND_STACK_REGISTER, from the
//   valgrind headers; it does nothing when the program runs outside Valgrind).
//
// Each is compiled in only where it applies: the sanitizers' in their builds,
// Valgrind's in a plain Linux build where its headers are installed.  Without
// them every member is empty and inline, so a plain build switches as fast
// as before.  Fibers switch only between the scheduler's own stack and one
// fiber's, so the stack a switch comes back from is the one it went to.
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define SITEDRAIN_CHECK_FIBERS_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SITEDRAIN_CHECK_FIBERS_ASAN 1
#endif
#endif

#if defined(__SANITIZE_THREAD__)
#define SITEDRAIN_CHECK_FIBERS_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define SITEDRAIN_CHECK_FIBERS_TSAN 1
#endif
#endif

#if !defined(_WIN32) && !defined(SITEDRAIN_CHECK_FIBERS_ASAN) && \
    !defined(SITEDRAIN_CHECK_FIBERS_TSAN) && defined(__has_include)
#if __has_include(<valgrind/valgrind.h>)
#define SITEDRAIN_CHECK_FIBERS_VALGRIND 1
#endif
#endif

#if !defined(_WIN32)
#include <ucontext.h>
#endif
#if defined(SITEDRAIN_CHECK_FIBERS_ASAN)
#include <dlfcn.h>
#include <gnu/lib-names.h>
#include <sanitizer/common_interface_defs.h>
#endif
#if defined(SITEDRAIN_CHECK_FIBERS_TSAN)
#include <sanitizer/tsan_interface.h>
#endif
#if defined(SITEDRAIN_CHECK_FIBERS_VALGRIND)
#include <valgrind/valgrind.h>
#endif

namespace sitedrain::parallel {

// The checkers' record of one stack: a fiber's, or the scheduler's own (the
// thread's stack, which they learn of at the first switch).
class FiberChecks {
 public:
  FiberChecks() = default;
  FiberChecks(const FiberChecks&) = delete;
  FiberChecks& operator=(const FiberChecks&) = delete;

  // A fiber's stack: bytes from stack, not yet run on.
  void created([[maybe_unused]] char* stack, [[maybe_unused]] std::size_t bytes) {
#if defined(SITEDRAIN_CHECK_FIBERS_ASAN)
    bottom_ = stack;
    size_ = bytes;
#endif
#if defined(SITEDRAIN_CHECK_FIBERS_TSAN)
    tsan_ = __tsan_create_fiber(0);
    own_tsan_ = true;
#endif
#if defined(SITEDRAIN_CHECK_FIBERS_VALGRIND)
    valgrind_id_ = VALGRIND_STACK_REGISTER(stack, stack + bytes);
    registered_ = true;
#endif
  }

  ~FiberChecks() {
#if defined(SITEDRAIN_CHECK_FIBERS_TSAN)
    if (own_tsan_) __tsan_destroy_fiber(tsan_);
#endif
#if defined(SITEDRAIN_CHECK_FIBERS_VALGRIND)
    if (registered_) VALGRIND_STACK_DEREGISTER(valgrind_id_);
#endif
  }

  // On this stack, just before switching to the stack of `to`.
  void leave([[maybe_unused]] FiberChecks& to) {
#if defined(SITEDRAIN_CHECK_FIBERS_TSAN)
    if (!own_tsan_) tsan_ = __tsan_get_current_fiber();
    __tsan_switch_to_fiber(to.tsan_, 0);
#endif
#if defined(SITEDRAIN_CHECK_FIBERS_ASAN)
    __sanitizer_start_switch_fiber(&fake_stack_, to.bottom_, to.size_);
#endif
  }

  // On this stack, just after arriving from the stack of `from` (also at
  // the start of a fiber).
  void arrive([[maybe_unused]] FiberChecks& from) {
#if defined(SITEDRAIN_CHECK_FIBERS_ASAN)
    __sanitizer_finish_switch_fiber(fake_stack_, &from.bottom_, &from.size_);
#endif
  }

 private:
#if defined(SITEDRAIN_CHECK_FIBERS_ASAN)
  const void* bottom_ = nullptr;
  std::size_t size_ = 0;
  void* fake_stack_ = nullptr;  // the stack's frames moved off it (stack-use-after-return)
#endif
#if defined(SITEDRAIN_CHECK_FIBERS_TSAN)
  void* tsan_ = nullptr;
  bool own_tsan_ = false;
#endif
#if defined(SITEDRAIN_CHECK_FIBERS_VALGRIND)
  unsigned valgrind_id_ = 0;
  bool registered_ = false;
#endif
};

#if !defined(_WIN32)
#if defined(SITEDRAIN_CHECK_FIBERS_ASAN)
// AddressSanitizer's own swapcontext warns on standard error at its first use
// (the console tests would see it) and clears the shadow of the whole stack
// it switches to, the guards of the frames waiting there included.  Told of
// every switch by FiberChecks, it needs neither: the C library's serves.
inline int swap_context(ucontext_t* from, const ucontext_t* to) {
  using Swap = int (*)(ucontext_t*, const ucontext_t*);
  static const Swap swap = [] {
    void* libc = dlopen(LIBC_SO, RTLD_LAZY | RTLD_NOLOAD);
    void* own = libc != nullptr ? dlsym(libc, "swapcontext") : nullptr;
    return own != nullptr ? reinterpret_cast<Swap>(own) : &swapcontext;
  }();
  return swap(from, to);
}
#else
inline int swap_context(ucontext_t* from, const ucontext_t* to) {
  return swapcontext(from, to);
}
#endif

// Switches from context `from` (its stack's record from_checks) to `to`,
// and returns when a switch comes back to `from`.
inline void switch_context(ucontext_t& from, FiberChecks& from_checks, ucontext_t& to,
                           FiberChecks& to_checks) {
  from_checks.leave(to_checks);
  swap_context(&from, &to);
  from_checks.arrive(to_checks);
}
#endif

}  // namespace sitedrain::parallel
