// Outflow of an attenuation pond through its throttle-plate orifice, with the
// coefficient read from the table of the run by diameter and depth.
#pragma once

#include <cmath>
#include <span>

#include "geometry/orifice.h"

namespace sitedrain::storage {

// Bisection in an ordered list of integers compared with x as reals.
// Returns the bracket position from 1: for an ascending list (first entry
// below the last) the last position whose entry is below x, for a
// descending one the last whose entry is at least x; 0 when there is none.
int locate(std::span<const int> list, double x);

// Orifice outflow rate (m^3/h) at depth h (m) for diameter d (mm), with the
// coefficient of the diameter at table position `position` (from 1) and of
// the depth grid point below 1000 h (the first point at or under 1 mm, the
// last beyond the grid).
double orifice_outflow(double h, double d, const geometry::CoeffTable& table, int position);

// The orifice formula: rate (m^3/h) at depth h (m) for diameter d (mm) and
// discharge coefficient c.
inline double orifice_rate(double h, double d, double c) {
  return d * d * std::sqrt(19.6133 * h) * c * 0.002836733877;
}

// True when the list is 1, 2, ..., n with n >= 2 (the depth grid of a table).
bool is_unit_grid(std::span<const int> list);

// locate on the unit grid 1..n (n >= 2) without the search: the ascending
// bisection ends on the greatest integer below x, so this is 0 for x <= 1
// (and for NaN, which compares false), n beyond n, else ceil(x) - 1.
inline int locate_unit_grid(int n, double x) {
  if (!(x > 1.0)) return 0;
  if (x > static_cast<double>(n)) return n;
  return static_cast<int>(std::ceil(x)) - 1;
}

}  // namespace sitedrain::storage
