// Safeguarded Newton-Raphson with bisection fallback: Newton steps while
// they stay inside the bracket and shrink fast enough, bisection otherwise.
// sizing_root (sizing, with sizing_cubic) pauses on a missing bracket and carries on,
// and pauses when the iteration limit is reached and returns the estimate.
// (The water depth has its own search: storage/depth_search.h.)
#pragma once

#include <cmath>

#include "textio/console.h"

namespace sitedrain::numeric {

inline constexpr int kRtsafeMaxit = 100;

// The cubic whose root is the greatest depth at which the sizing quadratic
// has a real solution: f = x^3 (K^2 b^2 - (16/3) b^2) + 4 V.
inline void sizing_cubic(double V, double b, double K, double x, double& f, double& df) {
  const double c = K * K * (b * b) - (16.0 / 3.0) * (b * b);
  f = x * x * x * c + 4.0 * V;
  df = 3.0 * (x * x) * c;
}

// The shared iteration.  funcd(x, f, df).  Returns false (with rts unset)
// when the bracket is missing and unbracketed_is_error; otherwise true.
template <class Funcd>
inline bool rtsafe_core(Funcd&& funcd, double x1, double x2, double xacc, bool unbracketed_is_error,
                        const char* maxit_message, double& rts) {
  double fl, fh, df;
  funcd(x1, fl, df);
  funcd(x2, fh, df);
  if ((fl > 0.0 && fh > 0.0) || (fl < 0.0 && fh < 0.0)) {
    if (unbracketed_is_error) return false;
    console::pause_with("root must be bracketed in rtsafe");
  }
  if (fl == 0.0) {
    rts = x1;
    return true;
  }
  if (fh == 0.0) {
    rts = x2;
    return true;
  }
  double xl, xh;
  if (fl < 0.0) {
    xl = x1;
    xh = x2;
  } else {
    xh = x1;
    xl = x2;
  }
  rts = 0.5 * (x1 + x2);
  double dxold = std::fabs(x2 - x1);
  double dx = dxold;
  double f;
  funcd(rts, f, df);
  for (int j = 1; j <= kRtsafeMaxit; ++j) {
    if (((rts - xh) * df - f) * ((rts - xl) * df - f) >= 0.0 ||
        std::fabs(2.0 * f) > std::fabs(dxold * df)) {
      dxold = dx;
      dx = 0.5 * (xh - xl);
      rts = xl + dx;
      if (xl == rts) return true;
    } else {
      dxold = dx;
      dx = f / df;
      double temp = rts;
      rts = rts - dx;
      if (temp == rts) return true;
    }
    if (std::fabs(dx) < xacc) return true;
    funcd(rts, f, df);
    if (f < 0.0)
      xl = rts;
    else
      xh = rts;
  }
  console::pause_with(maxit_message);
  return true;
}

// Root of sizing_cubic(V, b, K, .) in [x1, x2] to the absolute accuracy xacc.
inline double sizing_root(double V, double b, double K, double x1, double x2, double xacc) {
  double rts = 0.0;
  rtsafe_core([&](double x, double& f, double& df) { sizing_cubic(V, b, K, x, f, df); }, x1, x2,
              xacc, false, "rtsafe exceeding maximum iterations", rts);
  return rts;
}

}  // namespace sitedrain::numeric
