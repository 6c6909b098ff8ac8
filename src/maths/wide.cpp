#include "maths/wide.h"

#include <limits>

namespace sitedrain::maths::detail {

namespace {

constexpr int kN = kFixLimbs;
constexpr int kFracLimbs = kFixFracBits / 32;


Fix zero() {
  return Fix{};
}

Fix one() {
  Fix r{};
  r.w[kFracLimbs] = 1;
  return r;
}

bool is_zero(const Fix& a) {
  for (std::uint32_t v : a.w)
    if (v != 0) return false;
  return true;
}

Fix abs_of(const Fix& a) {
  return fix_is_negative(a) ? fix_negate(a) : a;
}

// |a| * m for a non-negative a, truncated.
Fix mul_small(const Fix& a, std::uint32_t m) {
  Fix r{};
  std::uint64_t carry = 0;
  for (int i = 0; i < kN; ++i) {
    const std::uint64_t t = static_cast<std::uint64_t>(a.w[i]) * m + carry;
    r.w[i] = static_cast<std::uint32_t>(t);
    carry = t >> 32;
  }
  return r;
}

// a / d for a non-negative a, truncated.
Fix div_small(const Fix& a, std::uint32_t d) {
  Fix r{};
  std::uint64_t rem = 0;
  for (int i = kN - 1; i >= 0; --i) {
    const std::uint64_t cur = (rem << 32) | a.w[i];
    r.w[i] = static_cast<std::uint32_t>(cur / d);
    rem = cur % d;
  }
  return r;
}

// a * 2^-n for a non-negative a, truncated.
Fix shift_right(const Fix& a, int n) {
  Fix r{};
  const int limbs = n / 32, bits = n % 32;
  for (int i = 0; i < kN; ++i) {
    const int s = i + limbs;
    if (s >= kN) break;
    std::uint64_t v = a.w[s];
    if (s + 1 < kN) v |= static_cast<std::uint64_t>(a.w[s + 1]) << 32;
    r.w[i] = static_cast<std::uint32_t>(v >> bits);
  }
  return r;
}

// a * 2^n for a non-negative a (no overflow check).
Fix shift_left(const Fix& a, int n) {
  Fix r{};
  const int limbs = n / 32, bits = n % 32;
  for (int i = kN - 1; i >= 0; --i) {
    const int s = i - limbs;
    if (s < 0) continue;
    std::uint64_t v = static_cast<std::uint64_t>(a.w[s]) << 32;
    if (s - 1 >= 0) v |= a.w[s - 1];
    r.w[i] = static_cast<std::uint32_t>(v >> (32 - bits));
  }
  return r;
}

// Signed shift by n (left if n > 0), the magnitude truncated.
Fix scale2(const Fix& a, int n) {
  const bool neg = fix_is_negative(a);
  const Fix m = abs_of(a);
  const Fix r = n >= 0 ? shift_left(m, n) : shift_right(m, -n);
  return neg ? fix_negate(r) : r;
}

int bit(const Fix& a, int i) {
  return static_cast<int>((a.w[i / 32] >> (i % 32)) & 1u);
}

int top_bit(const Fix& a) {
  for (int i = kN - 1; i >= 0; --i)
    if (a.w[i] != 0) return i * 32 + 31 - __builtin_clz(a.w[i]);
  return -1;
}

// An approximation of a (a few ulps), for choosing reduction steps.
double approx(const Fix& a) {
  const bool neg = fix_is_negative(a);
  const Fix m = abs_of(a);
  double v = 0.0, scale = 1.0;
  for (int i = 0; i < kFracLimbs; ++i) scale *= 1.0 / 4294967296.0;
  for (int i = 0; i < kN; ++i) {
    v += static_cast<double>(m.w[i]) * scale;
    scale *= 4294967296.0;
  }
  return neg ? -v : v;
}

}  // namespace

bool fix_is_negative(const Fix& a) {
  return (a.w[kN - 1] >> 31) != 0;
}

Fix fix_negate(const Fix& a) {
  Fix r{};
  std::uint64_t carry = 1;
  for (int i = 0; i < kN; ++i) {
    const std::uint64_t t = static_cast<std::uint64_t>(~a.w[i]) + carry;
    r.w[i] = static_cast<std::uint32_t>(t);
    carry = t >> 32;
  }
  return r;
}

Fix fix_add(const Fix& a, const Fix& b) {
  Fix r{};
  std::uint64_t carry = 0;
  for (int i = 0; i < kN; ++i) {
    const std::uint64_t t = static_cast<std::uint64_t>(a.w[i]) + b.w[i] + carry;
    r.w[i] = static_cast<std::uint32_t>(t);
    carry = t >> 32;
  }
  return r;
}

Fix fix_sub(const Fix& a, const Fix& b) {
  return fix_add(a, fix_negate(b));
}

Fix fix_mul(const Fix& a, const Fix& b) {
  const bool neg = fix_is_negative(a) != fix_is_negative(b);
  const Fix x = abs_of(a), y = abs_of(b);
  std::uint32_t prod[2 * kN] = {};
  for (int i = 0; i < kN; ++i) {
    if (x.w[i] == 0) continue;
    std::uint64_t carry = 0;
    for (int j = 0; j < kN; ++j) {
      const std::uint64_t t = static_cast<std::uint64_t>(x.w[i]) * y.w[j] + prod[i + j] + carry;
      prod[i + j] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    prod[i + kN] = static_cast<std::uint32_t>(carry);
  }
  Fix r{};
  for (int i = 0; i < kN; ++i) r.w[i] = prod[i + kFracLimbs];
  return neg ? fix_negate(r) : r;
}

Fix fix_from_double(double d) {
  const std::uint64_t u = bits_of(d);
  const int biased = static_cast<int>((u >> 52) & 0x7FF);
  std::uint64_t m = u & 0x000FFFFFFFFFFFFFull;
  int e;  // d = m * 2^e
  if (biased == 0) {
    if (m == 0) return zero();
    e = -1074;
  } else {
    m |= 1ull << 52;
    e = biased - 1075;
  }
  Fix r{};
  r.w[0] = static_cast<std::uint32_t>(m);
  r.w[1] = static_cast<std::uint32_t>(m >> 32);
  r = scale2(r, e + kFixFracBits);
  return (u >> 63) ? fix_negate(r) : r;
}

Fix fix_exp(const Fix& z, int& k) {
  constexpr double kInvLn2 = 1.4426950408889634;
  const double kd = approx(z) * kInvLn2;
  k = static_cast<int>(kd >= 0 ? kd + 0.5 : kd - 0.5);
  Fix kl = mul_small(kLn2Fix, static_cast<std::uint32_t>(k < 0 ? -k : k));
  if (k < 0) kl = fix_negate(kl);
  // r = z - k ln 2 in [-0.35, 0.35]; exp(r) = exp(r / 2^12)^(2^12).
  const Fix r = fix_sub(z, kl);
  const bool neg = fix_is_negative(r);
  const Fix rs = shift_right(abs_of(r), 12);
  Fix sum = one(), term = one();
  for (std::uint32_t n = 1; n < 60; ++n) {
    term = div_small(fix_mul(term, rs), n);
    if (is_zero(term)) break;
    sum = neg && (n % 2 == 1) ? fix_sub(sum, term) : fix_add(sum, term);
  }
  for (int i = 0; i < 12; ++i) sum = fix_mul(sum, sum);
  return sum;
}

Fix fix_log(double x, double hi, double lo) {
  const Fix y = fix_add(fix_from_double(hi), fix_from_double(lo));
  int k;
  const Fix f = fix_exp(fix_negate(y), k);
  // x = m 2^e with m in [1, 2)
  std::uint64_t u = bits_of(x);
  int e = static_cast<int>((u >> 52) & 0x7FF);
  if (e == 0) {                               // subnormal
    u = bits_of(x * 18446744073709551616.0);  // 2^64
    e = static_cast<int>((u >> 52) & 0x7FF) - 64;
  }
  e -= 1023;
  const double m = from_bits((u & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull);
  // x exp(-y) = 1 + d with d tiny; ln x = y + ln(1 + d).
  const Fix t = scale2(fix_mul(fix_from_double(m), f), e + k);
  const Fix d = fix_sub(t, one());
  Fix sum = d, power = d;
  for (std::uint32_t n = 2; n < 40; ++n) {
    power = fix_mul(power, d);
    if (is_zero(power)) break;
    const bool neg = fix_is_negative(power);
    Fix term = div_small(abs_of(power), n);
    if (neg) term = fix_negate(term);
    sum = (n % 2 == 0) ? fix_sub(sum, term) : fix_add(sum, term);
  }
  return fix_add(y, sum);
}

double fix_to_double(const Fix& f, int k) {
  constexpr int kNoiseBits = 50;
  const int p = top_bit(f);
  if (p < 0) return 0.0;
  const int E = p - kFixFracBits + k;  // f 2^k in [2^E, 2^(E+1))
  if (E > 1023) return std::numeric_limits<double>::infinity();
  const int q = E >= -1022 ? 53 : E + 1075;  // significant bits kept
  if (q < 0) return 0.0;
  const int b = p - q + 1;  // lowest kept bit of f
  std::uint64_t mant = 0;
  for (int i = p; i >= b && i >= 0; --i) mant = (mant << 1) | static_cast<std::uint64_t>(bit(f, i));
  if (b < 0) mant <<= -b;
  if (b > 0) {
    const int r = bit(f, b - 1);
    // Bits between the noise and the rounding bit: all 0 after a 1, or all
    // 1 after a 0, means within 2^noise of halfway.
    bool tie = b - 2 >= kNoiseBits;
    for (int i = b - 2; tie && i >= kNoiseBits; --i) tie = bit(f, i) != r;
    if (tie)
      mant += mant & 1u;
    else if (r)
      mant += 1;
  }
  if (q == 0) return from_bits(mant);  // 0 or the least subnormal
  int s = b - kFixFracBits + k;        // value = mant * 2^s
  if (mant == (1ull << q) && q == 53) {
    mant >>= 1;
    ++s;
  }
  if (E < -1022) return from_bits(mant);  // subnormal (or the least normal)
  const int biased = s + 52 + 1023;
  if (biased >= 2047) return std::numeric_limits<double>::infinity();
  return from_bits((static_cast<std::uint64_t>(biased) << 52) | (mant & 0x000FFFFFFFFFFFFFull));
}

double fix_round(const Fix& f) {
  if (fix_is_negative(f)) return -fix_to_double(fix_negate(f), 0);
  return fix_to_double(f, 0);
}

}  // namespace sitedrain::maths::detail
