// The depth searches of the lockstep lanes, packed into vector registers:
// depth_search_iteration over two or four lanes at a time.
#include "storage/depth_search.h"

// Every function on lanes is inlined (see depth_search.h).
#pragma GCC diagnostic ignored "-Wpsabi"

namespace sitedrain::storage {

namespace {

template <class V>
[[gnu::always_inline]] inline unsigned iterate(SearchColumns& c, int lanes) {
  unsigned bits = 0;
  for (int at = 0; at < lanes; at += kLaneWidth<V>) bits |= depth_search_iteration<V>(c, at) << at;
  return bits;
}

unsigned iterate_sse2(SearchColumns& c, int lanes) {
  return iterate<TwoLanes>(c, lanes);
}

#if (defined(__x86_64__) || defined(__i386__)) && !defined(_WIN32)
// GCC for Windows does not keep the stack aligned for AVX registers.
#define SITEDRAIN_AVX2 1
__attribute__((target("avx2"))) unsigned iterate_avx2(SearchColumns& c, int lanes) {
  return iterate<FourLanes>(c, lanes);
}
#endif

}  // namespace

LaneIsa lane_isa() {
#if defined(SITEDRAIN_AVX2)
  static const LaneIsa isa = __builtin_cpu_supports("avx2") ? LaneIsa::avx2 : LaneIsa::sse2;
  return isa;
#else
  return LaneIsa::sse2;
#endif
}

unsigned iterate_searches(SearchColumns& c, int lanes, LaneIsa isa) {
#if defined(SITEDRAIN_AVX2)
  if (isa == LaneIsa::avx2) return iterate_avx2(c, lanes);
#else
  (void)isa;
#endif
  return iterate_sse2(c, lanes);
}

}  // namespace sitedrain::storage
