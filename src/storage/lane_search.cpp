#include "storage/lane_search.h"

#include <cmath>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SITEDRAIN_X86 1
#endif

#include "storage/lane_call.h"

namespace sitedrain::storage {

// The loop body of rtsafe_core for every lane, on FUNCD1 with its terms that
// do not depend on the depth formed once (c1 .. c5).  Scalar:
//   if (((rts - xh) * df - f) * ((rts - xl) * df - f) >= 0 || |2 f| > |dxold df|)
//     { dxold = dx; dx = 0.5 (xh - xl); rts = xl + dx; if (xl == rts) return; }
//   else { dxold = dx; dx = f / df; temp = rts; rts = rts - dx; if (temp == rts) return; }
//   if (|dx| < xacc) return;
//   funcd(rts, f, df); if (f < 0) xl = rts; else xh = rts;
// with funcd f = (4/3) b^2 x^3 + b (W + L) x^2 + W L x - S,
//             df = 4 (b x)^2 + W L + 2 b x (W + L).
// Both sides of each branch are formed and the one the scalar code takes is
// kept; a lane whose search has ended goes on iterating harmlessly until it
// is loaded again.

#if defined(SITEDRAIN_X86)

namespace {

unsigned iterate_sse2(SearchColumns& c, int lanes) {
  const __m128d sign = _mm_castsi128_pd(_mm_set1_epi64x(INT64_MAX));  // fabs: sign bit cleared
  const __m128d zero = _mm_setzero_pd(), half = _mm_set1_pd(0.5), two = _mm_set1_pd(2.0),
                four = _mm_set1_pd(4.0), xacc = _mm_set1_pd(kDepthAccuracy);
  auto select = [](__m128d mask, __m128d yes, __m128d no) {
    return _mm_or_pd(_mm_and_pd(mask, yes), _mm_andnot_pd(mask, no));
  };
  unsigned bits = 0;
  for (int at = 0; at < lanes; at += 2) {
    const __m128d rts = _mm_load_pd(c.rts + at), xl = _mm_load_pd(c.xl + at),
                  xh = _mm_load_pd(c.xh + at), f = _mm_load_pd(c.f + at),
                  df = _mm_load_pd(c.df + at), dxold = _mm_load_pd(c.dxold + at);
    const __m128d a = _mm_sub_pd(_mm_mul_pd(_mm_sub_pd(rts, xh), df), f);
    const __m128d b = _mm_sub_pd(_mm_mul_pd(_mm_sub_pd(rts, xl), df), f);
    const __m128d bisect = _mm_or_pd(_mm_cmpge_pd(_mm_mul_pd(a, b), zero),
                                     _mm_cmpgt_pd(_mm_and_pd(_mm_mul_pd(two, f), sign),
                                                  _mm_and_pd(_mm_mul_pd(dxold, df), sign)));
    _mm_store_pd(c.dxold + at, _mm_load_pd(c.dx + at));
    const __m128d dx_b = _mm_mul_pd(half, _mm_sub_pd(xh, xl));
    const __m128d rts_b = _mm_add_pd(xl, dx_b);
    const __m128d dx_n = _mm_div_pd(f, df);
    const __m128d rts_n = _mm_sub_pd(rts, dx_n);
    const __m128d dx = select(bisect, dx_b, dx_n);
    const __m128d next = select(bisect, rts_b, rts_n);
    const __m128d ended =
        _mm_or_pd(select(bisect, _mm_cmpeq_pd(xl, rts_b), _mm_cmpeq_pd(rts, rts_n)),
                  _mm_cmplt_pd(_mm_and_pd(dx, sign), xacc));
    _mm_store_pd(c.dx + at, dx);
    _mm_store_pd(c.rts + at, next);
    const __m128d x2 = _mm_mul_pd(next, next);
    const __m128d fn =
        _mm_sub_pd(_mm_add_pd(_mm_add_pd(_mm_mul_pd(_mm_load_pd(c.c1 + at), _mm_mul_pd(x2, next)),
                                         _mm_mul_pd(_mm_load_pd(c.c2 + at), x2)),
                              _mm_mul_pd(_mm_load_pd(c.c3 + at), next)),
                   _mm_load_pd(c.S + at));
    const __m128d bx = _mm_mul_pd(_mm_load_pd(c.b + at), next);
    const __m128d dfn =
        _mm_add_pd(_mm_add_pd(_mm_mul_pd(four, _mm_mul_pd(bx, bx)), _mm_load_pd(c.c3 + at)),
                   _mm_mul_pd(_mm_mul_pd(_mm_load_pd(c.c4 + at), next), _mm_load_pd(c.c5 + at)));
    _mm_store_pd(c.f + at, fn);
    _mm_store_pd(c.df + at, dfn);
    const __m128d below = _mm_cmplt_pd(fn, zero);
    _mm_store_pd(c.xl + at, select(below, next, xl));
    _mm_store_pd(c.xh + at, select(below, xh, next));
    bits |= static_cast<unsigned>(_mm_movemask_pd(ended)) << at;
  }
  return bits;
}

#if !defined(_WIN32)
__attribute__((target("avx2"))) unsigned iterate_avx2(SearchColumns& c, int lanes) {
  const __m256d sign = _mm256_castsi256_pd(_mm256_set1_epi64x(INT64_MAX));
  const __m256d zero = _mm256_setzero_pd(), half = _mm256_set1_pd(0.5), two = _mm256_set1_pd(2.0),
                four = _mm256_set1_pd(4.0), xacc = _mm256_set1_pd(kDepthAccuracy);
  unsigned bits = 0;
  for (int at = 0; at < lanes; at += 4) {
    const __m256d rts = _mm256_load_pd(c.rts + at), xl = _mm256_load_pd(c.xl + at),
                  xh = _mm256_load_pd(c.xh + at), f = _mm256_load_pd(c.f + at),
                  df = _mm256_load_pd(c.df + at), dxold = _mm256_load_pd(c.dxold + at);
    const __m256d a = _mm256_sub_pd(_mm256_mul_pd(_mm256_sub_pd(rts, xh), df), f);
    const __m256d b = _mm256_sub_pd(_mm256_mul_pd(_mm256_sub_pd(rts, xl), df), f);
    const __m256d bisect =
        _mm256_or_pd(_mm256_cmp_pd(_mm256_mul_pd(a, b), zero, _CMP_GE_OQ),
                     _mm256_cmp_pd(_mm256_and_pd(_mm256_mul_pd(two, f), sign),
                                   _mm256_and_pd(_mm256_mul_pd(dxold, df), sign), _CMP_GT_OQ));
    _mm256_store_pd(c.dxold + at, _mm256_load_pd(c.dx + at));
    const __m256d dx_b = _mm256_mul_pd(half, _mm256_sub_pd(xh, xl));
    const __m256d rts_b = _mm256_add_pd(xl, dx_b);
    const __m256d dx_n = _mm256_div_pd(f, df);
    const __m256d rts_n = _mm256_sub_pd(rts, dx_n);
    const __m256d dx = _mm256_blendv_pd(dx_n, dx_b, bisect);
    const __m256d next = _mm256_blendv_pd(rts_n, rts_b, bisect);
    const __m256d ended =
        _mm256_or_pd(_mm256_blendv_pd(_mm256_cmp_pd(rts, rts_n, _CMP_EQ_OQ),
                                      _mm256_cmp_pd(xl, rts_b, _CMP_EQ_OQ), bisect),
                     _mm256_cmp_pd(_mm256_and_pd(dx, sign), xacc, _CMP_LT_OQ));
    _mm256_store_pd(c.dx + at, dx);
    _mm256_store_pd(c.rts + at, next);
    const __m256d x2 = _mm256_mul_pd(next, next);
    const __m256d fn = _mm256_sub_pd(
        _mm256_add_pd(
            _mm256_add_pd(_mm256_mul_pd(_mm256_load_pd(c.c1 + at), _mm256_mul_pd(x2, next)),
                          _mm256_mul_pd(_mm256_load_pd(c.c2 + at), x2)),
            _mm256_mul_pd(_mm256_load_pd(c.c3 + at), next)),
        _mm256_load_pd(c.S + at));
    const __m256d bx = _mm256_mul_pd(_mm256_load_pd(c.b + at), next);
    const __m256d dfn = _mm256_add_pd(
        _mm256_add_pd(_mm256_mul_pd(four, _mm256_mul_pd(bx, bx)), _mm256_load_pd(c.c3 + at)),
        _mm256_mul_pd(_mm256_mul_pd(_mm256_load_pd(c.c4 + at), next), _mm256_load_pd(c.c5 + at)));
    _mm256_store_pd(c.f + at, fn);
    _mm256_store_pd(c.df + at, dfn);
    const __m256d below = _mm256_cmp_pd(fn, zero, _CMP_LT_OQ);
    _mm256_store_pd(c.xl + at, _mm256_blendv_pd(xl, next, below));
    _mm256_store_pd(c.xh + at, _mm256_blendv_pd(next, xh, below));
    bits |= static_cast<unsigned>(_mm256_movemask_pd(ended)) << at;
  }
  return bits;
}

}  // namespace

LaneIsa lane_isa() {
  static const LaneIsa isa = __builtin_cpu_supports("avx2") ? LaneIsa::avx2 : LaneIsa::sse2;
  return isa;
}

unsigned iterate_searches(SearchColumns& c, int lanes, LaneIsa isa) {
  return isa == LaneIsa::avx2 ? iterate_avx2(c, lanes) : iterate_sse2(c, lanes);
}

#else  // GCC for Windows does not keep the stack aligned for AVX registers

}  // namespace

