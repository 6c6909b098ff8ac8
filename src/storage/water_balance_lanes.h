// K water-balance calls in lockstep.
//
// The storage step is bound by the latency of its depth search: a chain of
// 5-10 dependent Newton iterations.  Independent calls (other storms, other
// outlets) do not wait on each other, so K of them run side by side: every
// round makes one iteration of the depth search of every lane, in vector
// registers (storage/lane_search.h), and a lane whose search has ended
// finishes its step and starts the next on its own (storage/lane_call.h).  A
// lane whose call ends takes the next pending call.
//
// Each lane's arithmetic is that of the scalar call, operation by operation
// in the same order: vector additions, multiplications, divisions and
// comparisons round as the scalar ones do (no fused multiply-add: the build
// uses -ffp-contract=off), and where the scalar code branches the lanes form
// both sides and keep the one the scalar code would take.  Every lane's
// results are therefore those of water_balance<ReplayedInflow, Lookup::fast,
// true> with one-second steps, bit for bit
// (tests/storage/water_balance_lanes_test.cpp).
#pragma once

#include "numeric/rtsafe.h"
#include "storage/lane_call.h"
#include "storage/lane_search.h"

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

  // Runs calls until there are none: feed(LaneCall&) -> bool gives the next
  // pending call (false: none now), done(const LaneCall&, const LaneOutcome&)
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
  LaneState lane_[K];
  int started_[K] = {};  // round at which the lane's search began
  unsigned busy_ = 0;    // lanes with a search
  int round_ = 0;
  int deadline_ = 0;  // no search reaches kRtsafeMaxit iterations before this round
};

// ---------------------------------------------------------------------------

template <int K>
void WaterBalanceLanes<K>::load(int l) {
  const DepthSearch& s = lane_[l].search();
  c_.S[l] = s.S;
  c_.b[l] = s.b;
  c_.c1[l] = s.c1;
  c_.c2[l] = s.c2;
  c_.c3[l] = s.c3;
  c_.c4[l] = s.c4;
  c_.c5[l] = s.c5;
  c_.rts[l] = s.rts;
  c_.xl[l] = s.xl;
  c_.xh[l] = s.xh;
  c_.dx[l] = s.dx;
  c_.dxold[l] = s.dxold;
  c_.f[l] = s.f;
  c_.df[l] = s.df;
  started_[l] = round_;
  if (busy_ == 0 || round_ + numeric::kRtsafeMaxit < deadline_)
    deadline_ = round_ + numeric::kRtsafeMaxit;
  busy_ |= 1u << l;
}

template <int K>
void WaterBalanceLanes<K>::idle(int l) {
  c_.S[l] = 0.5;
  c_.b[l] = c_.c1[l] = c_.c2[l] = c_.c4[l] = c_.c5[l] = 0.0;
  c_.c3[l] = 1.0;
  c_.rts[l] = 0.5;
  c_.xl[l] = 0.0;
  c_.xh[l] = 1.0;
  c_.dx[l] = c_.dxold[l] = 1.0;
  c_.f[l] = 0.0;
  c_.df[l] = 1.0;
  busy_ &= ~(1u << l);
}

template <int K>
template <class Feed, class Done>
bool WaterBalanceLanes<K>::fill(int l, Feed& feed, Done& done) {
  LaneCall call;
  while (feed(call)) {
    if (lane_[l].start(call) == LaneState::Next::search) {
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
    // rtsafe_core pauses after kRtsafeMaxit iterations without an end.
    if (round_ >= deadline_) {
      deadline_ = round_ + numeric::kRtsafeMaxit;
      for (unsigned rest = busy_ & ~ended; rest != 0; rest &= rest - 1) {
        const int l = __builtin_ctz(rest);
        if (round_ - started_[l] >= numeric::kRtsafeMaxit) {
          lane_[l].abandon();
          done(lane_[l].call(), lane_[l].outcome());
          fill(l, feed, done);
        } else if (started_[l] + numeric::kRtsafeMaxit < deadline_) {
          deadline_ = started_[l] + numeric::kRtsafeMaxit;
        }
      }
    }
    for (unsigned p = pending; p != 0; p &= p - 1) load(__builtin_ctz(p));
    pending = 0;
    busy_ &= ~ended;
    for (; ended != 0; ended &= ended - 1) {
      const int l = __builtin_ctz(ended);
      if (lane_[l].resume(c_.rts[l]) == LaneState::Next::search) {
        pending |= 1u << l;
      } else {
        done(lane_[l].call(), lane_[l].outcome());
        fill(l, feed, done);
      }
    }
  }
}

}  // namespace sitedrain::storage
