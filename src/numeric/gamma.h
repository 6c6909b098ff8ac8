// The regularised incomplete gamma function and the complementary error
// function built on it: erfc(x) = Q(1/2, x^2).  Series for P(a, x) below
// x = a + 1, Lentz continued fraction for Q(a, x) above, Lanczos ln Gamma.
// The routines never stop: on bad arguments or non-convergence they pause
// with a message and carry on with the value at hand.  The accuracy is that
// of EPS = 3e-7, deliberately: results must be these routines' own.
#pragma once

namespace sitedrain::numeric {

inline constexpr int kGammaItmax = 100;
inline constexpr double kGammaEps = 3.0e-7;
inline constexpr double kGammaFpmin = 1.0e-30;

double complementary_erf(double x);
double regularized_gamma_p(double a, double x);
double regularized_gamma_q(double a, double x);
// P(a, x) by its series; gln receives ln Gamma(a).
void gamma_series(double& gamser, double a, double x, double& gln);
// Q(a, x) by its continued fraction; gln receives ln Gamma(a).
void gamma_continued_fraction(double& gammcf, double a, double x, double& gln);
double log_gamma(double x);

}  // namespace sitedrain::numeric
