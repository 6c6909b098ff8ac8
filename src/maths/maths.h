// sitedrain's elementary functions: exp, ln, log10 and pow, correctly
// rounded (the double nearest to the exact value, ties to even) and the
// same bits on every platform and processor, since they use neither the C
// library's transcendental functions nor fused multiply-add.  Every such
// function whose result reaches an output comes from here.
//
// Special values as the C library's: exp(-inf) = 0, exp(nan) = nan,
// log(0) = -inf, log(x < 0) = nan, pow(x, 0) = 1, pow(-8, 1/3) = nan, and
// so on; errno is not set.
#pragma once

namespace sitedrain::maths {

double exp(double x);
double log(double x);
double log10(double x);
double pow(double x, double y);

}  // namespace sitedrain::maths
