// The depth searches of the lockstep lanes: one iteration of RTSAFE1's loop
// for up to 16 searches at once, in vector registers.
#pragma once

namespace sitedrain::storage {

inline constexpr int kMaxLanes = 16;

// The searches, one element per lane (structure of arrays).
struct alignas(32) SearchColumns {
  double S[kMaxLanes], b[kMaxLanes];
  double c1[kMaxLanes], c2[kMaxLanes], c3[kMaxLanes], c4[kMaxLanes], c5[kMaxLanes];
  double rts[kMaxLanes], xl[kMaxLanes], xh[kMaxLanes], dx[kMaxLanes], dxold[kMaxLanes];
  double f[kMaxLanes], df[kMaxLanes];
};

// How the iteration is vectorised: two lanes per SSE2 register (every x86-64
// processor), or four per AVX register where the processor has AVX2.  Both
// give the same bits: only IEEE additions, subtractions, multiplications,
// divisions, comparisons and selections, never fused.
enum class LaneIsa { sse2, avx2 };

// The vectorisation of this processor.
LaneIsa lane_isa();

// One iteration of the searches of lanes 0..lanes-1 (the columns hold at
// least lanes rounded up to 4 elements; those beyond are iterated too).
// Returns the lanes whose search ended, as bits.
unsigned iterate_searches(SearchColumns& c, int lanes, LaneIsa isa);

}  // namespace sitedrain::storage
