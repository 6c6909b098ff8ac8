// Outflow of an attenuation pond through its throttle-plate orifice, with the
// coefficient read from the table of the run by diameter and depth.
#pragma once

#include <cmath>

namespace sitedrain::storage {

// Twice the standard acceleration of gravity (2 x 9.80665 m/s^2), m/s^2.
inline constexpr double kTwiceGravity = 19.6133;
// The orifice law's fixed factor, from (mm^2) x (m/s) to m^3/h, as the design
// method gives it: the area of a 1 mm circle in m^2 (pi/4 x 1e-6) times
// 3600 s/h is 0.0028274; the method's factor is 0.33 % above that.
inline constexpr double kOrificeFactor_m3h = 0.002836733877;

// The orifice formula: rate (m^3/h) at depth h (m) for diameter d (mm) and
// discharge coefficient c.
inline double orifice_rate(double h, double d, double c) {
  return d * d * std::sqrt(kTwiceGravity * h) * c * kOrificeFactor_m3h;
}

// The depth grid point of the coefficient table (1, 2, ..., n mm) whose
// coefficient serves at x = 1000 h mm: the greatest grid point below x, by
// the bisection of an ascending list, which ends on 0 for x <= 1 (and for
// NaN, which compares false), n beyond n, else ceil(x) - 1; 0 reads as the
// first point.
inline int locate_unit_grid(int n, double x) {
  if (!(x > 1.0)) return 0;
  if (x > static_cast<double>(n)) return n;
  return static_cast<int>(std::ceil(x)) - 1;
}

}  // namespace sitedrain::storage
