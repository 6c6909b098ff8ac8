// K water-balance calls in lockstep.
//
// The storage step is bound by the latency of its depth search: a chain of
// 5-10 dependent Newton iterations.  Independent calls (other storms, other
// outlets) do not wait on each other, so K of them run side by side: every
// round makes one iteration of the depth search of every lane, in vector
// registers (storage/depth_search.h), and a lane whose search has ended
// finishes its step and starts the next on its own (storage/storm_step.h).
// A lane whose call ends takes the next pending call.  The lanes give every
// call the results of the call made alone (water_balance()), bit for bit
// (tests/storage/water_balance_lanes_test.cpp); a call that would show
// something, stop the run or need its statistics step by step ends with
// CallOutcome::alone.
#pragma once

#include "storage/storm_step.h"

namespace sitedrain::storage {

// The lane count of the search, chosen by measurement (bench: --lanes and
// the typical case: 16 lanes x0.42 of the bare step, 8 lanes x0.47).
inline constexpr int kLanes = 16;

template <int K>
class WaterBalanceLanes {
  static_assert(K >= 1 && K <= kMaxLanes);

 public:
  explicit WaterBalanceLanes(LaneIsa isa = lane_isa()) : isa_(isa) {
    for (int l = 0; l < kMaxLanes; ++l) idle(l);
  }

  // Runs calls until there are none: feed(StormCall&) -> bool gives the next
  // pending call (false: none now), done(const StormCall&, const CallOutcome&)
  // takes each ended call, and may make further calls pending.  Calls end in
  // any order.  After an exception of feed or done the lanes start afresh at
  // the next run.
  template <class Feed, class Done>
  void run(Feed&& feed, Done&& done);

 private:
  // Loads a lane's search, or makes the lane idle (a search that stays
  // finite, the root of x - 0.5 on [0, 1]).
  void load(int l);
  void idle(int l);
  // Takes pending calls into lane l until one needs a search; false when
  // there are none.
  template <class Feed, class Done>
  bool fill(int l, Feed& feed, Done& done);

  const LaneIsa isa_;
  SearchColumns c_;
  StormStep lane_[K];
  int started_[K] = {};  // round at which the lane's search began
  unsigned busy_ = 0;    // lanes with a search
  int round_ = 0;
  int deadline_ = 0;  // no search reaches kMaxDepthIterations before this round
};

// ---------------------------------------------------------------------------

template <int K>
void WaterBalanceLanes<K>::load(int l) {
  load_search(lane_[l].search(), c_, l);
  started_[l] = round_;
  if (busy_ == 0 || round_ + kMaxDepthIterations < deadline_)
    deadline_ = round_ + kMaxDepthIterations;
  busy_ |= 1u << l;
}

template <int K>
void WaterBalanceLanes<K>::idle(int l) {
  DepthSearch x_less_half;
  x_less_half.S = 0.5;
  x_less_half.base_area = 1.0;
  x_less_half.rts = 0.5;
  x_less_half.xh = 1.0;
  x_less_half.dx = x_less_half.dxold = 1.0;
  x_less_half.df = 1.0;
  load_search(x_less_half, c_, l);
  busy_ &= ~(1u << l);
}

template <int K>
template <class Feed, class Done>
bool WaterBalanceLanes<K>::fill(int l, Feed& feed, Done& done) {
  StormCall call;
  while (feed(call)) {
    if (lane_[l].start(call) == StormStep::Next::search) {
      load(l);
      return true;
    }
    done(lane_[l].call(), lane_[l].outcome());
  }
  idle(l);
  return false;
}

template <int K>
template <class Feed, class Done>
void WaterBalanceLanes<K>::run(Feed&& feed, Done&& done) {
  for (int l = 0; l < K; ++l) idle(l);
  for (int l = 0; l < K; ++l) fill(l, feed, done);
  unsigned pending = 0;
  while ((busy_ | pending) != 0) {
    ++round_;
    unsigned ended = iterate_searches(c_, K, isa_) & busy_;
    // A search that has not ended after kMaxDepthIterations is left to the
    // call made alone, which gives up with a warning.
    if (round_ >= deadline_) {
      deadline_ = round_ + kMaxDepthIterations;
      for (unsigned rest = busy_ & ~ended; rest != 0; rest &= rest - 1) {
        const int l = __builtin_ctz(rest);
        if (round_ - started_[l] >= kMaxDepthIterations) {
          lane_[l].abandon();
          done(lane_[l].call(), lane_[l].outcome());
          fill(l, feed, done);
        } else if (started_[l] + kMaxDepthIterations < deadline_) {
          deadline_ = started_[l] + kMaxDepthIterations;
        }
      }
    }
    for (unsigned p = pending; p != 0; p &= p - 1) load(__builtin_ctz(p));
    pending = 0;
    busy_ &= ~ended;
    for (; ended != 0; ended &= ended - 1) {
      const int l = __builtin_ctz(ended);
      if (lane_[l].resume(c_.rts[l]) == StormStep::Next::search) {
        pending |= 1u << l;
      } else {
        done(lane_[l].call(), lane_[l].outcome());
        fill(l, feed, done);
      }
    }
  }
}

}  // namespace sitedrain::storage
