// K water-balance calls in lockstep.
//
// The storage step is bound by the latency of its depth search: a chain of
// 5-10 dependent Newton iterations.  Independent calls (other storms, other
// outlets) do not wait on each other, so K of them run side by side: every
// round makes one iteration of the depth search of every lane, in vector
// registers, and a lane whose search has ended finishes its step and starts
// the next on its own (LaneState).  A lane whose call ends takes the next
// pending call.
//
// Each lane's arithmetic is that of the scalar call, operation by operation
// in the same order: vector additions, multiplications, divisions and
// comparisons round as the scalar ones do (no fused multiply-add: the build
// uses -ffp-contract=off), and where the scalar code branches the lanes form
// both sides and keep the one the scalar code would take.  Every lane's
// results are therefore those of water_balance<ReplayedInflow, Lookup::fast,
// true> with one-second steps, bit for bit (tests/storage/water_balance_lanes_test.cpp).
#pragma once

#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "numeric/rtsafe.h"
#include "storage/lane_call.h"

namespace sitedrain::storage {

// The lane count of the search, chosen by measurement (bench: --lanes).
inline constexpr int kLanes = 4;

// Two doubles (GNU vector extensions: element-wise IEEE operations, one
// SSE2 register), and the result of comparing them: all bits set or none.
typedef double LaneV __attribute__((vector_size(16)));
typedef std::int64_t LaneM __attribute__((vector_size(16)));

template <int K>
class WaterBalanceLanes {
  static_assert(K >= 1 && K <= 16);

 public:
  WaterBalanceLanes() {
    for (int l = 0; l < 2 * P; ++l) idle(l);
  }

  // Runs calls until there are none: feed(LaneCall&) -> bool gives the next
  // pending call (false: none now), done(const LaneCall&, const LaneOutcome&)
  // takes each ended call, and may make further calls pending.  Calls end in
  // any order.  After an exception of feed or done the lanes start afresh at
  // the next run.
  template <class Feed, class Done>
  void run(Feed&& feed, Done&& done);

 private:
  static constexpr int P = (K + 1) / 2;  // vectors; an odd lane count leaves one idle element
  using V = LaneV;
  using M = LaneM;

  // One iteration of every lane's search; returns the lanes whose search
  // ended as bits.
  unsigned iterate();
  // Loads a lane's search, or makes the lane idle (a search that stays
  // finite, the root of x - 0.5 on [0, 1]).
  void load(int l);
  void idle(int l);
  // Takes pending calls into lane l until one needs a search; false when
  // there are none.
  template <class Feed, class Done>
  bool fill(int l, Feed& feed, Done& done);

