#include "numeric/gamma.h"

#include <cmath>

#include "maths/maths.h"
#include "textio/console.h"

namespace sitedrain::numeric {

double log_gamma(double x) {
  static constexpr double cof[6] = {76.18009172947146,  -86.50532032941677,    24.01409824083091,
                                    -1.231739572450155, 0.1208650973866179e-2, -0.5395239384953e-5};
  static constexpr double stp = 2.5066282746310005;
  double y = x;
  double tmp = x + 5.5;
  tmp = (x + 0.5) * maths::log(tmp) - tmp;
  double ser = 1.000000000190015;
  for (double c : cof) {
    y = y + 1.0;
    ser = ser + c / y;
  }
  return tmp + maths::log(stp * ser / x);
}

void gamma_series(double& gamser, double a, double x, double& gln) {
  gln = log_gamma(a);
  if (x <= 0.0) {
    if (x < 0.0) console::pause_with("x < 0 in gser");
    gamser = 0.0;
    return;
  }
  double ap = a;
  double sum = 1.0 / a;
  double del = sum;
  bool converged = false;
  for (int n = 1; n <= kGammaItmax; ++n) {
    ap = ap + 1.0;
    del = del * x / ap;
    sum = sum + del;
    if (std::fabs(del) < std::fabs(sum) * kGammaEps) {
      converged = true;
      break;
    }
  }
  if (!converged) console::pause_with("a too large, ITMAX too small in gser");
  gamser = sum * maths::exp(a * maths::log(x) - x - gln);
}

void gamma_continued_fraction(double& gammcf, double a, double x, double& gln) {
  gln = log_gamma(a);
  double b = x + 1.0 - a;
  double c = 1.0 / kGammaFpmin;
  double d = 1.0 / b;
  double h = d;
  bool converged = false;
  for (int i = 1; i <= kGammaItmax; ++i) {
    double an = -i * (i - a);
    b = b + 2.0;
    d = an * d + b;
    if (std::fabs(d) < kGammaFpmin) d = kGammaFpmin;
    c = b + an / c;
    if (std::fabs(c) < kGammaFpmin) c = kGammaFpmin;
    d = 1.0 / d;
    double del = d * c;
    h = h * del;
    if (std::fabs(del - 1.0) < kGammaEps) {
      converged = true;
      break;
    }
  }
  if (!converged) console::pause_with("a too large, ITMAX too small in gcf");
  gammcf = maths::exp(a * maths::log(x) - x - gln) * h;
}

double regularized_gamma_p(double a, double x) {
  if (x < 0.0 || a <= 0.0) console::pause_with("bad arguments in gammp");
  double gln;
  if (x < a + 1.0) {
    double gamser;
    gamma_series(gamser, a, x, gln);
    return gamser;
  }
  double gammcf;
  gamma_continued_fraction(gammcf, a, x, gln);
  return 1.0 - gammcf;
}

double regularized_gamma_q(double a, double x) {
  if (x < 0.0 || a <= 0.0) console::pause_with("bad arguments in gammq");
  double gln;
  if (x < a + 1.0) {
    double gamser;
    gamma_series(gamser, a, x, gln);
    return 1.0 - gamser;
  }
  double gammcf;
  gamma_continued_fraction(gammcf, a, x, gln);
  return gammcf;
}

double complementary_erf(double x) {
  if (x < 0.0) return 1.0 + regularized_gamma_p(0.5, x * x);
  return regularized_gamma_q(0.5, x * x);
}

}  // namespace sitedrain::numeric