LaneIsa lane_isa() { return LaneIsa::sse2; }

unsigned iterate_searches(SearchColumns& c, int lanes, LaneIsa) { return iterate_sse2(c, lanes); }

#endif

#else  // one lane at a time, as written in rtsafe_core

LaneIsa lane_isa() {
  return LaneIsa::sse2;
}

unsigned iterate_searches(SearchColumns& c, int lanes, LaneIsa) {
  unsigned bits = 0;
  for (int l = 0; l < lanes; ++l) {
    const double rts = c.rts[l], xl = c.xl[l], xh = c.xh[l], f = c.f[l], df = c.df[l];
    const bool bisect = ((rts - xh) * df - f) * ((rts - xl) * df - f) >= 0.0 ||
                        std::fabs(2.0 * f) > std::fabs(c.dxold[l] * df);
    c.dxold[l] = c.dx[l];
    bool ended;
    if (bisect) {
      c.dx[l] = 0.5 * (xh - xl);
      c.rts[l] = xl + c.dx[l];
      ended = xl == c.rts[l];
    } else {
      c.dx[l] = f / df;
      c.rts[l] = rts - c.dx[l];
      ended = rts == c.rts[l];
    }
    ended = ended || std::fabs(c.dx[l]) < kDepthAccuracy;
    const double x = c.rts[l], x2 = x * x, bx = c.b[l] * x;
    c.f[l] = ((c.c1[l] * (x2 * x) + c.c2[l] * x2) + c.c3[l] * x) - c.S[l];
    c.df[l] = (4.0 * (bx * bx) + c.c3[l]) + (c.c4[l] * x) * c.c5[l];
    if (c.f[l] < 0.0)
      c.xl[l] = x;
    else
      c.xh[l] = x;
    bits |= static_cast<unsigned>(ended) << l;
  }
  return bits;
}

#endif

}  // namespace sitedrain::storage
