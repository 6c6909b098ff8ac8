#include "maths/maths.h"

#include <cstdint>
#include <limits>

#include "maths/tables.h"
#include "maths/wide.h"

// Each function first computes its result as a double-double hi + lo with a
// bound on the error, in plain double arithmetic where every step is either
// exact (Dekker's products, Knuth's sums) or its rounding error is counted.
// When both ends of hi + lo +- bound round to the same double, that double is
// the correctly rounded result (Ziv's test); otherwise the accurate path of
// wide.cpp decides (about once in 10^6 calls; for ln of arguments within 0.4 %
// of 1, once in 2 * 10^4), as it does for results outside the normal range.
// The bounds hold with room: over 2 * 10^6 random arguments the largest error
// seen against MPFR was 0.11 of exp's bound and 0.38 of ln's.

namespace sitedrain::maths {

namespace {

using detail::DoubleDouble;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

using detail::bits_of;
using detail::from_bits;

// 2^e for -1022 <= e <= 1023.
double pow2(int e) {
  return from_bits(static_cast<std::uint64_t>(e + 1023) << 52);
}

double abs_of(double x) {
  return from_bits(bits_of(x) & 0x7FFFFFFFFFFFFFFFull);
}

// s + e = a + b exactly, |a| >= |b| or a = 0.
inline void fast_two_sum(double a, double b, double& s, double& e) {
  s = a + b;
  e = b - (s - a);
}

// s + e = a + b exactly.
inline void two_sum(double a, double b, double& s, double& e) {
  s = a + b;
  const double bb = s - a;
  e = (a - (s - bb)) + (b - bb);
}

// h + l = a exactly, each half with at most 26 significant bits (|a| < 2^995).
inline void split(double a, double& h, double& l) {
  const double c = 134217729.0 * a;  // 2^27 + 1
  h = c - (c - a);
  l = a - h;
}

// p + e = a * b exactly (no fused multiply-add).
inline void two_prod(double a, double b, double& p, double& e) {
  double ah, al, bh, bl;
  split(a, ah, al);
  split(b, bh, bl);
  p = a * b;
  e = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
}

// The correctly rounded value of hi + lo when every number within err of it
// rounds alike; hi + lo normalised, err well above an ulp of lo.
inline bool decided(double hi, double lo, double err, double& out) {
  const double a = hi + (lo - err);
  const double b = hi + (lo + err);
  if (a != b) return false;
  out = a;
  return true;
}

// exp(xh + xl) = (hi + lo) 2^e, hi + lo in [0.7, 1.45], for |xh| < 746 and
// |xl| <= 2^-40 |xh|.  Relative error at most err (returned).
double exp_core(double xh, double xl, double& hi, double& lo, int& e) {
  constexpr double kInvL = 0x1.71547652b82fep+7;  // 128 / ln 2
  constexpr double kL1 = 0x1.62e42fef80000p-8;    // ln 2 / 128 = L1 + L2 + L3,
  constexpr double kL2 = 0x1.1cf79abc80000p-43;   // L1 and L2 of 34 bits
  constexpr double kL3 = 0x1.e3b39803f2f6bp-79;
  constexpr double kShift = 0x1.8p52;
  const double kd = (xh * kInvL + kShift) - kShift;  // nearest integer
  const int k = static_cast<int>(kd);
  // r = x - k ln2/128, |r| <= 0.0028: x - k L1 and k L2 are exact.
  double rh, rl;
  two_sum(xh - kd * kL1, -kd * kL2, rh, rl);
  rl += xl - kd * kL3;
  fast_two_sum(rh, rl, rh, rl);
  // exp(r) - 1 = r + r^2/2 + r^3 q(r)
  double sh, sl;
  two_prod(rh, rh, sh, sl);
  const double q =
      1.0 / 6 + rh * (1.0 / 24 + rh * (1.0 / 120 + rh * (1.0 / 720 + rh * (1.0 / 5040))));
  const double p3 = sh * (rh * q);
  double ph, pl;
  fast_two_sum(rh, 0.5 * sh, ph, pl);
  pl += rl + (0.5 * sl + (rh * rl + p3));
  // 2^(j/128) (1 + p)
  const DoubleDouble& t = detail::kExp2Table[k & 127];
  double mh, ml;
  two_prod(t.hi, ph, mh, ml);
  double h, l;
  fast_two_sum(t.hi, mh, h, l);
  l += ml + (t.hi * pl + (t.lo + t.lo * ph));
  fast_two_sum(h, l, hi, lo);
  e = (k - (k & 127)) / 128;
  // p3 carries about 3 roundings of its size; the rest is below 2^-80.
  return abs_of(p3) * 0x1p-48 + 0x1p-76;
}

// ln x = hi + lo for finite x > 0; returns the bound on the absolute error.
double log_core(double x, double& hi, double& lo) {
  constexpr double kLn2H = 0x1.62e42fefa3800p-1;  // 42 bits
  constexpr double kLn2L = 0x1.ef35793c76730p-45;
  constexpr double kSqrt2 = 0x1.6a09e667f3bcdp+0;
  std::uint64_t u = bits_of(x);
  int e = static_cast<int>(u >> 52);
  if (e == 0) {  // subnormal
    u = bits_of(x * 0x1p64);
    e = static_cast<int>(u >> 52) - 64;
  }
  e -= 1023;
  double m = from_bits((u & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull);
  if (m > kSqrt2) {
    m *= 0.5;
    ++e;
  }
  // m in [sqrt(1/2), sqrt(2)]; r = m c - 1 exactly, |r| <= 2^-8.
  const detail::LogEntry& t = detail::kLogTable[static_cast<int>(m * 256.0) - 181];
  double ph, pl, rh, rl;
  two_prod(m, t.c, ph, pl);
  two_sum(ph - 1.0, pl, rh, rl);
  // ln(1 + r) = r - r^2/2 + r^3 q(r)
  double sh, sl;
  two_prod(rh, rh, sh, sl);
  const double q =
      1.0 / 3 -
      rh * (0.25 - rh * (0.2 - rh * (1.0 / 6 -
                                     rh * (1.0 / 7 - rh * (0.125 - rh * (1.0 / 9 - rh * 0.1))))));
  const double p3 = sh * (rh * q);
  double lh, ll;
  fast_two_sum(rh, -0.5 * sh, lh, ll);
  ll += rl - (0.5 * sl + rh * rl) + p3;
  // e ln2 - ln c
  const double ed = static_cast<double>(e);
  double ah, al;
  two_sum(ed * kLn2H, t.hi, ah, al);
  al += ed * kLn2L + t.lo;
  double h, l;
  two_sum(ah, lh, h, l);
  l += al + ll;
  fast_two_sum(h, l, hi, lo);
  return abs_of(p3) * 0x1p-49 + abs_of(hi) * 0x1p-78;
}

// exp(xh + xl) from the fast path's (hi + lo) 2^e with relative error err,
// or from the accurate path when that cannot decide or leaves the normal range.
double finish_exp(double hi, double lo, double err, int e, double xh, double xl) {
  if (e >= -1021 && e <= 1023) {
    double r;
    if (decided(hi, lo, err * hi, r)) return r * pow2(e);
  }
  int k;
  const detail::Fix f =
      detail::fix_exp(detail::fix_add(detail::fix_from_double(xh), detail::fix_from_double(xl)), k);
  return detail::fix_to_double(f, k);
}

}  // namespace

double exp(double x) {
  if (!(x < 709.79)) return x != x ? x + x : kInf;  // nan, or beyond the largest double
  if (x < -745.14) return 0.0;
  if (abs_of(x) < 0x1p-54) return 1.0 + x;
  double hi, lo;
  int e;
  const double err = exp_core(x, 0.0, hi, lo, e);
  return finish_exp(hi, lo, err, e, x, 0.0);
}

double log(double x) {
  if (!(x > 0.0) || x == kInf) {
    if (x != x) return x + x;
    if (x == 0.0) return -kInf;
    return x < 0.0 ? kNan : x;
  }
  double hi, lo, r;
  const double err = log_core(x, hi, lo);
  if (decided(hi, lo, err, r)) return r;
  return detail::fix_round(detail::fix_log(x, hi, lo));
}

double log10(double x) {
  constexpr double kH = 0x1.bcb7b1526e50ep-2;  // 1 / ln 10
  constexpr double kL = 0x1.95355baaafad3p-57;
  if (!(x > 0.0) || x == kInf) {
    if (x != x) return x + x;
    if (x == 0.0) return -kInf;
    return x < 0.0 ? kNan : x;
  }
  double lh, ll, h, l, hi, lo, r;
  const double err = log_core(x, lh, ll);
  two_prod(lh, kH, h, l);
  l += lh * kL + ll * kH;
  fast_two_sum(h, l, hi, lo);
  if (decided(hi, lo, err * 0.5 + abs_of(hi) * 0x1p-90, r)) return r;
  return detail::fix_round(detail::fix_mul(detail::fix_log(x, lh, ll), detail::kInvLn10Fix));
}

namespace {

// 0: not an integer, 1: odd integer, 2: even integer.
int integer_kind(double y) {
  const std::uint64_t u = bits_of(y);
  const int e = static_cast<int>((u >> 52) & 0x7FF) - 1075;  // y = m 2^e
  if (e >= 1) return 2;
  if (e < -52) return 0;
  const std::uint64_t m = (u & 0x000FFFFFFFFFFFFFull) | (1ull << 52);
  const std::uint64_t frac = m & ((1ull << -e) - 1);
  if (frac != 0) return 0;
  return ((m >> -e) & 1u) ? 1 : 2;
}

}  // namespace

double pow(double x, double y) {
  const double ay = abs_of(y);
  if (y == 0.0 || x == 1.0) return 1.0;
  if (x != x || y != y) return x + y;
  const int ykind = integer_kind(y);
  const bool neg_x = (bits_of(x) >> 63) != 0;
  const bool neg_result = neg_x && ykind == 1;
  const double ax = abs_of(x);
  if (ay == kInf) {
    if (ax == 1.0) return 1.0;  // (-1)^+-inf
    return (ax > 1.0) == (y > 0.0) ? kInf : 0.0;
  }
  if (ax == 0.0 || ax == kInf) {
    // 0^y and inf^y: the sign of x carries only for odd integer y
    const bool big = (ax == kInf) == (y > 0.0);
    const double r = big ? kInf : 0.0;
    return neg_result ? -r : r;
  }
  if (neg_x && ykind == 0) return kNan;
  double lh, ll;
  const double lerr = log_core(ax, lh, ll);
  // |y ln|x|| beyond 746 (so |y| below 2^63 further on): overflow or underflow
  const double approx = y * lh;
  double r;
  if (approx > 709.8) {
    r = kInf;
  } else if (approx < -745.2) {
    r = 0.0;
  } else if (abs_of(approx) < 0x1p-60) {
    r = 1.0;  // within 2^-60 of 1: rounds to 1 either side
  } else {
    double zh, zl, hi, lo;
    int e;
    two_prod(y, lh, zh, zl);
    zl += y * ll;
    fast_two_sum(zh, zl, zh, zl);
    const double eerr = exp_core(zh, zl, hi, lo, e);
    const double err = eerr + ay * lerr * 1.0000001 + abs_of(zh) * 0x1p-100;
    if (!(e >= -1021 && e <= 1023 && decided(hi, lo, err * hi, r))) {
      int k;
      const detail::Fix z =
          detail::fix_mul(detail::fix_log(ax, lh, ll), detail::fix_from_double(y));
      const detail::Fix f = detail::fix_exp(z, k);
      r = detail::fix_to_double(f, k);
    } else {
      r *= pow2(e);
    }
  }
  return neg_result ? -r : r;
}

}  // namespace sitedrain::maths