  LaneState lane_[K];
  int started_[K] = {};  // round at which the lane's search began
  unsigned busy_ = 0;    // lanes with a search
  int round_ = 0;
  int deadline_ = 0;     // no search reaches kRtsafeMaxit iterations before this round
  // The searches, one element per lane, read and written two lanes at a time.
  struct alignas(16) Column {
    double v[2 * P];
    V get(int p) const {
      V x;
      __builtin_memcpy(&x, v + 2 * p, sizeof x);
      return x;
    }
    void put(int p, V x) { __builtin_memcpy(v + 2 * p, &x, sizeof x); }
  };
  Column S_, b_, c1_, c2_, c3_, c4_, c5_;
  Column rts_, xl_, xh_, dx_, dxold_, f_, df_;
};

// ---------------------------------------------------------------------------

template <int K>
void WaterBalanceLanes<K>::load(int l) {
  const DepthSearch& s = lane_[l].search();
  S_.v[l] = s.S;
  b_.v[l] = s.b;
  c1_.v[l] = s.c1;
  c2_.v[l] = s.c2;
  c3_.v[l] = s.c3;
  c4_.v[l] = s.c4;
  c5_.v[l] = s.c5;
  rts_.v[l] = s.rts;
  xl_.v[l] = s.xl;
  xh_.v[l] = s.xh;
  dx_.v[l] = s.dx;
  dxold_.v[l] = s.dxold;
  f_.v[l] = s.f;
  df_.v[l] = s.df;
  started_[l] = round_;
  if (busy_ == 0 || round_ + numeric::kRtsafeMaxit < deadline_)
    deadline_ = round_ + numeric::kRtsafeMaxit;
  busy_ |= 1u << l;
}

template <int K>
void WaterBalanceLanes<K>::idle(int l) {
  S_.v[l] = 0.5;
  b_.v[l] = c1_.v[l] = c2_.v[l] = c4_.v[l] = c5_.v[l] = 0.0;
  c3_.v[l] = 1.0;
  rts_.v[l] = 0.5;
  xl_.v[l] = 0.0;
  xh_.v[l] = 1.0;
  dx_.v[l] = dxold_.v[l] = 1.0;
  f_.v[l] = 0.0;
  df_.v[l] = 1.0;
  busy_ &= ~(1u << l);
}

// The loop body of rtsafe_core for every lane at once.  Scalar:
//   if (((rts - xh) * df - f) * ((rts - xl) * df - f) >= 0 || |2 f| > |dxold df|)
//     { dxold = dx; dx = 0.5 (xh - xl); rts = xl + dx; if (xl == rts) return; }
//   else { dxold = dx; dx = f / df; temp = rts; rts = rts - dx; if (temp == rts) return; }
//   if (|dx| < xacc) return;
//   funcd(rts, f, df); if (f < 0) xl = rts; else xh = rts;
template <int K>
unsigned WaterBalanceLanes<K>::iterate() {
  const M sign = M{} + INT64_MAX;  // fabs: the sign bit cleared
  unsigned bits = 0;
  for (int p = 0; p < P; ++p) {
    const V rts = rts_.get(p), xl = xl_.get(p), xh = xh_.get(p), f = f_.get(p), df = df_.get(p);
    const V abs_2f = reinterpret_cast<V>(reinterpret_cast<M>(2.0 * f) & sign);
    const V abs_dxold_df = reinterpret_cast<V>(reinterpret_cast<M>(dxold_.get(p) * df) & sign);
    const M bisect =
        (((rts - xh) * df - f) * ((rts - xl) * df - f) >= 0.0) | (abs_2f > abs_dxold_df);
    dxold_.put(p, dx_.get(p));
    const V dx_b = 0.5 * (xh - xl);
    const V rts_b = xl + dx_b;
    const V dx_n = f / df;
    const V rts_n = rts - dx_n;
    const V dx = bisect ? dx_b : dx_n;
    const V next = bisect ? rts_b : rts_n;
    const V abs_dx = reinterpret_cast<V>(reinterpret_cast<M>(dx) & sign);
    const M ended = (bisect ? (xl == rts_b) : (rts == rts_n)) | (abs_dx < kDepthAccuracy);
    dx_.put(p, dx);
    rts_.put(p, next);
    // FUNCD1 at the new estimate, its terms grouped as FUNCD1 groups them.
    const V x2 = next * next;
    const V fn = ((c1_.get(p) * (x2 * next) + c2_.get(p) * x2) + c3_.get(p) * next) - S_.get(p);
    const V bx = b_.get(p) * next;
    f_.put(p, fn);
    df_.put(p, (4.0 * (bx * bx) + c3_.get(p)) + (c4_.get(p) * next) * c5_.get(p));
    const M below = fn < 0.0;
    xl_.put(p, below ? next : xl);
    xh_.put(p, below ? xh : next);
#if defined(__SSE2__)
    bits |= static_cast<unsigned>(_mm_movemask_pd(reinterpret_cast<__m128d>(ended))) << (2 * p);
#else
    bits |= static_cast<unsigned>((ended[0] != 0) | (ended[1] != 0) << 1) << (2 * p);
#endif
  }
  return bits;
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
  while (busy_ != 0) {
    ++round_;
    unsigned ended = iterate() & busy_;
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
    for (; ended != 0; ended &= ended - 1) {
      const int l = __builtin_ctz(ended);
      if (lane_[l].resume(rts_.v[l]) == LaneState::Next::search) {
        load(l);
      } else {
        done(lane_[l].call(), lane_[l].outcome());
        fill(l, feed, done);
      }
    }
  }
}

}  // namespace sitedrain::storage
