// The depth search of a storage step: the depth at which the basin holds
// the stored volume, by safeguarded Newton-Raphson with a bisection
// fallback on the basin's cubic, to kDepthAccuracy.
//
// One iteration is written once, as a template over the lane type: a double
// (one search), or a vector of two or four doubles (SSE2 or AVX2 registers,
// one search per element).  Every element performs the operations of the
// double in the same order: only IEEE additions, subtractions,
// multiplications, divisions and comparisons, never fused (-ffp-contract=off),
// and where the search branches both sides are formed and the one the search
// takes is kept.  The searches therefore end on the same bits however they
// are packed (tests/storage/water_balance_lanes_test.cpp).
#pragma once

#include <cmath>
#include <cstring>

namespace sitedrain::storage {

inline constexpr int kMaxLanes = 16;
inline constexpr double kDepthAccuracy = 1.0e-9;  // m
// A search that has not ended after this many iterations gives up (with
// the warning "rtsafe1 exceeding maximum iterations") and keeps its estimate.
inline constexpr int kMaxDepthIterations = 100;

// Searches, one element per lane (structure of arrays).  The cubic of the
// basin of base L by W with batter b, filled to depth x, less the stored
// volume S: f(x) = cubic x^3 + square x^2 + base_area x - S, with the slope
// df(x) = 4 (b x)^2 + base_area + (twice_batter x) length_plus_width.
struct alignas(32) SearchColumns {
  double S[kMaxLanes], batter[kMaxLanes];
  double cubic[kMaxLanes];              // (4/3) b^2
  double square[kMaxLanes];             // b (W + L)
  double base_area[kMaxLanes];          // W L
  double twice_batter[kMaxLanes];       // 2 b
  double length_plus_width[kMaxLanes];  // W + L
  // The iteration: estimate, bracket, last two steps, f and df at the estimate.
  double rts[kMaxLanes], xl[kMaxLanes], xh[kMaxLanes], dx[kMaxLanes], dxold[kMaxLanes];
  double f[kMaxLanes], df[kMaxLanes];
};

// Every function on lanes is inlined: the ABI of passing an AVX register to
// a function compiled without AVX does not arise.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"

// The lane types: a double, or a vector of doubles (GCC's vector extension,
// whose arithmetic and comparisons are element by element).
using TwoLanes = double __attribute__((vector_size(16)));
using FourLanes = double __attribute__((vector_size(32)));

template <class V>
inline constexpr int kLaneWidth = static_cast<int>(sizeof(V) / sizeof(double));

template <class V>
[[gnu::always_inline]] inline V load_lanes(const double* p) {
  V v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <class V>
[[gnu::always_inline]] inline void store_lanes(double* p, const V& v) {
  std::memcpy(p, &v, sizeof v);
}

// |x|: the sign bit cleared.  (Only compared, so -0 and NaN need no care.)
[[gnu::always_inline]] inline double magnitude(double x) {
  return std::fabs(x);
}
template <class V>
[[gnu::always_inline]] inline V magnitude(const V& x) {
  using Bits = decltype(x < x);  // integers of the width of the lanes
  return reinterpret_cast<V>(reinterpret_cast<Bits>(x) & 0x7fffffffffffffffLL);
}

// The lanes of a comparison that hold, as bits from the first lane.
[[gnu::always_inline]] inline unsigned lane_bits(int m) {
  return m != 0 ? 1u : 0u;
}
template <class M>
[[gnu::always_inline]] inline unsigned lane_bits(const M& m) {
  constexpr int n = static_cast<int>(sizeof(M) / sizeof(double));
#if defined(__SSE2__)
  unsigned bits = 0;
  for (int k = 0; k < n; k += 2) {
    TwoLanes pair;
    std::memcpy(&pair, reinterpret_cast<const char*>(&m) + k * sizeof(double), sizeof pair);
    bits |= static_cast<unsigned>(__builtin_ia32_movmskpd(pair)) << k;
  }
  return bits;
#else
  unsigned bits = 0;
  for (int k = 0; k < n; ++k) bits |= (m[k] != 0 ? 1u : 0u) << k;
  return bits;
#endif
}

// One iteration of the searches of lanes at .. at + width - 1:
//   if (((rts - xh) df - f) ((rts - xl) df - f) >= 0 or |2 f| > |dxold df|)
//     bisection: dx = (xh - xl) / 2, rts = xl + dx, ended when rts is xl;
//   else Newton: dx = f / df, rts = rts - dx, ended when rts did not move;
//   also ended when |dx| < kDepthAccuracy;
//   f and df at the new rts, which replaces xl when f < 0, else xh.
// Returns the lanes whose search ended; a lane whose search has ended goes
// on iterating harmlessly until it is loaded again.
template <class V>
[[gnu::always_inline]] inline unsigned depth_search_iteration(SearchColumns& c, int at) {
  const V zero = V{} + 0.0, half = V{} + 0.5, two = V{} + 2.0, four = V{} + 4.0;
  const V accuracy = V{} + kDepthAccuracy;
  const V rts = load_lanes<V>(c.rts + at), xl = load_lanes<V>(c.xl + at),
          xh = load_lanes<V>(c.xh + at), f = load_lanes<V>(c.f + at), df = load_lanes<V>(c.df + at),
          dxold = load_lanes<V>(c.dxold + at);
  const auto bisect = (((rts - xh) * df - f) * ((rts - xl) * df - f) >= zero) |
                      (magnitude(two * f) > magnitude(dxold * df));
  store_lanes<V>(c.dxold + at, load_lanes<V>(c.dx + at));
  const V dx_bisection = half * (xh - xl);
  const V rts_bisection = xl + dx_bisection;
  const V dx_newton = f / df;
  const V rts_newton = rts - dx_newton;
  const V dx = bisect ? dx_bisection : dx_newton;
  const V next = bisect ? rts_bisection : rts_newton;
  const auto ended =
      (bisect ? (xl == rts_bisection) : (rts == rts_newton)) | (magnitude(dx) < accuracy);
  store_lanes<V>(c.dx + at, dx);
  store_lanes<V>(c.rts + at, next);
  const V x2 = next * next;
  const V f_next =
      ((load_lanes<V>(c.cubic + at) * (x2 * next) + load_lanes<V>(c.square + at) * x2) +
       load_lanes<V>(c.base_area + at) * next) -
      load_lanes<V>(c.S + at);
  const V bx = load_lanes<V>(c.batter + at) * next;
  const V df_next =
      (four * (bx * bx) + load_lanes<V>(c.base_area + at)) +
      (load_lanes<V>(c.twice_batter + at) * next) * load_lanes<V>(c.length_plus_width + at);
  store_lanes<V>(c.f + at, f_next);
  store_lanes<V>(c.df + at, df_next);
  const auto below = f_next < zero;
  store_lanes<V>(c.xl + at, below ? next : xl);
  store_lanes<V>(c.xh + at, below ? xh : next);
  return lane_bits(ended);
}

#pragma GCC diagnostic pop

// How the lanes are packed: two to an SSE2 register (every x86-64
// processor), or four to an AVX register where the processor has AVX2.
// Both give the same bits.
enum class LaneIsa { sse2, avx2 };

// The packing of this processor.
LaneIsa lane_isa();

// One iteration of the searches of lanes 0..lanes-1 (the columns hold at
// least lanes rounded up to 4 elements; those beyond are iterated too).
// Returns the lanes whose search ended, as bits.
unsigned iterate_searches(SearchColumns& c, int lanes, LaneIsa isa);

}  // namespace sitedrain::storage
