// The accurate path of the elementary functions: arithmetic on Fix (96
// integer and 320 fraction bits, truncating), exp and ln to about 300 bits,
// and the correctly rounded conversion back to double.  Taken only when the
// double-double fast path cannot decide the rounding, so simple over fast.
#pragma once

#include <bit>
#include <cstdint>

#include "maths/tables.h"

namespace sitedrain::maths::detail {

// The bits of a double, and the double of given bits.
inline std::uint64_t bits_of(double d) { return std::bit_cast<std::uint64_t>(d); }
inline double from_bits(std::uint64_t u) { return std::bit_cast<double>(u); }

Fix fix_from_double(double d);  // exact for |d| < 2^94 down to 2^-320
Fix fix_add(const Fix& a, const Fix& b);
Fix fix_sub(const Fix& a, const Fix& b);
Fix fix_mul(const Fix& a, const Fix& b);
bool fix_is_negative(const Fix& a);
Fix fix_negate(const Fix& a);

// exp(z) = f * 2^k with f in [0.7, 1.42]; |z| < 2^20.
Fix fix_exp(const Fix& z, int& k);

// ln x for finite x > 0, given an approximation hi + lo of it (relative
// error below 2^-50): one Newton correction through fix_exp.
Fix fix_log(double x, double hi, double lo);

// The double nearest to f * 2^k (ties to even), for f > 0.  Bits of f more
// than 2^-270 of an ulp away from a halfway point count as noise of the
// computation; a value that close to halfway is taken as an exact tie.
double fix_to_double(const Fix& f, int k);

// Rounds a signed f to the nearest double.
double fix_round(const Fix& f);

}  // namespace sitedrain::maths::detail
